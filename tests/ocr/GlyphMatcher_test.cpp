#include "OcrTestBitmaps.h"
#include "ocr/GlyphMatcher.h"

#include <gtest/gtest.h>
#include <random>

using namespace mirtal;
using namespace mirtal::test;

namespace {

CharMatrixEntry EntryOf(const std::vector<std::string>& rows, const std::string& text,
                        uint8_t top = 0) {
    return entryFromGlyph(GlyphOf(rows, top), text);
}

// The rule pixel by pixel over rows [top, end): +1 where the glyph agrees with the entry or its
// neighbour in the row, else minus the penalty (doubling up to 16, back to 1 on agreement).
int ReferenceScore(const Glyph& g, const CharMatrixEntry& e, int top, int end, int& p) {
    const int minW = std::min<int>(g.Width, e.Width);
    int score = 0;
    for (int y = top; y < end; ++y)
        for (int x = 0; x < minW; ++x) {
            const bool on = g.pixel(x, y);
            if (on == e.pixel(x, y)) {
                score += 1;
                p = 1;
            } else if ((x > 0 && on == e.pixel(x - 1, y)) ||
                       (x < minW - 1 && on == e.pixel(x + 1, y))) {
                score += 1;
            } else {
                score -= p;
                if (p < 16) p = 2 * p;
            }
        }
    return score;
}

// The similarity: the score plus 4/5 of the area only one of them covers.
int ReferenceSimilarity(const Glyph& g, const CharMatrixEntry& e, int& p) {
    const int minW = std::min<int>(g.Width, e.Width), maxW = std::max<int>(g.Width, e.Width);
    const int minH = std::min<int>(g.Height, e.Height), maxH = std::max<int>(g.Height, e.Height);
    const int score =
        ((maxW - minW) * minH + (maxH - minH) * maxW) * 4 / 5 + ReferenceScore(g, e, 0, minH, p);
    return (score * 1000) / (maxW * maxH);
}

// Whether each run of rows where both have ink, alone (fresh penalty, no area credit), passes.
bool ReferencePartsAgree(const Glyph& g, const CharMatrixEntry& e, int sensibility) {
    const int minW = std::min<int>(g.Width, e.Width), minH = std::min<int>(g.Height, e.Height);
    auto ink = [&](int y) {
        bool a = false, b = false;
        for (int x = 0; x < minW; ++x) a |= g.pixel(x, y), b |= e.pixel(x, y);
        return a && b;
    };
    std::vector<std::pair<int, int>> runs;
    for (int y = 0, from = 0; y <= minH; ++y)
        if (y == minH || !ink(y)) {
            if (y > from) runs.emplace_back(from, y);
            from = y + 1;
        }
    if (runs.size() < 2) return true;
    for (const auto& [top, end] : runs) {
        int p = 1;
        if (ReferenceScore(g, e, top, end, p) * 1000 < sensibility * minW * (end - top))
            return false;
    }
    return true;
}

Glyph RandomGlyph(std::mt19937& rng, int w, int h, int density) {
    Glyph g;
    g.Width = w, g.Height = h;
    g.RelTop = uint8_t(rng() % 10);
    for (int y = 0; y < std::min(h, 45); ++y)
        for (int x = 0; x < std::min(w, 45); ++x)
            if (int(rng() % 100) < density) g.Rows[size_t(y)] |= uint64_t(1) << x;
    return g;
}

const std::vector<std::string> kO = {".####.", "##..##", "##..##", "##..##", ".####."};

} // namespace

TEST(GlyphMatcher, BitParallelSimilarityEqualsThePixelRule) {
    std::mt19937 rng(99);
    for (int round = 0; round < 4000; ++round) {
        const int w = 1 + int(rng() % 50), h = 1 + int(rng() % 50);
        const Glyph g = RandomGlyph(rng, w, h, int(rng() % 101));
        // entries of a similar size, some near copies of the glyph
        const int ew = std::clamp(w + int(rng() % 7) - 3, 1, 45);
        const int eh = std::clamp(h + int(rng() % 7) - 3, 1, 45);
        Glyph source = RandomGlyph(rng, ew, eh, int(rng() % 101));
        for (int y = 0; round % 2 == 0 && y < 45; ++y)
            source.Rows[size_t(y)] = g.Rows[size_t(y)] ^ (rng() % 8 == 0 ? rng() : 0);
        CharMatrixEntry e = entryFromGlyph(source, "x");
        if (round % 5 == 0)
            e.Rows[size_t(rng() % 45)] |= rng(); // bits outside the size are never read
        int p1 = 1 << (rng() % 5), p2 = p1;
        const int fast = similarityOf(g, e, p1);
        const int slow = ReferenceSimilarity(g, e, p2);
        ASSERT_EQ(std::pair(fast, p1), std::pair(slow, p2))
            << "round " << round << " " << w << "x" << h << " vs " << ew << "x" << eh;
    }
}

