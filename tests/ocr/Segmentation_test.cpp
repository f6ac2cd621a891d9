#include "OcrTestBitmaps.h"
#include "ocr/Segmentation.h"

#include <gtest/gtest.h>
#include <random>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Segmented {
    Bitmap24 bitmap;
    LineTable table;
};

Segmented Segment(const Bitmap24& b, const OcrSettings& s = {}) {
    Segmented out{b, {}};
    SegmentSubpicture(out.bitmap, kText, s, out.table);
    return out;
}

Segmented Segment(const std::vector<std::string>& art, const OcrSettings& s = {}) {
    return Segment(Art(art), s);
}

CharBox Box(int x, int y, int w, int h, int relTop = 0, int italic = 0) {
    return CharBox{uint16_t(x), uint16_t(y),     uint16_t(w),
                   uint16_t(h), uint8_t(relTop), uint8_t(italic)};
}

// n blocks of 3 x 3 under each other, `gap` empty rows apart.
Bitmap24 StackedBlocks(int n, int gap, int height = 3) {
    Bitmap24 b(5, n * (height + gap), kBack);
    for (int i = 0; i < n; ++i)
        b.fillRect(1, i * (height + gap), 4, i * (height + gap) + height, kText);
    return b;
}

} // namespace

TEST(Segmentation, NoTextGivesNoLines) {
    auto s = Segment({"....", ".oo.", "...."});
    EXPECT_EQ(s.table.LineCount, 0);
    Segmented empty{Bitmap24(), {}};
    SegmentSubpicture(empty.bitmap, kText, {}, empty.table);
    EXPECT_EQ(empty.table.LineCount, 0);
}

TEST(Segmentation, CharactersAlternateMarkerColours) {
    auto s = Segment({
        ".##...........",
        ".##...###..##.",
        ".##...#.#..##.",
        ".##...###..##.",
    });
    ASSERT_EQ(s.table.LineCount, 1);
    const TextLine& line = s.table.Lines[0];
    ASSERT_EQ(line.CharCount, 3);
    EXPECT_EQ(line.Chars[0], Box(1, 0, 2, 4));
    EXPECT_EQ(line.Chars[1], Box(6, 1, 3, 3, 1)); // RelTop from the line's top
    EXPECT_EQ(line.Chars[2], Box(11, 1, 2, 3, 1));
    EXPECT_EQ(s.bitmap.pixel(1, 0), CharColorA);
    EXPECT_EQ(s.bitmap.pixel(7, 3), CharColorB);
    EXPECT_EQ(s.bitmap.pixel(12, 1), CharColorA);
    EXPECT_EQ(CountPixels(s.bitmap, kText), 0);
}

TEST(Segmentation, DotOfIAndColonJoinInTheColumnWalk) {
    auto s = Segment({
        ".##...##.",
        ".##...##.",
        ".........",
        ".##......",
        ".##......",
        ".##......",
        ".##...##.",
        ".##...##.",
    });
    ASSERT_EQ(s.table.LineCount, 1);
    const TextLine& line = s.table.Lines[0];
    ASSERT_EQ(line.CharCount, 2);
    EXPECT_EQ(line.Chars[0], Box(1, 0, 2, 8));
    EXPECT_EQ(line.Chars[1], Box(6, 0, 2, 8));
    EXPECT_EQ(s.bitmap.pixel(1, 0), CharColorA); // the dot carries the stem's colour
    EXPECT_EQ(s.bitmap.pixel(6, 0), CharColorB);
    EXPECT_EQ(s.bitmap.pixel(7, 7), CharColorB);
}

TEST(Segmentation, QuestionMarkDotIsJoinedFromBelow) {
    auto s = Segment({
        "..####..",
        ".##..##.",
        ".....##.",
        "....##..",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
        "........",
        "...##...",
        "...##...",
    });
    ASSERT_EQ(s.table.LineCount, 1);
    const TextLine& line = s.table.Lines[0];
    ASSERT_EQ(line.CharCount, 1);
    EXPECT_EQ(line.Chars[0], Box(1, 0, 6, 12));
    EXPECT_EQ(s.bitmap.pixel(3, 11), CharColorA);
    EXPECT_EQ(CountPixels(s.bitmap, CharColorB), 0);
}

