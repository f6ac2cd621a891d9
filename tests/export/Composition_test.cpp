#include "export/OutputBitmapComposer.h"

#include <gtest/gtest.h>

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

TEST_F(Composition, DefaultsGrowTextAreaToStepsAndCentreIt) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    const Bitmap24 before = work;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
    EXPECT_EQ(work, before) << "the work bitmap is left as it is";
    EXPECT_EQ(out.width(), 104);
    EXPECT_EQ(out.height(), 50);
    // offX = 2, offY = 10: the text keeps its frame position.
    EXPECT_EQ(r, (Rect{100 + 50 - 2, 400 + 20 - 10, 100 + 50 - 2 + 103, 400 + 20 - 10 + 49}));
    expectTextAt(2, 10, 100, 30);
}

TEST_F(Composition, AlignmentModesPlaceTextInGrownBitmap) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Cropping.XPosMode = 0;
    settings.Cropping.YPosMode = 2;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 300, 399, 399});
    EXPECT_EQ(r.X1, 150);
    EXPECT_EQ(r.Y1, 320 - 20);
    expectTextAt(0, 20, 100, 30);

    settings.Cropping.XPosMode = 2;
    settings.Cropping.YPosMode = 0;
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 300, 399, 399});
    EXPECT_EQ(r.X1, 150 - 4);
    EXPECT_EQ(r.Y1, 320);
    expectTextAt(4, 0, 100, 30);

    // 101 wide grows to 104: an odd room of 3 centres at 1.
    settings.Cropping.XPosMode = settings.Cropping.YPosMode = 1;
    work = workWithText(200, 60, 10, 5, 101, 31);
    r = composer.ComposeOutputBitmap(settings, work, out, {200, 200, 399, 259});
    EXPECT_EQ(out.width(), 104);
    EXPECT_EQ(r.X1, 200 + 10 - 1);
    EXPECT_EQ(r.Y1, 200 + 5 - 9);
    expectTextAt(1, 9, 101, 31);
}

TEST_F(Composition, MinimumWidthOfFullFrameStartsAtLeftEdgeAndKeepsTextPosition) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Cropping.MinX = 720;
    for (uint8_t mode : {0, 1, 2}) {
        settings.Cropping.XPosMode = mode;
        Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
        EXPECT_EQ(out.width(), 720);
        EXPECT_EQ(r.X1, 0);
        EXPECT_EQ(r.X2, 719);
        expectTextAt(150, 10, 100, 30);
    }
}

TEST_F(Composition, BitmapStaysOnFrameAndTextMovesInsideIt) {
    // Left alignment would put the bitmap 4 pixels past the right edge.
    Bitmap24 work = workWithText(100, 40, 0, 5, 100, 30);
    settings.Cropping.XPosMode = 0;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {620, 500, 719, 539});
    EXPECT_EQ(r.X1, 616);
    EXPECT_EQ(r.X2, 719);
    expectTextAt(4, 10, 100, 30);

    settings.Cropping.XPosMode = 1;
    // Top-left corner, centred: the bitmap would start at -2, -10.
    work = workWithText(100, 30, 0, 0, 100, 30);
    r = composer.ComposeOutputBitmap(settings, work, out, {0, 0, 99, 29});
    EXPECT_EQ(r, (Rect{0, 0, 103, 49}));
    expectTextAt(0, 0, 100, 30);
    // Bottom edge with top alignment: moved up, text moved down inside.
    settings.Cropping.YPosMode = 0;
    r = composer.ComposeOutputBitmap(settings, work, out, {300, 546, 399, 575});
    EXPECT_EQ(r.Y1, 526);
    EXPECT_EQ(r.Y2, 575);
    expectTextAt(2, 20, 100, 30);
}

TEST_F(Composition, ShiftLargerThanRoomIsClampedToBitmap) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Cropping.PosShift = {50, 40};
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
    EXPECT_EQ(r.X1, 150); // offX 2 - 50 clamped to 0
    EXPECT_EQ(r.Y1, 420);
    expectTextAt(0, 0, 100, 30);

    settings.Cropping.PosShift = {-50, -40};
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
    EXPECT_EQ(r.X1, 150 - 4); // clamped to the room of 4
    EXPECT_EQ(r.Y1, 420 - 20);
    expectTextAt(4, 20, 100, 30);

    settings.Cropping.PosShift = {1, -3};
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
    expectTextAt(1, 13, 100, 30);
}

