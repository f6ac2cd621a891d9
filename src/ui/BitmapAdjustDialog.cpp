#include "ui/BitmapAdjustDialog.h"
#include "ui/WidgetSupport.h"

#include "export/BmpFile.h"
#include "ocr/TextColor.h"
#include "rip/Session.h"
#include "settings/SettingsFile.h"
#include "ui/PreviewPane.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

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
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->setUsesScrollButtons(false);
    TabSheetProfiles = buildProfilesTab();
    TabSheetCropping = buildCroppingTab();
    TabSheetColors = buildColorsTab();
    TabSheetPositioning = buildPositioningTab();
    PageControl1->addTab(TabSheetProfiles, "Profiles");
    PageControl1->addTab(TabSheetCropping, "Cropping");
    PageControl1->addTab(TabSheetColors, "Colors");
    PageControl1->addTab(TabSheetPositioning, "Positioning");
    root->addWidget(PageControl1, 1);
    PanelBottom = buildBottomBar();
    root->addWidget(PanelBottom);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &BitmapAdjustDialog::Timer1Timer);

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
    GroupBoxProfiles = named(new QGroupBox("BMP Settings Profiles : ", page), "GroupBoxProfiles");
    auto* g = new QGridLayout(GroupBoxProfiles);
    g->addWidget(label(GroupBoxProfiles, "LabelProfile", "Current Profile :"), 0, 0);
    LabelCurrentProfile = label(GroupBoxProfiles, "LabelCurrentProfile", "None");
    LabelCurrentProfile->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    g->addWidget(LabelCurrentProfile, 0, 1);
    g->setColumnStretch(1, 1);
    ButtonSaveProfile =
        named(new QPushButton("Save settings as a new Profile ...", GroupBoxProfiles),
              "ButtonSaveProfile");
    ButtonLoadProfile = named(new QPushButton("Load settings from a Profile ...", GroupBoxProfiles),
                              "ButtonLoadProfile");
    g->addWidget(ButtonSaveProfile, 1, 0, 1, 2);
    g->addWidget(ButtonLoadProfile, 2, 0, 1, 2);
    v->addWidget(GroupBoxProfiles);
    ButtonSaveBMP = named(new QPushButton("Save Current BMP &As ...", page), "ButtonSaveBMP");
    v->addWidget(ButtonSaveBMP);
    v->addStretch(1);
    return page;
}

