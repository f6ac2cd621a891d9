#include "ui/BitmapAdjustDialog.h"

#include "export/BmpFile.h"
#include "ocr/TextColour.h"
#include "rip/Session.h"
#include "settings/SettingsFile.h"
#include "ui/PreviewPane.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace mirtal {

namespace {

constexpr const char* kProfileFilter = "Mirtal BMP Settings File (*.ini)|*.ini|All|*.*";
constexpr const char* kBitmapFilter = "Bitmap File (*.bmp)|*.bmp|All|*.*";
constexpr int kBarHeight = 30;
constexpr int kOutlineDelayMs = 50;

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    return named(new QLabel(text, parent), name);
}

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value) {
    auto* s = named(new QSpinBox(parent), name);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

QComboBox* combo(QWidget* parent, const QString& name, int items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    for (int i = 0; i < items; ++i) c->addItem(QString::number(i));
    return c;
}

// A file dialog may hand back a name without the extension it was asked to add.
std::filesystem::path withDefaultExtension(std::filesystem::path p, const char* ext) {
    if (!p.has_extension()) p += ext;
    return p;
}

// Radio buttons of one group where "none checked" must be possible.
void checkOnly(const std::array<QRadioButton*, 4>& buttons, int index) {
    for (int i = 0; i < 4; ++i) {
        buttons[size_t(i)]->setAutoExclusive(false);
        buttons[size_t(i)]->setChecked(i == index);
        buttons[size_t(i)]->setAutoExclusive(true);
    }
}

int checkedIndex(const std::array<QRadioButton*, 4>& buttons) {
    for (int i = 0; i < 4; ++i)
        if (buttons[size_t(i)]->isChecked()) return i;
    return -1;
}

QIcon arrowsIcon(bool up) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int row : {1, 8}) {
        QPolygonF t;
        if (up)
            t << QPointF(8, row) << QPointF(14, row + 6) << QPointF(2, row + 6);
        else
            t << QPointF(2, row) << QPointF(14, row) << QPointF(8, row + 6);
        p.drawPolygon(t);
    }
    return QIcon(pm);
}

} // namespace

BitmapAdjustDialog::BitmapAdjustDialog(Session& session, UiDialogs& dialogs,
                                       std::filesystem::path profileFolder, QWidget* parent)
    : QDialog(parent), m_session(session), m_dialogs(dialogs),
      m_profileFolder(std::move(profileFolder)) {
    setObjectName("Form18");
    setWindowTitle("Bitmap adjustment");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    m_tabs = named(new QTabWidget(this), "PageControl1");
    m_tabs->setUsesScrollButtons(false);
    m_tabs->addTab(buildProfilesTab(), "Profiles");
    m_tabs->addTab(buildCroppingTab(), "Cropping");
    m_tabs->addTab(buildColoursTab(), "Colors");
    m_tabs->addTab(buildPositioningTab(), "Positioning");
    root->addWidget(m_tabs, 1);
    root->addWidget(buildBottomBar());

    m_outlineTimer = named(new QTimer(this), "Timer1");
    m_outlineTimer->setSingleShot(true);
    m_outlineTimer->setInterval(kOutlineDelayMs);
    connect(m_outlineTimer, &QTimer::timeout, this, &BitmapAdjustDialog::applyTabOutline);

    connectHandlers();
    updateReduceGlyph();
    fitSize();
}

