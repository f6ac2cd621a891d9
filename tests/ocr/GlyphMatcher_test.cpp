#include "OcrTestBitmaps.h"
#include "ocr/GlyphMatcher.h"

#include <gtest/gtest.h>
#include <random>

using namespace mirtal;
using namespace mirtal::test;

namespace {

// Glyph from rows of '#' (on) and '.' (off).
Glyph GlyphOf(const std::vector<std::string>& rows, uint8_t relTop = 0) {
    Glyph g;
    g.Height = int(rows.size());
    g.Width = int(rows.empty() ? 0 : rows[0].size());
    g.RelTop = relTop;
    for (size_t y = 0; y < rows.size() && y < 45; ++y)
        for (size_t x = 0; x < rows[y].size() && x < 45; ++x)
            if (rows[y][x] == '#') g.Rows[y] |= uint64_t(1) << x;
    return g;
}

CharMatrixEntry EntryOf(const std::vector<std::string>& rows, const std::string& text,
                        uint8_t top = 0) {
    return EntryFromGlyph(GlyphOf(rows, top), text);
}

// Whether every run of rows where both have ink, taken alone with a fresh
// penalty and without the area credit, reaches the threshold, pixel by pixel.
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
        int score = 0, p = 1;
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
        if (score * 1000 < sensibility * minW * (end - top)) return false;
    }
    return true;
}

// The similarity exactly as the matching rule words it, pixel by pixel.
int ReferenceSimilarity(const Glyph& g, const CharMatrixEntry& e, int& p) {
    const int w = g.Width, h = g.Height;
    const int minW = std::min<int>(w, e.Width), maxW = std::max<int>(w, e.Width);
    const int minH = std::min<int>(h, e.Height), maxH = std::max<int>(h, e.Height);
    int score = (maxW - minW) * minH + (maxH - minH) * maxW;
    score = (score * 4) / 5;
    for (int y = 0; y < minH; ++y) {
        for (int x = 0; x < minW; ++x) {
            const bool on = g.pixel(x, y);
            if (on == e.pixel(x, y)) {
                score += 1;
                p = 1;
            } else if (x > 0 && on == e.pixel(x - 1, y)) {
                score += 1;
            } else if (x < minW - 1 && on == e.pixel(x + 1, y)) {
                score += 1;
            } else {
                score -= p;
                if (p < 16) p = 2 * p;
            }
        }
    }
    return (score * 1000) / (maxW * maxH);
}

Glyph RandomGlyph(std::mt19937& rng, int w, int h, int density) {
    Glyph g;
    g.Width = w;
    g.Height = h;
    g.RelTop = uint8_t(rng() % 10);
    for (int y = 0; y < std::min(h, 45); ++y)
        for (int x = 0; x < std::min(w, 45); ++x)
            if (int(rng() % 100) < density) g.Rows[size_t(y)] |= uint64_t(1) << x;
    return g;
}

const std::vector<std::string> kO = {
    ".####.", "##..##", "##..##", "##..##", ".####.",
};

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
        if (round % 2 == 0) {
            for (int y = 0; y < 45; ++y)
                source.Rows[size_t(y)] = g.Rows[size_t(y)] ^ (rng() % 8 == 0 ? rng() : 0);
        }
        CharMatrixEntry e = EntryFromGlyph(source, "x");
        if (round % 5 == 0)
            e.Rows[size_t(rng() % 45)] |= rng(); // bits outside the size are never read
        int p1 = 1 << (rng() % 5), p2 = p1;
        const int fast = Similarity(g, e, p1);
        const int slow = ReferenceSimilarity(g, e, p2);
        ASSERT_EQ(fast, slow) << "round " << round << " " << w << "x" << h << " vs " << ew << "x"
                              << eh;
        ASSERT_EQ(p1, p2) << "round " << round;
    }
}

