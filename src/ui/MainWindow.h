#pragma once

#include "settings/ProgramSettings.h"
#include "ui/PreviewPane.h"

#include <QMainWindow>
#include <QPoint>
#include <filesystem>
#include <functional>

class QCheckBox;
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
// keeps the preview settings it is given; the rest of its behaviour (job,
// close flow) is wired by the application object that owns the working state.
class MainWindow : public QMainWindow {
    Q_OBJECT
    // The caption without the progress of a job, as language files see it.
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    MainWindow(PreviewSettings& preview, UiDialogs& dialogs, const MessageCatalogue& catalogue,
               std::filesystem::path dialogFolder, QWidget* parent = nullptr);

    // Top bar
    QFrame* Panel2;
    QLabel* LabelPos;
    QLabel* LabelChapters;
    QLabel* LabelFPS;
    QLabel* LabelMode;
    QToolButton* CoolButtonOpenVob;
    QToolButton* CoolButtonShowSubtitleText;
    QLabel* LabelTimeElapsed;
    QLabel* LabelTimeRemaining;
    QProgressBar* ProgressBar1;
    QPushButton* ButtonPause;
    QPushButton* ButtonStop; // beside Continue while a job is paused
    QPushButton* Button1; // "Save Lang", never visible
    // Counter bar
    QFrame* Panel1;
    QLabel* LabelNbSup;
    QLabel* LabelVobNum;
    QLabel* LabelVobNb;
    QLabel* LabelVobFile;
    QLabel* LabelTotalNbSup;
    QLabel* LabelGlyphsNamed; // glyph shapes of the OCR rip named automatically
    QLabel* LabelGlyphsAsked; // and asked
    QLabel *LabelX1, *LabelY1, *LabelX2, *LabelY2, *LabelWidth, *LabelHeight;
    QLabel* LabelTime;
    QLabel* LabelTime7;
    QCheckBox* CheckBoxShowSubPict;
    QPushButton* ButtonPreviewOption;
    // Preview and its options
    PreviewPane* Preview;
    QFrame* PanelPreviewCfg;
    QSpinBox* SpinEditZoom;
    QCheckBox* CheckBoxAutoZoom;
    RadioGroup* RadioGroupPreviewBack;
    QComboBox* ComboBoxAspectRatio;
    QSpinBox* SpinEditAspectRatio;
    QFrame* PanelRatio;
    QPushButton* ButtonImgBack;
    QFrame* PanelBorderColor;
    QFrame* PanelInnerColor;
    QCheckBox* CheckBoxTruePos;
    // Menu
    QAction* OpenVob1;
    QAction* Quit1;
    QAction* EditViewCharactersMatrix1;
    QAction* OpenCharacterMatrix1;
    QAction* SaveCharacterMatrix1;
    QAction* SaveCharacterMatrixAs1;
    QAction* NewCharaterMatrix1;
    QMenu* Output1;
    QMenu* GUILanguage1;
    QAction* OCRAdvancedSetup1;
    QAction* About1;

    // False while the display options are being filled, so that their change
    // events do not write half-filled values back.
    bool PreviewReady = false;

    // Shows the picture at its frame rectangle and its coordinates.
    void ShowPicture(const QImage& picture, const Rect& rect);
    void ApplyZoom(int z);
    // False when the background image could not be decoded (the previous
    // background stays; the reason goes to *error).
    bool SetUpBackground(QString* error = nullptr);
    // The preview set-up of the first showing, from the loaded settings.
    void setUpPreview();
    // Applies Zoom as a change of SpinEditZoom does: as it is, or the
    // automatic zoom of the window's size.
    void applyZoomSetting();

    // Display option handlers.
    void ButtonPreviewOptionClick();
    void previewOptionChanged(); // CheckBoxTruePos, CheckBoxAutoZoom, RadioGroupPreviewBack
    void ComboBoxAspectRatioChange();
    void SpinEditAspectRatioChange();
    void SpinEditZoomChange();
    void swatchClick(QFrame* swatch);
    void ButtonImgBackClick();

    QString ratioText() const;

    PreviewSettings& previewSettings() { return m_preview; }

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The job's progress after the caption; only this window shows it.
    void showProgress(int percent);

    // The millisecond tick count of the drag steps (tests set their own).
    std::function<qint64()> tickCount;
    // The first showing: the start-up steps.
    std::function<void()> onFirstShow;
    // Called before closing; returning false keeps the window open.
    std::function<bool()> onCloseRequest;
    std::function<void()> onClosed;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopBar(QFrame* bar);
    void buildCounterBar(QWidget* bar);
    void buildOptionsPanel();
    void buildMenu();
    void fillPreviewOptions();
    void readBackPreviewOptions();
    bool dragEvent(QEvent* event);
    void placeOptionsPanel();

    PreviewSettings& m_preview;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    std::filesystem::path m_dialogFolder;
    QLabel* m_ratioText = nullptr;
    QScrollArea* m_scroll = nullptr;
    QList<QObject*> m_dragSurfaces;
    bool m_shown = false;
    QString m_caption;
    int m_progress = -1; // none yet

    QPoint m_dragStart;
    qint64 m_lastDragTick = 0;
    bool m_dragging = false;
};

} // namespace mirtal
