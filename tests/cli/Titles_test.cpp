#include "CliRun.h"
#include "TempFolder.h"
#include "subtitles/TimeCode.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

const std::string kEpisodes = discFile("episodes", "VTS_01_0.IFO").string();

// "start stop" in ms per row of a --list, or of a title's truth (its times
// less `fromMs`, the rows starting before it left out).
std::vector<std::pair<int, int>> listed(const std::string& out) {
    std::vector<std::pair<int, int>> times;
    for (const std::string& row : rowsOf(out))
        times.emplace_back(timeCodeToMs(strToTimeCode(row.substr(8, 12))),
                           timeCodeToMs(strToTimeCode(row.substr(22, 12))));
    return times;
}
std::vector<std::pair<int, int>> truth(int title, int fromMs = 0) {
    std::ifstream tsv(kData / "discs" / "episodes" / ("subs_t" + std::to_string(title) + ".tsv"));
    std::vector<std::pair<int, int>> times;
    std::string line;
    std::getline(tsv, line);
    for (int index, pts, start, stop; tsv >> index >> pts >> start >> stop;) {
        std::getline(tsv, line);
        if (start >= fromMs) times.emplace_back(start - fromMs, stop - fromMs);
    }
    return times;
}

void expectNear(const std::vector<std::pair<int, int>>& got,
                const std::vector<std::pair<int, int>>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(std::abs(got[i].first - want[i].first) <= 40 &&
                    std::abs(got[i].second - want[i].second) <= 40)
            << what << " row " << i << ": " << got[i].first << " for " << want[i].first;
}

} // namespace

TEST(CliTitles, ATitleOrItsChaptersAreTimedFromTheirStart) {
    const std::string list = ripHere({"--list-titles", kEpisodes}).out;
    EXPECT_NE(list.find("       2  00:00:20,000         2       1      2\n"
                        "#         chapters at 00:00:00,000 00:00:10,200\n"),
              std::string::npos)
        << list;
    // The whole title set runs the second episode on from the first.
    EXPECT_EQ(listed(ripHere({"--list", kEpisodes}).out).size(), 11u);
    for (int t : {1, 2})
        expectNear(listed(ripHere({"--list", "--dvd-title", std::to_string(t), kEpisodes}).out),
                   truth(t), "title " + std::to_string(t));
    const int chapter2 = 10200;
    expectNear(listed(ripHere({"--list", "--dvd-title", "2", "--chapters", "2-2", kEpisodes}).out),
               truth(2, chapter2), "chapter 2");
}

TEST(CliTitles, EveryTitleWritesAFileOfItsOwn) {
    TempFolder d;
    const CliRun run = ripHere({"--action", "ocr", "--matrix", (d / "m.qmx").string(), "--no-ask",
                                "--no-save-matrix", "--dvd-title", "all", "-o",
                                (d / "ep.srt").string(), kEpisodes});
    EXPECT_EQ(run.status, cli::kExitOk) << run.err;
    for (auto [file, entries] : {std::pair("ep_title1.srt", 5), std::pair("ep_title2.srt", 6)}) {
        const std::string text = readText(d / file);
        EXPECT_EQ(std::count(text.begin(), text.end(), '>'), entries) << file;
    }
}

TEST(CliTitles, ChoicesOutsideTheTitleSetAreRefused) {
    const std::string vob = fixture("variants/ffmpeg.vob");
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"--dvd-title", "3", kEpisodes}, "--dvd-title: expected 1..2 or all, got 3"},
        {{"--dvd-title", "1", "--chapters", "2-3", kEpisodes},
         "--chapters: title 1 has chapters 1..2, got 2-3"},
        {{"--dvd-title", "1", "--angle", "2", kEpisodes}, "--angle: title 1 has angles 1..1"},
        {{"--chapters", "1", kEpisodes}, "--chapters chooses within a title"},
        {{"--dvd-title", "1", vob}, "give its VTS_nn_0.IFO as the input"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--list"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = ripHere(args);
        EXPECT_EQ(run.status, cli::kExitUsage) << c.said;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
}
