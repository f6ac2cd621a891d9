#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"

#include <optional>

namespace mirtal {

enum class CropMode {
    TextColour,    // keep the bounding box of the pixels of the given colour
    NotBackground, // keep the bounding box of the pixels that differ from the given colour
};

// Replaces the bitmap by the content of the bounding box of the selected
// pixels (moved to the origin) and returns that box, inclusive, in the old
// coordinates. Without any selected pixel the bitmap is left as it was.
std::optional<Rect> cropToText(Bitmap24& bitmap, Colour colour,
                               CropMode mode = CropMode::TextColour);

} // namespace mirtal
