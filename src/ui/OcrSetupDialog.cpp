#include "ui/OcrSetupDialog.h"
#include "ui/WidgetSupport.h"

#include "ocr/OcrSettings.h"
#include "settings/SettingsFile.h"
#include "ui/NumericEdit.h"
#include "ui/UiDialogs.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

namespace mirtal {

namespace {

constexpr int kFieldWidth = 56;

// A field's value is set before its limits, since a limit never excludes
// the value the field holds.
TWord_u* wordField(QWidget* parent, const char* name, uint16_t min, uint16_t max,
                   UiDialogs& dialogs) {
    auto* f = named(new TWord_u(parent), name);
    f->setValeur(min);
    f->setValMin(min);
    f->setValMax(max);
    f->setDialogs(&dialogs);
    f->setFixedWidth(kFieldWidth);
    return f;
}

TInteger_u* integerField(QWidget* parent, const char* name, int32_t min, int32_t max,
                         UiDialogs& dialogs) {
    auto* f = named(new TInteger_u(parent), name);
    f->setValeur(min);
    f->setValMin(min);
    f->setValMax(max);
    f->setDialogs(&dialogs);
    f->setFixedWidth(kFieldWidth);
    return f;
}

} // namespace

OcrSetupDialog::OcrSetupDialog(OcrSettings& settings, UiDialogs& dialogs,
                               std::filesystem::path settingsFile, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs),
      m_settingsFile(std::move(settingsFile)) {
    setObjectName("Form4");
    setWindowTitle("OCR Advanced Setup");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    int labelNumber = 0;
    auto addField = [&](QGridLayout* g, const char* caption, QWidget* field) {
        const int row = g->rowCount();
        const QByteArray name = "Label" + QByteArray::number(++labelNumber);
        g->addWidget(named(new QLabel(caption, this), name.constData()), row, 0);
        g->addWidget(field, row, 1);
    };

    GroupBoxLine = named(new QGroupBox("Line Setup", this), "GroupBoxLine");
    auto* line = new QGridLayout(GroupBoxLine);
    Word_uLineMinHeight = wordField(GroupBoxLine, "Word_uLineMinHeight", 0, 45, dialogs);
    Word_uMinInterLine = wordField(GroupBoxLine, "Word_uMinInterLine", 1, 50, dialogs);
    // A height of 0 would skip every line.
    Word_uLineMaxHeight = wordField(GroupBoxLine, "Word_uLineMaxHeight", 1, 45, dialogs);
    addField(line, "Min. Line Exploration Height :", Word_uLineMinHeight);
    addField(line, "Min. Inter Line Height :", Word_uMinInterLine);
    addField(line, "Max. Line Height :", Word_uLineMaxHeight);

    GroupBoxChar = named(new QGroupBox("Character Setup", this), "GroupBoxChar");
    auto* chars = new QGridLayout(GroupBoxChar);
    Word_uCharMinWidth = wordField(GroupBoxChar, "Word_uCharMinWidth", 1, 45, dialogs);
    Word_uCharMinHeight = wordField(GroupBoxChar, "Word_uCharMinHeight", 1, 45, dialogs);
    CheckBoxDetachedChar = named(new QCheckBox("Check For Detached Char.", GroupBoxChar),
                                 "CheckBoxDetachedChar", "For thin characters");
    addField(chars, "Min. Char. Width :", Word_uCharMinWidth);
    addField(chars, "Min. Char. Height :", Word_uCharMinHeight);
    chars->addWidget(CheckBoxDetachedChar, chars->rowCount(), 0, 1, 2);

    GroupBoxEngine = named(new QGroupBox("OCR Engine Setup", this), "GroupBoxEngine");
    auto* engine = new QGridLayout(GroupBoxEngine);
    Word_uOcrWidthDiff = wordField(GroupBoxEngine, "Word_uOcrWidthDiff", 0, 45, dialogs);
    Word_uOcrTopDiff = wordField(GroupBoxEngine, "Word_uOcrTopDiff", 0, 45, dialogs);
    Word_uOcrHeightDiff = wordField(GroupBoxEngine, "Word_uOcrHeightDiff", 0, 45, dialogs);
    addField(engine, "Max Char. Width Difference to be the Same Charater :", Word_uOcrWidthDiff);
    addField(engine, "Max Char. Top  Difference (Line Top Relative) to be the Same Char. :",
             Word_uOcrTopDiff);
    addField(engine, "Max Char. Height Difference to be the Same Charater :", Word_uOcrHeightDiff);
    TrackBarSensibility = named(new QSlider(Qt::Horizontal, GroupBoxEngine), "TrackBarSensibility");
    TrackBarSensibility->setRange(0, 1000);
    TrackBarSensibility->setTickInterval(10);
    TrackBarSensibility->setTickPosition(QSlider::TicksBelow);
    Word_uSensibility = wordField(GroupBoxEngine, "Word_uSensibility", 0, 1000, dialogs);
    {
        const int row = engine->rowCount();
        const QByteArray name = "Label" + QByteArray::number(++labelNumber);
        engine->addWidget(
            named(new QLabel("Sensibility on Character Difference : 980", this), name.constData()),
            row, 0, 1, 2);
        engine->addWidget(TrackBarSensibility, row + 1, 0);
        engine->addWidget(Word_uSensibility, row + 1, 1);
    }
    ComboBoxNewGlyphs = named(new QComboBox(GroupBoxEngine), "ComboBoxNewGlyphs",
                              "Ask: every new glyph is asked. Suggest: asked with Tesseract's "
                              "reading filled in. Name automatically: named by the majority of "
                              "Tesseract's readings, only contested glyphs are asked");
    ComboBoxNewGlyphs->addItems({"ask", "suggest", "name automatically"});
    {
        // Named apart from the numbered labels, whose names the language files use.
        const int row = engine->rowCount();
        engine->addWidget(named(new QLabel("New glyphs :", this), "LabelNewGlyphs"), row, 0);
        engine->addWidget(ComboBoxNewGlyphs, row, 1);
    }
    CheckBoxMarkItalics = named(new QCheckBox("Mark italics as <i>...</i>", GroupBoxEngine),
                                "CheckBoxMarkItalics",
                                "Text set in italic is marked in the subtitles");
    engine->addWidget(CheckBoxMarkItalics, engine->rowCount(), 0, 1, 2);

    GroupBoxSpace = named(new QGroupBox("Space Width Setup", this), "GroupBoxSpace");
    auto* space = new QGridLayout(GroupBoxSpace);
    Integer_uMinSpaceWidth =
        integerField(GroupBoxSpace, "Integer_uMinSpaceWidth", -10, 45, dialogs);
    Integer_uMinItaSpaceWidth =
        integerField(GroupBoxSpace, "Integer_uMinItaSpaceWidth", -10, 45, dialogs);
    Integer_uDetectItaWidth =
        integerField(GroupBoxSpace, "Integer_uDetectItaWidth", -10, 10, dialogs);
    addField(space, "Normal Char. :", Integer_uMinSpaceWidth);
    addField(space, "Italic Char.:", Integer_uMinItaSpaceWidth);
    CheckBoxAutoSpaceWidth =
        named(new QCheckBox("Auto", GroupBoxSpace), "CheckBoxAutoSpaceWidth",
              "Both widths chosen during each rip from the gaps between the characters; "
              "the widths above serve until enough gaps are seen");
    space->addWidget(CheckBoxAutoSpaceWidth, space->rowCount(), 0, 1, 2);
    addField(space, "Italic Detection Width :", Integer_uDetectItaWidth);

    BitBtnOk = named(new QPushButton("OK", this), "BitBtnOk");
    BitBtnCancel = named(new QPushButton("Cancel", this), "BitBtnCancel");
    ButtonDefaultValues =
        named(new QPushButton("Reload Default Values", this), "ButtonDefaultValues");
    ButtonSaveValues = named(new QPushButton("Save these Values", this), "ButtonSaveValues");
    BitBtnOk->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(GroupBoxLine, 0, 0);
    grid->addWidget(GroupBoxChar, 1, 0);
    grid->addWidget(GroupBoxEngine, 0, 1);
    grid->addWidget(GroupBoxSpace, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonDefaultValues);
    buttons->addWidget(ButtonSaveValues);
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnCancel);
    auto* v = new QVBoxLayout(this);
    v->addLayout(grid);
    v->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The bar and the field follow each other; the guard keeps the bar from
    // rewriting a field that is being typed into.
    connect(TrackBarSensibility, &QSlider::valueChanged, this, [this](int v) {
        if (m_syncing) return;
        m_syncing = true;
        Word_uSensibility->setValeur(v);
        m_syncing = false;
    });
    connect(Word_uSensibility, &QLineEdit::textChanged, this, [this] {
        if (m_syncing) return;
        m_syncing = true;
        TrackBarSensibility->setValue(Word_uSensibility->valeur());
        m_syncing = false;
    });
    connect(BitBtnOk, &QPushButton::clicked, this, [this] { BitBtnOkClick(); });
    connect(BitBtnCancel, &QPushButton::clicked, this, [this] { BitBtnCancelClick(); });
    connect(ButtonDefaultValues, &QPushButton::clicked, this,
            [this] { ButtonDefaultValuesClick(); });
    connect(ButtonSaveValues, &QPushButton::clicked, this, [this] { ButtonSaveValuesClick(); });
    loadControls();
}

