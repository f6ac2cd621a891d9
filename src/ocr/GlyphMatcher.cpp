#include "ocr/GlyphMatcher.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace mirtal {

namespace {

Glyph glyphFrom(const Bitmap24& bitmap, int x0, int y0, int w, int h, uint8_t relTop,
                Colour colour) {
    Glyph g;
    g.Width = w;
    g.Height = h;
    g.RelTop = relTop;
    const uint8_t b0 = blueOf(colour), b1 = greenOf(colour), b2 = redOf(colour);
    // Parts of the box outside the bitmap read as off.
    const int x1 = std::min({w, kGlyphCellSize, bitmap.width() - x0});
    const int y1 = std::min({h, kGlyphCellSize, bitmap.height() - y0});
    for (int y = std::max(0, -y0); y < y1; ++y) {
        const uint8_t* p = bitmap.row(y0 + y);
        uint64_t bits = 0;
        for (int x = std::max(0, -x0); x < x1; ++x) {
            const uint8_t* q = p + size_t(x0 + x) * 3;
            if (q[0] == b0 && q[1] == b1 && q[2] == b2) bits |= uint64_t(1) << x;
        }
        g.Rows[size_t(y)] = bits;
    }
    return g;
}

// Charges a run of k disagreeing pixels starting at penalty p, which doubles
// after each charge up to 16.
inline int chargeRun(int& p, int k) {
    const int doublings = 4 - std::countr_zero(unsigned(p)); // steps until p reaches 16
    if (k <= doublings) {
        const int cost = p * ((1 << k) - 1);
        p <<= k;
        return cost;
    }
    const int cost = p * ((1 << doublings) - 1) + 16 * (k - doublings);
    p = 16;
    return cost;
}

} // namespace

Glyph makeGlyph(const Bitmap24& work, const CharBox& box, Colour glyphColour) {
    return glyphFrom(work, box.X, box.Y, box.Width, box.Height, box.RelTop, glyphColour);
}

Glyph makeGlyph(const Bitmap24& glyphBitmap, uint8_t relTop, Colour glyphColour) {
    return glyphFrom(glyphBitmap, 0, 0, glyphBitmap.width(), glyphBitmap.height(), relTop,
                     glyphColour);
}

bool passesFilter(const CharMatrixEntry& entry, const Glyph& glyph, const OcrSettings& settings) {
    return std::abs(int(entry.Width) - glyph.Width) <= settings.MaxCharDiffWidth &&
           std::abs(int(entry.Height) - glyph.Height) <= settings.MaxCharDiffHeight &&
           std::abs(int(entry.Top) - int(glyph.RelTop)) <= settings.MaxCharDiffTop;
}

