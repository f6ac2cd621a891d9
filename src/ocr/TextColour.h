#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "base/DvdColourOrder.h"
#include "ocr/OcrState.h"

#include <array>
#include <optional>

namespace mirtal {

// The four subpicture codes ordered by how many pixels they paint, most
// first, with the text body guessed in second place. An empty bitmap has no
// counts to sort and gives 0, 1, 2, 3.
DvdColourOrder autoDetectTextColour(const Bitmap24& bitmap,
                                    const std::array<Colour, 4>& drawColour);

// The guessed text code, or nullopt for an empty bitmap (where a dialog keeps
// its current selection).
std::optional<int> guessTextColourIndex(const Bitmap24& bitmap,
                                        const std::array<Colour, 4>& drawColour);

// Sets TextColor to DrawColor[index] (index 0..3, others are ignored) and
// returns the preview: the work bitmap with that colour white and the other
// three display colours black.
Bitmap24 selectTextColour(OcrState& state, const Bitmap24& work, int index);

} // namespace mirtal
