#include "ui/MainWindow.h"

#include "base/MessageCatalogue.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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

// Beyond 500 % the stretched background alone would take hundreds of
// megabytes; only a damaged settings file or a giant window asks for it.
constexpr int kLargestDrawnZoom = 5000;

} // namespace

MainWindow::MainWindow(PreviewSettings& preview, UiDialogs& dialogs,
                       const MessageCatalogue& catalogue, std::filesystem::path dialogFolder,
                       QWidget* parent)
    : QMainWindow(parent), m_previewSettings(preview), m_dialogs(dialogs), m_catalogue(catalogue),
      m_dialogFolder(std::move(dialogFolder)) {
    setObjectName("Form1");
    setCaption("Mirtal 0.94b");
    auto* central = new QWidget(this);
    central->setObjectName("PanelMain");
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(1, 1, 1, 1);
    v->setSpacing(1);
    // The bars are kept low so that the 100 % frame fits the window's
    // 743 x 686 without scrolling.
    v->addWidget(buildTopBar(central));
    v->addWidget(buildBody(central), 1);
    setCentralWidget(central);
    buildMenu();
    connectControls();

    m_dragSurfaces = {central,
                      m_topBar,
                      m_body,
                      m_body->findChild<QWidget*>("PanelCounters"),
                      m_previewPane,
                      m_scroll->viewport(),
                      m_optionsPanel,
                      m_previewPane->image(),
                      m_previewPane->background()};
    for (QObject* o : m_dragSurfaces) o->installEventFilter(this);
    placeOnScreen();
}

// Outer size 743 x 686, never larger than the screen, centred on it.
void MainWindow::placeOnScreen() {
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

// The counters, the preview and the display options over it.
QFrame* MainWindow::buildBody(QWidget* parent) {
    m_body = new QFrame(parent);
    m_body->setObjectName("Panel1");
    m_body->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* p1 = new QVBoxLayout(m_body);
    p1->setContentsMargins(1, 1, 1, 1);
    p1->setSpacing(0);
    auto* counters = new QWidget(m_body);
    counters->setObjectName("PanelCounters");
    buildCounterBar(counters);
    p1->addWidget(counters);

    m_previewPane = new PreviewPane(m_body);
    m_scroll = new QScrollArea(m_body);
    m_scroll->setObjectName("ScrollPreview");
    m_scroll->setWidget(m_previewPane);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFrameStyle(QFrame::NoFrame);
    p1->addWidget(m_scroll, 1);
    // The options float over the right side of the preview, as a panel
    // would, instead of squeezing it.
    buildOptionsPanel();
    m_optionsPanel->setParent(m_body);
    m_optionsPanel->hide();
    m_body->installEventFilter(this);
    return m_body;
}

// What the buttons and menus start is announced; the application runs it.
void MainWindow::connectControls() {
    connect(m_openJobAction, &QAction::triggered, this, &MainWindow::jobSetupRequested);
    connect(m_openJobButton, &QToolButton::clicked, this, &MainWindow::jobSetupRequested);
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_subtitlesButton, &QToolButton::clicked, this, &MainWindow::subtitlesWindowToggled);
    connect(m_pauseButton, &QPushButton::clicked, this, &MainWindow::pauseToggled);
    connect(m_stopButton, &QPushButton::clicked, this, &MainWindow::stopRequested);
    connect(m_saveLanguageButton, &QPushButton::clicked, this, &MainWindow::saveLanguageRequested);
    connect(m_showPicturesBox, &QCheckBox::toggled, this, &MainWindow::showPicturesToggled);
    connect(m_matrixEditorAction, &QAction::triggered, this, &MainWindow::matrixEditorRequested);
    connect(m_openMatrixAction, &QAction::triggered, this, &MainWindow::openMatrixRequested);
    connect(m_saveMatrixAction, &QAction::triggered, this, &MainWindow::saveMatrixRequested);
    connect(m_saveMatrixAsAction, &QAction::triggered, this, &MainWindow::saveMatrixAsRequested);
    connect(m_newMatrixAction, &QAction::triggered, this, &MainWindow::newMatrixRequested);
    connect(m_ocrSetupAction, &QAction::triggered, this, &MainWindow::ocrSetupRequested);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::aboutRequested);
}

