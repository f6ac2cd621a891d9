#pragma once

#include "base/MessageCatalogue.h"
#include "rip/Demuxer.h"
#include "rip/Host.h"
#include "rip/RipDisplay.h"
#include "rip/RipEngine.h"
#include "rip/RipJob.h"
#include "rip/Subpicture.h"
#include "rip/SubtitleSink.h"

#include <memory>

namespace mirtal {

// The working state of one run of the program: the rip job, the
// demultiplexer with its SPU buffer and stream clock, the decoded
// subpicture, the display and the engine that drives them. Whoever creates
// it (the main window, mirtal-rip, a test) hands it its host, the message
// catalogue and the subtitle store; nothing is global, so sessions in one
// process never see each other.
class Session {
public:
    Session(Host& host, const MessageCatalogue& catalogue, SubtitleSink& subtitles,
            SubpictureActions* actions = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    RipJob& job() { return m_job; }
    Demuxer& demuxer() { return *m_demuxer; }
    Subpicture& subpicture() { return m_subpicture; }
    RipDisplay& display() { return m_display; }
    RipEngine& engine() { return m_engine; }
    Host& host() { return m_host; }
    const MessageCatalogue& catalogue() const { return m_catalogue; }

private:
    Host& m_host;
    const MessageCatalogue& m_catalogue;
    RipJob m_job;
    std::unique_ptr<Demuxer> m_demuxer; // 64 KiB buffer: kept off the stack
    Subpicture m_subpicture;
    RipDisplay m_display;
    RipEngine m_engine;
};

} // namespace mirtal
