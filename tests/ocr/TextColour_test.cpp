#include "OcrTestBitmaps.h"
#include "base/CropToText.h"
#include "ocr/TextColour.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

const std::array<Colour, 4> kDraw{kDrawColour[0], kDrawColour[1], kDrawColour[2], kDrawColour[3]};

// A 10 x 10 bitmap: `first` at the top left, then codes 0..3 as counted (with the first).
Bitmap24 Mix(int first, std::array<int, 4> counts) {
    Bitmap24 b(10, 10);
    std::vector<int> codes{first};
    --counts[size_t(first)];
    for (int v = 0; v < 4; ++v)
        for (int i = 0; i < counts[size_t(v)]; ++i) codes.push_back(v);
    for (size_t k = 0; k < codes.size() && k < 100; ++k)
        b.setPixel(int(k % 10), int(k / 10), kDraw[size_t(codes[k])]);
    return b;
}

} // namespace

TEST(TextColor, TheGuessIsTheSecondMostFrequentCodeUnlessItWasMetFirst) {
    Bitmap24 tie = Mix(0, {50, 20, 30, 0});
    for (int x = 0; x < 10; ++x) tie.setPixel(x, 9, 0x123456); // codes 1 and 2 now tie at 20
    Bitmap24 foreign(10, 10, 0x123456);
    foreign.setPixel(5, 5, kText);
    std::array<Colour, 4> twins = kDraw;
    twins[3] = twins[2];
    const struct {
        const char* name;
        Bitmap24 bitmap;
        std::array<Colour, 4> draw;
        DvdColourOrder want;
    } cases[] = {
        {"body 20 %, outline 10 % met first", Mix(1, {70, 10, 0, 20}), kDraw, {0, 3, 1, 2}},
        {"outline 20 % met first, body 10 %", Mix(1, {70, 20, 0, 10}), kDraw, {0, 3, 1, 2}},
        {"body 20 % met first, another 10 %", Mix(3, {70, 0, 10, 20}), kDraw, {0, 2, 3, 1}},
        {"ties keep code order before the swap", tie, kDraw, {0, 2, 1, 3}},
        {"other colours are not counted", foreign, kDraw, {3, 0, 1, 2}},
        {"equal colours count for the lower code", Mix(2, {40, 0, 60, 0}), twins, {2, 0, 1, 3}},
        {"empty", Bitmap24(), kDraw, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(autoDetectTextColour(c.bitmap, c.draw), c.want) << c.name;
    EXPECT_FALSE(guessTextColourIndex(Bitmap24(0, 5), kDraw));
    EXPECT_EQ(guessTextColourIndex(Mix(1, {70, 10, 0, 20}), kDraw), 3);
}

TEST(TextColor, SelectShowsTheChosenColourWhiteOnBlack) {
    OcrState state;
    state.DrawColor[0] = 0x0000FF; // a background that is not black turns black too
    Bitmap24 work = Art({"o#a.", "####"}), want(4, 2, 0);
    work.setPixel(3, 0, 0x123456), work.setPixel(3, 1, 0x0000FF); // 0x123456 is left alone
    want.setPixel(0, 0, 0xFFFFFF), want.setPixel(3, 0, 0x123456);
    EXPECT_EQ(selectTextColour(state, work, 1), want);
    EXPECT_EQ(state.TextColor, kOutline);
}

TEST(CropToText, KeepsTheBoundingBoxOfTheTextOrOfAllButTheBackground) {
    const Bitmap24 art = Art({"......", "..o#..", "...o#.", "......"});
    Bitmap24 b = art;
    EXPECT_EQ(cropToText(b, kText), (Rect{3, 1, 4, 2}));
    EXPECT_EQ(b, Art({"#.", "o#"}));
    b = art;
    EXPECT_EQ(cropToText(b, kBack, CropMode::NotBackground), (Rect{2, 1, 4, 2}));
    EXPECT_EQ(b, Art({"o#.", ".o#"}));
    // without text the bitmap stays as it was
    b = Art({"..o", "o.."});
    const Bitmap24 before = b;
    EXPECT_FALSE(cropToText(b, kText));
    EXPECT_EQ(b, before);
}
