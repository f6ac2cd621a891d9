#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "ocr/CharBox.h"
#include "ocr/CharMatrix.h"
#include "ocr/OcrSettings.h"

#include <array>
#include <cstdint>
#include <string>

namespace mirtal {

// A character cut out of the work bitmap: its true size and line-relative
// top, and its "on" pixels (those of the character's marker colour) as bit
// rows. Only the top-left 45 x 45 part can ever be compared or learned.
struct Glyph {
    int Width = 0;
    int Height = 0;
    uint8_t RelTop = 0;
    std::array<uint64_t, kGlyphCellSize> Rows{};

    bool pixel(int x, int y) const {
        return x >= 0 && y >= 0 && x < kGlyphCellSize && y < kGlyphCellSize &&
               (Rows[size_t(y)] >> x & 1u) != 0;
    }
};

// The glyph of a box of the work bitmap.
Glyph makeGlyph(const Bitmap24& work, const CharBox& box, Colour glyphColour);
// The glyph of a bitmap cut to the box already.
Glyph makeGlyph(const Bitmap24& glyphBitmap, uint8_t relTop, Colour glyphColour);

// The three size filters: an entry too different in width, height or top is
// not compared at all.
bool passesFilter(const CharMatrixEntry& entry, const Glyph& glyph, const OcrSettings& settings);

// Similarity in thousandths. `penalty` is the running charge for a run of
// disagreeing pixels (1, 2, 4, 8, 16, 16, ...); it starts at 1 for each glyph
// and carries over from one candidate to the next.
int similarityOf(const Glyph& glyph, const CharMatrixEntry& entry, int& penalty);

// The pixels in which a glyph and an entry differ, both from their top left.
int differingPixels(const Glyph& glyph, const CharMatrixEntry& entry);

// The number of the closest entry among those that pass the filters and
// reach Sensibility (on equal similarity the one with fewer differing
// pixels, then the lower number); 0 when none does. Candidates are compared in index order, the
// penalty carried from one to the next as Similarity describes.
int findMatchingEntry(const CharMatrix& matrix, const Glyph& glyph, const OcrSettings& settings);

// A new matrix entry learned from the glyph (its size clipped to the cell).
CharMatrixEntry entryFromGlyph(const Glyph& glyph, const std::string& text);

} // namespace mirtal
