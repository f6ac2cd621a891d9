#include "ui/MainWindow.h"

#include "base/MessageCatalogue.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
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
                       const MessageCatalogue& catalogue, std::filesystem::path programFolder,
                       QWidget* parent)
    : QMainWindow(parent), tickCount(systemTick), m_preview(preview), m_dialogs(dialogs),
      m_catalogue(catalogue), m_programFolder(std::move(programFolder)) {
    setObjectName("Form1");
    setWindowTitle("Mirtal 0.94b");
    auto* central = new QWidget(this);
    central->setObjectName("PanelMain");
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);

    Panel2 = new QFrame(central);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    buildTopBar(Panel2);
    v->addWidget(Panel2);

    Panel1 = new QFrame(central);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* p1 = new QVBoxLayout(Panel1);
    p1->setContentsMargins(2, 2, 2, 2);
    auto* counters = new QWidget(Panel1);
    counters->setObjectName("PanelCounters");
    buildCounterBar(counters);
    p1->addWidget(counters);

    auto* previewRow = new QHBoxLayout;
    Preview = new PreviewPane(Panel1);
    auto* scroll = new QScrollArea(Panel1);
    scroll->setObjectName("ScrollPreview");
    scroll->setWidget(Preview);
    scroll->setWidgetResizable(false);
    scroll->setFrameStyle(QFrame::NoFrame);
    previewRow->addWidget(scroll, 1);
    buildOptionsPanel();
    PanelPreviewCfg->setParent(Panel1);
    previewRow->addWidget(PanelPreviewCfg);
    PanelPreviewCfg->hide();
    p1->addLayout(previewRow, 1);
    v->addWidget(Panel1, 1);
    setCentralWidget(central);
    buildMenu();

    m_dragSurfaces = {central,         Panel2,           Panel1,
                      counters,        Preview,          scroll->viewport(),
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
    auto* g = new QGridLayout(bar);
    g->setContentsMargins(4, 2, 4, 2);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(1);
    LabelPos = label(bar, "LabelPos", "Pos/Size Percent");
    LabelChapters = label(bar, "LabelChapters", "0");
    LabelFPS = label(bar, "LabelFPS", "FPS");
    LabelMode = label(bar, "LabelMode", "");
    CoolButtonOpenVob = new QToolButton(bar);
    CoolButtonOpenVob->setObjectName("CoolButtonOpenVob");
    CoolButtonOpenVob->setToolTip("Open Decrypted Vob(s)");
    CoolButtonOpenVob->setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogOpenButton));
    CoolButtonOpenVob->setIconSize(QSize(24, 24));
    CoolButtonOpenVob->setAutoRaise(true);
    CoolButtonShowSubtitleText = new QToolButton(bar);
    CoolButtonShowSubtitleText->setObjectName("CoolButtonShowSubtitleText");
    CoolButtonShowSubtitleText->setToolTip("Show/Hide subtitles text window");
    CoolButtonShowSubtitleText->setIcon(
        QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    CoolButtonShowSubtitleText->setIconSize(QSize(24, 24));
    CoolButtonShowSubtitleText->setAutoRaise(true);
    LabelTimeElapsed = label(bar, "LabelTimeElapsed", "00:00:00");
    LabelTimeRemaining = label(bar, "LabelTimeRemaining", "");
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ButtonPause = new QPushButton(QStringLiteral("&Pause ") + QChar(0x2016), bar);
    ButtonPause->setObjectName("ButtonPause");
    ButtonPause->setToolTip("Pause / Continue Vob scanning");
    ButtonPause->setEnabled(false);
    ButtonPause->setMinimumWidth(96);
    Button1 = new QPushButton("Save Lang", bar);
    Button1->setObjectName("Button1");
    Button1->setVisible(false);

    g->addWidget(CoolButtonOpenVob, 0, 0, 2, 1);
    g->addWidget(CoolButtonShowSubtitleText, 0, 1, 2, 1);
    g->addWidget(LabelPos, 0, 2, 1, 2);
    g->addWidget(label(bar, "LabelChaptersTitle", "Chapters:"), 0, 4);
    g->addWidget(LabelChapters, 0, 5);
    g->addWidget(LabelFPS, 0, 6);
    g->addWidget(label(bar, "LabelModeTitle", "Mode:"), 0, 7);
    g->addWidget(LabelMode, 0, 8);
    g->addWidget(label(bar, "LabelTimeElapsedTitle", "Time Elapsed:"), 1, 2);
    g->addWidget(LabelTimeElapsed, 1, 3);
    g->addWidget(label(bar, "LabelTimeRemainingTitle", "Time Remaining:"), 1, 4);
    g->addWidget(LabelTimeRemaining, 1, 5);
    g->addWidget(ProgressBar1, 1, 6, 1, 3);
    g->addWidget(ButtonPause, 0, 9, 2, 1);
    g->addWidget(Button1, 0, 10);
    g->setColumnStretch(8, 1);
}

