#include "SubtitleWindowsTestSupport.h"
#include "ui/OutputFormatDialog.h"
#include "ui/SubtitlesWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Bench : DocumentBench {
    SubtitlesWindow window{doc, dialogs, catalogue, settings};
    OutputFormatDialog dialog{doc, dialogs};

    // Shows the dialog as the window's command does, without blocking.
    void open() { dialog.show(); }
    void convertTo(int tab) {
        open();
        dialog.PageControlMirtal->setCurrentIndex(tab);
        QTest::mouseClick(dialog.BitBtnConvert, Qt::LeftButton);
    }
    void cancel() { QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton); }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < window.lineCount(); ++i) out << window.lineText(i);
        return out;
    }
};

const Rect kRect{160, 470, 559, 519};

} // namespace

TEST(OutputFormatDialog, TabsAreInTheOrderOfTheFormats) {
    Bench b;
    QTabWidget* tabs = b.dialog.PageControlMirtal;
    ASSERT_EQ(tabs->count(), kFormatCount);
    const char* names[] = {"TabSheetMirtal",  "TabSheetSubviewer", "TabSheetSubviewer2",
                           "TabSheetIAuthor", "TabSheetPhilips",   "TabSheetSonic",
                           "TabSheetWebVtt",  "TabSheetAss"};
    for (int i = 0; i < kFormatCount; ++i) EXPECT_EQ(tabs->widget(i)->objectName(), names[i]);
    EXPECT_EQ(tabs->tabText(4), "Philips SVCD Designer (*.sub)");
}

TEST(OutputFormatDialog, SubViewerHeaderAppearsAtOnceOnAnEmptyStore) {
    Bench b;
    b.convertTo(ofSubViewer);
    EXPECT_FALSE(b.dialog.isVisible());
    EXPECT_EQ(b.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(b.doc.OutputFormat(), ofSubViewer);
    const QStringList l = b.lines();
    ASSERT_EQ(l.size(), 16);
    EXPECT_EQ(l.front(), "[TITLE]");
    EXPECT_EQ(l[5], "Subtitles captured by Mirtal 0.93b");
    EXPECT_EQ(l.back(), "******** START SCRIPT ********");
    b.window.showSelection();
    EXPECT_EQ(b.window.selectedLine(), 15);
    EXPECT_EQ(b.doc.saveInitialName(), "New File.sub"); // the save name takes the extension
}

TEST(OutputFormatDialog, IAuthorShowsNativeWithCoordinatesAndTicksExtendedNextTime) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.open();
    EXPECT_FALSE(b.dialog.CheckBoxVtxExtended->isChecked());
    b.cancel();

    b.convertTo(ofIAuthor);
    EXPECT_EQ(b.lines().at(1), "00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519");
    EXPECT_EQ(b.doc.saveInitialName(), "New File.txt");

    b.open();
    EXPECT_TRUE(b.dialog.CheckBoxVtxExtended->isChecked());
    EXPECT_EQ(b.dialog.PageControlMirtal->currentIndex(), int(ofIAuthor));
}

