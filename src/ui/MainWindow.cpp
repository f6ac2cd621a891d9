#include "ui/MainWindow.h"
#include "ui/WidgetSupport.h"

#include "base/MessageCatalogue.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mirtal {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, const QString& hint = {}) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(name);
    if (!hint.isEmpty()) l->setToolTip(hint);
    return l;
}

qint64 systemTick() {
    static QElapsedTimer t;
    if (!t.isValid()) t.start();
    return t.elapsed();
}

// Beyond 500 % the stretched background alone would take hundreds of
// megabytes; only a damaged settings file or a giant window asks for it.
constexpr int kLargestDrawnZoom = 5000;

} // namespace

MainWindow::MainWindow(PreviewSettings& preview, UiDialogs& dialogs,
                       const MessageCatalogue& catalogue, std::filesystem::path dialogFolder,
                       QWidget* parent)
    : QMainWindow(parent), tickCount(systemTick), m_preview(preview), m_dialogs(dialogs),
      m_catalogue(catalogue), m_dialogFolder(std::move(dialogFolder)) {
    setObjectName("Form1");
    setCaption("Mirtal 0.94b");
    auto* central = new QWidget(this);
    central->setObjectName("PanelMain");
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(1, 1, 1, 1);
    v->setSpacing(1);

    // The bars are kept low so that the 100 % frame fits the window's
    // 743 x 686 without scrolling.
    Panel2 = new QFrame(central);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    buildTopBar(Panel2);
    v->addWidget(Panel2);

    Panel1 = new QFrame(central);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* p1 = new QVBoxLayout(Panel1);
    p1->setContentsMargins(1, 1, 1, 1);
    p1->setSpacing(0);
    auto* counters = new QWidget(Panel1);
    counters->setObjectName("PanelCounters");
    buildCounterBar(counters);
    p1->addWidget(counters);

    Preview = new PreviewPane(Panel1);
    m_scroll = new QScrollArea(Panel1);
    m_scroll->setObjectName("ScrollPreview");
    m_scroll->setWidget(Preview);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameStyle(QFrame::NoFrame);
    p1->addWidget(m_scroll, 1);
    // The options float over the right side of the preview, as a panel
    // would, instead of squeezing it.
    buildOptionsPanel();
    PanelPreviewCfg->setParent(Panel1);
    PanelPreviewCfg->hide();
    Panel1->installEventFilter(this);
    v->addWidget(Panel1, 1);
    setCentralWidget(central);
    buildMenu();

    m_dragSurfaces = {central,         Panel2,           Panel1,
                      counters,        Preview,          m_scroll->viewport(),
                      PanelPreviewCfg, Preview->image(), Preview->background()};
    for (QObject* o : m_dragSurfaces) o->installEventFilter(this);

    // Outer size 743 x 686, never larger than the screen, centred on it.
    QSize size(743, 686);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect screen = s->geometry();
        size = size.boundedTo(screen.size());
        resize(size);
        move(screen.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

void MainWindow::buildTopBar(QFrame* bar) {
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(2, 1, 2, 1);
    h->setSpacing(4);
    LabelPos = label(bar, "LabelPos", "Pos/Size Percent");
    LabelChapters = label(bar, "LabelChapters", "0");
    LabelFPS = label(bar, "LabelFPS", "FPS");
    LabelMode = label(bar, "LabelMode", "");
    auto coolButton = [bar](const char* name, const char* hint, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(QApplication::style()->standardIcon(icon));
        b->setIconSize(QSize(22, 22));
        b->setAutoRaise(true);
        return b;
    };
    CoolButtonOpenVob =
        coolButton("CoolButtonOpenVob", "Open Decrypted Vob(s)", QStyle::SP_DialogOpenButton);
    CoolButtonShowSubtitleText =
        coolButton("CoolButtonShowSubtitleText", "Show/Hide subtitles text window",
                   QStyle::SP_FileDialogDetailedView);
    LabelTimeElapsed = label(bar, "LabelTimeElapsed", "00:00:00");
    LabelTimeRemaining = label(bar, "LabelTimeRemaining", "");
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximumHeight(16);
    ButtonPause = new QPushButton(QStringLiteral("&Pause ") + QChar(0x2016), bar);
    ButtonPause->setObjectName("ButtonPause");
    ButtonPause->setToolTip("Pause / Continue Vob scanning");
    ButtonPause->setEnabled(false);
    ButtonPause->setMinimumWidth(100);
    ButtonStop = new QPushButton("&Stop", bar);
    ButtonStop->setObjectName("ButtonStop");
    ButtonStop->setToolTip("End the job here, keeping what was read");
    ButtonStop->setVisible(false);
    Button1 = new QPushButton("Save Lang", bar);
    Button1->setObjectName("Button1");
    Button1->setVisible(false);
    showsValue({LabelChapters, LabelMode, LabelTimeElapsed, LabelTimeRemaining});

    // Texts that change during a rip get room for their longest form, so
    // that nothing moves or widens the window while it runs; the titles take
    // what their language needs, the grid keeps the columns aligned.
    const QFontMetrics fm(LabelPos->font());
    auto roomFor = [&fm](QLabel* l, const char* longest) {
        l->setMinimumWidth(fm.horizontalAdvance(longest) + 4);
        return l;
    };
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    grid->addWidget(roomFor(LabelPos, "0000/0000 MB (100%)"), 0, 0, 1, 2);
    grid->addWidget(label(bar, "LabelTimeElapsedTitle", "Time Elapsed:"), 1, 0);
    grid->addWidget(roomFor(LabelTimeElapsed, "000:00:00"), 1, 1);
    auto* chapters = new QHBoxLayout;
    chapters->setSpacing(4);
    chapters->addWidget(label(bar, "LabelChaptersTitle", "Chapters:"));
    chapters->addWidget(roomFor(LabelChapters, "00000"), 1);
    grid->addLayout(chapters, 0, 2);
    grid->addWidget(label(bar, "LabelTimeRemainingTitle", "Time Remaining:"), 1, 2);
    grid->addWidget(roomFor(LabelTimeRemaining, "000:00:00"), 1, 3);
    auto* mode = new QHBoxLayout;
    mode->setSpacing(4);
    mode->addWidget(roomFor(LabelFPS, "NTSC 30 Fps"));
    mode->addWidget(label(bar, "LabelModeTitle", "Mode:"));
    mode->addWidget(roomFor(LabelMode, "Show only"));
    mode->addStretch(1);
    grid->addLayout(mode, 0, 3, 1, 2);
    grid->addWidget(ProgressBar1, 1, 4);
    grid->setColumnStretch(4, 1);

    h->addWidget(CoolButtonOpenVob);
    h->addWidget(CoolButtonShowSubtitleText);
    h->addLayout(grid, 1);
    h->addWidget(ButtonPause);
    h->addWidget(ButtonStop);
    h->addWidget(Button1);
}

namespace {

// "Vob      of       :" is one label, as the language files have it; the
// two numbers sit in its gaps.
class VobOfLabel : public QWidget {
public:
    VobOfLabel(QWidget* parent, QLabel* num, QLabel* count)
        : QWidget(parent), m_num(num), m_count(count) {
        m_text = new QLabel("Vob      of       :", this);
        m_text->setObjectName("LabelVobOf");
        num->setParent(this);
        count->setParent(this);
        m_text->installEventFilter(this);
        place();
    }
    QSize sizeHint() const override { return m_text->sizeHint(); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FontChange || e->type() == QEvent::Resize) place();
        return false;
    }
    // A new text (a language loaded) asks its parent for room.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::LayoutRequest) {
            place();
            updateGeometry();
        }
        return QWidget::event(e);
    }

private:
    // Each number starts after the word before its gap.
    void place() {
        const QString t = m_text->text();
        const QFontMetrics fm(m_text->font());
        const int gap1 = t.indexOf(' '), of = t.indexOf("of"), colon = t.lastIndexOf(':');
        m_text->adjustSize();
        if (gap1 < 0 || of < 0 || colon < 0) return; // a translation without the layout
        const int h = m_text->height();
        const int x1 = fm.horizontalAdvance(t.left(gap1 + 1));
        const int x2 = fm.horizontalAdvance(t.left(of + 3));
        m_num->setGeometry(x1, 0, std::max(1, fm.horizontalAdvance(t.left(of)) - x1), h);
        m_count->setGeometry(x2, 0, std::max(1, fm.horizontalAdvance(t.left(colon)) - x2), h);
        m_num->raise();
        m_count->raise();
    }
    QLabel* m_text;
    QLabel* m_num;
    QLabel* m_count;
};

} // namespace

