#pragma once

#include "rip/IfoLanguages.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirtal {

// One subpicture of a VobSub index: where its first pack lies in the .sub
// and when it starts (the .idx timestamp with the delay in force applied).
struct VobSubEntry {
    uint64_t filePos = 0;
    int64_t startMs = 0;
};

struct VobSubStream {
    bool present = false;             // an "id: xx, index: N" line named it
    std::string code;                 // the language code as written, e.g. "en"
    std::vector<VobSubEntry> entries; // sorted by filePos
};

// The .idx of a VobSub pair: the languages of its streams (stream k is the
// "index: k - 1" section and substream 0x1F + k of the .sub) and the start
// time of every subpicture, found by the position of its first pack.
struct VobSubIndex {
    std::array<VobSubStream, kSubpictureStreams> streams;
    // The video frame of the pictures ("size: 1920x1080" of an HD source).
    int frameWidth = 720;
    int frameHeight = 576;
    // "palette: " with 16 RRGGBB values, when given and readable.
    std::optional<std::array<uint32_t, 16>> palette;

    // The start of the subpicture of `streamId` whose first pack is pack
    // number `pack` of the .sub; none when the index does not list it.
    std::optional<int64_t> startMs(uint8_t streamId, uint32_t pack) const;
    // The entry of `streamId` whose first pack begins at byte `offset`.
    const VobSubEntry* find(uint8_t streamId, uint64_t offset) const;
    // The display names of the streams, as an IFO gives them.
    StreamLanguages languages() const;
    std::array<std::string, kSubpictureStreams> codes() const;
};

// Parses the text of a .idx. Unknown lines are skipped and CR LF ends are
// taken as LF; a line that starts like a known entry but does not read as
// one is refused, with its number in `error`.
bool parseVobSubIndex(std::string_view text, VobSubIndex& out, std::string& error);

// A .idx and the .sub beside it (same name, the other extension, letter
// case ignored), found from either.
struct VobSubPair {
    std::filesystem::path idx;
    std::filesystem::path sub;
    std::shared_ptr<const VobSubIndex> index;
};

// True for a file name ending in .idx or .sub, letter case ignored.
bool isVobSubFileName(std::string_view name);

// The .sub of a .idx or the .idx of a .sub: the file beside it of the same
// name with the other extension (letter case ignored, the exact spelling
// preferred); none when there is no such file or `path` is neither.
std::optional<std::filesystem::path> findVobSubPartner(const std::filesystem::path& path);

// Finds the partner of `path` and reads the .idx; false with the reason in
// `error` when a file is missing, unreadable or damaged.
bool loadVobSubPair(const std::filesystem::path& path, VobSubPair& out, std::string& error);

} // namespace mirtal
