#include "ocr/ItalicText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace mirtal {

namespace {

// Glyphs shorter than this (dots, commas, dashes) say nothing about the slant.
constexpr int kMinRows = 6;
constexpr int kColumns = 96;
constexpr int kColumnOffset = 32; // room for rows shifted left or right

} // namespace

SlantProfile& SlantProfile::operator+=(const SlantProfile& other) {
    for (size_t k = 0; k < stacking.size(); ++k) stacking[k] += other.stacking[k];
    measured += other.measured;
    return *this;
}

double SlantProfile::lean() const {
    constexpr size_t upright = kShears.size() / 2;
    if (measured == 0 || stacking[upright] <= 0) return 0;
    double right = 0;
    for (size_t k = 1; k <= upright; ++k) right += stacking[upright + k] - stacking[upright - k];
    return right / stacking[upright];
}

SlantProfile glyphSlant(const Glyph& glyph) {
    SlantProfile profile;
    const int h = std::min(glyph.Height, kGlyphCellSize);
    int rows = 0;
    for (int y = 0; y < h; ++y) rows += glyph.Rows[size_t(y)] != 0;
    if (rows < kMinRows) return profile;
    profile.measured = 1;
    for (size_t k = 0; k < kShears.size(); ++k) {
        std::array<int, kColumns> columns{};
        for (int y = 0; y < h; ++y) {
            const int shift = int(std::lround(kShears[k] * (h - 1 - y)));
            for (uint64_t row = glyph.Rows[size_t(y)]; row; row &= row - 1) {
                const int x = std::countr_zero(row) - shift + kColumnOffset;
                ++columns[size_t(std::clamp(x, 0, kColumns - 1))];
            }
        }
        double sum = 0;
        for (int n : columns) sum += double(n) * n;
        profile.stacking[k] = sum;
    }
    return profile;
}

SlantProfile glyphSlant(const Glyph& glyph, std::string_view text) {
    if (!text.empty() &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return glyphSlant(glyph);
}

std::string spacingKey(const std::string& text, bool italicLine) {
    return italicLine && !text.empty() ? text + "\x01" : text;
}

std::string markItalicWords(const std::vector<LineWord>& words) {
    SlantProfile whole;
    for (const LineWord& w : words) whole += w.slant;
    const bool lineItalic = whole.lean() > kItalicLean;
    std::vector<std::optional<bool>> italic(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        const SlantProfile& s = words[i].slant;
        if (s.measured == 0) continue;
        const bool against = s.measured >= kWordAgainstLine &&
                             (lineItalic ? s.lean() < kItalicLean - kWordLeanMargin
                                         : s.lean() > kItalicLean + kWordLeanMargin);
        italic[i] = against ? !lineItalic : lineItalic;
    }
    std::optional<bool> before;
    for (auto& w : italic) w ? void(before = w) : void(w = before);
    std::optional<bool> after;
    for (auto w = italic.rbegin(); w != italic.rend(); ++w)
        *w ? void(after = *w) : void(*w = after);

    const bool all = std::all_of(italic.begin(), italic.end(), [](auto w) { return w == true; });
    std::string line;
    bool open = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const bool slanted = italic[i] == true;
        if (i > 0) {
            if (open && !slanted && !all) line += "</i>", open = false;
            line += ' ';
        }
        if (slanted && !open) line += "<i>", open = true;
        line += words[i].text;
    }
    if (open) line += "</i>";
    return line;
}

} // namespace mirtal
