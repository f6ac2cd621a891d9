#include "rip/DocumentSink.h"

namespace mirtal {

void DocumentSink::add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
                       const Rect& rect) {
    if (m_document.addSubtitle(lines, true, start, stop, rect) != AddStatus::StoreFull) {
        m_reportedFull = false;
        return;
    }
    ++m_refused;
    if (!m_reportedFull) m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, storeFullMessage());
    m_reportedFull = true;
}

} // namespace mirtal
