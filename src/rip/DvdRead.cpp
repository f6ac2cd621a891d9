#include "rip/DvdRead.h"

#include "base/Files.h"

#include <cstdarg>

namespace mirtal {

namespace {

void discardLog(void*, dvd_logger_level_t, const char*, va_list) {}

} // namespace

int titleSetNumber(const std::string& name) {
    if (!wildcardMatchIgnoreCase("VTS_??_0.IFO", name)) return 0;
    const char a = name[4], b = name[5];
    if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
    return (a - '0') * 10 + (b - '0');
}

std::optional<OpenTitleSet> openTitleSet(const std::filesystem::path& ifo) {
    const int titleSet = titleSetNumber(ifo.filename().string());
    if (titleSet == 0) return std::nullopt;
    const std::filesystem::path folder = ifo.parent_path().empty() ? "." : ifo.parent_path();
    const dvd_logger_cb quiet{discardLog};
    OpenTitleSet open;
    open.dvd.reset(DVDOpen2(nullptr, &quiet, folder.c_str()));
    if (!open.dvd) return std::nullopt;
    open.vts.reset(ifoOpen(open.dvd.get(), titleSet));
    if (!open.vts || !open.vts->vtsi_mat || !open.vts->vts_pgcit) return std::nullopt;
    return open;
}

} // namespace mirtal