TEST(GlyphMatcher, SearchGivesTheSameEntryAsTheRuleApplied) {
    // The search stops comparing a candidate once it cannot reach the
    // threshold, or the similarity of the closest entry so far; the entry it
    // picks must not change, and neither may the penalty it hands to the next
    // candidate.
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
            m.AppendEntry(EntryFromGlyph(e, std::to_string(i)));
        }
        OcrSettings s;
        s.Sensibility = uint16_t(std::array{0, 500, 900, 960, 980, 1000}[rng() % 6]);
        int expected = 0, first = 0, best = 0, bestDiffering = 0, p = 1;
        for (int i = 1; i <= m.Count(); ++i) {
            if (!PassesFilter(m.entry(i), g, s)) continue;
            const int similarity = ReferenceSimilarity(g, m.entry(i), p);
            const int differing = DifferingPixels(g, m.entry(i));
            if (similarity < s.Sensibility || (expected && similarity < best) ||
                (expected && similarity == best && differing >= bestDiffering) ||
                !ReferencePartsAgree(g, m.entry(i), s.Sensibility))
                continue;
            expected = i, best = similarity, bestDiffering = differing;
            if (!first) first = i;
        }
        ASSERT_EQ(FindMatchingEntry(m, g, s), expected) << "round " << round;
        late += expected > 2;
        none += expected == 0;
        closer += expected != first;
    }
    // the rounds cover searches that end late, searches that find nothing and
    // searches where a later entry is closer than the first one that matches
    EXPECT_GT(late, 30);
    EXPECT_GT(none, 10);
    EXPECT_GT(closer, 30);
}

TEST(GlyphMatcher, RunsOfDisagreementCostDoublingPenalties) {
    // 8 x 1: the entry is all off, the glyph all on: no agreement anywhere
    CharMatrixEntry off = EntryOf({"........"}, "");
    int p = 1;
    // 1 + 2 + 4 + 8 + 16 + 16 + 16 + 16 = 79 charged, score -79 over 8 pixels
    EXPECT_EQ(Similarity(GlyphOf({"########"}), off, p), -79 * 1000 / 8);
    EXPECT_EQ(p, 16);
    // the penalty carries into the next candidate
    EXPECT_EQ(Similarity(GlyphOf({"########"}), off, p), -128 * 1000 / 8);
}

TEST(GlyphMatcher, FiltersRejectDifferentSizesAndTops) {
    OcrSettings s;
    const Glyph g = GlyphOf(kO, 4);
    CharMatrixEntry e = EntryOf(kO, "o", 4);
    EXPECT_TRUE(PassesFilter(e, g, s));
    e.Width = 9; // 3 wider
    EXPECT_FALSE(PassesFilter(e, g, s));
    e = EntryOf(kO, "o", 4);
    e.Height = 8;
    EXPECT_FALSE(PassesFilter(e, g, s));
    e = EntryOf(kO, "o", 11); // top 7 lower
    EXPECT_FALSE(PassesFilter(e, g, s));
    e = EntryOf(kO, "o", 10);
    EXPECT_TRUE(PassesFilter(e, g, s));
}

TEST(GlyphMatcher, OnePixelWiderGlyphIsNotComparedWithWidthDifferenceZero) {
    CharMatrix m;
    m.AppendEntry(EntryOf(kO, "o"));
    std::vector<std::string> wider = kO;
    for (auto& r : wider) r += '.';
    OcrSettings s;
    s.Sensibility = 0;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(wider), s), 1);
    s.MaxCharDiffWidth = 0;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(wider), s), 0);
}

TEST(GlyphMatcher, SensibilityZeroFailsOnlyNegativeSimilarity) {
    OcrSettings s;
    s.Sensibility = 0;
    CharMatrix m;
    m.AppendEntry(EntryOf({"........"}, "off"));
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({"####...."}), s), 0); // 4 - (1 + 2 + 4 + 8) < 0
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({"#......."}), s), 1); // 7 - 1
    CharMatrix two;
    two.AppendEntry(EntryOf({".."}, "off"));
    EXPECT_EQ(FindMatchingEntry(two, GlyphOf({"#."}), s), 1); // 1 - 1: zero still matches
}

TEST(GlyphMatcher, SensibilityThousandNeedsEveryPixelToAgree) {
    OcrSettings s;
    s.Sensibility = 1000;
    CharMatrix m;
    m.AppendEntry(EntryOf(kO, "o"));
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(kO), s), 1);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({".####.", "##..##", "##.###", "##..##", ".####."}), s),
              1);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({".####.", "##..##", "##..##", "##..##", ".#.##."}), s),
              0);
    // a pixel off by one column is forgiven (above), one off by a row is not
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({"##..##", ".####.", "##..##", "##..##", ".####."}), s),
              0);
    std::vector<std::string> taller = kO;
    taller.push_back("......"); // 4/5 of the extra row only
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(taller), s), 0);
    // (6 * 4 / 5 + 30) * 1000 / 36 = 944
    s.Sensibility = 945;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(taller), s), 0);
    s.Sensibility = 944;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(taller), s), 1);
}

