#include "OcrTestBitmaps.h"
#include "ocr/Segmentation.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Segmented {
    Bitmap24 bitmap;
    LineTable table;
};

Segmented Segment(const Bitmap24& b, const OcrSettings& s = {}) {
    Segmented out{b, {}};
    segmentSubpicture(out.bitmap, kText, s, out.table);
    return out;
}

// Each line's boxes as "[x,y wxh+relTop i ...]", "+0" and upright left out.
std::string Lines(const LineTable& table) {
    std::string out;
    for (int l = 0; l < table.LineCount; ++l) {
        const TextLine& line = table.Lines[size_t(l)];
        out += "[";
        for (int k = 0; k < line.CharCount; ++k) {
            const CharBox& b = line.Chars[size_t(k)];
            out += (k ? " " : "") + std::to_string(b.X) + "," + std::to_string(b.Y) + " " +
                   std::to_string(b.Width) + "x" + std::to_string(b.Height) +
                   (b.RelTop ? "+" + std::to_string(b.RelTop) : "") + std::string(b.Italic, 'i');
        }
        out += "]";
    }
    return out;
}

// n blocks of 3 x `height` under each other, `gap` empty rows apart.
Bitmap24 StackedBlocks(int n, int gap, int height = 3) {
    Bitmap24 b(5, n * (height + gap), kBack);
    for (int i = 0; i < n; ++i)
        b.fillRect(1, i * (height + gap), 4, i * (height + gap) + height, kText);
    return b;
}

} // namespace

