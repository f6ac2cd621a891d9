#include "subtitles/SubtitleDocument.h"

namespace mirtal {

SubtitleDocument::SubtitleDocument(const BannerClock& clock) : m_clock(clock) {
    setFileName(kNewFileName);
}

AddStatus SubtitleDocument::addSubtitle(const std::vector<std::string>& lines, bool show,
                                        TTimeCode start, TTimeCode stop, const Rect& rect) {
    AddStatus status = m_store.add(lines, start, stop, rect);
    if (status == AddStatus::Added && show) addEntry(nbSubTitle(), true);
    return status;
}

TTimeCode SubtitleDocument::lastStop() const {
    return m_store.empty() ? TTimeCode{} : m_store.last().Stop;
}

void SubtitleDocument::closeLastEntry(TTimeCode stop) {
    if (m_store.empty()) return;
    removeLastEntry();
    m_store.last().Stop = stop;
    addEntry(nbSubTitle(), true);
}

void SubtitleDocument::addEntry(int index, bool scroll) {
    if (index < 1 || index > nbSubTitle()) return;
    setModified(true);
    TSub copy = m_store.entry(index);
    size_t appended = 0;
    if (!m_split.SplitActive || inSplitWindow(m_split, copy)) {
        if (m_split.SplitActive) copy = clipToSplitWindow(m_split, copy);
        TextLines lines;
        format().renderEntry(context(), copy, index, lines);
        appended = lines.size();
        m_list.append(std::move(lines));
    }
    m_lastRenderedIndex = index;
    m_lastRenderedLines = appended;
    if (scroll && AutoScrollDown && ListShown) m_list.selectLast();
    setIndexLabel(std::to_string(index));
}

void SubtitleDocument::refreshList() {
    // Views hear of a rebuild once, not once per entry.
    m_refreshing = true;
    m_list.beginBulk();
    m_list.clear();
    const SubtitleFormat& f = format();
    f.prepareOptions(m_options);
    TextLines header;
    f.renderHeader(context(), header);
    m_list.append(std::move(header));
    for (int i = 1; i <= nbSubTitle(); ++i) addEntry(i, false);
    m_list.selectLast();
    m_list.endBulk();
    m_refreshing = false;
    notifyState();
}

void SubtitleDocument::removeLastEntry() {
    if (m_list.empty() || m_lastRenderedIndex != nbSubTitle() || nbSubTitle() == 0) return;
    m_list.removeLast(m_lastRenderedLines);
    m_lastRenderedIndex = 0;
    m_lastRenderedLines = 0;
}

void SubtitleDocument::setOutputFormat(TOutputFormat format) {
    m_format = unsigned(format) < unsigned(kFormatCount) ? format : ofNative;
}

void SubtitleDocument::setModified(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    notifyState();
}

void SubtitleDocument::setFileName(const std::string& name) {
    m_fileName = name;
    std::string base = std::filesystem::path(name).stem().string();
    m_caption = "Subtitles - " + base + " -";
    m_saveInitialName = base + "." + format().extension();
    notifyState();
}

void SubtitleDocument::discardAll() {
    m_store.clear();
    m_list.clear();
    m_lastRenderedIndex = 0;
    m_lastRenderedLines = 0;
    m_modified = false;
    setIndexLabel("0");
    notifyState();
}

std::string SubtitleDocument::fileText() const {
    return format().fileText(context(), m_list.lines());
}

void SubtitleDocument::setIndexLabel(std::string text) {
    if (m_indexLabel == text) return;
    m_indexLabel = std::move(text);
    notifyState();
}

void SubtitleDocument::notifyState() {
    if (!m_refreshing && m_list.observer()) m_list.observer()->documentStateChanged();
}

} // namespace mirtal
