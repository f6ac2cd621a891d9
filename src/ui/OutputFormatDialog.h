#pragma once

#include "base/Colour.h"
#include "subtitles/OutputOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
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

    QTabWidget* PageControlMirtal;
    QWidget *TabSheetMirtal, *TabSheetSubviewer, *TabSheetSubviewer2, *TabSheetIAuthor,
        *TabSheetPhilips, *TabSheetSonic, *TabSheetWebVtt, *TabSheetAss;
    // Native
    QSpinBox* SpinEditMirtalOffset;
    QCheckBox* CheckBoxVtxExtended;
    // SubViewer 1
    QLineEdit *EditSubviewerTitle, *EditSubviewerAuthor, *EditSubviewerSource,
        *EditSubviewerProgram, *EditSubviewerFilePath;
    QSpinBox* SpinEditSubViewerDelay;
    QCheckBox* CheckBox2LineMax;
    QCheckBox* CheckBoxRoundTC;
    // SubViewer 2
    QLineEdit *EditSubviewer2Title, *EditSubviewer2Author, *EditSubviewer2Source,
        *EditSubviewer2Program, *EditSubviewer2FilePath, *EditSubviewer2Comment;
    QSpinBox* SpinEditSubViewer2Delay;
    QSpinBox* SpinEditSubViewer2CDTrack;
    QFrame* PanelSubViewer2Font; // its sample text shows the font; a click picks the colour
    QPushButton* ButtonSubviewer2Font;
    // IAuthor
    QFrame* PanelPColor[4]; // PanelPColor0 .. PanelPColor3
    QSpinBox* SpinEditBlendPColor[4];
    QSpinBox* SpinEditMinimumInterval;
    // Philips
    QFrame* PanelPhilipsColor[4];
    QSpinBox* SpinEditPhilipsContrast[4];
    QLabel* LabelPhilipsColor; // the "Color" column heading
    QCheckBox* CheckBoxPhilipsUseBmpColor;
    QLineEdit* EditPhilipsTitle;
    QComboBox* ComboBoxPhilipsFrameRate;
    QCheckBox* CheckBoxPhilipsDropFrame;
    // Sonic
    QComboBox* ComboBoxSonicFrameRate;
    QCheckBox* CheckBoxSonicDropFrame;

    // Under the tabs, for every format: the text encoding of the files.
    QLabel* LabelEncoding;
    QComboBox* ComboBoxEncoding; // 0 Windows-1252, 1 UTF-8 (stored)

    QPushButton* BitBtnConvert;
    QPushButton* BitBtn1;

    // On show: the document's options into the controls, the current format's tab.
    void FormShow();
    // "Convert to this &Format": stored options from the controls, the
    // active tab becomes the format, the list is rendered again.
    void BitBtnConvertClick();
    // What a bitmap preset does: load, pick the format's tab and convert,
    // without showing the dialog.
    void ConvertTo(TOutputFormat format);

    static Colour panelColour(const QFrame* panel);
    static void setPanelColour(QFrame* panel, Colour c);
    // The font sample as the SubViewer 2 header names it.
    FontSpec sampleFont() const;
    void setSampleFont(const FontSpec& font);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildNativeTab();
    QWidget* buildSubViewerTab();
    QWidget* buildSubViewer2Tab();
    QWidget* buildIAuthorTab();
    QWidget* buildPhilipsTab();
    QWidget* buildSonicTab();
    // A format without options: what it is for.
    QWidget* buildNoteTab(const char* name, const QString& purpose);
    void wireLiveOptions();
    void updateDropFrameBoxes();
    void updatePhilipsColourPanels();
    void chooseFont();
    void chooseFontColour();
    QLabel* label(const QString& text, QWidget* parent);

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    QLabel* m_fontSample = nullptr;
    bool m_filling = false;
    int m_labels = 0;
};

} // namespace mirtal
