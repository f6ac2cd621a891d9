#include "subtitles/SonicFormat.h"

#include "subtitles/PhilipsFormat.h"

namespace mirtal {

const char* SonicFormat::saveFilter() const {
    return "Sonic DVD Creator (*.txt)|*.txt|All|*.*";
}

void SonicFormat::renderEntry(const RenderContext& ctx, const TSub& e, int index,
                              TextLines& out) const {
    const SonicOptions& o = ctx.options.sonic;
    const uint32_t fps = framesPer100s(o.FrameRate);
    const bool drop = usesDropFrame(o.FrameRate, o.DropFrame);
    // Numbered by store position: the native index offset does not apply here.
    out.push_back(zeroPad(index, 4) + "  " +
                  frameCodeToStr(timeCodeToFrameCode(e.Start, fps, drop)) + "  " +
                  frameCodeToStr(timeCodeToFrameCode(e.Stop, fps, drop)) + "  " + e.Lines[0]);
    for (int k = 1; k < e.NbLines; ++k) out.push_back(e.Lines[size_t(k)]);
    out.emplace_back();
}

} // namespace mirtal
