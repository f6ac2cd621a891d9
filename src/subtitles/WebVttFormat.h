#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// WebVTT, the subtitles of web browsers: UTF-8, times to the millisecond,
// <i>, <b> and <u> kept as its own tags, a top-of-frame subtitle placed on top.
class WebVttFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofWebVtt; }
    const char* extension() const override { return "vtt"; }
    const char* saveFilter() const override;
    void renderHeader(const RenderContext& ctx, TextLines& out) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
    TextEncoding fileEncoding(TextEncoding) const override { return TextEncoding::Utf8; }
};

} // namespace mirtal
