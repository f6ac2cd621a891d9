#include "subtitles/SubtitleList.h"

#include <iterator>

namespace mirtal {

void SubtitleList::select(int line) {
    if (line < -1 || line >= int(m_lines.size()))
        line = m_lines.empty() ? -1 : int(m_lines.size()) - 1;
    m_selected = line;
    if (m_observer && !m_bulk) m_observer->selectionChanged(line);
}

void SubtitleList::clear() {
    m_lines.clear();
    m_selected = -1;
    if (m_observer && !m_bulk) m_observer->linesReset();
}

void SubtitleList::append(std::vector<std::string>&& lines) {
    if (lines.empty()) return;
    size_t first = m_lines.size();
    m_lines.insert(m_lines.end(), std::make_move_iterator(lines.begin()),
                   std::make_move_iterator(lines.end()));
    if (m_observer && !m_bulk) m_observer->linesAppended(first, lines.size());
}

void SubtitleList::removeLast(size_t count) {
    if (count > m_lines.size()) count = m_lines.size();
    if (count == 0) return;
    size_t first = m_lines.size() - count;
    m_lines.resize(first);
    if (m_selected >= int(first)) m_selected = -1;
    if (m_observer && !m_bulk) m_observer->linesRemoved(first, count);
}

void SubtitleList::beginBulk() {
    m_bulk = true;
}

void SubtitleList::endBulk() {
    m_bulk = false;
    if (m_observer) {
        m_observer->linesReset();
        m_observer->selectionChanged(m_selected);
    }
}

} // namespace mirtal
