#include "SubtitleTestSupport.h"
#include "subtitles/SplitOutput.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

TEST(SplitBar, WindowIsScaledInWholeSecondsAndClampedToTheFile) {
    SplitBarGeometry g =
        ComputeSplitBar(tc("00:15:00,000"), tc("00:45:00,999"), tc("01:30:00,000"), 10, 540);
    EXPECT_EQ(g.fillLeft, 10 + 90);
    EXPECT_EQ(g.fillWidth, 180);
    EXPECT_EQ(g.fillRight(), 280);
    EXPECT_EQ(g.stopText, "00:45:00,999");
    EXPECT_EQ(g.endText, "01:30:00,000");
    // Past the end: clamped to the bar; a stop before the start gives no width.
    g = ComputeSplitBar(tc("02:00:00,000"), tc("00:10:00,000"), tc("01:30:00,000"), 0, 540);
    EXPECT_EQ(g.fillLeft, 540);
    EXPECT_EQ(g.fillWidth, 0);
    EXPECT_EQ(g.startText, "02:00:00,000");
    EXPECT_EQ(SplitBarGeometry::centredLeft(100, 31), 85);
}

TEST(SplitBar, EmptyFileCountsAsOneSecond) {
    SubtitleStore store;
    EXPECT_EQ(SplitFileEnd(store), TTimeCode{});
    SplitBarGeometry g = ComputeSplitBar({}, {}, SplitFileEnd(store), 0, 300);
    EXPECT_EQ(g.fillLeft, 0);
    EXPECT_EQ(g.fillWidth, 300);
    store.add({"a"}, tc("00:00:01,000"), tc("00:00:04,000"), {});
    EXPECT_EQ(SplitFileEnd(store), tc("00:00:04,000"));
}

TEST(SplitOk, StopBeforeStartIsRefusedOnlyWhileTicked) {
    FixedBannerClock clock{""};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;
    dialogs.answers = {Answer::Ok};
    SplitWindow bad{true, tc("00:10:00,000"), tc("00:05:00,000")};
    EXPECT_FALSE(ApplySplit(doc, bad, dialogs, messages));
    EXPECT_EQ(dialogs.questions[0].text, "The Stop time is smaller than the Start time !");
    EXPECT_EQ(doc.split(), SplitWindow{});
    bad.SplitActive = false;
    EXPECT_TRUE(ApplySplit(doc, bad, dialogs, messages));
    EXPECT_EQ(doc.split(), bad);
}

TEST(SplitOk, TwoDiscRecipeGivesBothHalvesFromZero) {
    FixedBannerClock clock{""};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;
    add(doc, "00:10:00,000", "00:10:02,000", {"one"});
    add(doc, "00:44:59,000", "00:45:03,000", {"crossing"});
    add(doc, "00:45:00,000", "00:45:02,000", {"two"});
    add(doc, "01:29:58,000", "01:30:00,000", {"end"});
    ASSERT_TRUE(ApplySplit(doc, {true, {}, tc("00:45:00,000")}, dialogs, messages));
    EXPECT_EQ(doc.list().size(), 8u);
    EXPECT_EQ(doc.list().line(5), "00:44:59,000 --> 00:45:00,000");
    // Copy stop to start, Last Sub., OK.
    ASSERT_TRUE(
        ApplySplit(doc, {true, tc("00:45:00,000"), SplitFileEnd(doc.store())}, dialogs, messages));
    ASSERT_EQ(doc.list().size(), 8u);
    EXPECT_EQ(doc.list().line(0), "3");
    EXPECT_EQ(doc.list().line(1), "00:00:00,000 --> 00:00:02,000");
    EXPECT_EQ(doc.list().line(5), "00:44:58,000 --> 00:45:00,000");
    // Start equal to stop: accepted, nothing shown.
    ASSERT_TRUE(ApplySplit(doc, {true, tc("00:20:00,000"), tc("00:20:00,000")}, dialogs, messages));
    EXPECT_TRUE(doc.list().empty());
    EXPECT_TRUE(dialogs.questions.empty());
}
