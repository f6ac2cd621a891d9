#include "ocr/SpaceWidthEstimator.h"

#include <algorithm>
#include <cmath>

namespace mirtal {

namespace {

// Refitting visits every kept gap. Small rips refit after each subpicture;
// beyond this many gaps, once they have grown by a fiftieth.
constexpr int kRefitEveryTime = 4096;

int clampGap(int gap) {
    return std::clamp(gap, SpaceWidthEstimator::kMinGap, SpaceWidthEstimator::kMaxGap);
}

} // namespace

void SpaceWidthEstimator::clear() {
    m_counts.fill(0);
    m_total = 0;
    m_gaps.clear();
    m_insideWords.clear();
    m_keys.clear();
    m_fit = {};
    m_fittedTotal = -1;
}

uint16_t SpaceWidthEstimator::keyOf(std::string_view text) {
    if (text.empty()) return 0;
    if (const auto it = m_keys.find(std::string(text)); it != m_keys.end()) return it->second;
    if (m_keys.size() >= 0xFFFF) return 0;
    const auto key = uint16_t(m_keys.size() + 1);
    m_keys.emplace(std::string(text), key);
    return key;
}

uint16_t SpaceWidthEstimator::knownKey(std::string_view text) const {
    if (text.empty()) return 0;
    const auto it = m_keys.find(std::string(text));
    return it == m_keys.end() ? 0 : it->second;
}

void SpaceWidthEstimator::add(int gap, std::string_view left, std::string_view right) {
    gap = clampGap(gap);
    ++m_counts[size_t(gap - kMinGap)];
    ++m_total;
    if (m_gaps.size() < kMaxKeptGaps) m_gaps.push_back({int16_t(gap), keyOf(left), keyOf(right)});
}

void SpaceWidthEstimator::addInsideWord(std::string_view left, std::string_view right) {
    const uint16_t l = keyOf(left), r = keyOf(right);
    if (l && r) m_insideWords.emplace(l, r);
}

int SpaceWidthEstimator::binOf(double gap) {
    return clampGap(int(std::floor(gap + 0.5)));
}

std::optional<int32_t> SpaceWidthEstimator::widthOf(const Histogram& counts, int total) {
    if (total < kMinGaps) return std::nullopt;
    const int n = int(counts.size());

    // The split into two clusters with the largest spread between their
    // means (Otsu's rule): bins below `split` against bins from it on.
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += double(i) * counts[size_t(i)];
    int split = -1;
    double best = -1, lowMean = 0, highMean = 0;
    double lowCount = 0, lowSum = 0;
    for (int t = 1; t < n; ++t) {
        lowCount += counts[size_t(t - 1)];
        lowSum += double(t - 1) * counts[size_t(t - 1)];
        const double highCount = total - lowCount;
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
    const int rare = total / 100;
    auto dense = [&](int i) { return counts[size_t(i)] > rare; };
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

double SpaceWidthEstimator::corrected(const Fit& fit, int gap, uint16_t left,
                                      uint16_t right) const {
    double c = gap;
    if (left < fit.before.size()) c -= fit.before[left].offset;
    if (right < fit.after.size()) c -= fit.after[right].offset;
    return c;
}

const SpaceWidthEstimator::Fit& SpaceWidthEstimator::fit() const {
    if (m_fittedTotal == m_total) return m_fit;
    if (m_fittedTotal >= kRefitEveryTime && m_total - m_fittedTotal < m_fittedTotal / 50)
        return m_fit;
    m_fittedTotal = m_total;
    m_fit = {};
    // The raw gaps tell which ones lie inside words...
    const std::optional<int32_t> raw = widthOf(m_counts, m_total);
    m_fit.width = m_fit.rawWidth = raw;
    if (!raw || m_keys.empty()) return m_fit;

    // ...and those give each glyph's correction on either side.
    std::vector<Side> before(m_keys.size() + 1), after(m_keys.size() + 1);
    int64_t sum = 0;
    int inside = 0;
    for (const Gap& g : m_gaps) {
        if (g.gap >= *raw) continue;
        sum += g.gap, ++inside;
        before[g.left].sum += g.gap, ++before[g.left].count;
        after[g.right].sum += g.gap, ++after[g.right].count;
    }
    if (inside == 0) return m_fit;
    const double mean = double(sum) / inside;
    for (auto* sides : {&before, &after})
        for (size_t k = 1; k < sides->size(); ++k) {
            Side& s = (*sides)[k];
            if (s.count >= kMinGlyphGaps) s.offset = double(s.sum) / s.count - mean;
        }
    Fit refined;
    refined.rawWidth = raw;
    refined.before = std::move(before);
    refined.after = std::move(after);
    Histogram counts{};
    for (const Gap& g : m_gaps)
        ++counts[size_t(binOf(corrected(refined, g.gap, g.left, g.right)) - kMinGap)];
    // Corrections that blur the clusters away are not used.
    refined.width = widthOf(counts, int(m_gaps.size()));
    if (refined.width) m_fit = std::move(refined);
    return m_fit;
}

std::optional<int32_t> SpaceWidthEstimator::width() const {
    return fit().width;
}

std::optional<bool> SpaceWidthEstimator::isSpace(int gap, std::string_view left,
                                                 std::string_view right) const {
    const Fit& f = fit();
    if (!f.width) return std::nullopt;
    gap = clampGap(gap);
    const uint16_t l = knownKey(left), r = knownKey(right);
    if (gap < *f.rawWidth && m_insideWords.contains({l, r})) return false;
    return binOf(corrected(f, gap, l, r)) >= *f.width;
}

} // namespace mirtal