// Full size is what the texts of the current language need; reduced, only
// the button that brings it back is left.
void BitmapAdjustDialog::fitSize() {
    if (m_reduced) {
        layout()->setSizeConstraint(QLayout::SetNoConstraint);
        setFixedSize(kBarHeight, kBarHeight + 2);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
}

QWidget* BitmapAdjustDialog::buildProfilesTab() {
    auto* page = named(new QWidget, "TabSheetProfiles");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 6, 8, 6);
    auto* box = named(new QGroupBox("BMP Settings Profiles : ", page), "GroupBoxProfiles");
    auto* g = new QGridLayout(box);
    g->addWidget(label(box, "LabelProfile", "Current Profile :"), 0, 0);
    m_profileLabel = label(box, "LabelCurrentProfile", "None");
    m_profileLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    g->addWidget(m_profileLabel, 0, 1);
    g->setColumnStretch(1, 1);
    m_saveProfileButton =
        named(new QPushButton("Save settings as a new Profile ...", box), "ButtonSaveProfile");
    m_loadProfileButton =
        named(new QPushButton("Load settings from a Profile ...", box), "ButtonLoadProfile");
    g->addWidget(m_saveProfileButton, 1, 0, 1, 2);
    g->addWidget(m_loadProfileButton, 2, 0, 1, 2);
    v->addWidget(box);
    m_saveBitmapButton = named(new QPushButton("Save Current BMP &As ...", page), "ButtonSaveBMP");
    v->addWidget(m_saveBitmapButton);
    v->addStretch(1);
    return page;
}

QWidget* BitmapAdjustDialog::buildCroppingTab() {
    auto* page = named(new QWidget, "TabSheetCropping");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);
    m_croppingCheck = named(new QCheckBox("Allow BMP Cropping ( Only keep the text area ) :", page),
                            "CheckBoxAllowBmpCropping");
    m_croppingCheck->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(m_croppingCheck, 0, Qt::AlignLeft);
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    row->addWidget(buildSizeConstraints(page));
    row->addWidget(buildAlignmentPanel(page), 1);
    v->addLayout(row, 1);
    return page;
}

QGroupBox* BitmapAdjustDialog::buildSizeConstraints(QWidget* page) {
    auto* box = named(new QGroupBox("Size Constraints : ( Maximum size is 720 x 576 )", page),
                      "GroupBoxSizeConstraints");
    m_sizeConstraintsBox = box;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 2, 4, 2);
    g->setVerticalSpacing(2);
    m_minWidthSpin = spin(box, "SpinEditMinX", 0, 720, 16);
    m_minHeightSpin = spin(box, "SpinEditMinY", 0, 576, 50);
    m_widthMultipleSpin = spin(box, "SpinEditDivX", 1, 32, 8);
    m_heightMultipleSpin = spin(box, "SpinEditDivY", 1, 32, 2);
    g->addWidget(label(box, "LabelMinX", "Minimum Picture Width :"), 0, 0);
    g->addWidget(m_minWidthSpin, 0, 1);
    g->addWidget(label(box, "LabelMinY", "Minimum Picture Height :"), 1, 0);
    g->addWidget(m_minHeightSpin, 1, 1);
    g->addWidget(label(box, "LabelDivX", "Width must be a multiple of :"), 2, 0);
    g->addWidget(m_widthMultipleSpin, 2, 1);
    g->addWidget(label(box, "LabelDivY", "Height must be a multiple of :"), 3, 0);
    g->addWidget(m_heightMultipleSpin, 3, 1);
    return box;
}

QFrame* BitmapAdjustDialog::buildAlignmentPanel(QWidget* page) {
    m_alignmentPanel = named(new QFrame(page), "PanelAlignment");
    QFrame* panel = m_alignmentPanel;
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* pv = new QVBoxLayout(panel);
    pv->setContentsMargins(3, 2, 3, 2);
    pv->setSpacing(1);
    auto* info =
        label(panel, "LabelAlignment",
              "If a black border remain (due to Size Constraints) then place text as follow :");
    info->setWordWrap(true);
    pv->addWidget(info);
    auto* groups = new QGridLayout;
    groups->setHorizontalSpacing(2);
    groups->setVerticalSpacing(1);
    m_horizontalAlignment =
        named(new RadioGroup("Horizontal Alignment ( X ) : ", {"Left", "Center", "Right"}, panel),
              "RadioGroupHAlignment");
    m_verticalAlignment =
        named(new RadioGroup("Vertical Alignment ( Y ) : ", {"Top", "Center", "Bottom"}, panel),
              "RadioGroupVAlignment");
    m_xShiftSpin = spin(panel, "SpinEditXShift", -720, 720, 0);
    m_yShiftSpin = spin(panel, "SpinEditYShift", -576, 576, 0);
    groups->addWidget(m_horizontalAlignment, 0, 0, 1, 2);
    groups->addWidget(m_verticalAlignment, 0, 2, 1, 2);
    groups->addWidget(label(panel, "LabelXShift", "+"), 1, 0, Qt::AlignRight);
    groups->addWidget(m_xShiftSpin, 1, 1);
    groups->addWidget(label(panel, "LabelYShift", "+"), 1, 2, Qt::AlignRight);
    groups->addWidget(m_yShiftSpin, 1, 3);
    pv->addLayout(groups);
    return panel;
}

