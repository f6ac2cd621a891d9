#include "export/OutputBitmapComposer.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

using namespace mirtal;

namespace {

// A work bitmap of the given size whose text area is exactly the w x h
// rectangle at (left, top): its pixels cycle through the codes 1, 2, 3, and
// every pixel outside it is background.
Bitmap24 workWithText(int width, int height, int left, int top, int w, int h) {
    Bitmap24 b(width, height, kDrawColor[0]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.setPixel(left + x, top + y, kDrawColor[1 + (x + y) % 3]);
    return b;
}

// The palette index the composition must give subpicture code c with the
// identity colour order.
uint8_t indexOfCode(const BmpOutputSettings& s, int code) {
    return s.Colors.ColorPalIndex[size_t(code)];
}

class Composition : public ::testing::Test {
protected:
    Composition() { composer.SetDvdColorOrder({0, 1, 2, 3}); }

    // Checks that the text placed at (offX, offY) of the output holds the
    // text area of workWithText pixel for pixel and that everything else is
    // background.
    void expectTextAt(int offX, int offY, int w, int h) {
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                int tx = x - offX, ty = y - offY;
                int code = (tx >= 0 && ty >= 0 && tx < w && ty < h) ? 1 + (tx + ty) % 3 : 0;
                ASSERT_EQ(out.index(x, y), indexOfCode(settings, code)) << "at " << x << "," << y;
            }
        }
    }

    OutputBitmapComposer composer;
    BmpOutputSettings settings;
    PaletteBitmap out;
};

} // namespace

// Settings from a short description: "x=" and "y=" the alignment modes,
// "min=X,Y", "div=X,Y", "shift=X,Y", "uncut"; "at=X,Y" switches repositioning
// on with its modes, "setto=X,Y", "move=X,Y" its shift.
static BmpOutputSettings settingsFrom(const std::string& text) {
    BmpOutputSettings s;
    BmpCropping& c = s.Cropping;
    BmpPositioning& p = s.Positioning;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        const size_t eq = std::min(word.find('='), word.size());
        const std::string key = word.substr(0, eq);
        int a = 0, b = 0;
        if (eq < word.size()) std::sscanf(word.c_str() + eq + 1, "%d,%d", &a, &b);
        if (key == "x")
            c.XPosMode = uint8_t(a);
        else if (key == "y")
            c.YPosMode = uint8_t(a);
        else if (key == "min")
            c.MinX = uint16_t(a), c.MinY = uint16_t(b);
        else if (key == "div")
            c.DivX = uint16_t(a), c.DivY = uint16_t(b);
        else if (key == "shift")
            c.PosShift = {a, b};
        else if (key == "uncut")
            c.Enabled = false;
        else if (key == "at")
            p.Enabled = true, p.XPosMode = uint8_t(a), p.YPosMode = uint8_t(b);
        else if (key == "setto")
            p.SetTo = {a, b};
        else if (key == "move")
            p.PosShift = {a, b};
        else
            throw std::invalid_argument(word);
    }
    return s;
}

// The text area cut out, grown to the minimum size and the size steps,
// placed by the alignment and shift, kept on the frame, then moved by the
// repositioning rule: {work bitmap with its text area, subpicture rectangle,
// settings} -> output rectangle and the text's place inside the bitmap.
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
        {standard, low, "min=720,50 x=0", {0, 410, 719, 459}, 150, 10},
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
        SCOPED_TRACE(::testing::Message()
                     << "sub " << c.sub.X1 << "," << c.sub.Y1 << " with " << c.settings);
        Bitmap24 work = workWithText(w.width, w.height, w.left, w.top, w.w, w.h);
        const Bitmap24 before = work;
        settings = settingsFrom(c.settings);
        const Rect r = composer.ComposeOutputBitmap(settings, work, out, c.sub);
        EXPECT_EQ(work, before) << "the work bitmap is left as it is";
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(out.width(), r.X2 - r.X1 + 1);
        EXPECT_EQ(out.height(), r.Y2 - r.Y1 + 1);
        expectTextAt(c.offX, c.offY, w.w, w.h);
    }
}

