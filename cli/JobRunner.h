#pragma once

#include "CliHost.h"
#include "Commands.h"
#include "JobInput.h"
#include "rip/Session.h"
#include "subtitles/SystemBannerClock.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace mirtal::cli {

// The clock of a document's banner: the system's, or the one --date fixes.
class BannerClockChoice {
public:
    explicit BannerClockChoice(const Args& args);
    const BannerClock& clock() const;

private:
    SystemBannerClock m_system;
    FixedBannerClock m_fixed;
    bool m_fixedChosen;
};

// What every rip command sets up alike: the session reads `stream` on a
// time line that starts at --time-code (when given), and the job takes the
// input's files and indexes, --forced-only and the video-start choice.
JobSetup prepareJob(Session& session, const Args& args, const JobInput& input,
                    const StreamChoice& stream, std::optional<int32_t> lastTimeCodeMs,
                    uint8_t action);

// Why a job stopped before its end.
enum class JobHalt { None, BadPack, MissingFile, Paused };
struct JobOutcome {
    JobHalt halt = JobHalt::None;
    std::string file; // the job's current file when it stopped
};

// Ticks the session's job until it is finished or cannot go on, as the main
// window's timer would, but without waiting between ticks. A refused bad
// pack and a file gone are said on stderr (after `beforeMessage`); a pause
// nobody lifts is left to the caller to explain.
JobOutcome tickToEnd(Session& session, CliIo& io, const std::function<void()>& beforeMessage = {});

// tickToEnd for a listing. Returns kExitOk, or kExitDataProblem when
// warnings were shown or the job could not finish, said on stderr.
int runJobToEnd(Session& session, CliHost& host, CliIo& io);

// "no subpictures in stream 5 (streams with subpictures: 1, 2)": what a job
// that found nothing says instead of writing an empty result.
std::string nothingFoundMessage(Session& session, bool forcedOnly);

// Where a job that stopped early writes: -o itself while there is no such
// file, else a new name beside it (film.partial.vtx, film.partial2.vtx...),
// so that a file that may be whole is never replaced by part of a job.
std::filesystem::path partialOutputPath(const std::filesystem::path& output);

// Says that `written` holds only part of the job, and that `output` was
// left as it was when they differ.
void reportPartialOutput(CliIo& io, const std::filesystem::path& written,
                         const std::filesystem::path& output, int entries, const char* entryName,
                         uint32_t subpictures);

} // namespace mirtal::cli