TEST(GlyphMatcher, SearchGivesTheSameEntryAsTheRuleApplied) {
    // The search gives up on a candidate that cannot reach the threshold or the closest so far;
    // neither the entry it picks nor the penalty handed to the next candidate may change.
    std::mt19937 rng(7);
    int late = 0, none = 0, closer = 0;
    for (int round = 0; round < 300; ++round) {
        const int w = 8 + int(rng() % 12), h = 8 + int(rng() % 12);
        Glyph g = RandomGlyph(rng, w, h, 40);
        if (round % 3 == 0) g.Rows[size_t(rng() % h)] = 0; // a glyph in two parts
        CharMatrix m;
        for (int i = 0; i < 40; ++i) {
            // every fourth entry is unrelated, the others are copies with a few flipped pixels
            Glyph e = i % 4 == 0 ? RandomGlyph(rng, w, h, 40) : g;
            e.Width = w + int(rng() % 3) - 1;
            e.Height = h + int(rng() % 3) - 1;
            for (int flips = int(rng() % 40); flips > 0; --flips)
                e.Rows[rng() % 20] ^= uint64_t(1) << (rng() % 20);
            m.appendEntry(entryFromGlyph(e, std::to_string(i)));
        }
        OcrSettings s;
        s.Sensibility = uint16_t(std::array{0, 500, 900, 960, 980, 1000}[rng() % 6]);
        int expected = 0, first = 0, best = 0, bestDiffering = 0, p = 1;
        for (int i = 1; i <= m.count(); ++i) {
            if (!passesFilter(m.entry(i), g, s)) continue;
            const int similarity = ReferenceSimilarity(g, m.entry(i), p);
            const int differing = differingPixels(g, m.entry(i));
            if (similarity < s.Sensibility || (expected && similarity < best) ||
                (expected && similarity == best && differing >= bestDiffering) ||
                !ReferencePartsAgree(g, m.entry(i), s.Sensibility))
                continue;
            expected = i, best = similarity, bestDiffering = differing;
            if (!first) first = i;
        }
        ASSERT_EQ(findMatchingEntry(m, g, s), expected) << "round " << round;
        late += expected > 2;
        none += expected == 0;
        closer += expected != first;
    }
    // rounds that end late, that find nothing, and where a later entry beats the first match
    EXPECT_GT(late, 30);
    EXPECT_GT(none, 10);
    EXPECT_GT(closer, 30);
}

TEST(GlyphMatcher, FiltersRejectDifferentSizesAndTops) {
    const Glyph g = GlyphOf(kO, 4);
    std::vector<std::string> wider = kO, taller = kO;
    for (auto& r : wider) r += "...";
    taller.insert(taller.end(), 3, "......");
    const struct {
        std::vector<std::string> entry;
        uint8_t top, maxDiffWidth;
        bool passes;
    } cases[] = {{kO, 4, 2, true},      {wider, 4, 2, false}, {wider, 4, 3, true},
                 {taller, 4, 2, false}, {kO, 11, 2, false},   {kO, 10, 2, true}};
    for (const auto& c : cases) {
        OcrSettings s;
        s.MaxCharDiffWidth = c.maxDiffWidth;
        EXPECT_EQ(passesFilter(EntryOf(c.entry, "o", c.top), g, s), c.passes)
            << c.entry[0] << " top " << int(c.top) << " width " << int(c.maxDiffWidth);
    }
}

namespace {

// è and ê of a 20-pixel font: the similarity forgives most of their accents.
const std::vector<std::string> kBody = {
    ".........", ".........", "...####..", ".#######.", ".##...##.", "##.....##",
    "##.....##", "##.....##", "#########", "#########", "##.......", "##.......",
    "##.......", "##.....##", ".##....##", ".#######.", "...####.."};
std::vector<std::string> Accented(std::vector<std::string> accent) {
    accent.insert(accent.end(), kBody.begin(), kBody.end());
    return accent;
}
const auto kGrave = Accented({"..###....", "...##....", "....##...", ".....#..."});
const auto kCircumflex = Accented({"...###...", "...####..", "..##.##..", "..#...##."});
const std::vector<std::string> kNear = {".####.", "##..##", "######", "##..##", ".####."};

} // namespace