void MainWindow::buildCounterBar(QWidget* bar) {
    auto* v = new QVBoxLayout(bar);
    v->setContentsMargins(3, 0, 3, 0);
    v->setSpacing(0);
    auto* row1 = new QHBoxLayout;
    auto* row2 = new QHBoxLayout;
    row1->setSpacing(4);
    row2->setSpacing(4);
    v->addLayout(row1);
    v->addLayout(row2);
    LabelNbSup = label(bar, "LabelNbSup", "0", "Number of SubPictures in current Vob");
    LabelVobNum = label(bar, "LabelVobNum", "0", "Current file");
    LabelVobNb = label(bar, "LabelVobNb", "0", "Number of selected files");
    LabelVobFile = label(bar, "LabelVobFile", "None", "Current Vob File Name");
    LabelTotalNbSup =
        label(bar, "LabelTotalNbSup", "0", "Number of SubPictures in All Selected Vob(s)");
    LabelGlyphsNamed = label(bar, "LabelGlyphsNamed", "0",
                             "Glyph shapes of this OCR rip named by Tesseract's readings");
    LabelGlyphsAsked = label(bar, "LabelGlyphsAsked", "0", "Glyph shapes of this OCR rip asked");
    LabelX1 = label(bar, "LabelX1", "000");
    LabelY1 = label(bar, "LabelY1", "000");
    LabelX2 = label(bar, "LabelX2", "000");
    LabelY2 = label(bar, "LabelY2", "000");
    LabelWidth = label(bar, "LabelWidth", "000");
    LabelHeight = label(bar, "LabelHeight", "000");
    LabelTime = label(bar, "LabelTime", "00:00:00,000", "Nav Packet Time ( Bad )");
    LabelTime7 = label(bar, "LabelTime7", "00:00:00,000", "SCR & PTS Time ( Ok )");
    CheckBoxShowSubPict = new QCheckBox("Show Pict.", bar);
    CheckBoxShowSubPict->setObjectName("CheckBoxShowSubPict");
    CheckBoxShowSubPict->setChecked(true);
    ButtonPreviewOption = new QPushButton("...", bar);
    ButtonPreviewOption->setObjectName("ButtonPreviewOption");
    ButtonPreviewOption->setToolTip("Preview Options");
    ButtonPreviewOption->setMaximumSize(30, 18);
    for (QLabel* n : {LabelNbSup, LabelTotalNbSup})
        n->setMinimumWidth(QFontMetrics(n->font()).horizontalAdvance("00000"));
    showsValue({LabelNbSup, LabelVobNum, LabelVobNb, LabelTotalNbSup, LabelX1, LabelY1, LabelX2,
                LabelY2, LabelWidth, LabelHeight, LabelTime, LabelTime7, LabelGlyphsNamed,
                LabelGlyphsAsked});
    LabelVobFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LabelVobNum->setAlignment(Qt::AlignCenter);
    LabelVobNb->setAlignment(Qt::AlignCenter);

    row1->addWidget(label(bar, "LabelVobPict", "Vob Pict.:"));
    row1->addWidget(LabelNbSup);
    row1->addWidget(new VobOfLabel(bar, LabelVobNum, LabelVobNb));
    row1->addWidget(LabelVobFile, 1);
    row1->addWidget(label(bar, "LabelTotalPict", "Total Pict.:"));
    row1->addWidget(LabelTotalNbSup);
    row1->addSpacing(8);
    row1->addWidget(LabelTime);
    row1->addSpacing(8);
    row1->addWidget(LabelTime7);

    const char* names[] = {"X1:", "Y1:", "X2:", "Y2:", "Width:", "Height:"};
    const char* ids[] = {"LabelX1Title", "LabelY1Title",    "LabelX2Title",
                         "LabelY2Title", "LabelWidthTitle", "LabelHeightTitle"};
    QLabel* values[] = {LabelX1, LabelY1, LabelX2, LabelY2, LabelWidth, LabelHeight};
    const int valueWidth = QFontMetrics(LabelX1->font()).horizontalAdvance("0000");
    for (int i = 0; i < 6; ++i) {
        row2->addWidget(label(bar, ids[i], names[i]));
        values[i]->setMinimumWidth(valueWidth);
        row2->addWidget(values[i]);
        row2->addSpacing(6);
    }
    row2->addStretch(1);
    row2->addWidget(label(bar, "LabelGlyphsNamedTitle", "Glyphs named:"));
    row2->addWidget(LabelGlyphsNamed);
    row2->addWidget(label(bar, "LabelGlyphsAskedTitle", "asked:"));
    row2->addWidget(LabelGlyphsAsked);
    row2->addSpacing(6);
    row2->addWidget(CheckBoxShowSubPict);
    row2->addSpacing(6);
    row2->addWidget(ButtonPreviewOption);
}

