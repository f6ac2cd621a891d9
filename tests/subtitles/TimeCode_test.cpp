#include "subtitles/TimeCode.h"

#include <gtest/gtest.h>

using namespace mirtal;

TEST(TimeCode, TextFormAndMilliseconds) {
    EXPECT_EQ(TimeCodeToStr(MsToTimeCode(3723004)), "01:02:03,004");
    EXPECT_EQ(TimeCodeToStr(MsToTimeCode(0)), "00:00:00,000");
    EXPECT_EQ(TimeCodeToMs(TTimeCode{1, 2, 3, 4}), 3723004);
    EXPECT_EQ(TimeCodeToMs(MsToTimeCode(359999999)), 359999999); // 99:59:59,999
}

TEST(TimeCode, NegativeAndHugeMillisecondsNeverWrap) {
    EXPECT_EQ(MsToTimeCode(-5), TTimeCode{});
    TTimeCode top = MsToTimeCode(int64_t(300) * 3600 * 1000);
    EXPECT_EQ(top, (TTimeCode{255, 59, 59, 999}));
}

TEST(TimeCode, ZeroPadNeverShortens) {
    EXPECT_EQ(ZeroPad(1234, 3), "1234");
    EXPECT_EQ(ZeroPad(7, 3), "007");
    EXPECT_EQ(ZeroPad(0, 0), "0");
}

TEST(TimeCode, ParsingLooksOnlyAtDigitFields) {
    EXPECT_EQ(StrToTimeCode("00:01:02,345"), (TTimeCode{0, 1, 2, 345}));
    EXPECT_EQ(StrToTimeCode("00.01.02.003"), (TTimeCode{0, 1, 2, 3}));
    EXPECT_EQ(StrToTimeCode("00:01:xx,500"), TTimeCode{});
    EXPECT_EQ(StrToTimeCode("00:01:02"), TTimeCode{});
    EXPECT_EQ(StrToTimeCode(""), TTimeCode{});
}

TEST(TimeCode, AdditionCarries) {
    EXPECT_EQ(AddTimeCodes({0, 0, 59, 800}, {0, 0, 0, 300}), (TTimeCode{0, 1, 0, 100}));
    EXPECT_EQ(AddTimeCodes({0, 59, 59, 999}, {0, 0, 0, 1}), (TTimeCode{1, 0, 0, 0}));
}

TEST(TimeCode, MinimumIntervalOnlyShortensClosePairs) {
    EXPECT_EQ(EnforceMinInterval({0, 0, 10, 0}, {0, 0, 10, 50}, 100), (TTimeCode{0, 0, 9, 950}));
    EXPECT_EQ(EnforceMinInterval({0, 0, 10, 0}, {0, 0, 9, 900}, 100), (TTimeCode{0, 0, 10, 0}));
    EXPECT_EQ(EnforceMinInterval({0, 0, 10, 0}, {0, 0, 10, 100}, 100), (TTimeCode{0, 0, 10, 0}));
    EXPECT_EQ(EnforceMinInterval({0, 0, 0, 20}, {0, 0, 0, 50}, 100), TTimeCode{});
}

TEST(TimeCode, RoundingHalfSecondGoesDown) {
    EXPECT_EQ(RoundTimeCode({0, 0, 1, 501}), (TTimeCode{0, 0, 2, 0}));
    EXPECT_EQ(RoundTimeCode({0, 0, 1, 500}), (TTimeCode{0, 0, 1, 0}));
    EXPECT_EQ(RoundTimeCode({0, 0, 59, 900}), (TTimeCode{0, 1, 0, 0}));
}

TEST(TimeCode, FrameCodesAndDropFrameLabels) {
    EXPECT_EQ(TimeCodeToFrameCode({0, 0, 5, 40}, 2500, false).Frame, 1);
    EXPECT_EQ(TimeCodeToFrameCode({0, 0, 5, 39}, 2500, false).Frame, 0);
    EXPECT_EQ(TimeCodeToFrameCode({0, 0, 0, 999}, 2500, false).Frame, 24);
    EXPECT_EQ(TimeCodeToFrameCode({0, 0, 0, 999}, 3000, false).Frame, 29);
    EXPECT_EQ(FrameCodeToStr(TimeCodeToFrameCode({0, 1, 0, 0}, 3000, true)), "00:01:00:02");
    EXPECT_EQ(FrameCodeToStr(TimeCodeToFrameCode({0, 10, 0, 0}, 3000, true)), "00:10:00:00");
    EXPECT_EQ(FrameCodeToStr(TimeCodeToFrameCode({0, 1, 1, 0}, 3000, true)), "00:01:01:00");
}
