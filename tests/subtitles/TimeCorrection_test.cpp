#include "SubtitleTestSupport.h"
#include "subtitles/TimeCorrection.h"

#include <deque>
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

// {entries} + request + the answers to its questions -> "start stop" of each
// entry and the first question. A minus offset asks before a start reaches
// zero; No leaves that entry and every later one, and the later steps run.
TEST_F(TimeCorrectionTest, OffsetStretchDurationsAndIntervalsInTheirOrder) {
    auto with = [](auto change) {
        TimeCorrection r;
        change(r);
        return r;
    };
    using Times = std::vector<std::string>;
    const std::vector<std::string> two = {"Hello", "World!"}, one = {"x"};
    const struct {
        std::vector<std::pair<Times, std::vector<std::string>>> entries;
        TimeCorrection request;
        Times expected;
        std::string question = "";
        std::deque<Answer> answers = {};
    } cases[] = {
        {{{{"00:00:01,000", "00:00:01,500"}, one},
          {{"00:00:02,000", "00:00:04,000"}, one},
          {{"00:00:05,000", "00:00:06,000"}, one}},
         with([](auto& r) { r.Offset = tc("00:00:02,000"), r.MinusOffset = true; }),
         {"00:00:00,000 00:00:00,000", "00:00:00,000 00:00:02,000", "00:00:03,000 00:00:04,000"},
         "Warning : Time Code 00:00:01,000 will be reduced to 00:00:00,000\r"
         "Do you want to continue ? ( No undo ! )",
         {Answer::Yes, Answer::Yes}},
        {{{{"00:00:10,000", "00:00:11,000"}, one},
          {{"00:00:01,000", "00:00:02,000"}, one},
          {{"00:00:20,000", "00:00:21,000"}, one}},
         with([](auto& r) {
             r.Offset = tc("00:00:05,000"), r.MinusOffset = true, r.MinInterval = 500;
         }),
         {"00:00:05,000 00:00:06,000", "00:00:01,000 00:00:02,000", "00:00:20,000 00:00:21,000"},
         "Warning : Time Code 00:00:01,000 will be reduced to 00:00:00,000\r"
         "Do you want to continue ? ( No undo ! )",
         {Answer::No}},
        // Refused stretches leave the times and let the other steps run.
        {{{{"00:00:10,000", "00:00:12,000"}, one}},
         with([](auto& r) {
             r.Stretch = tc("00:00:20,000"), r.MinusStretch = true, r.ChangeDurations = true;
             r.Method = DurationMethod::Fixed, r.FixedDuration = 1000;
         }),
         {"00:00:10,000 00:00:11,000"},
         "You can't make a minus time Stretch with a time\r"
         "that is larger than the total file time !",
         {Answer::Ok}},
        {{{{"00:00:00,000", "00:00:02,000"}, one}},
         with([](auto& r) { r.Stretch = tc("00:00:05,000"); }),
         {"00:00:00,000 00:00:02,000"},
         zeroStretchMessage(),
         {Answer::Ok}},
        {{},
         with([](auto& r) { r.Offset = r.Stretch = tc("00:00:01,000"), r.MinusOffset = true; }),
         {}},
        {{{{"00:00:01,000", "00:00:01,500"}, one}},
         with([](auto& r) { r.Offset = tc("00:00:02,000"); }),
         {"00:00:03,000 00:00:03,500"}},
        // Scaled about zero by (last start - 5 s) / last start, rounding halves to even.
        {{{{"00:25:00,000", "00:25:02,000"}, one}, {{"00:50:00,000", "00:50:01,000"}, one}},
         with([](auto& r) { r.Stretch = tc("00:00:05,000"), r.MinusStretch = true; }),
         {"00:24:57,500 00:24:59,497", "00:49:55,000 00:49:55,998"}},
        {{{{"00:00:00,001", "00:00:00,003"}, one}, {{"00:00:00,002", "00:00:00,005"}, one}},
         with([](auto& r) { r.Stretch = tc("00:00:00,001"); }), // x 1.5
         {"00:00:00,002 00:00:00,004", "00:00:00,003 00:00:00,008"}},
        {{{{"00:00:10,000", "00:00:12,000"}, one}, {{"00:00:20,000", "00:00:22,000"}, one}},
         with([](auto& r) { r.Stretch = tc("00:00:20,000"), r.MinusStretch = true; }),
         {"00:00:00,000 00:00:00,000", "00:00:00,000 00:00:00,000"}},
        // 500 ms + 50 per character, up to the next start.
        {{{{"00:00:10,000", "00:00:10,100"}, two}, {{"00:00:20,000", "00:00:20,100"}, one}},
         with([](auto& r) { r.ChangeDurations = true; }),
         {"00:00:10,000 00:00:11,050", "00:00:20,000 00:00:20,550"}},
        {{{{"00:00:10,000", "00:00:10,100"}, two}, {{"00:00:10,800", "00:00:10,900"}, one}},
         with([](auto& r) { r.ChangeDurations = true; }),
         {"00:00:10,000 00:00:10,800", "00:00:10,800 00:00:11,350"}},
        // Fixed: the last entry gets its full time.
        {{{{"00:00:01,000", "00:00:01,100"}, one},
          {{"00:00:03,000", "00:00:03,100"}, one},
          {{"00:00:10,000", "00:00:10,100"}, one}},
         with([](auto& r) { r.ChangeDurations = true, r.Method = DurationMethod::Fixed; }),
         {"00:00:01,000 00:00:03,000", "00:00:03,000 00:00:07,000", "00:00:10,000 00:00:14,000"}},
        {{{{"00:00:10,000", "00:00:10,100"}, one}},
         with([](auto& r) {
             r.ChangeDurations = true, r.Method = DurationMethod::Fixed, r.FixedDuration = 65535;
         }),
         {"00:00:10,000 00:01:15,535"}},
        // Durations first, then the interval; never after the last entry.
        {{{{"00:00:10,000", "00:00:12,000"}, one},
          {{"00:00:20,000", "00:00:20,500"}, one},
          {{"00:00:40,000", "00:00:41,000"}, one}},
         with([](auto& r) {
             r.ChangeDurations = true, r.Method = DurationMethod::Fixed, r.FixedDuration = 15000;
             r.MinInterval = 100;
         }),
         {"00:00:10,000 00:00:19,900", "00:00:20,000 00:00:35,000", "00:00:40,000 00:00:55,000"}},
        {{{{"00:00:08,000", "00:00:10,000"}, one},
          {{"00:00:10,050", "00:00:12,000"}, one},
          {{"00:00:12,010", "00:00:13,000"}, one}},
         with([](auto& r) { r.MinInterval = 100; }),
         {"00:00:08,000 00:00:09,950", "00:00:10,050 00:00:11,910", "00:00:12,010 00:00:13,000"}},
    };
    for (const auto& c : cases) {
        doc.store().clear();
        for (const auto& [times, lines] : c.entries)
            add(doc, times[0].c_str(), times[1].c_str(), lines);
        dialogs.questions.clear();
        dialogs.answers = c.answers;
        CorrectTime(doc, c.request, dialogs, messages);
        Times got;
        for (int i = 1; i <= doc.NbSubTitle(); ++i) got.push_back(start(i) + " " + stop(i));
        EXPECT_EQ(got, c.expected);
        EXPECT_TRUE(dialogs.answers.empty());
        EXPECT_EQ(dialogs.questions.empty() ? "" : dialogs.questions[0].text, c.question);
        if (!got.empty()) {
            EXPECT_EQ(doc.list().line(1), start(1) + " --> " + stop(1));
        }
    }
}