void MainWindow::buildOptionsPanel() {
    PanelPreviewCfg = new QFrame;
    PanelPreviewCfg->setObjectName("PanelPreviewCfg");
    PanelPreviewCfg->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    PanelPreviewCfg->setMinimumWidth(190);
    PanelPreviewCfg->setAutoFillBackground(true); // it lies over the preview
    auto* v = new QVBoxLayout(PanelPreviewCfg);
    v->setContentsMargins(4, 4, 4, 4);
    QLabel* heading = label(PanelPreviewCfg, "LabelDisplayOptions", "Display Options");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    v->addWidget(heading, 0, Qt::AlignHCenter);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(label(PanelPreviewCfg, "LabelZoom", "Zoom :"));
    SpinEditZoom = new QSpinBox(PanelPreviewCfg);
    SpinEditZoom->setObjectName("SpinEditZoom");
    SpinEditZoom->setRange(10, 200);
    SpinEditZoom->setValue(100);
    zoomRow->addWidget(SpinEditZoom);
    zoomRow->addWidget(label(PanelPreviewCfg, "LabelPercent", "%"));
    CheckBoxAutoZoom = new QCheckBox("Auto", PanelPreviewCfg);
    CheckBoxAutoZoom->setObjectName("CheckBoxAutoZoom");
    zoomRow->addWidget(CheckBoxAutoZoom);
    v->addLayout(zoomRow);
    RadioGroupPreviewBack =
        new RadioGroup("Background : ", {"None", "Preset :", "Free :", "Image :"}, PanelPreviewCfg);
    RadioGroupPreviewBack->setObjectName("RadioGroupPreviewBack");
    v->addWidget(RadioGroupPreviewBack);
    ComboBoxAspectRatio = new QComboBox(PanelPreviewCfg);
    ComboBoxAspectRatio->setObjectName("ComboBoxAspectRatio");
    ComboBoxAspectRatio->addItems({"16/9 - 1.77:1", "1.85:1", "2.35:1"});
    v->addWidget(ComboBoxAspectRatio);
    auto* freeRow = new QHBoxLayout;
    SpinEditAspectRatio = new QSpinBox(PanelPreviewCfg);
    SpinEditAspectRatio->setObjectName("SpinEditAspectRatio");
    SpinEditAspectRatio->setRange(0, 288);
    SpinEditAspectRatio->setValue(30);
    PanelRatio = new QFrame(PanelPreviewCfg);
    PanelRatio->setObjectName("PanelRatio");
    PanelRatio->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* ratioLayout = new QHBoxLayout(PanelRatio);
    ratioLayout->setContentsMargins(4, 1, 4, 1);
    m_ratioText = new QLabel(PreviewPane::FreeRatioText(30), PanelRatio);
    m_ratioText->setAlignment(Qt::AlignCenter);
    ratioLayout->addWidget(m_ratioText);
    freeRow->addWidget(SpinEditAspectRatio);
    freeRow->addWidget(PanelRatio, 1);
    v->addLayout(freeRow);
    ButtonImgBack = new QPushButton("Load Img.", PanelPreviewCfg);
    ButtonImgBack->setObjectName("ButtonImgBack");
    v->addWidget(ButtonImgBack);
    auto* colours = new QHBoxLayout;
    PanelBorderColor = new QFrame(PanelPreviewCfg);
    PanelBorderColor->setObjectName("PanelBorderColor");
    PanelBorderColor->setToolTip("Border color");
    PanelInnerColor = new QFrame(PanelPreviewCfg);
    PanelInnerColor->setObjectName("PanelInnerColor");
    PanelInnerColor->setToolTip("Inner color");
    for (QFrame* swatch : {PanelBorderColor, PanelInnerColor}) {
        swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        swatch->setMinimumHeight(22);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        colours->addWidget(swatch);
    }
    setSwatch(PanelBorderColor, PreviewSettings{}.BorderColor);
    setSwatch(PanelInnerColor, PreviewSettings{}.InnerColor);
    v->addLayout(colours);
    CheckBoxTruePos = new QCheckBox("Show at true position", PanelPreviewCfg);
    CheckBoxTruePos->setObjectName("CheckBoxTruePos");
    CheckBoxTruePos->setToolTip("Show picture at its true position ( Only work in BMP mode )");
    CheckBoxTruePos->setChecked(true);
    v->addWidget(CheckBoxTruePos);
    v->addStretch(1);
    QLabel* footer = label(PanelPreviewCfg, "LabelSpeed", "Disable background for better speed !");
    footer->setWordWrap(true);
    v->addWidget(footer);

    connect(ButtonPreviewOption, &QPushButton::clicked, this,
            [this] { ButtonPreviewOptionClick(); });
    connect(CheckBoxTruePos, &QCheckBox::toggled, this, [this] { previewOptionChanged(); });
    connect(CheckBoxAutoZoom, &QCheckBox::toggled, this, [this] { previewOptionChanged(); });
    connect(RadioGroupPreviewBack, &RadioGroup::clicked, this, [this] { previewOptionChanged(); });
    connect(ComboBoxAspectRatio, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { ComboBoxAspectRatioChange(); });
    connect(SpinEditAspectRatio, qOverload<int>(&QSpinBox::valueChanged), this,
            [this] { SpinEditAspectRatioChange(); });
    connect(SpinEditZoom, qOverload<int>(&QSpinBox::valueChanged), this,
            [this] { SpinEditZoomChange(); });
    connect(ButtonImgBack, &QPushButton::clicked, this, [this] { ButtonImgBackClick(); });
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File1");
    file->menuAction()->setObjectName("File1");
    OpenVob1 = file->addAction("&Open Vob(s)");
    OpenVob1->setObjectName("OpenVob1");
    Quit1 = file->addAction("&Quit");
    Quit1->setObjectName("Quit1");
    QMenu* matrix = bar->addMenu("&Characters Matrix");
    matrix->setObjectName("CharactersMatrix1");
    matrix->menuAction()->setObjectName("CharactersMatrix1");
    EditViewCharactersMatrix1 = matrix->addAction("&Edit/View Characters Matrix");
    EditViewCharactersMatrix1->setObjectName("EditViewCharactersMatrix1");
    OpenCharacterMatrix1 = matrix->addAction("&Open Characters Matrix File");
    OpenCharacterMatrix1->setObjectName("OpenCharacterMatrix1");
    SaveCharacterMatrix1 = matrix->addAction("&Save Characters Matrix File");
    SaveCharacterMatrix1->setObjectName("SaveCharacterMatrix1");
    SaveCharacterMatrixAs1 = matrix->addAction("Save Characters Matrix File &As");
    SaveCharacterMatrixAs1->setObjectName("SaveCharacterMatrixAs1");
    NewCharaterMatrix1 = matrix->addAction("&New Charaters Matrix");
    NewCharaterMatrix1->setObjectName("NewCharaterMatrix1");
    Output1 = bar->addMenu("&Output");
    Output1->setObjectName("Output1");
    Output1->menuAction()->setObjectName("Output1");
    Output1->addAction("&Save Output Text As")->setObjectName("SaveOutputTextAs1");
    Output1->addAction("Output Text File &Options")->setObjectName("OutputTextFileOptions1");
    Output1->menuAction()->setVisible(false);
    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("Options2");
    options->menuAction()->setObjectName("Options2");
    GUILanguage1 = options->addMenu("GUI &Language");
    GUILanguage1->setObjectName("GUILanguage1");
    GUILanguage1->menuAction()->setObjectName("GUILanguage1");
    OCRAdvancedSetup1 = options->addAction("&OCR Advanced Setup");
    OCRAdvancedSetup1->setObjectName("OCRAdvancedSetup1");
    About1 = options->addAction("&About");
    About1->setObjectName("About1");
}