QWidget* BitmapAdjustDialog::buildCroppingTab() {
    auto* page = named(new QWidget, "TabSheetCropping");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);
    CheckBoxAllowBmpCropping =
        named(new QCheckBox("Allow BMP Cropping ( Only keep the text area ) :", page),
              "CheckBoxAllowBmpCropping");
    CheckBoxAllowBmpCropping->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(CheckBoxAllowBmpCropping, 0, Qt::AlignLeft);

    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    GroupBoxSizeConstraints =
        named(new QGroupBox("Size Constraints : ( Maximum size is 720 x 576 )", page),
              "GroupBoxSizeConstraints");
    auto* g = new QGridLayout(GroupBoxSizeConstraints);
    g->setContentsMargins(4, 2, 4, 2);
    g->setVerticalSpacing(2);
    SpinEditMinX = spin(GroupBoxSizeConstraints, "SpinEditMinX", 0, 720, 16);
    SpinEditMinY = spin(GroupBoxSizeConstraints, "SpinEditMinY", 0, 576, 50);
    SpinEditDivX = spin(GroupBoxSizeConstraints, "SpinEditDivX", 1, 32, 8);
    SpinEditDivY = spin(GroupBoxSizeConstraints, "SpinEditDivY", 1, 32, 2);
    g->addWidget(label(GroupBoxSizeConstraints, "LabelMinX", "Minimum Picture Width :"), 0, 0);
    g->addWidget(SpinEditMinX, 0, 1);
    g->addWidget(label(GroupBoxSizeConstraints, "LabelMinY", "Minimum Picture Height :"), 1, 0);
    g->addWidget(SpinEditMinY, 1, 1);
    g->addWidget(label(GroupBoxSizeConstraints, "LabelDivX", "Width must be a multiple of :"), 2,
                 0);
    g->addWidget(SpinEditDivX, 2, 1);
    g->addWidget(label(GroupBoxSizeConstraints, "LabelDivY", "Height must be a multiple of :"), 3,
                 0);
    g->addWidget(SpinEditDivY, 3, 1);
    row->addWidget(GroupBoxSizeConstraints);

    PanelAlignment = named(new QFrame(page), "PanelAlignment");
    PanelAlignment->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* pv = new QVBoxLayout(PanelAlignment);
    pv->setContentsMargins(3, 2, 3, 2);
    pv->setSpacing(1);
    auto* info =
        label(PanelAlignment, "LabelAlignment",
              "If a black border remain (due to Size Constraints) then place text as follow :");
    info->setWordWrap(true);
    pv->addWidget(info);
    auto* groups = new QGridLayout;
    groups->setHorizontalSpacing(2);
    groups->setVerticalSpacing(1);
    RadioGroupHAlignment = new RadioGroup(
        "Horizontal Alignment ( X ) : ", {"Left", "Center", "Right"}, PanelAlignment);
    RadioGroupHAlignment->setObjectName("RadioGroupHAlignment");
    RadioGroupVAlignment =
        new RadioGroup("Vertical Alignment ( Y ) : ", {"Top", "Center", "Bottom"}, PanelAlignment);
    RadioGroupVAlignment->setObjectName("RadioGroupVAlignment");
    SpinEditXShift = spin(PanelAlignment, "SpinEditXShift", -720, 720, 0);
    SpinEditYShift = spin(PanelAlignment, "SpinEditYShift", -576, 576, 0);
    groups->addWidget(RadioGroupHAlignment, 0, 0, 1, 2);
    groups->addWidget(RadioGroupVAlignment, 0, 2, 1, 2);
    groups->addWidget(label(PanelAlignment, "LabelXShift", "+"), 1, 0, Qt::AlignRight);
    groups->addWidget(SpinEditXShift, 1, 1);
    groups->addWidget(label(PanelAlignment, "LabelYShift", "+"), 1, 2, Qt::AlignRight);
    groups->addWidget(SpinEditYShift, 1, 3);
    pv->addLayout(groups);
    row->addWidget(PanelAlignment, 1);
    v->addLayout(row, 1);
    return page;
}

QFrame* BitmapAdjustDialog::makeSwatch(QWidget* parent, const char* name, const QString& hint) {
    auto* f = named(new QFrame(parent), name, hint);
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setMinimumSize(34, 18);
    f->setCursor(Qt::PointingHandCursor);
    f->installEventFilter(this);
    return f;
}

QWidget* BitmapAdjustDialog::buildColorsTab() {
    auto* page = named(new QWidget, "TabSheetColors");
    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(4, 2, 4, 2);
    h->setSpacing(4);
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
        g->addWidget(label(page, rowNames[k], rows[k]), k + 1, 0);
        ComboBoxDVDColor[size_t(k)] = combo(page, QString("ComboBoxDVDColor%1").arg(k), 4);
        const QByteArray swatchName = QString("PanelColor%1").arg(k).toLatin1();
        PanelColor[size_t(k)] = makeSwatch(
            page, swatchName.constData(),
            k == 3 ? QString("On certain DVD Antialiasing color is not used") : QString());
        ComboBoxColorIndex[size_t(k)] = combo(page, QString("ComboBoxColorIndex%1").arg(k), 16);
        g->addWidget(ComboBoxDVDColor[size_t(k)], k + 1, 1, Qt::AlignHCenter);
        g->addWidget(PanelColor[size_t(k)], k + 1, 2);
        g->addWidget(ComboBoxColorIndex[size_t(k)], k + 1, 3, Qt::AlignHCenter);
    }
    g->setRowStretch(5, 1);
    h->addLayout(g, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    RadioGroupPresetPaletteIndex =
        new RadioGroup("Preset : ", {"Free", "I-Author", "Philips"}, page);
    RadioGroupPresetPaletteIndex->setObjectName("RadioGroupPresetPaletteIndex");
    right->addWidget(RadioGroupPresetPaletteIndex);
    auto* unused = new QHBoxLayout;
    unused->addWidget(label(page, "LabelUnusedColor", "Unused colors :"));
    PanelUnusedColor =
        makeSwatch(page, "PanelUnusedColor", "Color for the 12 unused colors in the palette");
    unused->addWidget(PanelUnusedColor);
    right->addLayout(unused);
    ComboBoxBitPerPixel = named(new QComboBox(page), "ComboBoxBitPerPixel",
                                "Allow you to choose the number of bit per pixel");
    ComboBoxBitPerPixel->addItems({"4 bits", "8 bits"});
    right->addWidget(ComboBoxBitPerPixel);
    ButtonAutoSortColor = named(new QPushButton("Auto sort colors", page), "ButtonAutoSortColor");
    right->addWidget(ButtonAutoSortColor);
    right->addStretch(1);
    h->addLayout(right);
    return page;
}

