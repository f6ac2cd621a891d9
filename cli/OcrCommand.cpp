#include "CliHost.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "GlyphPrompt.h"
#include "JobInput.h"
#include "JobRunner.h"
#include "base/MessageCatalogue.h"
#include "base/TextCodec.h"
#include "ocr/GlyphNaming.h"
#include "ocr/MatrixFile.h"
#include "ocr/RecognitionLanguage.h"
#include "rip/Session.h"
#include "settings/SettingsFile.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/PostOcrCorrection.h"
#include "subtitles/SystemBannerClock.h"
#include "tess/TesseractRecognizer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <istream>
#include <ostream>
#include <system_error>

namespace mirtal::cli {

namespace fs = std::filesystem;

namespace {

struct OcrRunOptions {
    fs::path matrix;
    bool saveMatrix = true;
    bool ask = false;
    std::optional<int> textColour; // none: the automatic guess
    std::optional<fs::path> settingsFile;
    std::optional<int32_t> spaceWidth;
    std::optional<int32_t> italicSpaceWidth;
    bool autoSpaceWidth = false; // --space-width auto
    std::optional<TextEncoding> encoding;
    bool fixQuotes = true;
    std::optional<IlLanguage> fixIl;
    std::optional<TOutputFormat> format; // none: native
    std::optional<fs::path> output;      // standard output without -o
    bool progress = false;
    std::optional<GlyphNaming> naming;   // none: the settings file's
    std::optional<std::string> language; // none: the stream's
};

bool fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

bool writableFolderOf(const fs::path& file, const char* what, std::string& error) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    if (!isWritableFolder(folder))
        return fail(error, std::string(what) + ": cannot create files in " + folder.string());
    return true;
}

bool parseSpace(const Args& args, const char* option, std::optional<int32_t>& out,
                std::string& error) {
    auto v = args.value(option);
    if (!v) return true;
    int64_t n = 0;
    if (!parseInteger(*v, n) || n < -10 || n > 45)
        return fail(error, std::string(option) +
                               ": expected a whole number from -10 to 45, got \"" + *v + "\"");
    out = int32_t(n);
    return true;
}

// The position of `value` among `choices`; else fails with
// "OPTION: expected a, b or c, got "value"".
bool parseChoice(const std::string& value, std::initializer_list<const char*> choices,
                 const char* option, int& index, std::string& error) {
    const auto* found =
        std::find_if(choices.begin(), choices.end(), [&](const char* c) { return value == c; });
    index = int(found - choices.begin());
    if (found != choices.end()) return true;
    std::string expected;
    for (const auto* c = choices.begin(); c != choices.end(); ++c)
        expected += (c == choices.begin()     ? ""
                     : c + 1 == choices.end() ? " or "
                                              : ", ") +
                    std::string(*c);
    return fail(error, std::string(option) + ": expected " + expected + ", got \"" + value + "\"");
}

// The matrix, the questions and the settings file.
bool parseMatrixOptions(const Args& args, const CliIo& io, OcrRunOptions& o, std::string& error) {
    auto matrix = args.value("--matrix");
    if (!matrix || matrix->empty())
        return fail(error, "--action ocr needs --matrix FILE (the character matrix; created when "
                           "it does not exist yet)");
    o.matrix = *matrix;
    std::error_code ec;
    if (fs::exists(o.matrix, ec) && !checkOptionFile(*matrix, "--matrix", error)) return false;
    o.saveMatrix = !args.has("--no-save-matrix");
    if (args.has("--ask") && args.has("--no-ask"))
        return fail(error, "--ask and --no-ask exclude each other");
    o.ask = args.has("--ask") || (io.inputIsTerminal && !args.has("--no-ask"));
    if (auto s = args.value("--settings")) {
        if (!checkOptionFile(*s, "--settings", error)) return false;
        o.settingsFile = fs::path(*s);
    }
    return true;
}

// How glyphs are found and named: text colour, space widths, naming, language.
bool parseRecognitionOptions(const Args& args, OcrRunOptions& o, std::string& error) {
    if (auto c = args.value("--text-color"); c && *c != "auto") {
        if (c->size() != 1 || (*c)[0] < '0' || (*c)[0] > '3')
            return fail(error, "--text-color: expected 0, 1, 2, 3 or auto, got \"" + *c + "\"");
        o.textColour = (*c)[0] - '0';
    }
    if (args.value("--space-width") == "auto") {
        o.autoSpaceWidth = true;
    } else if (!parseSpace(args, "--space-width", o.spaceWidth, error)) {
        return false;
    }
    if (!parseSpace(args, "--italic-space-width", o.italicSpaceWidth, error)) return false;
    if (auto n = args.value("--name-glyphs")) {
        int mode = 0;
        if (!parseChoice(*n, {"ask", "suggest", "auto"}, "--name-glyphs", mode, error))
            return false;
        o.naming = GlyphNaming(mode);
    }
    if (auto l = args.value("--ocr-language")) {
        if (l->empty()) return fail(error, "--ocr-language: expected a language code");
        o.language = *l;
    }
    return true;
}

// What is done to the text and where it goes.
bool parseTextOptions(const Args& args, const CliIo& io, OcrRunOptions& o, std::string& error) {
    if (!parseEncoding(args, o.encoding, error)) return false;
    if (args.has("--fix-quotes") && args.has("--no-fix-quotes"))
        return fail(error, "--fix-quotes and --no-fix-quotes exclude each other");
    o.fixQuotes = !args.has("--no-fix-quotes");
    if (auto il = args.value("--fix-il")) {
        int language = 0;
        if (!parseChoice(*il, {"en", "fr", "de"}, "--fix-il", language, error)) return false;
        o.fixIl = IlLanguage(language);
    }
    // Checked here; laid over the settings file's options once it is read.
    OptionParser parser{args, {}};
    OutputOptions unused;
    if (!parseFormatOptions(parser, o.format, unused)) return fail(error, parser.error);
    std::error_code ec;
    if (auto out = args.value("--output"); out && *out != "-") {
        o.output = fs::path(*out);
        if (fs::is_directory(*o.output, ec)) return fail(error, "-o: " + *out + " is a folder");
        if (!writableFolderOf(*o.output, "-o", error)) return false;
    }
    o.progress = args.has("--progress") || io.errorIsTerminal;
    return true;
}

bool parseOcrOptions(const Args& args, const CliIo& io, OcrRunOptions& o, std::string& error) {
    if (!parseMatrixOptions(args, io, o, error) || !parseRecognitionOptions(args, o, error) ||
        !parseTextOptions(args, io, o, error))
        return false;
    // Checked now rather than after an hour of training.
    return !o.saveMatrix || writableFolderOf(o.matrix, "--matrix", error);
}

// The settings file: --settings, else Mirtal.ini of the program's settings
// folder when there is one.
std::optional<fs::path> settingsFileToRead(const OcrRunOptions& o) {
    if (o.settingsFile) return o.settingsFile;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    fs::path file = settingsFolderFor(exe.parent_path()) / kSettingsFileName;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    return file;
}

// Refuses, before any work, a subtitle file or matrix that would replace a
// file the rip reads.
std::string outputsClash(const OcrRunOptions& o, const JobInput& input,
                         const std::optional<fs::path>& settingsFile) {
    std::vector<FileInUse> inUse = filesInUse(input);
    if (settingsFile) inUse.push_back({*settingsFile, "the settings file"});
    if (o.saveMatrix)
        if (std::string clash = outputClash(o.matrix, "--matrix", inUse); !clash.empty())
            return clash;
    inUse.push_back({o.matrix, "the matrix"});
    return o.output ? outputClash(*o.output, "-o", inUse) : std::string();
}

// The terminal host of a text rip: unknown glyphs are asked on standard
// error and answered on standard input (GlyphPrompt.h), the text colour is
// the one given or the automatic guess, and the progress is a bar.
class OcrRipHost : public CliHost {
public:
    enum class Stop { None, Asked, EndOfInput };