QFrame* BitmapAdjustDialog::makeSwatch(QWidget* parent, const char* name, const QString& hint) {
    auto* f = named(new QFrame(parent), name, hint);
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setMinimumSize(34, 18);
    f->setCursor(Qt::PointingHandCursor);
    f->installEventFilter(this);
    return f;
}

QWidget* BitmapAdjustDialog::buildColoursTab() {
    auto* page = named(new QWidget, "TabSheetColors");
    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(4, 2, 4, 2);
    h->setSpacing(4);
    h->addLayout(buildColourSlots(page), 1);
    h->addLayout(buildPaletteOptions(page));
    return page;
}

// One row per output slot: its code in the DVD, its colour and its index in
// the output palette.
QLayout* BitmapAdjustDialog::buildColourSlots(QWidget* page) {
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(2);
    const char* headings[] = {"Colors order in the original DVD :", "Colors in the Output Bitmap :",
                              "Colors Palette Index in the Output Bitmap :"};
    const char* headingNames[] = {"LabelDVDColor", "LabelOutputColor", "LabelColorIndex"};
    for (int c = 0; c < 3; ++c) {
        QLabel* l = label(page, headingNames[c], headings[c]);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        g->addWidget(l, 0, c + 1);
    }
    const char* rows[] = {"- Background ->", "- Font ------------->", "- Outline --------->",
                          "- Antialiasing --->"};
    const char* rowNames[] = {"LabelBackground", "LabelFont", "LabelOutline", "LabelAntialiasing"};
    for (int k = 0; k < 4; ++k) {
        const size_t slot = size_t(k);
        g->addWidget(label(page, rowNames[k], rows[k]), k + 1, 0);
        m_dvdCodeCombos[slot] = combo(page, QString("ComboBoxDVDColor%1").arg(k), 4);
        const QByteArray swatchName = QString("PanelColor%1").arg(k).toLatin1();
        m_colourSwatches[slot] = makeSwatch(
            page, swatchName.constData(),
            k == 3 ? QString("On certain DVD Antialiasing color is not used") : QString());
        m_paletteIndexCombos[slot] = combo(page, QString("ComboBoxColorIndex%1").arg(k), 16);
        g->addWidget(m_dvdCodeCombos[slot], k + 1, 1, Qt::AlignHCenter);
        g->addWidget(m_colourSwatches[slot], k + 1, 2);
        g->addWidget(m_paletteIndexCombos[slot], k + 1, 3, Qt::AlignHCenter);
    }
    g->setRowStretch(5, 1);
    return g;
}

QLayout* BitmapAdjustDialog::buildPaletteOptions(QWidget* page) {
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    m_palettePreset = named(new RadioGroup("Preset : ", {"Free", "I-Author", "Philips"}, page),
                            "RadioGroupPresetPaletteIndex");
    right->addWidget(m_palettePreset);
    auto* unused = new QHBoxLayout;
    unused->addWidget(label(page, "LabelUnusedColor", "Unused colors :"));
    m_unusedColourSwatch =
        makeSwatch(page, "PanelUnusedColor", "Color for the 12 unused colors in the palette");
    unused->addWidget(m_unusedColourSwatch);
    right->addLayout(unused);
    m_bitDepthCombo = named(new QComboBox(page), "ComboBoxBitPerPixel",
                            "Allow you to choose the number of bit per pixel");
    m_bitDepthCombo->addItems({"4 bits", "8 bits"});
    right->addWidget(m_bitDepthCombo);
    m_autoSortButton = named(new QPushButton("Auto sort colors", page), "ButtonAutoSortColor");
    right->addWidget(m_autoSortButton);
    right->addStretch(1);
    return right;
}

