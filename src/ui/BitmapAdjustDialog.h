#pragma once

#include "base/Colour.h"
#include "base/DvdColourOrder.h"
#include "subtitles/OutputOptions.h"

#include <QDialog>
#include <QPoint>
#include <QRegion>
#include <array>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace mirtal {

class RadioGroup;
class Session;
class UiDialogs;

// The order after slot `slot` was set to `code`: the slot that had the code
// takes the one `slot` had, so the order stays a permutation.
DvdColourOrder chooseDvdCode(DvdColourOrder order, int slot, int code);
// The tab-shaped outline of a window of this size whose tab headers end at
// `tabsRight`.
QRegion tabOutline(int width, int height, int tabsRight);

// "Bitmap adjustment": tunes the output bitmap settings on the picture at
// hand and shows the result in the main window's preview at every change;
// saves and loads them as profiles. The BMP and show-only actions ask it
// before the first picture of a job and after every skipped one.
class BitmapAdjustDialog : public QDialog {
    Q_OBJECT
public:
    // Profiles are saved and loaded in `profileFolder` by default.
    BitmapAdjustDialog(Session& session, UiDialogs& dialogs, std::filesystem::path profileFolder,
                       QWidget* parent = nullptr);

    // Shows the dialog modally; true when it was closed with OK.
    bool runModal();

    // Esc skips the picture, as the Skip button does.
    void reject() override;

signals:
    // The dialog came up (the Subtitles window makes way for it) and was
    // answered with OK or Skip (it may come back).
    void opened();
    void closed();
    // OK with the I-Author or Philips preset: the subtitles take that format.
    void outputFormatChosen(TOutputFormat format);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void croppingToggled();
    void croppingChanged();    // spins, alignment groups and shifts of the Cropping tab
    void positioningChanged(); // everything on the Positioning tab
    void chooseSwatchColour(QFrame* swatch);
    void choosePaletteIndex(int slot);
    void applyPalettePreset();
    void readBitDepth();
    void autoSortColours();
    void chooseDvdCodeOfSlot(int slot);
    void saveProfile();
    void loadProfile();
    void saveCurrentBitmap();
    void acceptSettings();
    void skipPicture();
    void toggleReduced();
    void applyTabOutline();

private:
    QWidget* buildProfilesTab();
    QWidget* buildCroppingTab();
    QGroupBox* buildSizeConstraints(QWidget* page);
    QFrame* buildAlignmentPanel(QWidget* page);
    QWidget* buildColoursTab();
    QLayout* buildColourSlots(QWidget* page);
    QLayout* buildPaletteOptions(QWidget* page);
    QWidget* buildPositioningTab();
    QFrame* buildBottomBar();
    void connectHandlers();
    QFrame* makeSwatch(QWidget* parent, const char* name, const QString& hint);

    // Composes the output bitmap of the current subpicture and shows it.
    void recompose();
    // The controls from the settings, then the picture they give.
    void showSettings();
    void fillControls();
    void readCropping();
    void readPositioning();
    void readColours();
    void updateEnabling();
    void setDvdCombos();
    void setIndexCombos();
    void updateReduceGlyph();
    void fitSize();
    int tabsRight() const;

    Session& m_session;
    UiDialogs& m_dialogs;
    std::filesystem::path m_profileFolder;
    // False while the controls are being filled from the settings.
    bool m_ready = false;
    bool m_reduced = false;
    bool m_dragging = false;
    QPoint m_dragOffset;

    QTabWidget* m_tabs = nullptr;
    // Profiles
    QLabel* m_profileLabel = nullptr;
    QPushButton* m_saveProfileButton = nullptr;
    QPushButton* m_loadProfileButton = nullptr;
    QPushButton* m_saveBitmapButton = nullptr;
    // Cropping
    QCheckBox* m_croppingCheck = nullptr;
    QGroupBox* m_sizeConstraintsBox = nullptr;
    QSpinBox* m_minWidthSpin = nullptr;
    QSpinBox* m_minHeightSpin = nullptr;
    QSpinBox* m_widthMultipleSpin = nullptr;
    QSpinBox* m_heightMultipleSpin = nullptr;
    QFrame* m_alignmentPanel = nullptr;
    RadioGroup* m_horizontalAlignment = nullptr;
    RadioGroup* m_verticalAlignment = nullptr;
    QSpinBox* m_xShiftSpin = nullptr;
    QSpinBox* m_yShiftSpin = nullptr;
    // Colours, one entry per output slot (background, font, outline, antialiasing)
    std::array<QComboBox*, 4> m_dvdCodeCombos{};
    std::array<QFrame*, 4> m_colourSwatches{};
    std::array<QComboBox*, 4> m_paletteIndexCombos{};
    RadioGroup* m_palettePreset = nullptr;
    QFrame* m_unusedColourSwatch = nullptr;
    QComboBox* m_bitDepthCombo = nullptr;
    QPushButton* m_autoSortButton = nullptr;
    // Positioning; the radio buttons in mode order: keep, center, right/bottom, set to
    QCheckBox* m_positioningCheck = nullptr;
    QGroupBox* m_leftBox = nullptr;
    std::array<QRadioButton*, 4> m_leftModeButtons{};
    QSpinBox* m_leftSpin = nullptr;
    QSpinBox* m_leftShiftSpin = nullptr;
    QGroupBox* m_topBox = nullptr;
    std::array<QRadioButton*, 4> m_topModeButtons{};
    QSpinBox* m_topSpin = nullptr;
    QSpinBox* m_topShiftSpin = nullptr;
    // Bottom bar
    QPushButton* m_okButton = nullptr;
    QPushButton* m_skipButton = nullptr;
    QPushButton* m_reduceButton = nullptr;
    // Gives the window its tab-shaped outline once it is on screen.
    QTimer* m_outlineTimer = nullptr;
};

} // namespace mirtal