void MainWindow::ShowPicture(const QImage& picture, const Rect& r) {
    Preview->setAtTruePos(m_preview.AtTruePos);
    Preview->showPicture(picture, r);
    LabelX1->setText(QString::number(r.X1));
    LabelY1->setText(QString::number(r.Y1));
    LabelX2->setText(QString::number(r.X2));
    LabelY2->setText(QString::number(r.Y2));
    LabelWidth->setText(QString::number(picture.width()));
    LabelHeight->setText(QString::number(picture.height()));
}

void MainWindow::ApplyZoom(int z) {
    Preview->setAtTruePos(m_preview.AtTruePos);
    Preview->ApplyZoom(std::clamp(z, 0, kLargestDrawnZoom));
}

bool MainWindow::SetUpBackground(QString* error) {
    Preview->setAtTruePos(m_preview.AtTruePos);
    const bool ok = Preview->SetUpBackground(m_preview, error);
    if (m_preview.BackMode != 0) applyZoomSetting();
    return ok;
}

void MainWindow::setUpPreview() {
    PreviewReady = false;
    ApplyZoom(m_preview.Zoom);
    SetUpBackground();
    PreviewReady = true;
}

void MainWindow::applyZoomSetting() {
    if (PreviewReady) m_preview.Zoom = uint16_t(SpinEditZoom->value() * 10);
    if (m_preview.AutoZoom) m_preview.Zoom = uint16_t(PreviewPane::autoZoom(width(), height()));
    ApplyZoom(m_preview.Zoom);
}

