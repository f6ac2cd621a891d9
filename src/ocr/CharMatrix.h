#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mirtal {

constexpr int kMaxCharMatrixEntries = 1024;
constexpr int kGlyphCellSize = 45;
constexpr size_t kEntryTextLength = 20;
constexpr size_t kMatrixCommentLength = 255;

// One learned glyph. The 45 x 45 cell is kept as one bit row per y (bit x of
// Rows[y] is the pixel at x, y): the matcher compares whole rows at once.
struct CharMatrixEntry {
    std::array<uint64_t, kGlyphCellSize> Rows{};
    uint8_t Top = 0;    // line-relative top of the glyph
    uint8_t Width = 0;  // 1..45
    uint8_t Height = 0; // 1..45
    std::string Text;   // 0..20 characters
    // Named by the recogniser's votes and not yet looked at by the user;
    // kept in memory only (the matrix file has no room for it).
    bool AutoNamed = false;

    bool pixel(int x, int y) const {
        return x >= 0 && y >= 0 && x < kGlyphCellSize && y < kGlyphCellSize &&
               (Rows[size_t(y)] >> x & 1u) != 0;
    }
    void setPixel(int x, int y, bool on) {
        if (x < 0 || y < 0 || x >= kGlyphCellSize || y >= kGlyphCellSize) return;
        if (on)
            Rows[size_t(y)] |= uint64_t(1) << x;
        else
            Rows[size_t(y)] &= ~(uint64_t(1) << x);
    }
    bool operator==(const CharMatrixEntry&) const = default;
};

// The trained alphabet: up to 1024 glyphs, numbered 1..Count.
class CharMatrix {
public:
    CharMatrix() { m_entries.reserve(64); }

    int count() const { return int(m_entries.size()); }
    bool full() const { return count() >= kMaxCharMatrixEntries; }
    // Entry i, 1-based; i must lie in 1..Count.
    const CharMatrixEntry& entry(int i) const { return m_entries[size_t(i - 1)]; }
    std::span<const CharMatrixEntry> entries() const { return m_entries; }

    const std::string& comment() const { return m_comment; }
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string path) { m_fileName = std::move(path); }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Empty, without comment or file name, not modified.
    void clearMatrix();
    // Stores the entry as number Count + 1 (its size clipped to the cell, its
    // text to 20 characters) and returns that number; 0 when the matrix is full.
    int appendEntry(CharMatrixEntry entry);
    // The last entry takes number i. Out-of-range numbers change nothing.
    void deleteEntry(int i);
    void setEntryText(int i, const std::string& text);
    // The user has seen entry i: it no longer counts as named automatically.
    void markLookedAt(int i) {
        if (i >= 1 && i <= count()) m_entries[size_t(i - 1)].AutoNamed = false;
    }
    void setComment(const std::string& text);

    bool operator==(const CharMatrix&) const = default;

private:
    std::vector<CharMatrixEntry> m_entries;
    std::string m_comment;
    std::string m_fileName;
    bool m_modified = false;
};

} // namespace mirtal
