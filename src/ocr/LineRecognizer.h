#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirtal {

// One text line as the recogniser sees it: the pixels of the line's
// characters, row after row.
struct LineImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> on; // width * height, 1 for a text pixel

    bool at(int x, int y) const { return on[size_t(y) * size_t(width) + size_t(x)] != 0; }
};

// One character of a reading: its columns in the line image (inclusive) and
// the texts it may be, most likely first, in Windows-1252 (a choice that has
// no 8-bit form is left out).
struct RecognizedChar {
    int left = 0;
    int right = 0;
    bool wordStart = false;
    std::vector<std::string> choices;
};

struct LineReading {
    std::vector<RecognizedChar> chars; // in reading order
};

// A whole-line recogniser that names glyph shapes by its readings (the
// engine's only use of an outside OCR).
class LineRecognizer {
public:
    virtual ~LineRecognizer() = default;
    virtual LineReading readLine(const LineImage& line) = 0;
};

} // namespace mirtal
