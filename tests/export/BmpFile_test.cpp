#include "export/BmpFile.h"

#include <gtest/gtest.h>

using namespace mirtal;

namespace {

// Every row byte and palette entry distinct enough to show a mix-up.
PaletteBitmap sample(int width, int height, int bpp) {
    PaletteBitmap b;
    b.reset(width, height, bpp);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < b.rowBytes(); ++i) b.row(y)[i] = uint8_t(0x10 * (y + 1) + i + 1);
    for (size_t i = 0; i < 16; ++i) b.palette[i] = Colour(0x010203 * (i + 1) + 0x400000);
    return b;
}

} // namespace

// The information header, the 16-entry colour table as blue, green, red,
// zero, then the rows bottom up, each padded with zeros to 4 bytes; widths
// 1 to 9 give every padding of both depths.
TEST(BmpFile, HeaderColourTableAndBottomUpPaddedRows) {
    for (int bpp : {4, 8})
        for (int w = 1; w <= 9; ++w) {
            const PaletteBitmap b = sample(w, 3, bpp);
            const uint32_t stride = uint32_t((w * bpp + 31) / 32 * 4);
            std::string expected = "BM";
            auto le = [&](uint32_t v, int bytes) {
                for (int i = 0; i < bytes; ++i) expected += char(v >> (8 * i));
            };
            for (uint32_t field : {118 + stride * 3, 0u, 118u, 40u, uint32_t(w), 3u}) le(field, 4);
            le(1, 2), le(uint32_t(bpp), 2);
            for (uint32_t field : {0u, stride * 3, 2835u, 2835u, 16u, 0u}) le(field, 4);
            for (Colour c : b.palette) le(blueOf(c) | greenOf(c) << 8 | redOf(c) << 16, 4);
            for (int y = 2; y >= 0; --y)
                expected += std::string(reinterpret_cast<const char*>(b.row(y)), b.rowBytes()) +
                            std::string(stride - uint32_t(b.rowBytes()), '\0');
            EXPECT_EQ(encodeBitmapFile(b), expected) << "bpp " << bpp << " width " << w;
        }
}
