#include "subtitles/SubtitleFormat.h"

namespace mirtal {

std::string SubtitleFormat::fileText(const RenderContext&, const TextLines& list) const {
    return joinCrLf(list);
}

std::string joinCrLf(const TextLines& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string ThreeCharText(int64_t value) {
    return ZeroPad(value, 3).substr(0, 3);
}

} // namespace mirtal
