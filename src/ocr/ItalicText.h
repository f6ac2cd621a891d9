#pragma once

#include "ocr/GlyphMatcher.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mirtal {

// How sharply a glyph's pixels stack into columns once its rows are shifted
// back by each trial shear (columns per row, the top leaning right): upright
// strokes stack best unsheared, italic ones at their slant.
constexpr std::array<double, 7> kShears = {-0.3, -0.2, -0.1, 0, 0.1, 0.2, 0.3};
struct SlantProfile {
    std::array<double, kShears.size()> stacking{};
    int measured = 0; // glyphs tall enough to tell
    SlantProfile& operator+=(const SlantProfile& other);
    // How much better the glyphs stack leaning right than leaning left by
    // as much, against how they stack upright: 0 for upright glyphs, whose
    // slanted strokes lean both ways alike, well above it for italics.
    double lean() const;
};
SlantProfile glyphSlant(const Glyph& glyph);
// The same for a glyph read as `text`. Digits lean by design (the diagonals
// of 2, 4 and 7) in upright and italic type alike: they are not measured.
SlantProfile glyphSlant(const Glyph& glyph, std::string_view text);

// Text leaning more than this counts as set in italic (upright lines of
// the test discs lean -0.28..0.12, italic ones 0.64..1.44).
constexpr double kItalicLean = 0.35;

// The key a glyph's gaps are counted under for the space width: its text,
// marked in a line that leans as italics (an italic letter overhangs its
// neighbours unlike its upright twin).
std::string spacingKey(const std::string& text, bool italicLine);

// One word of a recognised line: its text and its glyphs' slant.
struct LineWord {
    std::string text;
    SlantProfile slant;
};

// A word goes against the slant of its line only when it has this many
// glyphs to tell and leans this much beyond the limit: a few letters with
// diagonal strokes lean by chance.
constexpr int kWordAgainstLine = 3;
constexpr double kWordLeanMargin = 0.2;

// The line's words joined by single spaces, the italic ones marked as
// <i>...</i>: a whole line in italic is one span, otherwise each run of
// italic words. Words too small to measure (a dash, dots) go with the
// measured word before them, else the one after.
std::string markItalicWords(const std::vector<LineWord>& words);

} // namespace mirtal
