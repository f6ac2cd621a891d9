#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"

#include <string>
#include <vector>

namespace mirtal::test {

constexpr Colour kBack = kDrawColor[0];
constexpr Colour kOutline = kDrawColor[1];
constexpr Colour kAntiAlias = kDrawColor[2];
constexpr Colour kText = kDrawColor[3];

// A work bitmap drawn as rows of characters: '#' text, 'o' outline,
// 'a' anti-aliasing, anything else background.
inline Bitmap24 Art(const std::vector<std::string>& rows) {
    size_t w = 0;
    for (const auto& r : rows) w = std::max(w, r.size());
    Bitmap24 b(int(w), int(rows.size()), kBack);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            const char c = rows[y][x];
            const Colour colour = c == '#'   ? kText
                                  : c == 'o' ? kOutline
                                  : c == 'a' ? kAntiAlias
                                             : kBack;
            b.setPixel(int(x), int(y), colour);
        }
    }
    return b;
}

// The pixels of one colour as rows of '#' and '.', for readable failures.
inline std::vector<std::string> Plot(const Bitmap24& b, Colour colour) {
    std::vector<std::string> out;
    for (int y = 0; y < b.height(); ++y) {
        std::string r;
        for (int x = 0; x < b.width(); ++x) r += b.pixel(x, y) == colour ? '#' : '.';
        out.push_back(r);
    }
    return out;
}

inline int CountPixels(const Bitmap24& b, Colour colour) {
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == colour;
    return n;
}

// Pastes `piece` into `dst` at (x, y), keeping the text pixels only.
inline void Stamp(Bitmap24& dst, const Bitmap24& piece, int x, int y) {
    for (int j = 0; j < piece.height(); ++j)
        for (int i = 0; i < piece.width(); ++i)
            if (piece.pixel(i, j) != kBack && dst.contains(x + i, y + j))
                dst.setPixel(x + i, y + j, piece.pixel(i, j));
}

} // namespace mirtal::test