void MainWindow::ButtonPreviewOptionClick() {
    if (!PanelPreviewCfg->isHidden()) {
        PanelPreviewCfg->hide();
        return;
    }
    fillPreviewOptions();
    placeOptionsPanel();
    PanelPreviewCfg->show();
}

void MainWindow::fillPreviewOptions() {
    PreviewReady = false;
    SpinEditZoom->setValue(m_preview.Zoom / 10);
    CheckBoxAutoZoom->setChecked(m_preview.AutoZoom);
    RadioGroupPreviewBack->setItemIndex(m_preview.BackMode < 4 ? m_preview.BackMode : -1);
    ComboBoxAspectRatio->setCurrentIndex(m_preview.AspectRatioMode < 3 ? m_preview.AspectRatioMode
                                                                       : -1);
    SpinEditAspectRatio->setValue(m_preview.FreeAspectRatio);
    m_ratioText->setText(PreviewPane::FreeRatioText(SpinEditAspectRatio->value()));
    setSwatch(PanelBorderColor, m_preview.BorderColor);
    setSwatch(PanelInnerColor, m_preview.InnerColor);
    CheckBoxTruePos->setChecked(m_preview.AtTruePos);
    SpinEditZoom->setEnabled(!m_preview.AutoZoom);
    PreviewReady = true;
}

