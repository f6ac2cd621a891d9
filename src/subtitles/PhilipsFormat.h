#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// Philips SVCD Designer subtitle list: one line per bitmap with frame times.
class PhilipsFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofPhilips; }
    const char* extension() const override { return "sub"; }
    const char* saveFilter() const override;
    void renderHeader(const RenderContext& ctx, TextLines& out) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
};

// 2500 for PAL (index 0), 3000 for NTSC (index 1); drop-frame only with NTSC.
uint32_t framesPer100s(uint8_t frameRateIndex);
bool usesDropFrame(uint8_t frameRateIndex, bool dropFrameBox);

} // namespace mirtal