QFrame* MainWindow::buildTopBar(QWidget* parent) {
    auto* bar = new QFrame(parent);
    m_topBar = bar;
    bar->setObjectName("Panel2");
    bar->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    createTopBarControls(bar);
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(2, 1, 2, 1);
    h->setSpacing(4);
    h->addWidget(m_openJobButton);
    h->addWidget(m_subtitlesButton);
    h->addLayout(buildTopBarCounters(bar), 1);
    h->addWidget(m_pauseButton);
    h->addWidget(m_stopButton);
    h->addWidget(m_saveLanguageButton);
    return bar;
}

// In the order the language files list them.
void MainWindow::createTopBarControls(QWidget* bar) {
    m_positionLabel = label(bar, "LabelPos", "Pos/Size Percent");
    m_chaptersLabel = label(bar, "LabelChapters", "0");
    m_frameRateLabel = label(bar, "LabelFPS", "FPS");
    m_modeLabel = label(bar, "LabelMode", "");
    auto coolButton = [bar](const char* name, const char* hint, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(QApplication::style()->standardIcon(icon));
        b->setIconSize(QSize(22, 22));
        b->setAutoRaise(true);
        return b;
    };
    m_openJobButton =
        coolButton("CoolButtonOpenVob", "Open Decrypted Vob(s)", QStyle::SP_DialogOpenButton);
    m_subtitlesButton = coolButton("CoolButtonShowSubtitleText", "Show/Hide subtitles text window",
                                   QStyle::SP_FileDialogDetailedView);
    m_elapsedLabel = label(bar, "LabelTimeElapsed", "00:00:00");
    m_remainingLabel = label(bar, "LabelTimeRemaining", "");
    m_progressBar = new QProgressBar(bar);
    m_progressBar->setObjectName("ProgressBar1");
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setMaximumHeight(16);
    m_pauseButton = new QPushButton(QStringLiteral("&Pause ") + QChar(0x2016), bar);
    m_pauseButton->setObjectName("ButtonPause");
    m_pauseButton->setToolTip("Pause / Continue Vob scanning");
    m_pauseButton->setEnabled(false);
    m_pauseButton->setMinimumWidth(100);
    m_stopButton = new QPushButton("&Stop", bar);
    m_stopButton->setObjectName("ButtonStop");
    m_stopButton->setToolTip("End the job here, keeping what was read");
    m_stopButton->setVisible(false);
    m_saveLanguageButton = new QPushButton("Save Lang", bar);
    m_saveLanguageButton->setObjectName("Button1");
    m_saveLanguageButton->setVisible(false);
    showsValue({m_chaptersLabel, m_modeLabel, m_elapsedLabel, m_remainingLabel});
}

