#pragma once

#include "base/Files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mirtal {

// An INI text held in memory: sections in square brackets, "key=value"
// lines. Section and key names are matched without regard to (ASCII) case;
// values are kept exactly as written after the equals sign. Everything we do
// not understand - comments, blank lines, odd lines, sections and keys we do
// not know, duplicates - is kept in place and written back unchanged, so a
// save only changes the keys it sets. The first of duplicate sections or
// keys is the one read and written.
class IniFile {
public:
    // Files larger than this are refused rather than read.
    static constexpr uint64_t kMaxFileBytes = 16u << 20;

    IniFile() = default;
    static IniFile parse(std::string_view text);

    // Replaces the content with the file's. A missing file reads as empty
    // and is not an error; a file that exists but cannot be read, or that
    // holds binary data, leaves the content empty and reports why.
    Result load(const fs::path& path);
    // Writes the text atomically, creating the parent folder if needed.
    Result save(const fs::path& path) const;
    // Lines end in CR LF.
    std::string text() const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    std::string readString(std::string_view section, std::string_view key,
                           const std::string& fallback) const;
    // Decimal, possibly signed; a missing key or a value that is not a
    // 32-bit number gives the fallback.
    int32_t readInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // A value as a decimal number, possibly signed, blanks around it allowed.
    static std::optional<int64_t> parseInteger(std::string_view value);
    // Read as an integer: any value but 0 is true.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Sets the first key of that name, or adds it at the end of the
    // section's keys, adding the section at the end of the file if needed.
    // Line breaks in a value would split the line; they become spaces.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // Names as written, in file order (duplicates included).
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

private:
    struct Line {
        std::string raw;     // the line as it stands in the file
        std::string key;     // trimmed name, empty for a line that is not a key
        size_t valuePos = 0; // offset of the value in raw
    };
    struct Section {
        bool hasHeader = false; // the lines before the first header have none
        std::string name;
        std::vector<Line> lines;
        std::unordered_map<std::string, size_t> keyIndex; // folded key -> first line
    };

    const Line* findLine(std::string_view section, std::string_view key) const;
    Section& sectionForWrite(std::string_view section);
    void addLine(Section& s, std::string raw);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_sectionIndex; // folded name -> first section
};

} // namespace mirtal
