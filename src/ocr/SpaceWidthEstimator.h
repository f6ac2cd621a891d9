#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace mirtal {

// Chooses a space width from the gaps between neighbouring character boxes.
// Gaps inside words and gaps between words form two clusters; the width
// sits in the middle of the widest empty stretch between them, so that
// every gap of the lower cluster stays below it and every gap of the upper
// one reaches it. Gap values seen only rarely (a stray box, a glyph cut in
// two) count as empty, so one odd gap cannot close the stretch.
class SpaceWidthEstimator {
public:
    // Gaps are kept in a histogram over this range; others are clamped to it.
    static constexpr int kMinGap = -16;
    static constexpr int kMaxGap = 63;
    // No width is chosen from fewer gaps than this, nor with fewer than
    // kMinWordGaps in the upper cluster.
    static constexpr int kMinGaps = 40;
    static constexpr int kMinWordGaps = 4;

    void clear();
    void add(int gap);
    int count() const { return m_total; }

    // The width, or none while the gaps do not yet show two clusters.
    std::optional<int32_t> width() const;

private:
    std::array<int, kMaxGap - kMinGap + 1> m_counts{};
    int m_total = 0;
};

} // namespace mirtal
