#include "rip/Session.h"

namespace mirtal {

Session::Session(Host& host, const MessageCatalogue& catalogue, SubtitleSink& subtitles,
                 SubpictureActions* actions)
    : m_host(host), m_catalogue(catalogue), m_demuxer(std::make_unique<Demuxer>()),
      m_engine(host, catalogue, m_job, *m_demuxer, m_subpicture, m_display, subtitles) {
    m_engine.setActions(actions);
    // As when the job dialog is created at program start.
    m_demuxer->ResetTimeBase(m_display);
}

} // namespace mirtal
