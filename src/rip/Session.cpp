#include "rip/Session.h"

namespace mirtal {

Session::Session(Host& host, const MessageCatalogue& catalogue, const BannerClock& clock)
    : m_host(host), m_catalogue(catalogue), m_document(clock), m_documentSink(m_document, host),
      m_ocr(m_matrix, m_ocrSettings, m_ocrState, host, host, catalogue), m_actions(*this),
      m_demuxer(std::make_unique<Demuxer>()),
      m_engine(host, catalogue, m_job, *m_demuxer, m_subpicture, m_display, m_documentSink) {
    m_engine.setActions(&m_actions);
    // As when the job dialog is created at program start.
    m_demuxer->resetTimeBase(m_display);
}

namespace {
// Engine-only sessions still own a document; nothing is ever rendered into it.
const FixedBannerClock& idleClock() {
    static const FixedBannerClock clock("");
    return clock;
}
} // namespace

Session::Session(Host& host, const MessageCatalogue& catalogue, SubtitleSink& subtitles,
                 SubpictureActions* actions)
    : m_host(host), m_catalogue(catalogue), m_document(idleClock()),
      m_documentSink(m_document, host),
      m_ocr(m_matrix, m_ocrSettings, m_ocrState, host, host, catalogue), m_actions(*this),
      m_demuxer(std::make_unique<Demuxer>()),
      m_engine(host, catalogue, m_job, *m_demuxer, m_subpicture, m_display, subtitles) {
    m_engine.setActions(actions);
    m_demuxer->resetTimeBase(m_display);
}

Result Session::startJob(const JobSetup& setup) {
    auto demuxerAtStart = std::make_unique<Demuxer>(*m_demuxer);
    if (Result r = m_engine.startJob(setup); !r) return r;
    m_demuxerAtStart = std::move(demuxerAtStart);
    m_setup = setup;
    m_subtitlesAtStart = m_document.nbSubTitle();
    m_ocrState.forgetTextColour();
    m_ocr.startJob();
    showGlyphCounts();
    m_resumeWhenIdle = false;
    if (setup.action == kActionBmp || setup.action == kActionShow) m_adjustmentDue = true;
    if (setup.action == kActionShow) m_job.NoStop = false;
    return {};
}

TickResult Session::tick() {
    if (m_resumeWhenIdle && !m_job.Busy) {
        m_resumeWhenIdle = false;
        if (m_job.Paused) m_engine.togglePause();
    }
    const TickResult result = m_engine.tick();
    restartForNaming();
    return result;
}

void Session::restartForNaming() {
    if (m_job.Busy) return;
    if (m_ocr.wantsTraining() && m_job.Paused && !m_ocr.training()) {
        // What the pass read before the new shape is read again after training.
        if (m_document.nbSubTitle() > m_subtitlesAtStart) {
            m_document.store().truncate(m_subtitlesAtStart);
            m_document.refreshList();
        }
        m_ocr.beginTraining();
        restartPass();
    } else if (m_ocr.training() && m_job.finished()) {
        m_ocr.finishTraining();
        showGlyphCounts();
        restartPass();
    }
}

void Session::resetTimeBase() {
    m_demuxer->resetTimeBase(m_display);
    m_host.displayChanged(m_display);
}

void Session::showGlyphCounts() {
    m_display.glyphsNamed = uint32_t(m_ocr.namedAutomatically());
    m_display.glyphsAsked = uint32_t(m_ocr.asked());
}

void Session::restartPass() {
    if (m_demuxerAtStart) *m_demuxer = *m_demuxerAtStart;
    m_engine.startJob(m_setup);
}

void Session::composePicture() {
    m_outputRect = m_composer.composeOutputBitmap(
        m_bmpSettings, m_subpicture.Bitmap, m_outputBitmap, m_subpicture.rect(),
        m_subpicture.FrameWidth, m_subpicture.FrameHeight);
}

} // namespace mirtal