QWidget* BitmapAdjustDialog::buildPositioningTab() {
    auto* page = named(new QWidget, "TabSheetPositioning");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);
    CheckBoxAllowPositionChange =
        named(new QCheckBox("Allow BMP position change :", page), "CheckBoxAllowPositionChange");
    CheckBoxAllowPositionChange->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(CheckBoxAllowPositionChange, 0, Qt::AlignLeft);
    auto* row = new QHBoxLayout;

    struct Side {
        const char* group;
        const char* caption;
        const char* names[4];
        const char* captions[4];
        const char* setTo;
        const char* add;
        const char* addLabel;
        int setToMax, shift;
    };
    const Side sides[2] = {
        {"GroupBoxLeftPosition",
         "Left Position ( X ) ",
         {"RadioButtonLeftKeep", "RadioButtonLeftCenter", "RadioButtonLeftRight",
          "RadioButtonLeftSetTo"},
         {"Keep original position", "Center", "Right ( X1= 720 - Width )", "Set to :"},
         "SpinEditLeftPosition",
         "SpinEditAddLeftPos",
         "LabelAddLeftPos",
         719,
         720},
        {"GroupBoxTopPosition",
         "Top Position ( Y ) ",
         {"RadioButtonTopKeep", "RadioButtonTopCenter", "RadioButtonTopBottom",
          "RadioButtonTopSetTo"},
         {"Keep original position", "Center", "Bottom ( Y1= 576 - Height )", "Set to :"},
         "SpinEditTopPosition",
         "SpinEditAddTopPos",
         "LabelAddTopPos",
         575,
         576},
    };
    for (int s = 0; s < 2; ++s) {
        const Side& side = sides[s];
        auto* box = named(new QGroupBox(side.caption, page), side.group);
        auto* g = new QGridLayout(box);
        g->setContentsMargins(4, 2, 4, 2);
        g->setVerticalSpacing(1);
        std::array<QRadioButton*, 4>& buttons = s == 0 ? RadioButtonLeft : RadioButtonTop;
        for (int i = 0; i < 4; ++i) {
            buttons[size_t(i)] = named(new QRadioButton(side.captions[i], box), side.names[i]);
            g->addWidget(buttons[size_t(i)], i, 0, 1, i == 3 ? 1 : 2);
        }
        QSpinBox* setTo = spin(box, side.setTo, 0, side.setToMax, 0);
        QSpinBox* add = spin(box, side.add, -side.shift, side.shift, 0);
        g->addWidget(setTo, 3, 1);
        g->addWidget(label(box, side.addLabel, "Then Add/Remove :"), 4, 0);
        g->addWidget(add, 4, 1);
        if (s == 0) {
            GroupBoxLeftPosition = box;
            SpinEditLeftPosition = setTo;
            SpinEditAddLeftPos = add;
        } else {
            GroupBoxTopPosition = box;
            SpinEditTopPosition = setTo;
            SpinEditAddTopPos = add;
        }
        row->addWidget(box);
    }
    v->addLayout(row, 1);
    return page;
}

