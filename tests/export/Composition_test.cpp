#include "export/OutputBitmapComposer.h"

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace mirtal;

namespace {

// Text area: the w x h rectangle at (left, top), cycling through the codes 1, 2, 3.
Bitmap24 workWithText(int width, int height, int left, int top, int w, int h) {
    Bitmap24 b(width, height, kDrawColour[0]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.setPixel(left + x, top + y, kDrawColour[1 + (x + y) % 3]);
    return b;
}

class Composition : public ::testing::Test {
protected:
    Composition() { composer.setDvdColourOrder({0, 1, 2, 3}); }

    // The text area of workWithText at (offX, offY), background elsewhere.
    void expectTextAt(int offX, int offY, int w, int h) {
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0, tx = -offX, ty = y - offY; x < out.width(); ++x, ++tx) {
                int code = (tx >= 0 && ty >= 0 && tx < w && ty < h) ? 1 + (tx + ty) % 3 : 0;
                ASSERT_EQ(out.index(x, y), settings.Colors.ColorPalIndex[size_t(code)])
                    << "at " << x << "," << y;
            }
    }

    OutputBitmapComposer composer;
    BmpOutputSettings settings;
    PaletteBitmap out;
};

} // namespace

// "x=" and "y=" are the alignment modes; "at=X,Y" switches repositioning on.
static BmpOutputSettings settingsFrom(const std::string& text) {
    BmpOutputSettings s;
    BmpCropping& c = s.Cropping;
    BmpPositioning& p = s.Positioning;
    const std::map<std::string, std::function<void(int, int)>> set = {
        {"x", [&](int a, int) { c.XPosMode = uint8_t(a); }},
        {"y", [&](int a, int) { c.YPosMode = uint8_t(a); }},
        {"min", [&](int a, int b) { c.MinX = uint16_t(a), c.MinY = uint16_t(b); }},
        {"div", [&](int a, int b) { c.DivX = uint16_t(a), c.DivY = uint16_t(b); }},
        {"shift", [&](int a, int b) { c.PosShift.X = a, c.PosShift.Y = b; }},
        {"uncut", [&](int, int) { c.Enabled = false; }},
        {"at",
         [&](int a, int b) { p.Enabled = true, p.XPosMode = uint8_t(a), p.YPosMode = uint8_t(b); }},
        {"setto", [&](int a, int b) { p.SetTo.X = a, p.SetTo.Y = b; }},
        {"move", [&](int a, int b) { p.PosShift.X = a, p.PosShift.Y = b; }},
    };
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        const size_t eq = std::min(word.find('='), word.size());
        int a = 0, b = 0;
        if (eq < word.size()) std::sscanf(word.c_str() + eq + 1, "%d,%d", &a, &b);
        set.at(word.substr(0, eq))(a, b);
    }
    return s;
}

// The text area cut out, grown to the minimum and the steps, aligned, shifted,
// kept on the frame, then repositioned. The composer is reused row to row.
TEST_F(Composition, TextAreaIsCutGrownAlignedAndPlaced) {
    struct Work {
        int width, height, left, top, w, h;
    };
    const Work standard{300, 100, 50, 20, 100, 30}, frame{100, 30, 0, 0, 100, 30};
    const Work tiny{100, 100, 10, 10, 8, 4};
    const Rect low{100, 400, 399, 499}, mid{100, 300, 399, 399}, high{100, 100, 399, 199};
    const struct {
        Work work;
        Rect sub;
        const char* settings;
        Rect expected;
        int offX, offY;
    } cases[] = {
        {standard, low, "", {148, 410, 251, 459}, 2, 10},
        {standard, mid, "x=0 y=2", {150, 300, 253, 349}, 0, 20},
        {standard, mid, "x=2 y=0", {146, 320, 249, 369}, 4, 0},
        // 101 wide grows to 104: an odd room of 3 centres at 1.
        {{200, 60, 10, 5, 101, 31}, {200, 200, 399, 259}, "", {209, 196, 312, 245}, 1, 9},
        // A full-frame minimum width starts at the left edge whatever the alignment.
        {standard, low, "min=720,50 x=2", {0, 410, 719, 459}, 150, 10},
        // The bitmap stays on the frame and the text moves inside it.
        {{100, 40, 0, 5, 100, 30}, {620, 500, 719, 539}, "x=0", {616, 495, 719, 544}, 4, 10},
        {frame, {0, 0, 99, 29}, "", {0, 0, 103, 49}, 0, 0},
        {frame, {300, 546, 399, 575}, "y=0", {298, 526, 401, 575}, 2, 20},
        // A shift larger than the room is clamped to the bitmap.
        {standard, low, "shift=50,40", {150, 420, 253, 469}, 0, 0},
        {standard, low, "shift=-50,-40", {146, 400, 249, 449}, 4, 20},
        {standard, low, "shift=1,-3", {149, 407, 252, 456}, 1, 13},
        // Rounded up to the steps, then clamped to the frame: 719 in steps of 32.
        {{720, 576, 0, 0, 715, 571}, {0, 0, 719, 575}, "", {0, 0, 719, 571}, 0, 0},
        {{720, 576, 0, 0, 719, 575}, {0, 0, 719, 575}, "div=32,32", {0, 0, 719, 575}, 0, 0},
        // Minimum sizes; without them exact multiples are kept.
        {tiny, {100, 100, 199, 199}, "", {106, 87, 121, 136}, 4, 23},
        {tiny, {100, 100, 199, 199}, "min=0,0", {110, 110, 117, 113}, 0, 0},
        {standard, low, "uncut", {100, 400, 399, 499}, 50, 20},
        // All background: nothing is cut; an empty work bitmap gives the minimum.
        {{40, 20, 0, 0, 0, 0}, {200, 300, 239, 319}, "", {200, 285, 239, 334}, 0, 0},
        {{0, 0, 0, 0, 0, 0}, {0, 0, -1, -1}, "", {0, 0, 15, 49}, 0, 0},
        // Repositioning: the rule, then the shift, then the frame.
        {standard, high, "at=1,2", {308, 526, 411, 575}, 2, 10},
        {standard, high, "at=3,3 setto=700,10", {616, 10, 719, 59}, 2, 10},
        {standard, high, "at=0,0 move=7,-500", {155, 0, 258, 49}, 2, 10},
        {standard, high, "at=2,0 move=-16,0", {600, 110, 703, 159}, 2, 10},
        // Values only a hand-edited file holds: a step of 0 acts as 1, only its
        // low 8 bits act, and an unknown mode acts as the last one.
        {standard, high, "div=0,0 min=16,0", {150, 120, 249, 149}, 0, 0},
        {standard, high, "div=264,256 min=16,0", {148, 120, 251, 149}, 2, 0},
        {standard, high, "x=7 y=200", {146, 100, 249, 149}, 4, 20},
        {standard, high, "at=9,255 setto=-100000,2000000000", {0, 526, 103, 575}, 2, 10},
    };
    for (const auto& c : cases) {
        const Work& w = c.work;
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        Bitmap24 work = workWithText(w.width, w.height, w.left, w.top, w.w, w.h);
        settings = settingsFrom(c.settings);
        const Rect r = composer.composeOutputBitmap(settings, work, out, c.sub);
        EXPECT_EQ(work, workWithText(w.width, w.height, w.left, w.top, w.w, w.h)) << "left alone";
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(std::pair(out.width(), out.height()),
                  std::pair(r.X2 - r.X1 + 1, r.Y2 - r.Y1 + 1));
        expectTextAt(c.offX, c.offY, w.w, w.h);
    }
}

