#pragma once

#include "base/Colour.h"
#include "base/DvdColorOrder.h"

#include <array>
#include <cstdint>

namespace mirtal {

constexpr uint8_t kTextColorUnchosen = 255;

// The text colour choice that recognition keeps between subpictures.
struct OcrState {
    std::array<Colour, 4> DrawColor{kDrawColor[0], kDrawColor[1], kDrawColor[2], kDrawColor[3]};
    uint8_t TextColorIndex = kTextColorUnchosen; // 0..3, or unchosen
    Colour TextColor = 0xFFFFFF;
    DvdColorOrder ColorOrder{0, 0, 0, 0}; // last automatic ordering

    bool textColorChosen() const { return TextColorIndex <= 3; }
    // At the start of every rip job and after "Change Text Color".
    void forgetTextColor() { TextColorIndex = kTextColorUnchosen; }
    void chooseTextColor(int index) {
        TextColorIndex = uint8_t(index);
        TextColor = DrawColor[size_t(index & 3)];
    }
};

} // namespace mirtal