void OcrSetupDialog::loadControls() {
    const OcrSettings& s = m_settings;
    Word_uLineMinHeight->setValeur(s.MinLineHeight);
    Word_uMinInterLine->setValeur(s.MinInterLine);
    Word_uLineMaxHeight->setValeur(s.MaxLineHeight);
    Word_uCharMinWidth->setValeur(s.MinCharWidth);
    Word_uCharMinHeight->setValeur(s.MinCharHeight);
    CheckBoxDetachedChar->setChecked(s.CheckDetachedChar);
    Word_uOcrWidthDiff->setValeur(s.MaxCharDiffWidth);
    Word_uOcrTopDiff->setValeur(s.MaxCharDiffTop);
    Word_uOcrHeightDiff->setValeur(s.MaxCharDiffHeight);
    Word_uSensibility->setValeur(s.Sensibility);
    TrackBarSensibility->setValue(Word_uSensibility->valeur());
    Integer_uMinSpaceWidth->setValeur(s.SpaceWidth);
    Integer_uMinItaSpaceWidth->setValeur(s.ItaSpaceWidth);
    Integer_uDetectItaWidth->setValeur(s.DetectItaWidth);
    CheckBoxAutoSpaceWidth->setChecked(s.AutoSpaceWidth);
    ComboBoxNewGlyphs->setCurrentIndex(std::min<int>(s.NameGlyphs, 2));
    CheckBoxMarkItalics->setChecked(s.MarkItalics);
}

