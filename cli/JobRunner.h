#pragma once

#include "CliHost.h"
#include "Commands.h"
#include "rip/Session.h"

#include <filesystem>
#include <string>

namespace mirtal::cli {

// Ticks the session's job until it is finished, as the main window's timer
// would, but without waiting between ticks. Returns kExitOk, or
// kExitDataProblem when warnings were shown or the job could not finish (a
// refused bad pack, a file gone, a pause nobody can lift), said on stderr.
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
