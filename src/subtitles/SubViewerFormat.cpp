#include "subtitles/SubViewerFormat.h"

namespace mirtal {

namespace {

std::string bracketedSeconds(TTimeCode tc) {
    return "[" + timeCodeToStr(tc).substr(0, 8) + "]";
}

} // namespace

const char* SubViewerFormat::saveFilter() const {
    return "SubViewer File (*.sub)|*.sub|Text File (*.txt)|*.txt|All|*.*";
}

void SubViewerFormat::renderHeader(const RenderContext& ctx, TextLines& out) const {
    const SubViewerOptions& o = ctx.options.subViewer;
    out.insert(out.end(), {"[TITLE]", o.Title, "[AUTHOR]", o.Author, "[SOURCE]", o.Source, "[PRG]",
                           o.Program, "[FILEPATH]", o.FilePath, "[DELAY]", std::to_string(o.Delay),
                           "[CD TRACK]", "0", "[BEGIN]", "******** START SCRIPT ********"});
}

void SubViewerFormat::renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                                  TextLines& out) const {
    const SubViewerOptions& o = ctx.options.subViewer;
    TTimeCode start = entry.Start;
    // The previous stop as stored: the split window does not shift it.
    bool hasPrev = index > 1 && index - 1 <= ctx.store.nbSubTitle();
    TTimeCode prev = hasPrev ? ctx.store.entry(index - 1).Stop : TTimeCode{};
    if (o.RoundTC) {
        start = roundTimeCode(start);
        prev = roundTimeCode(prev);
    }
    if (hasPrev && timeCodeToMs(prev) < timeCodeToMs(start)) {
        out.push_back(bracketedSeconds(prev));
        out.emplace_back();
    }
    out.push_back(bracketedSeconds(start));
    std::string text;
    for (int k = 0; k < entry.NbLines; ++k) {
        if (k == 1)
            text += "|";
        else if (k > 1)
            text += o.TwoLineMax ? " " : "|";
        text += entry.Lines[size_t(k)];
    }
    out.push_back(std::move(text));
}

std::string SubViewerFormat::fileText(const RenderContext&, const TextLines& list) const {
    return joinCrLf(list) + joinCrLf({"[END]", "******** End Script ********"});
}

} // namespace mirtal
