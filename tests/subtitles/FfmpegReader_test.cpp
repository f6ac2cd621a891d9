#include "SubtitleTestSupport.h"
#include "base/TextCodec.h"
#include "subtitles/DocumentFlows.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;

// ffmpeg is an independent reader of five of our formats: the plain native
// format is SubRip to it, and it has SubViewer 1 and 2, WebVTT and ASS demuxers. It converts
// each file to SubRip, whose cues are compared with what the store holds.

namespace {

struct Cue {
    int64_t start = 0, end = 0; // ms
    std::string text;           // UTF-8, lines joined by '\n'
    bool operator==(const Cue&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Cue& c) {
    return os << c.start << "->" << c.end << " [" << c.text << "]";
}

bool haveFfmpeg() {
    return std::system("ffmpeg -version > /dev/null 2>&1") == 0;
}

std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) {
        status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    status = ::pclose(p);
    return out;
}

int64_t srtTime(const std::string& s) {
    return TimeCodeToMs(StrToTimeCode(s));
}

// Cues of ffmpeg's SubRip output.
std::vector<Cue> parseSrt(const std::string& text) {
    std::vector<Cue> cues;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t arrow = line.find(" --> ");
        if (arrow == std::string::npos) continue;
        Cue c;
        c.start = srtTime(line.substr(0, arrow));
        c.end = srtTime(line.substr(arrow + 5));
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) break;
            if (!c.text.empty()) c.text += '\n';
            c.text += line;
        }
        cues.push_back(c);
    }
    return cues;
}

class FfmpegTest : public ::testing::Test {
protected:
    FixedBannerClock clock{""};
    SubtitleDocument doc{clock};
    TempDir dir;

    void SetUp() override {
        if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        add(doc, "00:00:01,239", "00:00:03,000", {"First line", "second line"});
        add(doc, "00:00:03,000", "00:00:04,750", {"Touching the one before"});
        add(doc, "00:00:06,501", "00:00:09,999",
            {"Caf\xE9 cr\xE8me, \x93quoted\x94", "two", "three"});
        add(doc, "00:01:59,500", "00:02:01,000", {"Half a second"});
        add(doc, "01:00:00,010", "01:00:02,020", {"An hour in"});
    }

    std::vector<Cue> readWithFfmpeg(TOutputFormat format, const std::string& name,
                                    TextEncoding encoding = TextEncoding::Cp1252) {
        doc.options().Encoding = encoding;
        doc.setOutputFormat(format);
        doc.RefreshList();
        std::filesystem::path file = dir / name;
        EXPECT_TRUE(SaveDocumentTo(doc, file));
        int status = 0;
        const std::string charset = encoding == TextEncoding::Utf8 ? "UTF-8" : "cp1252";
        std::string out = run("ffmpeg -nostdin -hide_banner -loglevel error -sub_charenc " +
                                  charset + " -i '" + file.string() + "' -f srt - 2>&1",
                              status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out.find("rror"), std::string::npos) << out;
        return parseSrt(out);
    }

    std::string utf8Lines(const TSub& e, const char* afterFirst, const char* later) {
        std::string s;
        for (int k = 0; k < e.NbLines; ++k) {
            if (k == 1) s += afterFirst;
            if (k > 1) s += later;
            s += e.Lines[size_t(k)];
        }
        return cp1252ToUtf8(s);
    }
};

} // namespace

TEST_F(FfmpegTest, NativePlainFormatReadsAsSubRipWithExactTimesAndText) {
    std::vector<Cue> cues = readWithFfmpeg(ofNative, "film.vtx");
    std::vector<Cue> expected;
    for (const TSub& e : doc.store().entries())
        expected.push_back({TimeCodeToMs(e.Start), TimeCodeToMs(e.Stop), utf8Lines(e, "\n", "\n")});
    EXPECT_EQ(cues, expected);
}

