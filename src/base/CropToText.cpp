#include "base/CropToText.h"

#include <algorithm>

namespace mirtal {

std::optional<Rect> cropToText(Bitmap24& bitmap, Colour colour, CropMode mode) {
    const int w = bitmap.width(), h = bitmap.height();
    if (bitmap.empty()) return std::nullopt;
    const bool wantEqual = mode == CropMode::TextColour;
    const uint8_t b0 = blueOf(colour), b1 = greenOf(colour), b2 = redOf(colour);
    auto selected = [&](const uint8_t* p) {
        return ((p[0] ^ b0) | (p[1] ^ b1) | (p[2] ^ b2)) == 0 ? wantEqual : !wantEqual;
    };
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uint8_t* r = bitmap.row(y);
        int first = 0;
        while (first < w && !selected(r + size_t(first) * 3)) ++first;
        if (first == w) continue;
        // Only the ends of a row with text matter: scan in from the right.
        int last = w - 1;
        while (last > first && !selected(r + size_t(last) * 3)) --last;
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0) return std::nullopt;
    const int cw = right - left + 1, ch = bottom - top + 1;
    // Rows move up and left only, so copying in place top to bottom is safe.
    bitmap.copyFrom(bitmap, left, top, cw, ch, 0, 0);
    bitmap.crop(cw, ch);
    return Rect{left, top, right, bottom};
}

} // namespace mirtal
