#include "ui/SplitDialog.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/NumericEdit.h"
#include "ui/QtLanguageTarget.h"
#include "ui/UiDialogs.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mirtal {

namespace {

void fillShape(QFrame* shape, const QColor& c) {
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setAutoFillBackground(true);
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::WindowText, Qt::black);
    shape->setPalette(p);
}

// Where the bar sits inside its area.
constexpr int kBarLeft = 40, kBarTop = 22, kBarWidth = 420, kBarHeight = 14;

} // namespace

SplitDialog::SplitDialog(SubtitleDocument& document, UiDialogs& dialogs,
                         const MessageCatalogue& catalogue, QWidget* parent)
    : QDialog(parent), m_doc(document), m_dialogs(dialogs), m_catalogue(catalogue) {
    setObjectName("Form17");
    setWindowTitle("Split Text File");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    QLabel* what = label("SAVE THIS PART OF THE FILE ( THE REST WILL NOT BE DELETED UNTIL YOU "
                         "QUIT OR OPEN ANOTHER FILE )",
                         this);
    what->setWordWrap(true);
    QFont bold = what->font();
    bold.setBold(true);
    what->setFont(bold);
    root->addWidget(what);
    m_splitBox = named(new QCheckBox("Split Output File :", this), "CheckBoxSplit");
    root->addWidget(m_splitBox);
    buildTimePanels(root);
    buildBar(root);
    buildFooter(root);

    for (const TimeFields& t : {m_start, m_stop})
        for (TWord_u* f : t.fields())
            connect(f, &QLineEdit::textChanged, this, &SplitDialog::timesEdited);
    connect(m_splitBox, &QCheckBox::clicked, this, &SplitDialog::updateTimeControls);
    connect(m_resetStartButton, &QPushButton::clicked, this, &SplitDialog::resetStart);
    connect(m_lastSubtitleButton, &QPushButton::clicked, this, &SplitDialog::stopAtLastSubtitle);
    connect(m_copyStopToStartButton, &QToolButton::clicked, this, &SplitDialog::copyStopToStart);
    connect(m_okButton, &QPushButton::clicked, this, &SplitDialog::applySplit);
    loadFromDocument();
}

QLabel* SplitDialog::label(const QString& text, QWidget* parent) {
    // Named so that a language file can translate every caption.
    return named(new QLabel(text, parent), QStringLiteral("Label%1").arg(++m_labels));
}

QFrame* SplitDialog::buildTimePanel(const char* name, const QString& caption, const QString& suffix,
                                    TimeFields& fields) {
    auto* panel = named(new QFrame(this), name);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* row = new QHBoxLayout(panel);
    QLabel* l = label(caption, panel);
    l->setMinimumWidth(60);
    row->addWidget(l);
    fields = addTimeFields(row, panel, suffix, 44, &m_dialogs);
    row->addStretch(1);
    return panel;
}

void SplitDialog::buildTimePanels(QVBoxLayout* root) {
    auto* times = new QGridLayout;
    m_startPanel = buildTimePanel("PanelStartSplit", "Start at :", "1", m_start);
    m_resetStartButton = named(new QPushButton("&Reset", m_startPanel), "ButtonResetStartSplit");
    m_startPanel->layout()->addWidget(m_resetStartButton);
    m_stopPanel = buildTimePanel("PanelStopSplit", "Stop at :", "2", m_stop);
    m_lastSubtitleButton = named(new QPushButton("&Last Sub.", m_stopPanel), "ButtonEndOfFile");
    m_stopPanel->layout()->addWidget(m_lastSubtitleButton);
    m_copyStopToStartButton = named(new QToolButton(this), "SpeedButtonCopyStopToStart",
                                    "Copy the Stop time to the Start time");
    m_copyStopToStartButton->setArrowType(Qt::UpArrow);
    times->addWidget(m_startPanel, 0, 0);
    times->addWidget(m_stopPanel, 1, 0);
    times->addWidget(m_copyStopToStartButton, 0, 1, 2, 1, Qt::AlignVCenter);
    root->addLayout(times);
}

// The bar: the whole document, and over it the part that will be saved,
// both to scale; positions inside the area are the computed ones.
void SplitDialog::buildBar(QVBoxLayout* root) {
    auto* area = named(new QWidget(this), "PanelBar");
    area->setFixedSize(kBarLeft + kBarWidth + 100, kBarTop + kBarHeight + 24);
    m_fullFileShape = named(new QFrame(area), "ShapeFullFile", "Full file");
    fillShape(m_fullFileShape, Qt::white);
    m_fullFileShape->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    m_savedPartShape =
        named(new QFrame(area), "ShapeSplitFill", "Part of the file that will be saved");
    fillShape(m_savedPartShape, QColor(0x30, 0x60, 0xd0));
    m_savedPartShape->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);
    auto* fileStart = named(new QLabel("0", area), "LabelBeginOfFile");
    fileStart->adjustSize();
    fileStart->move(kBarLeft - fileStart->width() - 4,
                    kBarTop + (kBarHeight - fileStart->height()) / 2);
    m_fileEndLabel = named(new QLabel("00:00:00,000", area), "LabelEndOfFile",
                           "Time of the last Subtitle of the Full File");
    m_startTick = named(new QLabel("|", area), "LabelBarStart");
    m_stopTick = named(new QLabel("|", area), "LabelBarStop");
    m_startTimeLabel = named(new QLabel("00:00:00,000", area), "LabelStartSplit",
                             "Start Time of the Splitted File");
    m_stopTimeLabel =
        named(new QLabel("00:00:00,000", area), "LabelStopSplit", "Stop Time of the Splitted File");
    for (QLabel* l : {m_fileEndLabel, m_startTick, m_stopTick, m_startTimeLabel, m_stopTimeLabel})
        l->adjustSize();
    showsValue({fileStart, m_fileEndLabel, m_startTimeLabel, m_stopTimeLabel});
    root->addWidget(area, 0, Qt::AlignHCenter);
}

