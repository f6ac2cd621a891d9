#include "subtitles/NativeFormat.h"

namespace mirtal {

const char* NativeFormat::saveFilter() const {
    return "Mirtal File (*.vtx)|*.vtx|SubRip File (*.srt)|*.srt|Text File (*.txt)|*.txt|All|*.*";
}

std::string NativeFormat::timeLine(const TSub& e, bool extended) {
    std::string line = timeCodeToStr(e.Start) + " --> " + timeCodeToStr(e.Stop);
    if (extended)
        line += "  X1:" + threeCharText(e.X1) + " X2:" + threeCharText(e.X2) +
                " Y1:" + threeCharText(e.Y1) + " Y2:" + threeCharText(e.Y2);
    return line;
}

void NativeFormat::renderBlock(const TSub& e, int number, bool extended, TextLines& out) {
    out.push_back(std::to_string(number));
    out.push_back(timeLine(e, extended));
    for (int k = 0; k < e.NbLines; ++k) out.push_back(e.Lines[size_t(k)]);
    out.emplace_back();
}

void NativeFormat::renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                               TextLines& out) const {
    renderBlock(entry, int(ctx.options.native.IndexOffset) + index,
                ctx.options.native.ExtendedFormat, out);
}

} // namespace mirtal