namespace {

// One side of the Positioning tab: its group, mode buttons and fields.
struct PositionSide {
    const char* group;
    const char* caption;
    const char* names[4];
    const char* captions[4];
    const char* setTo;
    const char* add;
    const char* addLabel;
    int setToMax, shift;
};

const PositionSide kLeftSide{
    "GroupBoxLeftPosition",
    "Left Position ( X ) ",
    {"RadioButtonLeftKeep", "RadioButtonLeftCenter", "RadioButtonLeftRight",
     "RadioButtonLeftSetTo"},
    {"Keep original position", "Center", "Right ( X1= 720 - Width )", "Set to :"},
    "SpinEditLeftPosition",
    "SpinEditAddLeftPos",
    "LabelAddLeftPos",
    719,
    720};
const PositionSide kTopSide{
    "GroupBoxTopPosition",
    "Top Position ( Y ) ",
    {"RadioButtonTopKeep", "RadioButtonTopCenter", "RadioButtonTopBottom", "RadioButtonTopSetTo"},
    {"Keep original position", "Center", "Bottom ( Y1= 576 - Height )", "Set to :"},
    "SpinEditTopPosition",
    "SpinEditAddTopPos",
    "LabelAddTopPos",
    575,
    576};

QGroupBox* buildPositionBox(QWidget* page, const PositionSide& side,
                            std::array<QRadioButton*, 4>& buttons, QSpinBox*& setTo,
                            QSpinBox*& add) {
    auto* box = named(new QGroupBox(side.caption, page), side.group);
    auto* g = new QGridLayout(box);
    g->setContentsMargins(4, 2, 4, 2);
    g->setVerticalSpacing(1);
    for (int i = 0; i < 4; ++i) {
        buttons[size_t(i)] = named(new QRadioButton(side.captions[i], box), side.names[i]);
        g->addWidget(buttons[size_t(i)], i, 0, 1, i == 3 ? 1 : 2);
    }
    setTo = spin(box, side.setTo, 0, side.setToMax, 0);
    add = spin(box, side.add, -side.shift, side.shift, 0);
    g->addWidget(setTo, 3, 1);
    g->addWidget(label(box, side.addLabel, "Then Add/Remove :"), 4, 0);
    g->addWidget(add, 4, 1);
    return box;
}

} // namespace

QWidget* BitmapAdjustDialog::buildPositioningTab() {
    auto* page = named(new QWidget, "TabSheetPositioning");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);
    m_positioningCheck =
        named(new QCheckBox("Allow BMP position change :", page), "CheckBoxAllowPositionChange");
    m_positioningCheck->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(m_positioningCheck, 0, Qt::AlignLeft);
    auto* row = new QHBoxLayout;
    m_leftBox = buildPositionBox(page, kLeftSide, m_leftModeButtons, m_leftSpin, m_leftShiftSpin);
    m_topBox = buildPositionBox(page, kTopSide, m_topModeButtons, m_topSpin, m_topShiftSpin);
    row->addWidget(m_leftBox);
    row->addWidget(m_topBox);
    v->addLayout(row, 1);
    return page;
}

QFrame* BitmapAdjustDialog::buildBottomBar() {
    auto* bar = named(new QFrame(this), "PanelBottom");
    bar->setFixedHeight(kBarHeight);
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(2, 2, 4, 2);
    m_reduceButton = named(new QPushButton(bar), "ButtonReduceWindow", "Reduce window size");
    m_reduceButton->setFixedSize(26, 26);
    m_skipButton = named(new QPushButton("&Skip this Picture", bar), "ButtonSkipPict",
                         "Don't save this Picture");
    m_okButton = named(new QPushButton("OK", bar), "BitBtn1");
    m_okButton->setDefault(true);
    h->addWidget(m_reduceButton);
    h->addStretch(1);
    h->addWidget(m_skipButton);
    h->addWidget(m_okButton);
    return bar;
}

