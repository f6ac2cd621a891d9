#include "export/BmpFile.h"

#include "base/ByteReader.h"

#include <cstring>

namespace mirtal {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kColourEntries = 16;

} // namespace

std::string encodeBitmapFile(const PaletteBitmap& bitmap) {
    const uint32_t width = uint32_t(bitmap.width()), height = uint32_t(bitmap.height());
    const uint32_t bpp = bitmap.bitsPerPixel() == 8 ? 8 : 4;
    const uint32_t stride = (width * bpp + 31) / 32 * 4;
    const uint32_t imageSize = stride * height;
    const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * kColourEntries;

    ByteWriter w;
    w.u8('B');
    w.u8('M');
    w.u32le(dataOffset + imageSize);
    w.u32le(0);
    w.u32le(dataOffset);

    w.u32le(kInfoHeaderSize);
    w.u32le(width);
    w.u32le(height); // positive: rows bottom-up
    w.u16le(1);
    w.u16le(uint16_t(bpp));
    w.u32le(0); // no compression
    w.u32le(imageSize);
    w.u32le(uint32_t(kBmpPixelsPerMetre));
    w.u32le(uint32_t(kBmpPixelsPerMetre));
    w.u32le(kColourEntries);
    w.u32le(0);

    for (Colour c : bitmap.palette) {
        w.u8(blueOf(c));
        w.u8(greenOf(c));
        w.u8(redOf(c));
        w.u8(0);
    }

    std::string out = w.take();
    const size_t header = out.size();
    out.resize(header + imageSize, '\0');
    const size_t rowBytes = size_t(bitmap.rowBytes());
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = bitmap.row(int(height - 1 - y));
        if (rowBytes > 0) std::memcpy(out.data() + header + size_t(y) * stride, src, rowBytes);
    }
    return out;
}

Result saveBitmapFile(const PaletteBitmap& bitmap, const fs::path& path) {
    return writeFileAtomic(path, encodeBitmapFile(bitmap));
}

} // namespace mirtal
