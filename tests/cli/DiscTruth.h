#pragma once

#include "ocr/CharBox.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace mirtal::test {

// The ground truth of one subpicture stream of a fixture disc, and what a
// careful user would answer for each glyph the rip asks about.
//
// A question is located by its start time (the disc's subs_sK.tsv gives the
// start of every unit, so dropped or undisplayable units cannot shift the
// blocks), its line and the box's place among the line's boxes. Boxes are
// laid onto the line's characters (spaces left out) one to one when their
// counts agree. Otherwise the counts tell how many characters were cut in
// two or run together, and the layout that best fits the box widths is
// taken: each character is expected as wide as it was in the lines seen so
// far that matched one to one. A character cut in two boxes reads as
// itself in its first piece and as nothing in the others; a box of two
// touching characters reads as both.
//
// A double quote is drawn as two separate strokes, each the shape of an
// apostrophe: a user names each stroke an apostrophe and lets the quote
// repair join them.
class DiscTruth {
public:
    DiscTruth(const std::string& disc, int stream); // texts in Windows-1252

    std::filesystem::path videoTs() const { return m_videoTs; }
    const std::vector<std::vector<std::string>>& blocks() const { return m_blocks; }
    // The block of the unit that starts at startMs; null when none does.
    const std::vector<std::string>* blockAt(int32_t startMs) const;

    // Whether the unit that starts at startMs is set in italic (a stream in
    // an italic font names its roman units in disc.txt).
    bool italicAt(int32_t startMs) const;

    std::string answer(int32_t startMs, int line, int charIndex, std::span<const CharBox> boxes);
    // What each box of the line reads as.
    std::vector<std::string> assign(const std::string& line, std::span<const CharBox> boxes);

private:
    int expectedWidth(const std::string& text) const;

    std::filesystem::path m_videoTs;
    std::vector<std::vector<std::string>> m_blocks;
    std::map<int32_t, size_t> m_blockByStart;
    std::vector<bool> m_italic;                          // by unit
    std::map<std::string, std::pair<int, int>> m_widths; // text -> width sum, count
};

// A subtitle's lines as one text: spumux wraps long lines where the source
// had none, so line breaks count as spaces.
std::string JoinLines(std::span<const std::string> lines);
// Characters to insert, delete or replace to turn one text into the other.
size_t EditDistance(const std::string& a, const std::string& b);
// The text without its italic marks.
std::string Unmarked(std::string text);

} // namespace mirtal::test