void MainWindow::readBackPreviewOptions() {
    m_preview.AutoZoom = CheckBoxAutoZoom->isChecked();
    m_preview.AtTruePos = CheckBoxTruePos->isChecked();
    m_preview.BorderColor = swatchColour(PanelBorderColor);
    m_preview.InnerColor = swatchColour(PanelInnerColor);
    // A value the controls cannot show (from a damaged settings file) stays
    // as it was until the user picks one.
    if (RadioGroupPreviewBack->itemIndex() >= 0)
        m_preview.BackMode = uint8_t(RadioGroupPreviewBack->itemIndex());
    if (ComboBoxAspectRatio->currentIndex() >= 0)
        m_preview.AspectRatioMode = uint8_t(ComboBoxAspectRatio->currentIndex());
    m_preview.FreeAspectRatio = uint16_t(SpinEditAspectRatio->value());
}

void MainWindow::previewOptionChanged() {
    SpinEditZoom->setEnabled(!CheckBoxAutoZoom->isChecked());
    // While the controls are being filled nothing changes, so there is
    // nothing to redraw either.
    if (!PreviewReady) return;
    readBackPreviewOptions();
    SetUpBackground();
}

void MainWindow::ComboBoxAspectRatioChange() {
    if (PreviewReady) RadioGroupPreviewBack->setItemIndex(1);
    previewOptionChanged();
}

