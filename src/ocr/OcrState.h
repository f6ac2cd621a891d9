#pragma once

#include "base/Colour.h"
#include "base/DvdColourOrder.h"

#include <array>
#include <cstdint>

namespace mirtal {

constexpr uint8_t kTextColourUnchosen = 255;

// The text colour choice that recognition keeps between subpictures.
struct OcrState {
    std::array<Colour, 4> DrawColor{kDrawColour[0], kDrawColour[1], kDrawColour[2], kDrawColour[3]};
    uint8_t TextColorIndex = kTextColourUnchosen; // 0..3, or unchosen
    Colour TextColor = 0xFFFFFF;
    DvdColourOrder ColorOrder{0, 0, 0, 0}; // last automatic ordering

    bool textColourChosen() const { return TextColorIndex <= 3; }
    // At the start of every rip job and after "Change Text Color".
    void forgetTextColour() { TextColorIndex = kTextColourUnchosen; }
    void chooseTextColour(int index) {
        TextColorIndex = uint8_t(index);
        TextColor = DrawColor[size_t(index & 3)];
    }
};

} // namespace mirtal
