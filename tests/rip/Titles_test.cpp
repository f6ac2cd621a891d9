#include "TempFolder.h"
#include "rip/Titles.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

std::string describe(const std::vector<TitleCell>& cells) {
    std::string s;
    for (const TitleCell& c : cells)
        s += std::to_string(c.firstPack) + "-" + std::to_string(c.lastPack) + "/" +
             std::to_string(c.angle) + " ";
    return s;
}

} // namespace

TEST(Titles, TheTitlesOfATitleSetWithTheirCellsAndChapters) {
    const std::filesystem::path discs = std::filesystem::path(MIRTAL_TEST_DATA) / "discs";
    const auto titles = readTitles(discs / "episodes/VIDEO_TS/VTS_01_0.IFO");
    ASSERT_TRUE(titles) << titles.error;
    std::string text;
    for (const Title& t : *titles) {
        text += std::to_string(t.number) + ": " + std::to_string(t.lengthMs) + " ms, " +
                describe(t.cells) + "chapters";
        for (const TitleChapter& c : t.chapters)
            text += " " + std::to_string(c.firstCell) + "@" + std::to_string(c.startMs);
        text += "\n";
    }
    EXPECT_EQ(text, "1: 19000 ms, 0-134/0 135-251/0 chapters 0@0 1@10200\n"
                    "2: 20000 ms, 252-386/0 387-519/0 chapters 0@0 1@10200\n");
    EXPECT_FALSE(readTitles(discs / "episodes/VIDEO_TS/VIDEO_TS.IFO"));
    EXPECT_FALSE(readTitles(discs / "episodes/VIDEO_TS/VTS_02_0.IFO"));
}

// A title of three chapters whose second is an angle block of two angles.
TEST(Titles, AJobReadsItsChaptersAndOneAngle) {
    Title t;
    t.angles = 2;
    t.cells = {{0, 9, 1000, 0}, {10, 19, 1000, 1}, {20, 29, 1000, 2}, {30, 39, 1000, 0}};
    t.chapters = {{0, 0}, {1, 1000}, {3, 2000}};
    EXPECT_EQ(describe(t.cellsToRead(1, 1, 3)), "0-9/0 10-19/1 30-39/0 ");
    EXPECT_EQ(describe(t.cellsToRead(2, 2, 2)), "20-29/2 ");
    EXPECT_EQ(describe(t.cellsToRead(1, 3, 3)), "30-39/0 ");
    EXPECT_EQ(describe(t.cellsToRead(1, 2, 4)), "");
    EXPECT_EQ(describe(t.cellsToRead(1, 0, 1)), "");
}

TEST(Titles, CellsAreCutWhereTheirPacksCrossIntoTheNextFile) {
    const std::vector<std::filesystem::path> vobs = {"VTS_01_1.VOB", "VTS_01_2.VOB"};
    const auto stretches =
        stretchesOf(vobs, {100, 50}, {{10, 19}, {90, 109}, {140, 160}, {150, 155}});
    const std::vector<FileStretch> want = {
        {vobs[0], {10, 20}}, {vobs[0], {90, 100}}, {vobs[1], {0, 10}}, {vobs[1], {40, 50}}};
    EXPECT_EQ(stretches, want);
}

// No Debian tool authors angles: the first title's two cells made an angle
// block by hand (the first byte of each cell's playback entry: block mode
// first / last, block type angle).
TEST(Titles, TheCellsOfAnAngleBlockAreTheAnglesOfTheTitle) {
    TempFolder d;
    const std::filesystem::path disc =
        std::filesystem::path(MIRTAL_TEST_DATA) / "discs/episodes/VIDEO_TS";
    std::filesystem::copy(disc, d.path());
    std::string ifo = readText(d / "VTS_01_0.IFO");
    ifo[4374] = char(ifo[4374] | 0x50);
    ifo[4374 + 24] = char(ifo[4374 + 24] | 0xD0);
    writeText(d / "VTS_01_0.IFO", ifo);
    const auto titles = readTitles(d / "VTS_01_0.IFO");
    ASSERT_TRUE(titles) << titles.error;
    const Title& t = titles->front();
    EXPECT_EQ(std::tuple(t.angles, describe(t.cells), t.lengthMs),
              std::tuple(2, std::string("0-134/1 135-251/2 "), 10200u));
}
