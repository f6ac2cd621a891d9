#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// Advanced SubStation Alpha, for the ASS editors and players: UTF-8, one
// Dialogue line per subtitle in hundredths of a second, on a 720 x 576
// script, a top-of-frame subtitle aligned on top ({\an8}).
class AssFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofAss; }
    const char* extension() const override { return "ass"; }
    const char* saveFilter() const override;
    void renderHeader(const RenderContext& ctx, TextLines& out) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
    TextEncoding fileEncoding(TextEncoding) const override { return TextEncoding::Utf8; }
};

} // namespace mirtal
