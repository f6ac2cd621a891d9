#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// The program's own numbered, time-coded format, the one it reads back.
class NativeFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofNative; }
    const char* extension() const override { return "vtx"; }
    const char* saveFilter() const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;

    // The block of one entry: number, time line, text lines, blank line.
    static void renderBlock(const TSub& entry, int number, bool extended, TextLines& out);
    // "00:01:02,345 --> 00:01:04,000", and with extended "  X1:160 X2:559 Y1:470 Y2:519".
    static std::string timeLine(const TSub& entry, bool extended);
};

} // namespace mirtal