    OcrRipHost(CliIo& io, const Args& args, const OcrRunOptions& o)
        : CliHost(io, args), m_textColourChoice(o.textColour), m_progress(o.progress) {}

    void attach(const OcrState& state) { m_state = &state; }
    // Runs before every question: the glyphs learned so far reach the disk
    // while the user is looking at the next one.
    std::function<void()> beforeQuestion;

    Stop stop() const { return m_stop; }
    int questions() const { return m_questions; }

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override {
        endProgressLine();
        return CliHost::ask(kind, buttons, text);
    }

    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override {
        const int chosen = m_textColourChoice.value_or(guess);
        endProgressLine();
        m_io.err << "mirtal-rip: text colour " << chosen
                 << (m_textColourChoice ? "" : " (automatic guess)") << '\n';
        return chosen;
    }

    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        endProgressLine();
        if (beforeQuestion) beforeQuestion();
        ++m_questions;
        const Colour textColour = m_state ? m_state->TextColor : kDrawColour[2];
        for (;;) {
            m_io.err << glyphQuestionLine(q) << '\n';
            for (const std::string& row : glyphArt(q, textColour)) m_io.err << "  " << row << '\n';
            m_io.err << "  new glyph " << q.symbolIndex << ": type what it reads ";
            if (q.suggestion.empty())
                m_io.err << "(an empty line: nothing)";
            else
                m_io.err << "(suggested \"" << cp1252ToUtf8(q.suggestion)
                         << "\": an empty line takes it; \\empty: nothing)";
            m_io.err << ", \\skip-line, \\skip-subpicture or \\stop\n> ";
            // Without a terminal nobody echoes the answer's line end.
            if (!interactive()) m_io.err << '\n';
            m_io.err << std::flush;
            std::string line;
            if (!std::getline(m_io.in, line)) {
                m_stop = Stop::EndOfInput;
                return {GlyphAction::Pause, {}};
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const GlyphReply reply = parseGlyphReply(line, q.suggestion);
            switch (reply.kind) {
            case GlyphReply::Text:
                return {GlyphAction::Learn, reply.text};
            case GlyphReply::SkipLine:
                return {GlyphAction::SkipLine, {}};
            case GlyphReply::SkipSubpicture:
                return {GlyphAction::SkipSubpicture, {}};
            case GlyphReply::Stop:
                m_stop = Stop::Asked;
                return {GlyphAction::Pause, {}};
            case GlyphReply::Invalid:
                m_io.err << "mirtal-rip: " << reply.error << '\n';
                break;
            }
        }
    }