TEST(GlyphMatcher, ClosestMatchingEntryWinsAndTiesGoToTheEarlierOne) {
    OcrSettings s;
    s.Sensibility = 800;
    CharMatrix m;
    // two unforgiven disagreements: (28 - 1 - 2) * 1000 / 30 = 833
    m.AppendEntry(EntryOf({".####.", "##..##", "######", "##..##", ".####."}, "near"));
    m.AppendEntry(EntryOf(kO, "exact"));
    m.AppendEntry(EntryOf(kO, "same again"));
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(kO), s), 2);
    // a glyph closer to the first entry keeps it
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf({".####.", "##..##", "######", "##..##", ".####."}), s),
              1);
    // two equally close entries below 1000: the earlier one
    CharMatrix twins;
    twins.AppendEntry(m.entry(1));
    twins.AppendEntry(m.entry(1));
    EXPECT_EQ(FindMatchingEntry(twins, GlyphOf(kO), s), 1);
    // A dotted slanted stroke, and a bar without the gap under the dot: the
    // gap costs (36 - 1 - 1) * 1000 / 36 = 944, and the bar comes first.
    const std::vector<std::string> glyph = {"..###.", "......", "..###.",
                                            "..##..", ".###..", ".##..."};
    std::vector<std::string> bar = glyph;
    bar[1] = "..###.";
    CharMatrix two;
    two.AppendEntry(EntryOf(bar, "l"));
    two.AppendEntry(EntryOf(glyph, "i"));
    s.Sensibility = 700;
    int p = 1;
    ASSERT_EQ(Similarity(GlyphOf(glyph), two.entry(1), p), 944);
    EXPECT_EQ(two.entry(FindMatchingEntry(two, GlyphOf(glyph), s)).Text, "i");
}

TEST(GlyphMatcher, OfEquallySimilarEntriesTheOneWithFewerDifferingPixelsWins) {
    // è and ê of a 20-pixel font: the similarity forgives the few pixels of
    // the accents, so both entries reach the same score for either glyph.
    const std::vector<std::string> body = {".........", "..#####..", ".###..##.", "##.....##",
                                           "##.....##", "##.....##", "#########", "##.......",
                                           "##.......", "##.....##", ".###..##.", "..#####.."};
    std::vector<std::string> grave = {"..###....", "....#....", ".....#..."};
    std::vector<std::string> circumflex = {"...###...", "..##.##..", "..#...##."};
    grave.insert(grave.end(), body.begin(), body.end());
    circumflex.insert(circumflex.end(), body.begin(), body.end());
    CharMatrix m;
    m.AppendEntry(EntryOf(circumflex, "\xEA"));
    m.AppendEntry(EntryOf(grave, "\xE8"));
    const OcrSettings s;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(grave), s), 2);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(circumflex), s), 1);
    EXPECT_EQ(DifferingPixels(GlyphOf(grave), m.entry(1)), 2 + 5 + 4); // the accents' rows
}

TEST(GlyphMatcher, EachPartOfAStackedGlyphMustMatchOnItsOwn) {
    // A grave accent met after a circumflex was learned (16:9 French
    // subtitles): the horizontal shift forgives all but one pixel of the
    // accent, and the whole glyph reaches 989.
    const std::vector<std::string> body = {
        ".........", ".........", "...####..", ".#######.", ".##...##.", "##.....##",
        "##.....##", "##.....##", "#########", "#########", "##.......", "##.......",
        "##.......", "##.....##", ".##....##", ".#######.", "...####.."};
    auto withAccent = [&](std::vector<std::string> accent) {
        accent.insert(accent.end(), body.begin(), body.end());
        return accent;
    };
    const auto grave = withAccent({"..###....", "...##....", "....##...", ".....#..."});
    const auto circumflex = withAccent({"...###...", "...####..", "..##.##..", "..#...##."});
    CharMatrix m;
    m.AppendEntry(EntryOf(circumflex, "\xEA"));
    OcrSettings s;
    int p = 1;
    ASSERT_EQ(Similarity(GlyphOf(grave), m.entry(1), p), 989);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(grave), s), 0);
    m.AppendEntry(EntryOf(grave, "\xE8"));
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(grave), s), 2);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(circumflex), s), 1);
    // The accent alone, (36 - 1 - 1) * 1000 / 36 = 944, passes a lower threshold.
    s.Sensibility = 940;
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(grave), s), 2);
    m.DeleteEntry(2);
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(grave), s), 1);
    // A glyph in one part is judged by its whole similarity only: the same
    // disagreement over a bar without the gap passes.
    std::vector<std::string> solid = grave, solidEntry = circumflex;
    solid[4] = solidEntry[4] = solid[5] = solidEntry[5] = "....#....";
    CharMatrix one;
    one.AppendEntry(EntryOf(solidEntry, "x"));
    s.Sensibility = 980;
    EXPECT_EQ(FindMatchingEntry(one, GlyphOf(solid), s), 1);
}

