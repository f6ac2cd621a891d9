#include "GlyphPrompt.h"

#include "base/TextCodec.h"
#include "ocr/CharMatrix.h"
#include "ocr/Segmentation.h"
#include "subtitles/TimeCode.h"

#include <algorithm>
#include <cstdio>

namespace mirtal::cli {

std::string glyphQuestionLine(const GlyphQuestion& q) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "GLYPH subpicture=%u start=%s line=%d char=%d width=%d height=%d",
                  q.subpictureNumber, timeCodeToStr(msToTimeCode(q.startMs)).c_str(), q.line,
                  q.charIndex, int(q.box.Width), int(q.box.Height));
    return line;
}

std::vector<std::string> glyphArt(const GlyphQuestion& q, Colour textColour, int columns) {
    const CharBox& box = q.box;
    const int lineTop = box.Y - box.RelTop;
    int lineBottom = box.Y + box.Height - 1;
    for (const CharBox& b : q.lineBoxes) lineBottom = std::max(lineBottom, b.Y + b.Height - 1);
    // The frame lies one pixel outside the box, as the dialog draws it.
    const int frameLeft = box.X - 1, frameRight = box.X + box.Width;
    const int frameTop = box.Y - 1, frameBottom = box.Y + box.Height;
    const int top = std::min(lineTop, frameTop), bottom = std::max(lineBottom, frameBottom);

    const int bitmapWidth = q.workBitmap ? q.workBitmap->width() : 0;
    columns = std::max(columns, 3);
    // Centred on the glyph, not wasting columns beyond the picture (whose
    // frame may stand one column outside it), and always showing the frame,
    // its left side first.
    int left = std::clamp(box.X + box.Width / 2 - columns / 2, -1,
                          std::max(-1, bitmapWidth + 1 - columns));
    if (frameRight >= left + columns) left = frameRight + 1 - columns;
    if (frameLeft < left) left = frameLeft;

    const Colour own = markerColour(q.charIndex);
    std::vector<std::string> rows;
    for (int y = top; y <= bottom; ++y) {
        std::string row;
        row.reserve(size_t(columns));
        for (int x = left; x < left + columns; ++x) {
            const bool onFrameColumn =
                (x == frameLeft || x == frameRight) && y >= frameTop && y <= frameBottom;
            const bool onFrameRow =
                (y == frameTop || y == frameBottom) && x >= frameLeft && x <= frameRight;
            if (onFrameRow) {
                row += '-';
                continue;
            }
            if (onFrameColumn) {
                row += '|';
                continue;
            }
            char c = '.';
            if (q.workBitmap && q.workBitmap->contains(x, y)) {
                const Colour p = q.workBitmap->pixel(x, y);
                const bool inBox =
                    x >= box.X && x < box.X + box.Width && y >= box.Y && y < box.Y + box.Height;
                if (inBox && p == own)
                    c = '#';
                else if (p == textColour || p == kCharColourA || p == kCharColourB)
                    c = '+';
            }
            row += c;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

GlyphReply parseGlyphReply(const std::string& utf8, const std::string& suggestion) {
    GlyphReply reply;
    std::string typed = utf8;
    if (typed.empty()) return {GlyphReply::Text, suggestion, {}};
    if (typed == "\\empty") return {GlyphReply::Text, {}, {}};
    if (typed == "\\skip-line") return {GlyphReply::SkipLine, {}, {}};
    if (typed == "\\skip-subpicture") return {GlyphReply::SkipSubpicture, {}, {}};
    if (typed == "\\stop") return {GlyphReply::Stop, {}, {}};
    if (typed.starts_with("\\\\"))
        typed.erase(0, 1);
    else if (typed.starts_with("\\"))
        return {
            GlyphReply::Invalid,
            {},
            "unknown command " + typed +
                " (\\skip-line, \\skip-subpicture, \\stop, \\empty; begin a text with \\\\ for a "
                "backslash)"};
    const std::string text = utf8ToCp1252(typed);
    // A character without an 8-bit form would be learned as '?'.
    if (std::count(text.begin(), text.end(), '?') != std::count(typed.begin(), typed.end(), '?'))
        return {GlyphReply::Invalid,
                {},
                "\"" + typed + "\" holds a character the matrix cannot store (Windows-1252 only)"};
    if (text.size() > kEntryTextLength)
        return {GlyphReply::Invalid,
                {},
                "at most " + std::to_string(kEntryTextLength) + " characters, not " +
                    std::to_string(text.size())};
    reply.text = text;
    return reply;
}

} // namespace mirtal::cli