    void displayChanged(const RipDisplay& d) override {
        if (!m_progress) return;
        constexpr int kBarWidth = 24;
        const int percent = std::clamp(d.progressPercent, 0, 100);
        const int done = percent * kBarWidth / 100;
        std::string bar = "[" + std::string(size_t(done), '#') +
                          std::string(size_t(kBarWidth - done), '-') + "] " + positionText(d) +
                          "  elapsed " + clockText(d.elapsed);
        if (d.remaining) bar += "  left " + clockText(d.remaining);
        bar += "  " + std::to_string(d.jobPictures) + " subpictures";
        if (bar == m_lastBar && m_barShown) return;
        m_lastBar = bar;
        m_io.err << '\r' << bar << "  " << std::flush;
        m_barShown = true;
    }

    void endProgressLine() {
        if (!m_barShown) return;
        m_io.err << '\n';
        m_barShown = false;
    }

private:
    std::optional<int> m_textColourChoice;
    bool m_progress;
    const OcrState* m_state = nullptr;
    Stop m_stop = Stop::None;
    int m_questions = 0;
    bool m_barShown = false;
    std::string m_lastBar;
};

// Saves the matrix when it holds unsaved glyphs. A failed save is reported
// once; the glyphs stay in memory for the next attempt.
class MatrixKeeper {
public:
    MatrixKeeper(CharMatrix& matrix, const OcrRunOptions& o, CliHost& host, CliIo& io)
        : m_matrix(matrix), m_options(o), m_host(host), m_io(io) {}

