#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mirtal {

// Chooses a space width from the gaps between neighbouring character boxes.
// Gaps inside words and gaps between words form two clusters; the width
// sits in the middle of the widest empty stretch between them, so that
// every gap of the lower cluster stays below it and every gap of the upper
// one reaches it. Gap values seen only rarely (a stray box, a glyph cut in
// two) count as empty, so one odd gap cannot close the stretch.
//
// Where the clusters touch, the gap alone cannot tell: an exclamation mark
// stands off the letter before it by nearly a space, while "f J" across a
// space is narrower than most. Gaps given with the texts of the glyphs on
// either side are therefore corrected by what each glyph adds to the gaps
// inside words (its side bearing, as it were): the mean of the gaps inside
// words next to it against the mean of all of them. The clusters are found
// among the corrected gaps, in bins one column wide.
//
// A correction needs a few gaps of the glyph inside words, which a short
// stream may not have for its one exclamation mark. A pair of glyphs that a
// reader (a line recogniser) saw inside a word is therefore no space where
// the gap alone, uncorrected, is none either.
class SpaceWidthEstimator {
public:
    // Gaps are kept in a histogram over this range; others are clamped to it.
    static constexpr int kMinGap = -16;
    static constexpr int kMaxGap = 63;
    // No width is chosen from fewer gaps than this, nor with fewer than
    // kMinWordGaps in the upper cluster: the first subtitle of a rip should
    // already be spaced by its own gaps.
    static constexpr int kMinGaps = 8;
    static constexpr int kMinWordGaps = 1;
    // A glyph's correction counts once it was seen this often inside words.
    static constexpr int kMinGlyphGaps = 3;
    // Gaps kept for the corrections; beyond, only the histogram grows.
    static constexpr size_t kMaxKeptGaps = 1'000'000;

    void clear();
    // A gap between two glyphs whose texts are not known.
    void add(int gap) { add(gap, {}, {}); }
    // A gap between the glyph read as `left` and the one read as `right`.
    void add(int gap, std::string_view left, std::string_view right);
    // A pair of glyphs a reader saw inside a word; it adds no gap.
    void addInsideWord(std::string_view left, std::string_view right);
    int count() const { return m_total; }

    // The width the corrected gaps are measured against, or none while the
    // gaps do not yet show two clusters.
    std::optional<int32_t> width() const;
    // Whether the gap between the two glyphs is a space; none without a
    // width (the caller's fixed width applies).
    std::optional<bool> isSpace(int gap, std::string_view left, std::string_view right) const;

private:
    using Histogram = std::array<int, kMaxGap - kMinGap + 1>;
    struct Gap {
        int16_t gap;
        uint16_t left, right; // glyph keys, 0 for an unknown text
    };
    struct Side {
        int64_t sum = 0;
        int count = 0;
        double offset = 0; // what the glyph adds to a gap inside a word
    };
    struct Fit {
        std::optional<int32_t> width;
        std::optional<int32_t> rawWidth; // from the gaps uncorrected
        std::vector<Side> before, after; // by key: the glyph left of / right of the gap
    };

    uint16_t keyOf(std::string_view text);
    uint16_t knownKey(std::string_view text) const;
    static std::optional<int32_t> widthOf(const Histogram& counts, int total);
    static int binOf(double gap);
    double corrected(const Fit& fit, int gap, uint16_t left, uint16_t right) const;
    const Fit& fit() const;

    Histogram m_counts{};
    int m_total = 0;
    std::vector<Gap> m_gaps;
    std::set<std::pair<uint16_t, uint16_t>> m_insideWords;
    std::unordered_map<std::string, uint16_t> m_keys;
    mutable Fit m_fit;
    mutable int m_fittedTotal = -1;
};

} // namespace mirtal
