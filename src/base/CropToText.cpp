#include "base/CropToText.h"

namespace mirtal {

std::optional<Rect> CropToText(Bitmap24& bitmap, Colour colour, CropMode mode) {
    const int w = bitmap.width(), h = bitmap.height();
    if (bitmap.empty()) return std::nullopt;
    const bool wantEqual = mode == CropMode::TextColour;
    const uint8_t b0 = blueOf(colour), b1 = greenOf(colour), b2 = redOf(colour);
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uint8_t* p = bitmap.row(y);
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x, p += 3) {
            const bool equal = p[0] == b0 && p[1] == b1 && p[2] == b2;
            if (equal == wantEqual) {
                if (first < 0) first = x;
                last = x;
            }
        }
        if (first < 0) continue;
        if (top < 0) top = y;
        bottom = y;
        if (first < left) left = first;
        if (last > right) right = last;
    }
    if (top < 0) return std::nullopt;
    const int cw = right - left + 1, ch = bottom - top + 1;
    // Rows move up and left only, so copying in place top to bottom is safe.
    bitmap.copyFrom(bitmap, left, top, cw, ch, 0, 0);
    bitmap.crop(cw, ch);
    return Rect{left, top, right, bottom};
}

} // namespace mirtal