TEST(GlyphMatcher, PenaltyIsNotResetBetweenCandidates) {
    // The first candidate fails and leaves the penalty at 16; the second one
    // starts with a disagreement and is charged 16 for it instead of 1.
    CharMatrix m;
    m.AppendEntry(EntryOf({"........"}, "off"));
    m.AppendEntry(EntryOf({"..######"}, "almost"));
    const Glyph g = GlyphOf({"########"});
    OcrSettings s;
    s.Sensibility = 700;
    int fresh = 1;
    EXPECT_EQ(Similarity(g, m.entry(2), fresh), (7 - 1) * 1000 / 8);
    int carried = 16;
    EXPECT_EQ(Similarity(g, m.entry(2), carried), (7 - 16) * 1000 / 8);
    EXPECT_EQ(FindMatchingEntry(m, g, s), 0);
    CharMatrix alone;
    alone.AppendEntry(m.entry(2));
    EXPECT_EQ(FindMatchingEntry(alone, g, s), 1);
}

TEST(GlyphMatcher, HopelessCandidateStillHandsOnItsFullPenalty) {
    // The first entry is hopeless after its first row (charge now 16), but its
    // later rows agree exactly and bring the charge back to 1 for the next one.
    const std::vector<std::string> glyph = {"########", "#.#.#.#.", "...##...", "##..##.."};
    std::vector<std::string> hopeless = glyph, next = glyph;
    hopeless[0] = "........";
    next[0] = "..######"; // one unforgiven disagreement at the start
    CharMatrix m;
    m.AppendEntry(EntryOf(hopeless, "hopeless"));
    m.AppendEntry(EntryOf(next, "next"));
    OcrSettings s;
    s.Sensibility = 900; // (31 - 1) * 1000 / 32 = 937 when charged 1, 468 when charged 16
    EXPECT_EQ(FindMatchingEntry(m, GlyphOf(glyph), s), 2);
}

TEST(GlyphMatcher, OversizedGlyphIsLearnedClipped) {
    std::vector<std::string> wide(10, std::string(50, '#'));
    const Glyph g = GlyphOf(wide);
    const CharMatrixEntry e = EntryFromGlyph(g, "long text over twenty chars");
    EXPECT_EQ(e.Width, 45);
    EXPECT_EQ(e.Height, 10);
    EXPECT_EQ(e.Text, "long text over twent");
    EXPECT_TRUE(e.pixel(44, 9));
    EXPECT_FALSE(e.pixel(0, 10));
    CharMatrix m;
    m.AppendEntry(e);
    OcrSettings s;
    EXPECT_EQ(FindMatchingEntry(m, g, s), 0); // 50 is 5 wider than the stored 45
    s.MaxCharDiffWidth = 5;
    EXPECT_EQ(FindMatchingEntry(m, g, s), 1);
}

TEST(GlyphMatcher, GlyphIsCutFromTheWorkBitmapByMarkerColour) {
    Bitmap24 work(6, 3, kBack);
    work.setPixel(1, 1, 0xFF0000);
    work.setPixel(2, 1, 0xFE0000); // a neighbour's marker: off
    work.setPixel(3, 2, 0xFF0000);
    const Glyph g = MakeGlyph(work, CharBox{1, 1, 3, 2, 5, 0}, 0xFF0000);
    EXPECT_EQ(g.Width, 3);
    EXPECT_EQ(g.Height, 2);
    EXPECT_EQ(g.RelTop, 5);
    EXPECT_TRUE(g.pixel(0, 0));
    EXPECT_FALSE(g.pixel(1, 0));
    EXPECT_TRUE(g.pixel(2, 1));
    // a box reaching past the bitmap reads as off there
    const Glyph past = MakeGlyph(work, CharBox{4, 1, 10, 10, 0, 0}, 0xFF0000);
    EXPECT_EQ(past.Width, 10);
    EXPECT_FALSE(past.pixel(5, 5));
}
