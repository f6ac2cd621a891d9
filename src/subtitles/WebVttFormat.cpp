#include "subtitles/WebVttFormat.h"

#include <array>
#include <string_view>

namespace mirtal {

namespace {

// "01:02:03.004"
std::string cueTime(TTimeCode tc) {
    std::string s = timeCodeToStr(tc);
    s[8] = '.';
    return s;
}

// Cue text may hold tags but no bare '&' or '<', and never "-->".
std::string cueText(std::string_view line) {
    static constexpr std::array<std::string_view, 6> kTags = {"<i>",  "<b>",  "<u>",
                                                              "</i>", "</b>", "</u>"};
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        std::string_view rest = line.substr(i);
        bool tag = false;
        for (std::string_view t : kTags)
            if (rest.starts_with(t)) {
                out += t;
                i += t.size() - 1;
                tag = true;
                break;
            }
        if (tag) continue;
        switch (line[i]) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += line[i];
        }
    }
    return out;
}

} // namespace

const char* WebVttFormat::saveFilter() const {
    return "WebVTT File (*.vtt)|*.vtt|All|*.*";
}

void WebVttFormat::renderHeader(const RenderContext&, TextLines& out) const {
    out.insert(out.end(), {"WEBVTT", ""});
}

void WebVttFormat::renderEntry(const RenderContext&, const TSub& entry, int, TextLines& out) const {
    out.push_back(cueTime(entry.Start) + " --> " + cueTime(stopNotBeforeStart(entry)) +
                  (sitsAtTop(entry) ? " line:10%" : ""));
    for (int k = 0; k < entry.NbLines; ++k) out.push_back(cueText(entry.Lines[size_t(k)]));
    out.emplace_back();
}

} // namespace mirtal
