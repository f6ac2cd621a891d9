#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "ocr/GlyphMatcher.h"
#include "ocr/LineRecognizer.h"

#include <deque>
#include <string>
#include <vector>

namespace mirtal::test {

constexpr Colour kBack = kDrawColour[0];
constexpr Colour kOutline = kDrawColour[1];
constexpr Colour kText = kDrawColour[3];

// A work bitmap from rows: '#' text, 'o' outline, 'a' anti-aliasing, anything else background.
inline Bitmap24 Art(const std::vector<std::string>& rows) {
    size_t w = 0;
    for (const auto& r : rows) w = std::max(w, r.size());
    Bitmap24 b(int(w), int(rows.size()), kBack);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            const char c = rows[y][x];
            const Colour colour = c == '#'   ? kText
                                  : c == 'o' ? kOutline
                                  : c == 'a' ? kDrawColour[2]
                                             : kBack;
            b.setPixel(int(x), int(y), colour);
        }
    }
    return b;
}

inline int CountPixels(const Bitmap24& b, Colour colour) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == colour;
    return n;
}

// Glyph from rows of '#' (on) and '.' (off).
inline Glyph GlyphOf(const std::vector<std::string>& rows, uint8_t relTop = 0) {
    Glyph g;
    g.Height = int(rows.size());
    g.Width = int(rows.empty() ? 0 : rows[0].size());
    g.RelTop = relTop;
    for (size_t y = 0; y < rows.size() && y < 45; ++y)
        for (size_t x = 0; x < rows[y].size() && x < 45; ++x)
            if (rows[y][x] == '#') g.Rows[y] |= uint64_t(1) << x;
    return g;
}

// è and ê of a 20-pixel font: the matcher forgives most of the accents.
inline std::vector<std::string> Accented(std::vector<std::string> accent) {
    const std::vector<std::string> body = {".........", "..#####..", ".###..##.", "##.....##",
                                           "##.....##", "##.....##", "#########", "##.......",
                                           "##.......", "##.....##", ".###..##.", "..#####.."};
    accent.insert(accent.end(), body.begin(), body.end());
    return accent;
}
inline const std::vector<std::string> kGrave12 = Accented({"..###....", "....#....", ".....#..."});
inline const std::vector<std::string> kCircumflex12 =
    Accented({"...###...", "..##.##..", "..#...##."});

// Reads each line as the next text of its script, one character per box.
class ScriptedReader : public LineRecognizer {
public:
    std::deque<std::string> script;
    std::vector<LineImage> seen;
    LineReading readLine(const LineImage& image) override {
        seen.push_back(image);
        LineReading r;
        for (char c : script.at(0)) r.chars.push_back({0, 0, false, {std::string(1, c)}});
        script.pop_front();
        return r;
    }
};

} // namespace mirtal::test
