#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirtal {

constexpr int kSubpictureStreams = 32;

// Display names of the 32 subpicture streams of a title set; entry k - 1 is
// stream k (substream id 0x1F + k).
using StreamLanguages = std::array<std::string, kSubpictureStreams>;

struct IfoReadResult {
    bool found = false;                                // the file exists
    int streamsRead = 0;                               // codes read, from stream 1 on
    std::string message;                               // empty when all 32 codes were read
    std::array<std::string, kSubpictureStreams> codes; // the codes as read ("" when unset)
    bool ok() const { return found && streamsRead == kSubpictureStreams; }
};

// "English" for "en" and so on; "" for an unset code; any other code itself.
std::string languageNameOf(std::string_view code);

// Reads the language codes of a VTS_nn_0.IFO into `names`. A missing file
// leaves the names as they were; a short or unreadable one keeps the names
// read before the failure and says what happened in the message.
IfoReadResult readIfoStreamLanguages(const std::filesystem::path& path, StreamLanguages& names);

// The 32 lines of the stream list, e.g. "1  - English" and "12 - ".
std::vector<std::string> streamListTexts(const StreamLanguages& names);

// The substream id that line `index` (0-based) of the stream list stands for.
constexpr uint8_t streamIdOfLine(int index) {
    return uint8_t(0x20 + index);
}

} // namespace mirtal
