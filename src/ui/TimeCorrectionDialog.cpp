#include "ui/TimeCorrectionDialog.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/NumericEdit.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace mirtal {

TimeCorrectionDialog::TimeCorrectionDialog(SubtitleDocument& document, UiDialogs& dialogs,
                                           const MessageCatalogue& catalogue, QWidget* parent)
    : QDialog(parent), m_doc(document), m_dialogs(dialogs), m_catalogue(catalogue) {
    setObjectName("Form14");
    setWindowTitle("Time correction");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    buildOffsetGroup(root);
    buildStretchGroup(root);
    buildDurationGroup(root);
    buildMinIntervalGroup(root);
    buildButtons(root);

    connect(m_durationMethod, &RadioGroup::clicked, this,
            &TimeCorrectionDialog::showDurationMethodPanel);
    connect(m_resetOffsetButton, &QPushButton::clicked, this, &TimeCorrectionDialog::resetOffset);
    connect(m_resetStretchButton, &QPushButton::clicked, this, &TimeCorrectionDialog::resetStretch);
    connect(m_correctButton, &QPushButton::clicked, this, &TimeCorrectionDialog::correctTimes);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    showDurationMethodPanel();
}

QLabel* TimeCorrectionDialog::label(const QString& text, QWidget* parent) {
    // Named so that a language file can translate every caption.
    return named(new QLabel(text, parent), QStringLiteral("Label%1").arg(++m_labels));
}

TWord_u* TimeCorrectionDialog::numberField(const QString& name, uint16_t max, uint16_t value,
                                           QWidget* parent) {
    auto* f = named(new TWord_u(parent), name);
    f->setDialogs(&m_dialogs);
    f->setValMax(max);
    f->setValue(value);
    f->setFixedWidth(48);
    return f;
}

QLayout* TimeCorrectionDialog::timeRow(QGroupBox* group, const QString& suffix, TimeFields& fields,
                                       QCheckBox*& minus, const char* minusName,
                                       QPushButton*& reset, const char* resetName,
                                       const char* resetCaption) {
    auto* row = new QHBoxLayout;
    fields = addTimeFields(row, group, suffix, 48, &m_dialogs);
    minus = named(new QCheckBox("Minus", group), minusName);
    row->addWidget(minus);
    row->addStretch(1);
    reset = named(new QPushButton(resetCaption, group), resetName);
    row->addWidget(reset);
    return row;
}

void TimeCorrectionDialog::buildOffsetGroup(QVBoxLayout* root) {
    auto* group = named(new QGroupBox("Time Offset / Start Match", this), "GroupBoxOffset");
    auto* v = new QVBoxLayout(group);
    v->addWidget(label("Add/Remove this time to/from each Subtitle Time Code", group));
    v->addLayout(timeRow(group, "", m_offset, m_minusOffsetBox, "CheckBoxMinusOffset",
                         m_resetOffsetButton, "ButtonResetOffset", "&Reset"));
    root->addWidget(group);
}

void TimeCorrectionDialog::buildStretchGroup(QVBoxLayout* root) {
    auto* group = named(new QGroupBox("Time Stretch / Speed Adjust", this), "GroupBoxStretch");
    auto* v = new QVBoxLayout(group);
    v->addWidget(label("Add/Remove this time to/from the total Subtitles file duration", group));
    v->addWidget(label("( E.g.: Use 5s minus if the subtitle is 5s longer than the film )", group));
    v->addLayout(timeRow(group, "S", m_stretch, m_minusStretchBox, "CheckBoxMinusStretch",
                         m_resetStretchButton, "ButtonResetStretch", "R&eset"));
    root->addWidget(group);
}

void TimeCorrectionDialog::buildDurationGroup(QVBoxLayout* root) {
    auto* group = named(new QGroupBox("Subtitles Duration", this), "GroupBoxDuration");
    auto* v = new QVBoxLayout(group);
    m_changeDurationsBox =
        named(new QCheckBox("Modify the duration of each subtitle (Not recommended) :", group),
              "CheckBoxSubDuration");
    v->addWidget(m_changeDurationsBox);
    auto* methodRow = new QHBoxLayout;
    m_durationMethod =
        new RadioGroup("Subtitle duration method : ( Limited by the next subtitle start-time )",
                       {"Fixed Time", "Subtitle Length Prop. Time"}, group);
    m_durationMethod->setObjectName("RadioGroupTime");
    m_durationMethod->setItemIndex(int(DurationMethod::Proportional));
    methodRow->addWidget(m_durationMethod);

    m_fixedTimePanel = named(new QFrame(group), "PanelFixedTime");
    auto* fixedRow = new QHBoxLayout(m_fixedTimePanel);
    fixedRow->addWidget(label("Time duration in milli Seconds :", m_fixedTimePanel));
    m_fixedDurationField = numberField("Word_uFixedDuration", 65535, 4000, m_fixedTimePanel);
    fixedRow->addWidget(m_fixedDurationField);
    fixedRow->addStretch(1);
    m_proportionalTimePanel = buildProportionalPanel(group);

    auto* panels = new QVBoxLayout;
    panels->addWidget(m_fixedTimePanel);
    panels->addWidget(m_proportionalTimePanel);
    panels->addStretch(1);
    methodRow->addLayout(panels, 1);
    v->addLayout(methodRow);
    root->addWidget(group);
}

