#include "export/OutputBitmapComposer.h"

#include <algorithm>
#include <cstring>

namespace mirtal {

namespace {

// Settings out of the dialog's ranges can only come from a hand-edited file;
// they are taken as the nearest value the dialog could have set.
int effectivePalIndex(uint8_t index) {
    return std::min<int>(index, 15);
}
int effectiveStep(uint16_t div) {
    return std::max(1, int(div & 0xFF));
}
int effectiveMode(uint8_t mode, int highest) {
    return std::min<int>(mode, highest);
}

struct TextArea {
    bool found = false;
    int left = 0, top = 0, right = -1, bottom = -1;
};

// The smallest rectangle holding every pixel that is not the background
// colour, found from the four sides so that a small text in a large
// picture costs little more than one pass over its rows.
TextArea findTextArea(const Bitmap24& bmp) {
    const Colour bg = kDrawColour[0];
    const uint8_t b0 = blueOf(bg), b1 = greenOf(bg), b2 = redOf(bg);
    const int w = bmp.width(), h = bmp.height();
    auto firstInk = [&](const uint8_t* row, int from, int to) {
        for (int x = from; x < to; ++x) {
            const uint8_t* p = row + size_t(x) * 3;
            if (p[0] != b0 || p[1] != b1 || p[2] != b2) return x;
        }
        return -1;
    };
    auto lastInk = [&](const uint8_t* row, int from, int downTo) {
        for (int x = from; x >= downTo; --x) {
            const uint8_t* p = row + size_t(x) * 3;
            if (p[0] != b0 || p[1] != b1 || p[2] != b2) return x;
        }
        return -1;
    };

    TextArea a;
    if (w <= 0 || h <= 0) return a;
    int top = 0;
    while (top < h && firstInk(bmp.row(top), 0, w) < 0) ++top;
    if (top == h) return a;
    int bottom = h - 1;
    while (bottom > top && firstInk(bmp.row(bottom), 0, w) < 0) --bottom;

    int left = w, right = -1;
    for (int y = top; y <= bottom; ++y) {
        const uint8_t* row = bmp.row(y);
        int l = firstInk(row, 0, left);
        if (l >= 0) left = l;
        int r = lastInk(row, w - 1, right + 1);
        if (r >= 0) right = r;
    }
    a.found = true;
    a.left = left;
    a.top = top;
    a.right = right;
    a.bottom = bottom;
    return a;
}

int64_t alignedOffset(int mode, int64_t room) {
    switch (mode) {
    case 0:
        return 0;
    case 1:
        return room / 2; // truncates toward zero, also for a negative room
    default:
        return room;
    }
}

// Offset of the text inside the grown bitmap, after the alignment and the
// shift, kept where the text still fits.
int64_t textOffset(int mode, int32_t shift, int64_t room) {
    int64_t off = alignedOffset(mode, room) - shift;
    if (off < 0)
        off = 0;
    else if (off > room)
        off = room;
    return off;
}

} // namespace

std::optional<int> paletteSlotOf(const BmpColours& colours, int paletteIndex) {
    for (int k = 3; k >= 0; --k)
        if (effectivePalIndex(colours.ColorPalIndex[size_t(k)]) == paletteIndex) return k;
    return std::nullopt;
}

std::array<Colour, 16> outputPalette(const BmpColours& colours) {
    std::array<Colour, 16> pal{};
    for (int i = 0; i < 16; ++i) {
        auto slot = paletteSlotOf(colours, i);
        pal[size_t(i)] = slot ? colours.Color[size_t(*slot)] : colours.UnusedColor;
    }
    return pal;
}

void OutputBitmapComposer::setDvdColourOrder(const std::array<uint8_t, 4>& order) {
    for (size_t k = 0; k < 4; ++k) {
        m_dvdColourOrder[k] = std::min<uint8_t>(order[k], 3);
        m_compareColour[k] = kDrawColour[m_dvdColourOrder[k]];
    }
}

Rect OutputBitmapComposer::composeOutputBitmap(const BmpOutputSettings& settings,
                                               const Bitmap24& work, PaletteBitmap& output,
                                               const Rect& subpictureRect, int frameWidth,
                                               int frameHeight) {
    Placement p;
    p.w = p.W = work.width();
    p.h = p.H = work.height();
    Rect out = subpictureRect;

    const BmpCropping& crop = settings.Cropping;
    if (crop.Enabled) {
        int64_t tl = 0, tt = 0;
        TextArea area = findTextArea(work);
        if (area.found) {
            p.srcLeft = area.left;
            p.srcTop = area.top;
            p.w = area.right - area.left + 1;
            p.h = area.bottom - area.top + 1;
            tl = area.left;
            tt = area.top;
        }
        int W = std::max(p.w, int(crop.MinX));
        int H = std::max(p.h, int(crop.MinY));
        const int divX = effectiveStep(crop.DivX), divY = effectiveStep(crop.DivY);
        if (W % divX != 0) W = (W / divX + 1) * divX;
        if (H % divY != 0) H = (H / divY + 1) * divY;
        W = std::min(W, frameWidth);
        H = std::min(H, frameHeight);

        int64_t offX = textOffset(effectiveMode(crop.XPosMode, 2), crop.PosShift.X, W - p.w);
        int64_t offY = textOffset(effectiveMode(crop.YPosMode, 2), crop.PosShift.Y, H - p.h);

        // The text keeps its place on the frame; the bitmap is laid around
        // it, then kept inside the frame by moving the text within it.
        int64_t x1 = int64_t(subpictureRect.X1) + tl - offX;
        int64_t y1 = int64_t(subpictureRect.Y1) + tt - offY;
        if (x1 < 0) {
            offX += x1;
            x1 = 0;
        }
        if (y1 < 0) {
            offY += y1;
            y1 = 0;
        }
        if (x1 + W > frameWidth) {
            offX += x1 - (frameWidth - W);
            x1 = frameWidth - W;
        }
        if (y1 + H > frameHeight) {
            offY += y1 - (frameHeight - H);
            y1 = frameHeight - H;
        }
        out = {int32_t(x1), int32_t(y1), int32_t(x1 + W - 1), int32_t(y1 + H - 1)};
        p.W = W;
        p.H = H;
        // A subpicture placed outside the frame can push the text partly out
        // of the bitmap; it is clipped then.
        p.offX = offX;
        p.offY = offY;
    }

    convert(settings.Colors, work, p, output);

    const BmpPositioning& pos = settings.Positioning;
    if (pos.Enabled) {
        const int64_t W = output.width(), H = output.height();
        auto place = [](int mode, int64_t keep, int64_t room, int32_t setTo) -> int64_t {
            switch (mode) {
            case 0:
                return keep;
            case 1:
                return room / 2;
            case 2:
                return room;
            default:
                return setTo;
            }
        };
        int64_t x1 = place(effectiveMode(pos.XPosMode, 3), out.X1, frameWidth - W, pos.SetTo.X);
        int64_t y1 = place(effectiveMode(pos.YPosMode, 3), out.Y1, frameHeight - H, pos.SetTo.Y);
        x1 += pos.PosShift.X;
        y1 += pos.PosShift.Y;
        if (x1 < 0) x1 = 0;
        if (x1 + W > frameWidth) x1 = frameWidth - W;
        if (y1 < 0) y1 = 0;
        if (y1 + H > frameHeight) y1 = frameHeight - H;
        out = {int32_t(x1), int32_t(y1), int32_t(x1 + W - 1), int32_t(y1 + H - 1)};
    }
    return out;
}

void OutputBitmapComposer::convert(const BmpColours& colours, const Bitmap24& work,
                                   const Placement& p, PaletteBitmap& output) {
    output.reset(p.W, p.H, colours.BitPerPixel == 8 ? 8 : 4);
    output.palette = outputPalette(colours);

    uint8_t slotIndex[4];
    for (size_t k = 0; k < 4; ++k)
        slotIndex[k] = uint8_t(effectivePalIndex(colours.ColorPalIndex[k]));
    // A colour matching no slot cannot arise while the order is a
    // permutation; before the order is first set it counts as background.
    auto indexOf = [&](Colour c) -> uint8_t {
        for (size_t k = 0; k < 4; ++k)
            if (c == m_compareColour[k]) return slotIndex[k];
        return slotIndex[0];
    };
    const uint8_t bgIndex = indexOf(kDrawColour[0]);

    // The part of the text area that lands inside the output bitmap.
    const int x0 = int(std::clamp<int64_t>(p.offX, 0, p.W));
    const int x1 = int(std::clamp<int64_t>(p.offX + p.w, 0, p.W));
    const int y0 = int(std::clamp<int64_t>(p.offY, 0, p.H));
    const int y1 = int(std::clamp<int64_t>(p.offY + p.h, 0, p.H));

    m_indexRow.resize(size_t(std::max(p.W, 0)) + 1);
    for (int y = 0; y < p.H; ++y) {
        uint8_t* idx = m_indexRow.data();
        std::fill(idx, idx + p.W, bgIndex);
        if (y >= y0 && y < y1 && x0 < x1) {
            const uint8_t* src =
                work.row(int(p.srcTop + y - p.offY)) + size_t(p.srcLeft + x0 - p.offX) * 3;
            for (int x = x0; x < x1; ++x, src += 3)
                idx[x] = indexOf(Colour(src[0]) << 16 | Colour(src[1]) << 8 | src[2]);
        }
        uint8_t* dst = output.row(y);
        if (output.bitsPerPixel() == 8) {
            std::memcpy(dst, idx, size_t(p.W));
        } else {
            idx[p.W] = 0; // the low nibble of an odd width's last byte stays 0
            for (int x = 0; x < p.W; x += 2) dst[x / 2] = uint8_t(idx[x] << 4 | idx[x + 1]);
        }
    }
}

} // namespace mirtal
