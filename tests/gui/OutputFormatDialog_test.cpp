#include "SubtitleWindowsTestSupport.h"
#include "ui/OutputFormatDialog.h"
#include "ui/SubtitlesWindow.h"
#include "ui/WidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
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
    template <typename T> T* get(const char* name) { return control<T>(&dialog, name); }
    QTabWidget* tabs() { return get<QTabWidget>("PageControlMirtal"); }
    void click(const char* name) { QTest::mouseClick(get<QWidget>(name), Qt::LeftButton); }
    void convert() { click("BitBtnConvert"); }
    void convertTo(int tab) {
        open();
        tabs()->setCurrentIndex(tab);
        convert();
    }
    void cancel() { click("BitBtn1"); }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < lineCount(window); ++i) out << lineText(window, i);
        return out;
    }
};

const Rect kRect{160, 470, 559, 519};

} // namespace

TEST(OutputFormatDialog, TabsAreInTheOrderOfTheFormats) {
    Bench b;
    QTabWidget* tabs = b.tabs();
    ASSERT_EQ(tabs->count(), kFormatCount);
    const char* names[] = {"TabSheetMirtal",  "TabSheetSubviewer", "TabSheetSubviewer2",
                           "TabSheetIAuthor", "TabSheetPhilips",   "TabSheetSonic",
                           "TabSheetWebVtt",  "TabSheetAss"};
    for (int i = 0; i < kFormatCount; ++i) EXPECT_EQ(tabs->widget(i)->objectName(), names[i]);
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
    EXPECT_EQ(shownLine(b.window), 15);
    EXPECT_EQ(b.doc.saveInitialName(), "New File.sub"); // the save name takes the extension
}

TEST(OutputFormatDialog, IAuthorShowsNativeWithCoordinatesAndTicksExtendedNextTime) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.open();
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxVtxExtended")->isChecked());
    b.cancel();

    b.convertTo(ofIAuthor);
    EXPECT_EQ(b.lines().at(1), "00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519");
    EXPECT_EQ(b.doc.saveInitialName(), "New File.txt");

    b.open();
    EXPECT_TRUE(b.get<QCheckBox>("CheckBoxVtxExtended")->isChecked());
    EXPECT_EQ(b.tabs()->currentIndex(), int(ofIAuthor));
}

TEST(OutputFormatDialog, CancelForgetsStoredOptionsButKeepsLiveEdits) {
    Bench b;
    b.open();
    b.get<QSpinBox>("SpinEditPhilipsContrast0")->setValue(7);
    b.get<QLineEdit>("EditSubviewerTitle")->clear();
    QTest::keyClicks(b.get<QLineEdit>("EditSubviewerTitle"), "My Film");
    b.cancel();
    EXPECT_EQ(b.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(b.doc.options().philips.Contrast[0], 0);

    b.open(); // the cancelled contrast is gone from the control too
    EXPECT_EQ(b.get<QSpinBox>("SpinEditPhilipsContrast0")->value(), 0);
    EXPECT_EQ(b.get<QLineEdit>("EditSubviewerTitle")->text(), "My Film");
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
    b.get<QComboBox>("ComboBoxPhilipsFrameRate")->setCurrentIndex(1);
    b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->setChecked(true);
    b.get<QComboBox>("ComboBoxSonicFrameRate")->setCurrentIndex(0);
    b.tabs()->setCurrentIndex(ofPhilips);
    b.convert();
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
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->isEnabled()); // PAL
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxSonicDropFrame")->isEnabled());
    const bool tick = b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->isChecked();
    b.get<QComboBox>("ComboBoxPhilipsFrameRate")->setCurrentIndex(1);
    EXPECT_TRUE(b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->isEnabled());
    EXPECT_EQ(b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->isChecked(),
              tick); // the tick is not touched
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxSonicDropFrame")->isEnabled());
    b.get<QComboBox>("ComboBoxSonicFrameRate")->setCurrentIndex(1);
    EXPECT_TRUE(b.get<QCheckBox>("CheckBoxSonicDropFrame")->isEnabled());
    b.cancel();
    b.open(); // cancelled: back to PAL
    EXPECT_EQ(b.get<QComboBox>("ComboBoxPhilipsFrameRate")->currentIndex(), 0);
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxPhilipsDropFrame")->isEnabled());
}

