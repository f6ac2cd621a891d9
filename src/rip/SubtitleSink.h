#pragma once

#include "base/Colour.h"
#include "subtitles/TimeCode.h"

#include <string>
#include <vector>

namespace mirtal {

// What the rip engine needs of the subtitle store.
class SubtitleSink {
public:
    virtual ~SubtitleSink() = default;
    virtual int count() const = 0;
    // Stop time of the last entry (zero = still open); only called when count() > 0.
    virtual TTimeCode lastStop() const = 0;
    // Sets the stop time of the last entry and renders it again.
    virtual void closeLast(TTimeCode stop) = 0;
    // Adds a shown entry with its 8-bit text lines.
    virtual void add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
                     const Rect& rect) = 0;
};

} // namespace mirtal