    bool save() {
        if (!m_options.saveMatrix || !m_matrix.isModified() || m_matrix.count() == 0) return true;
        Result r = saveMatrixFile(m_options.matrix, m_matrix);
        if (r) {
            m_matrix.setModified(false);
            m_failed = false;
            return true;
        }
        if (!m_failed) m_io.err << "mirtal-rip: " << cp1252ToUtf8(r.error) << '\n';
        m_failed = true;
        return false;
    }

    // The last save: when the matrix file cannot be written, the glyphs go
    // to a new file beside it or, failing that, in the temporary folder.
    bool saveAtEnd() {
        if (save()) return true;
        std::error_code ec;
        const fs::path beside = m_options.matrix.parent_path();
        const fs::path temporary = fs::temp_directory_path(ec);
        for (const fs::path& folder : {beside.empty() ? fs::path(".") : beside, temporary}) {
            if (folder.empty()) continue;
            const auto rescued = saveRescueMatrix(folder, m_options.matrix, m_matrix);
            if (!rescued) continue;
            m_host.ask(MessageKind::Warning, {Answer::Ok},
                       "the learned glyphs were saved to " + rescued->string() + " instead");
            return false;
        }
        m_host.ask(MessageKind::Warning, {Answer::Ok}, "the learned glyphs could not be saved");
        return false;
    }

private:
    CharMatrix& m_matrix;
    const OcrRunOptions& m_options;
    CliHost& m_host;
    CliIo& m_io;
    bool m_failed = false;
};

// Tesseract's share of the rip's time, for the closing report.
class TimedRecognizer : public LineRecognizer {
public:
    explicit TimedRecognizer(std::unique_ptr<LineRecognizer> inner) : m_inner(std::move(inner)) {}
    LineReading readLine(const LineImage& line) override {
        const auto start = std::chrono::steady_clock::now();
        LineReading r = m_inner->readLine(line);
        m_seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return r;
    }
    double seconds() const { return m_seconds; }

private:
    std::unique_ptr<LineRecognizer> m_inner;
    double m_seconds = 0;
};

enum class JobEnd { Finished, Stopped, Failed };

// Ticks the job to its end; a pause nobody lifts is a stop the user asked
// for, the end of the answers, or a failure the warning explained.
JobEnd runOcrJob(Session& session, OcrRipHost& host, CliIo& io) {
    const JobOutcome end = tickToEnd(session, io, [&host] { host.endProgressLine(); });
    host.endProgressLine();
    if (end.halt == JobHalt::None) return JobEnd::Finished;
    if (end.halt != JobHalt::Paused) return JobEnd::Failed;
    const uint32_t next = session.job().TotalPictures + 1;
    if (host.stop() == OcrRipHost::Stop::None) {
        io.err << "mirtal-rip: the job stopped in " << end.file << " at subpicture " << next
               << '\n';
        return JobEnd::Failed;
    }
    io.err << "mirtal-rip: "
           << (host.stop() == OcrRipHost::Stop::Asked ? "stopped as asked"
                                                      : "end of input: stopped")
           << " at subpicture " << next << '\n';
    return JobEnd::Stopped;
}

bool writeDocument(SubtitleDocument& doc, const OcrRunOptions& o,
                   const std::optional<fs::path>& output, CliIo& io) {
    if (o.fixQuotes || o.fixIl)
        correctPostOcr(doc, o.fixQuotes, o.fixIl.has_value(),
                       o.fixIl.value_or(IlLanguage::English));
    doc.setOutputFormat(o.format.value_or(ofNative));
    doc.refreshList();
    if (!output) {
        io.out << encodedFileText(doc) << std::flush;
        return true;
    }
    if (Result saved = saveDocumentTo(doc, *output); !saved) {
        // The answers went into the matrix, but the subtitles exist only here.
        io.err << "mirtal-rip: " << cp1252ToUtf8(saved.error)
               << "; the subtitles follow on standard output\n";
        io.out << encodedFileText(doc) << std::flush;
        return false;
    }
    return true;
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

} // namespace

namespace {

// A damaged matrix is refused before anything is read or written: false,
// said on stderr. `isNew` when there is no matrix file yet.
bool loadJobMatrix(const OcrRunOptions& o, CliIo& io, CharMatrix& matrix, bool& isNew) {
    std::error_code ec;
    isNew = !fs::exists(o.matrix, ec);
    if (!isNew) {
        MatrixLoadResult loaded = loadMatrixFile(o.matrix, matrix);
        if (!loaded) {
            io.err << "mirtal-rip: " << cp1252ToUtf8(loaded.detail) << "; nothing was changed\n";
            return false;
        }
    }
    matrix.setFileName(o.matrix.string());
    return true;
}

// The OCR and output settings of the settings file, then of the command
// line. False when the --settings file asked for cannot be read.
bool readJobSettings(const Args& args, const OcrRunOptions& o,
                     const std::optional<fs::path>& settingsFile, CliIo& io, OcrSettings& ocr,
                     OutputOptions& outputOptions, bool& settingsRead) {
    settingsRead = false;
    if (settingsFile) {
        IniFile ini;
        if (Result r = ini.load(*settingsFile); !r) {
            // A file asked for is refused; the program's own is passed over.
            io.err << "mirtal-rip: " << (o.settingsFile ? "" : "warning: ") << cp1252ToUtf8(r.error)
                   << (o.settingsFile ? "" : "; the built-in settings are used") << '\n';
            if (o.settingsFile) return false;
        } else {
            ProgramSettings program;
            SettingsWarnings warnings{settingsFile->string(), {}};
            readSettings(ini, "", program, ocr, outputOptions, &warnings);
            printSettingsWarnings(warnings, io);
            settingsRead = true;
        }
    }
    OptionParser parser{args, {}};
    std::optional<TOutputFormat> format;
    parseFormatOptions(parser, format, outputOptions); // checked before
    // A width given on the command line is meant as it stands.
    if (o.spaceWidth) ocr.SpaceWidth = *o.spaceWidth, ocr.AutoSpaceWidth = false;
    if (o.autoSpaceWidth) ocr.AutoSpaceWidth = true;
    if (o.italicSpaceWidth) ocr.ItaSpaceWidth = *o.italicSpaceWidth;
    if (o.encoding) outputOptions.Encoding = *o.encoding;
    if (o.naming) ocr.NameGlyphs = uint8_t(*o.naming);
    return true;
}

// The recogniser that names new glyphs, when the settings want one; checked
// before the rip rather than at its first new glyph. False when Tesseract
// cannot read the language.
bool openJobRecognizer(const OcrRunOptions& o, const OcrSettings& ocr, const JobInput& input,
                       const StreamChoice& stream, std::unique_ptr<TimedRecognizer>& recognizer,
                       std::string& language, std::string& error) {
    if (GlyphNaming(ocr.NameGlyphs) == GlyphNaming::Ask) return true;
    const std::string code =
        stream.line >= 0 ? input.codes[size_t(stream.line) % input.codes.size()] : "";
    language = recognitionLanguage(o.language.value_or(code));
    auto tesseract = TesseractRecognizer::open(language, error);
    if (!tesseract) return false;
    recognizer = std::make_unique<TimedRecognizer>(std::move(tesseract));
    return true;
}

// The subtitles read, unless there are none: an empty result never
// replaces a file that may hold subtitles. A job that stopped early writes
// beside -o. False when nothing was written.
bool writeJobResult(Session& session, const OcrRunOptions& o, JobEnd end, bool forcedOnly,
                    CliIo& io) {
    const uint32_t subpictures = session.job().TotalPictures;
    const int subtitles = session.document().nbSubTitle();
    if (subtitles == 0) {
        io.err << "mirtal-rip: "
               << (subpictures == 0 ? nothingFoundMessage(session, forcedOnly)
                                    : "no subtitles from " +
                                          plural(int(subpictures), "subpicture", "subpictures"))
               << "; nothing written\n";
        return false;
    }
    const bool partial = o.output && end != JobEnd::Finished;
    const std::optional<fs::path> target =
        partial ? std::optional(partialOutputPath(*o.output)) : o.output;
    const bool written = writeDocument(session.document(), o, target, io);
    if (written && partial)
        reportPartialOutput(io, *target, *o.output, subtitles, "subtitles", subpictures);
    return written;
}

// The opening line: the matrix (its glyph count, none when new), the settings
// file read (none: built in), the space widths, the recogniser's language.
void printJobStart(const OcrRunOptions& o, std::optional<int> glyphs,
                   const std::optional<fs::path>& settingsRead, const OcrSettings& ocr,
                   const std::string& recognizerLanguage, CliIo& io) {
    io.err << "mirtal-rip: matrix " << o.matrix.string() << ": "
           << (glyphs ? plural(*glyphs, "glyph", "glyphs") : std::string("new"))
           << "; OCR settings "
           << (settingsRead ? "of " + settingsRead->string() : std::string("built in"))
           << ", space width " << (ocr.AutoSpaceWidth ? "auto from " : "") << ocr.SpaceWidth
           << ", italic " << ocr.ItaSpaceWidth;
    if (!recognizerLanguage.empty())
        io.err << "; new glyphs named by Tesseract (" << recognizerLanguage << ")";
    io.err << '\n';
}

void configureSession(Session& session, CharMatrix matrix, const OcrSettings& ocr,
                      const OutputOptions& outputOptions, const OcrRunOptions& o,
                      LineRecognizer* recognizer) {
    session.matrix() = std::move(matrix);
    session.ocrSettings() = ocr;
    session.document().options() = outputOptions;
    session.ocr().options().noAsk = !o.ask;
    session.setRecognizer(recognizer);
}

// The closing lines: counts, the space widths chosen, the recogniser's work.
void printJobTotals(Session& session, const OcrRunOptions& o, const OcrRipHost& host, int learned,
                    bool matrixSaved, bool autoSpaceWidth, const TimedRecognizer* recognizer,
                    CliIo& io) {
    io.err << "mirtal-rip: "
           << plural(int(session.job().TotalPictures), "subpicture", "subpictures") << ", "
           << damagedNote(session.job())
           << plural(session.document().nbSubTitle(), "subtitle", "subtitles") << ", "
           << plural(host.questions(), "question", "questions") << ", "
           << plural(learned, "glyph", "glyphs") << " learned";
    if (o.saveMatrix && learned > 0 && matrixSaved)
        io.err << " (" << o.matrix.string() << ": " << session.matrix().count() << " glyphs)";
    else if (!o.saveMatrix && learned > 0)
        io.err << " (not saved: --no-save-matrix)";
    io.err << '\n';
    if (autoSpaceWidth) {
        const SpaceWidthEstimator& gaps = session.ocr().normalGaps();
        io.err << "mirtal-rip: space width " << session.ocr().spaceWidth() << ", italic "
               << session.ocr().italicSpaceWidth() << " at the end; "
               << (gaps.width() ? "chosen from " : "too few for a choice in ")
               << plural(gaps.count() + session.ocr().italicGaps().count(), "gap", "gaps") << '\n';
    }
    if (recognizer) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", recognizer->seconds());
        io.err << "mirtal-rip: " << plural(session.ocr().namedAutomatically(), "shape", "shapes")
               << " named automatically, " << plural(session.ocr().asked(), "shape", "shapes")
               << " asked; Tesseract read "
               << plural(session.ocr().namer().linesRead(), "line", "lines") << " in " << seconds
               << " s\n";
    }
    const int unknown = session.actions().placeholders;
    if (unknown > 0)
        io.err << "mirtal-rip: " << plural(unknown, "unknown glyph", "unknown glyphs")
               << " written as " << cp1252ToUtf8(session.ocr().options().placeholder) << '\n';
}

// What the job reads: the inputs, the stream, the time line and the settings file.
struct OcrInputs {
    JobInput input;
    StreamChoice stream;
    std::optional<int32_t> lastTimeCodeMs;
    std::optional<fs::path> settingsFile;
};

// 0 when the arguments make a job, else the exit status (the reason told).
int parseOcrRequest(const Args& args, CliIo& io, OcrRunOptions& o, OcrInputs& in) {
    std::string error;
    int32_t lastTimeCodeMs = 0;
    auto timeCode = args.value("--time-code");
    // The first input is the action word "ocr".
    const std::vector<std::string> inputs(args.inputs.begin() + 1, args.inputs.end());
    if (!parseOcrOptions(args, io, o, error) || !resolveInputs(inputs, in.input, error) ||
        !chooseTitle(args, in.input, error) || !chooseStream(args, in.input, in.stream, error) ||
        (timeCode && !parseTimeCodeOption(*timeCode, lastTimeCodeMs, error))) {
        io.err << "mirtal-rip: " << error << '\n';
        return refusalStatus(in.input);
    }
    if (timeCode) in.lastTimeCodeMs = lastTimeCodeMs;
    in.settingsFile = settingsFileToRead(o);
    if (std::string clash = outputsClash(o, in.input, in.settingsFile); !clash.empty()) {
        io.err << "mirtal-rip: " << clash << '\n';
        return kExitUsage;
    }
    return 0;
}

} // namespace

