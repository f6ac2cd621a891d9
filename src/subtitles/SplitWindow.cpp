#include "subtitles/SplitWindow.h"

namespace mirtal {

bool InSplitWindow(const SplitWindow& window, const TSub& entry) {
    int32_t start = TimeCodeToMs(entry.Start);
    return TimeCodeToMs(window.SplitStart) <= start && start < TimeCodeToMs(window.SplitStop);
}

TSub ClipToSplitWindow(const SplitWindow& window, TSub entry) {
    int64_t a = TimeCodeToMs(window.SplitStart);
    int64_t start = TimeCodeToMs(entry.Start);
    int64_t stop = TimeCodeToMs(entry.Stop);
    int64_t end = TimeCodeToMs(window.SplitStop);
    if (end < stop) stop = end;
    auto clamped = [](int64_t ms) { return MsToTimeCode(ms < 0 ? 0 : ms); };
    if (a != 0) {
        entry.Start = clamped(start - a);
        entry.Stop = clamped(stop - a);
    } else {
        entry.Stop = clamped(stop);
    }
    return entry;
}

} // namespace mirtal
