#include "subtitles/SubViewer2Format.h"

#include <cstdio>

namespace mirtal {

namespace {

// "00:01:02.34": hundredths cut, not rounded.
std::string hundredths(TTimeCode tc) {
    std::string s = timeCodeToStr(tc);
    return s.substr(0, 8) + "." + s.substr(9, 2);
}

} // namespace

const char* SubViewer2Format::saveFilter() const {
    return "SubViewer 2 File (*.sub)|*.sub|Text File (*.txt)|*.txt|All|*.*";
}

std::string SubViewer2Format::fontLine(const FontSpec& font) {
    // The colour's bytes in blue-green-red order, as the value holds them.
    char colour[8];
    std::snprintf(colour, sizeof colour, "%06X", unsigned(font.Color & 0xFFFFFF));
    // One word only: the last of strike-out, underline, bold, italic that applies.
    const char* style = "no";
    if (font.StrikeOut) style = "st";
    if (font.Underline) style = "ud";
    if (font.Bold) style = "bd";
    if (font.Italic) style = "it";
    return std::string("[COLF]&H") + colour + ",[STYLE]" + style + ",[SIZE]" +
           std::to_string(font.PointSize) + ",[FONT]" + font.Name;
}

void SubViewer2Format::renderHeader(const RenderContext& ctx, TextLines& out) const {
    const SubViewer2Options& o = ctx.options.subViewer2;
    out.insert(out.end(),
               {"[INFORMATION]", "[TITLE]" + o.Title, "[AUTHOR]" + o.Author, "[SOURCE]" + o.Source,
                "[PRG]" + o.Program, "[FILEPATH]" + o.FilePath, "[DELAY]" + std::to_string(o.Delay),
                "[CD TRACK]" + std::to_string(o.CDTrack), "[COMMENT]" + o.Comment,
                "[END INFORMATION]", "[SUBTITLE]", fontLine(o.Font), "00:00:00.00,00:00:00.10", "",
                ""});
}

void SubViewer2Format::renderEntry(const RenderContext&, const TSub& entry, int,
                                   TextLines& out) const {
    out.push_back(hundredths(entry.Start) + "," + hundredths(entry.Stop));
    std::string text;
    for (int k = 0; k < entry.NbLines; ++k) {
        if (k > 0) text += "[br]";
        text += entry.Lines[size_t(k)];
    }
    out.push_back(std::move(text));
    out.emplace_back();
}

} // namespace mirtal
