#include "CliHost.h"
#include "Commands.h"
#include "JobInput.h"
#include "JobRunner.h"
#include "base/TextCodec.h"
#include "rip/Session.h"

#include <cstdio>
#include <ostream>

namespace mirtal::cli {

namespace {

// --list keeps no subtitles.
class NoSubtitles : public SubtitleSink {
public:
    int count() const override { return 0; }
    TTimeCode lastStop() const override { return {}; }
    void closeLast(TTimeCode) override {}
    void add(const std::vector<std::string>&, TTimeCode, TTimeCode, const Rect&) override {}
};

// Prints one line per subpicture as the show-only action hands it on.
class ListPrinter : public SubpictureActions {
public:
    explicit ListPrinter(std::ostream& out) : m_out(out) {}

    void recognise(RipEngine&, const SubpictureEvent&) override {}
    void saveBitmap(RipEngine&, const SubpictureEvent&) override {}
    void show(RipEngine&, const SubpictureEvent& e) override {
        char line[160];
        std::snprintf(line, sizeof line, "%6u  %s  %s  %4d %4d %4d %4d  %6zu\n", e.number,
                      TimeCodeToStr(e.times.start).c_str(), TimeCodeToStr(e.times.stop).c_str(),
                      e.rect.X1, e.rect.Y1, e.rect.X2, e.rect.Y2, e.spu.size());
        m_out << line;
        ++m_count;
        m_bytes += e.spu.size();
    }

    uint32_t count() const { return m_count; }
    uint64_t bytes() const { return m_bytes; }

private:
    std::ostream& m_out;
    uint32_t m_count = 0;
    uint64_t m_bytes = 0;
};

// Language names come from a file: keep control characters off the terminal.
std::string printable(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return cp1252ToUtf8(out);
}

} // namespace

int runList(const Args& args, CliIo& io) {
    JobInput input;
    std::string error;
    uint8_t streamId = 0x20;
    int32_t lastTimeCodeMs = 0;
    auto timeCode = args.value("--time-code");
    if (!resolveInputs(args.inputs, input, error) ||
        !chooseStream(args.value("--stream"), input, streamId, error) ||
        (timeCode && !parseTimeCodeOption(*timeCode, lastTimeCodeMs, error))) {
        io.err << "mirtal-rip: " << error << '\n';
        return kExitUsage;
    }
    CliHost host(io, args);
    if (!input.ifoProblem.empty()) host.ask(MessageKind::Warning, {Answer::Ok}, input.ifoProblem);

    MessageCatalogue catalogue;
    NoSubtitles subtitles;
    ListPrinter printer(io.out);
    Session session(host, catalogue, subtitles, &printer);
    if (timeCode) {
        session.demuxer().LastTimeCode = MsToTimeCode(lastTimeCodeMs);
        session.demuxer().MarkRebase();
    }
    session.job().SubtitleStreamId = streamId;

    if (input.ifo) {
        io.out << "# " << input.ifo->string() << '\n';
        auto lines = FillStreamList(input.names);
        for (int k = 0; k < kSubpictureStreams; ++k)
            if (!input.names[size_t(k)].empty())
                io.out << "#   " << printable(lines[size_t(k)]) << '\n';
    }
    char sid[8];
    std::snprintf(sid, sizeof sid, "0x%02X", streamId);
    io.out << "# stream " << (streamId - 0x1F) << " (substream " << sid << ")";
    if (input.ifo && !input.names[size_t(streamId - 0x20)].empty())
        io.out << ": " << printable(input.names[size_t(streamId - 0x20)]);
    io.out << "\n#    number  start         stop            X1   Y1   X2   Y2    bytes\n";

    JobSetup setup;
    setup.files = input.vobs;
    setup.indexes = input.indexes;
    setup.forcedOnly = args.has("--forced-only");
    setup.action = kActionShow;
    if (!session.engine().StartJob(setup, &error)) {
        io.err << "mirtal-rip: " << error << '\n';
        return kExitUsage;
    }
    int status = runJobToEnd(session, host, io);
    uint64_t bytesRead = 0;
    for (uint32_t kb : session.job().FileSizeKb) bytesRead += uint64_t(kb) << 10;
    io.out << "# total: " << printer.count() << " subpictures, " << printer.bytes()
           << " bytes of subpicture units, " << input.vobs.size() << " file"
           << (input.vobs.size() == 1 ? "" : "s") << ", " << (bytesRead >> 20) << " MiB\n";
    return status;
}

} // namespace mirtal::cli