void BitmapAdjustDialog::connectHandlers() {
    using D = BitmapAdjustDialog;
    connect(m_croppingCheck, &QCheckBox::toggled, this, &D::croppingToggled);
    for (QSpinBox* s : {m_minWidthSpin, m_minHeightSpin, m_widthMultipleSpin, m_heightMultipleSpin,
                        m_xShiftSpin, m_yShiftSpin})
        connect(s, &QSpinBox::valueChanged, this, &D::croppingChanged);
    for (RadioGroup* r : {m_horizontalAlignment, m_verticalAlignment})
        connect(r, &RadioGroup::clicked, this, &D::croppingChanged);

    connect(m_positioningCheck, &QCheckBox::toggled, this, &D::positioningChanged);
    for (QSpinBox* s : {m_leftSpin, m_leftShiftSpin, m_topSpin, m_topShiftSpin})
        connect(s, &QSpinBox::valueChanged, this, &D::positioningChanged);
    for (auto* buttons : {&m_leftModeButtons, &m_topModeButtons})
        for (QRadioButton* b : *buttons)
            connect(b, &QRadioButton::clicked, this, &D::positioningChanged);

    for (int k = 0; k < 4; ++k) {
        connect(m_dvdCodeCombos[size_t(k)], &QComboBox::activated, this,
                [this, k] { chooseDvdCodeOfSlot(k); });
        connect(m_paletteIndexCombos[size_t(k)], &QComboBox::activated, this,
                [this, k] { choosePaletteIndex(k); });
    }
    connect(m_palettePreset, &RadioGroup::clicked, this, &D::applyPalettePreset);
    connect(m_bitDepthCombo, &QComboBox::activated, this, &D::readBitDepth);
    connect(m_autoSortButton, &QPushButton::clicked, this, &D::autoSortColours);

    connect(m_saveProfileButton, &QPushButton::clicked, this, &D::saveProfile);
    connect(m_loadProfileButton, &QPushButton::clicked, this, &D::loadProfile);
    connect(m_saveBitmapButton, &QPushButton::clicked, this, &D::saveCurrentBitmap);
    connect(m_okButton, &QPushButton::clicked, this, &D::acceptSettings);
    connect(m_skipButton, &QPushButton::clicked, this, &D::skipPicture);
    connect(m_reduceButton, &QPushButton::clicked, this, &D::toggleReduced);
}

// ---------------------------------------------------------------------------
// Showing and answering

bool BitmapAdjustDialog::runModal() {
    setResult(QDialog::Rejected);
    return exec() == QDialog::Accepted;
}

void BitmapAdjustDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // the window system showing it again, not an opening
    m_session.keepPicture();
    emit opened();
    m_outlineTimer->start();
    showSettings();
}

void BitmapAdjustDialog::showSettings() {
    m_ready = false;
    fillControls();
    updateEnabling();
    recompose();
    m_ready = true;
}

void BitmapAdjustDialog::acceptSettings() {
    const uint8_t preset = m_session.bmpSettings().Colors.PresetColorPalIndex;
    if (preset == 1 || preset == 2) emit outputFormatChosen(preset == 1 ? ofIAuthor : ofPhilips);
    m_session.finishAdjustment();
    emit closed();
    accept();
}

void BitmapAdjustDialog::skipPicture() {
    m_session.skipPicture();
    emit closed();
    QDialog::reject();
}

void BitmapAdjustDialog::reject() {
    skipPicture();
}

// ---------------------------------------------------------------------------
// Settings and controls

void BitmapAdjustDialog::recompose() {
    const Subpicture& sub = m_session.subpicture();
    // Nothing decoded yet: there is no picture to compose.
    if (sub.SequenceCount == 0 || sub.Bitmap.empty()) return;
    m_session.composePicture();
    m_session.showComposedPicture();
}