// Texts that change during a rip get room for their longest form, so that
// nothing moves or widens the window while it runs; the titles take what
// their language needs, the grid keeps the columns aligned.
QLayout* MainWindow::buildTopBarCounters(QWidget* bar) {
    const QFontMetrics fm(m_positionLabel->font());
    auto roomFor = [&fm](QLabel* l, const char* longest) {
        l->setMinimumWidth(fm.horizontalAdvance(longest) + 4);
        return l;
    };
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    grid->addWidget(roomFor(m_positionLabel, "0000/0000 MB (100%)"), 0, 0, 1, 2);
    grid->addWidget(label(bar, "LabelTimeElapsedTitle", "Time Elapsed:"), 1, 0);
    grid->addWidget(roomFor(m_elapsedLabel, "000:00:00"), 1, 1);
    auto* chapters = new QHBoxLayout;
    chapters->setSpacing(4);
    chapters->addWidget(label(bar, "LabelChaptersTitle", "Chapters:"));
    chapters->addWidget(roomFor(m_chaptersLabel, "00000"), 1);
    grid->addLayout(chapters, 0, 2);
    grid->addWidget(label(bar, "LabelTimeRemainingTitle", "Time Remaining:"), 1, 2);
    grid->addWidget(roomFor(m_remainingLabel, "000:00:00"), 1, 3);
    auto* mode = new QHBoxLayout;
    mode->setSpacing(4);
    mode->addWidget(roomFor(m_frameRateLabel, "NTSC 30 Fps"));
    mode->addWidget(label(bar, "LabelModeTitle", "Mode:"));
    mode->addWidget(roomFor(m_modeLabel, "Show only"));
    mode->addStretch(1);
    grid->addLayout(mode, 0, 3, 1, 2);
    grid->addWidget(m_progressBar, 1, 4);
    grid->setColumnStretch(4, 1);
    return grid;
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
    createCounters(bar);
    auto* v = new QVBoxLayout(bar);
    v->setContentsMargins(3, 0, 3, 0);
    v->setSpacing(0);
    auto* row1 = new QHBoxLayout;
    row1->setSpacing(4);
    v->addLayout(row1);
    row1->addWidget(label(bar, "LabelVobPict", "Vob Pict.:"));
    row1->addWidget(m_vobPicturesLabel);
    row1->addWidget(new VobOfLabel(bar, m_fileNumberLabel, m_fileCountLabel));
    row1->addWidget(m_fileNameLabel, 1);
    row1->addWidget(label(bar, "LabelTotalPict", "Total Pict.:"));
    row1->addWidget(m_totalPicturesLabel);
    row1->addSpacing(8);
    row1->addWidget(m_navTimeLabel);
    row1->addSpacing(8);
    row1->addWidget(m_streamTimeLabel);
    v->addLayout(buildCoordinatesRow(bar));
}

// In the order the language files list them.
void MainWindow::createCounters(QWidget* bar) {
    m_vobPicturesLabel = label(bar, "LabelNbSup", "0", "Number of SubPictures in current Vob");
    m_fileNumberLabel = label(bar, "LabelVobNum", "0", "Current file");
    m_fileCountLabel = label(bar, "LabelVobNb", "0", "Number of selected files");
    m_fileNameLabel = label(bar, "LabelVobFile", "None", "Current Vob File Name");
    m_totalPicturesLabel =
        label(bar, "LabelTotalNbSup", "0", "Number of SubPictures in All Selected Vob(s)");
    m_glyphsNamedLabel = label(bar, "LabelGlyphsNamed", "0",
                               "Glyph shapes of this OCR rip named by Tesseract's readings");
    m_glyphsAskedLabel = label(bar, "LabelGlyphsAsked", "0", "Glyph shapes of this OCR rip asked");
    m_x1Label = label(bar, "LabelX1", "000");
    m_y1Label = label(bar, "LabelY1", "000");
    m_x2Label = label(bar, "LabelX2", "000");
    m_y2Label = label(bar, "LabelY2", "000");
    m_widthLabel = label(bar, "LabelWidth", "000");
    m_heightLabel = label(bar, "LabelHeight", "000");
    m_navTimeLabel = label(bar, "LabelTime", "00:00:00,000", "Nav Packet Time ( Bad )");
    m_streamTimeLabel = label(bar, "LabelTime7", "00:00:00,000", "SCR & PTS Time ( Ok )");
    m_showPicturesBox = new QCheckBox("Show Pict.", bar);
    m_showPicturesBox->setObjectName("CheckBoxShowSubPict");
    m_showPicturesBox->setChecked(true);
    m_optionsButton = new QPushButton("...", bar);
    m_optionsButton->setObjectName("ButtonPreviewOption");
    m_optionsButton->setToolTip("Preview Options");
    m_optionsButton->setMaximumSize(30, 18);
    for (QLabel* n : {m_vobPicturesLabel, m_totalPicturesLabel})
        n->setMinimumWidth(QFontMetrics(n->font()).horizontalAdvance("00000"));
    showsValue({m_vobPicturesLabel, m_fileNumberLabel, m_fileCountLabel, m_totalPicturesLabel,
                m_x1Label, m_y1Label, m_x2Label, m_y2Label, m_widthLabel, m_heightLabel,
                m_navTimeLabel, m_streamTimeLabel, m_glyphsNamedLabel, m_glyphsAskedLabel});
    m_fileNameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_fileNumberLabel->setAlignment(Qt::AlignCenter);
    m_fileCountLabel->setAlignment(Qt::AlignCenter);
}

