#pragma once

#include "base/Colour.h"

#include <QString>

class QFrame;

namespace mirtal {

// Gives a new control (or timer) the objectName that the language files and
// the tests know it by, and its hint when it has one.
template <typename W> W* named(W* object, const QString& name, const QString& hint = {}) {
    object->setObjectName(name);
    if constexpr (requires { object->setToolTip(hint); })
        if (!hint.isEmpty()) object->setToolTip(hint);
    return object;
}

// A colour swatch: a frame filled with a colour it also keeps as a value.
void setSwatch(QFrame* swatch, Colour colour);
Colour swatchColour(const QFrame* swatch);

} // namespace mirtal