void BitmapAdjustDialog::fillControls() {
    const BmpOutputSettings& s = m_session.bmpSettings();
    const BmpCropping crop = s.Cropping;
    m_croppingCheck->setChecked(crop.Enabled);
    m_minWidthSpin->setValue(crop.MinX);
    m_minHeightSpin->setValue(crop.MinY);
    m_widthMultipleSpin->setValue(crop.DivX);
    m_heightMultipleSpin->setValue(crop.DivY);
    m_horizontalAlignment->setItemIndex(crop.XPosMode);
    m_verticalAlignment->setItemIndex(crop.YPosMode);
    m_xShiftSpin->setValue(crop.PosShift.X);
    m_yShiftSpin->setValue(crop.PosShift.Y);

    const BmpColours colours = s.Colors;
    for (int k = 0; k < 4; ++k) setSwatch(m_colourSwatches[size_t(k)], colours.Color[size_t(k)]);
    setSwatch(m_unusedColourSwatch, colours.UnusedColor);
    autoSortColours();
    m_palettePreset->setItemIndex(colours.PresetColorPalIndex);
    m_bitDepthCombo->setCurrentIndex(colours.BitPerPixel == 8 ? 1 : 0);
    applyPalettePreset();

    const BmpPositioning pos = s.Positioning;
    m_positioningCheck->setChecked(pos.Enabled);
    checkOnly(m_leftModeButtons, pos.XPosMode);
    checkOnly(m_topModeButtons, pos.YPosMode);
    m_leftSpin->setValue(pos.SetTo.X);
    m_topSpin->setValue(pos.SetTo.Y);
    m_leftShiftSpin->setValue(pos.PosShift.X);
    m_topShiftSpin->setValue(pos.PosShift.Y);
}

void BitmapAdjustDialog::updateEnabling() {
    const bool crop = m_croppingCheck->isChecked();
    m_sizeConstraintsBox->setEnabled(crop);
    m_alignmentPanel->setEnabled(crop);
    const bool pos = m_positioningCheck->isChecked();
    m_leftBox->setEnabled(pos);
    m_topBox->setEnabled(pos);
}

void BitmapAdjustDialog::readCropping() {
    BmpCropping& c = m_session.bmpSettings().Cropping;
    c.Enabled = m_croppingCheck->isChecked();
    c.MinX = uint16_t(m_minWidthSpin->value());
    c.MinY = uint16_t(m_minHeightSpin->value());
    c.DivX = uint16_t(m_widthMultipleSpin->value());
    c.DivY = uint16_t(m_heightMultipleSpin->value());
    if (m_horizontalAlignment->itemIndex() >= 0)
        c.XPosMode = uint8_t(m_horizontalAlignment->itemIndex());
    if (m_verticalAlignment->itemIndex() >= 0)
        c.YPosMode = uint8_t(m_verticalAlignment->itemIndex());
    c.PosShift.X = m_xShiftSpin->value();
    c.PosShift.Y = m_yShiftSpin->value();
}

void BitmapAdjustDialog::readPositioning() {
    BmpPositioning& p = m_session.bmpSettings().Positioning;
    p.Enabled = m_positioningCheck->isChecked();
    if (int x = checkedIndex(m_leftModeButtons); x >= 0) p.XPosMode = uint8_t(x);
    if (int y = checkedIndex(m_topModeButtons); y >= 0) p.YPosMode = uint8_t(y);
    p.SetTo.X = m_leftSpin->value();
    p.SetTo.Y = m_topSpin->value();
    p.PosShift.X = m_leftShiftSpin->value();
    p.PosShift.Y = m_topShiftSpin->value();
}

void BitmapAdjustDialog::readColours() {
    BmpColours& c = m_session.bmpSettings().Colors;
    for (int k = 0; k < 4; ++k) c.Color[size_t(k)] = swatchColour(m_colourSwatches[size_t(k)]);
    c.UnusedColor = swatchColour(m_unusedColourSwatch);
}

