#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLayout;
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

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private slots:
    void storeAndClose();
    void cancelEdits();
    void reloadDefaults();
    void saveValues();
    void sensibilityBarMoved(int value);
    void sensibilityTyped();

private:
    QGroupBox* buildLineGroup();
    QGroupBox* buildCharGroup();
    QGroupBox* buildEngineGroup();
    void addSensibility(QGridLayout* grid);
    void addNewGlyphChoices(QGridLayout* grid);
    QGroupBox* buildSpaceGroup();
    QLayout* buildButtons();
    void addField(QGridLayout* grid, const char* labelName, const char* caption, QWidget* field);
    TWord_u* wordField(QWidget* parent, const char* name, uint16_t min, uint16_t max);
    TInteger_u* integerField(QWidget* parent, const char* name, int32_t min, int32_t max);
    void loadControls();
    // Checks every field (reporting the first bad one) and stores them into
    // the settings; false, with nothing stored, when a field was out of range.
    bool storeControls();

    OcrSettings& m_settings;
    UiDialogs& m_dialogs;
    std::filesystem::path m_settingsFile;
    bool m_syncing = false;

    TWord_u* m_lineMinHeight = nullptr;
    TWord_u* m_minInterLine = nullptr;
    TWord_u* m_lineMaxHeight = nullptr;
    TWord_u* m_charMinWidth = nullptr;
    TWord_u* m_charMinHeight = nullptr;
    QCheckBox* m_detachedCharCheck = nullptr;
    TWord_u* m_widthDiff = nullptr;
    TWord_u* m_topDiff = nullptr;
    TWord_u* m_heightDiff = nullptr;
    QSlider* m_sensibilityBar = nullptr;
    TWord_u* m_sensibility = nullptr;
    TInteger_u* m_spaceWidth = nullptr;
    TInteger_u* m_italicSpaceWidth = nullptr;
    TInteger_u* m_italicDetectWidth = nullptr;
    QCheckBox* m_autoSpaceWidthCheck = nullptr; // the space widths chosen from each rip's gaps
    QComboBox* m_newGlyphsCombo = nullptr;      // ask, suggest or name automatically (GlyphNaming)
    QCheckBox* m_markItalicsCheck = nullptr;    // italic text marked <i>...</i>
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace mirtal
