#pragma once

#include "settings/ProgramSettings.h"
#include "ui/PreviewPane.h"
#include "ui/RipTexts.h"

#include <QMainWindow>
#include <QPoint>
#include <filesystem>
#include <string>

class QBoxLayout;
class QCheckBox;
class QCloseEvent;
class QLayout;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QToolButton;
class QFrame;
class QScrollArea;

namespace mirtal {

class MessageCatalogue;
class RadioGroup;
class UiDialogs;

// The program's first window: rip counters, the current picture with its
// display options, and the menus that reach every other window. The window
// keeps the preview settings it is given; what its buttons and menus start
// (job, matrix, other windows, close flow) it announces, for the application
// object that owns the working state.
class MainWindow : public QMainWindow {
    Q_OBJECT
    // The caption without the progress of a job, as language files see it.
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    MainWindow(PreviewSettings& preview, UiDialogs& dialogs, const MessageCatalogue& catalogue,
               std::filesystem::path dialogFolder, QWidget* parent = nullptr);

    // Shows the picture at its frame rectangle and its coordinates.
    void showPicture(const QImage& picture, const Rect& rect);
    // The preview set-up of the first showing, from the loaded settings.
    void setUpPreview();
    // The engine's counters and times. The job can be stopped while it is
    // paused; the job setup can be opened when no job holds the files.
    void showRipDisplay(const RipTexts& texts, bool paused, bool jobSetupAvailable);
    // What the running job does ("OCR", "BMP"...).
    void showJobMode(const QString& mode);
    // The "Show Pict." box: the loop draws each picture while it is checked.
    bool showsPictures() const;
    void focusShowPicturesBox();
    // The size of the picture the preview shows now.
    QSize pictureSize() const;
    // The "GUI Language" submenu, filled from the lang folder.
    QMenu* languageMenu() const { return m_languageMenu; }

    PreviewSettings& previewSettings() { return m_previewSettings; }

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The job's progress after the caption; only this window shows it.
    void showProgress(int percent);

signals:
    // The first showing: the start-up steps.
    void firstShown();
    // Before closing; ignoring the event keeps the window open.
    void closeRequested(QCloseEvent* event);
    void closed();

    void jobSetupRequested();
    void subtitlesWindowToggled();
    void pauseToggled();
    void stopRequested();
    void showPicturesToggled(bool on);
    void matrixEditorRequested();
    void openMatrixRequested();
    void saveMatrixRequested();
    void saveMatrixAsRequested();
    void newMatrixRequested();
    void ocrSetupRequested();
    void aboutRequested();
    void saveLanguageRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void toggleOptionsPanel();
    void previewOptionChanged(); // true position, automatic zoom, background kind
    void choosePresetRatio();
    void chooseFreeRatio();
    void applyZoomSetting();
    void chooseBackgroundImage();

private:
    QFrame* buildTopBar(QWidget* parent);
    void createTopBarControls(QWidget* bar);
    QLayout* buildTopBarCounters(QWidget* bar);
    QFrame* buildBody(QWidget* parent);
    void buildCounterBar(QWidget* bar);
    void createCounters(QWidget* bar);
    QLayout* buildCoordinatesRow(QWidget* bar);
    void buildOptionsPanel();
    void buildBackgroundOptions(QBoxLayout* layout);
    void connectOptionsPanel();
    void buildMenu();
    void connectControls();
    void placeOnScreen();
    void chooseSwatchColour(QFrame* swatch);
    void applyZoom(int z);
    // False when the background image could not be decoded (the previous
    // background stays; the reason goes to *error).
    bool setUpBackground(QString* error = nullptr);
    void fillPreviewOptions();
    void readBackPreviewOptions();
    bool dragEvent(QEvent* event);
    void placeOptionsPanel();

    PreviewSettings& m_previewSettings;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    std::filesystem::path m_dialogFolder;

    // Top bar
    QFrame* m_topBar = nullptr;
    QLabel* m_positionLabel = nullptr;
    QLabel* m_chaptersLabel = nullptr;
    QLabel* m_frameRateLabel = nullptr;
    QLabel* m_modeLabel = nullptr;
    QToolButton* m_openJobButton = nullptr;
    QToolButton* m_subtitlesButton = nullptr;
    QLabel* m_elapsedLabel = nullptr;
    QLabel* m_remainingLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_stopButton = nullptr;         // beside Continue while a job is paused
    QPushButton* m_saveLanguageButton = nullptr; // never visible
    // Counters, preview and its options
    QFrame* m_body = nullptr;
    QLabel* m_vobPicturesLabel = nullptr;
    QLabel* m_fileNumberLabel = nullptr;
    QLabel* m_fileCountLabel = nullptr;
    QLabel* m_fileNameLabel = nullptr;
    QLabel* m_totalPicturesLabel = nullptr;
    QLabel* m_glyphsNamedLabel = nullptr; // glyph shapes of the OCR rip named automatically
    QLabel* m_glyphsAskedLabel = nullptr; // and asked
    QLabel* m_x1Label = nullptr;
    QLabel* m_y1Label = nullptr;
    QLabel* m_x2Label = nullptr;
    QLabel* m_y2Label = nullptr;
    QLabel* m_widthLabel = nullptr;
    QLabel* m_heightLabel = nullptr;
    QLabel* m_navTimeLabel = nullptr;
    QLabel* m_streamTimeLabel = nullptr;
    QCheckBox* m_showPicturesBox = nullptr;
    QPushButton* m_optionsButton = nullptr;
    PreviewPane* m_previewPane = nullptr;
    QScrollArea* m_scroll = nullptr;
    QFrame* m_optionsPanel = nullptr;
    QSpinBox* m_zoomSpin = nullptr;
    QCheckBox* m_autoZoomBox = nullptr;
    RadioGroup* m_backgroundGroup = nullptr;
    QComboBox* m_presetRatioCombo = nullptr;
    QSpinBox* m_freeRatioSpin = nullptr;
    QLabel* m_ratioText = nullptr;
    QPushButton* m_backImageButton = nullptr;
    QFrame* m_borderSwatch = nullptr;
    QFrame* m_innerSwatch = nullptr;
    QCheckBox* m_truePositionBox = nullptr;
    // Menu
    QAction* m_openJobAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_matrixEditorAction = nullptr;
    QAction* m_openMatrixAction = nullptr;
    QAction* m_saveMatrixAction = nullptr;
    QAction* m_saveMatrixAsAction = nullptr;
    QAction* m_newMatrixAction = nullptr;
    QMenu* m_languageMenu = nullptr;
    QAction* m_ocrSetupAction = nullptr;
    QAction* m_aboutAction = nullptr;

    QList<QObject*> m_dragSurfaces;
    // False while the display options are being filled, so that their change
    // events do not write half-filled values back.
    bool m_previewReady = false;
    bool m_shown = false;
    QString m_caption;
    int m_progress = -1; // none yet
    // The pause caption is the engine's only when the pause state changes:
    // until then a caption from a language file stays.
    std::string m_enginePauseCaption = RipTexts{}.pauseCaption;

    QPoint m_dragStart;
    qint64 m_lastDragTime = 0;
    bool m_dragging = false;
};

} // namespace mirtal
