#include "export/BmpFile.h"
#include "export/OutputBitmapComposer.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace mirtal;

namespace {

// A picture whose every pixel differs from its neighbours', so that a row
// read back in the wrong order or with the wrong padding shows.
PaletteBitmap pattern(int width, int height, int bpp) {
    PaletteBitmap b;
    b.reset(width, height, bpp);
    for (int i = 0; i < 16; ++i)
        b.palette[size_t(i)] = makeColour(uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t v = uint8_t((x + 3 * y) % 16);
            uint8_t* row = b.row(y);
            if (bpp == 8) {
                row[x] = v;
            } else if (x % 2 == 0) {
                row[x / 2] = uint8_t(v << 4 | (row[x / 2] & 0x0F));
            } else {
                row[x / 2] = uint8_t((row[x / 2] & 0xF0) | v);
            }
        }
    return b;
}

} // namespace

TEST(BmpFilesInQt, QtReadsEveryWidthAndDepthWithPaletteAndPixels) {
    char dir[] = "/tmp/mirtal-qtbmp-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    for (int bpp : {4, 8}) {
        for (int width : {1, 2, 3, 5, 8, 9, 104}) {
            PaletteBitmap b = pattern(width, 7, bpp);
            std::string path = std::string(dir) + "/p" + std::to_string(bpp) + "_" +
                               std::to_string(width) + ".bmp";
            ASSERT_TRUE(SaveBitmapFile(b, path));
            QImageReader reader(QString::fromStdString(path));
            EXPECT_EQ(reader.format(), "bmp");
            QImage img = reader.read();
            ASSERT_FALSE(img.isNull()) << path << ": " << reader.errorString().toStdString();
            EXPECT_EQ(img.width(), width);
            EXPECT_EQ(img.height(), 7);
            EXPECT_EQ(img.format(), QImage::Format_Indexed8) << "a palette picture stays one";
            ASSERT_GE(img.colorCount(), 16);
            for (int i = 0; i < 16; ++i) {
                Colour c = b.palette[size_t(i)];
                EXPECT_EQ(img.color(i), qRgb(redOf(c), greenOf(c), blueOf(c))) << "entry " << i;
            }
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(img.pixelIndex(x, y), b.index(x, y))
                        << path << " at " << x << "," << y;
        }
    }
    std::filesystem::remove_all(dir);
}
