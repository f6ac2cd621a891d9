#include "SubtitleTestSupport.h"
#include "subtitles/TimeCorrection.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;

namespace {

using TimeCorrectionTest = DocumentTest;

std::string full(const std::string& t) {
    return std::string("00:00:00,000").substr(0, 12 - t.size()) + t;
}

// "1,000-1,500 1:02,000-1:04,000+" -> the same with whole time codes; "+" marks
// an entry of two lines.
std::string expand(const std::string& list) {
    std::string out;
    std::istringstream in(list);
    for (std::string e; in >> e;) {
        const size_t dash = e.find('-'), plus = e.find('+');
        out += full(e.substr(0, dash)) + "-" + full(e.substr(dash + 1, plus - dash - 1)) +
               (plus == std::string::npos ? " " : "+ ");
    }
    return out;
}

// "offset=-2,000 stretch=5,000 durations fixed=1000 gap=100"; a minus time
// counts down.
TimeCorrection request(const std::string& text) {
    TimeCorrection r;
    std::istringstream in(text);
    for (std::string w; in >> w;) {
        const size_t eq = std::min(w.find('='), w.size());
        const std::string key = w.substr(0, eq), value = w.substr(std::min(eq + 1, w.size()));
        const bool minus = value.starts_with('-');
        if (key == "offset")
            r.Offset = tc(full(value.substr(minus)).c_str()), r.MinusOffset = minus;
        if (key == "stretch")
            r.Stretch = tc(full(value.substr(minus)).c_str()), r.MinusStretch = minus;
        if (key == "durations" || key == "fixed") r.ChangeDurations = true;
        if (key == "fixed") r.Method = DurationMethod::Fixed;
        if (key == "fixed" && !value.empty()) r.FixedDuration = uint16_t(std::stoi(value));
        if (key == "gap") r.MinInterval = uint16_t(std::stoi(value));
    }
    return r;
}

} // namespace

// {entries} + request + the answers (yes, no, ok) to its questions -> the
// entries' times and the first question. A minus offset asks before a start reaches zero; No
// leaves that entry and every later one, and the later steps run.
TEST_F(TimeCorrectionTest, OffsetStretchDurationsAndIntervalsInTheirOrder) {
    const std::string reduced = "Warning : Time Code 00:00:01,000 will be reduced to "
                                "00:00:00,000\rDo you want to continue ? ( No undo ! )";
    const std::string stretchTooLarge = "You can't make a minus time Stretch with a time\r"
                                        "that is larger than the total file time !";
    const struct {
        const char *entries, *request, *expected, *answers = "";
        std::string question = "";
    } cases[] = {
        {"1,000-1,500 2,000-4,000 5,000-6,000", "offset=-2,000",
         "0,000-0,000 0,000-2,000 3,000-4,000", "yy", reduced},
        {"10,000-11,000 1,000-2,000 20,000-21,000", "offset=-5,000 gap=500",
         "5,000-6,000 1,000-2,000 20,000-21,000", "n", reduced},
        // Refused stretches leave the times and let the other steps run.
        {"10,000-12,000", "stretch=-20,000 fixed=1000", "10,000-11,000", "o", stretchTooLarge},
        {"0,000-2,000", "stretch=5,000", "0,000-2,000", "o", zeroStretchMessage()},
        {"", "offset=-1,000 stretch=1,000", ""},
        {"1,000-1,500", "offset=2,000", "3,000-3,500"},
        // Scaled about zero by (last start - 5 s) / last start, rounding halves to even.
        {"25:00,000-25:02,000 50:00,000-50:01,000", "stretch=-5,000",
         "24:57,500-24:59,497 49:55,000-49:55,998"},
        {"0,001-0,003 0,002-0,005", "stretch=0,001", "0,002-0,004 0,003-0,008"}, // x 1.5
        {"10,000-12,000 20,000-22,000", "stretch=-20,000", "0,000-0,000 0,000-0,000"},
        // 500 ms + 50 per character, up to the next start.
        {"10,000-10,100+ 20,000-20,100", "durations", "10,000-11,050+ 20,000-20,550"},
        {"10,000-10,100+ 10,800-10,900", "durations", "10,000-10,800+ 10,800-11,350"},
        // Fixed: the last entry gets its full time.
        {"1,000-1,100 3,000-3,100 10,000-10,100", "fixed", "1,000-3,000 3,000-7,000 10,000-14,000"},
        {"10,000-10,100", "fixed=65535", "10,000-1:15,535"},
        // Durations first, then the interval; never after the last entry.
        {"10,000-12,000 20,000-20,500 40,000-41,000", "fixed=15000 gap=100",
         "10,000-19,900 20,000-35,000 40,000-55,000"},
        {"8,000-10,000 10,050-12,000 12,010-13,000", "gap=100",
         "8,000-9,950 10,050-11,910 12,010-13,000"},
    };
    for (const auto& c : cases) {
        doc.store().clear();
        std::istringstream in(expand(c.entries));
        for (std::string e; in >> e;)
            add(doc, e.substr(0, 12).c_str(), e.substr(13, 12).c_str(),
                e.size() > 25 ? std::vector<std::string>{"Hello", "World!"}
                              : std::vector<std::string>{"x"});
        dialogs.questions.clear(), dialogs.answers.clear();
        for (const char* a = c.answers; *a; ++a)
            dialogs.answers.push_back(*a == 'y'   ? Answer::Yes
                                      : *a == 'n' ? Answer::No
                                                  : Answer::Ok);
        correctTime(doc, request(c.request), dialogs, messages);
        std::string got;
        for (const TSub& e : doc.store().entries())
            got +=
                timeCodeToStr(e.Start) + "-" + timeCodeToStr(e.Stop) + (e.NbLines > 1 ? "+ " : " ");
        EXPECT_EQ(got, expand(c.expected));
        EXPECT_TRUE(dialogs.answers.empty());
        EXPECT_EQ(dialogs.questions.empty() ? "" : dialogs.questions[0].text, c.question);
        if (!got.empty()) {
            EXPECT_EQ(doc.list().line(1), got.substr(0, 12) + " --> " + got.substr(13, 12));
        }
    }
}
