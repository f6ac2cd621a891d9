#include "ocr/Segmentation.h"

#include <algorithm>
#include <vector>

namespace mirtal {

namespace {

// The pixel's three bytes (blue, green, red) against a colour value.
inline bool isColour(const uint8_t* p, Colour c) {
    return ((p[0] ^ blueOf(c)) | (p[1] ^ greenOf(c)) | (p[2] ^ redOf(c))) == 0;
}

bool rowHolds(const Bitmap24& bitmap, Colour colour, int y, int fromCol, int toCol) {
    const uint8_t* p = bitmap.row(y) + size_t(fromCol) * 3;
    for (int x = fromCol; x <= toCol; ++x, p += 3)
        if (isColour(p, colour)) return true;
    return false;
}

struct Clip {
    int fromRow, toRow, fromCol, toCol;
};

Clip clip(const Bitmap24& bitmap, int fromRow, int toRow, int fromCol, int toCol) {
    return {std::max(fromRow, 0), std::min(toRow, bitmap.height() - 1), std::max(fromCol, 0),
            std::min(toCol, bitmap.width() - 1)};
}

// Fills the 4-connected region of one colour, a run of a row at a time: the
// same pixels as a pixel-by-pixel fill at a fraction of the work. The stack is
// kept from one fill to the next.
class RegionFiller {
public:
    void fill(Bitmap24& b, int x, int y, Colour c) {
        if (!b.contains(x, y)) return;
        const Colour target = b.pixel(x, y);
        if (target == c) return;
        const int w = b.width(), h = b.height();
        const uint8_t cb = blueOf(c), cg = greenOf(c), cr = redOf(c);
        auto at = [&](int px, int py) { return b.row(py) + size_t(px) * 3; };
        m_stack.clear();
        m_stack.push_back({x, y});
        while (!m_stack.empty()) {
            const Seed s = m_stack.back();
            m_stack.pop_back();
            uint8_t* line = at(0, s.y);
            if (!isColour(line + size_t(s.x) * 3, target)) continue;
            int left = s.x, right = s.x;
            while (left > 0 && isColour(line + size_t(left - 1) * 3, target)) --left;
            while (right < w - 1 && isColour(line + size_t(right + 1) * 3, target)) ++right;
            for (uint8_t *p = line + size_t(left) * 3, *end = line + size_t(right + 1) * 3; p < end;
                 p += 3) {
                p[0] = cb;
                p[1] = cg;
                p[2] = cr;
            }
            for (int ny : {s.y - 1, s.y + 1}) {
                if (ny < 0 || ny >= h) continue;
                const uint8_t* p = at(left, ny);
                bool inRun = false;
                for (int i = left; i <= right; ++i, p += 3) {
                    const bool match = isColour(p, target);
                    if (match && !inRun) m_stack.push_back({i, ny});
                    inRun = match;
                }
            }
        }
    }

private:
    struct Seed {
        int x, y;
    };
    std::vector<Seed> m_stack;
};

std::optional<int> firstCharColumn(Bitmap24& bitmap, Colour textColour, Colour fill, int fromCol,
                                   int top, int bottom, RegionFiller& filler) {
    const Clip c = clip(bitmap, top, bottom, fromCol, bitmap.width() - 1);
    for (int x = c.fromCol; x <= c.toCol; ++x) {
        for (int y = c.toRow; y >= c.fromRow; --y) {
            if (bitmap.pixel(x, y) == textColour) {
                filler.fill(bitmap, x, y, fill);
                return x;
            }
        }
    }
    return std::nullopt;
}

CharEdge charRightEdge(Bitmap24& bitmap, Colour textColour, Colour fill, int x0, int top,
                       int bottom, const OcrSettings& settings, RegionFiller& filler) {
    const int w = bitmap.width();
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap.height() - 1);
    CharEdge edge;
    edge.right = w - 1;
    if (bottom < top) return edge;
    const ptrdiff_t stride = ptrdiff_t(w) * 3;
    for (int c = std::max(x0, 0); c < w; ++c) {
        bool found = false;
        // Walk the column upwards by pointer; the previous column is 3 bytes to the left.
        const uint8_t* p = bitmap.row(bottom) + size_t(c) * 3;
        for (int r = bottom; r >= top; --r, p -= stride) {
            if (isColour(p, fill)) {
                found = true;
            } else if (isColour(p, textColour)) {
                // Thin strokes of small type touch only at corners.
                const bool diagonal = settings.CheckDetachedChar && c > 0 &&
                                      ((r > top && isColour(p - stride - 3, fill)) ||
                                       (r < bottom && isColour(p + stride - 3, fill)));
                if (found || diagonal) {
                    filler.fill(bitmap, c, r, fill);
                    found = true;
                } else if (!edge.nextCol) {
                    edge.nextCol = c;
                }
            }
        }
        if (found) {
            edge.right = c;
        } else if (c - x0 >= settings.MinCharWidth) {
            if (!edge.nextCol) edge.nextCol = c;
            return edge;
        }
    }
    return edge;
}

// Finds the characters of one line (rows top..bottom) into its table entry.
class LineReader {
public:
    LineReader(Bitmap24& bitmap, Colour textColour, const OcrSettings& settings, TextLine& line,
               int top, int bottom, RegionFiller& filler)
        : m_bitmap(bitmap), m_textColour(textColour), m_settings(settings), m_line(line),
          m_top(top), m_bottom(bottom), m_filler(filler) {}