// The picture's corners and size, the glyph counters and the display switches.
QLayout* MainWindow::buildCoordinatesRow(QWidget* bar) {
    auto* row2 = new QHBoxLayout;
    row2->setSpacing(4);
    const char* names[] = {"X1:", "Y1:", "X2:", "Y2:", "Width:", "Height:"};
    const char* ids[] = {"LabelX1Title", "LabelY1Title",    "LabelX2Title",
                         "LabelY2Title", "LabelWidthTitle", "LabelHeightTitle"};
    QLabel* values[] = {m_x1Label, m_y1Label, m_x2Label, m_y2Label, m_widthLabel, m_heightLabel};
    const int valueWidth = QFontMetrics(m_x1Label->font()).horizontalAdvance("0000");
    for (int i = 0; i < 6; ++i) {
        row2->addWidget(label(bar, ids[i], names[i]));
        values[i]->setMinimumWidth(valueWidth);
        row2->addWidget(values[i]);
        row2->addSpacing(6);
    }
    row2->addStretch(1);
    row2->addWidget(label(bar, "LabelGlyphsNamedTitle", "Glyphs named:"));
    row2->addWidget(m_glyphsNamedLabel);
    row2->addWidget(label(bar, "LabelGlyphsAskedTitle", "asked:"));
    row2->addWidget(m_glyphsAskedLabel);
    row2->addSpacing(6);
    row2->addWidget(m_showPicturesBox);
    row2->addSpacing(6);
    row2->addWidget(m_optionsButton);
    return row2;
}

void MainWindow::buildOptionsPanel() {
    m_optionsPanel = new QFrame;
    m_optionsPanel->setObjectName("PanelPreviewCfg");
    m_optionsPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_optionsPanel->setMinimumWidth(190);
    m_optionsPanel->setAutoFillBackground(true); // it lies over the preview
    auto* v = new QVBoxLayout(m_optionsPanel);
    v->setContentsMargins(4, 4, 4, 4);
    QLabel* heading = label(m_optionsPanel, "LabelDisplayOptions", "Display Options");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    v->addWidget(heading, 0, Qt::AlignHCenter);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(label(m_optionsPanel, "LabelZoom", "Zoom :"));
    m_zoomSpin = new QSpinBox(m_optionsPanel);
    m_zoomSpin->setObjectName("SpinEditZoom");
    m_zoomSpin->setRange(10, 200);
    m_zoomSpin->setValue(100);
    zoomRow->addWidget(m_zoomSpin);
    zoomRow->addWidget(label(m_optionsPanel, "LabelPercent", "%"));
    m_autoZoomBox = new QCheckBox("Auto", m_optionsPanel);
    m_autoZoomBox->setObjectName("CheckBoxAutoZoom");
    zoomRow->addWidget(m_autoZoomBox);
    v->addLayout(zoomRow);
    buildBackgroundOptions(v);
    m_truePositionBox = new QCheckBox("Show at true position", m_optionsPanel);
    m_truePositionBox->setObjectName("CheckBoxTruePos");
    m_truePositionBox->setToolTip("Show picture at its true position ( Only work in BMP mode )");
    m_truePositionBox->setChecked(true);
    v->addWidget(m_truePositionBox);
    v->addStretch(1);
    QLabel* footer = label(m_optionsPanel, "LabelSpeed", "Disable background for better speed !");
    footer->setWordWrap(true);
    v->addWidget(footer);
    connectOptionsPanel();
}

