#pragma once

#include "base/Colour.h"
#include "subtitles/OutputOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace mirtal {

class SubtitleDocument;
class UiDialogs;

// "Output Format": one tab per output format with all of its options.
// Two kinds of option meet here. The stored ones (extended coordinates,
// the IAuthor, Philips and Sonic settings) reach the document only through
// Convert: showing the dialog puts the document's values back into the
// controls, so Cancel forgets what was changed. The live ones (index offset,
// the SubViewer texts, delays, track, font and boxes, the Philips title) go
// to the document as they are edited and count at the next rendering even
// when the dialog is left with Cancel.
class OutputFormatDialog : public QDialog {
    Q_OBJECT
public:
    OutputFormatDialog(SubtitleDocument& document, UiDialogs& dialogs, QWidget* parent = nullptr);

    // What a bitmap preset does: load, pick the format's tab and convert,
    // without showing the dialog.
    void convertTo(TOutputFormat format);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // "Convert to this &Format": stored options from the controls, the
    // active tab becomes the format, the list is rendered again.
    void convert();
    void updateDropFrameBoxes();
    void updatePhilipsColourPanels();
    void chooseFont();
    // The toolkit's font dialog has no colour: the sample itself picks it.
    void chooseFontColour();

private:
    void buildTabs(QVBoxLayout* root);
    void buildButtonRow(QVBoxLayout* root);
    QWidget* buildNativeTab();
    QWidget* buildSubViewerTab();
    QWidget* buildSubViewer2Tab();
    QWidget* buildIAuthorTab();
    QWidget* buildPhilipsTab();
    QGridLayout* buildPhilipsPalette(QWidget* page);
    QWidget* buildSonicTab();
    // A format without options: what it is for.
    QWidget* buildNoteTab(const char* name, const QString& purpose);
    QFrame* colourSwatch(QWidget* page, const QString& name, Colour colour);
    QLabel* label(const QString& text, QWidget* parent);
    void wireLiveOptions();
    // The document's options into the controls, the current format's tab.
    void loadFromDocument();
    // The font sample as the SubViewer 2 header names it.
    void setSampleFont(const FontSpec& font);

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    QTabWidget* m_formatTabs = nullptr; // the active tab is the format
    // Native
    QSpinBox* m_indexOffsetSpin = nullptr;
    QCheckBox* m_extendedFormatBox = nullptr;
    // SubViewer 1
    QLineEdit* m_subViewerTitleEdit = nullptr;
    QLineEdit* m_subViewerAuthorEdit = nullptr;
    QLineEdit* m_subViewerSourceEdit = nullptr;
    QLineEdit* m_subViewerProgramEdit = nullptr;
    QLineEdit* m_subViewerFilePathEdit = nullptr;
    QSpinBox* m_subViewerDelaySpin = nullptr;
    QCheckBox* m_twoLinesMaxBox = nullptr;
    QCheckBox* m_roundTimesBox = nullptr;
    // SubViewer 2
    QLineEdit* m_subViewer2TitleEdit = nullptr;
    QLineEdit* m_subViewer2AuthorEdit = nullptr;
    QLineEdit* m_subViewer2SourceEdit = nullptr;
    QLineEdit* m_subViewer2ProgramEdit = nullptr;
    QLineEdit* m_subViewer2FilePathEdit = nullptr;
    QLineEdit* m_subViewer2CommentEdit = nullptr;
    QSpinBox* m_subViewer2DelaySpin = nullptr;
    QSpinBox* m_cdTrackSpin = nullptr;
    QFrame* m_fontPanel = nullptr; // its sample text shows the font; a click picks the colour
    QLabel* m_fontSample = nullptr;
    QPushButton* m_fontButton = nullptr;
    // IAuthor
    QFrame* m_iauthorSwatches[4] = {};
    QSpinBox* m_iauthorBlendSpins[4] = {};
    QSpinBox* m_minIntervalSpin = nullptr;
    // Philips
    QFrame* m_philipsSwatches[4] = {};
    QSpinBox* m_philipsContrastSpins[4] = {};
    QLabel* m_philipsColourHeading = nullptr;
    QCheckBox* m_bitmapColoursBox = nullptr;
    QLineEdit* m_philipsTitleEdit = nullptr;
    QComboBox* m_philipsFrameRateCombo = nullptr;
    QCheckBox* m_philipsDropFrameBox = nullptr;
    // Sonic
    QComboBox* m_sonicFrameRateCombo = nullptr;
    QCheckBox* m_sonicDropFrameBox = nullptr;
    // For every format
    QComboBox* m_encodingCombo = nullptr; // 0 Windows-1252, 1 UTF-8 (stored)
    QPushButton* m_convertButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    bool m_filling = false;
    int m_labels = 0;
};

} // namespace mirtal