TEST(OutputFormatDialog, BitmapColoursHideThePhilipsPalette) {
    Bench b;
    b.open();
    b.tabs()->setCurrentIndex(ofPhilips);
    ASSERT_TRUE(b.get<QCheckBox>("CheckBoxPhilipsUseBmpColor")->isChecked()); // the default
    EXPECT_FALSE(b.get<QFrame>("PanelPhilipsColor0")->isVisible());
    EXPECT_FALSE(b.get<QLabel>("LabelPhilipsColor")->isEnabled());
    b.get<QCheckBox>("CheckBoxPhilipsUseBmpColor")->click();
    for (const char* panel :
         {"PanelPhilipsColor0", "PanelPhilipsColor1", "PanelPhilipsColor2", "PanelPhilipsColor3"})
        EXPECT_TRUE(b.get<QFrame>(panel)->isVisible()) << panel;
    EXPECT_TRUE(b.get<QLabel>("LabelPhilipsColor")->isEnabled());
}

TEST(OutputFormatDialog, ColourPanelsPickAColourThatConvertKeeps) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.open();
    b.tabs()->setCurrentIndex(ofIAuthor);
    b.dialogs.colors.push_back(QColor(255, 0, 0));
    b.click("PanelPColor1");
    EXPECT_EQ(swatchColour(b.get<QFrame>("PanelPColor1")), 0x0000FFu);
    b.dialogs.colors.push_back(std::nullopt); // chooser cancelled: nothing changes
    b.click("PanelPColor2");
    EXPECT_EQ(swatchColour(b.get<QFrame>("PanelPColor2")), 0x000000u);
    EXPECT_EQ(b.doc.options().iauthor.Colors[1], 0xFFFFFFu); // not before Convert
    b.convert();
    EXPECT_EQ(b.doc.options().iauthor.Colors[1], 0x0000FFu);
    EXPECT_EQ(b.dialogs.unexpected, 0);

    // Red in the IAuthor script: Y, Cr, Cb of pure red.
    b.dialogs.files.push_back(b.folder / "script.txt");
    trigger(b.window, "Saveas1");
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
    b.click("ButtonSubviewer2Font");
    b.dialogs.colors.push_back(QColor(255, 0, 0));
    b.tabs()->setCurrentIndex(ofSubViewer2);
    b.click("PanelSubViewer2Font");
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
    EXPECT_EQ(b.get<QSpinBox>("SpinEditMinimumInterval")->value(), 40);
    EXPECT_EQ(b.get<QSpinBox>("SpinEditPhilipsContrast3")->value(), 9);
    EXPECT_FALSE(b.get<QCheckBox>("CheckBoxPhilipsUseBmpColor")->isChecked());
    EXPECT_EQ(b.get<QSpinBox>("SpinEditMirtalOffset")->value(), 100);
    EXPECT_EQ(b.tabs()->currentIndex(), int(ofNative));
}

TEST(OutputFormatDialog, ConvertToWithoutShowingTheDialog) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, kRect);
    b.dialog.convertTo(ofPhilips);
    EXPECT_EQ(b.doc.OutputFormat(), ofPhilips);
    EXPECT_EQ(b.lines().back(), "sub000001.bmp 00:00:01:00 00:00:02:00 400 050 160 470");
}

TEST(OutputFormatDialog, EncodingIsStoredOnConvertAndDroppedOnCancel) {
    Bench b;
    auto* encoding = b.get<QComboBox>("ComboBoxEncoding");
    b.open();
    EXPECT_EQ(encoding->currentIndex(), 0) << "the 8-bit files by default";
    encoding->setCurrentIndex(1);
    b.cancel();
    EXPECT_EQ(b.doc.options().Encoding, TextEncoding::Cp1252);

    b.open();
    EXPECT_EQ(encoding->currentIndex(), 0);
    encoding->setCurrentIndex(1);
    b.tabs()->setCurrentIndex(ofSubViewer2);
    b.convert();
    EXPECT_EQ(b.doc.options().Encoding, TextEncoding::Utf8);
    b.open();
    EXPECT_EQ(encoding->currentIndex(), 1);
    b.cancel();
}
