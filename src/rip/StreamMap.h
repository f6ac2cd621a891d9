#pragma once

#include "rip/IfoLanguages.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace mirtal {

// How a subpicture stream is shown on a 16:9 title: drawn for the widescreen
// picture, or for a 4:3 screen that shows the film letterboxed or panned and
// scanned. Each may be a substream of its own.
enum class SubpictureView : uint8_t { Wide, Letterbox, PanScan };
constexpr int kSubpictureViews = 3;

// "wide", "letterbox", "panscan".
std::string_view viewName(SubpictureView view);
std::optional<SubpictureView> viewNamed(std::string_view name);

// The substreams behind the 32 subpicture streams of a title: the subpicture
// stream control table of the title's first program chain (four ids per
// stream: 4:3, wide, letterbox, pan-scan). Only a 16:9 title is mapped
// through it; on a 4:3 title, without a usable table and for VobSub pairs,
// stream k is substream 0x1F + k.
class StreamMap {
public:
    StreamMap() = default;
    // `entries` as the program chain stores them: 4 bytes per stream, bit 7
    // of the first marking the entry valid.
    StreamMap(bool widescreenTitle, const std::array<uint32_t, kSubpictureStreams>& entries);

    // True when the title is 16:9 and its table names at least one stream.
    bool mapped() const { return m_mapped; }
    bool hasStream(int line) const;
    // Whether stream `line` (0-based) has the view as a substream of its
    // own. The wide view is always there; a variant is not when its id is
    // the wide one or belongs to another stream's widescreen picture (an
    // authoring tool writes 0 for a variant a stream does not have).
    bool hasView(int line, SubpictureView view) const;
    // The substream that line `line` stands for in that view; a view the
    // stream lacks gives its wide substream.
    uint8_t substream(int line, SubpictureView view = SubpictureView::Wide) const;

private:
    uint8_t id(int line, int field) const;

    bool m_mapped = false;
    std::array<uint32_t, kSubpictureStreams> m_entries{};
};

// Reads the table and the video aspect of a VTS_nn_0.IFO through the DVD
// library. A file that is not named VTS_nn_0.IFO, a missing or damaged IFO
// or a 4:3 title gives the unmapped StreamMap: the caller keeps today's
// stream numbers, and the languages (read on their own) report the damage.
StreamMap readStreamMap(const std::filesystem::path& ifo);

} // namespace mirtal
