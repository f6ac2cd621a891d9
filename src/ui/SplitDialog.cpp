#include "ui/SplitDialog.h"
#include "ui/WidgetSupport.h"

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

TTimeCode fieldsTime(TWord_u* h, TWord_u* m, TWord_u* s, TWord_u* ms) {
    TTimeCode t;
    t.Hour = uint8_t(h->valeur());
    t.Min = uint8_t(m->valeur());
    t.Sec = uint8_t(s->valeur());
    t.MSec = ms->valeur();
    return t;
}

void setFieldsTime(TTimeCode t, TWord_u* h, TWord_u* m, TWord_u* s, TWord_u* ms) {
    h->setValeur(t.Hour);
    m->setValeur(t.Min);
    s->setValeur(t.Sec);
    ms->setValeur(t.MSec);
}

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

    int labels = 0;
    auto label = [&](const QString& text, QWidget* parent) {
        return named(new QLabel(text, parent), QStringLiteral("Label%1").arg(++labels));
    };
    auto field = [&](const QString& name, uint16_t max, QWidget* parent) {
        auto* f = named(new TWord_u(parent), name);
        f->setDialogs(&m_dialogs);
        f->setValMax(max);
        f->setFixedWidth(44);
        connect(f, &QLineEdit::textChanged, this, [this] { fieldsChanged(); });
        return f;
    };
    auto timePanel = [&](const char* name, const QString& caption, const QString& suffix,
                         TWord_u*& h, TWord_u*& m, TWord_u*& s, TWord_u*& ms) {
        auto* panel = named(new QFrame(this), name);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        auto* row = new QHBoxLayout(panel);
        QLabel* l = label(caption, panel);
        l->setMinimumWidth(60);
        row->addWidget(l);
        h = field("Word_uHour" + suffix, 24, panel);
        m = field("Word_uMin" + suffix, 59, panel);
        s = field("Word_uSec" + suffix, 59, panel);
        ms = field("Word_uMSec" + suffix, 999, panel);
        row->addWidget(h);
        row->addWidget(new QLabel(":", panel));
        row->addWidget(m);
        row->addWidget(new QLabel(":", panel));
        row->addWidget(s);
        row->addWidget(new QLabel(",", panel));
        row->addWidget(ms);
        row->addStretch(1);
        return panel;
    };

    auto* root = new QVBoxLayout(this);
    QLabel* what = label("SAVE THIS PART OF THE FILE ( THE REST WILL NOT BE DELETED UNTIL YOU "
                         "QUIT OR OPEN ANOTHER FILE )",
                         this);
    what->setWordWrap(true);
    QFont bold = what->font();
    bold.setBold(true);
    what->setFont(bold);
    root->addWidget(what);

    CheckBoxSplit = named(new QCheckBox("Split Output File :", this), "CheckBoxSplit");
    root->addWidget(CheckBoxSplit);

    auto* times = new QGridLayout;
    PanelStartSplit = timePanel("PanelStartSplit", "Start at :", "1", Word_uHour1, Word_uMin1,
                                Word_uSec1, Word_uMSec1);
    ButtonResetStartSplit =
        named(new QPushButton("&Reset", PanelStartSplit), "ButtonResetStartSplit");
    PanelStartSplit->layout()->addWidget(ButtonResetStartSplit);
    PanelStopSplit = timePanel("PanelStopSplit", "Stop at :", "2", Word_uHour2, Word_uMin2,
                               Word_uSec2, Word_uMSec2);
    ButtonEndOfFile = named(new QPushButton("&Last Sub.", PanelStopSplit), "ButtonEndOfFile");
    PanelStopSplit->layout()->addWidget(ButtonEndOfFile);
    SpeedButtonCopyStopToStart = named(new QToolButton(this), "SpeedButtonCopyStopToStart",
                                       "Copy the Stop time to the Start time");
    SpeedButtonCopyStopToStart->setArrowType(Qt::UpArrow);
    times->addWidget(PanelStartSplit, 0, 0);
    times->addWidget(PanelStopSplit, 1, 0);
    times->addWidget(SpeedButtonCopyStopToStart, 0, 1, 2, 1, Qt::AlignVCenter);
    root->addLayout(times);

    // The bar: the whole document, and over it the part that will be saved,
    // both to scale; positions inside the area are the computed ones.
    auto* area = named(new QWidget(this), "PanelBar");
    area->setFixedSize(kBarLeft + kBarWidth + 100, kBarTop + kBarHeight + 24);
    ShapeFullFile = named(new QFrame(area), "ShapeFullFile", "Full file");
    fillShape(ShapeFullFile, Qt::white);
    ShapeFullFile->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    ShapeSplitFill =
        named(new QFrame(area), "ShapeSplitFill", "Part of the file that will be saved");
    fillShape(ShapeSplitFill, QColor(0x30, 0x60, 0xd0));
    ShapeSplitFill->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);
    LabelBeginOfFile = named(new QLabel("0", area), "LabelBeginOfFile");
    LabelBeginOfFile->adjustSize();
    LabelBeginOfFile->move(kBarLeft - LabelBeginOfFile->width() - 4,
                           kBarTop + (kBarHeight - LabelBeginOfFile->height()) / 2);
    LabelEndOfFile = named(new QLabel("00:00:00,000", area), "LabelEndOfFile",
                           "Time of the last Subtitle of the Full File");
    LabelBarStart = named(new QLabel("|", area), "LabelBarStart");
    LabelBarStop = named(new QLabel("|", area), "LabelBarStop");
    LabelStartSplit = named(new QLabel("00:00:00,000", area), "LabelStartSplit",
                            "Start Time of the Splitted File");
    LabelStopSplit =
        named(new QLabel("00:00:00,000", area), "LabelStopSplit", "Stop Time of the Splitted File");
    for (QLabel* l : {LabelEndOfFile, LabelBarStart, LabelBarStop, LabelStartSplit, LabelStopSplit})
        l->adjustSize();
    showsValue({LabelBeginOfFile, LabelEndOfFile, LabelStartSplit, LabelStopSplit});
    root->addWidget(area, 0, Qt::AlignHCenter);

    auto* recipe = new QVBoxLayout;
    recipe->setSpacing(0);
    for (const char* line :
         {"EXAMPLE TO OBTAIN 2 CDs :", "1- Start : 00:00:00,0  | Stop : End of the first CD",
          "2- Apply and Save As file N\u00b01", "3- Start : End of the First CD | Stop : Last Sub.",
          "4- Apply and Save As file N\u00b02"})
        recipe->addWidget(label(line, this));
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(recipe, 1);
    BitBtn1 = named(new QPushButton("OK", this), "BitBtn1");
    BitBtn1->setDefault(true);
    bottom->addWidget(BitBtn1, 0, Qt::AlignBottom);
    root->addLayout(bottom);

    connect(CheckBoxSplit, &QCheckBox::clicked, this, [this] { CheckBoxSplitClick(); });
    connect(ButtonResetStartSplit, &QPushButton::clicked, this,
            [this] { ButtonResetStartSplitClick(); });
    connect(ButtonEndOfFile, &QPushButton::clicked, this, [this] { ButtonEndOfFileClick(); });
    connect(SpeedButtonCopyStopToStart, &QToolButton::clicked, this,
            [this] { SpeedButtonCopyStopToStartClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    FormShow();
}

TTimeCode SplitDialog::startFields() {
    return fieldsTime(Word_uHour1, Word_uMin1, Word_uSec1, Word_uMSec1);
}
TTimeCode SplitDialog::stopFields() {
    return fieldsTime(Word_uHour2, Word_uMin2, Word_uSec2, Word_uMSec2);
}

void SplitDialog::setStartFields(TTimeCode t) {
    m_filling = true;
    setFieldsTime(t, Word_uHour1, Word_uMin1, Word_uSec1, Word_uMSec1);
    m_filling = false;
    fieldsChanged();
}

void SplitDialog::setStopFields(TTimeCode t) {
    m_filling = true;
    setFieldsTime(t, Word_uHour2, Word_uMin2, Word_uSec2, Word_uMSec2);
    m_filling = false;
    fieldsChanged();
}

void SplitDialog::FormShow() {
    m_fileEnd = SplitFileEnd(m_doc.store());
    m_filling = true;
    CheckBoxSplit->setChecked(m_doc.SplitActive());
    setFieldsTime(m_doc.SplitStart(), Word_uHour1, Word_uMin1, Word_uSec1, Word_uMSec1);
    setFieldsTime(m_doc.SplitStop(), Word_uHour2, Word_uMin2, Word_uSec2, Word_uMSec2);
    m_filling = false;
    CheckBoxSplitClick();
}

void SplitDialog::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void SplitDialog::CheckBoxSplitClick() {
    const bool on = CheckBoxSplit->isChecked();
    PanelStartSplit->setEnabled(on);
    PanelStopSplit->setEnabled(on);
    SpeedButtonCopyStopToStart->setEnabled(on);
    if (on)
        drawBar(startFields(), stopFields());
    else
        drawBar({}, m_fileEnd);
}

void SplitDialog::fieldsChanged() {
    if (!m_filling) drawBar(startFields(), stopFields());
}

void SplitDialog::drawBar(TTimeCode start, TTimeCode stop) {
    const SplitBarGeometry g =
        ComputeSplitBar(start, stop, m_fileEnd, ShapeFullFile->x(), ShapeFullFile->width());
    ShapeSplitFill->setGeometry(g.fillLeft, ShapeFullFile->y(), g.fillWidth,
                                ShapeFullFile->height());
    // A fill of no width would still show its frame line: hide it instead.
    ShapeSplitFill->setVisible(g.fillWidth > 0);
    const int tickTop = ShapeFullFile->y() - LabelBarStart->height();
    LabelBarStart->move(SplitBarGeometry::centredLeft(g.fillLeft, LabelBarStart->width()), tickTop);
    LabelBarStop->move(SplitBarGeometry::centredLeft(g.fillRight(), LabelBarStop->width()),
                       tickTop);
    LabelEndOfFile->setText(fromCp1252(g.endText));
    LabelEndOfFile->adjustSize();
    LabelEndOfFile->move(ShapeFullFile->x() + ShapeFullFile->width() + 4,
                         ShapeFullFile->y() +
                             (ShapeFullFile->height() - LabelEndOfFile->height()) / 2);
    const int under = ShapeFullFile->y() + ShapeFullFile->height() + 2;
    LabelStartSplit->setText(fromCp1252(g.startText));
    LabelStartSplit->adjustSize();
    LabelStartSplit->move(SplitBarGeometry::centredLeft(g.fillLeft, LabelStartSplit->width()),
                          under);
    LabelStopSplit->setText(fromCp1252(g.stopText));
    LabelStopSplit->adjustSize();
    LabelStopSplit->move(SplitBarGeometry::centredLeft(g.fillRight(), LabelStopSplit->width()),
                         under);
}

bool SplitDialog::BitBtn1Click() {
    for (TWord_u* f : {Word_uHour1, Word_uMin1, Word_uSec1, Word_uMSec1, Word_uHour2, Word_uMin2,
                       Word_uSec2, Word_uMSec2}) {
        if (!f->checkValue()) {
            f->setFocus();
            return false;
        }
    }
    SplitWindow w;
    w.SplitActive = CheckBoxSplit->isChecked();
    w.SplitStart = startFields();
    w.SplitStop = stopFields();
    if (!ApplySplit(m_doc, w, m_dialogs, m_catalogue)) return false;
    accept();
    return true;
}

} // namespace mirtal