namespace {

struct Overlap {
    int minW, maxW, minH, maxH;
    uint64_t mask, leftOk, rightOk;
};

Overlap overlapOf(const Glyph& glyph, const CharMatrixEntry& entry) {
    const int ew = std::min<int>(entry.Width, kGlyphCellSize);
    const int eh = std::min<int>(entry.Height, kGlyphCellSize);
    Overlap o{std::min(glyph.Width, ew),
              std::max(glyph.Width, ew),
              std::min(glyph.Height, eh),
              std::max(glyph.Height, eh),
              0,
              0,
              0};
    if (o.minW > 0) {
        o.mask = (uint64_t(1) << o.minW) - 1;
        o.leftOk = o.mask & ~uint64_t(1); // x > 0
        o.rightOk = o.mask >> 1;          // x < minW - 1
    }
    return o;
}

// Four fifths of the area the smaller rectangle leaves uncovered count as agreement.
int areaCredit(const Overlap& o) {
    return ((o.maxW - o.minW) * o.minH + (o.maxH - o.minH) * o.maxW) * 4 / 5;
}

struct RowAgreement {
    uint64_t exact;    // the entry's pixel is the same
    uint64_t disagree; // neither it nor a horizontal neighbour is
};

RowAgreement compareRow(const Overlap& o, uint64_t glyphRow, uint64_t entryRow) {
    const uint64_t g = glyphRow & o.mask, e = entryRow & o.mask;
    const uint64_t exact = ~(g ^ e) & o.mask;
    // A one-pixel horizontal shift is forgiven.
    const uint64_t shifted = (~(g ^ (e << 1)) & o.leftOk) | (~(g ^ (e >> 1)) & o.rightOk);
    return {exact, o.mask & ~(exact | shifted)};
}

// Adds one row to the score: +1 for every agreeing pixel, and the running
// charge for every disagreeing one, walking the runs in column order. An
// exact agreement before a run resets the charge; a shifted one does not.
void scoreRow(int minW, RowAgreement row, int& p, int& score) {
    uint64_t exact = row.exact, disagree = row.disagree;
    score += minW - std::popcount(disagree);
    while (disagree) {
        const int x = std::countr_zero(disagree);
        const uint64_t before = (uint64_t(1) << x) - 1;
        if (exact & before) {
            p = 1;
            exact &= ~before;
        }
        const uint64_t run =
            exact ? disagree & ((uint64_t(1) << std::countr_zero(exact)) - 1) : disagree;
        score -= chargeRun(p, std::popcount(run));
        disagree &= ~run;
    }
    if (exact) p = 1;
}

// The charge left after rows fromRow..minH-1 without scoring them: only the
// disagreements after the last exact agreement matter, so walk back to it.
int penaltyAfter(const Glyph& glyph, const CharMatrixEntry& entry, const Overlap& o, int fromRow,
                 int p) {
    int trailing = 0;
    for (int y = o.minH - 1; y >= fromRow; --y) {
        const RowAgreement row = compareRow(o, glyph.Rows[size_t(y)], entry.Rows[size_t(y)]);
        if (row.exact) {
            const int last = 63 - std::countl_zero(row.exact);
            trailing += std::popcount(row.disagree >> last);
            p = 1;
            break;
        }
        trailing += std::popcount(row.disagree);
    }
    chargeRun(p, trailing);
    return p;
}

// Whether the similarity reaches `sensibility` (then stored in `similarity`),
// leaving the penalty exactly as the full comparison would. It stops scoring
// as soon as even a perfect rest could not reach the threshold.
bool reaches(const Glyph& glyph, const CharMatrixEntry& entry, int& penalty, int sensibility,
             int& similarity) {
    const Overlap o = overlapOf(glyph, entry);
    if (o.maxW <= 0 || o.maxH <= 0) {
        similarity = 0;
        return 0 >= sensibility;
    }
    const int64_t area = int64_t(o.maxW) * o.maxH;
    // similarity = score * 1000 / area, truncated toward zero
    auto passes = [&](int64_t score) {
        return sensibility > 0 ? score * 1000 >= int64_t(sensibility) * area : score * 1000 > -area;
    };
    int score = areaCredit(o);
    similarity = int(int64_t(score) * 1000 / area);
    if (o.minW <= 0) return passes(score);
    int p = penalty;
    for (int y = 0; y < o.minH; ++y) {
        scoreRow(o.minW, compareRow(o, glyph.Rows[size_t(y)], entry.Rows[size_t(y)]), p, score);
        const int64_t best = int64_t(score) + int64_t(o.minH - 1 - y) * o.minW;
        if (!passes(best)) {
            penalty = penaltyAfter(glyph, entry, o, y + 1, p);
            return false;
        }
    }
    penalty = p;
    similarity = int(int64_t(score) * 1000 / area);
    return passes(score);
}

// A glyph of parts stacked one above the other (an accent over its letter,
// the dot of an i) matches only when each part does: over the rows where
// both have ink, between rows where either has none, each run of rows taken
// alone must reach `sensibility`. An accent is small against the whole
// glyph, so the whole similarity alone passes a grave accent for a
// circumflex; a glyph in one part is not checked again.
bool partsAgree(const Glyph& glyph, const CharMatrixEntry& entry, int sensibility) {
    const Overlap o = overlapOf(glyph, entry);
    if (o.minW <= 0) return true;
    int from = 0, parts = 0;
    std::array<std::pair<int, int>, kGlyphCellSize> runs{};
    for (int y = 0; y <= o.minH; ++y) {
        const bool ink =
            y < o.minH && (glyph.Rows[size_t(y)] & o.mask) && (entry.Rows[size_t(y)] & o.mask);
        if (ink) continue;
        if (y > from) runs[size_t(parts++)] = {from, y};
        from = y + 1;
    }
    if (parts < 2) return true;
    for (int r = 0; r < parts; ++r) {
        const auto [top, end] = runs[size_t(r)];
        int p = 1, score = 0;
        for (int y = top; y < end; ++y)
            scoreRow(o.minW, compareRow(o, glyph.Rows[size_t(y)], entry.Rows[size_t(y)]), p, score);
        if (int64_t(score) * 1000 < int64_t(sensibility) * o.minW * (end - top)) return false;
    }
    return true;
}

} // namespace