TEST_F(Composition, SizeIsClampedToFrameAfterRounding) {
    // 715 rounds up to 720 with steps of 8; 719 with steps of 32 would be
    // 736 and is clamped to 720, no longer a multiple.
    Bitmap24 work = workWithText(720, 576, 0, 0, 715, 571);
    composer.ComposeOutputBitmap(settings, work, out, {0, 0, 719, 575});
    EXPECT_EQ(out.width(), 720);
    EXPECT_EQ(out.height(), 572);
    work = workWithText(720, 576, 0, 0, 719, 575);
    settings.Cropping.DivX = 32;
    settings.Cropping.DivY = 32;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {0, 0, 719, 575});
    EXPECT_EQ(out.width(), 720);
    EXPECT_EQ(out.height(), 576);
    EXPECT_EQ(r, (Rect{0, 0, 719, 575}));
}

TEST_F(Composition, MinimumSizesAndExactMultiplesAreKept) {
    Bitmap24 work = workWithText(100, 100, 10, 10, 8, 4);
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 199, 199});
    EXPECT_EQ(out.width(), 16);
    EXPECT_EQ(out.height(), 50);
    EXPECT_EQ(r.X1, 100 + 10 - 4);
    expectTextAt(4, 23, 8, 4);

    settings.Cropping.MinX = 0;
    settings.Cropping.MinY = 0;
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 199, 199});
    EXPECT_EQ(out.width(), 8);
    EXPECT_EQ(out.height(), 4);
    EXPECT_EQ(r, (Rect{110, 110, 117, 113}));
}

TEST_F(Composition, CroppingOffKeepsSubpictureSizeAndRectangle) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Cropping.Enabled = false;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 400, 399, 499});
    EXPECT_EQ(out.width(), 300);
    EXPECT_EQ(out.height(), 100);
    EXPECT_EQ(r, (Rect{100, 400, 399, 499}));
    expectTextAt(50, 20, 100, 30);
}

TEST_F(Composition, AllBackgroundPictureIsNotCut) {
    Bitmap24 work(40, 20, kDrawColor[0]);
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {200, 300, 239, 319});
    EXPECT_EQ(out.width(), 40);
    EXPECT_EQ(out.height(), 50);
    // tl = tt = 0; centred offsets 0 and 15.
    EXPECT_EQ(r, (Rect{200, 285, 239, 334}));
    expectTextAt(0, 0, 0, 0);

    // An empty work bitmap: the minimum size, all background.
    work = Bitmap24();
    r = composer.ComposeOutputBitmap(settings, work, out, {0, 0, -1, -1});
    EXPECT_EQ(out.width(), 16);
    EXPECT_EQ(out.height(), 50);
    EXPECT_EQ(r, (Rect{0, 0, 15, 49}));
    expectTextAt(0, 0, 0, 0);
}

TEST_F(Composition, FourBitRowsPackEvenColumnInHighNibble) {
    Bitmap24 work(3, 1);
    for (int x = 0; x < 3; ++x) work.setPixel(x, 0, kDrawColor[x + 1]);
    settings.Cropping.Enabled = false;
    settings.Colors.UnusedColor = 0x123456;
    composer.ComposeOutputBitmap(settings, work, out, {0, 0, 2, 0});
    ASSERT_EQ(out.bitsPerPixel(), 4);
    ASSERT_EQ(out.rowBytes(), 2);
    EXPECT_EQ(out.row(0)[0], 0x12);
    EXPECT_EQ(out.row(0)[1], 0x30);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out.palette[size_t(i)], settings.Colors.Color[size_t(i)]);
    for (int i = 4; i < 16; ++i) EXPECT_EQ(out.palette[size_t(i)], 0x123456u) << i;
}

