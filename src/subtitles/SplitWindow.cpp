#include "subtitles/SplitWindow.h"

namespace mirtal {

bool inSplitWindow(const SplitWindow& window, const TSub& entry) {
    int32_t start = timeCodeToMs(entry.Start);
    return timeCodeToMs(window.SplitStart) <= start && start < timeCodeToMs(window.SplitStop);
}

TSub clipToSplitWindow(const SplitWindow& window, TSub entry) {
    int64_t a = timeCodeToMs(window.SplitStart);
    int64_t start = timeCodeToMs(entry.Start);
    int64_t stop = timeCodeToMs(entry.Stop);
    int64_t end = timeCodeToMs(window.SplitStop);
    if (end < stop) stop = end;
    auto clamped = [](int64_t ms) { return msToTimeCode(ms < 0 ? 0 : ms); };
    if (a != 0) {
        entry.Start = clamped(start - a);
        entry.Stop = clamped(stop - a);
    } else {
        entry.Stop = clamped(stop);
    }
    return entry;
}

} // namespace mirtal
