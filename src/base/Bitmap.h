#pragma once

#include "base/Colour.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirtal {

// 24-bit bitmap with direct row access; each pixel is stored as blue, green,
// red bytes, so the three bytes read back as first*65536 + second*256 + third
// give the colour value 0x00BBGGRR.
class Bitmap24 {
public:
    Bitmap24() = default;
    Bitmap24(int width, int height, Colour fill = 0) { reset(width, height, fill); }

    void reset(int width, int height, Colour fill = 0);
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width <= 0 || m_height <= 0; }

    uint8_t* row(int y) { return m_data.data() + size_t(y) * size_t(m_width) * 3; }
    const uint8_t* row(int y) const { return m_data.data() + size_t(y) * size_t(m_width) * 3; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    Colour pixel(int x, int y) const {
        const uint8_t* p = row(y) + x * 3;
        return Colour(p[0]) << 16 | Colour(p[1]) << 8 | p[2];
    }
    void setPixel(int x, int y, Colour c) {
        uint8_t* p = row(y) + x * 3;
        p[0] = blueOf(c);
        p[1] = greenOf(c);
        p[2] = redOf(c);
    }

    // Clipped to the bitmap; coordinates inclusive-exclusive.
    void fillRect(int left, int top, int right, int bottom, Colour c);
    // One-pixel frame, right and bottom exclusive, clipped.
    void frameRect(int left, int top, int right, int bottom, Colour c);
    // Replaces the 4-connected region of the colour found at (x, y) by c.
    void floodFill(int x, int y, Colour c);
    // Copies a w x h area of src at (sx, sy) to (dx, dy); parts outside either bitmap are skipped.
    void copyFrom(const Bitmap24& src, int sx, int sy, int w, int h, int dx, int dy);
    // Keeps the top-left w x h part (w, h clamped to the current size).
    void crop(int w, int h);

    bool operator==(const Bitmap24&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_data;
    std::vector<int32_t> m_fillStack;
};

// 4- or 8-bit palette bitmap with a 16-entry palette. Rows are packed without
// padding: 4-bit rows hold the even column in the high nibble.
class PaletteBitmap {
public:
    void reset(int width, int height, int bitsPerPixel);
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bpp; }
    int rowBytes() const { return m_bpp == 8 ? m_width : (m_width + 1) / 2; }
    uint8_t* row(int y) { return m_data.data() + size_t(y) * size_t(rowBytes()); }
    const uint8_t* row(int y) const { return m_data.data() + size_t(y) * size_t(rowBytes()); }
    uint8_t index(int x, int y) const;

    std::array<Colour, 16> palette{};
    bool operator==(const PaletteBitmap&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    int m_bpp = 4;
    std::vector<uint8_t> m_data;
};

} // namespace mirtal