// The background kind, its preset and free ratios, its image and colours.
void MainWindow::buildBackgroundOptions(QBoxLayout* v) {
    m_backgroundGroup =
        new RadioGroup("Background : ", {"None", "Preset :", "Free :", "Image :"}, m_optionsPanel);
    m_backgroundGroup->setObjectName("RadioGroupPreviewBack");
    v->addWidget(m_backgroundGroup);
    m_presetRatioCombo = new QComboBox(m_optionsPanel);
    m_presetRatioCombo->setObjectName("ComboBoxAspectRatio");
    m_presetRatioCombo->addItems({"16/9 - 1.77:1", "1.85:1", "2.35:1"});
    v->addWidget(m_presetRatioCombo);
    auto* freeRow = new QHBoxLayout;
    m_freeRatioSpin = new QSpinBox(m_optionsPanel);
    m_freeRatioSpin->setObjectName("SpinEditAspectRatio");
    m_freeRatioSpin->setRange(0, 288);
    m_freeRatioSpin->setValue(30);
    auto* ratioPanel = new QFrame(m_optionsPanel);
    ratioPanel->setObjectName("PanelRatio");
    ratioPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* ratioLayout = new QHBoxLayout(ratioPanel);
    ratioLayout->setContentsMargins(4, 1, 4, 1);
    m_ratioText = new QLabel(PreviewPane::freeRatioText(30), ratioPanel);
    m_ratioText->setAlignment(Qt::AlignCenter);
    ratioLayout->addWidget(m_ratioText);
    freeRow->addWidget(m_freeRatioSpin);
    freeRow->addWidget(ratioPanel, 1);
    v->addLayout(freeRow);
    m_backImageButton = new QPushButton("Load Img.", m_optionsPanel);
    m_backImageButton->setObjectName("ButtonImgBack");
    v->addWidget(m_backImageButton);
    auto* colours = new QHBoxLayout;
    m_borderSwatch = new QFrame(m_optionsPanel);
    m_borderSwatch->setObjectName("PanelBorderColor");
    m_borderSwatch->setToolTip("Border color");
    m_innerSwatch = new QFrame(m_optionsPanel);
    m_innerSwatch->setObjectName("PanelInnerColor");
    m_innerSwatch->setToolTip("Inner color");
    for (QFrame* swatch : {m_borderSwatch, m_innerSwatch}) {
        swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        swatch->setMinimumHeight(22);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        colours->addWidget(swatch);
    }
    setSwatch(m_borderSwatch, PreviewSettings{}.BorderColor);
    setSwatch(m_innerSwatch, PreviewSettings{}.InnerColor);
    v->addLayout(colours);
}