QFrame* BitmapAdjustDialog::buildBottomBar() {
    auto* bar = named(new QFrame(this), "PanelBottom");
    bar->setFixedHeight(kBarHeight);
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(2, 2, 4, 2);
    ButtonReduceWindow = named(new QPushButton(bar), "ButtonReduceWindow", "Reduce window size");
    ButtonReduceWindow->setFixedSize(26, 26);
    ButtonSkipPict = named(new QPushButton("&Skip this Picture", bar), "ButtonSkipPict",
                           "Don't save this Picture");
    BitBtn1 = named(new QPushButton("OK", bar), "BitBtn1");
    BitBtn1->setDefault(true);
    h->addWidget(ButtonReduceWindow);
    h->addStretch(1);
    h->addWidget(ButtonSkipPict);
    h->addWidget(BitBtn1);
    return bar;
}

void BitmapAdjustDialog::connectHandlers() {
    connect(CheckBoxAllowBmpCropping, &QCheckBox::toggled, this,
            &BitmapAdjustDialog::CheckBoxAllowBmpCroppingClick);
    for (QSpinBox* s :
         {SpinEditMinX, SpinEditMinY, SpinEditDivX, SpinEditDivY, SpinEditXShift, SpinEditYShift})
        connect(s, &QSpinBox::valueChanged, this, &BitmapAdjustDialog::croppingChanged);
    for (RadioGroup* r : {RadioGroupHAlignment, RadioGroupVAlignment})
        connect(r, &RadioGroup::clicked, this, &BitmapAdjustDialog::croppingChanged);

    connect(CheckBoxAllowPositionChange, &QCheckBox::toggled, this,
            &BitmapAdjustDialog::positioningChanged);
    for (QSpinBox* s :
         {SpinEditLeftPosition, SpinEditAddLeftPos, SpinEditTopPosition, SpinEditAddTopPos})
        connect(s, &QSpinBox::valueChanged, this, &BitmapAdjustDialog::positioningChanged);
    for (auto* buttons : {&RadioButtonLeft, &RadioButtonTop})
        for (QRadioButton* b : *buttons)
            connect(b, &QRadioButton::clicked, this, &BitmapAdjustDialog::positioningChanged);

    for (int k = 0; k < 4; ++k) {
        connect(ComboBoxDVDColor[size_t(k)], &QComboBox::activated, this,
                [this, k] { ComboBoxDVDColorChange(k); });
        connect(ComboBoxColorIndex[size_t(k)], &QComboBox::activated, this,
                [this, k] { ComboBoxColorIndexChange(k); });
    }
    connect(RadioGroupPresetPaletteIndex, &RadioGroup::clicked, this,
            &BitmapAdjustDialog::RadioGroupPresetPaletteIndexClick);
    connect(ComboBoxBitPerPixel, &QComboBox::activated, this,
            &BitmapAdjustDialog::ComboBoxBitPerPixelChange);
    connect(ButtonAutoSortColor, &QPushButton::clicked, this,
            &BitmapAdjustDialog::ButtonAutoSortColorClick);

    connect(ButtonSaveProfile, &QPushButton::clicked, this,
            &BitmapAdjustDialog::ButtonSaveProfileClick);
    connect(ButtonLoadProfile, &QPushButton::clicked, this,
            &BitmapAdjustDialog::ButtonLoadProfileClick);
    connect(ButtonSaveBMP, &QPushButton::clicked, this, &BitmapAdjustDialog::ButtonSaveBMPClick);
    connect(BitBtn1, &QPushButton::clicked, this, &BitmapAdjustDialog::BitBtn1Click);
    connect(ButtonSkipPict, &QPushButton::clicked, this, &BitmapAdjustDialog::ButtonSkipPictClick);
    connect(ButtonReduceWindow, &QPushButton::clicked, this,
            &BitmapAdjustDialog::ButtonReduceWindowClick);
}

// ---------------------------------------------------------------------------
// Showing and answering

bool BitmapAdjustDialog::runModal() {
    setResult(QDialog::Rejected);
    if (!scriptedRun) return exec() == QDialog::Accepted;
    show();
    scriptedRun(*this);
    if (isVisible()) hide();
    return result() == QDialog::Accepted;
}

void BitmapAdjustDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // the window system showing it again, not an opening
    Ready = false;
    m_session.keepPicture();
    SubtitlesWasVisible = subtitlesVisible && subtitlesVisible();
    if (SubtitlesWasVisible && hideSubtitles) hideSubtitles();
    Timer1->start();
    FillControls();
    updateEnabling();
    Refresh();
    Ready = true;
}

