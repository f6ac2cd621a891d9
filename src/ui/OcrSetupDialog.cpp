#include "ui/OcrSetupDialog.h"

#include "ocr/OcrSettings.h"
#include "settings/SettingsFile.h"
#include "ui/NumericEdit.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

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
#include <algorithm>

namespace mirtal {

namespace {

constexpr int kFieldWidth = 56;

} // namespace

OcrSetupDialog::OcrSetupDialog(OcrSettings& settings, UiDialogs& dialogs,
                               std::filesystem::path settingsFile, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs),
      m_settingsFile(std::move(settingsFile)) {
    setObjectName("Form4");
    setWindowTitle("OCR Advanced Setup");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* grid = new QGridLayout;
    grid->addWidget(buildLineGroup(), 0, 0);
    grid->addWidget(buildCharGroup(), 1, 0);
    grid->addWidget(buildEngineGroup(), 0, 1);
    grid->addWidget(buildSpaceGroup(), 1, 1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(grid);
    v->addLayout(buildButtons());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    loadControls();
}

// A field's value is set before its limits, since a limit never excludes
// the value the field holds.
TWord_u* OcrSetupDialog::wordField(QWidget* parent, const char* name, uint16_t min, uint16_t max) {
    auto* f = named(new TWord_u(parent), name);
    f->setValue(min);
    f->setValMin(min);
    f->setValMax(max);
    f->setDialogs(&m_dialogs);
    f->setFixedWidth(kFieldWidth);
    return f;
}

TInteger_u* OcrSetupDialog::integerField(QWidget* parent, const char* name, int32_t min,
                                         int32_t max) {
    auto* f = named(new TInteger_u(parent), name);
    f->setValue(min);
    f->setValMin(min);
    f->setValMax(max);
    f->setDialogs(&m_dialogs);
    f->setFixedWidth(kFieldWidth);
    return f;
}

void OcrSetupDialog::addField(QGridLayout* grid, const char* labelName, const char* caption,
                              QWidget* field) {
    const int row = grid->rowCount();
    grid->addWidget(named(new QLabel(caption, this), labelName), row, 0);
    grid->addWidget(field, row, 1);
}

QGroupBox* OcrSetupDialog::buildLineGroup() {
    auto* box = named(new QGroupBox("Line Setup", this), "GroupBoxLine");
    auto* grid = new QGridLayout(box);
    m_lineMinHeight = wordField(box, "Word_uLineMinHeight", 0, 45);
    m_minInterLine = wordField(box, "Word_uMinInterLine", 1, 50);
    // A height of 0 would skip every line.
    m_lineMaxHeight = wordField(box, "Word_uLineMaxHeight", 1, 45);
    addField(grid, "Label1", "Min. Line Exploration Height :", m_lineMinHeight);
    addField(grid, "Label2", "Min. Inter Line Height :", m_minInterLine);
    addField(grid, "Label3", "Max. Line Height :", m_lineMaxHeight);
    return box;
}

QGroupBox* OcrSetupDialog::buildCharGroup() {
    auto* box = named(new QGroupBox("Character Setup", this), "GroupBoxChar");
    auto* grid = new QGridLayout(box);
    m_charMinWidth = wordField(box, "Word_uCharMinWidth", 1, 45);
    m_charMinHeight = wordField(box, "Word_uCharMinHeight", 1, 45);
    m_detachedCharCheck = named(new QCheckBox("Check For Detached Char.", box),
                                "CheckBoxDetachedChar", "For thin characters");
    addField(grid, "Label4", "Min. Char. Width :", m_charMinWidth);
    addField(grid, "Label5", "Min. Char. Height :", m_charMinHeight);
    grid->addWidget(m_detachedCharCheck, grid->rowCount(), 0, 1, 2);
    return box;
}

QGroupBox* OcrSetupDialog::buildEngineGroup() {
    auto* box = named(new QGroupBox("OCR Engine Setup", this), "GroupBoxEngine");
    auto* grid = new QGridLayout(box);
    m_widthDiff = wordField(box, "Word_uOcrWidthDiff", 0, 45);
    m_topDiff = wordField(box, "Word_uOcrTopDiff", 0, 45);
    m_heightDiff = wordField(box, "Word_uOcrHeightDiff", 0, 45);
    addField(grid, "Label6", "Max Char. Width Difference to be the Same Charater :", m_widthDiff);
    addField(grid, "Label7",
             "Max Char. Top  Difference (Line Top Relative) to be the Same Char. :", m_topDiff);
    addField(grid, "Label8", "Max Char. Height Difference to be the Same Charater :", m_heightDiff);
    addSensibility(grid);
    addNewGlyphChoices(grid);
    m_markItalicsCheck =
        named(new QCheckBox("Mark italics as <i>...</i>", box), "CheckBoxMarkItalics",
              "Text set in italic is marked in the subtitles");
    grid->addWidget(m_markItalicsCheck, grid->rowCount(), 0, 1, 2);
    return box;
}

// The bar and the field follow each other.
void OcrSetupDialog::addSensibility(QGridLayout* grid) {
    QWidget* box = grid->parentWidget();
    m_sensibilityBar = named(new QSlider(Qt::Horizontal, box), "TrackBarSensibility");
    m_sensibilityBar->setRange(0, 1000);
    m_sensibilityBar->setTickInterval(10);
    m_sensibilityBar->setTickPosition(QSlider::TicksBelow);
    m_sensibility = wordField(box, "Word_uSensibility", 0, 1000);
    const int row = grid->rowCount();
    grid->addWidget(named(new QLabel("Sensibility on Character Difference : 980", this), "Label9"),
                    row, 0, 1, 2);
    grid->addWidget(m_sensibilityBar, row + 1, 0);
    grid->addWidget(m_sensibility, row + 1, 1);
    connect(m_sensibilityBar, &QSlider::valueChanged, this, &OcrSetupDialog::sensibilityBarMoved);
    connect(m_sensibility, &QLineEdit::textChanged, this, &OcrSetupDialog::sensibilityTyped);
}

void OcrSetupDialog::addNewGlyphChoices(QGridLayout* grid) {
    m_newGlyphsCombo = named(new QComboBox(grid->parentWidget()), "ComboBoxNewGlyphs",
                             "Ask: every new glyph is asked. Suggest: asked with Tesseract's "
                             "reading filled in. Name automatically: named by the majority of "
                             "Tesseract's readings, only contested glyphs are asked");
    m_newGlyphsCombo->addItems({"ask", "suggest", "name automatically"});
    // Named apart from the numbered labels, whose names the language files use.
    const int row = grid->rowCount();
    grid->addWidget(named(new QLabel("New glyphs :", this), "LabelNewGlyphs"), row, 0);
    grid->addWidget(m_newGlyphsCombo, row, 1);
}

QGroupBox* OcrSetupDialog::buildSpaceGroup() {
    auto* box = named(new QGroupBox("Space Width Setup", this), "GroupBoxSpace");
    auto* grid = new QGridLayout(box);
    m_spaceWidth = integerField(box, "Integer_uMinSpaceWidth", -10, 45);
    m_italicSpaceWidth = integerField(box, "Integer_uMinItaSpaceWidth", -10, 45);
    m_italicDetectWidth = integerField(box, "Integer_uDetectItaWidth", -10, 10);
    addField(grid, "Label10", "Normal Char. :", m_spaceWidth);
    addField(grid, "Label11", "Italic Char.:", m_italicSpaceWidth);
    m_autoSpaceWidthCheck =
        named(new QCheckBox("Auto", box), "CheckBoxAutoSpaceWidth",
              "Both widths chosen during each rip from the gaps between the characters; "
              "the widths above serve until enough gaps are seen");
    grid->addWidget(m_autoSpaceWidthCheck, grid->rowCount(), 0, 1, 2);
    addField(grid, "Label12", "Italic Detection Width :", m_italicDetectWidth);
    return box;
}

QLayout* OcrSetupDialog::buildButtons() {
    m_okButton = named(new QPushButton("OK", this), "BitBtnOk");
    m_cancelButton = named(new QPushButton("Cancel", this), "BitBtnCancel");
    auto* defaults = named(new QPushButton("Reload Default Values", this), "ButtonDefaultValues");
    auto* save = named(new QPushButton("Save these Values", this), "ButtonSaveValues");
    m_okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(defaults);
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    connect(m_okButton, &QPushButton::clicked, this, &OcrSetupDialog::storeAndClose);
    connect(m_cancelButton, &QPushButton::clicked, this, &OcrSetupDialog::cancelEdits);
    connect(defaults, &QPushButton::clicked, this, &OcrSetupDialog::reloadDefaults);
    connect(save, &QPushButton::clicked, this, &OcrSetupDialog::saveValues);
    return buttons;
}

// The guard keeps the bar from rewriting a field that is being typed into.
void OcrSetupDialog::sensibilityBarMoved(int value) {
    if (m_syncing) return;
    m_syncing = true;
    m_sensibility->setValue(value);
    m_syncing = false;
}

void OcrSetupDialog::sensibilityTyped() {
    if (m_syncing) return;
    m_syncing = true;
    m_sensibilityBar->setValue(m_sensibility->value());
    m_syncing = false;
}

void OcrSetupDialog::loadControls() {
    const OcrSettings& s = m_settings;
    m_lineMinHeight->setValue(s.MinLineHeight);
    m_minInterLine->setValue(s.MinInterLine);
    m_lineMaxHeight->setValue(s.MaxLineHeight);
    m_charMinWidth->setValue(s.MinCharWidth);
    m_charMinHeight->setValue(s.MinCharHeight);
    m_detachedCharCheck->setChecked(s.CheckDetachedChar);
    m_widthDiff->setValue(s.MaxCharDiffWidth);
    m_topDiff->setValue(s.MaxCharDiffTop);
    m_heightDiff->setValue(s.MaxCharDiffHeight);
    m_sensibility->setValue(s.Sensibility);
    m_sensibilityBar->setValue(m_sensibility->value());
    m_spaceWidth->setValue(s.SpaceWidth);
    m_italicSpaceWidth->setValue(s.ItaSpaceWidth);
    m_italicDetectWidth->setValue(s.DetectItaWidth);
    m_autoSpaceWidthCheck->setChecked(s.AutoSpaceWidth);
    m_newGlyphsCombo->setCurrentIndex(std::min<int>(s.NameGlyphs, 2));
    m_markItalicsCheck->setChecked(s.MarkItalics);
}

bool OcrSetupDialog::storeControls() {
    // A field left with a value out of its range (OK pressed with the key
    // board, so the field never lost the focus) is corrected and reported
    // here rather than stored.
    for (NumericEdit* f : std::initializer_list<NumericEdit*>{
             m_lineMinHeight, m_minInterLine, m_lineMaxHeight, m_charMinWidth, m_charMinHeight,
             m_widthDiff, m_topDiff, m_heightDiff, m_sensibility, m_spaceWidth, m_italicSpaceWidth,
             m_italicDetectWidth}) {
        if (!f->checkValue()) {
            f->setFocus();
            return false;
        }
    }
    OcrSettings& s = m_settings;
    s.MinLineHeight = uint8_t(m_lineMinHeight->value());
    s.MinInterLine = uint8_t(m_minInterLine->value());
    s.MaxLineHeight = uint8_t(m_lineMaxHeight->value());
    s.MinCharWidth = uint8_t(m_charMinWidth->value());
    s.MinCharHeight = uint8_t(m_charMinHeight->value());
    s.CheckDetachedChar = m_detachedCharCheck->isChecked();
    s.MaxCharDiffWidth = uint8_t(m_widthDiff->value());
    s.MaxCharDiffTop = uint8_t(m_topDiff->value());
    s.MaxCharDiffHeight = uint8_t(m_heightDiff->value());
    s.Sensibility = m_sensibility->value();
    s.SpaceWidth = m_spaceWidth->value();
    s.ItaSpaceWidth = m_italicSpaceWidth->value();
    s.DetectItaWidth = m_italicDetectWidth->value();
    s.AutoSpaceWidth = m_autoSpaceWidthCheck->isChecked();
    s.NameGlyphs = uint8_t(std::max(0, m_newGlyphsCombo->currentIndex()));
    s.MarkItalics = m_markItalicsCheck->isChecked();
    return true;
}

void OcrSetupDialog::storeAndClose() {
    if (storeControls()) accept();
}

void OcrSetupDialog::cancelEdits() {
    loadControls();
    QDialog::reject();
}

// Escape cancels only while Cancel is offered.
void OcrSetupDialog::reject() {
    if (m_cancelButton->isEnabled()) cancelEdits();
}

void OcrSetupDialog::reloadDefaults() {
    resetOcrSettings(m_settings);
    loadControls();
    m_cancelButton->setEnabled(false);
}

void OcrSetupDialog::saveValues() {
    if (!storeControls()) return;
    m_cancelButton->setEnabled(false);
    if (Result r = saveOcrSettings(m_settingsFile, m_settings); !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

void OcrSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    loadControls();
    m_cancelButton->setEnabled(true);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

} // namespace mirtal
