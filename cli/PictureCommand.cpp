#include "CliHost.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "JobInput.h"
#include "JobRunner.h"
#include "base/MessageCatalogue.h"
#include "base/TextCodec.h"
#include "export/SupFile.h"
#include "rip/Session.h"
#include "settings/SettingsFile.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/SystemBannerClock.h"

#include <cstdio>
#include <ostream>
#include <system_error>

namespace mirtal::cli {

namespace fs = std::filesystem;

namespace {

struct PictureOptions {
    uint8_t action = kActionBmp;
    std::string prefix;
    fs::path vobSubName;
    bool timing = false;
    std::optional<TOutputFormat> format; // none: the list's own (the palette preset's script)
    std::optional<bool> extended;        // --extended or --no-extended given
    std::optional<fs::path> output;      // the subtitle file; standard output without -o
    bool ask = false;
    BmpOutputSettings bmp;
    OutputOptions formatOptions;
    SettingsWarnings settingsWarnings; // values of --settings and --profile not used
};

// The terminal host of a picture rip. The adjustment step is an immediate
// OK, which for the I-Author and Philips palette presets converts the list
// to that script as the adjustment dialog's OK does. Shown pictures are printed one line each; the
// progression controller never stops unless --ask was given and someone is at the terminal to
// answer.
class PictureHost : public CliHost {
public:
    PictureHost(CliIo& io, const Args& args, bool printShown, bool ask)
        : CliHost(io, args), m_printShown(printShown), m_ask(ask) {}

    void attach(Session& session) { m_session = &session; }

    bool adjustBitmap() override {
        if (!m_session) return true;
        const uint8_t preset = m_session->bmpSettings().Colors.PresetColorPalIndex;
        if (preset == 1 || preset == 2) {
            SubtitleDocument& doc = m_session->document();
            doc.setOutputFormat(preset == 1 ? ofIAuthor : ofPhilips);
            doc.refreshList();
        }
        return true;
    }

    bool stopRequested() const { return m_stopRequested; }

    void showPicture(const PaletteBitmap& bitmap, const Rect& r) override {
        if (!m_printShown || !m_session) return;
        DisplayTimes t =
            subpictureDisplayTimes(m_session->subpicture(), m_session->demuxer().spuStartTime());
        char line[160];
        std::snprintf(line, sizeof line, "%6u  %s  %s  %4d %4d %4d %4d  %3d %3d\n",
                      m_session->job().TotalPictures, timeCodeToStr(t.start).c_str(),
                      timeCodeToStr(t.stop).c_str(), r.X1, r.Y1, r.X2, r.Y2, bitmap.width(),
                      bitmap.height());
        m_io.out << line << std::flush;
        ++m_shown;
    }

    ProgressionChoice waitAtProgression() override {
        if (!m_ask) return ProgressionChoice::NoStop;
        if (!m_io.inputIsTerminal) {
            m_io.err << "mirtal-rip: (no terminal) --ask: no stop\n";
            return ProgressionChoice::NoStop;
        }
        for (;;) {
            m_io.err << "  Enter: next, s: no stop, p: stop here " << std::flush;
            std::optional<std::string> line = readLine();
            if (!line || *line == "s") return ProgressionChoice::NoStop;
            if (line->empty()) return ProgressionChoice::Next;
            if (*line == "p") {
                m_stopRequested = true;
                return ProgressionChoice::Pause;
            }
        }
    }

