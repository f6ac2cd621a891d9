#pragma once

#include "base/Colour.h"

#include <array>
#include <cstdint>

namespace mirtal {

struct BmpPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const BmpPoint&) const = default;
};

// Cut to the text area, then grow to the minimum size and the size steps.
struct BmpCropping {
    bool Enabled = true;
    uint16_t MinX = 16;   // 0..720
    uint16_t MinY = 50;   // 0..576
    uint16_t DivX = 8;    // 1..32; only the low 8 bits act
    uint16_t DivY = 2;    // 1..32; only the low 8 bits act
    uint8_t XPosMode = 1; // 0 left, 1 center, 2 right
    uint8_t YPosMode = 1; // 0 top, 1 center, 2 bottom
    BmpPoint PosShift;    // subtracted from the text's place inside the bitmap
    bool operator==(const BmpCropping&) const = default;
};

// Output slots: 0 background, 1 font, 2 outline, 3 antialiasing.
struct BmpColours {
    uint8_t BitPerPixel = 4; // 4 or 8
    std::array<Colour, 4> Color = {0x000000, 0xFFFFFF, 0xFF0000, 0x808080};
    uint8_t PresetColorPalIndex = 1;                     // 0 Free, 1 I-Author, 2 Philips
    std::array<uint8_t, 4> ColorPalIndex = {0, 1, 2, 3}; // 0..15
    Colour UnusedColor = 0x000000;
    bool operator==(const BmpColours&) const = default;
};

// Where the output rectangle goes on the frame.
struct BmpPositioning {
    bool Enabled = false;
    uint8_t XPosMode = 0; // 0 keep, 1 center, 2 right, 3 set to
    BmpPoint SetTo;       // X 0..719, Y 0..575
    BmpPoint PosShift;    // added to the place after the rule
    uint8_t YPosMode = 0; // 0 keep, 1 center, 2 bottom, 3 set to
    bool operator==(const BmpPositioning&) const = default;
};

struct BmpOutputSettings {
    BmpCropping Cropping;
    BmpColours Colors;
    BmpPositioning Positioning;
    bool operator==(const BmpOutputSettings&) const = default;
};

} // namespace mirtal