void MainWindow::connectOptionsPanel() {
    connect(m_optionsButton, &QPushButton::clicked, this, &MainWindow::toggleOptionsPanel);
    connect(m_truePositionBox, &QCheckBox::toggled, this, &MainWindow::previewOptionChanged);
    connect(m_autoZoomBox, &QCheckBox::toggled, this, &MainWindow::previewOptionChanged);
    connect(m_backgroundGroup, &RadioGroup::clicked, this, &MainWindow::previewOptionChanged);
    connect(m_presetRatioCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &MainWindow::choosePresetRatio);
    connect(m_freeRatioSpin, qOverload<int>(&QSpinBox::valueChanged), this,
            &MainWindow::chooseFreeRatio);
    connect(m_zoomSpin, qOverload<int>(&QSpinBox::valueChanged), this,
            &MainWindow::applyZoomSetting);
    connect(m_backImageButton, &QPushButton::clicked, this, &MainWindow::chooseBackgroundImage);
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File1");
    file->menuAction()->setObjectName("File1");
    m_openJobAction = file->addAction("&Open Vob(s)");
    m_openJobAction->setObjectName("OpenVob1");
    m_quitAction = file->addAction("&Quit");
    m_quitAction->setObjectName("Quit1");
    QMenu* matrix = bar->addMenu("&Characters Matrix");
    matrix->setObjectName("CharactersMatrix1");
    matrix->menuAction()->setObjectName("CharactersMatrix1");
    m_matrixEditorAction = matrix->addAction("&Edit/View Characters Matrix");
    m_matrixEditorAction->setObjectName("EditViewCharactersMatrix1");
    m_openMatrixAction = matrix->addAction("&Open Characters Matrix File");
    m_openMatrixAction->setObjectName("OpenCharacterMatrix1");
    m_saveMatrixAction = matrix->addAction("&Save Characters Matrix File");
    m_saveMatrixAction->setObjectName("SaveCharacterMatrix1");
    m_saveMatrixAsAction = matrix->addAction("Save Characters Matrix File &As");
    m_saveMatrixAsAction->setObjectName("SaveCharacterMatrixAs1");
    m_newMatrixAction = matrix->addAction("&New Charaters Matrix");
    m_newMatrixAction->setObjectName("NewCharaterMatrix1");
    QMenu* output = bar->addMenu("&Output");
    output->setObjectName("Output1");
    output->menuAction()->setObjectName("Output1");
    output->addAction("&Save Output Text As")->setObjectName("SaveOutputTextAs1");
    output->addAction("Output Text File &Options")->setObjectName("OutputTextFileOptions1");
    output->menuAction()->setVisible(false);
    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("Options2");
    options->menuAction()->setObjectName("Options2");
    m_languageMenu = options->addMenu("GUI &Language");
    m_languageMenu->setObjectName("GUILanguage1");
    m_languageMenu->menuAction()->setObjectName("GUILanguage1");
    m_ocrSetupAction = options->addAction("&OCR Advanced Setup");
    m_ocrSetupAction->setObjectName("OCRAdvancedSetup1");
    m_aboutAction = options->addAction("&About");
    m_aboutAction->setObjectName("About1");
}

void MainWindow::showPicture(const QImage& picture, const Rect& r) {
    m_previewPane->setAtTruePos(m_previewSettings.AtTruePos);
    m_previewPane->showPicture(picture, r);
    m_x1Label->setText(QString::number(r.X1));
    m_y1Label->setText(QString::number(r.Y1));
    m_x2Label->setText(QString::number(r.X2));
    m_y2Label->setText(QString::number(r.Y2));
    m_widthLabel->setText(QString::number(picture.width()));
    m_heightLabel->setText(QString::number(picture.height()));
}

namespace {

void setTextIfChanged(QLabel* label, const std::string& text) {
    const QString t = fromCp1252(text);
    if (label->text() != t) label->setText(t);
}

} // namespace

void MainWindow::showRipDisplay(const RipTexts& d, bool paused, bool jobSetupAvailable) {
    setTextIfChanged(m_fileNameLabel, d.LabelVobFile);
    setTextIfChanged(m_fileNumberLabel, d.LabelVobNum);
    setTextIfChanged(m_fileCountLabel, d.LabelVobNb);
    setTextIfChanged(m_vobPicturesLabel, d.LabelNbSup);
    setTextIfChanged(m_totalPicturesLabel, d.LabelTotalNbSup);
    setTextIfChanged(m_positionLabel, d.LabelPos);
    m_progressBar->setValue(d.progressPercent);
    setTextIfChanged(m_elapsedLabel, d.LabelTimeElapsed);
    setTextIfChanged(m_remainingLabel, d.LabelTimeRemaining);
    setTextIfChanged(m_navTimeLabel, d.LabelTime);
    setTextIfChanged(m_streamTimeLabel, d.LabelTime7);
    setTextIfChanged(m_chaptersLabel, d.LabelChapters);
    setTextIfChanged(m_frameRateLabel, d.LabelFPS);
    setTextIfChanged(m_glyphsNamedLabel, d.LabelGlyphsNamed);
    setTextIfChanged(m_glyphsAskedLabel, d.LabelGlyphsAsked);
    if (d.pauseCaption != m_enginePauseCaption) {
        m_enginePauseCaption = d.pauseCaption;
        QString pause = fromCp1252(d.pauseCaption);
        pause.replace(QChar(127), QChar(0x2016)); // the pause glyph of the symbol font
        m_pauseButton->setText(pause);
    }
    m_pauseButton->setEnabled(d.pauseEnabled);
    m_stopButton->setVisible(d.pauseEnabled && paused);
    m_openJobAction->setEnabled(jobSetupAvailable);
    m_openJobButton->setEnabled(jobSetupAvailable);
    // The application's display name would end every window's title; the
    // progress belongs to the main window's alone.
    if (d.applicationTitle != RipTexts{}.applicationTitle) showProgress(d.progressPercent);
}

