#include "SubtitleTestSupport.h"
#include "subtitles/SplitOutput.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {
std::string bar(const SplitBarGeometry& g) {
    return std::to_string(g.fillLeft) + "+" + std::to_string(g.fillWidth) + " " + g.startText +
           " " + g.stopText + " " + g.endText;
}
} // namespace

// Past the end: clamped to the bar; a stop before the start gives no width; an
// empty file counts as one second.
TEST(SplitBar, WindowIsScaledInWholeSecondsAndClampedToTheFile) {
    SubtitleStore store;
    EXPECT_EQ(splitFileEnd(store), TTimeCode{});
    EXPECT_EQ(bar(computeSplitBar({}, {}, splitFileEnd(store), 0, 300)),
              "0+300 00:00:00,000 00:00:00,000 00:00:00,000");
    EXPECT_EQ(
        bar(computeSplitBar(tc("00:15:00,000"), tc("00:45:00,999"), tc("01:30:00,000"), 10, 540)),
        "100+180 00:15:00,000 00:45:00,999 01:30:00,000");
    EXPECT_EQ(
        bar(computeSplitBar(tc("02:00:00,000"), tc("00:10:00,000"), tc("01:30:00,000"), 0, 540)),
        "540+0 02:00:00,000 00:10:00,000 01:30:00,000");
    EXPECT_EQ(SplitBarGeometry::centredLeft(100, 31), 85);
    store.add({"a"}, tc("00:00:01,000"), tc("00:00:04,000"), {});
    EXPECT_EQ(splitFileEnd(store), tc("00:00:04,000"));
}

using SplitOk = DocumentTest;

TEST_F(SplitOk, StopBeforeStartIsRefusedOnlyWhileTicked) {
    dialogs.answers = {Answer::Ok};
    SplitWindow bad{true, tc("00:10:00,000"), tc("00:05:00,000")};
    EXPECT_FALSE(applySplitWindow(doc, bad, dialogs, messages));
    EXPECT_EQ(dialogs.questions[0].text, "The Stop time is smaller than the Start time !");
    EXPECT_EQ(doc.split(), SplitWindow{});
    bad.SplitActive = false;
    EXPECT_TRUE(applySplitWindow(doc, bad, dialogs, messages));
    EXPECT_EQ(doc.split(), bad);
}

TEST_F(SplitOk, TwoDiscRecipeGivesBothHalvesFromZero) {
    add(doc, "00:10:00,000", "00:10:02,000", {"one"});
    add(doc, "00:44:59,000", "00:45:03,000", {"crossing"});
    add(doc, "00:45:00,000", "00:45:02,000", {"two"});
    add(doc, "01:29:58,000", "01:30:00,000", {"end"});
    ASSERT_TRUE(
        applySplitWindow(doc, {true, tc("00:00:01,000"), tc("00:45:00,000")}, dialogs, messages));
    // Numbered by store position; what starts inside is kept, cut at the stop and shifted.
    EXPECT_EQ(doc.list().lines(), (TextLines{"1", "00:09:59,000 --> 00:10:01,000", "one", "", "2",
                                             "00:44:58,000 --> 00:44:59,000", "crossing", ""}));
    // Copy stop to start, Last Sub., OK.
    ASSERT_TRUE(applySplitWindow(doc, {true, tc("00:45:00,000"), splitFileEnd(doc.store())},
                                 dialogs, messages));
    EXPECT_EQ(doc.list().lines(), (TextLines{"3", "00:00:00,000 --> 00:00:02,000", "two", "", "4",
                                             "00:44:58,000 --> 00:45:00,000", "end", ""}));
    // Start equal to stop: accepted, nothing shown.
    ASSERT_TRUE(
        applySplitWindow(doc, {true, tc("00:20:00,000"), tc("00:20:00,000")}, dialogs, messages));
    EXPECT_TRUE(doc.list().empty());
    EXPECT_TRUE(dialogs.questions.empty());
}
