#pragma once

#include "base/Colour.h"
#include "base/DvdColorOrder.h"
#include "subtitles/OutputOptions.h"

#include <QDialog>
#include <QPoint>
#include <QRegion>
#include <array>
#include <filesystem>
#include <functional>

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

    QTabWidget* PageControl1;
    QWidget* TabSheetProfiles;
    QWidget* TabSheetCropping;
    QWidget* TabSheetColors;
    QWidget* TabSheetPositioning;
    // Profiles
    QGroupBox* GroupBoxProfiles;
    QLabel* LabelCurrentProfile;
    QPushButton* ButtonSaveProfile;
    QPushButton* ButtonLoadProfile;
    QPushButton* ButtonSaveBMP;
    // Cropping
    QCheckBox* CheckBoxAllowBmpCropping;
    QGroupBox* GroupBoxSizeConstraints;
    QSpinBox* SpinEditMinX;
    QSpinBox* SpinEditMinY;
    QSpinBox* SpinEditDivX;
    QSpinBox* SpinEditDivY;
    QFrame* PanelAlignment;
    RadioGroup* RadioGroupHAlignment;
    QSpinBox* SpinEditXShift;
    RadioGroup* RadioGroupVAlignment;
    QSpinBox* SpinEditYShift;
    // Colors, one entry per output slot (background, font, outline, antialiasing)
    std::array<QComboBox*, 4> ComboBoxDVDColor;   // ComboBoxDVDColor0..3
    std::array<QFrame*, 4> PanelColor;            // PanelColor0..3
    std::array<QComboBox*, 4> ComboBoxColorIndex; // ComboBoxColorIndex0..3
    RadioGroup* RadioGroupPresetPaletteIndex;
    QFrame* PanelUnusedColor;
    QComboBox* ComboBoxBitPerPixel;
    QPushButton* ButtonAutoSortColor;
    // Positioning; the radio buttons in mode order: keep, center, right/bottom, set to
    QCheckBox* CheckBoxAllowPositionChange;
    QGroupBox* GroupBoxLeftPosition;
    std::array<QRadioButton*, 4> RadioButtonLeft;
    QSpinBox* SpinEditLeftPosition;
    QSpinBox* SpinEditAddLeftPos;
    QGroupBox* GroupBoxTopPosition;
    std::array<QRadioButton*, 4> RadioButtonTop;
    QSpinBox* SpinEditTopPosition;
    QSpinBox* SpinEditAddTopPos;
    // Bottom bar
    QFrame* PanelBottom;
    QPushButton* BitBtn1;
    QPushButton* ButtonSkipPict;
    QPushButton* ButtonReduceWindow;
    // Gives the window its tab-shaped outline once it is on screen.
    QTimer* Timer1;

    // False while the controls are being filled from the settings.
    bool Ready = false;
    bool SubtitlesWasVisible = false;

    // The Subtitles window, which the dialog hides while it is open.
    std::function<bool()> subtitlesVisible;
    std::function<void()> hideSubtitles;
    std::function<void()> showSubtitles;
    // OK with the I-Author or Philips preset switches the Subtitles window
    // to that format, as the output format dialog's Convert does.
    std::function<void(TOutputFormat)> convertOutputFormat;

    // Shows the dialog modally; true when it was closed with OK.
    bool runModal();
    // Tests answer the dialog through this: when set, runModal shows the
    // dialog without a modal loop and calls it, and whatever closed the
    // dialog in it is the answer (still open counts as not OK).
    std::function<void(BitmapAdjustDialog&)> scriptedRun;

    // Composes the output bitmap of the current subpicture and shows it.
    void Refresh();
    void FillControls();
    void ReadCropping();
    void ReadPositioning();
    void ReadColors();
    void updateEnabling();

    // Event handlers.
    void CheckBoxAllowBmpCroppingClick();
    void croppingChanged();    // spins, alignment groups and shifts of the Cropping tab
    void positioningChanged(); // everything on the Positioning tab
    void PanelColorClick(QFrame* swatch);
    void ComboBoxColorIndexChange(int slot);
    void RadioGroupPresetPaletteIndexClick();
    void ComboBoxBitPerPixelChange();
    void ButtonAutoSortColorClick();
    void ComboBoxDVDColorChange(int slot);
    void ButtonSaveProfileClick();
    void ButtonLoadProfileClick();
    void ButtonSaveBMPClick();
    void BitBtn1Click();
    void ButtonSkipPictClick();
    void ButtonReduceWindowClick();
    void Timer1Timer();

    bool reduced() const { return m_reduced; }

    // The order after slot `slot` was set to `code`: the slot that had the
    // code takes the one `slot` had, so the order stays a permutation.
    static DvdColorOrder chooseDvdCode(DvdColorOrder order, int slot, int code);
    // The tab-shaped outline of a window of this size whose tab headers end
    // at `tabsRight`.
    static QRegion tabOutline(int width, int height, int tabsRight);

    // Esc skips the picture, as the Skip button does.
    void reject() override;

    static constexpr int kBarHeight = 30;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* buildProfilesTab();
    QWidget* buildCroppingTab();
    QWidget* buildColorsTab();
    QWidget* buildPositioningTab();
    QFrame* buildBottomBar();
    void connectHandlers();
    void setDvdCombos();
    void setIndexCombos();
    void restoreSubtitles();
    void updateReduceGlyph();
    void fitSize();
    int tabsRight() const;
    QFrame* makeSwatch(QWidget* parent, const char* name, const QString& hint);

    Session& m_session;
    UiDialogs& m_dialogs;
    std::filesystem::path m_profileFolder;
    bool m_reduced = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace mirtal
