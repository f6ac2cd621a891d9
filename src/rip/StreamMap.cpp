#include "rip/StreamMap.h"

#include "base/Files.h"

#include <cstdarg>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <memory>

namespace mirtal {

namespace {

constexpr std::array<std::string_view, kSubpictureViews> kViewNames = {"wide", "letterbox",
                                                                       "panscan"};
constexpr uint32_t kValid = 0x80000000u;
constexpr int kAspect16by9 = 3;

// The library's complaints (no CSS library, a damaged IFO) are not the
// user's business: a damaged IFO is reported by the language reader.
void discardLog(void*, dvd_logger_level_t, const char*, va_list) {}

struct DvdCloser {
    void operator()(dvd_reader_t* d) const { DVDClose(d); }
};
struct IfoCloser {
    void operator()(ifo_handle_t* h) const { ifoClose(h); }
};

// nn of VTS_nn_0.IFO; 0 for any other name.
int titleSetNumber(const std::string& name) {
    if (!wildcardMatchIgnoreCase("VTS_??_0.IFO", name)) return 0;
    const char a = name[4], b = name[5];
    if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
    return (a - '0') * 10 + (b - '0');
}

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
    const int titleSet = titleSetNumber(ifo.filename().string());
    if (titleSet == 0) return {};
    const std::filesystem::path folder = ifo.parent_path().empty() ? "." : ifo.parent_path();
    const dvd_logger_cb quiet{discardLog};
    std::unique_ptr<dvd_reader_t, DvdCloser> dvd(DVDOpen2(nullptr, &quiet, folder.c_str()));
    if (!dvd) return {};
    std::unique_ptr<ifo_handle_t, IfoCloser> vts(ifoOpen(dvd.get(), titleSet));
    if (!vts || !vts->vtsi_mat || !vts->vts_pgcit || vts->vts_pgcit->nr_of_pgci_srp == 0 ||
        !vts->vts_pgcit->pgci_srp || !vts->vts_pgcit->pgci_srp[0].pgc)
        return {};
    std::array<uint32_t, kSubpictureStreams> entries{};
    const pgc_t& first = *vts->vts_pgcit->pgci_srp[0].pgc;
    for (size_t k = 0; k < entries.size(); ++k) entries[k] = first.subp_control[k];
    return StreamMap(vts->vtsi_mat->vts_video_attr.display_aspect_ratio == kAspect16by9, entries);
}

} // namespace mirtal