TEST_F(Composition, EightBitRowsHoldOneIndexPerByte) {
    Bitmap24 work(3, 2);
    for (int x = 0; x < 3; ++x) work.setPixel(x, 1, kDrawColor[3 - x]);
    settings.Cropping.Enabled = false;
    settings.Colors.BitPerPixel = 8;
    settings.Colors.ColorPalIndex = {4, 9, 15, 0};
    composer.ComposeOutputBitmap(settings, work, out, {0, 0, 2, 1});
    ASSERT_EQ(out.bitsPerPixel(), 8);
    const uint8_t expected[2][3] = {{4, 4, 4}, {0, 15, 9}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(out.row(y)[x], expected[y][x]);
    EXPECT_EQ(out.palette[4], settings.Colors.Color[0]);
    EXPECT_EQ(out.palette[0], settings.Colors.Color[3]);
    EXPECT_EQ(out.palette[1], settings.Colors.UnusedColor);
}

TEST_F(Composition, DvdColorOrderMapsCodesToSlotsAndStartsUnset) {
    composer.SetDvdColorOrder({0, 3, 2, 1});
    EXPECT_EQ(composer.CompareColor()[1], kDrawColor[3]);
    EXPECT_EQ(composer.CompareColor()[3], kDrawColor[1]);
    Bitmap24 work(4, 1);
    for (int x = 0; x < 4; ++x) work.setPixel(x, 0, kDrawColor[x]);
    settings.Cropping.Enabled = false;
    settings.Colors.BitPerPixel = 8;
    settings.Colors.ColorPalIndex = {10, 11, 12, 13};
    composer.ComposeOutputBitmap(settings, work, out, {0, 0, 3, 0});
    // Code 3 is the font (slot 1), code 1 the antialiasing (slot 3).
    EXPECT_EQ(out.row(0)[0], 10);
    EXPECT_EQ(out.row(0)[1], 13);
    EXPECT_EQ(out.row(0)[2], 12);
    EXPECT_EQ(out.row(0)[3], 11);

    // Before the order is first set, every code but 0 counts as background.
    OutputBitmapComposer fresh;
    EXPECT_EQ(fresh.DvdColorOrder(), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    work = workWithText(20, 10, 0, 0, 20, 10);
    settings.Colors.ColorPalIndex = {0, 1, 2, 3};
    settings.Colors.BitPerPixel = 4;
    fresh.ComposeOutputBitmap(settings, work, out, {0, 0, 19, 9});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(out.index(x, y), 0);
}

TEST_F(Composition, SharedPaletteIndexShowsHigherSlot) {
    settings.Colors.ColorPalIndex = {0, 5, 5, 3};
    EXPECT_EQ(PaletteSlotOf(settings.Colors, 5), 2);
    EXPECT_EQ(PaletteSlotOf(settings.Colors, 0), 0);
    EXPECT_FALSE(PaletteSlotOf(settings.Colors, 1).has_value());
    Bitmap24 work(2, 1);
    work.setPixel(0, 0, kDrawColor[1]);
    work.setPixel(1, 0, kDrawColor[2]);
    settings.Cropping.Enabled = false;
    composer.ComposeOutputBitmap(settings, work, out, {0, 0, 1, 0});
    EXPECT_EQ(out.palette[5], settings.Colors.Color[2]);
    EXPECT_EQ(out.palette[1], settings.Colors.UnusedColor);
    EXPECT_EQ(out.row(0)[0], 0x55);
}

TEST_F(Composition, RepositioningRulesAndClamps) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Positioning.Enabled = true;
    settings.Positioning.XPosMode = 1;
    settings.Positioning.YPosMode = 2;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r, (Rect{308, 526, 411, 575}));

    settings.Positioning.XPosMode = 3;
    settings.Positioning.SetTo = {700, 10};
    settings.Positioning.YPosMode = 3;
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r.X1, 616);
    EXPECT_EQ(r.Y1, 10);

    // Keep, then shifts added, then the frame clamps.
    settings.Positioning.XPosMode = 0;
    settings.Positioning.YPosMode = 0;
    settings.Positioning.PosShift = {7, -500};
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r, (Rect{148 + 7, 0, 148 + 7 + 103, 49}));
    settings.Positioning.XPosMode = 2;
    settings.Positioning.PosShift = {-16, 0};
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r.X1, 720 - 104 - 16);
    // The bitmap itself does not change with its place.
    expectTextAt(2, 10, 100, 30);
}

TEST_F(Composition, ValuesOnlyAHandEditedFileHoldsAreBroughtIntoRange) {
    Bitmap24 work = workWithText(300, 100, 50, 20, 100, 30);
    settings.Cropping.DivX = 0;
    settings.Cropping.DivY = 0;
    settings.Cropping.MinY = 0;
    composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(out.width(), 100);
    EXPECT_EQ(out.height(), 30);

    settings.Cropping.DivX = 256 + 8; // only the low 8 bits act
    settings.Cropping.DivY = 256;     // low bits 0: taken as 1
    composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(out.width(), 104);
    EXPECT_EQ(out.height(), 30);

    settings.Cropping.MinY = 50;
    settings.Cropping.XPosMode = 7; // as right
    settings.Cropping.YPosMode = 200;
    Rect r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r.X1, 150 - 4);
    EXPECT_EQ(r.Y1, 120 - 20);

    settings.Positioning.Enabled = true;
    settings.Positioning.XPosMode = 9; // as "set to"
    settings.Positioning.SetTo = {-100000, 2000000000};
    settings.Positioning.YPosMode = 255;
    r = composer.ComposeOutputBitmap(settings, work, out, {100, 100, 399, 199});
    EXPECT_EQ(r, (Rect{0, 526, 103, 575}));

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
