#include "ocr/SpaceWidthEstimator.h"

#include <algorithm>

namespace mirtal {

void SpaceWidthEstimator::clear() {
    m_counts.fill(0);
    m_total = 0;
}

void SpaceWidthEstimator::add(int gap) {
    ++m_counts[size_t(std::clamp(gap, kMinGap, kMaxGap) - kMinGap)];
    ++m_total;
}

std::optional<int32_t> SpaceWidthEstimator::width() const {
    if (m_total < kMinGaps) return std::nullopt;
    const int n = int(m_counts.size());

    // The split into two clusters with the largest spread between their
    // means (Otsu's rule): bins below `split` against bins from it on.
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += double(i) * m_counts[size_t(i)];
    int split = -1;
    double best = -1, lowMean = 0, highMean = 0;
    double lowCount = 0, lowSum = 0;
    for (int t = 1; t < n; ++t) {
        lowCount += m_counts[size_t(t - 1)];
        lowSum += double(t - 1) * m_counts[size_t(t - 1)];
        const double highCount = m_total - lowCount;
        if (lowCount < kMinWordGaps || highCount < kMinWordGaps) continue;
        const double m0 = lowSum / lowCount, m1 = (sum - lowSum) / highCount;
        const double spread = lowCount * highCount * (m1 - m0) * (m1 - m0);
        if (spread > best) best = spread, split = t, lowMean = m0, highMean = m1;
    }
    if (split < 0) return std::nullopt;
    // One cluster spread wide is no pair of clusters: spaces are wider than
    // the gaps inside words by several columns.
    if (highMean - lowMean < 3) return std::nullopt;

    // The widest stretch of (nearly) empty bins between the two means. A
    // bin holding at most one gap in a hundred counts as empty.
    const int rare = m_total / 100;
    auto dense = [&](int i) { return m_counts[size_t(i)] > rare; };
    int bestFrom = -1, bestTo = -1; // the dense bins around the stretch
    for (int i = int(lowMean) + 1; i <= int(highMean); ++i) {
        if (dense(i) || !dense(i - 1)) continue;
        int j = i;
        while (j < n && !dense(j)) ++j;
        if (j >= n || double(j) > highMean + 1) break;
        if (j - i > bestTo - bestFrom - 1) bestFrom = i - 1, bestTo = j;
        i = j;
    }
    // No empty stretch: the clusters touch, the split is the boundary.
    int index = split;
    if (bestFrom >= 0) index = bestFrom + (bestTo - bestFrom + 1) / 2;
    return int32_t(index + kMinGap);
}

} // namespace mirtal