int similarityOf(const Glyph& glyph, const CharMatrixEntry& entry, int& penalty) {
    const Overlap o = overlapOf(glyph, entry);
    if (o.maxW <= 0 || o.maxH <= 0) return 0;
    int score = areaCredit(o);
    if (o.minW > 0) {
        int p = penalty;
        for (int y = 0; y < o.minH; ++y)
            scoreRow(o.minW, compareRow(o, glyph.Rows[size_t(y)], entry.Rows[size_t(y)]), p, score);
        penalty = p;
    }
    return score * 1000 / (o.maxW * o.maxH);
}

int differingPixels(const Glyph& glyph, const CharMatrixEntry& entry) {
    int differing = 0;
    for (size_t y = 0; y < kGlyphCellSize; ++y)
        differing += std::popcount(glyph.Rows[y] ^ entry.Rows[y]);
    return differing;
}

int findMatchingEntry(const CharMatrix& matrix, const Glyph& glyph, const OcrSettings& settings) {
    int penalty = 1;
    int best = 0, bestSimilarity = 0, bestDiffering = 0;
    const auto entries = matrix.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const CharMatrixEntry& e = entries[i];
        if (!passesFilter(e, glyph, settings)) continue;
        // Once an entry matches, a later one must be closer: more similar,
        // or as similar with fewer pixels that differ (the similarity
        // forgives the few pixels that tell è from ê at small sizes).
        const int needed = best ? bestSimilarity : int(settings.Sensibility);
        int similarity = 0;
        if (!reaches(glyph, e, penalty, needed, similarity) ||
            !partsAgree(glyph, e, settings.Sensibility))
            continue;
        const int differing = differingPixels(glyph, e);
        if (best && similarity == bestSimilarity && differing >= bestDiffering) continue;
        best = int(i) + 1;
        bestSimilarity = similarity;
        bestDiffering = differing;
        if (similarity >= 1000 && differing == 0) break; // nothing can be closer
    }
    return best;
}

CharMatrixEntry entryFromGlyph(const Glyph& glyph, const std::string& text) {
    CharMatrixEntry e;
    e.Top = glyph.RelTop;
    e.Width = uint8_t(std::clamp(glyph.Width, 0, kGlyphCellSize));
    e.Height = uint8_t(std::clamp(glyph.Height, 0, kGlyphCellSize));
    e.Text = text.substr(0, kEntryTextLength);
    const uint64_t mask = e.Width ? (uint64_t(1) << e.Width) - 1 : 0;
    for (int y = 0; y < e.Height; ++y) e.Rows[size_t(y)] = glyph.Rows[size_t(y)] & mask;
    return e;
}

} // namespace mirtal
