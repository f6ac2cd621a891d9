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
// careful user answers for each glyph the rip asks about. Boxes are laid onto
// the line's characters one to one, or as best fits their widths (characters
// cut in two, touching pairs); a double quote is two apostrophes.
class DiscTruth {
public:
    DiscTruth(const std::string& disc, int stream); // texts in Windows-1252

    std::filesystem::path videoTs() const { return m_videoTs; }
    const std::vector<std::vector<std::string>>& blocks() const { return m_blocks; }
    const std::vector<std::string>* blockAt(int32_t startMs) const; // null when none starts there
    bool italicAt(int32_t startMs) const; // disc.txt names the roman units
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

// A subtitle's lines as one text (the authoring tool wrapped long lines).
std::string JoinLines(std::span<const std::string> lines);
} // namespace mirtal::test
