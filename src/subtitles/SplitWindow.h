#pragma once

#include "subtitles/SubtitleStore.h"
#include "subtitles/TimeCode.h"

namespace mirtal {

// The part of the document kept by every rendering while the split filter is
// on: entries starting inside it, cut at its end and shifted to start at zero.
struct SplitWindow {
    bool SplitActive = false;
    TTimeCode SplitStart;
    TTimeCode SplitStop;
    bool operator==(const SplitWindow&) const = default;
};

// Only the start is tested: an entry running past the window end is kept and cut.
bool inSplitWindow(const SplitWindow& window, const TSub& entry);
// A stop before the window start (a stop not known yet, say) becomes
// 00:00:00,000 instead of a negative time.
TSub clipToSplitWindow(const SplitWindow& window, TSub entry);

} // namespace mirtal
