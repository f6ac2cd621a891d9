// --list on every fixture disc against what ffprobe and the subpicture scan
// found when the disc was made: the only test of the demuxer and the
// decoder on streams that real authoring tools and muxers wrote.
#include "CliRun.h"
#include "TempFolder.h"
#include "subtitles/TimeCode.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// Each listed subpicture: start and stop in ms, X1, Y1, X2, Y2, bytes.
using Row = std::array<int64_t, 7>;
std::vector<Row> list(std::vector<std::string> args) {
    args.insert(args.begin(), "--list");
    const CliRun r = ripHere(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<Row> rows;
    for (const std::string& row : rowsOf(r.out)) {
        std::istringstream f(row);
        std::string number, start, stop;
        Row x{};
        f >> number >> start >> stop >> x[2] >> x[3] >> x[4] >> x[5] >> x[6];
        x[0] = timeCodeToMs(mirtal::strToTimeCode(start));
        x[1] = timeCodeToMs(mirtal::strToTimeCode(stop));
        rows.push_back(x);
    }
    return rows;
}

// The columns of a tab-separated fixture table, by name.
std::map<std::string, std::vector<int64_t>> table(const fs::path& file) {
    std::istringstream in(readText(file));
    std::string line, cell;
    std::getline(in, line);
    std::vector<std::string> names;
    for (std::istringstream h(line); std::getline(h, cell, '\t');) names.push_back(cell);
    std::map<std::string, std::vector<int64_t>> columns;
    for (std::istringstream f; std::getline(in, line);)
        for (f = std::istringstream(line); const std::string& name : names)
            if (std::getline(f, cell, '\t')) columns[name].push_back(std::atoll(cell.c_str()));
    return columns;
}

} // namespace

TEST(ListTruth, EveryStreamOfEveryDiscListsTheDiscsUnits) {
    struct Case {
        std::string disc;
        std::vector<std::string> args;
        int k; // the substream of the truth tables
    };
    std::vector<Case> cases = {{"wide", {"--stream", "fr"}, 2},
                               {"wide", {"-s", "1", "--view", "letterbox"}, 1},
                               {"wide", {"--stream", "0x23"}, 3}};
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
        auto subs = table(base / ("subs_s" + k + ".tsv")),
             scan = table(base / ("spuscan_s" + k + ".tsv"));
        std::vector<Row> truth;
        for (size_t i = 0; i < subs["start_ms"].size(); ++i)
            truth.push_back({subs["start_ms"][i], subs["stop_ms"][i], scan["x1"].at(i),
                             scan["y1"].at(i), scan["x2"].at(i), scan["y2"].at(i),
                             subs["size"][i]});
        std::vector<Row> rows = list(args);
        ASSERT_EQ(rows.size(), truth.size());
        for (size_t i = 0; i < rows.size(); ++i) // times rounded either way
            for (size_t f : {0, 1})
                if (std::abs(rows[i][f] - truth[i][f]) <= 1) rows[i][f] = truth[i][f];
        EXPECT_EQ(rows, truth);
    }
}

// First packets without a PTS (timed by their pack) and stuffed pack
// headers, as other muxers write them; and a Last TimeCode moves every time
// (the first pack has SCR 0).
TEST(ListTruth, UnstampedPacketsAreTimedByTheirPackAndTimeCodeMovesEveryTime) {
    std::istringstream expected(readText(kData / "variants" / "unstamped.txt"));
    std::vector<int64_t> starts, listed, plain, shifted;
    for (int64_t start; expected >> start;) starts.push_back(start);
    for (const Row& row : list({(kData / "variants" / "unstamped.vob").string()}))
        listed.push_back(row[0]);
    EXPECT_EQ(listed, starts);
    const std::string vob = discFile("pal_en", "VTS_01_1.VOB").string();
    for (const Row& row : list({vob})) plain.push_back(row[0] + 3'600'250);
    for (const Row& row : list({vob, "--time-code", "01:00:00,250"})) shifted.push_back(row[0]);
    EXPECT_EQ(shifted, plain);
    EXPECT_EQ(plain.size(), 46u);
}
