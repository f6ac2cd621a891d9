#include "TempFolder.h"
#include "base/ByteReader.h"
#include "export/BmpFile.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

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
    for (int bpp : {4, 8}) {
        for (int w = 1; w <= 9; ++w) {
            SCOPED_TRACE("bpp " + std::to_string(bpp) + " width " + std::to_string(w));
            const PaletteBitmap b = sample(w, 3, bpp);
            const std::string bytes = EncodeBitmapFile(b);
            ByteReader r({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
            const uint32_t stride = uint32_t((w * bpp + 31) / 32 * 4);
            EXPECT_EQ(r.u8(), 'B');
            EXPECT_EQ(r.u8(), 'M');
            const uint32_t header[] = {uint32_t(bytes.size()), 0, 14 + 40 + 64, 40, uint32_t(w), 3};
            for (uint32_t field : header) EXPECT_EQ(r.u32le(), field);
            EXPECT_EQ(r.u16le(), 1);
            EXPECT_EQ(r.u16le(), bpp);
            const uint32_t info[] = {0, stride * 3, 2835, 2835, 16, 0};
            for (uint32_t field : info) EXPECT_EQ(r.u32le(), field);
            for (Colour c : b.palette) {
                EXPECT_EQ(r.u8(), blueOf(c));
                EXPECT_EQ(r.u8(), greenOf(c));
                EXPECT_EQ(r.u8(), redOf(c));
                EXPECT_EQ(r.u8(), 0);
            }
            ASSERT_EQ(r.remaining(), stride * 3);
            for (int y = 2; y >= 0; --y) {
                const auto stored = r.bytes(stride);
                for (size_t i = 0; i < stride; ++i)
                    EXPECT_EQ(stored[i], i < size_t(b.rowBytes()) ? b.row(y)[i] : 0) << y;
            }
            EXPECT_TRUE(r.ok());
        }
    }
}

TEST(BmpFile, SaveReplacesTheFileOrNamesItAndTheReason) {
    TempFolder dir;
    ASSERT_TRUE(SaveBitmapFile(sample(40, 30, 8), dir / "a.bmp").ok);
    const PaletteBitmap small = sample(3, 2, 4);
    ASSERT_TRUE(SaveBitmapFile(small, dir / "a.bmp").ok);
    EXPECT_EQ(readText(dir / "a.bmp"), EncodeBitmapFile(small));

    const fs::path missing = dir / "missing" / "x.bmp";
    Result r = SaveBitmapFile(small, missing);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(missing.string()), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("No such file"), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(missing));
}
