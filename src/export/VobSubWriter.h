#pragma once

#include "base/Files.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mirtal {

using VobSubPalette = std::array<uint32_t, 16>; // 0xRRGGBB, as the .idx writes them

// Used when neither the title nor a VobSub input gives a palette: the
// colours of DVD subtitles as most discs set them (0 background black,
// 1 white text, 2 black outline, 3 grey antialiasing), repeated.
constexpr VobSubPalette kDefaultVobSubPalette = {
    0x000000, 0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xFFFFFF, 0x000000, 0x808080,
    0x000000, 0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xFFFFFF, 0x000000, 0x808080};

// What the .idx says about the one stream written.
struct VobSubTrack {
    int width = 720, height = 576;
    VobSubPalette palette = kDefaultVobSubPalette;
    std::string language; // ISO 639 code, e.g. "en"; empty when unknown
};

// A VobSub pair being written: each subpicture unit unchanged, in 2048-byte
// packs of a program stream (substream 0x20), its start as the PTS of its
// first pack; the .idx lists each start with the position of that pack.
class VobSubWriter {
public:
    void clear();
    void add(std::span<const uint8_t> spu, int64_t startMs);
    size_t count() const { return m_entries.size(); }
    const std::string& subBytes() const { return m_sub; }
    std::string indexText(const VobSubTrack& track) const;
    // NAME.idx and NAME.sub, each replaced atomically; the .sub first, so an
    // index never names packs that are not there.
    Result save(const fs::path& name, const VobSubTrack& track) const;

private:
    struct Entry {
        int64_t startMs;
        uint64_t filePos;
    };
    std::string m_sub;
    std::vector<Entry> m_entries;
};

} // namespace mirtal