void BitmapAdjustDialog::restoreSubtitles() {
    if (SubtitlesWasVisible && showSubtitles) showSubtitles();
}

void BitmapAdjustDialog::BitBtn1Click() {
    const uint8_t preset = m_session.bmpSettings().Colors.PresetColorPalIndex;
    if ((preset == 1 || preset == 2) && convertOutputFormat)
        convertOutputFormat(preset == 1 ? ofIAuthor : ofPhilips);
    m_session.finishAdjustment();
    restoreSubtitles();
    accept();
}

void BitmapAdjustDialog::ButtonSkipPictClick() {
    m_session.skipPicture();
    restoreSubtitles();
    QDialog::reject();
}

void BitmapAdjustDialog::reject() {
    ButtonSkipPictClick();
}

// ---------------------------------------------------------------------------
// Settings and controls

void BitmapAdjustDialog::Refresh() {
    Subpicture& sub = m_session.subpicture();
    // Nothing decoded yet: there is no picture to compose.
    if (sub.SequenceCount == 0 || sub.Bitmap.empty()) return;
    m_session.outputRect() = m_session.composer().ComposeOutputBitmap(
        m_session.bmpSettings(), sub.Bitmap, m_session.outputBitmap(), sub.rect(), sub.FrameWidth,
        sub.FrameHeight);
    m_session.host().showPicture(m_session.outputBitmap(), m_session.outputRect());
}

void BitmapAdjustDialog::FillControls() {
    const BmpOutputSettings& s = m_session.bmpSettings();
    const BmpCropping crop = s.Cropping;
    CheckBoxAllowBmpCropping->setChecked(crop.Enabled);
    SpinEditMinX->setValue(crop.MinX);
    SpinEditMinY->setValue(crop.MinY);
    SpinEditDivX->setValue(crop.DivX);
    SpinEditDivY->setValue(crop.DivY);
    RadioGroupHAlignment->setItemIndex(crop.XPosMode);
    RadioGroupVAlignment->setItemIndex(crop.YPosMode);
    SpinEditXShift->setValue(crop.PosShift.X);
    SpinEditYShift->setValue(crop.PosShift.Y);

    const BmpColors colors = s.Colors;
    for (int k = 0; k < 4; ++k) setSwatch(PanelColor[size_t(k)], colors.Color[size_t(k)]);
    setSwatch(PanelUnusedColor, colors.UnusedColor);
    ButtonAutoSortColorClick();
    RadioGroupPresetPaletteIndex->setItemIndex(colors.PresetColorPalIndex);
    ComboBoxBitPerPixel->setCurrentIndex(colors.BitPerPixel == 8 ? 1 : 0);
    RadioGroupPresetPaletteIndexClick();

    const BmpPositioning pos = s.Positioning;
    CheckBoxAllowPositionChange->setChecked(pos.Enabled);
    checkOnly(RadioButtonLeft, pos.XPosMode);
    checkOnly(RadioButtonTop, pos.YPosMode);
    SpinEditLeftPosition->setValue(pos.SetTo.X);
    SpinEditTopPosition->setValue(pos.SetTo.Y);
    SpinEditAddLeftPos->setValue(pos.PosShift.X);
    SpinEditAddTopPos->setValue(pos.PosShift.Y);
}

void BitmapAdjustDialog::updateEnabling() {
    const bool crop = CheckBoxAllowBmpCropping->isChecked();
    GroupBoxSizeConstraints->setEnabled(crop);
    PanelAlignment->setEnabled(crop);
    const bool pos = CheckBoxAllowPositionChange->isChecked();
    GroupBoxLeftPosition->setEnabled(pos);
    GroupBoxTopPosition->setEnabled(pos);
}

