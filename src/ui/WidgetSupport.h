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

#include "subtitles/TimeCode.h"

#include <array>
#include <span>

class QHBoxLayout;
class QWidget;

namespace mirtal {

class TWord_u;
class UiDialogs;

// One time code in four numeric fields: hh : mm : ss , mmm.
struct TimeFields {
    TWord_u* hours = nullptr;
    TWord_u* minutes = nullptr;
    TWord_u* seconds = nullptr;
    TWord_u* milliseconds = nullptr;

    TTimeCode time() const;
    void setTime(TTimeCode time) const;
    std::array<TWord_u*, 4> fields() const { return {hours, minutes, seconds, milliseconds}; }
};

// Adds the four fields of a time to a row, with their separators, named
// Word_uHour, Word_uMin, Word_uSec and Word_uMSec followed by the suffix.
TimeFields addTimeFields(QHBoxLayout* row, QWidget* parent, const QString& suffix, int width,
                         UiDialogs* dialogs);

// Enter can press a button while a field still holds what was typed: the
// first field out of range is put right, reported and given the focus.
bool checkFields(std::span<TWord_u* const> fields);

} // namespace mirtal