int runOcr(const Args& args, CliIo& io) {
    OcrRunOptions o;
    OcrInputs in;
    if (int status = parseOcrRequest(args, io, o, in)) return status;
    const JobInput& input = in.input;
    const StreamChoice& stream = in.stream;
    const std::optional<fs::path>& settingsFile = in.settingsFile;
    std::string error;
    CharMatrix matrix;
    bool newMatrix = false;
    if (!loadJobMatrix(o, io, matrix, newMatrix)) return kExitDataProblem;
    OcrSettings ocr;
    OutputOptions outputOptions;
    bool settingsRead = false;
    if (!readJobSettings(args, o, settingsFile, io, ocr, outputOptions, settingsRead))
        return kExitUsage;
    std::unique_ptr<TimedRecognizer> recognizer;
    std::string language;
    if (!openJobRecognizer(o, ocr, input, stream, recognizer, language, error)) {
        io.err << "mirtal-rip: " << error << '\n';
        return kExitUsage;
    }

    OcrRipHost host(io, args, o);
    if (!input.ifoProblem.empty()) host.ask(MessageKind::Warning, {Answer::Ok}, input.ifoProblem);
    printJobStart(o, newMatrix ? std::nullopt : std::optional(matrix.count()),
                  settingsRead ? settingsFile : std::nullopt, ocr,
                  recognizer ? language : std::string(), io);

    const BannerClockChoice clock(args);
    MessageCatalogue catalogue;
    Session session(host, catalogue, clock.clock());
    configureSession(session, std::move(matrix), ocr, outputOptions, o, recognizer.get());
    const JobSetup setup = prepareJob(session, args, input, stream, in.lastTimeCodeMs, kActionOcr);
    host.attach(session.ocrState());
    MatrixKeeper keeper(session.matrix(), o, host, io);
    host.beforeQuestion = [&keeper] { keeper.save(); };
    const int entriesBefore = session.matrix().count();

    if (Result r = session.startJob(setup); !r) {
        io.err << "mirtal-rip: " << r.error << '\n';
        return kExitUsage;
    }
    const JobEnd end = runOcrJob(session, host, io);
    // Nothing the user typed is lost, however the job ended.
    const bool matrixSaved = keeper.saveAtEnd();
    const bool written = writeJobResult(session, o, end, setup.forcedOnly, io);
    printJobTotals(session, o, host, session.matrix().count() - entriesBefore, matrixSaved,
                   ocr.AutoSpaceWidth, recognizer.get(), io);
    if (end != JobEnd::Finished || !written || !matrixSaved ||
        host.stop() == OcrRipHost::Stop::EndOfInput || host.warnings() > 0)
        return kExitDataProblem;
    return kExitOk;
}

int runAction(const Args& args, CliIo& io) {
    if (!args.inputs.empty() && args.inputs.front() == "ocr") return runOcr(args, io);
    return runPictures(args, io);
}

} // namespace mirtal::cli
