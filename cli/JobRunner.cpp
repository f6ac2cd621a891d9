#include "JobRunner.h"

#include <ostream>

namespace mirtal::cli {

int runJobToEnd(Session& session, CliHost& host, CliIo& io) {
    RipEngine& engine = session.engine();
    RipJob& job = session.job();
    while (!job.finished()) {
        TickResult r = engine.tick();
        if (job.finished()) break;
        if (engine.halted()) {
            io.err << "mirtal-rip: stopped at the bad pack of "
                   << job.FileList[job.CurrentFile - 1].string() << '\n';
            return kExitDataProblem;
        }
        if (r == TickResult::MissingFile) {
            io.err << "mirtal-rip: file not found: " << job.FileList[job.CurrentFile - 1].string()
                   << '\n';
            return kExitDataProblem;
        }
        if (job.Paused && !job.Busy) {
            io.err << "mirtal-rip: the job paused in " << job.FileList[job.CurrentFile - 1].string()
                   << " at pack " << job.ContinuePack << " and cannot go on here\n";
            return kExitDataProblem;
        }
    }
    return host.warnings() > 0 ? kExitDataProblem : kExitOk;
}

std::string nothingFoundMessage(Session& session, bool forcedOnly) {
    const uint8_t chosen = session.job().SubtitleStreamId;
    std::string others;
    const auto& packets = session.demuxer().substreamPackets();
    for (size_t k = 0; k < packets.size(); ++k)
        if (packets[k] > 0 && k + 0x20 != chosen)
            others += (others.empty() ? "" : ", ") + std::to_string(k + 1);
    std::string text = std::string("no ") + (forcedOnly ? "forced " : "") +
                       "subpictures in stream " + std::to_string(chosen - 0x1F);
    if (forcedOnly && packets[size_t(chosen - 0x20)] > 0) return text;
    return text + (others.empty() ? " (no stream has any)"
                                  : " (streams with subpictures: " + others + ")");
}

std::filesystem::path partialOutputPath(const std::filesystem::path& output) {
    std::error_code ec;
    std::filesystem::path path = output;
    for (int n = 1; std::filesystem::exists(path, ec) || ec; ++n) {
        path = output;
        path.replace_filename(output.stem().string() + ".partial" +
                              (n == 1 ? std::string() : std::to_string(n)) +
                              output.extension().string());
    }
    return path;
}

void reportPartialOutput(CliIo& io, const std::filesystem::path& written,
                         const std::filesystem::path& output, int entries, const char* entryName,
                         uint32_t subpictures) {
    io.err << "mirtal-rip: the job did not finish: " << written.string() << " holds only the "
           << entries << ' ' << entryName << " of subpictures 1 to " << subpictures;
    if (written != output) io.err << "; " << output.string() << " was left as it was";
    io.err << '\n';
}

} // namespace mirtal::cli
