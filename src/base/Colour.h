#pragma once

#include <cstdint>

namespace mirtal {

// A 24-bit colour as 0x00BBGGRR: red in the lowest byte.
using Colour = uint32_t;

constexpr uint8_t redOf(Colour c) {
    return uint8_t(c);
}
constexpr uint8_t greenOf(Colour c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t blueOf(Colour c) {
    return uint8_t(c >> 16);
}
constexpr Colour makeColour(uint8_t r, uint8_t g, uint8_t b) {
    return Colour(r) | Colour(g) << 8 | Colour(b) << 16;
}

// The four colours in which the 2-bit subpicture codes 0..3 are painted.
constexpr Colour kDrawColour[4] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};

struct Rect {
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // inclusive on both ends
    bool operator==(const Rect&) const = default;
};

constexpr int kFrameWidth = 720;
constexpr int kFrameHeight = 576;

} // namespace mirtal
