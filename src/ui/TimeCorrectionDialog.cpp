#include "ui/TimeCorrectionDialog.h"
#include "ui/WidgetSupport.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/NumericEdit.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirtal {

namespace {

TTimeCode timeCode(TWord_u* h, TWord_u* m, TWord_u* s, TWord_u* ms) {
    TTimeCode t;
    t.Hour = uint8_t(h->valeur());
    t.Min = uint8_t(m->valeur());
    t.Sec = uint8_t(s->valeur());
    t.MSec = ms->valeur();
    return t;
}

} // namespace

TimeCorrectionDialog::TimeCorrectionDialog(SubtitleDocument& document, UiDialogs& dialogs,
                                           const MessageCatalogue& catalogue, QWidget* parent)
    : QDialog(parent), m_doc(document), m_dialogs(dialogs), m_catalogue(catalogue) {
    setObjectName("Form14");
    setWindowTitle("Time correction");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    int labels = 0;
    auto label = [&](const QString& text, QWidget* parent) {
        return named(new QLabel(text, parent), QStringLiteral("Label%1").arg(++labels));
    };
    auto field = [&](const QString& name, uint16_t max, uint16_t value, QWidget* parent) {
        auto* f = named(new TWord_u(parent), name);
        f->setDialogs(&m_dialogs);
        f->setValMax(max);
        f->setValeur(value);
        f->setFixedWidth(48);
        return f;
    };
    // hh : mm : ss , mmm followed by the group's Minus box and Reset button.
    auto timeRow = [&](QGroupBox* group, const QString& suffix, TWord_u*& h, TWord_u*& m,
                       TWord_u*& s, TWord_u*& ms, QCheckBox*& minus, QPushButton*& reset,
                       const char* minusName, const char* resetName, const char* resetCaption) {
        auto* row = new QHBoxLayout;
        h = field("Word_uHour" + suffix, 24, 0, group);
        m = field("Word_uMin" + suffix, 59, 0, group);
        s = field("Word_uSec" + suffix, 59, 0, group);
        ms = field("Word_uMSec" + suffix, 999, 0, group);
        row->addWidget(h);
        row->addWidget(new QLabel(":", group));
        row->addWidget(m);
        row->addWidget(new QLabel(":", group));
        row->addWidget(s);
        row->addWidget(new QLabel(",", group));
        row->addWidget(ms);
        minus = named(new QCheckBox("Minus", group), minusName);
        row->addWidget(minus);
        row->addStretch(1);
        reset = named(new QPushButton(resetCaption, group), resetName);
        row->addWidget(reset);
        return row;
    };

    auto* root = new QVBoxLayout(this);

    GroupBoxOffset = named(new QGroupBox("Time Offset / Start Match", this), "GroupBoxOffset");
    auto* ov = new QVBoxLayout(GroupBoxOffset);
    ov->addWidget(label("Add/Remove this time to/from each Subtitle Time Code", GroupBoxOffset));
    ov->addLayout(timeRow(GroupBoxOffset, "", Word_uHour, Word_uMin, Word_uSec, Word_uMSec,
                          CheckBoxMinusOffset, ButtonResetOffset, "CheckBoxMinusOffset",
                          "ButtonResetOffset", "&Reset"));
    root->addWidget(GroupBoxOffset);

    GroupBoxStretch = named(new QGroupBox("Time Stretch / Speed Adjust", this), "GroupBoxStretch");
    auto* sv = new QVBoxLayout(GroupBoxStretch);
    sv->addWidget(
        label("Add/Remove this time to/from the total Subtitles file duration", GroupBoxStretch));
    sv->addWidget(label("( E.g.: Use 5s minus if the subtitle is 5s longer than the film )",
                        GroupBoxStretch));
    sv->addLayout(timeRow(GroupBoxStretch, "S", Word_uHourS, Word_uMinS, Word_uSecS, Word_uMSecS,
                          CheckBoxMinusStretch, ButtonResetStretch, "CheckBoxMinusStretch",
                          "ButtonResetStretch", "R&eset"));
    root->addWidget(GroupBoxStretch);

    GroupBoxDuration = named(new QGroupBox("Subtitles Duration", this), "GroupBoxDuration");
    auto* dv = new QVBoxLayout(GroupBoxDuration);
    CheckBoxSubDuration = named(
        new QCheckBox("Modify the duration of each subtitle (Not recommended) :", GroupBoxDuration),
        "CheckBoxSubDuration");
    dv->addWidget(CheckBoxSubDuration);
    auto* methodRow = new QHBoxLayout;
    RadioGroupTime =
        new RadioGroup("Subtitle duration method : ( Limited by the next subtitle start-time )",
                       {"Fixed Time", "Subtitle Length Prop. Time"}, GroupBoxDuration);
    RadioGroupTime->setObjectName("RadioGroupTime");
    RadioGroupTime->setItemIndex(int(DurationMethod::Proportional));
    methodRow->addWidget(RadioGroupTime);

    PanelFixedTime = named(new QFrame(GroupBoxDuration), "PanelFixedTime");
    auto* fixedRow = new QHBoxLayout(PanelFixedTime);
    fixedRow->addWidget(label("Time duration in milli Seconds :", PanelFixedTime));
    Word_uFixedDuration = field("Word_uFixedDuration", 65535, 4000, PanelFixedTime);
    fixedRow->addWidget(Word_uFixedDuration);
    fixedRow->addStretch(1);

    PanelProportionalTime = named(new QFrame(GroupBoxDuration), "PanelProportionalTime");
    auto* propRow = new QHBoxLayout(PanelProportionalTime);
    propRow->addWidget(label("Offset (ms) :", PanelProportionalTime));
    Word_uOffsetDuration = field("Word_uOffsetDuration", 9999, 500, PanelProportionalTime);
    propRow->addWidget(Word_uOffsetDuration);
    // The per-character field sits in the gap that its caption leaves after the "+".
    QLabel* perChar = label("+         ms x Nb. Characters.", PanelProportionalTime);
    Word_uMsPerChar = field("Word_uMsPerChar", 99, 50, perChar);
    const QFontMetrics fm(perChar->font());
    const int gapLeft = fm.horizontalAdvance("+ ");
    const int gapWidth = fm.horizontalAdvance("+         ") - gapLeft - fm.horizontalAdvance(' ');
    Word_uMsPerChar->setFixedWidth(std::max(gapWidth, 24));
    // A field wider than the gap pushes the rest of the caption on.
    perChar->setContentsMargins(0, 0, std::max(0, 24 - gapWidth), 0);
    perChar->setMinimumHeight(Word_uMsPerChar->sizeHint().height());
    Word_uMsPerChar->move(gapLeft, 0);
    propRow->addWidget(perChar);
    propRow->addStretch(1);

    auto* panels = new QVBoxLayout;
    panels->addWidget(PanelFixedTime);
    panels->addWidget(PanelProportionalTime);
    panels->addStretch(1);
    methodRow->addLayout(panels, 1);
    dv->addLayout(methodRow);
    root->addWidget(GroupBoxDuration);

    GroupBoxMinInterval =
        named(new QGroupBox("Minimum Interval between two Subtitles", this), "GroupBoxMinInterval");
    auto* mv = new QHBoxLayout(GroupBoxMinInterval);
    mv->addWidget(
        label("Force this value as minimum ms between two subtitles :", GroupBoxMinInterval));
    Word_uMinInterval = field("Word_uMinInterval", 9999, 0, GroupBoxMinInterval);
    mv->addWidget(Word_uMinInterval);
    mv->addStretch(1);
    root->addWidget(GroupBoxMinInterval);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtnModifyTC = named(new QPushButton("Correct &Time", this), "BitBtnModifyTC");
    BitBtnModifyTC->setDefault(true);
    BitBtn1 = named(new QPushButton("&Cancel", this), "BitBtn1");
    buttons->addWidget(BitBtnModifyTC);
    buttons->addWidget(BitBtn1);
    root->addLayout(buttons);

    connect(RadioGroupTime, &RadioGroup::clicked, this, [this] { RadioGroupTimeClick(); });
    connect(ButtonResetOffset, &QPushButton::clicked, this, [this] {
        for (TWord_u* f : {Word_uHour, Word_uMin, Word_uSec, Word_uMSec}) f->setValeur(0);
    });
    connect(ButtonResetStretch, &QPushButton::clicked, this, [this] {
        for (TWord_u* f : {Word_uHourS, Word_uMinS, Word_uSecS, Word_uMSecS}) f->setValeur(0);
    });
    connect(BitBtnModifyTC, &QPushButton::clicked, this, [this] { BitBtnModifyTCClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    RadioGroupTimeClick();
}

void TimeCorrectionDialog::FormShow() {
    for (TWord_u* f : {Word_uHour, Word_uMin, Word_uSec, Word_uMSec, Word_uHourS, Word_uMinS,
                       Word_uSecS, Word_uMSecS})
        f->setValeur(0);
    CheckBoxSubDuration->setChecked(false);
}

void TimeCorrectionDialog::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TimeCorrectionDialog::RadioGroupTimeClick() {
    PanelFixedTime->hide();
    PanelProportionalTime->hide();
    if (RadioGroupTime->itemIndex() == 0) PanelFixedTime->show();
    if (RadioGroupTime->itemIndex() == 1) PanelProportionalTime->show();
}

TimeCorrection TimeCorrectionDialog::request() {
    TimeCorrection r;
    r.Offset = timeCode(Word_uHour, Word_uMin, Word_uSec, Word_uMSec);
    r.MinusOffset = CheckBoxMinusOffset->isChecked();
    r.Stretch = timeCode(Word_uHourS, Word_uMinS, Word_uSecS, Word_uMSecS);
    r.MinusStretch = CheckBoxMinusStretch->isChecked();
    r.ChangeDurations = CheckBoxSubDuration->isChecked();
    r.Method =
        RadioGroupTime->itemIndex() == 0 ? DurationMethod::Fixed : DurationMethod::Proportional;
    r.FixedDuration = Word_uFixedDuration->valeur();
    r.OffsetDuration = Word_uOffsetDuration->valeur();
    r.MsPerChar = Word_uMsPerChar->valeur();
    r.MinInterval = Word_uMinInterval->valeur();
    return r;
}

bool TimeCorrectionDialog::BitBtnModifyTCClick() {
    // Enter can press the button while a field still holds what was typed:
    // a value out of range must not reach the subtitles unseen.
    for (TWord_u* f : {Word_uHour, Word_uMin, Word_uSec, Word_uMSec, Word_uHourS, Word_uMinS,
                       Word_uSecS, Word_uMSecS, Word_uFixedDuration, Word_uOffsetDuration,
                       Word_uMsPerChar, Word_uMinInterval}) {
        if (!f->checkValue()) {
            f->setFocus();
            return false;
        }
    }
    const TimeCorrection r = request();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_report = CorrectTime(m_doc, r, m_dialogs, m_catalogue);
    QApplication::restoreOverrideCursor();
    accept();
    return true;
}

} // namespace mirtal
