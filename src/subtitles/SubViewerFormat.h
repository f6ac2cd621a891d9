#pragma once

#include "subtitles/SubtitleFormat.h"

namespace mirtal {

// SubViewer 1 (also read by Quorvane 1): start times only, in whole seconds;
// a gap before an entry is written as an empty "clearing" entry.
class SubViewerFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofSubViewer; }
    const char* extension() const override { return "sub"; }
    const char* saveFilter() const override;
    void renderHeader(const RenderContext& ctx, TextLines& out) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
    // The list lines plus the two trailer lines.
    std::string fileText(const RenderContext& ctx, const TextLines& list) const override;
};

} // namespace mirtal
