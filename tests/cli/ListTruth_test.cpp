// --list on every fixture disc against what ffprobe and the subpicture scan
// of the disc found when it was made: the only test of the demuxer and the
// decoder on streams that real authoring tools and muxers wrote.
#include "CliRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

struct Listed {
    int64_t startMs = -1, stopMs = -1;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    size_t bytes = 0;
};

int64_t ms(const std::string& tc) {
    int h, m, s, f;
    if (std::sscanf(tc.c_str(), "%d:%d:%d,%d", &h, &m, &s, &f) != 4) return -1;
    return ((h * 60LL + m) * 60 + s) * 1000 + f;
}

std::vector<Listed> list(std::vector<std::string> args) {
    args.insert(args.begin(), "--list");
    const CliRun r = ripHere(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<Listed> rows;
    for (const std::string& row : rowsOf(r.out)) {
        std::istringstream f(row);
        Listed l;
        std::string number, start, stop;
        f >> number >> start >> stop >> l.x1 >> l.y1 >> l.x2 >> l.y2 >> l.bytes;
        l.startMs = ms(start);
        l.stopMs = ms(stop);
        rows.push_back(l);
    }
    return rows;
}

// Rows of a tab-separated fixture table, by column name.
std::vector<std::map<std::string, std::string>> table(const fs::path& path) {
    std::vector<std::map<std::string, std::string>> rows;
    std::istringstream in(readText(path));
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        std::istringstream f(line);
        std::map<std::string, std::string> row;
        size_t i = 0;
        for (std::string cell; std::getline(f, cell, '\t'); ++i)
            if (names.size() < i + 1)
                names.push_back(cell);
            else
                row[names[i]] = cell;
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

// A key=value line of a fixture's facts file.
std::string fact(const fs::path& file, const std::string& key) {
    std::istringstream in(readText(file));
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
    return {};
}

} // namespace

TEST(ListTruth, EveryStreamOfEveryDiscListsTheDiscsUnits) {
    struct Case {
        std::string disc;
        std::vector<std::string> args;
        int k;                // the substream of the truth tables
        bool authored = true; // its subs_sK.tsv has an SRT file to compare with
    };
    std::vector<Case> cases = {
        {"wide", {"--stream", "fr"}, 2, false},
        {"wide", {"-s", "1", "--view", "letterbox"}, 1, false},
        {"wide", {"--stream", "0x23"}, 3, false},
    };
    for (const char* disc : {"pal_en", "pal_en_fr", "ntsc", "split"})
        for (int k = 0;
             fs::exists(kData / "discs" / disc / ("subs_s" + std::to_string(k) + ".tsv")); ++k)
            cases.push_back({disc, {"--stream", std::to_string(k + 1)}, k});
    for (const Case& c : cases) {
        const fs::path base = kData / "discs" / c.disc;
        const std::string k = std::to_string(c.k);
        SCOPED_TRACE(c.disc + " stream " + k);
        std::vector<std::string> args = c.args;
        args.push_back((base / "VIDEO_TS" / "VTS_01_0.IFO").string());
        const std::vector<Listed> rows = list(args);
        const auto truth = table(base / ("subs_s" + k + ".tsv"));
        const auto scan = table(base / ("spuscan_s" + k + ".tsv"));
        ASSERT_FALSE(truth.empty());
        ASSERT_EQ(rows.size(), truth.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_NEAR(rows[i].startMs, std::stoll(truth[i].at("start_ms")), 1) << i;
            EXPECT_NEAR(rows[i].stopMs, std::stoll(truth[i].at("stop_ms")), 1) << i;
            EXPECT_EQ(rows[i].bytes, std::stoul(truth[i].at("size"))) << i;
            EXPECT_EQ(rows[i].x1, std::stoi(scan[i].at("x1"))) << i;
            EXPECT_EQ(rows[i].y1, std::stoi(scan[i].at("y1"))) << i;
            EXPECT_EQ(rows[i].x2, std::stoi(scan[i].at("x2"))) << i;
            EXPECT_EQ(rows[i].y2, std::stoi(scan[i].at("y2"))) << i;
        }
        if (!c.authored) continue;
        // From the first video frame, as the film is played: the times the
        // subtitles were authored with, within one frame.
        args.push_back("--from-video-start");
        const std::vector<Listed> played = list(args);
        std::istringstream srt(readText(kData / fact(base / "disc.txt", "stream" + k + "_srt")));
        std::vector<int64_t> starts;
        for (std::string line; std::getline(srt, line);)
            if (has(line, " --> ")) starts.push_back(ms(line.substr(0, 12)));
        ASSERT_EQ(played.size(), starts.size());
        for (size_t i = 0; i < played.size(); ++i)
            EXPECT_NEAR(played[i].startMs, starts[i], 40) << i;
    }
}

// First packets without a PTS (timed by their pack) and stuffed pack
// headers, as other muxers write them.
TEST(ListTruth, UnstampedPacketsAreTimedByTheirPack) {
    std::istringstream expected(readText(kData / "variants" / "unstamped.txt"));
    std::vector<int64_t> starts, listed;
    for (int64_t start; expected >> start;) starts.push_back(start);
    for (const Listed& row : list({(kData / "variants" / "unstamped.vob").string()}))
        listed.push_back(row.startMs);
    EXPECT_EQ(listed, starts);
    EXPECT_EQ(listed.size(), 7u);
}