// The colour order maps codes to slots, each slot's colour goes to its palette
// index (the higher slot where two share one), the rest is the unused colour.
TEST_F(Composition, CodesBecomePaletteIndexesInTheOutputRow) {
    const struct {
        int bpp;
        std::array<uint8_t, 4> order, palIndex;
        std::vector<int> codes;
        std::vector<uint8_t> row;
    } cases[] = {
        {4, {0, 1, 2, 3}, {0, 1, 2, 3}, {1, 2, 3}, {0x12, 0x30}},
        {8, {0, 1, 2, 3}, {4, 9, 15, 0}, {0, 3, 2, 1}, {4, 0, 15, 9}},
        // Code 3 is the font (slot 1), code 1 the antialiasing (slot 3).
        {8, {0, 3, 2, 1}, {10, 11, 12, 13}, {0, 1, 2, 3}, {10, 13, 12, 11}},
        {4, {0, 1, 2, 3}, {0, 5, 5, 3}, {1, 2}, {0x55}},
        {8, {0, 1, 2, 99}, {0, 200, 5, 5}, {1, 3}, {15, 5}}, // as 15 and as 3
    };
    for (const auto& c : cases) {
        Bitmap24 work(int(c.codes.size()), 1);
        for (size_t x = 0; x < c.codes.size(); ++x)
            work.setPixel(int(x), 0, kDrawColour[c.codes[x]]);
        settings.Cropping.Enabled = false, settings.Colors.BitPerPixel = uint8_t(c.bpp);
        settings.Colors.ColorPalIndex = c.palIndex, settings.Colors.UnusedColor = 0x123456;
        composer.setDvdColourOrder(c.order);
        composer.composeOutputBitmap(settings, work, out, {0, 0, int(c.codes.size()) - 1, 0});
        ASSERT_EQ(out.bitsPerPixel(), c.bpp);
        EXPECT_EQ(std::vector<uint8_t>(out.row(0), out.row(0) + out.rowBytes()), c.row);
        std::array<Colour, 16> palette;
        palette.fill(settings.Colors.UnusedColor);
        for (size_t slot = 0; slot < 4; ++slot)
            palette[std::min<size_t>(c.palIndex[slot], 15)] = settings.Colors.Color[slot];
        EXPECT_EQ(out.palette, palette);
    }
    const BmpColours& colours = settings.Colors;
    EXPECT_EQ((std::vector{paletteSlotOf(colours, 15), paletteSlotOf(colours, 5),
                           paletteSlotOf(colours, 0), paletteSlotOf(colours, 1)}),
              (std::vector<std::optional<int>>{1, 3, 0, std::nullopt}));
    // Before the order is first set, every code but 0 counts as background.
    OutputBitmapComposer fresh;
    fresh.composeOutputBitmap(settings, workWithText(20, 10, 0, 0, 20, 10), out, {0, 0, 19, 9});
    expectTextAt(0, 0, 0, 0);
}
