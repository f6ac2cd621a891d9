#include "SubtitleTestSupport.h"
#include "subtitles/TimeCorrection.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

class TimeCorrectionTest : public ::testing::Test {
protected:
    FixedBannerClock clock{""};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;

    std::string start(int i) { return TimeCodeToStr(doc.store().entry(i).Start); }
    std::string stop(int i) { return TimeCodeToStr(doc.store().entry(i).Stop); }
};

} // namespace

TEST_F(TimeCorrectionTest, MinusOffsetAsksForStartsReachingZeroAndClampsStops) {
    add(doc, "00:00:01,000", "00:00:01,500", {"a"});
    add(doc, "00:00:02,000", "00:00:04,000", {"b"});
    add(doc, "00:00:05,000", "00:00:06,000", {"c"});
    dialogs.answers = {Answer::Yes, Answer::Yes};
    TimeCorrection r;
    r.Offset = tc("00:00:02,000");
    r.MinusOffset = true;
    CorrectTime(doc, r, dialogs, messages);
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[0].text, "Warning : Time Code 00:00:01,000 will be reduced to "
                                         "00:00:00,000\rDo you want to continue ? ( No undo ! )");
    EXPECT_EQ(dialogs.questions[1].text.substr(0, 32), "Warning : Time Code 00:00:02,000");
    EXPECT_EQ(start(1), "00:00:00,000");
    EXPECT_EQ(stop(1), "00:00:00,000");
    EXPECT_EQ(start(2), "00:00:00,000");
    EXPECT_EQ(stop(2), "00:00:02,000");
    EXPECT_EQ(start(3), "00:00:03,000");
    EXPECT_EQ(stop(3), "00:00:04,000");
    EXPECT_EQ(doc.list().line(1), "00:00:00,000 --> 00:00:00,000");
}

TEST_F(TimeCorrectionTest, AnsweringNoStopsTheOffsetButTheLaterStepsStillRun) {
    add(doc, "00:00:10,000", "00:00:11,000", {"a"});
    add(doc, "00:00:01,000", "00:00:02,000", {"b"});
    add(doc, "00:00:20,000", "00:00:21,000", {"c"});
    dialogs.answers = {Answer::No};
    TimeCorrection r;
    r.Offset = tc("00:00:05,000");
    r.MinusOffset = true;
    r.MinInterval = 500;
    CorrectTime(doc, r, dialogs, messages);
    EXPECT_EQ(start(1), "00:00:05,000");
    EXPECT_EQ(start(2), "00:00:01,000"); // left as it was, as is every later entry
    EXPECT_EQ(start(3), "00:00:20,000");
    EXPECT_EQ(stop(1), "00:00:06,000"); // overlap with entry 2: not touched
    EXPECT_EQ(stop(2), "00:00:02,000");
}

TEST_F(TimeCorrectionTest, StretchScalesAboutZeroRoundingHalvesToEven) {
    add(doc, "00:25:00,000", "00:25:02,000", {"a"});
    add(doc, "00:50:00,000", "00:50:01,000", {"b"});
    TimeCorrection r;
    r.Stretch = tc("00:00:05,000");
    r.MinusStretch = true;
    CorrectTime(doc, r, dialogs, messages);
    EXPECT_EQ(start(1), "00:24:57,500");
    EXPECT_EQ(start(2), "00:49:55,000");
    // 3001000 x (1 - 1/600) = 2995998.33
    EXPECT_EQ(stop(2), "00:49:55,998");

    doc.store().clear();
    add(doc, "00:00:00,001", "00:00:00,003", {"a"});
    add(doc, "00:00:00,002", "00:00:00,005", {"b"});
    r = {};
    r.Stretch = tc("00:00:00,001"); // f = 1/2: 1.5 -> 2, 4.5 -> 4, 7.5 -> 8
    CorrectTime(doc, r, dialogs, messages);
    EXPECT_EQ(doc.store().entry(1).Start, tc("00:00:00,002"));
    EXPECT_EQ(doc.store().entry(1).Stop, tc("00:00:00,004"));
    EXPECT_EQ(doc.store().entry(2).Stop, tc("00:00:00,008"));
}

