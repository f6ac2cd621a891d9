#include "subtitles/SubtitleStore.h"

#include <stdexcept>

namespace mirtal {

const TSub& SubtitleStore::entry(int i) const {
    if (i < 1 || i > nbSubTitle()) throw std::out_of_range("subtitle " + std::to_string(i));
    return m_entries[size_t(i - 1)];
}

TSub& SubtitleStore::entry(int i) {
    if (i < 1 || i > nbSubTitle()) throw std::out_of_range("subtitle " + std::to_string(i));
    return m_entries[size_t(i - 1)];
}

AddStatus SubtitleStore::add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
                             const Rect& rect) {
    if (lines.empty()) return AddStatus::NoText;
    if (full()) return AddStatus::StoreFull;
    TSub e;
    e.Start = start;
    e.Stop = stop;
    e.setRect(rect);
    size_t n = lines.size() < size_t(TSub::kMaxLines) ? lines.size() : size_t(TSub::kMaxLines);
    for (size_t k = 0; k < n; ++k) e.Lines[k] = lines[k];
    for (size_t k = n; k < lines.size(); ++k) e.Lines[n - 1] += " " + lines[k];
    e.NbLines = uint8_t(n);
    m_entries.push_back(std::move(e));
    return AddStatus::Added;
}

std::string storeFullMessage() {
    return "The subtitle list is full (" + std::to_string(SubtitleStore::kCapacity) +
           " subtitles) !\rThe following subtitles are not added.";
}

} // namespace mirtal
