#pragma once

#include <array>
#include <cstdint>

namespace mirtal {

// For each output colour slot k (background, font, outline, anti-aliasing),
// the subpicture code 0..3 whose pixels belong to it. The text colour guess
// and the bitmap export both use it, so it lives below either of them.
using DvdColourOrder = std::array<uint8_t, 4>;

} // namespace mirtal