void MainWindow::showJobMode(const QString& mode) {
    m_modeLabel->setText(mode);
}

bool MainWindow::showsPictures() const {
    return m_showPicturesBox->isChecked();
}

void MainWindow::focusShowPicturesBox() {
    m_showPicturesBox->setFocus();
}

QSize MainWindow::pictureSize() const {
    return m_previewPane->image()->size();
}

void MainWindow::applyZoom(int z) {
    m_previewPane->setAtTruePos(m_previewSettings.AtTruePos);
    m_previewPane->applyZoom(std::clamp(z, 0, kLargestDrawnZoom));
}

bool MainWindow::setUpBackground(QString* error) {
    m_previewPane->setAtTruePos(m_previewSettings.AtTruePos);
    const bool ok = m_previewPane->setUpBackground(m_previewSettings, error);
    if (m_previewSettings.BackMode != 0) applyZoomSetting();
    return ok;
}

void MainWindow::setUpPreview() {
    m_previewReady = false;
    applyZoom(m_previewSettings.Zoom);
    setUpBackground();
    m_previewReady = true;
}

void MainWindow::applyZoomSetting() {
    if (m_previewReady) m_previewSettings.Zoom = uint16_t(m_zoomSpin->value() * 10);
    if (m_previewSettings.AutoZoom)
        m_previewSettings.Zoom = uint16_t(PreviewPane::autoZoom(width(), height()));
    applyZoom(m_previewSettings.Zoom);
}

void MainWindow::toggleOptionsPanel() {
    if (!m_optionsPanel->isHidden()) {
        m_optionsPanel->hide();
        return;
    }
    fillPreviewOptions();
    placeOptionsPanel();
    m_optionsPanel->show();
}

void MainWindow::fillPreviewOptions() {
    m_previewReady = false;
    m_zoomSpin->setValue(m_previewSettings.Zoom / 10);
    m_autoZoomBox->setChecked(m_previewSettings.AutoZoom);
    m_backgroundGroup->setItemIndex(m_previewSettings.BackMode < 4 ? m_previewSettings.BackMode
                                                                   : -1);
    m_presetRatioCombo->setCurrentIndex(
        m_previewSettings.AspectRatioMode < 3 ? m_previewSettings.AspectRatioMode : -1);
    m_freeRatioSpin->setValue(m_previewSettings.FreeAspectRatio);
    m_ratioText->setText(PreviewPane::freeRatioText(m_freeRatioSpin->value()));
    setSwatch(m_borderSwatch, m_previewSettings.BorderColor);
    setSwatch(m_innerSwatch, m_previewSettings.InnerColor);
    m_truePositionBox->setChecked(m_previewSettings.AtTruePos);
    m_zoomSpin->setEnabled(!m_previewSettings.AutoZoom);
    m_previewReady = true;
}

void MainWindow::readBackPreviewOptions() {
    m_previewSettings.AutoZoom = m_autoZoomBox->isChecked();
    m_previewSettings.AtTruePos = m_truePositionBox->isChecked();
    m_previewSettings.BorderColor = swatchColour(m_borderSwatch);
    m_previewSettings.InnerColor = swatchColour(m_innerSwatch);
    // A value the controls cannot show (from a damaged settings file) stays
    // as it was until the user picks one.
    if (m_backgroundGroup->itemIndex() >= 0)
        m_previewSettings.BackMode = uint8_t(m_backgroundGroup->itemIndex());
    if (m_presetRatioCombo->currentIndex() >= 0)
        m_previewSettings.AspectRatioMode = uint8_t(m_presetRatioCombo->currentIndex());
    m_previewSettings.FreeAspectRatio = uint16_t(m_freeRatioSpin->value());
}