void BitmapAdjustDialog::setDvdCombos() {
    const DvdColourOrder& order = m_session.composer().dvdColourOrder();
    for (int k = 0; k < 4; ++k) m_dvdCodeCombos[size_t(k)]->setCurrentIndex(order[size_t(k)]);
}

void BitmapAdjustDialog::setIndexCombos() {
    const BmpColours& c = m_session.bmpSettings().Colors;
    for (int k = 0; k < 4; ++k) {
        // An index above 15 (a hand-edited file) shows as no choice.
        const int i = c.ColorPalIndex[size_t(k)];
        m_paletteIndexCombos[size_t(k)]->setCurrentIndex(i < 16 ? i : -1);
    }
}

// ---------------------------------------------------------------------------
// Change handlers

void BitmapAdjustDialog::croppingToggled() {
    updateEnabling();
    croppingChanged();
}

void BitmapAdjustDialog::croppingChanged() {
    if (!m_ready) return;
    readCropping();
    recompose();
}

void BitmapAdjustDialog::positioningChanged() {
    updateEnabling();
    if (!m_ready) return;
    readPositioning();
    recompose();
}

void BitmapAdjustDialog::chooseSwatchColour(QFrame* swatch) {
    if (std::optional<QColor> c = m_dialogs.chooseColour(toQColor(swatchColour(swatch))))
        setSwatch(swatch, fromQColor(*c));
    readColours();
    recompose();
}

void BitmapAdjustDialog::choosePaletteIndex(int slot) {
    BmpColours& c = m_session.bmpSettings().Colors;
    QComboBox* box = m_paletteIndexCombos[size_t(slot)];
    const int chosen = box->currentIndex();
    const int own = c.ColorPalIndex[size_t(slot)];
    if (chosen != own) {
        bool used = false;
        for (uint8_t i : c.ColorPalIndex) used = used || i == chosen;
        if (used) {
            m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                          m_session.catalogue().text(Message::SamePaletteIndexTwice));
            box->setCurrentIndex(own < 16 ? own : -1);
        }
    }
    for (int k = 0; k < 4; ++k) {
        const int i = m_paletteIndexCombos[size_t(k)]->currentIndex();
        if (i >= 0) c.ColorPalIndex[size_t(k)] = uint8_t(i);
    }
    recompose();
}

void BitmapAdjustDialog::applyPalettePreset() {
    BmpColours& c = m_session.bmpSettings().Colors;
    const int preset = m_palettePreset->itemIndex();
    if (preset >= 0) c.PresetColorPalIndex = uint8_t(preset);
    if (preset == 1 || preset == 2) {
        c.ColorPalIndex = {0, 1, 2, 3};
        m_bitDepthCombo->setCurrentIndex(preset == 1 ? 0 : 1);
    }
    readBitDepth();
    setIndexCombos();
    for (QComboBox* box : m_paletteIndexCombos) box->setEnabled(preset == 0);
}

void BitmapAdjustDialog::readBitDepth() {
    m_session.bmpSettings().Colors.BitPerPixel = m_bitDepthCombo->currentIndex() == 1 ? 8 : 4;
    recompose();
}

void BitmapAdjustDialog::autoSortColours() {
    m_session.setDvdColourOrder(
        autoDetectTextColour(m_session.subpicture().Bitmap, m_session.ocrState().DrawColor));
    setDvdCombos();
    recompose();
}

DvdColourOrder chooseDvdCode(DvdColourOrder order, int slot, int code) {
    const uint8_t previous = order[size_t(slot)];
    const uint8_t c = uint8_t(code);
    if (c == previous) return order;
    for (int i = 0; i < 4; ++i)
        if (i != slot && order[size_t(i)] == c) {
            order[size_t(i)] = previous;
            break;
        }
    order[size_t(slot)] = c;
    return order;
}

void BitmapAdjustDialog::chooseDvdCodeOfSlot(int slot) {
    const int code = m_dvdCodeCombos[size_t(slot)]->currentIndex();
    if (code < 0) return;
    m_session.setDvdColourOrder(chooseDvdCode(m_session.composer().dvdColourOrder(), slot, code));
    setDvdCombos();
    recompose();
}

