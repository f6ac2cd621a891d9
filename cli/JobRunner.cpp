#include "JobRunner.h"

#include "base/TextCodec.h"

#include <ostream>

namespace mirtal::cli {

BannerClockChoice::BannerClockChoice(const Args& args)
    : m_fixed(utf8ToCp1252(args.value("--date").value_or(""))), m_fixedChosen(args.has("--date")) {}

const BannerClock& BannerClockChoice::clock() const {
    if (m_fixedChosen) return m_fixed;
    return m_system;
}

JobSetup prepareJob(Session& session, const Args& args, const JobInput& input,
                    const StreamChoice& stream, std::optional<int32_t> lastTimeCodeMs,
                    uint8_t action) {
    if (lastTimeCodeMs) session.demuxer().restartTimeLineAt(msToTimeCode(*lastTimeCodeMs));
    session.chooseStream(stream.id);
    JobSetup setup;
    setup.files = input.vobs;
    setup.indexes = input.indexes;
    setup.ranges = input.ranges;
    setup.titleFile = input.titleStart.file;
    setup.titlePack = input.titleStart.packs.first;
    setup.forcedOnly = args.has("--forced-only");
    setup.fromVideoStart = timesFromVideoStart(args);
    setup.action = action;
    return setup;
}

JobOutcome tickToEnd(Session& session, CliIo& io, const std::function<void()>& beforeMessage) {
    const RipJob& job = session.job();
    while (!job.finished()) {
        const TickResult r = session.tick();
        if (job.finished()) break;
        const std::string file = job.FileList[job.CurrentFile - 1].string();
        const bool halted = session.engine().halted();
        if (halted || r == TickResult::MissingFile) {
            if (beforeMessage) beforeMessage();
            io.err << "mirtal-rip: "
                   << (halted ? "stopped at the bad pack of " : "file not found: ") << file << '\n';
            return {halted ? JobHalt::BadPack : JobHalt::MissingFile, file};
        }
        if (job.Paused && !job.Busy && !session.resumesWhenIdle()) return {JobHalt::Paused, file};
    }
    return {};
}

int runJobToEnd(Session& session, CliHost& host, CliIo& io) {
    const JobOutcome end = tickToEnd(session, io);
    if (end.halt == JobHalt::Paused)
        io.err << "mirtal-rip: the job paused in " << end.file << " at pack "
               << session.job().ContinuePack << " and cannot go on here\n";
    if (end.halt != JobHalt::None) return kExitDataProblem;
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
