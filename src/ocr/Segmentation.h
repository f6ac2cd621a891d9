#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "ocr/CharBox.h"
#include "ocr/OcrSettings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace mirtal {

// Marker colours of the odd (1st, 3rd, ...) and even characters of a line:
// nearly the same blue on screen, distinct as values, so a character's
// pixels can be told from its left neighbour's.
constexpr Colour kCharColourA = 0xFF0000;
constexpr Colour kCharColourB = 0xFE0000;

constexpr int kMaxTextLines = 10;
constexpr int kMaxLineChars = 500;

// Marker colour of character number n (1-based) of a line.
constexpr Colour markerColour(int n) {
    return n % 2 == 1 ? kCharColourA : kCharColourB;
}

struct TextLine {
    uint16_t CharCount = 0;
    std::array<CharBox, kMaxLineChars> Chars; // 0-based storage of characters 1..CharCount
    std::span<const CharBox> boxes() const { return {Chars.data(), CharCount}; }
};

struct LineTable {
    uint8_t LineCount = 0;
    std::array<TextLine, kMaxTextLines> Lines;
};

// Cuts the bitmap into at most 10 lines of character boxes and recolours
// every accepted character in its marker colour. A line stops at 500
// characters; what lies right of the 500th stays unread.
void segmentSubpicture(Bitmap24& bitmap, Colour textColour, const OcrSettings& settings,
                       LineTable& table);

// Building blocks; rows and columns are inclusive and clipped to the bitmap.

// The first row in fromRow..toRow holding the colour in columns fromCol..toCol.
std::optional<int> firstRowWith(const Bitmap24& bitmap, Colour colour, int fromRow, int toRow,
                                int fromCol, int toCol);
// Walks down from fromRow and returns the last row holding the colour before
// the first row without it that lies at least `exploration` rows below fromRow.
int lastRowOfBand(const Bitmap24& bitmap, Colour colour, int fromRow, int toRow, int fromCol,
                  int toCol, int exploration);
// The first column from fromCol holding text in rows top..bottom; the text
// region met first from the bottom is filled with the marker colour.
std::optional<int> findFirstCharColumn(Bitmap24& bitmap, Colour textColour, Colour fill,
                                       int fromCol, int top, int bottom);

struct CharEdge {
    int right = 0;
    std::optional<int> nextCol; // where the next character's search starts; none ends the line
};
// Follows the character that starts at x0 to its right edge, joining the text
// that touches it from below or, with CheckDetachedChar, diagonally.
CharEdge findCharRightEdge(Bitmap24& bitmap, Colour textColour, Colour fill, int x0, int top,
                           int bottom, const OcrSettings& settings);

} // namespace mirtal
