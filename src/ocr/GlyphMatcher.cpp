#include "ocr/GlyphMatcher.h"

#include <algorithm>
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
    const int x1 = std::min({w, GlyphCellSize, bitmap.width() - x0});
    const int y1 = std::min({h, GlyphCellSize, bitmap.height() - y0});
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

Glyph MakeGlyph(const Bitmap24& work, const CharBox& box, Colour glyphColor) {
    return glyphFrom(work, box.X, box.Y, box.Width, box.Height, box.RelTop, glyphColor);
}

Glyph MakeGlyph(const Bitmap24& glyphBitmap, uint8_t relTop, Colour glyphColor) {
    return glyphFrom(glyphBitmap, 0, 0, glyphBitmap.width(), glyphBitmap.height(), relTop,
                     glyphColor);
}

bool PassesFilter(const CharMatrixEntry& entry, const Glyph& glyph, const OcrSettings& settings) {
    return std::abs(int(entry.Width) - glyph.Width) <= settings.MaxCharDiffWidth &&
           std::abs(int(entry.Height) - glyph.Height) <= settings.MaxCharDiffHeight &&
           std::abs(int(entry.Top) - int(glyph.RelTop)) <= settings.MaxCharDiffTop;
}

int Similarity(const Glyph& glyph, const CharMatrixEntry& entry, int& penalty) {
    const int ew = std::min<int>(entry.Width, GlyphCellSize);
    const int eh = std::min<int>(entry.Height, GlyphCellSize);
    const int minW = std::min(glyph.Width, ew), maxW = std::max(glyph.Width, ew);
    const int minH = std::min(glyph.Height, eh), maxH = std::max(glyph.Height, eh);
    if (maxW <= 0 || maxH <= 0) return 0;
    // Four fifths of the area the smaller rectangle leaves uncovered count as agreement.
    int score = ((maxW - minW) * minH + (maxH - minH) * maxW) * 4 / 5;
    if (minW > 0) {
        const uint64_t mask = (uint64_t(1) << minW) - 1;
        const uint64_t leftOk = mask & ~uint64_t(1); // x > 0
        const uint64_t rightOk = mask >> 1;          // x < minW - 1
        int p = penalty;
        for (int y = 0; y < minH; ++y) {
            const uint64_t g = glyph.Rows[size_t(y)] & mask;
            const uint64_t e = entry.Rows[size_t(y)] & mask;
            uint64_t exact = ~(g ^ e) & mask;
            // A one-pixel horizontal shift is forgiven.
            const uint64_t shifted = (~(g ^ (e << 1)) & leftOk) | (~(g ^ (e >> 1)) & rightOk);
            uint64_t disagree = mask & ~(exact | shifted);
            score += std::popcount(exact | shifted);
            // Walk the runs of disagreement in column order; an exact
            // agreement before a run resets the charge, a shifted one does not.
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
        penalty = p;
    }
    return score * 1000 / (maxW * maxH);
}

int FindMatchingEntry(const CharMatrix& matrix, const Glyph& glyph, const OcrSettings& settings) {
    int penalty = 1;
    const auto entries = matrix.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const CharMatrixEntry& e = entries[i];
        if (!PassesFilter(e, glyph, settings)) continue;
        if (Similarity(glyph, e, penalty) >= int(settings.Sensibility)) return int(i) + 1;
    }
    return 0;
}

CharMatrixEntry EntryFromGlyph(const Glyph& glyph, const std::string& text) {
    CharMatrixEntry e;
    e.Top = glyph.RelTop;
    e.Width = uint8_t(std::clamp(glyph.Width, 0, GlyphCellSize));
    e.Height = uint8_t(std::clamp(glyph.Height, 0, GlyphCellSize));
    e.Text = text.substr(0, kEntryTextLength);
    const uint64_t mask = e.Width ? (uint64_t(1) << e.Width) - 1 : 0;
    for (int y = 0; y < e.Height; ++y) e.Rows[size_t(y)] = glyph.Rows[size_t(y)] & mask;
    return e;
}

} // namespace mirtal
