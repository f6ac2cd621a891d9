#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// SubViewer 2.x: start and stop in hundredths, lines joined by [br].
class SubViewer2Format : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofSubViewer2; }
    const char* extension() const override { return "sub"; }
    const char* saveFilter() const override;
    void renderHeader(const RenderContext& ctx, TextLines& out) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;

    // "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial"
    static std::string fontLine(const FontSpec& font);
};

} // namespace mirtal
