#include "ui/WidgetSupport.h"

#include "ui/PreviewPane.h"

#include <QFrame>
#include <QPalette>
#include <QVariant>

namespace mirtal {

void setSwatch(QFrame* swatch, Colour colour) {
    swatch->setProperty("colour", uint(colour));
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
}

Colour swatchColour(const QFrame* swatch) { return Colour(swatch->property("colour").toUInt()); }

} // namespace mirtal
