#include "SubtitleWindowsTestSupport.h"
#include "ui/NumericEdit.h"
#include "ui/SplitDialog.h"
#include "ui/SubtitlesWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QTest>
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
    void setField(const char* name, const char* value) {
        control<TWord_u>(&split, name)->setText(value);
    }
    void setStop(const char* h, const char* m, const char* s, const char* ms) {
        for (auto [f, v] : {std::pair{"Word_uHour2", h},
                            {"Word_uMin2", m},
                            {"Word_uSec2", s},
                            {"Word_uMSec2", ms}})
            setField(f, v);
    }
    std::string saveAs(const std::string& name) {
        dialogs.files.push_back(folder / name);
        trigger(window, "Saveas1");
        return readText(folder / name);
    }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(&split, name), Qt::LeftButton);
    }
    QCheckBox* splitBox() { return control<QCheckBox>(&split, "CheckBoxSplit"); }
    QString labelText(const char* name) { return control<QLabel>(&split, name)->text(); }
    bool enabled(const char* name) { return control<QWidget>(&split, name)->isEnabled(); }
    QRect shape(const char* name) { return control<QFrame>(&split, name)->geometry(); }
};

} // namespace

TEST(SplitDialog, SavesBothPartsOfALongDocumentEachStartingAtZero) {
    Bench b;
    b.longDocument();
    b.split.show();
    EXPECT_EQ(b.labelText("LabelEndOfFile"), "01:30:02,000");
    b.splitBox()->click();
    b.setStop("0", "45", "0", "0");
    b.click("BitBtn1");
    EXPECT_FALSE(b.split.isVisible());
    EXPECT_TRUE(b.doc.SplitActive());

    const std::string part1 = b.saveAs("part1.vtx");
    EXPECT_NE(part1.find("At 40 min"), std::string::npos);
    EXPECT_NE(part1.find("00:44:59,000 --> 00:45:00,000\r\nAcross the cut"), std::string::npos);
    EXPECT_EQ(part1.find("At 50 min"), std::string::npos);

    b.split.show(); // the window is kept; go on with the next part
    EXPECT_TRUE(b.splitBox()->isChecked());
    b.click("SpeedButtonCopyStopToStart");
    b.click("ButtonEndOfFile");
    EXPECT_EQ(b.labelText("LabelStartSplit"), "00:45:00,000");
    EXPECT_EQ(b.labelText("LabelStopSplit"), "01:30:02,000");
    b.click("BitBtn1");

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
    b.splitBox()->click();
    b.setField("Word_uMin1", "20");
    b.setStop("0", "10", "0", "0");
    b.dialogs.answers = {Answer::Ok};
    b.click("BitBtn1");
    EXPECT_EQ(b.lastQuestion(), "The Stop time is smaller than the Start time !");
    EXPECT_TRUE(b.split.isVisible());
    EXPECT_FALSE(b.doc.SplitActive());

    b.splitBox()->click(); // off: stored as they are
    b.click("BitBtn1");
    EXPECT_FALSE(b.split.isVisible());
    EXPECT_FALSE(b.doc.SplitActive());
    EXPECT_EQ(TimeCodeToStr(b.doc.SplitStart()), "00:20:00,000");
    EXPECT_EQ(TimeCodeToStr(b.doc.SplitStop()), "00:10:00,000");
    EXPECT_EQ(lineCount(b.window), 40); // every entry shown
}

TEST(SplitDialog, ControlsAreUsableOnlyWithSplitTicked) {
    Bench b;
    b.split.show();
    EXPECT_FALSE(b.enabled("PanelStartSplit"));
    EXPECT_FALSE(b.enabled("PanelStopSplit"));
    EXPECT_FALSE(b.enabled("SpeedButtonCopyStopToStart"));
    b.splitBox()->click();
    EXPECT_TRUE(b.enabled("PanelStartSplit"));
    EXPECT_TRUE(b.enabled("PanelStopSplit"));
    EXPECT_TRUE(b.enabled("SpeedButtonCopyStopToStart"));
    b.setField("Word_uSec1", "9");
    b.click("ButtonResetStartSplit");
    EXPECT_EQ(control<TWord_u>(&b.split, "Word_uSec1")->text(), "0");
}

TEST(SplitDialog, BarShowsTheSavedPartToScale) {
    Bench b;
    b.longDocument(); // 5402 s long
    b.split.show();
    const QRect full = b.shape("ShapeFullFile");
    // Unticked: the whole file.
    EXPECT_EQ(b.shape("ShapeSplitFill").left(), full.left());
    EXPECT_NEAR(b.shape("ShapeSplitFill").width(), full.width(), 1);

    b.splitBox()->click();
    b.setField("Word_uMin1", "45");
    b.setStop("1", "30", "2", "0");
    const QRect fill = b.shape("ShapeSplitFill");
    EXPECT_NEAR(fill.left() - full.left(), full.width() / 2, 2); // 2700 s of 5402
    EXPECT_NEAR(fill.right(), full.right(), 2);
    // The time labels are centred under the two ends of the fill.
    EXPECT_NEAR(control<QLabel>(&b.split, "LabelStartSplit")->geometry().center().x(), fill.left(),
                2);
    EXPECT_NEAR(control<QLabel>(&b.split, "LabelStopSplit")->geometry().center().x(),
                fill.left() + fill.width(), 2);
    EXPECT_EQ(b.labelText("LabelStopSplit"), "01:30:02,000");

    b.setStop("3", "0", "0", "0"); // past the end: the fill stops at the bar's end
    EXPECT_NEAR(b.shape("ShapeSplitFill").right(), full.right(), 2);
    EXPECT_EQ(b.labelText("LabelStopSplit"), "03:00:00,000");
}