TEST(Segmentation, PieceBelowThatReachesFurtherRightStaysSeparate) {
    auto s = Segment({
        ".###.....",
        ".###.....",
        ".###.....",
        ".........",
        "...#####.",
        "...#####.",
    });
    ASSERT_EQ(s.table.LineCount, 1);
    const TextLine& line = s.table.Lines[0];
    ASSERT_EQ(line.CharCount, 2);
    EXPECT_EQ(line.Chars[0], Box(1, 0, 3, 3, 0, 1));
    EXPECT_EQ(line.Chars[1], Box(3, 4, 5, 2, 4, 1)); // overlapping boxes: both italic
}

TEST(Segmentation, DetachedDiagonalPiecesJoinOnlyWhenAsked) {
    const std::vector<std::string> art = {
        "##....", "##....", "..##..", "..##..", "....##", "....##",
    };
    auto joined = Segment(art);
    ASSERT_EQ(joined.table.Lines[0].CharCount, 1);
    EXPECT_EQ(joined.table.Lines[0].Chars[0], Box(0, 0, 6, 6));

    OcrSettings apart;
    apart.CheckDetachedChar = false;
    auto split = Segment(art, apart);
    ASSERT_EQ(split.table.Lines[0].CharCount, 3);
    EXPECT_EQ(split.table.Lines[0].Chars[1], Box(2, 2, 2, 2, 2));
}

TEST(Segmentation, WidthOneBoxNeedsMinCharWidthOne) {
    const std::vector<std::string> art = {"#...###", "#...###", "#...###"};
    auto strict = Segment(art);
    ASSERT_EQ(strict.table.Lines[0].CharCount, 1);
    EXPECT_EQ(strict.table.Lines[0].Chars[0], Box(4, 0, 3, 3));
    EXPECT_EQ(strict.bitmap.pixel(0, 0), CharColorA); // the rejected bar keeps its recolouring
    EXPECT_EQ(strict.bitmap.pixel(4, 0), CharColorA); // and does not use up a colour

    OcrSettings loose;
    loose.MinCharWidth = 1;
    auto s = Segment(art, loose);
    ASSERT_EQ(s.table.Lines[0].CharCount, 2);
    EXPECT_EQ(s.table.Lines[0].Chars[0], Box(0, 0, 1, 3));
    EXPECT_EQ(s.bitmap.pixel(4, 0), CharColorB);
}

TEST(Segmentation, LowBoxesAreRejected) {
    OcrSettings s;
    s.MinCharHeight = 3;
    auto r = Segment({"##..##", "##..##", "....##"}, s);
    ASSERT_EQ(r.table.Lines[0].CharCount, 1);
    EXPECT_EQ(r.table.Lines[0].Chars[0].X, 4);
}

TEST(Segmentation, BandsCloserThanMinInterLineFormOneLine) {
    OcrSettings s;
    s.MinLineHeight = 0; // no exploration: only the inter-line rule joins bands
    auto close = Segment(StackedBlocks(2, 1), s);
    ASSERT_EQ(close.table.LineCount, 1);
    EXPECT_EQ(close.table.Lines[0].Chars[0], Box(1, 0, 3, 7));

    auto apart = Segment(StackedBlocks(2, 2), s);
    ASSERT_EQ(apart.table.LineCount, 2);
    EXPECT_EQ(apart.table.Lines[1].Chars[0], Box(1, 5, 3, 3));
}

TEST(Segmentation, RowsWithinTheExplorationHeightDoNotEndALine) {
    // an accent three rows above its letter
    auto s = Segment({".##.", "....", "....", "....", "####", "####"});
    ASSERT_EQ(s.table.LineCount, 1);
    EXPECT_EQ(s.table.Lines[0].Chars[0].Height, 6);
    // the same gap lower than the exploration height splits the lines
    OcrSettings shallow;
    shallow.MinLineHeight = 2;
    EXPECT_EQ(Segment({".##.", "....", "....", "....", "####", "####"}, shallow).table.LineCount,
              2);
}

TEST(Segmentation, TallBandIsSkippedAndDoesNotCount) {
    Bitmap24 b(6, 60, kBack);
    b.fillRect(1, 0, 3, 46, kText); // 46 rows: taller than MaxLineHeight 45
    b.fillRect(1, 52, 4, 56, kText);
    auto s = Segment(b);
    ASSERT_EQ(s.table.LineCount, 1);
    EXPECT_EQ(s.table.Lines[0].Chars[0], Box(1, 52, 3, 4));
    EXPECT_EQ(s.bitmap.pixel(1, 0), kText); // the skipped band is not recoloured

    OcrSettings taller;
    taller.MaxLineHeight = 46;
    EXPECT_EQ(Segment(b, taller).table.LineCount, 2);
}

