#pragma once

#include "base/MessageCatalogue.h"
#include "rip/Demuxer.h"
#include "rip/Host.h"
#include "rip/RipDisplay.h"
#include "rip/RipJob.h"
#include "rip/SubpictureActions.h"
#include "rip/SubtitleSink.h"

#include <array>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace mirtal {

class PackFile;
struct Subpicture;
struct VobSubIndex;

// What the Start button hands over.
struct JobSetup {
    std::vector<std::filesystem::path> files;
    uint8_t action = kActionOcr;
    bool withTimingAndPosition = false;
    std::string picturePrefix;        // BMP and SUP actions
    std::filesystem::path vobSubName; // VobSub action: NAME of NAME.idx + NAME.sub
    bool showSubPict = false;
    bool forcedOnly = false;
    // Times from the first video frame of the first file rather than from
    // the stream clock, where the job starts a new time line.
    bool fromVideoStart = false;
    // Empty, or one per file: the index of a VobSub .sub, null for a VOB.
    std::vector<std::shared_ptr<const VobSubIndex>> indexes;
    // Empty (every file whole), or one per file: the packs read, for a title
    // ripped cell by cell. Such a job is timed from the title's start: the
    // clock of its first pack (`titleFile` at `titlePack`), or its first video
    // frame with fromVideoStart. A job that starts at a later chapter is timed
    // from that chapter's first frame as the title's time line places it.
    std::vector<PackRange> ranges;
    std::filesystem::path titleFile; // empty: the job's first pack begins the title
    uint32_t titlePack = 0;
};

enum class TickResult {
    Nothing,     // busy, paused, no job or job finished
    MissingFile, // the current file is not there; the next tick tries again
    Processed,   // the current file was processed (to its end, a pause or a halt)
};

// The rip job's processing loop: one tick processes the current VOB file
// pack by pack, hands every completed subpicture to its action, keeps the
// counters and times of the display and honours Pause. It talks to its
// driver only through Host.
class RipEngine {
public:
    RipEngine(Host& host, const MessageCatalogue& catalogue, RipJob& job, Demuxer& demuxer,
              Subpicture& subpicture, RipDisplay& display, SubtitleSink& subtitles);

    void setActions(SubpictureActions* actions) { m_actions = actions; }

    // Fails (and nothing changed) when the job has no file or too many.
    Result startJob(const JobSetup& setup);
    TickResult tick();
    void togglePause();
    void addFileNameEntry(const Rect& rect, const std::string& file);

    // For a dialog that interrupts the current subpicture and wants it
    // processed again after the pause: the job continues at the SPU's first
    // pack and counts it again.
    void pauseToReprocessSubpicture();
    // Takes the current subpicture out of the counts.
    void uncountSubpicture();

    // Stops the job where it stands (say, its next file is gone, or the user
    // ends it from the pause), keeping what was read.
    void stopJob();
    // Stopped, at the user's request after a bad pack or by stopJob; only a
    // new Start goes on.
    bool halted() const { return m_halted; }
    uint32_t filePos() const { return m_filePos; }

    RipJob& job() { return m_job; }
    SubtitleSink& subtitles() { return m_subtitles; }
    const VobSubWriter& vobSub() const { return m_vobSub; }

private:
    void finishFile();
    void updateProgress();
    void updateRemainingTime();
    uint64_t jobPositionKb() const;
    Result handleSubpicture();
    // The display times of the decoded subpicture; closes the last subtitle
    // if its stop is still open.
    DisplayTimes computeDisplayTimes();
    bool isDisplayable() const;
    void publish() { m_host.displayChanged(m_display); }
    // One tick's work: the current file from where the job stands, pack by
    // pack, to its end, a pause or a halt.
    TickResult processVobFile(const std::filesystem::path& path);
    void beginFile();
    TickResult abandonFile(const std::filesystem::path& path, PackFile& file);
    // False when the file loop ends here (the job paused or was stopped).
    bool processPack(std::span<const uint8_t, kPackSize> pack, const PackFile& file,
                     const VobSubIndex* index);
    bool goOnAfterBadPack();
    void completeSpu();
    void pauseHere();
    void reportUnreadable(const std::filesystem::path& path, const std::string& reason);
    void reportSubpictureFailure(const std::string& reason);
    void dropUnfinishedSpu();
    void noteDamaged(const char* why);
    void noteMissingFromIndex(const VobSubIndex& index, const std::filesystem::path& sub);
    void reportProblems();
    void decode();
    void saveVobSub();

    Host& m_host;
    const MessageCatalogue& m_catalogue;
    RipJob& m_job;
    Demuxer& m_demuxer;
    Subpicture& m_subpicture;
    RipDisplay& m_display;
    SubtitleSink& m_subtitles;
    SubpictureActions* m_actions = nullptr;
    VobSubWriter m_vobSub; // the VobSub action's pair, written when the job ends

    // State of one ProcessVobFile call.
    uint32_t m_lastTick = 0;
    uint32_t m_lastEstimateTick = 0;
    uint64_t m_lastEstimatePosKb = 0;
    int64_t m_msPerMb = 0;
    uint8_t m_streamId = 0x20;
    uint32_t m_filePos = 0;
    int m_frameWidth = kFrameWidth; // of the current file's pictures
    int m_frameHeight = kFrameHeight;
    uint64_t m_fileBytes = 0;       // where the next pack of the current file begins
    uint64_t m_rangeStartBytes = 0; // where the current file's range begins
    // An interleaved cell goes on, after its unit's last pack, at the next
    // unit of its own angle (a pause in between keeps the way).
    uint32_t m_unitEnd = UINT32_MAX;
    uint32_t m_nextUnit = 0;
    std::set<uint64_t> m_indexFound; // index entries of the current file met so far
    uint64_t m_kbBefore = 0;         // FileSizeKb of the files before the current one
    bool m_halted = false;
    uint32_t m_spuStartFile = 0; // file (1-based) and pack of the current SPU's first packet
    uint32_t m_spuStartPack = 0;
    uint32_t m_rereadFile = 0;
};

} // namespace mirtal
