#pragma once

#include "subtitles/SubtitleFormat.h"

#include <cstdint>

namespace mirtal {

struct YCrCb {
    uint8_t Y = 0, Cr = 0, Cb = 0;
    bool operator==(const YCrCb&) const = default;
};

// The IAuthor OGT script. It is too large to show: the list shows the native
// format with coordinates, and Save As builds the script from the store.
class IAuthorFormat : public SubtitleFormat {
public:
    TOutputFormat id() const override { return ofIAuthor; }
    const char* extension() const override { return "txt"; }
    const char* saveFilter() const override;
    void prepareOptions(OutputOptions& options) const override;
    void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                     TextLines& out) const override;
    std::string fileText(const RenderContext& ctx, const TextLines& list) const override;

    // Seconds with hundredths, 100 ms late: 00:01:02,345 gives 62.44.
    static std::string IAuthorTime(TTimeCode tc);
    static YCrCb rgbToYCrCb(Colour colour);
};

} // namespace mirtal
