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
    Result saveBitmap(RipEngine&, const SubpictureEvent&) override { return {}; }
    void show(RipEngine&, const SubpictureEvent& e) override {
        char line[160];
        std::snprintf(line, sizeof line, "%6u  %s  %s  %4d %4d %4d %4d  %6zu\n", e.number,
                      timeCodeToStr(e.times.start).c_str(), timeCodeToStr(e.times.stop).c_str(),
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

std::string hexId(uint8_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", id);
    return text;
}

// "  wide 0x22  letterbox 0x23" for a stream of a mapped title.
std::string substreamsOf(const StreamMap& map, int line) {
    std::string text;
    if (!map.mapped() || !map.hasStream(line)) return text;
    for (int v = 0; v < kSubpictureViews; ++v)
        if (map.hasView(line, SubpictureView(v)))
            text += "  " + std::string(viewName(SubpictureView(v))) + ' ' +
                    hexId(map.substream(line, SubpictureView(v)));
    return text;
}

} // namespace

int runList(const Args& args, CliIo& io) {
    JobInput input;
    std::string error;
    StreamChoice stream;
    int32_t lastTimeCodeMs = 0;
    auto timeCode = args.value("--time-code");
    if (!resolveInputs(args.inputs, input, error) || !chooseTitle(args, input, error) ||
        !chooseStream(args, input, stream, error) ||
        (timeCode && !parseTimeCodeOption(*timeCode, lastTimeCodeMs, error))) {
        io.err << "mirtal-rip: " << error << '\n';
        return refusalStatus(input);
    }
    CliHost host(io, args);
    if (!input.ifoProblem.empty()) host.ask(MessageKind::Warning, {Answer::Ok}, input.ifoProblem);

    MessageCatalogue catalogue;
    NoSubtitles subtitles;
    ListPrinter printer(io.out);
    Session session(host, catalogue, subtitles, &printer);
    const JobSetup setup =
        prepareJob(session, args, input, stream,
                   timeCode ? std::optional<int32_t>(lastTimeCodeMs) : std::nullopt, kActionShow);

    if (input.ifo) {
        io.out << "# " << input.ifo->string();
        if (input.map.mapped()) io.out << " (16:9 title: its first program chain maps the streams)";
        io.out << '\n';
        auto lines = streamListTexts(input.names);
        for (int k = 0; k < kSubpictureStreams; ++k)
            if (!input.names[size_t(k)].empty() || (input.map.mapped() && input.map.hasStream(k)))
                io.out << "#   " << printable(lines[size_t(k)]) << substreamsOf(input.map, k)
                       << '\n';
    }
    if (stream.line < 0) {
        io.out << "# substream " << hexId(stream.id);
    } else {
        io.out << "# stream " << (stream.line + 1) << " (substream " << hexId(stream.id);
        if (input.map.mapped()) io.out << ", " << viewName(stream.view);
        io.out << ")";
        if (input.ifo && !input.names[size_t(stream.line)].empty())
            io.out << ": " << printable(input.names[size_t(stream.line)]);
    }
    io.out << "\n#    number  start         stop            X1   Y1   X2   Y2    bytes\n";

    if (Result r = session.engine().startJob(setup); !r) {
        io.err << "mirtal-rip: " << r.error << '\n';
        return kExitUsage;
    }
    int status = runJobToEnd(session, host, io);
    if (printer.count() == 0) {
        io.err << "mirtal-rip: " << nothingFoundMessage(session, setup.forcedOnly) << '\n';
        status = kExitDataProblem;
    }
    uint64_t bytesRead = 0;
    for (uint32_t kb : session.job().FileSizeKb) bytesRead += uint64_t(kb) << 10;
    io.out << "# total: " << printer.count() << " subpictures, " << damagedNote(session.job())
           << printer.bytes() << " bytes of subpicture units, " << input.vobs.size()
           << (input.ranges.empty() ? " file" : " cell") << (input.vobs.size() == 1 ? "" : "s")
           << ", " << (bytesRead >> 20) << " MiB\n";
    return status;
}

} // namespace mirtal::cli
