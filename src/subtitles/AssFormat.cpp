#include "subtitles/AssFormat.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace mirtal {

namespace {

// "1:02:03.00", rounded to the hundredth.
std::string eventTime(TTimeCode tc) {
    int64_t cs = (int64_t(timeCodeToMs(tc)) + 5) / 10;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d:%02d.%02d", int(cs / 360000), int(cs / 6000 % 60),
                  int(cs / 100 % 60), int(cs % 100));
    return text;
}

// The tags other subtitle files carry become override codes; a brace would
// open an override block, so a literal one is written as a parenthesis.
std::string eventText(std::string_view line) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kTags = {{
        {"<i>", "{\\i1}"},
        {"</i>", "{\\i0}"},
        {"<b>", "{\\b1}"},
        {"</b>", "{\\b0}"},
        {"<u>", "{\\u1}"},
        {"</u>", "{\\u0}"},
    }};
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        std::string_view rest = line.substr(i);
        bool tag = false;
        for (auto [html, code] : kTags)
            if (rest.starts_with(html)) {
                out += code;
                i += html.size() - 1;
                tag = true;
                break;
            }
        if (tag) continue;
        out += line[i] == '{' ? '(' : line[i] == '}' ? ')' : line[i];
    }
    return out;
}

} // namespace

const char* AssFormat::saveFilter() const {
    return "Advanced SubStation Alpha File (*.ass)|*.ass|All|*.*";
}

void AssFormat::renderHeader(const RenderContext&, TextLines& out) const {
    out.insert(out.end(),
               {"[Script Info]", "ScriptType: v4.00+", "PlayResX: 720", "PlayResY: 576",
                "WrapStyle: 0", "ScaledBorderAndShadow: yes", "", "[V4+ Styles]",
                "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, "
                "OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, "
                "Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, "
                "MarginV, Encoding",
                "Style: Default,Arial,28,&H00FFFFFF,&H000000FF,&H00000000,&H80000000,0,0,0,0,"
                "100,100,0,0,1,2,0,2,40,40,30,1",
                "", "[Events]",
                "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text"});
}

void AssFormat::renderEntry(const RenderContext&, const TSub& entry, int, TextLines& out) const {
    std::string text = sitsAtTop(entry) ? "{\\an8}" : "";
    for (int k = 0; k < entry.NbLines; ++k) {
        if (k > 0) text += "\\N";
        text += eventText(entry.Lines[size_t(k)]);
    }
    out.push_back("Dialogue: 0," + eventTime(entry.Start) + "," +
                  eventTime(stopNotBeforeStart(entry)) + ",Default,,0,0,0,," + text);
}

} // namespace mirtal
