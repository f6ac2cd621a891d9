#include "subtitles/SplitOutput.h"

#include <algorithm>

namespace mirtal {

SplitBarGeometry computeSplitBar(TTimeCode start, TTimeCode stop, TTimeCode end, int barLeft,
                                 int barWidth) {
    int64_t a = timeCodeToMs(start) / 1000;
    int64_t b = timeCodeToMs(stop) / 1000;
    int64_t total = timeCodeToMs(end) / 1000;
    if (total == 0) {
        total = 1;
        b = 1;
    }
    int64_t left = std::min(a, total);
    b = std::max(std::min(b, total), left);
    int64_t scale = int64_t(barWidth) * 1000000 / total;
    SplitBarGeometry g;
    g.fillLeft = int(barLeft + scale * left / 1000000);
    g.fillWidth = int((b - left) * scale / 1000000);
    g.endText = timeCodeToStr(end);
    g.startText = timeCodeToStr(start);
    g.stopText = timeCodeToStr(stop);
    return g;
}

TTimeCode splitFileEnd(const SubtitleStore& store) {
    return store.empty() ? TTimeCode{} : store.last().Stop;
}

bool applySplitWindow(SubtitleDocument& doc, const SplitWindow& window, DialogHost& host,
                      const MessageCatalogue& messages) {
    if (window.SplitActive && timeCodeToMs(window.SplitStart) > timeCodeToMs(window.SplitStop)) {
        host.ask(MessageKind::Warning, {Answer::Ok}, messages.text(Message::StopBeforeStart));
        return false;
    }
    doc.setSplit(window);
    doc.refreshList();
    return true;
}

} // namespace mirtal