void BitmapAdjustDialog::ReadCropping() {
    BmpCropping& c = m_session.bmpSettings().Cropping;
    c.Enabled = CheckBoxAllowBmpCropping->isChecked();
    c.MinX = uint16_t(SpinEditMinX->value());
    c.MinY = uint16_t(SpinEditMinY->value());
    c.DivX = uint16_t(SpinEditDivX->value());
    c.DivY = uint16_t(SpinEditDivY->value());
    if (RadioGroupHAlignment->itemIndex() >= 0)
        c.XPosMode = uint8_t(RadioGroupHAlignment->itemIndex());
    if (RadioGroupVAlignment->itemIndex() >= 0)
        c.YPosMode = uint8_t(RadioGroupVAlignment->itemIndex());
    c.PosShift.X = SpinEditXShift->value();
    c.PosShift.Y = SpinEditYShift->value();
}

void BitmapAdjustDialog::ReadPositioning() {
    BmpPositioning& p = m_session.bmpSettings().Positioning;
    p.Enabled = CheckBoxAllowPositionChange->isChecked();
    if (int x = checkedIndex(RadioButtonLeft); x >= 0) p.XPosMode = uint8_t(x);
    if (int y = checkedIndex(RadioButtonTop); y >= 0) p.YPosMode = uint8_t(y);
    p.SetTo.X = SpinEditLeftPosition->value();
    p.SetTo.Y = SpinEditTopPosition->value();
    p.PosShift.X = SpinEditAddLeftPos->value();
    p.PosShift.Y = SpinEditAddTopPos->value();
}

void BitmapAdjustDialog::ReadColors() {
    BmpColors& c = m_session.bmpSettings().Colors;
    for (int k = 0; k < 4; ++k) c.Color[size_t(k)] = swatchColour(PanelColor[size_t(k)]);
    c.UnusedColor = swatchColour(PanelUnusedColor);
}

void BitmapAdjustDialog::setDvdCombos() {
    const DvdColorOrder& order = m_session.composer().DvdColorOrder();
    for (int k = 0; k < 4; ++k) ComboBoxDVDColor[size_t(k)]->setCurrentIndex(order[size_t(k)]);
}

void BitmapAdjustDialog::setIndexCombos() {
    const BmpColors& c = m_session.bmpSettings().Colors;
    for (int k = 0; k < 4; ++k) {
        // An index above 15 (a hand-edited file) shows as no choice.
        const int i = c.ColorPalIndex[size_t(k)];
        ComboBoxColorIndex[size_t(k)]->setCurrentIndex(i < 16 ? i : -1);
    }
}

// ---------------------------------------------------------------------------
// Change handlers

void BitmapAdjustDialog::CheckBoxAllowBmpCroppingClick() {
    updateEnabling();
    if (!Ready) return;
    ReadCropping();
    Refresh();
}

void BitmapAdjustDialog::croppingChanged() {
    if (!Ready) return;
    ReadCropping();
    Refresh();
}

void BitmapAdjustDialog::positioningChanged() {
    updateEnabling();
    if (!Ready) return;
    ReadPositioning();
    Refresh();
}

void BitmapAdjustDialog::PanelColorClick(QFrame* swatch) {
    if (std::optional<QColor> c = m_dialogs.chooseColor(toQColor(swatchColour(swatch))))
        setSwatch(swatch, fromQColor(*c));
    ReadColors();
    Refresh();
}

void BitmapAdjustDialog::ComboBoxColorIndexChange(int slot) {
    BmpColors& c = m_session.bmpSettings().Colors;
    QComboBox* box = ComboBoxColorIndex[size_t(slot)];
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
        const int i = ComboBoxColorIndex[size_t(k)]->currentIndex();
        if (i >= 0) c.ColorPalIndex[size_t(k)] = uint8_t(i);
    }
    Refresh();
}

void BitmapAdjustDialog::RadioGroupPresetPaletteIndexClick() {
    BmpColors& c = m_session.bmpSettings().Colors;
    const int preset = RadioGroupPresetPaletteIndex->itemIndex();
    if (preset >= 0) c.PresetColorPalIndex = uint8_t(preset);
    if (preset == 1 || preset == 2) {
        c.ColorPalIndex = {0, 1, 2, 3};
        ComboBoxBitPerPixel->setCurrentIndex(preset == 1 ? 0 : 1);
    }
    ComboBoxBitPerPixelChange();
    setIndexCombos();
    for (QComboBox* box : ComboBoxColorIndex) box->setEnabled(preset == 0);
}