void MainWindow::SpinEditAspectRatioChange() {
    m_ratioText->setText(PreviewPane::FreeRatioText(SpinEditAspectRatio->value()));
    if (PreviewReady) RadioGroupPreviewBack->setItemIndex(2);
    previewOptionChanged();
}

void MainWindow::SpinEditZoomChange() {
    applyZoomSetting();
}

void MainWindow::swatchClick(QFrame* swatch) {
    std::optional<QColor> c = m_dialogs.chooseColor(toQColor(swatchColour(swatch)));
    if (!c) return;
    setSwatch(swatch, fromQColor(*c));
    previewOptionChanged();
}

void MainWindow::ButtonImgBackClick() {
    FileDialogRequest r;
    r.title = m_catalogue.text(Message::LoadBackgroundImage);
    r.filter = "Image File (*.bmp;*.jpg)|*.bmp;*.jpg|All|*.*";
    if (m_preview.BackImageName.empty()) {
        r.initialFolder = m_dialogFolder;
    } else {
        const std::filesystem::path current(m_preview.BackImageName);
        r.initialFolder = current.parent_path();
        r.initialName = toCp1252(QString::fromStdString(current.filename().string()));
    }
    std::optional<std::filesystem::path> chosen = m_dialogs.chooseOpenFile(r);
    if (!chosen) return;
    RadioGroupPreviewBack->setItemIndex(3);
    m_preview.BackImageName = chosen->string();
    SpinEditZoom->setEnabled(!CheckBoxAutoZoom->isChecked());
    if (!PreviewReady) return;
    readBackPreviewOptions();
    QString error;
    if (!SetUpBackground(&error))
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      toCp1252("Cannot show " + QString::fromStdString(m_preview.BackImageName) +
                               " as the background: " + error));
}

void MainWindow::setCaption(const QString& caption) {
    m_caption = caption;
    showProgress(m_progress);
}

void MainWindow::showProgress(int percent) {
    m_progress = percent;
    setWindowTitle(percent < 0 ? m_caption : m_caption + " - " + QString::number(percent) + "%");
}

QString MainWindow::ratioText() const {
    return m_ratioText->text();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    if (onFirstShow) onFirstShow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (onCloseRequest && !onCloseRequest()) {
        event->ignore();
        return;
    }
    if (onClosed) onClosed();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_preview.AutoZoom) {
        m_preview.Zoom = uint16_t(PreviewPane::autoZoom(width(), height()));
        ApplyZoom(m_preview.Zoom);
    }
}

void MainWindow::placeOptionsPanel() {
    const QRect area = m_scroll->geometry();
    // As wide as its texts in the current language need.
    const int width = PanelPreviewCfg->sizeHint().expandedTo(PanelPreviewCfg->minimumSize()).width();
    const int height = PanelPreviewCfg->heightForWidth(width);
    const QSize size(width, height > 0 ? height : PanelPreviewCfg->sizeHint().height());
    PanelPreviewCfg->setGeometry(area.right() - size.width() + 1, area.top(), size.width(),
                                 size.height());
    PanelPreviewCfg->raise();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        placeOptionsPanel();
    if ((watched == PanelBorderColor || watched == PanelInnerColor) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        swatchClick(static_cast<QFrame*>(watched));
        return true;
    }
    if (m_dragSurfaces.contains(watched)) dragEvent(event);
    return QMainWindow::eventFilter(watched, event);
}

// Dragging the body moves the window, as a title bar would; a pause of two
// seconds in the middle of a drag ends it. An event that bubbles up through
// several of the surfaces moves the window once: the later ones see no
// offset left.
bool MainWindow::dragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton) return false;
        m_dragStart = me->globalPosition().toPoint();
        m_lastDragTick = tickCount();
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!m_dragging || !(me->buttons() & Qt::LeftButton)) return false;
        const qint64 now = tickCount();
        if (now - m_lastDragTick >= 2000) {
            m_dragging = false;
            return false;
        }
        const QPoint p = me->globalPosition().toPoint();
        if (p != m_dragStart) move(pos() + (p - m_dragStart));
        m_dragStart = p;
        m_lastDragTick = now;
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return false;
    default:
        return false;
    }
}

} // namespace mirtal
