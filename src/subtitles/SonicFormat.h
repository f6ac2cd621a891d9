#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// Sonic DVD Creator subtitle text: numbered entries with frame times.
class SonicFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofSonic; }
    const char* extension() const override { return "txt"; }
    const char* saveFilter() const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
};

} // namespace mirtal
