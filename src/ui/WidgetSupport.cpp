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

Colour swatchColour(const QFrame* swatch) {
    return Colour(swatch->property("colour").toUInt());
}

} // namespace mirtal

#include "ui/NumericEdit.h"

#include <QHBoxLayout>
#include <QLabel>

namespace mirtal {

TTimeCode TimeFields::time() const {
    TTimeCode t;
    t.Hour = uint8_t(hours->value());
    t.Min = uint8_t(minutes->value());
    t.Sec = uint8_t(seconds->value());
    t.MSec = milliseconds->value();
    return t;
}

void TimeFields::setTime(TTimeCode time) const {
    hours->setValue(time.Hour);
    minutes->setValue(time.Min);
    seconds->setValue(time.Sec);
    milliseconds->setValue(time.MSec);
}

TimeFields addTimeFields(QHBoxLayout* row, QWidget* parent, const QString& suffix, int width,
                         UiDialogs* dialogs) {
    auto field = [&](const QString& name, uint16_t max) {
        auto* f = named(new TWord_u(parent), name + suffix);
        f->setDialogs(dialogs);
        f->setValMax(max);
        f->setValue(0);
        f->setFixedWidth(width);
        return f;
    };
    const TimeFields t{field("Word_uHour", 24), field("Word_uMin", 59), field("Word_uSec", 59),
                       field("Word_uMSec", 999)};
    row->addWidget(t.hours);
    row->addWidget(new QLabel(":", parent));
    row->addWidget(t.minutes);
    row->addWidget(new QLabel(":", parent));
    row->addWidget(t.seconds);
    row->addWidget(new QLabel(",", parent));
    row->addWidget(t.milliseconds);
    return t;
}

bool checkFields(std::span<TWord_u* const> fields) {
    for (TWord_u* f : fields) {
        if (!f->checkValue()) {
            f->setFocus();
            return false;
        }
    }
    return true;
}

} // namespace mirtal
