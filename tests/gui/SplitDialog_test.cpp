#include "SubtitleWindowsTestSupport.h"
#include "ui/NumericEdit.h"
#include "ui/SplitDialog.h"
#include "ui/SubtitlesWindow.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Bench : DocumentBench {
    SubtitlesWindow window{doc, dialogs, catalogue, settings};
    SplitDialog split{doc, dialogs, catalogue};

    // One subtitle every ten minutes up to 01:30:00, and one across 00:45:00.
    void longDocument() {
        for (int m = 10; m <= 90; m += 10) {
            if (m == 50) add("00:44:59,000", "00:45:03,000", {"Across the cut"});
            TTimeCode start = MsToTimeCode(int64_t(m) * 60000);
            doc.AddSubtitle({"At " + std::to_string(m) + " min"}, true, start,
                            MsToTimeCode(TimeCodeToMs(start) + 2000), {});
        }
        doc.setModified(false);
    }
    void setStop(const char* h, const char* m, const char* s, const char* ms) {
        for (auto [f, v] : {std::pair{split.Word_uHour2, h},
                            {split.Word_uMin2, m},
                            {split.Word_uSec2, s},
                            {split.Word_uMSec2, ms}})
            f->setText(v);
    }
    std::string saveAs(const std::string& name) {
        dialogs.files.push_back(folder / name);
        if (window.Saveas1Click() != FlowResult::Done) return "<not saved>";
        return readText(folder / name);
    }
};

} // namespace

TEST(SplitDialog, SavesBothPartsOfALongDocumentEachStartingAtZero) {
    Bench b;
    b.longDocument();
    b.split.show();
    EXPECT_EQ(b.split.LabelEndOfFile->text(), "01:30:02,000");
    b.split.CheckBoxSplit->click();
    b.setStop("0", "45", "0", "0");
    QTest::mouseClick(b.split.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(b.split.isVisible());
    EXPECT_TRUE(b.doc.SplitActive());

    const std::string part1 = b.saveAs("part1.vtx");
    EXPECT_NE(part1.find("At 40 min"), std::string::npos);
    EXPECT_NE(part1.find("00:44:59,000 --> 00:45:00,000\r\nAcross the cut"), std::string::npos);
    EXPECT_EQ(part1.find("At 50 min"), std::string::npos);
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - part1 -");

    b.split.show(); // the window is kept; go on with the next part
    EXPECT_TRUE(b.split.CheckBoxSplit->isChecked());
    QTest::mouseClick(b.split.SpeedButtonCopyStopToStart, Qt::LeftButton);
    QTest::mouseClick(b.split.ButtonEndOfFile, Qt::LeftButton);
    EXPECT_EQ(b.split.LabelStartSplit->text(), "00:45:00,000");
    EXPECT_EQ(b.split.LabelStopSplit->text(), "01:30:02,000");
    QTest::mouseClick(b.split.BitBtn1, Qt::LeftButton);

    const std::string part2 = b.saveAs("part2.vtx"); // numbered by store position
    EXPECT_EQ(part2.substr(0, 47), "6\r\n00:05:00,000 --> 00:05:02,000\r\nAt 50 min\r\n\r\n");
    EXPECT_NE(part2.find("00:45:00,000 --> 00:45:02,000\r\nAt 90 min"), std::string::npos);
    EXPECT_EQ(part2.find("Across the cut"), std::string::npos);
    EXPECT_EQ(b.doc.NbSubTitle(), 10); // the store keeps everything
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SplitDialog, StopBeforeStartIsRefusedOnlyWhileSplitIsOn) {
    Bench b;
    b.longDocument();
    b.split.show();
    b.split.CheckBoxSplit->click();
    b.split.Word_uMin1->setText("20");
    b.setStop("0", "10", "0", "0");
    b.dialogs.answers = {Answer::Ok};
    EXPECT_FALSE(b.split.BitBtn1Click());
    EXPECT_EQ(b.lastQuestion(), "The Stop time is smaller than the Start time !");
    EXPECT_TRUE(b.split.isVisible());
    EXPECT_FALSE(b.doc.SplitActive());

    b.split.CheckBoxSplit->click(); // off: stored as they are
    EXPECT_TRUE(b.split.BitBtn1Click());
    EXPECT_FALSE(b.doc.SplitActive());
    EXPECT_EQ(TimeCodeToStr(b.doc.SplitStart()), "00:20:00,000");
    EXPECT_EQ(TimeCodeToStr(b.doc.SplitStop()), "00:10:00,000");
    EXPECT_EQ(b.window.lineCount(), 40); // every entry shown
}

TEST(SplitDialog, ControlsAreUsableOnlyWithSplitTicked) {
    Bench b;
    b.split.show();
    EXPECT_FALSE(b.split.PanelStartSplit->isEnabled());
    EXPECT_FALSE(b.split.PanelStopSplit->isEnabled());
    EXPECT_FALSE(b.split.SpeedButtonCopyStopToStart->isEnabled());
    b.split.CheckBoxSplit->click();
    EXPECT_TRUE(b.split.PanelStartSplit->isEnabled());
    EXPECT_TRUE(b.split.PanelStopSplit->isEnabled());
    EXPECT_TRUE(b.split.SpeedButtonCopyStopToStart->isEnabled());
    b.split.Word_uSec1->setText("9");
    QTest::mouseClick(b.split.ButtonResetStartSplit, Qt::LeftButton);
    EXPECT_EQ(b.split.Word_uSec1->text(), "0");
}

TEST(SplitDialog, BarShowsTheSavedPartToScale) {
    Bench b;
    b.longDocument(); // 5402 s long
    b.split.show();
    const QRect full = b.split.ShapeFullFile->geometry();
    // Unticked: the whole file.
    EXPECT_EQ(b.split.ShapeSplitFill->geometry().left(), full.left());
    EXPECT_NEAR(b.split.ShapeSplitFill->width(), full.width(), 1);

    b.split.CheckBoxSplit->click();
    b.split.Word_uMin1->setText("45");
    b.setStop("1", "30", "2", "0");
    const QRect fill = b.split.ShapeSplitFill->geometry();
    EXPECT_NEAR(fill.left() - full.left(), full.width() / 2, 2); // 2700 s of 5402
    EXPECT_NEAR(fill.right(), full.right(), 2);
    // The time labels are centred under the two ends of the fill.
    EXPECT_NEAR(b.split.LabelStartSplit->geometry().center().x(), fill.left(), 2);
    EXPECT_NEAR(b.split.LabelStopSplit->geometry().center().x(), fill.left() + fill.width(), 2);
    EXPECT_EQ(b.split.LabelStopSplit->text(), "01:30:02,000");

    b.setStop("3", "0", "0", "0"); // past the end: the fill stops at the bar's end
    EXPECT_NEAR(b.split.ShapeSplitFill->geometry().right(), full.right(), 2);
    EXPECT_EQ(b.split.LabelStopSplit->text(), "03:00:00,000");
}