    void read() {
        const int w = m_bitmap.width();
        int n = 0;
        int x = 0;
        while (x < w) {
            const Colour fill = markerColour(n + 1);
            auto x0 = firstCharColumn(m_bitmap, m_textColour, fill, x, m_top, m_bottom, m_filler);
            if (!x0) break;
            const CharEdge edge = charRightEdge(m_bitmap, m_textColour, fill, *x0, m_top, m_bottom,
                                                m_settings, m_filler);
            // The column walk always moves right of x0, but a damaged settings
            // value must never let the line loop in place.
            x = edge.nextCol ? std::max(*edge.nextCol, *x0 + 1) : w;
            const int right = edge.right;
            const int charTop =
                firstRowWith(m_bitmap, fill, m_top, m_bottom, *x0, right).value_or(m_top);
            const int charBottom = lastRowOfBand(m_bitmap, fill, charTop, m_bottom, *x0, right,
                                                 m_bottom - charTop + 1);
            if (right - *x0 + 1 < m_settings.MinCharWidth ||
                charBottom - charTop + 1 < m_settings.MinCharHeight)
                continue;
            CharBox box;
            box.X = uint16_t(*x0);
            box.Y = uint16_t(charTop);
            box.Width = uint16_t(right - *x0 + 1);
            box.Height = uint16_t(charBottom - charTop + 1);
            box.RelTop = uint8_t(charTop - m_top);
            if (n >= 1 && joinBelow(box, n)) continue;
            if (n == kMaxLineChars) break; // the table is full: the rest of the line stays unread
            m_line.Chars[size_t(n)] = box;
            ++n;
        }
        m_line.CharCount = uint16_t(n);
        setItalicFlags();
    }

private:
    // A piece lying wholly under the previous character and not reaching
    // further right (the dot of a question mark) becomes part of it.
    bool joinBelow(const CharBox& box, int n) {
        CharBox& prev = m_line.Chars[size_t(n - 1)];
        const int prevBottom = prev.Y + prev.Height - 1;
        const int prevRight = prev.X + prev.Width - 1;
        const int boxBottom = box.Y + box.Height - 1;
        const int boxRight = box.X + box.Width - 1;
        if (box.Y <= prevBottom || boxRight > prevRight) return false;
        const Colour fill = markerColour(n + 1);
        for (int y = box.Y; y <= boxBottom; ++y) {
            bool filled = false;
            for (int x = box.X; x <= boxRight; ++x) {
                if (m_bitmap.pixel(x, y) == fill) {
                    m_filler.fill(m_bitmap, x, y, markerColour(n));
                    filled = true;
                    break;
                }
            }
            if (filled) break;
        }
        prev.Height = uint16_t(boxBottom - prev.Y + 1);
        return true;
    }

