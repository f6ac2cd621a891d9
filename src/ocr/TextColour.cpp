#include "ocr/TextColour.h"

#include <utility>

namespace mirtal {

DvdColourOrder autoDetectTextColour(const Bitmap24& bitmap,
                                    const std::array<Colour, 4>& drawColour) {
    std::array<uint32_t, 4> count{};
    int firstSeen = -1;
    for (int y = 0; y < bitmap.height(); ++y) {
        const uint8_t* p = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, p += 3) {
            const Colour c = Colour(p[0]) << 16 | Colour(p[1]) << 8 | p[2];
            // The lowest code wins when two display colours are equal.
            for (int v = 0; v < 4; ++v) {
                if (c == drawColour[size_t(v)]) {
                    ++count[size_t(v)];
                    if (v != 0 && firstSeen < 0) firstSeen = v;
                    break;
                }
            }
        }
    }
    DvdColourOrder order{0, 1, 2, 3};
    // A bubble sort that swaps only on a strictly smaller left count keeps
    // ties in code order.
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < 3 - pass; ++i) {
            if (count[order[size_t(i)]] < count[order[size_t(i + 1)]])
                std::swap(order[size_t(i)], order[size_t(i + 1)]);
        }
    }
    // The outline is usually met before the body when reading from the top
    // left, so a first-seen code in second place is taken for the outline.
    if (firstSeen >= 0 && order[1] == firstSeen) std::swap(order[1], order[2]);
    return order;
}

std::optional<int> guessTextColourIndex(const Bitmap24& bitmap,
                                        const std::array<Colour, 4>& drawColour) {
    if (bitmap.empty()) return std::nullopt;
    return autoDetectTextColour(bitmap, drawColour)[1];
}

Bitmap24 selectTextColour(OcrState& state, const Bitmap24& work, int index) {
    Bitmap24 preview = work;
    if (index < 0 || index > 3) return preview;
    state.TextColor = state.DrawColor[size_t(index)];
    for (int y = 0; y < preview.height(); ++y) {
        for (int x = 0; x < preview.width(); ++x) {
            const Colour c = preview.pixel(x, y);
            if (c == state.TextColor)
                preview.setPixel(x, y, 0xFFFFFF);
            else if (c == state.DrawColor[0] || c == state.DrawColor[1] ||
                     c == state.DrawColor[2] || c == state.DrawColor[3])
                preview.setPixel(x, y, 0x000000);
        }
    }
    return preview;
}

} // namespace mirtal
