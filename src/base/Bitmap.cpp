#include "base/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace mirtal {

void Bitmap24::reset(int width, int height, Colour fill) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_data.assign(size_t(m_width) * size_t(m_height) * 3, 0);
    if (fill != 0) fillRect(0, 0, m_width, m_height, fill);
}

void Bitmap24::fillRect(int left, int top, int right, int bottom, Colour c) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width);
    bottom = std::min(bottom, m_height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) setPixel(x, y, c);
}

void Bitmap24::frameRect(int left, int top, int right, int bottom, Colour c) {
    if (right <= left || bottom <= top) return;
    auto put = [&](int x, int y) {
        if (contains(x, y)) setPixel(x, y, c);
    };
    for (int x = left; x < right; ++x) {
        put(x, top);
        put(x, bottom - 1);
    }
    for (int y = top; y < bottom; ++y) {
        put(left, y);
        put(right - 1, y);
    }
}

void Bitmap24::floodFill(int x, int y, Colour c) {
    if (!contains(x, y)) return;
    const Colour target = pixel(x, y);
    if (target == c) return;
    m_fillStack.clear();
    m_fillStack.push_back(y * m_width + x);
    setPixel(x, y, c);
    while (!m_fillStack.empty()) {
        int p = m_fillStack.back();
        m_fillStack.pop_back();
        int px = p % m_width, py = p / m_width;
        const int nx[4] = {px - 1, px + 1, px, px};
        const int ny[4] = {py, py, py - 1, py + 1};
        for (int k = 0; k < 4; ++k) {
            if (contains(nx[k], ny[k]) && pixel(nx[k], ny[k]) == target) {
                setPixel(nx[k], ny[k], c);
                m_fillStack.push_back(ny[k] * m_width + nx[k]);
            }
        }
    }
}

void Bitmap24::copyFrom(const Bitmap24& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int j = 0; j < h; ++j) {
        int syy = sy + j, dyy = dy + j;
        if (syy < 0 || syy >= src.m_height || dyy < 0 || dyy >= m_height) continue;
        int x0 = std::max({0, -sx, -dx});
        int x1 = std::min({w, src.m_width - sx, m_width - dx});
        if (x1 <= x0) continue;
        std::memmove(row(dyy) + (dx + x0) * 3, src.row(syy) + (sx + x0) * 3, size_t(x1 - x0) * 3);
    }
}

void Bitmap24::crop(int w, int h) {
    w = std::clamp(w, 0, m_width);
    h = std::clamp(h, 0, m_height);
    if (w == m_width && h == m_height) return;
    std::vector<uint8_t> out(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y) std::memcpy(out.data() + size_t(y) * w * 3, row(y), size_t(w) * 3);
    m_data = std::move(out);
    m_width = w;
    m_height = h;
}

void PaletteBitmap::reset(int width, int height, int bitsPerPixel) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_bpp = bitsPerPixel == 8 ? 8 : 4;
    m_data.assign(size_t(rowBytes()) * size_t(m_height), 0);
}

uint8_t PaletteBitmap::index(int x, int y) const {
    const uint8_t* r = row(y);
    if (m_bpp == 8) return r[x];
    uint8_t b = r[x / 2];
    return (x % 2 == 0) ? uint8_t(b >> 4) : uint8_t(b & 0x0F);
}

} // namespace mirtal