    void setItalicFlags() {
        const int count = m_line.CharCount;
        if (count < 2) {
            if (count == 1) m_line.Chars[0].Italic = 0;
            return;
        }
        const int d = m_settings.DetectItaWidth;
        for (int i = 0; i + 1 < count; ++i) {
            CharBox& c = m_line.Chars[size_t(i)];
            const int prevRight =
                i == 0 ? -100
                       : m_line.Chars[size_t(i - 1)].X + m_line.Chars[size_t(i - 1)].Width - 1;
            const int right = c.X + c.Width - 1;
            const int gapBefore = c.X - prevRight - 1;
            const int gapAfter = m_line.Chars[size_t(i + 1)].X - right - 1;
            c.Italic = (gapBefore <= d || gapAfter <= d) ? 1 : 0;
        }
        m_line.Chars[size_t(count - 1)].Italic = m_line.Chars[size_t(count - 2)].Italic;
    }

    Bitmap24& m_bitmap;
    Colour m_textColour;
    const OcrSettings& m_settings;
    TextLine& m_line;
    int m_top, m_bottom;
    RegionFiller& m_filler;
};

} // namespace

std::optional<int> firstRowWith(const Bitmap24& bitmap, Colour colour, int fromRow, int toRow,
                                int fromCol, int toCol) {
    const Clip c = clip(bitmap, fromRow, toRow, fromCol, toCol);
    if (c.fromCol > c.toCol) return std::nullopt;
    for (int y = c.fromRow; y <= c.toRow; ++y)
        if (rowHolds(bitmap, colour, y, c.fromCol, c.toCol)) return y;
    return std::nullopt;
}

int lastRowOfBand(const Bitmap24& bitmap, Colour colour, int fromRow, int toRow, int fromCol,
                  int toCol, int exploration) {
    const Clip c = clip(bitmap, fromRow, toRow, fromCol, toCol);
    int last = fromRow;
    if (c.fromCol > c.toCol) return last;
    for (int y = c.fromRow; y <= c.toRow; ++y) {
        if (rowHolds(bitmap, colour, y, c.fromCol, c.toCol))
            last = y;
        else if (y - fromRow >= exploration)
            break;
    }
    return last;
}

std::optional<int> findFirstCharColumn(Bitmap24& bitmap, Colour textColour, Colour fill,
                                       int fromCol, int top, int bottom) {
    RegionFiller filler;
    return firstCharColumn(bitmap, textColour, fill, fromCol, top, bottom, filler);
}

CharEdge findCharRightEdge(Bitmap24& bitmap, Colour textColour, Colour fill, int x0, int top,
                           int bottom, const OcrSettings& settings) {
    RegionFiller filler;
    return charRightEdge(bitmap, textColour, fill, x0, top, bottom, settings, filler);
}

void segmentSubpicture(Bitmap24& bitmap, Colour textColour, const OcrSettings& settings,
                       LineTable& table) {
    table.LineCount = 0;
    const int w = bitmap.width(), h = bitmap.height();
    if (bitmap.empty()) return;
    RegionFiller filler;
    int y = 0;
    while (y < h && table.LineCount < kMaxTextLines) {
        auto top = firstRowWith(bitmap, textColour, y, h - 1, 0, w - 1);
        if (!top) break;
        int bottom =
            lastRowOfBand(bitmap, textColour, *top, h - 1, 0, w - 1, settings.MinLineHeight);
        auto next = firstRowWith(bitmap, textColour, bottom + 1, h - 1, 0, w - 1);
        // Bands closer than MinInterLine are one line (accents, descenders).
        while (next && *next - bottom - 1 < settings.MinInterLine) {
            bottom =
                lastRowOfBand(bitmap, textColour, *next, h - 1, 0, w - 1, settings.MinLineHeight);
            next = firstRowWith(bitmap, textColour, bottom + 1, h - 1, 0, w - 1);
        }
        y = bottom + 1;
        if (bottom - *top + 1 > settings.MaxLineHeight) continue;
        TextLine& line = table.Lines[table.LineCount];
        ++table.LineCount;
        LineReader(bitmap, textColour, settings, line, *top, bottom, filler).read();
    }
}

} // namespace mirtal
