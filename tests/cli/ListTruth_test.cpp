// --list on every fixture disc against what ffprobe and the subpicture scan
// found when the disc was made: the only test of the demuxer and the
// decoder on streams that real authoring tools and muxers wrote.
#include "CliRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

int64_t ms(const std::string& tc) {
    int h = 0, m = 0, s = 0, f = 0;
    std::sscanf(tc.c_str(), "%d:%d:%d,%d", &h, &m, &s, &f);
    return ((h * 60LL + m) * 60 + s) * 1000 + f;
}

// Each listed subpicture: start and stop in ms, X1, Y1, X2, Y2, bytes.
std::vector<std::vector<int64_t>> list(std::vector<std::string> args) {
    args.insert(args.begin(), "--list");
    const CliRun r = ripHere(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::vector<int64_t>> rows;
    for (const std::string& row : rowsOf(r.out)) {
        std::istringstream f(row);
        std::string number, start, stop;
        int64_t x1, y1, x2, y2, bytes;
        f >> number >> start >> stop >> x1 >> y1 >> x2 >> y2 >> bytes;
        rows.push_back({ms(start), ms(stop), x1, y1, x2, y2, bytes});
    }
    return rows;
}

// A column of a tab-separated fixture table.
std::vector<int64_t> column(const fs::path& table, const std::string& name) {
    std::istringstream in(readText(table));
    std::string line, cell;
    std::getline(in, line);
    std::istringstream header(line);
    size_t at = 0;
    while (std::getline(header, cell, '\t') && cell != name) ++at;
    std::vector<int64_t> values;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        for (size_t i = 0; i <= at; ++i) std::getline(f, cell, '\t');
        values.push_back(std::stoll(cell));
    }
    return values;
}

} // namespace

TEST(ListTruth, EveryStreamOfEveryDiscListsTheDiscsUnits) {
    struct Case {
        std::string disc;
        std::vector<std::string> args;
        int k;                // the substream of the truth tables
        bool authored = true; // disc.txt names the SRT file it was made from
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
        const auto rows = list(args);
        const fs::path subs = base / ("subs_s" + k + ".tsv"),
                       scan = base / ("spuscan_s" + k + ".tsv");
        const std::vector<int64_t> truth[] = {column(subs, "start_ms"), column(subs, "stop_ms"),
                                              column(scan, "x1"),       column(scan, "y1"),
                                              column(scan, "x2"),       column(scan, "y2"),
                                              column(subs, "size")};
        ASSERT_EQ(rows.size(), truth[0].size());
        for (size_t i = 0; i < rows.size(); ++i)
            for (size_t f = 0; f < 7; ++f)
                EXPECT_NEAR(rows[i][f], truth[f][i], f < 2 ? 1 : 0)
                    << "row " << i << " field " << f;
        if (!c.authored) continue;
        // From the first video frame, as the film is played: the times the
        // subtitles were authored with, within one frame.
        args.push_back("--from-video-start");
        const auto played = list(args);
        std::istringstream facts(readText(base / "disc.txt")), srt;
        for (std::string line; std::getline(facts, line);)
            if (line.starts_with("stream" + k + "_srt="))
                srt.str(readText(kData / line.substr(line.find('=') + 1)));
        std::vector<int64_t> starts;
        for (std::string line; std::getline(srt, line);)
            if (has(line, " --> ")) starts.push_back(ms(line.substr(0, 12)));
        ASSERT_EQ(played.size(), starts.size());
        for (size_t i = 0; i < played.size(); ++i) EXPECT_NEAR(played[i][0], starts[i], 40) << i;
    }
}

// First packets without a PTS (timed by their pack) and stuffed pack
// headers, as other muxers write them.
TEST(ListTruth, UnstampedPacketsAreTimedByTheirPack) {
    std::istringstream expected(readText(kData / "variants" / "unstamped.txt"));
    std::vector<int64_t> starts, listed;
    for (int64_t start; expected >> start;) starts.push_back(start);
    for (const auto& row : list({(kData / "variants" / "unstamped.vob").string()}))
        listed.push_back(row[0]);
    EXPECT_EQ(listed, starts);
    EXPECT_EQ(listed.size(), 7u);
}
