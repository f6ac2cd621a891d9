#include "ui/MainWindow.h"

#include "ui/RadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
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
#include <QToolButton>
#include <QVBoxLayout>

namespace mirtal {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, const QString& hint = {}) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(name);
    if (!hint.isEmpty()) l->setToolTip(hint);
    return l;
}

qint64 tickNow() {
    static QElapsedTimer t;
    if (!t.isValid()) t.start();
    return t.elapsed();
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Mirtal 0.94b");
    auto* central = new QWidget(this);
    central->setObjectName("PanelMain");
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);

    auto* top = new QFrame(central);
    top->setObjectName("Panel2");
    top->setFrameStyle(QFrame::StyledPanel);
    buildTopBar(top);
    v->addWidget(top);

    auto* panel1 = new QFrame(central);
    panel1->setObjectName("Panel1");
    panel1->setFrameStyle(QFrame::StyledPanel);
    auto* p1 = new QVBoxLayout(panel1);
    p1->setContentsMargins(2, 2, 2, 2);
    auto* counters = new QWidget(panel1);
    counters->setObjectName("PanelCounters");
    buildCounterBar(counters);
    p1->addWidget(counters);

    auto* previewRow = new QHBoxLayout;
    Preview = new PreviewPane(panel1);
    auto* scroll = new QScrollArea(panel1);
    scroll->setObjectName("ScrollPreview");
    scroll->setWidget(Preview);
    scroll->setWidgetResizable(false);
    scroll->setFrameStyle(QFrame::NoFrame);
    previewRow->addWidget(scroll, 1);
    buildOptionsPanel();
    PanelPreviewCfg->setParent(panel1);
    previewRow->addWidget(PanelPreviewCfg);
    PanelPreviewCfg->hide();
    p1->addLayout(previewRow, 1);
    v->addWidget(panel1, 1);
    setCentralWidget(central);
    buildMenu();

    for (QWidget* w : {static_cast<QWidget*>(central), static_cast<QWidget*>(top), static_cast<QWidget*>(panel1),
                       counters, static_cast<QWidget*>(Preview), static_cast<QWidget*>(PanelPreviewCfg),
                       static_cast<QWidget*>(Preview->image()), static_cast<QWidget*>(Preview->background())})
        enableDragging(w);

    // Outer size 743 x 686, never larger than the screen, centred on it.
    QSize size(743, 686);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect avail = s->availableGeometry();
        size = size.boundedTo(avail.size());
        resize(size);
        move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

void MainWindow::buildTopBar(QWidget* bar) {
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
    CoolButtonShowSubtitleText = new QToolButton(bar);
    CoolButtonShowSubtitleText->setObjectName("CoolButtonShowSubtitleText");
    CoolButtonShowSubtitleText->setToolTip("Show/Hide subtitles text window");
    CoolButtonShowSubtitleText->setIcon(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView));
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
    Button1 = new QPushButton("Save Lang", bar);
    Button1->setObjectName("Button1");
    Button1->setVisible(false);

    g->addWidget(CoolButtonOpenVob, 0, 0, 2, 1);
    g->addWidget(CoolButtonShowSubtitleText, 0, 1, 2, 1);
    g->addWidget(LabelPos, 0, 2);
    g->addWidget(label(bar, "Label7", "Chapters:"), 0, 3);
    g->addWidget(LabelChapters, 0, 4);
    g->addWidget(LabelFPS, 0, 5);
    g->addWidget(label(bar, "Label8", "Mode:"), 0, 6);
    g->addWidget(LabelMode, 0, 7);
    g->addWidget(label(bar, "Label9", "Time Elapsed:"), 1, 2);
    g->addWidget(LabelTimeElapsed, 1, 3);
    g->addWidget(label(bar, "Label10", "Time Remaining:"), 1, 4);
    g->addWidget(LabelTimeRemaining, 1, 5);
    g->addWidget(ProgressBar1, 1, 6, 1, 2);
    g->addWidget(ButtonPause, 0, 8, 2, 1);
    g->addWidget(Button1, 0, 9);
    g->setColumnStretch(7, 1);
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
    LabelTotalNbSup = label(bar, "LabelTotalNbSup", "0", "Number of SubPictures in All Selected Vob(s)");
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

    int c = 0;
    g->addWidget(label(bar, "Label1", "Vob Pict.:"), 0, c++);
    g->addWidget(LabelNbSup, 0, c++);
    g->addWidget(label(bar, "Label2", "Vob      of       :"), 0, c++);
    g->addWidget(LabelVobNum, 0, c++);
    g->addWidget(LabelVobNb, 0, c++);
    g->addWidget(LabelVobFile, 0, c++);
    g->addWidget(label(bar, "Label3", "Total Pict.:"), 0, c++);
    g->addWidget(LabelTotalNbSup, 0, c++);
    g->addWidget(LabelTime, 0, c++);
    g->addWidget(LabelTime7, 0, c++);
    c = 0;
    const char* names[] = {"X1:", "Y1:", "X2:", "Y2:", "Width:", "Height:"};
    QLabel* values[] = {LabelX1, LabelY1, LabelX2, LabelY2, LabelWidth, LabelHeight};
    for (int i = 0; i < 6; ++i) {
        g->addWidget(label(bar, qPrintable(QString("LabelC%1").arg(i)), names[i]), 1, c++);
        g->addWidget(values[i], 1, c++);
    }
    g->addWidget(CheckBoxShowSubPict, 1, c++);
    g->addWidget(ButtonPreviewOption, 1, c++);
    g->setColumnStretch(c, 1);
}