void SplitDialog::buildFooter(QVBoxLayout* root) {
    auto* recipe = new QVBoxLayout;
    recipe->setSpacing(0);
    for (const char* line :
         {"EXAMPLE TO OBTAIN 2 CDs :", "1- Start : 00:00:00,0  | Stop : End of the first CD",
          "2- Apply and Save As file N\u00b01", "3- Start : End of the First CD | Stop : Last Sub.",
          "4- Apply and Save As file N\u00b02"})
        recipe->addWidget(label(line, this));
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(recipe, 1);
    m_okButton = named(new QPushButton("OK", this), "BitBtn1");
    m_okButton->setDefault(true);
    bottom->addWidget(m_okButton, 0, Qt::AlignBottom);
    root->addLayout(bottom);
}

void SplitDialog::setStartTime(TTimeCode t) {
    m_filling = true;
    m_start.setTime(t);
    m_filling = false;
    timesEdited();
}

void SplitDialog::setStopTime(TTimeCode t) {
    m_filling = true;
    m_stop.setTime(t);
    m_filling = false;
    timesEdited();
}

void SplitDialog::loadFromDocument() {
    m_fileEnd = splitFileEnd(m_doc.store());
    m_filling = true;
    m_splitBox->setChecked(m_doc.splitActive());
    m_start.setTime(m_doc.splitStart());
    m_stop.setTime(m_doc.splitStop());
    m_filling = false;
    updateTimeControls();
}

void SplitDialog::showEvent(QShowEvent* event) {
    loadFromDocument();
    QDialog::showEvent(event);
}

void SplitDialog::updateTimeControls() {
    const bool on = m_splitBox->isChecked();
    m_startPanel->setEnabled(on);
    m_stopPanel->setEnabled(on);
    m_copyStopToStartButton->setEnabled(on);
    if (on)
        drawBar(m_start.time(), m_stop.time());
    else
        drawBar({}, m_fileEnd);
}

void SplitDialog::timesEdited() {
    if (!m_filling) drawBar(m_start.time(), m_stop.time());
}

void SplitDialog::drawBar(TTimeCode start, TTimeCode stop) {
    const QRect full = m_fullFileShape->geometry();
    const SplitBarGeometry g = computeSplitBar(start, stop, m_fileEnd, full.x(), full.width());
    m_savedPartShape->setGeometry(g.fillLeft, full.y(), g.fillWidth, full.height());
    // A fill of no width would still show its frame line: hide it instead.
    m_savedPartShape->setVisible(g.fillWidth > 0);
    const int tickTop = full.y() - m_startTick->height();
    m_startTick->move(SplitBarGeometry::centredLeft(g.fillLeft, m_startTick->width()), tickTop);
    m_stopTick->move(SplitBarGeometry::centredLeft(g.fillRight(), m_stopTick->width()), tickTop);
    m_fileEndLabel->setText(fromCp1252(g.endText));
    m_fileEndLabel->adjustSize();
    m_fileEndLabel->move(full.x() + full.width() + 4,
                         full.y() + (full.height() - m_fileEndLabel->height()) / 2);
    const int under = full.y() + full.height() + 2;
    m_startTimeLabel->setText(fromCp1252(g.startText));
    m_startTimeLabel->adjustSize();
    m_startTimeLabel->move(SplitBarGeometry::centredLeft(g.fillLeft, m_startTimeLabel->width()),
                           under);
    m_stopTimeLabel->setText(fromCp1252(g.stopText));
    m_stopTimeLabel->adjustSize();
    m_stopTimeLabel->move(SplitBarGeometry::centredLeft(g.fillRight(), m_stopTimeLabel->width()),
                          under);
}

void SplitDialog::applySplit() {
    if (!checkFields(m_start.fields()) || !checkFields(m_stop.fields())) return;
    SplitWindow w;
    w.SplitActive = m_splitBox->isChecked();
    w.SplitStart = m_start.time();
    w.SplitStop = m_stop.time();
    if (applySplitWindow(m_doc, w, m_dialogs, m_catalogue)) accept();
}

} // namespace mirtal