// ---------------------------------------------------------------------------
// Profiles and the current picture

void BitmapAdjustDialog::saveProfile() {
    FileDialogRequest request{m_session.catalogue().text(Message::SaveProfile),
                              kProfileFilter,
                              "ini",
                              m_profileFolder,
                              {},
                              {}};
    std::optional<std::filesystem::path> file = m_dialogs.chooseSaveFile(request);
    if (!file) return;
    const std::filesystem::path path = withDefaultExtension(*file, ".ini");
    m_profileLabel->setText(QString::fromStdString(path.filename().string()));
    if (Result r = saveBmpOutputSettings(path, m_session.bmpSettings()); !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

void BitmapAdjustDialog::loadProfile() {
    FileDialogRequest request{m_session.catalogue().text(Message::LoadProfile),
                              kProfileFilter,
                              "ini",
                              m_profileFolder,
                              {},
                              {}};
    std::optional<std::filesystem::path> file = m_dialogs.chooseOpenFile(request);
    if (!file) return;
    // An unreadable profile changes nothing, the name of the current one included.
    SettingsWarnings warnings;
    if (Result r = loadBmpOutputSettings(*file, m_session.bmpSettings(), &warnings); !r) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
        return;
    }
    showSettingsWarnings(m_dialogs, warnings);
    m_profileLabel->setText(QString::fromStdString(file->filename().string()));
    showSettings();
}

void BitmapAdjustDialog::saveCurrentBitmap() {
    FileDialogRequest request{m_session.catalogue().text(Message::SaveCurrentBmp),
                              kBitmapFilter,
                              "bmp",
                              m_session.actions().pictureFolder.empty()
                                  ? m_profileFolder
                                  : m_session.actions().pictureFolder,
                              {},
                              {}};
    std::optional<std::filesystem::path> file = m_dialogs.chooseSaveFile(request);
    if (!file) return;
    if (Result r = saveBitmapFile(m_session.outputBitmap(), withDefaultExtension(*file, ".bmp"));
        !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

// ---------------------------------------------------------------------------
// Window shape, size and moving

void BitmapAdjustDialog::toggleReduced() {
    m_reduced = !m_reduced;
    m_tabs->setVisible(!m_reduced);
    m_okButton->setVisible(!m_reduced);
    m_skipButton->setVisible(!m_reduced);
    if (m_reduced) clearMask();
    fitSize();
    if (!m_reduced) {
        layout()->activate();
        applyTabOutline();
    }
    updateReduceGlyph();
}

void BitmapAdjustDialog::updateReduceGlyph() {
    m_reduceButton->setIcon(arrowsIcon(!m_reduced));
}

int BitmapAdjustDialog::tabsRight() const {
    const QTabBar* bar = m_tabs->tabBar();
    if (bar->count() == 0) return width();
    const QRect last = bar->tabRect(bar->count() - 1);
    return bar->mapTo(this, last.topRight()).x();
}

QRegion tabOutline(int width, int height, int tabsRight) {
    if (tabsRight < 150 || tabsRight > width) tabsRight = width;
    QRegion body(0, 20, width, height - 20);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0, 1, tabsRight + 4, 21), 2.5, 2.5);
    return body.united(QRegion(tab.toFillPolygon().toPolygon()));
}

void BitmapAdjustDialog::applyTabOutline() {
    if (m_reduced) return;
    setMask(tabOutline(width(), height(), tabsRight()));
}

bool BitmapAdjustDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* f = qobject_cast<QFrame*>(watched);
        auto* me = static_cast<QMouseEvent*>(event);
        if (f && me->button() == Qt::LeftButton && f->rect().contains(me->position().toPoint())) {
            chooseSwatchColour(f);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The body moves the window, as the caption of a framed one would.
void BitmapAdjustDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void BitmapAdjustDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void BitmapAdjustDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

} // namespace mirtal