void MainWindow::buildCounterBar(QWidget* bar) {
    auto* g = new QGridLayout(bar);
    g->setContentsMargins(2, 0, 2, 0);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(0);
    LabelNbSup = label(bar, "LabelNbSup", "0", "Number of SubPictures in current Vob");
    LabelVobNum = label(bar, "LabelVobNum", "0", "Current file");
    LabelVobNb = label(bar, "LabelVobNb", "0", "Number of selected files");
    LabelVobFile = label(bar, "LabelVobFile", "None", "Current Vob File Name");
    LabelTotalNbSup =
        label(bar, "LabelTotalNbSup", "0", "Number of SubPictures in All Selected Vob(s)");
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
    ButtonPreviewOption->setMaximumWidth(32);

    // "Vob      of       :" is one label in the original layout; its two
    // numbers sit in its gaps.
    auto* vobOf = new QWidget(bar);
    auto* h = new QHBoxLayout(vobOf);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(3);
    h->addWidget(label(vobOf, "LabelVobOf", "Vob      of       :"));
    h->addWidget(LabelVobNum);
    h->addWidget(LabelVobNb);
    h->addWidget(LabelVobFile, 1);
    LabelVobNum->setParent(vobOf);
    LabelVobNb->setParent(vobOf);
    LabelVobFile->setParent(vobOf);

    int c = 0;
    g->addWidget(label(bar, "LabelVobPict", "Vob Pict.:"), 0, c++);
    g->addWidget(LabelNbSup, 0, c++);
    g->addWidget(vobOf, 0, c, 1, 5);
    c += 5;
    g->addWidget(label(bar, "LabelTotalPict", "Total Pict.:"), 0, c++);
    g->addWidget(LabelTotalNbSup, 0, c++);
    g->addWidget(LabelTime, 0, c, 1, 2);
    c += 2;
    g->addWidget(LabelTime7, 0, c, 1, 2);
    c = 0;
    const char* names[] = {"X1:", "Y1:", "X2:", "Y2:", "Width:", "Height:"};
    const char* ids[] = {"LabelX1Title", "LabelY1Title",    "LabelX2Title",
                         "LabelY2Title", "LabelWidthTitle", "LabelHeightTitle"};
    QLabel* values[] = {LabelX1, LabelY1, LabelX2, LabelY2, LabelWidth, LabelHeight};
    for (int i = 0; i < 6; ++i) {
        g->addWidget(label(bar, ids[i], names[i]), 1, c++);
        g->addWidget(values[i], 1, c++);
    }
    g->addWidget(CheckBoxShowSubPict, 1, c, 1, 2);
    c += 2;
    g->addWidget(ButtonPreviewOption, 1, c++);
    g->setColumnStretch(13, 1);
}

void MainWindow::buildOptionsPanel() {
    PanelPreviewCfg = new QFrame;
    PanelPreviewCfg->setObjectName("PanelPreviewCfg");
    PanelPreviewCfg->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    PanelPreviewCfg->setFixedWidth(190);
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
    r.title = m_catalogue.text(46);
    r.filter = "Image File (*.bmp;*.jpg)|*.bmp;*.jpg|All|*.*";
    if (m_preview.BackImageName.empty()) {
        r.initialFolder = m_programFolder;
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

QString MainWindow::ratioText() const {
    return m_ratioText->text();
}

void MainWindow::setSwatch(QFrame* swatch, Colour c) {
    swatch->setProperty("colour", uint(c));
    swatch->setAutoFillBackground(true);
    QPalette pal = swatch->palette();
    pal.setColor(QPalette::Window, toQColor(c));
    swatch->setPalette(pal);
}

Colour MainWindow::swatchColour(const QFrame* swatch) {
    return Colour(swatch->property("colour").toUInt());
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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