TEST_F(TimeCorrectionTest, MinusStretchEqualToTheLastStartSendsEverythingToZero) {
    add(doc, "00:00:10,000", "00:00:12,000", {"a"});
    add(doc, "00:00:20,000", "00:00:22,000", {"b"});
    TimeCorrection r;
    r.Stretch = tc("00:00:20,000");
    r.MinusStretch = true;
    CorrectTime(doc, r, dialogs, messages);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(start(i), "00:00:00,000");
        EXPECT_EQ(stop(i), "00:00:00,000");
    }
}

TEST_F(TimeCorrectionTest, StretchRefusalsLeaveTimesAndLetTheOtherStepsRun) {
    add(doc, "00:00:10,000", "00:00:12,000", {"a"});
    TimeCorrection r;
    r.Stretch = tc("00:00:20,000");
    r.MinusStretch = true;
    r.ChangeDurations = true;
    r.Method = DurationMethod::Fixed;
    r.FixedDuration = 1000;
    dialogs.answers = {Answer::Ok};
    CorrectTime(doc, r, dialogs, messages);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, "You can't make a minus time Stretch with a time\r"
                                         "that is larger than the total file time !");
    EXPECT_EQ(start(1), "00:00:10,000");
    EXPECT_EQ(stop(1), "00:00:11,000");
}

TEST_F(TimeCorrectionTest, StretchWithTheLastEntryAtZeroIsRefusedNotDividedByZero) {
    add(doc, "00:00:00,000", "00:00:02,000", {"a"});
    dialogs.answers = {Answer::Ok};
    EXPECT_EQ(ApplyStretch(doc.store(), 5000, false, dialogs, messages), StepResult::Refused);
    EXPECT_EQ(dialogs.questions[0].text, zeroStretchMessage());
    EXPECT_EQ(stop(1), "00:00:02,000");
}

TEST_F(TimeCorrectionTest, ProportionalDurationsStopAtTheNextStart) {
    add(doc, "00:00:10,000", "00:00:10,100", {"Hello", "World!"});
    add(doc, "00:00:20,000", "00:00:20,100", {"x"});
    RecomputeDurations(doc.store(), 500, 50);
    EXPECT_EQ(stop(1), "00:00:11,050");
    EXPECT_EQ(stop(2), "00:00:20,550");
    doc.store().entry(2).Start = tc("00:00:10,800");
    RecomputeDurations(doc.store(), 500, 50);
    EXPECT_EQ(stop(1), "00:00:10,800");
}

TEST_F(TimeCorrectionTest, FixedDurationsGiveTheLastEntryItsFullTime) {
    add(doc, "00:00:01,000", "00:00:01,100", {"a"});
    add(doc, "00:00:03,000", "00:00:03,100", {"b"});
    add(doc, "00:00:10,000", "00:00:10,100", {"c"});
    TimeCorrection r;
    r.ChangeDurations = true;
    r.Method = DurationMethod::Fixed;
    CorrectTime(doc, r, dialogs, messages);
    EXPECT_EQ(stop(1), "00:00:03,000");
    EXPECT_EQ(stop(2), "00:00:07,000");
    EXPECT_EQ(stop(3), "00:00:14,000");
    // The last entry's limit is its start + 65535 ms.
    RecomputeDurations(doc.store(), 65535, 99);
    EXPECT_EQ(stop(3), "00:01:15,535");
}

TEST_F(TimeCorrectionTest, MinimumIntervalShortensCloseStopsButNotTheLast) {
    add(doc, "00:00:08,000", "00:00:10,000", {"a"});
    add(doc, "00:00:10,050", "00:00:12,000", {"b"});
    add(doc, "00:00:12,010", "00:00:13,000", {"c"});
    ApplyMinimumInterval(doc.store(), 100);
    EXPECT_EQ(stop(1), "00:00:09,950");
    EXPECT_EQ(stop(2), "00:00:11,910");
    EXPECT_EQ(stop(3), "00:00:13,000");
}

TEST_F(TimeCorrectionTest, EmptyStoreDoesNothing) {
    TimeCorrection r;
    r.Offset = tc("00:00:01,000");
    r.MinusOffset = true;
    r.Stretch = tc("00:00:01,000");
    CorrectTime(doc, r, dialogs, messages);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(doc.NbSubTitle(), 0);
}
