#pragma once

#include <QDialog>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QSlider;

namespace mirtal {

struct OcrSettings;
class NumericEdit;
class TInteger_u;
class TWord_u;
class UiDialogs;

// "OCR Advanced Setup": the thirteen numbers that steer segmentation,
// matching and spacing, edited in place of the session's OCR settings.
class OcrSetupDialog : public QDialog {
    Q_OBJECT
public:
    OcrSetupDialog(OcrSettings& settings, UiDialogs& dialogs, std::filesystem::path settingsFile,
                   QWidget* parent = nullptr);

    QGroupBox* GroupBoxLine;
    QGroupBox* GroupBoxChar;
    QGroupBox* GroupBoxEngine;
    QGroupBox* GroupBoxSpace;
    TWord_u* Word_uLineMinHeight;
    TWord_u* Word_uMinInterLine;
    TWord_u* Word_uLineMaxHeight;
    TWord_u* Word_uCharMinWidth;
    TWord_u* Word_uCharMinHeight;
    QCheckBox* CheckBoxDetachedChar;
    TWord_u* Word_uOcrWidthDiff;
    TWord_u* Word_uOcrTopDiff;
    TWord_u* Word_uOcrHeightDiff;
    QSlider* TrackBarSensibility;
    TWord_u* Word_uSensibility;
    TInteger_u* Integer_uMinSpaceWidth;
    TInteger_u* Integer_uMinItaSpaceWidth;
    TInteger_u* Integer_uDetectItaWidth;
    QCheckBox* CheckBoxAutoSpaceWidth; // the space widths chosen from each rip's gaps
    QComboBox* ComboBoxNewGlyphs;      // ask, suggest or name automatically (GlyphNaming)
    QCheckBox* CheckBoxMarkItalics;    // italic text marked <i>...</i>
    QPushButton* BitBtnOk;
    QPushButton* BitBtnCancel;
    QPushButton* ButtonDefaultValues;
    QPushButton* ButtonSaveValues;

    void loadControls();
    // Checks every field (reporting the first bad one) and stores them into
    // the settings; false, with nothing stored, when a field was out of range.
    bool storeControls();

    void BitBtnOkClick();
    void BitBtnCancelClick();
    void ButtonDefaultValuesClick();
    void ButtonSaveValuesClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    OcrSettings& m_settings;
    UiDialogs& m_dialogs;
    std::filesystem::path m_settingsFile;
    bool m_syncing = false;
};

} // namespace mirtal
