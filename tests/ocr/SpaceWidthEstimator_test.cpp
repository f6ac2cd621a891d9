#include "ocr/SpaceWidthEstimator.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal;

namespace {

// Gap value -> how often it was seen.
SpaceWidthEstimator from(const std::map<int, int>& counts) {
    SpaceWidthEstimator e;
    for (const auto& [gap, n] : counts)
        for (int i = 0; i < n; ++i) e.add(gap);
    return e;
}

} // namespace

TEST(SpaceWidthEstimator, NoWidthUntilTwoClustersAreSeen) {
    EXPECT_EQ(SpaceWidthEstimator{}.isSpace(20, "a", "b"), std::nullopt);
    // Enough gaps, but all inside words.
    EXPECT_EQ(from({{0, 10}, {1, 30}, {2, 25}, {3, 20}, {5, 4}, {7, 2}}).width(), std::nullopt);
    // Two clusters, but too few gaps in all: one short line is not enough.
    EXPECT_EQ(from({{1, 3}, {2, 3}, {12, 1}}).width(), std::nullopt);
    // A line of two words is enough.
    EXPECT_EQ(from({{1, 4}, {2, 3}, {12, 1}}).width(), 7);
    // One wide spread cluster is no pair of clusters.
    EXPECT_EQ(from({{1, 10}, {2, 10}, {3, 10}, {4, 10}, {5, 10}}).width(), std::nullopt);
}

TEST(SpaceWidthEstimator, WidthIsTheMiddleOfTheWidestEmptyStretch) {
    // Inside words 1..6, between 9..13: 7 and 8 are empty, 8 keeps 7 below.
    EXPECT_EQ(from({{1, 30}, {2, 40}, {3, 25}, {4, 10}, {6, 3}, {9, 4}, {11, 10}, {13, 2}}).width(),
              8);
    // An odd stretch: 9..11 empty, the width is its middle, 10.
    EXPECT_EQ(from({{1, 30}, {3, 30}, {6, 10}, {8, 5}, {12, 6}, {15, 6}, {17, 1}}).width(), 10);
    // A one-column hole inside a cluster does not compete with the stretch, even as wide.
    EXPECT_EQ(from({{0, 40}, {2, 40}, {4, 20}, {5, 10}, {10, 10}, {12, 10}, {14, 5}}).width(), 8);
    // Clusters far away from zero and below it.
    EXPECT_EQ(from({{-3, 20}, {-2, 30}, {0, 10}, {20, 8}, {22, 8}}).width(), 10);
}

TEST(SpaceWidthEstimator, RareGapsDoNotCloseTheStretch) {
    std::map<int, int> counts = {{1, 120}, {2, 100}, {3, 60}, {5, 20}, {11, 30}, {13, 20}};
    EXPECT_EQ(from(counts).width(), 8);
    counts[7] = 3; // 3 of 353 gaps: below one in a hundred
    EXPECT_EQ(from(counts).width(), 8);
    counts[7] = 4;
    EXPECT_EQ(from(counts).width(), 9) << "now 7 is a real gap inside words";
}

// "!" stands off its letter by nearly a space, "f J" is narrower than most spaces: the gap
// alone cannot tell them apart, the glyphs on either side can.
TEST(SpaceWidthEstimator, GlyphsBesideAGapCorrectItWhereTheClustersTouch) {
    SpaceWidthEstimator keyed;
    auto add = [&](int gap, const char* left, const char* right, int times) {
        for (int i = 0; i < times; ++i) keyed.add(gap, left, right);
    };
    const char* letters[] = {"a", "e", "n", "o", "r", "s", "t", "f"};
    for (int k = 0; k < 8; ++k)
        for (int gap = 3; gap <= 7; ++gap) add(gap, letters[k], letters[(k + 3) % 8], 4);
    add(10, "n", "!", 3); // "noon!"
    add(9, "o", "!", 2);  // "no!"
    for (int gap = 13; gap <= 17; ++gap) add(gap, "s", "t", 6);
    add(11, "f", "J", 1); // "of July"

    ASSERT_TRUE(keyed.width());
    EXPECT_EQ((std::vector{keyed.isSpace(10, "n", "!"), keyed.isSpace(9, "o", "!"),
                           keyed.isSpace(11, "f", "J"), keyed.isSpace(7, "e", "s"),
                           keyed.isSpace(13, "s", "t")}),
              (std::vector<std::optional<bool>>{false, false, true, false, true}));
    // A glyph seen too rarely inside words ("J", or a new one) falls back to the plain width.
    EXPECT_EQ(keyed.isSpace(11, "q", "J"), keyed.isSpace(11, "", ""));
}

// 4096 gaps, 3..13 empty: width 8. 81 gaps of 5 make it 9, but the fit holds until all came.
TEST(SpaceWidthEstimator, LargeRipsRefitOnlyOnceTheGapsGrewByAFiftieth) {
    auto e = from({{1, 1000}, {2, 1000}, {3, 1000}, {13, 400}, {14, 400}, {15, 296}});
    std::vector<std::optional<int>> widths = {e.width()};
    for (int i = 0; i < 81; ++i) e.add(5), widths.push_back(e.width());
    EXPECT_EQ(std::vector(widths.end() - 3, widths.end()),
              (std::vector<std::optional<int>>{8, 8, 9}));
}

// "e" sits tight, so its gaps are corrected up; "e!" has no correction of its own. From the
// uncorrected width, 10, a gap is a space whatever was read.
TEST(SpaceWidthEstimator, APairReadInsideAWordIsNoSpaceBelowTheRawWidth) {
    SpaceWidthEstimator e;
    for (int i = 0; i < 40; ++i)
        e.add(3 + i % 3, "a", "b"), e.add(0, "e", "a"), e.add(14, "b", "a");
    e.add(8, "e", "!");
    ASSERT_EQ(e.isSpace(8, "e", "!"), true);
    e.addInsideWord("e", "!");
    EXPECT_EQ(
        (std::vector{e.isSpace(8, "e", "!"), e.isSpace(10, "e", "!"), e.isSpace(8, "e", "?")}),
        (std::vector<std::optional<bool>>{false, true, true}));
}