    uint32_t shown() const { return m_shown; }

private:
    Session* m_session = nullptr;
    bool m_printShown;
    bool m_ask;
    bool m_stopRequested = false;
    uint32_t m_shown = 0;
};

bool fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

// A folder we can create files in, or why not.
bool checkFolder(const fs::path& file, const char* option, std::string& error) {
    fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code ec;
    auto status = fs::status(folder, ec);
    if (!fs::exists(status))
        return fail(error, std::string(option) + ": folder " + folder.string() + " does not exist");
    if (!fs::is_directory(status))
        return fail(error, std::string(option) + ": " + folder.string() + " is not a folder");
    if (!isWritableFolder(folder))
        return fail(error, std::string(option) + ": cannot create files in " + folder.string());
    return true;
}

// --settings: the bitmap sections and the script options of a settings
// file; --profile then replaces the bitmap sections.
bool loadBitmapSettings(const Args& args, PictureOptions& o, std::string& error) {
    if (auto file = args.value("--settings")) {
        if (!checkOptionFile(*file, "--settings", error)) return false;
        IniFile ini;
        if (Result r = ini.load(*file); !r) return fail(error, "--settings: " + r.error);
        ProgramSettings program;
        OcrSettings ocr;
        o.settingsWarnings.file = *file;
        readSettings(ini, "", program, ocr, o.formatOptions, &o.settingsWarnings);
        readBmpOutputSettings(ini, o.bmp, &o.settingsWarnings);
    }
    std::optional<TextEncoding> encoding;
    if (!parseEncoding(args, encoding, error)) return false;
    if (encoding) o.formatOptions.Encoding = *encoding;
    if (auto file = args.value("--profile")) {
        if (!checkOptionFile(*file, "--profile", error)) return false;
        if (Result r = loadBmpOutputSettings(*file, o.bmp, &o.settingsWarnings); !r)
            return fail(error, "--profile: " + r.error);
    }
    return true;
}

// -o NAME (or NAME.idx / NAME.sub) names the pair; nothing else is written.
bool parseVobSubOptions(const Args& args, PictureOptions& o, std::string& error) {
    auto out = args.value("--output");
    if (!out || out->empty() || *out == "-")
        return fail(error, "--action vobsub needs -o NAME (writes NAME.idx and NAME.sub)");
    if (args.has("--timing") || args.has("--prefix") || args.has("--ask"))
        return fail(error, "--action vobsub writes only the pair: no --timing, --prefix or --ask");
    fs::path name = *out;
    if (isVobSubFileName(name.filename().string())) name.replace_extension();
    if (!checkFolder(name, "-o", error)) return false;
    o.vobSubName = name;
    return true;
}

bool parsePictureOptions(const Args& args, PictureOptions& o, std::vector<std::string>& inputs,
                         std::string& error) {
    if (args.inputs.empty()) return fail(error, "--action needs bmp, sup, vobsub or show");
    const std::string& word = args.inputs.front();
    if (word == "bmp")
        o.action = kActionBmp;
    else if (word == "sup")
        o.action = kActionSup;
    else if (word == "vobsub")
        o.action = kActionVobSub;
    else if (word == "show")
        o.action = kActionShow;
    else
        return fail(error, "--action: expected bmp, sup, vobsub or show, got \"" + word + "\"");
    inputs.assign(args.inputs.begin() + 1, args.inputs.end());
    if (o.action == kActionVobSub) return parseVobSubOptions(args, o, error);

    o.timing = args.has("--timing");
    o.ask = args.has("--ask");
    if (auto out = args.value("--output"); out && *out != "-") o.output = fs::path(*out);
    const bool show = o.action == kActionShow;
    if (show && (o.timing || args.has("--output")))
        return fail(error, "--action show writes no files: --timing and -o are for bmp and sup");
    if (!show && o.ask) return fail(error, "--ask is for --action show");
    if (args.has("--output") && !o.timing)
        return fail(error, "-o writes the list of the pictures: it needs --timing");

    if (!show) {
        auto prefix = args.value("--prefix");
        if (!prefix || prefix->empty())
            return fail(error, "--action " + word +
                                   " needs --prefix PATH (the beginning of the "
                                   "picture file names)");
        o.prefix = *prefix;
        if (!checkFolder(o.prefix, "--prefix", error)) return false;
    }
    if (o.output) {
        std::error_code ec;
        if (fs::is_directory(*o.output, ec))
            return fail(error, "-o: " + o.output->string() + " is a folder");
        if (!checkFolder(*o.output, "-o", error)) return false;
    }
    if (!loadBitmapSettings(args, o, error)) return false;
    OptionParser parser{args, {}};
    if (!parseFormatOptions(parser, o.format, o.formatOptions)) return fail(error, parser.error);
    if (args.has("--extended") || args.has("--no-extended"))
        o.extended = o.formatOptions.native.ExtendedFormat;
    return true;
}

// Refuses, before any work, a subtitle file or picture name that would
// replace a file the rip reads.
std::string outputsClash(const Args& args, const PictureOptions& o, const JobInput& input) {
    std::vector<FileInUse> inUse = filesInUse(input);
    if (auto file = args.value("--settings")) inUse.push_back({*file, "the settings file"});
    if (auto file = args.value("--profile")) inUse.push_back({*file, "the profile"});
    if (o.output)
        if (std::string clash = outputClash(*o.output, "-o", inUse); !clash.empty()) return clash;
    if (o.action == kActionShow) return {};
    if (o.output) inUse.push_back({*o.output, "the subtitle file"});
    return pictureNameClash(o.prefix, o.action == kActionBmp ? ".bmp" : ".sup", inUse);
}

// Ticks the job to its end; a pause nobody lifts is a stop the user asked
// for or a picture that could not be written (the warning said which and why).
int runPictureJob(Session& session, PictureHost& host, CliIo& io) {
    const JobOutcome end = tickToEnd(session, io);
    if (end.halt == JobHalt::Paused) {
        const RipJob& job = session.job();
        if (host.stopRequested())
            io.err << "mirtal-rip: stopped as asked after subpicture " << job.TotalPictures << '\n';
        else
            io.err << "mirtal-rip: the job stopped in " << end.file << " at subpicture "
                   << job.TotalPictures + 1 << '\n';
    }
    if (end.halt != JobHalt::None) return kExitDataProblem; // incomplete, even when as asked
    return host.warnings() > 0 ? kExitDataProblem : kExitOk;
}

int writeList(SubtitleDocument& doc, const PictureOptions& o, const std::optional<fs::path>& output,
              CliIo& io) {
    // Converting last, as the output format dialog does after the rip: the
    // native tab's coordinates box as given, else as the preset's script
    // left it.
    if (o.extended) doc.options().native.ExtendedFormat = *o.extended;
    if (o.format) doc.setOutputFormat(*o.format);
    doc.refreshList();
    if (!output) {
        io.out << encodedFileText(doc) << std::flush;
        return kExitOk;
    }
    if (Result saved = saveDocumentTo(doc, *output); !saved) {
        io.err << "mirtal-rip: " << cp1252ToUtf8(saved.error) << '\n';
        return kExitDataProblem;
    }
    return kExitOk;
}

void reportVobSub(Session& session, const PictureOptions& options, CliIo& io) {
    const size_t units = session.engine().vobSub().count();
    io.err << "mirtal-rip: " << units << " subpicture" << (units == 1 ? "" : "s");
    if (session.job().finished())
        io.err << " written to " << options.vobSubName.string() << ".idx and .sub\n";
    else
        io.err << " read; the job did not end, nothing written\n";
}

// Tells which pictures were written and writes their list where timing was
// asked for; the list's exit status.
int reportPictures(Session& session, const PictureOptions& options, CliIo& io) {
    const uint32_t done = session.job().TotalPictures;
    if (done == 0) return kExitOk;
    const char* extension = options.action == kActionBmp ? ".bmp" : ".sup";
    const uint32_t written = done - session.job().DamagedPictures;
    io.err << "mirtal-rip: " << damagedNote(session.job()) << written << " picture"
           << (written == 1 ? "" : "s")
           << " written: " << pictureFileName(options.prefix, 1, extension) << " .. "
           << pictureFileName(options.prefix, done, extension) << '\n';
    if (!options.timing) return kExitOk;
    const bool partial = options.output && !session.job().finished();
    const std::optional<fs::path> target =
        partial ? std::optional(partialOutputPath(*options.output)) : options.output;
    const int listStatus = writeList(session.document(), options, target, io);
    if (listStatus == kExitOk && partial)
        reportPartialOutput(io, *target, *options.output, session.document().nbSubTitle(),
                            "entries", done);
    return listStatus;
}

} // namespace

int runPictures(const Args& args, CliIo& io) {
    PictureOptions options;
    JobInput input;
    std::vector<std::string> inputs;
    std::string error;
    StreamChoice stream;
    int32_t lastTimeCodeMs = 0;
    auto timeCode = args.value("--time-code");
    if (!parsePictureOptions(args, options, inputs, error) ||
        !resolveInputs(inputs, input, error) || !chooseTitle(args, input, error) ||
        !chooseStream(args, input, stream, error) ||
        (timeCode && !parseTimeCodeOption(*timeCode, lastTimeCodeMs, error))) {
        io.err << "mirtal-rip: " << error << '\n';
        return refusalStatus(input);
    }
    if (std::string clash = outputsClash(args, options, input); !clash.empty()) {
        io.err << "mirtal-rip: " << clash << '\n';
        return kExitUsage;
    }
    printSettingsWarnings(options.settingsWarnings, io);
    const bool show = options.action == kActionShow;
    PictureHost host(io, args, show, options.ask);
    if (!input.ifoProblem.empty()) host.ask(MessageKind::Warning, {Answer::Ok}, input.ifoProblem);

    const BannerClockChoice clock(args);
    MessageCatalogue catalogue;
    Session session(host, catalogue, clock.clock());
    host.attach(session);
    session.bmpSettings() = options.bmp;
    session.document().options() = options.formatOptions;
    JobSetup setup = prepareJob(session, args, input, stream,
                                timeCode ? std::optional<int32_t>(lastTimeCodeMs) : std::nullopt,
                                options.action);
    setup.withTimingAndPosition = options.timing;
    setup.picturePrefix = options.prefix;
    setup.vobSubName = options.vobSubName;
    if (Result r = session.startJob(setup); !r) {
        io.err << "mirtal-rip: " << r.error << '\n';
        return kExitUsage;
    }
    if (show)
        io.out << "#    number  start         stop            X1   Y1   X2   Y2  width height\n";
    int status = runPictureJob(session, host, io);
    if (session.job().TotalPictures == 0) {
        io.err << "mirtal-rip: " << nothingFoundMessage(session, setup.forcedOnly)
               << (options.timing ? "; nothing written\n" : "\n");
        status = kExitDataProblem;
    }
    if (show) {
        io.out << "# total: " << host.shown() << " subpictures shown\n";
        return status;
    }
    if (options.action == kActionVobSub) {
        reportVobSub(session, options, io);
        return status;
    }
    const int listStatus = reportPictures(session, options, io);
    return listStatus != kExitOk ? listStatus : status;
}

} // namespace mirtal::cli