bool OcrSetupDialog::storeControls() {
    // A field left with a value out of its range (OK pressed with the key
    // board, so the field never lost the focus) is corrected and reported
    // here rather than stored.
    for (NumericEdit* f : std::initializer_list<NumericEdit*>{
             Word_uLineMinHeight, Word_uMinInterLine, Word_uLineMaxHeight, Word_uCharMinWidth,
             Word_uCharMinHeight, Word_uOcrWidthDiff, Word_uOcrTopDiff, Word_uOcrHeightDiff,
             Word_uSensibility, Integer_uMinSpaceWidth, Integer_uMinItaSpaceWidth,
             Integer_uDetectItaWidth}) {
        if (!f->checkValue()) {
            f->setFocus();
            return false;
        }
    }
    OcrSettings& s = m_settings;
    s.MinLineHeight = uint8_t(Word_uLineMinHeight->valeur());
    s.MinInterLine = uint8_t(Word_uMinInterLine->valeur());
    s.MaxLineHeight = uint8_t(Word_uLineMaxHeight->valeur());
    s.MinCharWidth = uint8_t(Word_uCharMinWidth->valeur());
    s.MinCharHeight = uint8_t(Word_uCharMinHeight->valeur());
    s.CheckDetachedChar = CheckBoxDetachedChar->isChecked();
    s.MaxCharDiffWidth = uint8_t(Word_uOcrWidthDiff->valeur());
    s.MaxCharDiffTop = uint8_t(Word_uOcrTopDiff->valeur());
    s.MaxCharDiffHeight = uint8_t(Word_uOcrHeightDiff->valeur());
    s.Sensibility = Word_uSensibility->valeur();
    s.SpaceWidth = Integer_uMinSpaceWidth->valeur();
    s.ItaSpaceWidth = Integer_uMinItaSpaceWidth->valeur();
    s.DetectItaWidth = Integer_uDetectItaWidth->valeur();
    s.AutoSpaceWidth = CheckBoxAutoSpaceWidth->isChecked();
    s.NameGlyphs = uint8_t(std::max(0, ComboBoxNewGlyphs->currentIndex()));
    s.MarkItalics = CheckBoxMarkItalics->isChecked();
    return true;
}

void OcrSetupDialog::BitBtnOkClick() {
    if (storeControls()) accept();
}

void OcrSetupDialog::BitBtnCancelClick() {
    loadControls();
    QDialog::reject();
}

// Escape cancels only while Cancel is offered.
void OcrSetupDialog::reject() {
    if (BitBtnCancel->isEnabled()) BitBtnCancelClick();
}

void OcrSetupDialog::ButtonDefaultValuesClick() {
    ResetOcrSettings(m_settings);
    loadControls();
    BitBtnCancel->setEnabled(false);
}

void OcrSetupDialog::ButtonSaveValuesClick() {
    if (!storeControls()) return;
    BitBtnCancel->setEnabled(false);
    if (Result r = SaveOcrSettings(m_settingsFile, m_settings); !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

void OcrSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    loadControls();
    BitBtnCancel->setEnabled(true);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

} // namespace mirtal