QFrame* TimeCorrectionDialog::buildProportionalPanel(QWidget* parent) {
    auto* panel = named(new QFrame(parent), "PanelProportionalTime");
    auto* row = new QHBoxLayout(panel);
    row->addWidget(label("Offset (ms) :", panel));
    m_offsetDurationField = numberField("Word_uOffsetDuration", 9999, 500, panel);
    row->addWidget(m_offsetDurationField);
    // The per-character field sits in the gap that its caption leaves after the "+".
    QLabel* perChar = label("+         ms x Nb. Characters.", panel);
    m_msPerCharField = numberField("Word_uMsPerChar", 99, 50, perChar);
    const QFontMetrics fm(perChar->font());
    const int gapLeft = fm.horizontalAdvance("+ ");
    const int gapWidth = fm.horizontalAdvance("+         ") - gapLeft - fm.horizontalAdvance(' ');
    m_msPerCharField->setFixedWidth(std::max(gapWidth, 24));
    // A field wider than the gap pushes the rest of the caption on.
    perChar->setContentsMargins(0, 0, std::max(0, 24 - gapWidth), 0);
    perChar->setMinimumHeight(m_msPerCharField->sizeHint().height());
    m_msPerCharField->move(gapLeft, 0);
    row->addWidget(perChar);
    row->addStretch(1);
    return panel;
}

void TimeCorrectionDialog::buildMinIntervalGroup(QVBoxLayout* root) {
    auto* group =
        named(new QGroupBox("Minimum Interval between two Subtitles", this), "GroupBoxMinInterval");
    auto* row = new QHBoxLayout(group);
    row->addWidget(label("Force this value as minimum ms between two subtitles :", group));
    m_minIntervalField = numberField("Word_uMinInterval", 9999, 0, group);
    row->addWidget(m_minIntervalField);
    row->addStretch(1);
    root->addWidget(group);
}

void TimeCorrectionDialog::buildButtons(QVBoxLayout* root) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_correctButton = named(new QPushButton("Correct &Time", this), "BitBtnModifyTC");
    m_correctButton->setDefault(true);
    m_cancelButton = named(new QPushButton("&Cancel", this), "BitBtn1");
    buttons->addWidget(m_correctButton);
    buttons->addWidget(m_cancelButton);
    root->addLayout(buttons);
}

void TimeCorrectionDialog::showEvent(QShowEvent* event) {
    resetOffset();
    resetStretch();
    m_changeDurationsBox->setChecked(false);
    QDialog::showEvent(event);
}

void TimeCorrectionDialog::showDurationMethodPanel() {
    m_fixedTimePanel->hide();
    m_proportionalTimePanel->hide();
    if (m_durationMethod->itemIndex() == 0) m_fixedTimePanel->show();
    if (m_durationMethod->itemIndex() == 1) m_proportionalTimePanel->show();
}

TimeCorrection TimeCorrectionDialog::request() const {
    TimeCorrection r;
    r.Offset = m_offset.time();
    r.MinusOffset = m_minusOffsetBox->isChecked();
    r.Stretch = m_stretch.time();
    r.MinusStretch = m_minusStretchBox->isChecked();
    r.ChangeDurations = m_changeDurationsBox->isChecked();
    r.Method =
        m_durationMethod->itemIndex() == 0 ? DurationMethod::Fixed : DurationMethod::Proportional;
    r.FixedDuration = m_fixedDurationField->value();
    r.OffsetDuration = m_offsetDurationField->value();
    r.MsPerChar = m_msPerCharField->value();
    r.MinInterval = m_minIntervalField->value();
    return r;
}

void TimeCorrectionDialog::correctTimes() {
    const std::array others{m_fixedDurationField, m_offsetDurationField, m_msPerCharField,
                            m_minIntervalField};
    if (!checkFields(m_offset.fields()) || !checkFields(m_stretch.fields()) || !checkFields(others))
        return;
    const TimeCorrection r = request();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    correctTime(m_doc, r, m_dialogs, m_catalogue);
    QApplication::restoreOverrideCursor();
    accept();
}

} // namespace mirtal