TEST(OutputFormatDialog, CancelForgetsStoredOptionsButKeepsLiveEdits) {
    Bench b;
    b.open();
    b.dialog.SpinEditPhilipsContrast[0]->setValue(7);
    b.dialog.EditSubviewerTitle->clear();
    QTest::keyClicks(b.dialog.EditSubviewerTitle, "My Film");
    b.cancel();
    EXPECT_EQ(b.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(b.doc.options().philips.Contrast[0], 0);

    b.open(); // the cancelled contrast is gone from the control too
    EXPECT_EQ(b.dialog.SpinEditPhilipsContrast[0]->value(), 0);
    EXPECT_EQ(b.dialog.EditSubviewerTitle->text(), "My Film");
    b.cancel();

    b.convertTo(ofSubViewer);
    EXPECT_EQ(b.lines().at(1), "My Film");
    b.convertTo(ofPhilips);
    EXPECT_TRUE(b.lines().contains("CONTRAST\t(0 15 15 15)"));
}

TEST(OutputFormatDialog, PhilipsNtscDropFrameAndSonicPalAfterConvert) {
    Bench b;
    b.add("00:00:01,040", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.open();
    b.dialog.ComboBoxPhilipsFrameRate->setCurrentIndex(1);
    b.dialog.CheckBoxPhilipsDropFrame->setChecked(true);
    b.dialog.ComboBoxSonicFrameRate->setCurrentIndex(0);
    b.dialog.PageControlMirtal->setCurrentIndex(ofPhilips);
    QTest::mouseClick(b.dialog.BitBtnConvert, Qt::LeftButton);
    const QStringList philips = b.lines();
    EXPECT_TRUE(philips.contains("FRAMERATE\tNTSC"));
    EXPECT_TRUE(philips.contains("DROPFRAME\tYES"));

    b.convertTo(ofSonic);
    ASSERT_GE(b.lines().size(), 1);
    EXPECT_EQ(b.lines().at(0), "0001  00:00:01:01  00:00:02:00  sub000001.bmp");
}

TEST(OutputFormatDialog, DropFrameBoxesFollowTheirFrameRates) {
    Bench b;
    b.open();
    EXPECT_FALSE(b.dialog.CheckBoxPhilipsDropFrame->isEnabled()); // PAL
    EXPECT_FALSE(b.dialog.CheckBoxSonicDropFrame->isEnabled());
    const bool tick = b.dialog.CheckBoxPhilipsDropFrame->isChecked();
    b.dialog.ComboBoxPhilipsFrameRate->setCurrentIndex(1);
    EXPECT_TRUE(b.dialog.CheckBoxPhilipsDropFrame->isEnabled());
    EXPECT_EQ(b.dialog.CheckBoxPhilipsDropFrame->isChecked(), tick); // the tick is not touched
    EXPECT_FALSE(b.dialog.CheckBoxSonicDropFrame->isEnabled());
    b.dialog.ComboBoxSonicFrameRate->setCurrentIndex(1);
    EXPECT_TRUE(b.dialog.CheckBoxSonicDropFrame->isEnabled());
    b.cancel();
    b.open(); // cancelled: back to PAL
    EXPECT_EQ(b.dialog.ComboBoxPhilipsFrameRate->currentIndex(), 0);
    EXPECT_FALSE(b.dialog.CheckBoxPhilipsDropFrame->isEnabled());
}

TEST(OutputFormatDialog, BitmapColoursHideThePhilipsPalette) {
    Bench b;
    b.open();
    b.dialog.PageControlMirtal->setCurrentIndex(ofPhilips);
    ASSERT_TRUE(b.dialog.CheckBoxPhilipsUseBmpColor->isChecked()); // the default
    EXPECT_FALSE(b.dialog.PanelPhilipsColor[0]->isVisible());
    EXPECT_FALSE(b.dialog.LabelPhilipsColor->isEnabled());
    b.dialog.CheckBoxPhilipsUseBmpColor->click();
    for (QFrame* panel : b.dialog.PanelPhilipsColor) EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(b.dialog.LabelPhilipsColor->isEnabled());
}

TEST(OutputFormatDialog, ColourPanelsPickAColourThatConvertKeeps) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.open();
    b.dialog.PageControlMirtal->setCurrentIndex(ofIAuthor);
    b.dialogs.colors.push_back(QColor(255, 0, 0));
    QTest::mouseClick(b.dialog.PanelPColor[1], Qt::LeftButton);
    EXPECT_EQ(OutputFormatDialog::panelColour(b.dialog.PanelPColor[1]), 0x0000FFu);
    b.dialogs.colors.push_back(std::nullopt); // chooser cancelled: nothing changes
    QTest::mouseClick(b.dialog.PanelPColor[2], Qt::LeftButton);
    EXPECT_EQ(OutputFormatDialog::panelColour(b.dialog.PanelPColor[2]), 0x000000u);
    EXPECT_EQ(b.doc.options().iauthor.Colors[1], 0xFFFFFFu); // not before Convert
    QTest::mouseClick(b.dialog.BitBtnConvert, Qt::LeftButton);
    EXPECT_EQ(b.doc.options().iauthor.Colors[1], 0x0000FFu);
    EXPECT_EQ(b.dialogs.unexpected, 0);

    // Red in the IAuthor script: Y, Cr, Cb of pure red.
    b.dialogs.files.push_back(b.folder / "script.txt");
    ASSERT_EQ(b.window.Saveas1Click(), FlowResult::Done);
    EXPECT_NE(readText(b.folder / "script.txt").find("SETCOLOR Primary 1, 81, 239, 91"),
              std::string::npos);
}

TEST(OutputFormatDialog, ChosenFontAndColourMakeTheSubViewer2FontLine) {
    Bench b;
    b.open();
    QFont font("Courier");
    font.setPointSize(12);
    font.setItalic(true);
    b.dialogs.fonts.push_back(font);
    QTest::mouseClick(b.dialog.ButtonSubviewer2Font, Qt::LeftButton);
    b.dialogs.colors.push_back(QColor(255, 0, 0));
    b.dialog.PageControlMirtal->setCurrentIndex(ofSubViewer2);
    QTest::mouseClick(b.dialog.PanelSubViewer2Font, Qt::LeftButton);
    EXPECT_EQ(b.dialog.sampleFont().PointSize, 12);
    b.cancel(); // the font is a live option: it stays

    b.convertTo(ofSubViewer2);
    const QStringList l = b.lines();
    ASSERT_EQ(l.size(), 15);
    EXPECT_EQ(l[11], "[COLF]&H0000FF,[STYLE]it,[SIZE]12,[FONT]" + font.family());
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(OutputFormatDialog, ShowingLoadsWhatTheDocumentHolds) {
    Bench b;
    // As the settings file or a file read leaves them.
    b.doc.options().iauthor.MinInterval = 40;
    b.doc.options().philips.Contrast[3] = 9;
    b.doc.options().philips.UseBmpColors = false;
    b.doc.options().native.IndexOffset = 100;
    b.open();
    EXPECT_EQ(b.dialog.SpinEditMinimumInterval->value(), 40);
    EXPECT_EQ(b.dialog.SpinEditPhilipsContrast[3]->value(), 9);
    EXPECT_FALSE(b.dialog.CheckBoxPhilipsUseBmpColor->isChecked());
    EXPECT_EQ(b.dialog.SpinEditMirtalOffset->value(), 100);
    EXPECT_EQ(b.dialog.PageControlMirtal->currentIndex(), int(ofNative));
}

TEST(OutputFormatDialog, ConvertToWithoutShowingTheDialog) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.dialog.ConvertTo(ofPhilips);
    EXPECT_FALSE(b.dialog.isVisible());
    EXPECT_EQ(b.doc.OutputFormat(), ofPhilips);
    EXPECT_EQ(b.lines().back(), "sub000001.bmp 00:00:01:00 00:00:02:00 400 050 160 470");
}

TEST(OutputFormatDialog, EncodingIsStoredOnConvertAndDroppedOnCancel) {
    Bench b;
    b.open();
    EXPECT_EQ(b.dialog.ComboBoxEncoding->currentIndex(), 0) << "the 8-bit files by default";
    EXPECT_EQ(b.dialog.ComboBoxEncoding->currentText(), "Windows-1252 (8 bits)");
    b.dialog.ComboBoxEncoding->setCurrentIndex(1);
    b.cancel();
    EXPECT_EQ(b.doc.options().Encoding, TextEncoding::Cp1252);

    b.open();
    EXPECT_EQ(b.dialog.ComboBoxEncoding->currentIndex(), 0);
    b.dialog.ComboBoxEncoding->setCurrentIndex(1);
    b.dialog.PageControlMirtal->setCurrentIndex(ofSubViewer2);
    QTest::mouseClick(b.dialog.BitBtnConvert, Qt::LeftButton);
    EXPECT_EQ(b.doc.options().Encoding, TextEncoding::Utf8);
    b.open();
    EXPECT_EQ(b.dialog.ComboBoxEncoding->currentIndex(), 1);
    b.cancel();
}