void MainWindow::previewOptionChanged() {
    m_zoomSpin->setEnabled(!m_autoZoomBox->isChecked());
    // While the controls are being filled nothing changes, so there is
    // nothing to redraw either.
    if (!m_previewReady) return;
    readBackPreviewOptions();
    setUpBackground();
}

void MainWindow::choosePresetRatio() {
    if (m_previewReady) m_backgroundGroup->setItemIndex(1);
    previewOptionChanged();
}

void MainWindow::chooseFreeRatio() {
    m_ratioText->setText(PreviewPane::freeRatioText(m_freeRatioSpin->value()));
    if (m_previewReady) m_backgroundGroup->setItemIndex(2);
    previewOptionChanged();
}

void MainWindow::chooseSwatchColour(QFrame* swatch) {
    std::optional<QColor> c = m_dialogs.chooseColour(toQColor(swatchColour(swatch)));
    if (!c) return;
    setSwatch(swatch, fromQColor(*c));
    previewOptionChanged();
}

void MainWindow::chooseBackgroundImage() {
    FileDialogRequest r;
    r.title = m_catalogue.text(Message::LoadBackgroundImage);
    r.filter = "Image File (*.bmp;*.jpg)|*.bmp;*.jpg|All|*.*";
    if (m_previewSettings.BackImageName.empty()) {
        r.initialFolder = m_dialogFolder;
    } else {
        const std::filesystem::path current(m_previewSettings.BackImageName);
        r.initialFolder = current.parent_path();
        r.initialName = toCp1252(QString::fromStdString(current.filename().string()));
    }
    std::optional<std::filesystem::path> chosen = m_dialogs.chooseOpenFile(r);
    if (!chosen) return;
    m_backgroundGroup->setItemIndex(3);
    m_previewSettings.BackImageName = chosen->string();
    m_zoomSpin->setEnabled(!m_autoZoomBox->isChecked());
    if (!m_previewReady) return;
    readBackPreviewOptions();
    QString error;
    if (!setUpBackground(&error))
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      toCp1252("Cannot show " +
                               QString::fromStdString(m_previewSettings.BackImageName) +
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

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    emit firstShown();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closeRequested(event);
    if (!event->isAccepted()) return;
    emit closed();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_previewSettings.AutoZoom) {
        m_previewSettings.Zoom = uint16_t(PreviewPane::autoZoom(width(), height()));
        applyZoom(m_previewSettings.Zoom);
    }
}

void MainWindow::placeOptionsPanel() {
    const QRect area = m_scroll->geometry();
    // As wide as its texts in the current language need.
    const int width = m_optionsPanel->sizeHint().expandedTo(m_optionsPanel->minimumSize()).width();
    const int height = m_optionsPanel->heightForWidth(width);
    const QSize size(width, height > 0 ? height : m_optionsPanel->sizeHint().height());
    m_optionsPanel->setGeometry(area.right() - size.width() + 1, area.top(), size.width(),
                                size.height());
    m_optionsPanel->raise();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_body &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        placeOptionsPanel();
    if ((watched == m_borderSwatch || watched == m_innerSwatch) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        chooseSwatchColour(static_cast<QFrame*>(watched));
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
        m_lastDragTime = qint64(me->timestamp());
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!m_dragging || !(me->buttons() & Qt::LeftButton)) return false;
        const qint64 now = qint64(me->timestamp());
        if (now - m_lastDragTime >= 2000) {
            m_dragging = false;
            return false;
        }
        const QPoint p = me->globalPosition().toPoint();
        if (p != m_dragStart) move(pos() + (p - m_dragStart));
        m_dragStart = p;
        m_lastDragTime = now;
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