TEST(Segmentation, LinesAndCharacterBoxes) {
    const std::vector<std::string> diagonal = {"##....", "##....", "..##..",
                                               "..##..", "....##", "....##"};
    const std::vector<std::string> bar = {"....###", "#...###", "#...###"};
    const std::vector<std::string> accent = {".##.", "....", "....", "....", "####", "####"};
    Bitmap24 tall(6, 60, kBack);
    tall.fillRect(1, 0, 3, 46, kText); // 46 rows: taller than MaxLineHeight 45
    tall.fillRect(1, 52, 4, 56, kText);
    const Bitmap24 alternate =
        Art({".##...........", ".##...###..##.", ".##...#.#..##.", ".##...###..##."});
    const Bitmap24 colon = Art({".##...##.", ".##...##.", ".........", ".##......", ".##......",
                                ".##......", ".##...##.", ".##...##."});
    const Bitmap24 question =
        Art({"..####..", ".##..##.", ".....##.", "....##..", "...##...", "...##...", "...##...",
             "...##...", "...##...", "........", "...##...", "...##..."});
    const Bitmap24 below =
        Art({".###.....", ".###.....", ".###.....", ".........", "...#####.", "...#####."});
    OcrSettings defaults, noExploration, ita, apart, narrow, high, shallow, tallOk;
    noExploration.MinLineHeight = 0, ita.DetectItaWidth = 1, apart.CheckDetachedChar = false;
    narrow.MinCharWidth = 1, high.MinCharHeight = 3, shallow.MinLineHeight = 2;
    tallOk.MaxLineHeight = 46;
    const Bitmap24 italic = Art({"##.##..##", "##.##..##"}), diag = Art(diagonal);
    // marks: "x,y" and the colour left there: a and b the two marker colours, t the text's
    const struct {
        const char* name;
        Bitmap24 bitmap;
        OcrSettings settings;
        std::string lines, marks;
    } cases[] = {
        {"no text", Art({"....", ".oo.", "...."}), defaults, "", ""},
        {"markers alternate", alternate, defaults, "[1,0 2x4 6,1 3x3+1 11,1 2x3+1]",
         "1,0a 7,3b 12,1a"},
        {"the dot of i and a colon join", colon, defaults, "[1,0 2x8 6,0 2x8]", "1,0a 6,0b 7,7b"},
        {"a question mark's dot joins from below", question, defaults, "[1,0 6x12]", "3,11a"},
        {"a piece below reaching right stays apart, italic", below, defaults,
         "[1,0 3x3i 3,4 5x2+4i]", ""},
        {"detached diagonal pieces join", diag, defaults, "[0,0 6x6]", ""},
        {"detached diagonal pieces apart", diag, apart, "[0,0 2x2 2,2 2x2+2 4,4 2x2+4]", ""},
        {"a bar one wide is rejected but recoloured", Art(bar), defaults, "[4,0 3x3]", "0,1a 4,0a"},
        {"a bar one wide with MinCharWidth 1", Art(bar), narrow, "[0,1 1x2+1 4,0 3x3]", "4,0b"},
        {"low boxes are rejected", Art({"##..##", "##..##", "....##"}), high, "[4,0 2x3]", ""},
        {"bands closer than MinInterLine", StackedBlocks(2, 1), noExploration, "[1,0 3x7]", ""},
        {"bands MinInterLine apart", StackedBlocks(2, 2), noExploration, "[1,0 3x3][1,5 3x3]", ""},
        {"an accent within the exploration height", Art(accent), defaults, "[0,0 4x6]", ""},
        {"the accent too low", Art(accent), shallow, "[][0,4 4x2]", ""},
        {"a tall band is skipped", tall, defaults, "[1,52 3x4]", "1,0t"},
        {"a tall band within MaxLineHeight", tall, tallOk, "[1,0 2x46][1,52 3x4]", ""},
        {"gaps of 1 and 2 upright by default", italic, defaults, "[0,0 2x2 3,0 2x2 7,0 2x2]", ""},
        {"a gap of 1 leans both sides, the last as the one before", italic, ita,
         "[0,0 2x2i 3,0 2x2i 7,0 2x2i]", ""},
        {"a single character does not lean", Art({"##", "##"}), ita, "[0,0 2x2]", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Segmented s = Segment(c.bitmap, c.settings);
        EXPECT_EQ(Lines(s.table), c.lines);
        std::istringstream marks(c.marks);
        for (int x, y; marks >> x && marks.ignore() >> y;) {
            const char m = char(marks.get());
            const Colour want = m == 'a' ? kCharColourA : m == 'b' ? kCharColourB : kText;
            EXPECT_EQ(s.bitmap.pixel(x, y), want) << x << "," << y;
        }
        EXPECT_TRUE(c.marks.ends_with('t') || CountPixels(s.bitmap, kText) == 0);
    }
}

TEST(Segmentation, TenLinesOfFiveHundredCharactersAtMost) {
    // six empty rows reach past the exploration height of 8, so every block is a line
    auto s = Segment(StackedBlocks(11, 6));
    ASSERT_EQ(s.table.LineCount, 10);
    EXPECT_EQ(s.table.Lines[9].Chars[0].Y, 9 * 9);
    EXPECT_EQ(s.bitmap.pixel(1, 10 * 9), kText);

    Bitmap24 b(4 * 520, 3, kBack);
    for (int i = 0; i < 520; ++i) b.fillRect(i * 4, 0, i * 4 + 2, 3, kText);
    s = Segment(b);
    ASSERT_EQ(s.table.LineCount, 1);
    EXPECT_EQ(s.table.Lines[0].CharCount, kMaxLineChars);
    EXPECT_EQ(s.table.Lines[0].Chars[499].X, 499 * 4);
    EXPECT_EQ(s.bitmap.pixel(505 * 4, 0), kText);
}

TEST(Segmentation, CharacterFillTakesExactlyTheConnectedRegion) {
    // Random speckle makes twisted regions: the fill must equal a plain 4-connected flood fill.
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        Bitmap24 b(30, 20, kBack);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                if (rng() % 100 < 55) b.setPixel(x, y, rng() % 4 ? kText : kOutline);
        Bitmap24 expected = b;
        auto x0 = findFirstCharColumn(b, kText, kCharColourA, 0, 0, 19);
        ASSERT_TRUE(x0);
        int seedY = 19;
        while (expected.pixel(*x0, seedY) != kText) --seedY;
        expected.floodFill(*x0, seedY, kCharColourA);
        ASSERT_EQ(b, expected) << "round " << round;
    }
}
