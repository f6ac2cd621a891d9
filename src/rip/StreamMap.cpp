#include "rip/StreamMap.h"

#include "rip/DvdRead.h"

namespace mirtal {

namespace {

constexpr std::array<std::string_view, kSubpictureViews> kViewNames = {"wide", "letterbox",
                                                                       "panscan"};
constexpr uint32_t kValid = 0x80000000u;
constexpr int kAspect16by9 = 3;

} // namespace

std::string_view viewName(SubpictureView view) {
    return kViewNames[size_t(view)];
}

std::optional<SubpictureView> viewNamed(std::string_view name) {
    for (size_t i = 0; i < kViewNames.size(); ++i)
        if (kViewNames[i] == name) return SubpictureView(i);
    return std::nullopt;
}

StreamMap::StreamMap(bool widescreenTitle, const std::array<uint32_t, kSubpictureStreams>& entries)
    : m_entries(entries) {
    for (int k = 0; k < kSubpictureStreams && widescreenTitle; ++k)
        if (hasStream(k)) m_mapped = true;
}

bool StreamMap::hasStream(int line) const {
    return line >= 0 && line < kSubpictureStreams && (m_entries[size_t(line)] & kValid);
}

uint8_t StreamMap::id(int line, int field) const {
    return uint8_t(0x20 + ((m_entries[size_t(line)] >> (24 - 8 * field)) & 0x1F));
}

bool StreamMap::hasView(int line, SubpictureView view) const {
    if (!m_mapped || !hasStream(line)) return view == SubpictureView::Wide;
    if (view == SubpictureView::Wide) return true;
    const uint8_t v = id(line, int(view) + 1);
    for (int k = 0; k < kSubpictureStreams; ++k)
        if (hasStream(k) && id(k, 1) == v) return false;
    return true;
}

uint8_t StreamMap::substream(int line, SubpictureView view) const {
    if (!m_mapped || !hasStream(line)) return streamIdOfLine(line);
    return id(line, hasView(line, view) ? int(view) + 1 : 1);
}

StreamMap readStreamMap(const std::filesystem::path& ifo) {
    const std::optional<OpenTitleSet> open = openTitleSet(ifo);
    if (!open) return {};
    const ifo_handle_t& vts = *open->vts;
    if (vts.vts_pgcit->nr_of_pgci_srp == 0 || !vts.vts_pgcit->pgci_srp ||
        !vts.vts_pgcit->pgci_srp[0].pgc)
        return {};
    std::array<uint32_t, kSubpictureStreams> entries{};
    const pgc_t& first = *vts.vts_pgcit->pgci_srp[0].pgc;
    for (size_t k = 0; k < entries.size(); ++k) entries[k] = first.subp_control[k];
    return StreamMap(vts.vtsi_mat->vts_video_attr.display_aspect_ratio == kAspect16by9, entries);
}

} // namespace mirtal
