#include "rip/VobSubTrack.h"

#include "base/ByteReader.h"
#include "base/Files.h"
#include "rip/IfoLanguages.h"
#include "rip/StreamMap.h"

#include <algorithm>

namespace mirtal {

namespace {

constexpr size_t kSector = 2048;
constexpr size_t kPgcitSector = 0xCC;
constexpr size_t kVideoAttributes = 0x200;
constexpr size_t kPgcPalette = 0xA4;
constexpr uint64_t kMaxIfoBytes = 16ull << 20;

std::span<const uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace

uint32_t YCrCbToRgb(uint32_t entry) {
    const int y = int(entry >> 16 & 0xFF) - 16, cr = int(entry >> 8 & 0xFF) - 128,
              cb = int(entry & 0xFF) - 128;
    auto channel = [](int v) { return uint32_t(std::clamp((v + 500) / 1000, 0, 255)); };
    return channel(1164 * y + 1596 * cr) << 16 | channel(1164 * y - 813 * cr - 391 * cb) << 8 |
           channel(1164 * y + 2018 * cb);
}

std::optional<IfoTitle> readIfoTitle(const std::filesystem::path& path) {
    const ValueResult<std::string> file = readWholeFile(path, kMaxIfoBytes);
    if (!file || !file->starts_with("DVDVIDEO-VTS")) return std::nullopt;
    ByteReader r(bytesOf(*file));
    IfoTitle title;
    r.seek(kVideoAttributes);
    const uint8_t video = r.u8(), resolution = uint8_t(r.u8() >> 3 & 0x07);
    const bool pal = (video >> 4 & 0x03) == 1;
    title.height = resolution == 3 ? (pal ? 288 : 240) : (pal ? 576 : 480);
    title.width = resolution == 0 ? 720 : resolution == 1 ? 704 : 352;
    r.seek(kPgcitSector);
    const size_t pgcit = size_t(r.u32be()) * kSector;
    r.seek(pgcit);
    const uint16_t chains = r.u16be();
    r.seek(pgcit + 8 + 4); // the first search pointer's offset of its program chain
    const size_t pgc = pgcit + r.u32be();
    if (!r.ok() || chains == 0) return title;
    r.seek(pgc + kPgcPalette);
    VobSubPalette palette;
    for (uint32_t& c : palette) c = YCrCbToRgb(r.u32be());
    if (r.ok()) title.palette = palette;
    return title;
}

VobSubTrack describeVobSubTrack(const std::vector<std::filesystem::path>& files,
                                const std::vector<std::shared_ptr<const VobSubIndex>>& indexes,
                                uint8_t streamId) {
    VobSubTrack track;
    const size_t stream = size_t(streamId - 0x20) % kSubpictureStreams;
    for (const auto& index : indexes)
        if (index) {
            track.width = index->frameWidth;
            track.height = index->frameHeight;
            if (index->palette) track.palette = *index->palette;
            track.language = index->streams[stream].code;
            break;
        }
    if (files.empty()) return track;
    const std::string first = files.front().filename().string();
    if (!wildcardMatchIgnoreCase("VTS_??_?.VOB", first)) return track;
    const std::filesystem::path folder = files.front().parent_path();
    auto ifos = listFilesMatching(folder.empty() ? "." : folder, first.substr(0, 7) + "0.IFO");
    if (ifos.empty()) return track;
    if (auto title = readIfoTitle(ifos.front())) {
        track.width = title->width;
        track.height = title->height;
        if (title->palette) track.palette = *title->palette;
    }
    // On a 16:9 title a language may sit in several substreams, one per view.
    size_t line = stream;
    if (StreamMap map = readStreamMap(ifos.front()); map.mapped())
        for (int k = 0; k < kSubpictureStreams; ++k)
            for (int v = 0; v < kSubpictureViews; ++v)
                if (map.hasStream(k) && map.substream(k, SubpictureView(v)) == streamId)
                    line = size_t(k);
    StreamLanguages names;
    IfoReadResult languages = readIfoStreamLanguages(ifos.front(), names);
    if (int(line) < languages.streamsRead) track.language = languages.codes[line];
    return track;
}

} // namespace mirtal