TEST(Segmentation, EleventhLineIsNeverRead) {
    // six empty rows reach past the exploration height of 8, so every block is a line
    auto s = Segment(StackedBlocks(11, 6));
    ASSERT_EQ(s.table.LineCount, 10);
    EXPECT_EQ(s.table.Lines[9].Chars[0].Y, 9 * 9);
    EXPECT_EQ(s.bitmap.pixel(1, 10 * 9), kText);
}

TEST(Segmentation, ItalicFlagFollowsDetectItaWidth) {
    const std::vector<std::string> art = {"##.##..##", "##.##..##"};
    auto normal = Segment(art); // gaps of 1 and 2: not italic with -1
    for (int i = 0; i < 3; ++i) EXPECT_EQ(normal.table.Lines[0].Chars[size_t(i)].Italic, 0);
    OcrSettings s;
    s.DetectItaWidth = 1;
    auto r = Segment(art, s);
    EXPECT_EQ(r.table.Lines[0].Chars[0].Italic, 1); // gap after is 1
    EXPECT_EQ(r.table.Lines[0].Chars[1].Italic, 1); // gap before is 1
    EXPECT_EQ(r.table.Lines[0].Chars[2].Italic, 1); // the last copies the one before
    auto single = Segment({"##", "##"}, s);
    EXPECT_EQ(single.table.Lines[0].Chars[0].Italic, 0);
}

TEST(Segmentation, LineStopsAtFiveHundredCharacters) {
    Bitmap24 b(4 * 520, 3, kBack);
    for (int i = 0; i < 520; ++i) b.fillRect(i * 4, 0, i * 4 + 2, 3, kText);
    auto s = Segment(b);
    ASSERT_EQ(s.table.LineCount, 1);
    EXPECT_EQ(s.table.Lines[0].CharCount, kMaxLineChars);
    EXPECT_EQ(s.table.Lines[0].Chars[499].X, 499 * 4);
    EXPECT_EQ(s.bitmap.pixel(505 * 4, 0), kText); // the rest stays unread
}

TEST(Segmentation, BuildingBlocksClipAndReportNone) {
    const Bitmap24 b = Art({"....", ".#..", "....", "..#."});
    EXPECT_EQ(FirstRowWith(b, kText, 0, 3, 0, 3), 1);
    EXPECT_EQ(FirstRowWith(b, kText, 2, 3, 0, 1), std::nullopt);
    EXPECT_EQ(FirstRowWith(b, kText, 3, 2, 0, 3), std::nullopt);
    EXPECT_EQ(FirstRowWith(b, kText, -5, 99, -5, 99), 1);
    EXPECT_EQ(LastRowOfBand(b, kText, 1, 3, 0, 3, 0), 1);
    EXPECT_EQ(LastRowOfBand(b, kText, 1, 3, 0, 3, 2), 3);
    EXPECT_EQ(LastRowOfBand(b, kText, 1, 99, 0, 99, 1), 1);
}

TEST(Segmentation, DamagedSettingsStillEndTheWalk) {
    OcrSettings s;
    s.MinLineHeight = 0;
    s.MinInterLine = 0;
    s.MinCharWidth = 0;
    s.MinCharHeight = 0;
    s.MaxLineHeight = 255;
    auto r = Segment({"#.#.#", ".#.#.", "#.#.#"}, s);
    EXPECT_GE(r.table.LineCount, 1);
    EXPECT_EQ(CountPixels(r.bitmap, kText), 0);
}

TEST(Segmentation, CharacterFillTakesExactlyTheConnectedRegion) {
    // Random speckle makes twisted regions; the fill must agree with a plain
    // pixel-by-pixel 4-connected fill from the same seed.
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        Bitmap24 b(30, 20, kBack);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                if (rng() % 100 < 55) b.setPixel(x, y, rng() % 4 ? kText : kOutline);
        Bitmap24 expected = b;
        auto x0 = FirstCharColumn(b, kText, CharColorA, 0, 0, 19);
        ASSERT_TRUE(x0);
        int seedY = 19;
        while (expected.pixel(*x0, seedY) != kText) --seedY;
        expected.floodFill(*x0, seedY, CharColorA);
        ASSERT_EQ(b, expected) << "round " << round;
    }
}