TEST_F(FfmpegTest, Utf8FilesReadWithTheSameCharacters) {
    add(doc, "01:00:03,000", "01:00:04,000", {"\xC0 bient\xF4t, \xAB \x9Cuvre \xBB \x80 \x85"});
    std::vector<Cue> expected;
    for (const TSub& e : doc.store().entries())
        expected.push_back({TimeCodeToMs(e.Start), TimeCodeToMs(e.Stop), utf8Lines(e, "\n", "\n")});
    ASSERT_EQ(expected.back().text, "\xC3\x80 bient\xC3\xB4t, \xC2\xAB \xC5\x93uvre \xC2\xBB "
                                    "\xE2\x82\xAC \xE2\x80\xA6");
    EXPECT_EQ(readWithFfmpeg(ofNative, "film.vtx", TextEncoding::Utf8), expected);
    for (Cue& c : expected) c.start = c.start / 10 * 10, c.end = c.end / 10 * 10;
    EXPECT_EQ(readWithFfmpeg(ofSubViewer2, "film.sub", TextEncoding::Utf8), expected);
}

TEST_F(FfmpegTest, WebVttAndAssReadWithTheSameTimesAndText) {
    add(doc, "01:00:03,000", "01:00:04,004", {"A sign on top"}, {200, 40, 520, 80});
    std::vector<Cue> expected;
    for (const TSub& e : doc.store().entries())
        expected.push_back({TimeCodeToMs(e.Start), TimeCodeToMs(e.Stop), utf8Lines(e, "\n", "\n")});
    EXPECT_EQ(readWithFfmpeg(ofWebVtt, "film.vtt", TextEncoding::Utf8), expected);
    // Hundredths, rounded; ffmpeg hands the top alignment on.
    for (Cue& c : expected) c.start = (c.start + 5) / 10 * 10, c.end = (c.end + 5) / 10 * 10;
    expected.back().text = "{\\an8}" + expected.back().text;
    std::vector<Cue> cues = readWithFfmpeg(ofAss, "film.ass", TextEncoding::Utf8);
    // ffmpeg's SubRip writer spells out the style's font size.
    for (Cue& c : cues) c.text = std::regex_replace(c.text, std::regex("</?font[^>]*>"), "");
    EXPECT_EQ(cues, expected);
}

TEST_F(FfmpegTest, SubViewer2ReadsWithTimesCutToHundredths) {
    std::vector<Cue> cues = readWithFfmpeg(ofSubViewer2, "film.sub");
    // The header's empty first subtitle (0.00 to 0.10) has no text: ffmpeg drops it.
    std::vector<Cue> expected;
    for (const TSub& e : doc.store().entries())
        expected.push_back({TimeCodeToMs(e.Start) / 10 * 10, TimeCodeToMs(e.Stop) / 10 * 10,
                            utf8Lines(e, "\n", "\n")});
    EXPECT_EQ(cues, expected);
}

TEST_F(FfmpegTest, SubViewer1ShowsEachTextUntilTheNextTimeInWholeSeconds) {
    std::vector<Cue> cues = readWithFfmpeg(ofSubViewer, "film1.sub");
    // Rounded starts; each text lasts to the next bracketed time, which is the
    // clearing time (the previous stop) when there is a gap.
    std::vector<Cue> expected;
    const auto& e = doc.store().entries();
    for (size_t i = 0; i < e.size(); ++i) {
        Cue c{TimeCodeToMs(RoundTimeCode(e[i].Start)), 0, utf8Lines(e[i], "\n", " ")};
        if (i + 1 < e.size()) {
            int64_t clear = TimeCodeToMs(RoundTimeCode(e[i].Stop));
            int64_t next = TimeCodeToMs(RoundTimeCode(e[i + 1].Start));
            c.end = clear < next ? clear : next;
        }
        expected.push_back(c);
    }
    ASSERT_EQ(cues.size(), expected.size());
    // The last text has no time after it but the trailer: ffmpeg leaves its end open.
    cues.back().end = 0;
    EXPECT_EQ(cues, expected);
}
