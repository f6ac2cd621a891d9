#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "export/BmpOutputSettings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mirtal {

// The slot (0..3) whose palette index is `paletteIndex`; the highest slot wins
// when several share it. An index above 15, which only a hand-edited file can
// hold, counts as 15.
std::optional<int> paletteSlotOf(const BmpColours& colours, int paletteIndex);

// The 16 palette entries of an output bitmap: the colour of the slot using
// each index, or the unused colour.
std::array<Colour, 16> outputPalette(const BmpColours& colours);

// Turns decoded subpictures into output palette bitmaps for authoring tools.
// Holds the mapping of subpicture codes to output slots and the scratch that
// is reused from one picture to the next.
class OutputBitmapComposer {
public:
    OutputBitmapComposer() { setDvdColourOrder({0, 0, 0, 0}); }

    // For each output slot, the subpicture code whose pixels belong to it.
    // Codes above 3 count as 3.
    void setDvdColourOrder(const std::array<uint8_t, 4>& order);
    const std::array<uint8_t, 4>& dvdColourOrder() const { return m_dvdColourOrder; }
    // compareColor[k] = kDrawColor[DvdColorOrder[k]].
    const std::array<Colour, 4>& compareColour() const { return m_compareColour; }

    // Crops and grows the work bitmap as the settings say, converts it into
    // `output` and returns the output rectangle on the frame. The work bitmap
    // is left as it is. The frame is the DVD's, or the larger one of a
    // picture made from a high-definition source.
    Rect composeOutputBitmap(const BmpOutputSettings& settings, const Bitmap24& work,
                             PaletteBitmap& output, const Rect& subpictureRect,
                             int frameWidth = kFrameWidth, int frameHeight = kFrameHeight);

private:
    struct Placement {
        int srcLeft = 0, srcTop = 0; // text area in the work bitmap
        int w = 0, h = 0;            // text area size
        int W = 0, H = 0;            // output size
        int64_t offX = 0, offY = 0;  // text area's top-left inside the output
    };
    void convert(const BmpColours& colours, const Bitmap24& work, const Placement& p,
                 PaletteBitmap& output);

    std::array<uint8_t, 4> m_dvdColourOrder{};
    std::array<Colour, 4> m_compareColour{};
    std::vector<uint8_t> m_indexRow;
};

} // namespace mirtal
