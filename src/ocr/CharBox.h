#pragma once

#include <cstdint>

namespace mirtal {

// One character box found by segmentation, in work-bitmap coordinates.
struct CharBox {
    uint16_t X = 0;
    uint16_t Y = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t RelTop = 0; // Y minus the line's top row, modulo 256
    uint8_t Italic = 0;
    bool operator==(const CharBox&) const = default;
};

} // namespace mirtal