TEST(GlyphMatcher, TheClosestEntryThatReachesTheThresholdInEveryPartWins) {
    std::vector<std::string> taller = kO,
                             dotted = {"..###.", "......", "..###.", "..##..", ".###..", ".##..."};
    taller.push_back("......"); // (6 * 4 / 5 + 30) * 1000 / 36 = 944
    std::vector<std::string> bar = dotted, solid = kGrave, solidEntry = kCircumflex;
    bar[1] = "..###.";
    solid[4] = solidEntry[4] = solid[5] = solidEntry[5] = "....#....";
    const std::vector<std::string> glyph4 = {"########", "#.#.#.#.", "...##...", "##..##.."};
    std::vector<std::string> hopeless = glyph4, next = glyph4;
    hopeless[0] = "........";
    next[0] = "..######";
    using Rows = std::vector<std::string>;
    // 40 x 25 against an empty entry: 500 agree, 2 in a row (1 + 2) and 498 alone cost: -1000/1000.
    std::string pixels = "##.";
    for (int i = 0; i < 498; ++i) pixels += "#.";
    pixels += '.';
    Rows minusOne, empty(25, std::string(40, '.'));
    for (int y = 0; y < 25; ++y) minusOne.push_back(pixels.substr(size_t(y) * 40, 40));
    const Rows shifted = {".####.", "##..##", "##.###", "##..##", ".####."},
               missing = {".####.", "##..##", "##..##", "##..##", ".#.##."},
               rowOff = {"##..##", ".####.", "##..##", "##..##", ".####."};
    const Rows full = {"########"}, blank = {"........"}, right = {"..######"};
    const Rows under = {"....", "....", "####"}, underGlyph = {"....", "....", "##.."},
               twoBars = {"####", "....", "####"}, shortBar = {"####", "....", "###."};
    const struct {
        const char* name;
        std::vector<Rows> entries;
        Rows glyph;
        int sensibility, want;
    } cases[] = {
        {"negative similarity fails at 0", {blank}, {"####...."}, 0, 0},
        {"1 - 1 = 0 still passes at 0", {{".."}}, {"#."}, 0, 1},
        {"a similarity of -1000 / 1000 fails at 0", {empty}, minusOne, 0, 0},
        {"equal", {kO}, kO, 1000, 1},
        {"a pixel off by a column is forgiven", {kO}, shifted, 1000, 1},
        {"a missing pixel is not", {kO}, missing, 1000, 0},
        {"a pixel off by a row is not", {kO}, rowOff, 1000, 0},
        {"an extra row costs a fifth", {kO}, taller, 945, 0},
        {"an extra row at its threshold", {kO}, taller, 944, 1},
        {"the closer entry", {kNear, kO, kO}, kO, 800, 2},
        {"the closer entry first", {kNear, kO}, kNear, 800, 1},
        {"ties go to the earlier entry", {kNear, kNear}, kO, 800, 1},
        {"a gap is no bar", {bar, dotted}, dotted, 700, 2},
        {"fewer differing pixels", {kCircumflex12, kGrave12}, kGrave12, 980, 2},
        {"the accent fails on its own", {kCircumflex}, kGrave, 980, 0},
        {"the accent's own entry", {kCircumflex, kGrave}, kGrave, 980, 2},
        {"the accent passes a lower threshold", {kCircumflex}, kGrave, 940, 1},
        {"a glyph in one part is judged whole", {solidEntry}, solid, 980, 1},
        {"empty rows above one part make no parts", {under}, underGlyph, 500, 1},
        {"a part a point short of 750 fails", {twoBars}, shortBar, 750, 0},
        {"the penalty carries into the next candidate", {blank, right}, full, 700, 0},
        {"alone it passes", {right}, full, 700, 1},
        {"a hopeless candidate hands on its whole penalty", {hopeless, next}, glyph4, 900, 2}};
    for (const auto& c : cases) {
        CharMatrix m;
        for (const Rows& e : c.entries) m.appendEntry(EntryOf(e, "x"));
        OcrSettings s;
        s.Sensibility = uint16_t(c.sensibility);
        EXPECT_EQ(findMatchingEntry(m, GlyphOf(c.glyph), s), c.want) << c.name;
    }
    EXPECT_EQ(differingPixels(GlyphOf(kGrave12), EntryOf(kCircumflex12, "x")), 2 + 5 + 4);
}