// One row of subpicture codes -> the packed row and the palette: the DVD
// colour order maps codes to output slots, each slot's colour goes to its
// palette index (the higher slot where two share one), the rest is the
// unused colour; 4-bit rows hold the even column in the high nibble.
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
    };
    for (const auto& c : cases) {
        Bitmap24 work(int(c.codes.size()), 1);
        for (size_t x = 0; x < c.codes.size(); ++x)
            work.setPixel(int(x), 0, kDrawColor[c.codes[x]]);
        settings.Cropping.Enabled = false;
        settings.Colors.BitPerPixel = uint8_t(c.bpp);
        settings.Colors.ColorPalIndex = c.palIndex;
        settings.Colors.UnusedColor = 0x123456;
        composer.SetDvdColorOrder(c.order);
        composer.ComposeOutputBitmap(settings, work, out, {0, 0, int(c.codes.size()) - 1, 0});
        ASSERT_EQ(out.bitsPerPixel(), c.bpp);
        EXPECT_EQ(std::vector<uint8_t>(out.row(0), out.row(0) + out.rowBytes()), c.row);
        std::array<Colour, 16> palette;
        palette.fill(0x123456);
        for (size_t slot = 0; slot < 4; ++slot)
            palette[c.palIndex[slot]] = settings.Colors.Color[slot];
        EXPECT_EQ(out.palette, palette);
    }
    settings.Colors.ColorPalIndex = {0, 5, 5, 3};
    EXPECT_EQ(PaletteSlotOf(settings.Colors, 5), 2);
    EXPECT_EQ(PaletteSlotOf(settings.Colors, 0), 0);
    EXPECT_FALSE(PaletteSlotOf(settings.Colors, 1).has_value());
    composer.SetDvdColorOrder({0, 3, 2, 1});
    EXPECT_EQ(composer.CompareColor()[1], kDrawColor[3]);
    EXPECT_EQ(composer.CompareColor()[3], kDrawColor[1]);
}

// Before the order is first set, every code but 0 counts as background.
TEST_F(Composition, ColourOrderStartsUnset) {
    OutputBitmapComposer fresh;
    EXPECT_EQ(fresh.DvdColorOrder(), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    Bitmap24 work = workWithText(20, 10, 0, 0, 20, 10);
    fresh.ComposeOutputBitmap(settings, work, out, {0, 0, 19, 9});
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) ASSERT_EQ(out.index(x, y), 0);
}

TEST_F(Composition, OutOfRangePaletteIndexAndColourOrderAreBroughtIntoRange) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Colors.ColorPalIndex = {0, 200, 2, 3}; // as 15
    EXPECT_EQ(PaletteSlotOf(settings.Colors, 15), 1);
    composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(out.palette[15], settings.Colors.Color[1]);
    EXPECT_EQ(out.index(4, 20), 15); // first text pixel is code 1, the font
    composer.SetDvdColorOrder({0, 1, 2, 99});
    EXPECT_EQ(composer.DvdColorOrder()[3], 3);
}

TEST_F(Composition, SubpictureOutsideFrameIsClippedWithoutFault) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    for (Rect sub : {Rect{4000, 4000, 4299, 4099}, Rect{-5000, -9000, -4701, -8901},
                     Rect{INT32_MAX - 10, INT32_MIN + 10, INT32_MAX, INT32_MIN + 20}}) {
        for (int32_t shift : {0, INT32_MIN, INT32_MAX}) {
            settings.Cropping.PosShift = {shift, shift};
            settings.Positioning.Enabled = shift != 0;
            settings.Positioning.PosShift = {shift, shift};
            Rect r = composer.ComposeOutputBitmap(settings, work, out, sub);
            EXPECT_GE(r.X1, 0);
            EXPECT_GE(r.Y1, 0);
            EXPECT_LE(r.X2, 719);
            EXPECT_LE(r.Y2, 575);
            EXPECT_EQ(r.X2 - r.X1 + 1, out.width());
            EXPECT_EQ(r.Y2 - r.Y1 + 1, out.height());
        }
    }
}

TEST_F(Composition, ReusedComposerGivesSameResultAsFreshOne) {
    Bitmap24 big = workWithText(720, 576, 3, 7, 700, 560);
    Bitmap24 small = workWithText(60, 40, 5, 5, 33, 11);
    settings.Colors.BitPerPixel = 8;
    composer.ComposeOutputBitmap(settings, big, out, {0, 0, 719, 575});
    settings.Colors.BitPerPixel = 4;
    Rect r = composer.ComposeOutputBitmap(settings, small, out, {300, 300, 359, 339});

    OutputBitmapComposer fresh;
    fresh.SetDvdColorOrder({0, 1, 2, 3});
    PaletteBitmap expected;
    Rect re = fresh.ComposeOutputBitmap(settings, small, expected, {300, 300, 359, 339});
    EXPECT_EQ(r, re);
    EXPECT_EQ(out, expected);
}
