#include "subtitles/TimeCode.h"

#include <gtest/gtest.h>

using namespace mirtal;

TEST(TimeCode, TextMillisecondsAndParsing) {
    const std::pair<int64_t, const char*> forms[] = {
        {3723004, "01:02:03,004"}, {0, "00:00:00,000"}, {359999999, "99:59:59,999"}};
    for (const auto& [ms, text] : forms) {
        EXPECT_EQ(timeCodeToStr(msToTimeCode(ms)), text);
        EXPECT_EQ(timeCodeToMs(strToTimeCode(text)), ms);
    }
    // Below zero and past 255 hours: clamped, never wrapped.
    EXPECT_EQ(msToTimeCode(-5), TTimeCode{});
    EXPECT_EQ(msToTimeCode(int64_t(300) * 3600 * 1000), (TTimeCode{255, 59, 59, 999}));
    // Only the digit fields count; anything else reads as zero.
    EXPECT_EQ(strToTimeCode("00.01.02.003"), (TTimeCode{0, 1, 2, 3}));
    for (const char* bad : {"00:01:xx,500", "00:01:02", ""})
        EXPECT_EQ(strToTimeCode(bad), TTimeCode{}) << bad;
    EXPECT_EQ(zeroPad(1234, 3), "1234");
    EXPECT_EQ(zeroPad(7, 3), "007");
    EXPECT_EQ(zeroPad(0, 0), "0");
}

TEST(TimeCode, ArithmeticRoundingAndIntervals) {
    EXPECT_EQ(addTimeCodes({0, 0, 59, 800}, {0, 0, 0, 300}), (TTimeCode{0, 1, 0, 100}));
    EXPECT_EQ(addTimeCodes({0, 59, 59, 999}, {0, 0, 0, 1}), (TTimeCode{1, 0, 0, 0}));
    // Half a second goes down.
    EXPECT_EQ(roundTimeCode({0, 0, 1, 501}), (TTimeCode{0, 0, 2, 0}));
    EXPECT_EQ(roundTimeCode({0, 0, 1, 500}), (TTimeCode{0, 0, 1, 0}));
    EXPECT_EQ(roundTimeCode({0, 0, 59, 900}), (TTimeCode{0, 1, 0, 0}));
    // {stop, next start, minimum} -> stop: only close pairs are shortened.
    const TTimeCode ten{0, 0, 10, 0};
    const struct {
        TTimeCode stop, next, expected;
    } intervals[] = {{ten, {0, 0, 10, 50}, {0, 0, 9, 950}},
                     {ten, {0, 0, 9, 900}, ten},
                     {ten, {0, 0, 10, 100}, ten},
                     {{0, 0, 0, 20}, {0, 0, 0, 50}, {}}};
    for (const auto& c : intervals) EXPECT_EQ(enforceMinInterval(c.stop, c.next, 100), c.expected);
}

TEST(TimeCode, FrameCodesAndDropFrameLabels) {
    const struct {
        TTimeCode time;
        uint32_t fps100;
        bool drop;
        const char* frames;
    } cases[] = {
        {{0, 0, 5, 40}, 2500, false, "00:00:05:01"},  {{0, 0, 5, 39}, 2500, false, "00:00:05:00"},
        {{0, 0, 0, 999}, 2500, false, "00:00:00:24"}, {{0, 0, 0, 999}, 3000, false, "00:00:00:29"},
        {{0, 1, 0, 0}, 3000, true, "00:01:00:02"},    {{0, 10, 0, 0}, 3000, true, "00:10:00:00"},
        {{0, 1, 1, 0}, 3000, true, "00:01:01:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frameCodeToStr(timeCodeToFrameCode(c.time, c.fps100, c.drop)), c.frames)
            << timeCodeToStr(c.time);
}
