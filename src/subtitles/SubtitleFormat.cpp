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

bool sitsAtTop(const TSub& e) {
    constexpr int32_t kNtscMiddle = 240;
    return e.rect() != Rect{} && e.Y1 + e.Y2 < 2 * kNtscMiddle;
}

TTimeCode stopNotBeforeStart(const TSub& e) {
    return timeCodeToMs(e.Stop) < timeCodeToMs(e.Start) ? e.Start : e.Stop;
}

std::string threeCharText(int64_t value) {
    return zeroPad(value, 3).substr(0, 3);
}

} // namespace mirtal