void MainWindow::buildOptionsPanel() {
    PanelPreviewCfg = new QFrame;
    PanelPreviewCfg->setObjectName("PanelPreviewCfg");
    PanelPreviewCfg->setFrameStyle(QFrame::StyledPanel);
    auto* v = new QVBoxLayout(PanelPreviewCfg);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(label(PanelPreviewCfg, "LabelDisplayOptions", "Display Options"));
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
    PanelRatio = label(PanelPreviewCfg, "PanelRatio", PreviewPane::FreeRatioText(30));
    PanelRatio->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    freeRow->addWidget(SpinEditAspectRatio);
    freeRow->addWidget(PanelRatio);
    v->addLayout(freeRow);
    ButtonImgBack = new QPushButton("Load Img.", PanelPreviewCfg);
    ButtonImgBack->setObjectName("ButtonImgBack");
    v->addWidget(ButtonImgBack);
    auto* colours = new QHBoxLayout;
    PanelBorderColor = new QPushButton(PanelPreviewCfg);
    PanelBorderColor->setObjectName("PanelBorderColor");
    PanelBorderColor->setToolTip("Border color");
    PanelInnerColor = new QPushButton(PanelPreviewCfg);
    PanelInnerColor->setObjectName("PanelInnerColor");
    PanelInnerColor->setToolTip("Inner color");
    setSwatch(PanelBorderColor, 0x6D6F8B);
    setSwatch(PanelInnerColor, 0xC7BABB);
    colours->addWidget(PanelBorderColor);
    colours->addWidget(PanelInnerColor);
    v->addLayout(colours);
    CheckBoxTruePos = new QCheckBox("Show at true position", PanelPreviewCfg);
    CheckBoxTruePos->setObjectName("CheckBoxTruePos");
    CheckBoxTruePos->setToolTip("Show picture at its true position ( Only work in BMP mode )");
    CheckBoxTruePos->setChecked(true);
    v->addWidget(CheckBoxTruePos);
    v->addStretch(1);
    v->addWidget(label(PanelPreviewCfg, "LabelSpeed", "Disable background for better speed !"));
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File1");
    OpenVob1 = file->addAction("&Open Vob(s)");
    OpenVob1->setObjectName("OpenVob1");
    Quit1 = file->addAction("&Quit");
    Quit1->setObjectName("Quit1");
    QMenu* matrix = bar->addMenu("&Characters Matrix");
    matrix->setObjectName("CharactersMatrix1");
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
    Output1->addAction("&Save Output Text As")->setObjectName("SaveOutputTextAs1");
    Output1->addAction("Output Text File &Options")->setObjectName("OutputTextFileOptions1");
    Output1->menuAction()->setVisible(false);
    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("Options2");
    GUILanguage1 = options->addMenu("GUI &Language");
    GUILanguage1->setObjectName("GUILanguage1");
    GUILanguage1->menuAction()->setObjectName("GUILanguage1");
    OCRAdvancedSetup1 = options->addAction("&OCR Advanced Setup");
    OCRAdvancedSetup1->setObjectName("OCRAdvancedSetup1");
    About1 = options->addAction("&About");
    About1->setObjectName("About1");
}

void MainWindow::setRectLabels(const Rect& r, int width, int height) {
    LabelX1->setText(QString::number(r.X1));
    LabelY1->setText(QString::number(r.Y1));
    LabelX2->setText(QString::number(r.X2));
    LabelY2->setText(QString::number(r.Y2));
    LabelWidth->setText(QString::number(width));
    LabelHeight->setText(QString::number(height));
}

void MainWindow::setSwatch(QPushButton* swatch, Colour c) {
    swatch->setProperty("colour", uint(c));
    swatch->setStyleSheet(QString("background-color: %1;").arg(toQColor(c).name()));
}

Colour MainWindow::swatchColour(const QPushButton* swatch) { return Colour(swatch->property("colour").toUInt()); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (onCloseRequest && !onCloseRequest()) {
        event->ignore();
        return;
    }
    if (onClosed) onClosed();
    event->accept();
}

void MainWindow::enableDragging(QWidget* w) { w->installEventFilter(this); }

// Dragging the body moves the window, as a title bar would; a pause of two
// seconds in the middle of a drag ends it.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            m_dragStart = me->globalPosition().toPoint();
            m_lastDragTick = tickNow();
            m_dragging = true;
        }
    } else if (event->type() == QEvent::MouseMove && m_dragging) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() & Qt::LeftButton) {
            const qint64 now = tickNow();
            if (now - m_lastDragTick < 2000) {
                const QPoint p = me->globalPosition().toPoint();
                move(pos() + (p - m_dragStart));
                m_dragStart = p;
                m_lastDragTick = now;
            } else {
                m_dragging = false;
            }
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        m_dragging = false;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mirtal