void BitmapAdjustDialog::ComboBoxBitPerPixelChange() {
    m_session.bmpSettings().Colors.BitPerPixel = ComboBoxBitPerPixel->currentIndex() == 1 ? 8 : 4;
    Refresh();
}

void BitmapAdjustDialog::ButtonAutoSortColorClick() {
    m_session.composer().SetDvdColorOrder(
        AutoDetectTextColor(m_session.subpicture().Bitmap, m_session.ocrState().DrawColor));
    setDvdCombos();
    Refresh();
}

DvdColorOrder BitmapAdjustDialog::chooseDvdCode(DvdColorOrder order, int slot, int code) {
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

void BitmapAdjustDialog::ComboBoxDVDColorChange(int slot) {
    const int code = ComboBoxDVDColor[size_t(slot)]->currentIndex();
    if (code < 0) return;
    m_session.composer().SetDvdColorOrder(
        chooseDvdCode(m_session.composer().DvdColorOrder(), slot, code));
    setDvdCombos();
    Refresh();
}

// ---------------------------------------------------------------------------
// Profiles and the current picture

void BitmapAdjustDialog::ButtonSaveProfileClick() {
    FileDialogRequest request{m_session.catalogue().text(Message::SaveProfile),
                              kProfileFilter,
                              "ini",
                              m_profileFolder,
                              {},
                              {}};
    std::optional<std::filesystem::path> file = m_dialogs.chooseSaveFile(request);
    if (!file) return;
    const std::filesystem::path path = withDefaultExtension(*file, ".ini");
    LabelCurrentProfile->setText(QString::fromStdString(path.filename().string()));
    if (Result r = SaveBmpOutputSettings(path, m_session.bmpSettings()); !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

void BitmapAdjustDialog::ButtonLoadProfileClick() {
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
    if (Result r = LoadBmpOutputSettings(*file, m_session.bmpSettings(), &warnings); !r) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
        return;
    }
    showSettingsWarnings(m_dialogs, warnings);
    LabelCurrentProfile->setText(QString::fromStdString(file->filename().string()));
    Ready = false;
    FillControls();
    updateEnabling();
    Refresh();
    Ready = true;
}

void BitmapAdjustDialog::ButtonSaveBMPClick() {
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
    if (Result r =
            SaveBitmapFile(m_session.outputBitmap(), withDefaultExtension(*file, ".bmp"));
        !r)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
}

// ---------------------------------------------------------------------------
// Window shape, size and moving

void BitmapAdjustDialog::ButtonReduceWindowClick() {
    m_reduced = !m_reduced;
    PageControl1->setVisible(!m_reduced);
    BitBtn1->setVisible(!m_reduced);
    ButtonSkipPict->setVisible(!m_reduced);
    if (m_reduced) clearMask();
    fitSize();
    if (!m_reduced) {
        layout()->activate();
        Timer1Timer();
    }
    updateReduceGlyph();
}

void BitmapAdjustDialog::updateReduceGlyph() {
    ButtonReduceWindow->setIcon(arrowsIcon(!m_reduced));
}

int BitmapAdjustDialog::tabsRight() const {
    const QTabBar* bar = PageControl1->tabBar();
    if (bar->count() == 0) return width();
    const QRect last = bar->tabRect(bar->count() - 1);
    return bar->mapTo(this, last.topRight()).x();
}

QRegion BitmapAdjustDialog::tabOutline(int width, int height, int tabsRight) {
    if (tabsRight < 150 || tabsRight > width) tabsRight = width;
    QRegion body(0, 20, width, height - 20);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0, 1, tabsRight + 4, 21), 2.5, 2.5);
    return body.united(QRegion(tab.toFillPolygon().toPolygon()));
}

void BitmapAdjustDialog::Timer1Timer() {
    if (m_reduced) return;
    setMask(tabOutline(width(), height(), tabsRight()));
}

bool BitmapAdjustDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* f = qobject_cast<QFrame*>(watched);
        auto* me = static_cast<QMouseEvent*>(event);
        if (f && me->button() == Qt::LeftButton && f->rect().contains(me->position().toPoint())) {
            PanelColorClick(f);
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
