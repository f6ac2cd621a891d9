#pragma once

#include "ui/PreviewPane.h"

#include <QMainWindow>
#include <QPoint>

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

namespace mirtal {

class RadioGroup;
class UiDialogs;

// The program's first window: rip counters, the current picture and the
// menus that reach every other window. This class holds the controls; the
// window's behaviour is wired by the application object that owns the
// working state.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Top bar
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
    QPushButton* Button1; // "Save Lang", never visible
    // Counter bar
    QLabel* LabelNbSup;
    QLabel* LabelVobNum;
    QLabel* LabelVobNb;
    QLabel* LabelVobFile;
    QLabel* LabelTotalNbSup;
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
    QLabel* PanelRatio;
    QPushButton* ButtonImgBack;
    QPushButton* PanelBorderColor;
    QPushButton* PanelInnerColor;
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

    // Shows the counters and the picture's rectangle labels.
    void setRectLabels(const Rect& r, int width, int height);
    // Colour of a swatch button.
    static void setSwatch(QPushButton* swatch, Colour c);
    static Colour swatchColour(const QPushButton* swatch);

    // Called before closing; returning false keeps the window open.
    std::function<bool()> onCloseRequest;
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopBar(QWidget* bar);
    void buildCounterBar(QWidget* bar);
    void buildOptionsPanel();
    void buildMenu();
    void enableDragging(QWidget* w);

    QPoint m_dragStart;
    qint64 m_lastDragTick = 0;
    bool m_dragging = false;
};

} // namespace mirtal
