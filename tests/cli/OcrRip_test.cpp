#include "../settings/TempFolder.h"
#include "Commands.h"
#include "DiscTruth.h"
#include "FakeHost.h"
#include "GlyphPrompt.h"
#include "JobInput.h"
#include "base/TextCodec.h"
#include "ocr/MatrixFile.h"
#include "rip/Session.h"
#include "subtitles/NativeReader.h"
#include "subtitles/PostOcrCorrection.h"
#include "tess/TesseractRecognizer.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// The OCR advanced setup as a user fills it in for each disc's font: the
// space width between the widest gap inside a word and the narrowest gap
// between words (the gap test below measures them on each disc),
// the same after glyphs set closely (the discs have no italics), and where
// I and l are bars of one width that only their height tells apart, no
// height difference between glyphs of one character.
struct DiscCase {
    const char* disc;
    int stream; // the substream of truth_sK.txt
    int32_t spaceWidth;
    uint8_t maxCharDiffHeight;
    const char* language = nullptr; // chosen as --stream does, else by the substream
};
const DiscCase kDiscs[] = {
    {"pal_en", 0, 10, 2},    // DejaVu Sans 28: gaps in words 0..9, between 10..17
    {"pal_en_fr", 0, 10, 2}, // DejaVu Sans 28: 0..8, 12..17
    {"pal_en_fr", 1, 9, 0},  // Liberation Sans 28: 1..8, 10..15
    {"ntsc", 0, 8, 2},       // Liberation Sans 26: 1..6, 9..13
    {"split", 0, 11, 0},     // DejaVu Sans 30: -2..10, 12..19
    {"wide", 2, 7, 0, "fr"}, // Liberation Sans 26 squeezed for 16:9: 2..5, 9..12
    {"italic", 0, 0, 2},     // DejaVu Sans Oblique 28, roman lines in DejaVu Sans: 0..9, 9..17
    {"italic", 1, 9, 0},     // Liberation Serif 28
};

OcrSettings settingsFor(const DiscCase& c) {
    OcrSettings s;
    // Italic letters overhang: no fixed width spaces the italic stream,
    // which the automatic width reads with its corrections for each glyph.
    s.AutoSpaceWidth = c.spaceWidth == 0;
    if (c.spaceWidth != 0) s.SpaceWidth = s.ItaSpaceWidth = c.spaceWidth;
    s.MaxCharDiffHeight = c.maxCharDiffHeight;
    return s;
}

uint8_t substreamOf(const DiscCase& c, const DiscTruth& truth) {
    if (!c.language) return uint8_t(0x20 + c.stream);
    cli::JobInput input;
    cli::Args args;
    args.options = {{"--stream", c.language}};
    cli::StreamChoice chosen;
    std::string error;
    EXPECT_TRUE(cli::resolveInputs({truth.videoTs().string()}, input, error) &&
                cli::chooseStream(args, input, chosen, error))
        << error;
    return chosen.id;
}

std::vector<fs::path> vobsOf(const DiscTruth& truth) {
    cli::JobInput input;
    std::string error;
    EXPECT_TRUE(cli::resolveInputs({truth.videoTs().string()}, input, error)) << error;
    return input.vobs;
}

struct Asked {
    std::string questionLine;
    int32_t startMs;
    int line;
    std::vector<CharBox> lineBoxes;
    std::string answer;
};

struct Rip {
    std::string fileText;                                 // the native file, quotes repaired
    std::vector<std::pair<int32_t, std::string>> entries; // start, lines joined
    std::vector<Asked> asked;
    bool shapeAskedTwice = false;
    CharMatrix matrix;
    RipDisplay display; // the last one shown
};

// The whole disc through a session, the glyphs answered from the truth (or
// the subpicture dropped when not `answering`), then the quote repair.
Rip ripInProcess(const DiscCase& c, DiscTruth& truth, CharMatrix matrix, bool answering = true,
                 std::optional<OcrSettings> settings = {}, LineRecognizer* recognizer = nullptr) {
    FakeHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    Session session(host, catalogue, clock);
    session.matrix() = std::move(matrix);
    session.ocrSettings() = settings.value_or(settingsFor(c));
    session.chooseStream(substreamOf(c, truth));
    session.setRecognizer(recognizer);
    Rip rip;
    std::vector<Glyph> shapes;
    host.glyphResponder = [&](const GlyphQuestion& q) {
        const Glyph g = MakeGlyph(*q.workBitmap, q.box, MarkerColor(q.charIndex));
        // The same pixels at a top the matcher accepts: the matrix held it.
        for (const Glyph& s : shapes)
            if (s.Width == g.Width && s.Height == g.Height && s.Rows == g.Rows &&
                std::abs(s.RelTop - g.RelTop) <= session.ocrSettings().MaxCharDiffTop)
                rip.shapeAskedTwice = true;
        shapes.push_back(g);
        Asked a{cli::glyphQuestionLine(q),
                q.startMs,
                q.line,
                {q.lineBoxes.begin(), q.lineBoxes.end()},
                answering ? truth.answer(q.startMs, q.line, q.charIndex, q.lineBoxes) : ""};
        rip.asked.push_back(a);
        return GlyphAnswer{answering ? GlyphAction::Learn : GlyphAction::SkipSubpicture, a.answer};
    };
    JobSetup setup;
    setup.files = vobsOf(truth);
    setup.action = kActionOcr;
    EXPECT_TRUE(session.startJob(setup));
    while (!session.job().finished()) {
        session.tick();
        if (session.job().Paused) break;
    }
    EXPECT_TRUE(session.job().finished());
    EXPECT_TRUE(host.questions.empty()) << host.questions.front().text;
    CorrectPostOcr(session.document(), true, false, IlLanguage::English);
    for (int i = 1; i <= session.document().NbSubTitle(); ++i) {
        const TSub& e = session.document().store().entry(i);
        rip.entries.emplace_back(TimeCodeToMs(e.Start),
                                 JoinLines({e.Lines.data(), size_t(e.NbLines)}));
    }
    rip.fileText = session.document().fileText();
    rip.matrix = session.matrix();
    if (!host.displays.empty()) rip.display = host.displays.back();
    return rip;
}

// The cue texts of a subtitle file as ffmpeg reads it in the given
// character set, lines joined by spaces, in UTF-8; empty when ffmpeg fails.
std::vector<std::string> ffmpegTexts(const fs::path& file, const char* charset) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -sub_charenc " +
                                std::string(charset) + " -i '" + file.string() + "' -f srt - 2>&1";
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        if (::pclose(p) != 0) return {};
    }
    std::vector<std::string> texts;
    std::istringstream in(out);
    bool inCue = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(" --> ") != std::string::npos) {
            texts.emplace_back();
            inCue = true;
        } else if (line.empty()) {
            inCue = false;
        } else if (inCue) {
            texts.back() += (texts.back().empty() ? "" : " ") + line;
        }
    }
    return texts;
}

// The native file written in each encoding reads back as the rip's texts,
// through our reader and through ffmpeg's.
void expectRoundTripInBothEncodings(const Rip& rip) {
    TempFolder dir;
    for (TextEncoding encoding : {TextEncoding::Cp1252, TextEncoding::Utf8}) {
        const fs::path file = dir / "rip.vtx";
        writeText(file, encodeText(rip.fileText, encoding));
        FixedBannerClock clock("");
        SubtitleDocument doc(clock);
        doc.options().Encoding = encoding;
        FakeHost host;
        MessageCatalogue messages;
        const NativeReadReport read = ReadNativeFile(doc, file, host, messages);
        EXPECT_EQ(read.replaced, 0u);
        ASSERT_EQ(size_t(doc.NbSubTitle()), rip.entries.size()) << encodingName(encoding);
        const std::vector<std::string> cues =
            ffmpegTexts(file, encoding == TextEncoding::Utf8 ? "UTF-8" : "cp1252");
        ASSERT_EQ(cues.size(), rip.entries.size()) << encodingName(encoding);
        for (int i = 1; i <= doc.NbSubTitle(); ++i) {
            const TSub& e = doc.store().entry(i);
            const std::string text = JoinLines({e.Lines.data(), size_t(e.NbLines)});
            EXPECT_EQ(text, rip.entries[size_t(i - 1)].second) << encodingName(encoding);
            EXPECT_EQ(cues[size_t(i - 1)], cp1252ToUtf8(text)) << encodingName(encoding);
        }
    }
}

// Character errors of the rip against the truth (italic marks aside), each
// subtitle expected as the truth has it, its italic units marked line by line.
size_t expectTruth(const Rip& rip, const DiscTruth& truth, size_t& characters) {
    EXPECT_EQ(rip.entries.size(), truth.blocks().size());
    size_t errors = 0;
    for (const auto& [startMs, text] : rip.entries) {
        const std::vector<std::string>* block = truth.blockAt(startMs);
        if (!block) {
            ADD_FAILURE() << "no unit starts at " << startMs;
            continue;
        }
        std::vector<std::string> lines = *block;
        if (truth.italicAt(startMs))
            for (std::string& line : lines) line = "<i>" + line + "</i>";
        const std::string want = JoinLines(lines);
        errors += EditDistance(Unmarked(text), Unmarked(want));
        characters += Unmarked(want).size();
        EXPECT_EQ(cp1252ToUtf8(text), cp1252ToUtf8(want)) << "at " << startMs << " ms";
    }
    return errors;
}

class DiscRip : public ::testing::TestWithParam<DiscCase> {};

TEST_P(DiscRip, MatrixTrainedFromTheTruthReadsEveryCharacterAndIsNeverAskedAgain) {
    const DiscCase& c = GetParam();
    DiscTruth truth(c.disc, c.stream);
    const Rip first = ripInProcess(c, truth, {});
    EXPECT_EQ(first.display.glyphsAsked, first.asked.size());
    EXPECT_EQ(first.display.glyphsNamed, 0u);

    size_t characters = 0;
    const size_t errors = expectTruth(first, truth, characters);
    EXPECT_EQ(errors, 0u);
    EXPECT_FALSE(first.shapeAskedTwice) << "a glyph the matrix holds was asked again";
    expectRoundTripInBothEncodings(first);
    std::set<char> distinct;
    for (const auto& block : truth.blocks())
        for (const std::string& line : block)
            for (char ch : line)
                if (ch != ' ') distinct.insert(ch == '"' ? '\'' : ch);
    std::cout << "[ disc     ] " << c.disc << " stream " << c.stream << ": " << first.entries.size()
              << " subtitles, " << errors << " errors in " << characters << " characters, "
              << first.asked.size() << " questions, " << distinct.size() << " distinct characters, "
              << first.matrix.Count() << " glyphs\n";

    const Rip second = ripInProcess(c, truth, first.matrix, false);
    EXPECT_TRUE(second.asked.empty()) << second.asked.front().questionLine;
    EXPECT_EQ(second.fileText, first.fileText);
}

// The automatic space width with the built-in widths to start from reads
// the disc as the hand-chosen width does, from the first subtitle on.
TEST_P(DiscRip, AutomaticSpaceWidthReadsLikeTheHandChosenOne) {
    const DiscCase& c = GetParam();
    if (c.spaceWidth == 0) GTEST_SKIP() << "no hand-chosen width spaces this stream";
    DiscTruth truth(c.disc, c.stream);
    const Rip hand = ripInProcess(c, truth, {});
    OcrSettings automatic = settingsFor(c);
    automatic.SpaceWidth = OcrSettings{}.SpaceWidth;
    automatic.ItaSpaceWidth = OcrSettings{}.ItaSpaceWidth;
    automatic.AutoSpaceWidth = true;
    const Rip rip = ripInProcess(c, truth, hand.matrix, false, automatic);
    EXPECT_TRUE(rip.asked.empty());
    ASSERT_EQ(rip.entries.size(), hand.entries.size());
    size_t errors = 0;
    for (size_t i = 0; i < rip.entries.size(); ++i) {
        errors += EditDistance(rip.entries[i].second, hand.entries[i].second);
        EXPECT_EQ(rip.entries[i], hand.entries[i]);
    }
    EXPECT_EQ(errors, 0u);
    // The built-in width alone does not: the check above is no formality.
    OcrSettings fixed = automatic;
    fixed.AutoSpaceWidth = false;
    const Rip plain = ripInProcess(c, truth, hand.matrix, false, fixed);
    std::cout << "[ spacing  ] " << c.disc << " stream " << c.stream << ": width "
              << fixed.SpaceWidth << " alone differs in "
              << std::count_if(
                     plain.entries.begin(), plain.entries.end(),
                     [&, i = size_t(0)](const auto& e) mutable { return e != hand.entries[i++]; })
              << " of " << hand.entries.size() << " subtitles, automatic in " << errors
              << " characters\n";
}

// Tesseract behind a count of the lines it reads.
class CountingRecognizer : public LineRecognizer {
public:
    explicit CountingRecognizer(LineRecognizer& inner) : m_inner(inner) {}
    LineReading readLine(const LineImage& line) override {
        ++lines;
        return m_inner.readLine(line);
    }
    int lines = 0;

private:
    LineRecognizer& m_inner;
};

// The one real Tesseract run: from an empty matrix, with the automatic
// space width, the glyphs named by Tesseract's votes read every character
// without a question; the trained matrix then reads the stream again
// without Tesseract.
TEST(TesseractNaming, VotesNameEveryShapeAndTheTrainedMatrixNeedsNoTesseract) {
    // ntsc: a closing double quote read as one apostrophe; split: I and l
    // bars a row apart, and a line of three dots Tesseract cannot read.
    const std::pair<DiscCase, const char*> streams[] = {{{"italic", 0, 0, 2}, "eng"},
                                                        {{"italic", 1, 0, 2}, "fra"},
                                                        {{"ntsc", 0, 0, 2}, "eng"},
                                                        {{"split", 0, 0, 2}, "eng"}};
    for (const auto& [c, language] : streams) {
        DiscTruth truth(c.disc, c.stream);
        std::string error;
        auto tesseract = TesseractRecognizer::open(language, error);
        ASSERT_TRUE(tesseract) << error;
        CountingRecognizer counting(*tesseract);
        OcrSettings s;
        s.AutoSpaceWidth = true;
        s.NameGlyphs = uint8_t(GlyphNaming::Auto);
        const Rip first = ripInProcess(c, truth, {}, false, s, &counting);
        EXPECT_TRUE(first.asked.empty()) << first.asked.front().questionLine;
        size_t characters = 0;
        const size_t errors = expectTruth(first, truth, characters);
        EXPECT_EQ(errors, 0u);
        const int lines = counting.lines;
        // The progress shows the shapes named and asked.
        EXPECT_EQ(first.display.glyphsNamed, uint32_t(first.matrix.Count()));
        EXPECT_EQ(first.display.glyphsAsked, 0u);
        std::cout << "[ tesseract] " << c.disc << " stream " << c.stream << ": " << lines
                  << " lines read, " << first.matrix.Count() << " glyphs named, " << errors
                  << " errors in " << characters << " characters\n";
        const Rip second = ripInProcess(c, truth, first.matrix, false, s, &counting);
        EXPECT_EQ(counting.lines, lines);
        EXPECT_EQ(second.fileText, first.fileText);
    }
}

// Keeps the boxes of every subtitle the session adds: the engine shows its
// counters after each subpicture.
class BoxRecorder : public FakeHost {
public:
    Session* session = nullptr;
    std::map<int32_t, std::vector<std::vector<CharBox>>> lines; // by start

    void displayChanged(const RipDisplay& d) override {
        FakeHost::displayChanged(d);
        if (!session || session->document().NbSubTitle() == m_entries) return;
        m_entries = session->document().NbSubTitle();
        const LineTable& table = session->ocr().lineTable();
        auto& kept = lines[TimeCodeToMs(session->document().store().last().Start)];
        for (int l = 0; l < table.LineCount; ++l)
            kept.emplace_back(table.Lines[size_t(l)].boxes().begin(),
                              table.Lines[size_t(l)].boxes().end());
    }

private:
    int m_entries = 0;
};

std::string histogram(const std::map<int, int>& counts) {
    std::string text;
    for (const auto& [gap, n] : counts) text += ' ' + std::to_string(gap) + ':' + std::to_string(n);
    return text;
}

TEST_P(DiscRip, SpaceWidthLiesBetweenTheGapsInsideWordsAndTheGapsBetweenThem) {
    const DiscCase& c = GetParam();
    DiscTruth truth(c.disc, c.stream);
    BoxRecorder host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    Session session(host, catalogue, clock);
    host.session = &session;
    session.ocrSettings() = settingsFor(c);
    session.ocr().options().noAsk = true; // the boxes do not depend on the matrix
    session.chooseStream(substreamOf(c, truth));
    JobSetup setup;
    setup.files = vobsOf(truth);
    ASSERT_TRUE(session.startJob(setup));
    while (!session.job().finished() && !session.job().Paused) session.tick();
    ASSERT_EQ(host.lines.size(), truth.blocks().size());

    std::map<int, int> inside, between;
    for (const auto& [startMs, lines] : host.lines) {
        const std::vector<std::string>* block = truth.blockAt(startMs);
        ASSERT_TRUE(block && block->size() == lines.size()) << startMs;
        for (size_t l = 0; l < lines.size(); ++l) {
            const std::vector<CharBox>& boxes = lines[l];
            const std::vector<bool> spaces = DiscTruth::spacesAfter((*block)[l], boxes);
            for (size_t i = 0; i < spaces.size(); ++i)
                ++(spaces[i] ? between : inside)[boxes[i + 1].X - boxes[i].X - boxes[i].Width];
        }
    }
    ASSERT_FALSE(inside.empty() || between.empty());
    std::cout << "[ gaps     ] " << c.disc << " stream " << c.stream
              << " inside words:" << histogram(inside) << "; between:" << histogram(between)
              << '\n';
    if (c.spaceWidth == 0) {
        EXPECT_GE(inside.rbegin()->first, between.begin()->first) << "a fixed width would do";
        return;
    }
    EXPECT_LT(inside.rbegin()->first, c.spaceWidth);
    EXPECT_GE(between.begin()->first, c.spaceWidth);
}

INSTANTIATE_TEST_SUITE_P(FixtureDiscs, DiscRip, ::testing::ValuesIn(kDiscs),
                         [](const ::testing::TestParamInfo<DiscCase>& info) {
                             return std::string(info.param.disc) + "_s" +
                                    std::to_string(info.param.stream);
                         });

// mirtal-rip as a child: arguments, then every line of its standard error
// to `onLine`, which may write answers to its standard input.
int runChild(const std::vector<std::string>& args,
             const std::function<void(const std::string&, FILE*)>& onLine) {
    std::signal(SIGPIPE, SIG_IGN); // a child that quits early must not end the test
    int in[2], err[2];
    if (pipe(in) != 0 || pipe(err) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (int fd : {in[0], in[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<std::string> argv = {MIRTAL_RIP_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (std::string& a : argv) cargs.push_back(a.data());
    cargs.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, MIRTAL_RIP_EXE, &actions, nullptr, cargs.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(err[1]);
    FILE* answers = fdopen(in[1], "w");
    FILE* errors = fdopen(err[0], "r");
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t n = 0;
    while (spawned == 0 && (n = getline(&buffer, &capacity, errors)) > 0)
        onLine(std::string(buffer, size_t(n) - (buffer[n - 1] == '\n' ? 1 : 0)), answers);
    free(buffer);
    fclose(answers);
    fclose(errors);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int32_t startOf(const std::string& glyphLine) {
    int h = 0, m = 0, s = 0, ms = 0;
    const size_t at = glyphLine.find(" start=");
    if (at == std::string::npos ||
        std::sscanf(glyphLine.c_str() + at, " start=%d:%d:%d,%d", &h, &m, &s, &ms) != 4)
        return -1;
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

// The French stream through the built program, its questions answered on
// its standard input in UTF-8 from the truth as they come: the program asks
// what the session asked, learns the same matrix and writes the same file.
TEST(OcrRipCommand, TerminalProtocolRipsLikeTheSessionAndATrainedMatrixAsksNothing) {
    const DiscCase& c = kDiscs[2];
    DiscTruth sessionTruth(c.disc, c.stream);
    const Rip session = ripInProcess(c, sessionTruth, {});
    TempFolder dir;
    writeText(dir / "Mirtal.ini", "[OCR SETTING]\r\nSpaceWidth=9\r\nItaSpaceWidth=9\r\n"
                                  "MaxCharDiffHeight=0\r\n");
    const std::vector<std::string> args = {"--action",
                                           "ocr",
                                           "--matrix",
                                           (dir / "fr.qmx").string(),
                                           "--settings",
                                           (dir / "Mirtal.ini").string(),
                                           "--stream",
                                           "fr",
                                           "-o",
                                           (dir / "fr.vtx").string(),
                                           sessionTruth.videoTs().string()};

    DiscTruth truth(c.disc, c.stream);
    std::vector<std::string> questions;
    auto answerFromTruth = [&](const std::string& line, FILE* answers) {
        if (!line.starts_with("GLYPH ")) return;
        questions.push_back(line);
        int l = 0, ch = 0;
        std::sscanf(line.c_str() + line.find(" line="), " line=%d char=%d", &l, &ch);
        // The boxes of the line, as the session saw it at this start.
        const Asked* seen = nullptr;
        for (const Asked& a : session.asked)
            if (a.startMs == startOf(line) && a.line == l) seen = &a;
        // A question the session did not ask stops the child rather than
        // leaving it waiting for an answer.
        std::string text = "\\stop";
        if (seen)
            text = cp1252ToUtf8(truth.answer(seen->startMs, l, ch, seen->lineBoxes));
        else
            ADD_FAILURE() << "not asked in the session: " << line;
        std::fprintf(answers, "%s\n", text.c_str());
        std::fflush(answers);
    };
    std::vector<std::string> args1 = args;
    args1.push_back("--ask");
    EXPECT_EQ(runChild(args1, answerFromTruth), 0);
    ASSERT_EQ(questions.size(), session.asked.size());
    for (size_t i = 0; i < questions.size(); ++i)
        EXPECT_EQ(questions[i], session.asked[i].questionLine);
    EXPECT_EQ(readText(dir / "fr.vtx"), session.fileText);
    CharMatrix learned;
    ASSERT_TRUE(LoadMatrixFile(dir / "fr.qmx", learned));
    EXPECT_TRUE(std::ranges::equal(learned.entries(), session.matrix.entries()));

    // Trained: nothing to ask, the matrix file stays as it is (still in
    // 8 bits) while the subtitles are written in UTF-8.
    const std::string matrixBytes = readText(dir / "fr.qmx");
    fs::remove(dir / "fr.vtx");
    std::vector<std::string> args2 = args;
    args2.insert(args2.end(), {"--no-ask", "--encoding", "utf-8"});
    std::string report;
    EXPECT_EQ(runChild(args2, [&](const std::string& line, FILE*) { report += line + '\n'; }), 0);
    EXPECT_EQ(report.find("GLYPH"), std::string::npos) << report;
    EXPECT_EQ(report.find("unknown"), std::string::npos) << report;
    EXPECT_EQ(readText(dir / "fr.vtx"), cp1252ToUtf8(session.fileText));
    EXPECT_NE(session.fileText.find('\xE9'), std::string::npos) << "the French texts have accents";
    EXPECT_EQ(readText(dir / "fr.qmx"), matrixBytes);
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome ocrRun(std::vector<std::string> args, const std::string& typed = {}) {
    std::istringstream in(typed);
    std::ostringstream out, err;
    cli::CliIo io{in, out, err, false};
    args.insert(args.begin(), {"--action", "ocr"});
    args.push_back((fs::path(MIRTAL_TEST_DATA) / "discs" / "pal_en" / "VIDEO_TS").string());
    Outcome r;
    r.status = cli::runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(OcrRipCommand, EndOfInputStopsButKeepsEveryAnswerAndWhatWasRead) {
    TempFolder dir;
    const fs::path matrix = dir / "new.qmx";
    std::string typed;
    for (int i = 0; i < 30; ++i) typed += "x\n";
    Outcome r =
        ocrRun({"--ask", "--matrix", matrix.string(), "-o", (dir / "out.vtx").string()}, typed);
    EXPECT_EQ(r.status, cli::kExitDataProblem) << r.err;
    EXPECT_EQ(count(r.err, "\nGLYPH "), 31u) << "the 31st question finds the input's end";
    EXPECT_NE(r.err.find("end of input"), std::string::npos);
    CharMatrix saved;
    ASSERT_TRUE(LoadMatrixFile(matrix, saved)) << "a new matrix file is created";
    EXPECT_EQ(saved.Count(), 30);
    // The subtitles finished before the stop, every glyph read as "x".
    const std::string out = readText(dir / "out.vtx");
    EXPECT_GE(count(out, "-->"), 1u);
    EXPECT_LT(count(out, "-->"), 46u);
    EXPECT_EQ(out.find_first_not_of("x \r\n0123456789:,->"), std::string::npos) << out;
}

TEST(OcrRipCommand, DamagedMatrixIsRefusedAndUnattendedRipsUsePlaceholders) {
    TempFolder dir;
    const fs::path damaged = dir / "damaged.qmx";
    writeText(damaged, std::string(kMatrixSignature) + "short");
    Outcome refused =
        ocrRun({"--no-ask", "--matrix", damaged.string(), "-o", (dir / "never.vtx").string()});
    EXPECT_EQ(refused.status, cli::kExitDataProblem);
    EXPECT_NE(refused.err.find("nothing was changed"), std::string::npos) << refused.err;
    EXPECT_EQ(readText(damaged), std::string(kMatrixSignature) + "short");
    EXPECT_FALSE(fs::exists(dir / "never.vtx"));

    // Without a terminal nobody is asked; nothing learned, no matrix written.
    const fs::path none = dir / "none.qmx";
    Outcome unattended = ocrRun({"--matrix", none.string(), "--no-fix-quotes", "--progress"});
    EXPECT_EQ(unattended.status, cli::kExitOk) << unattended.err;
    EXPECT_EQ(unattended.err.find("GLYPH"), std::string::npos);
    EXPECT_NE(unattended.err.find("\r[########################] 3/3 MB (100%)"), std::string::npos)
        << unattended.err;
    EXPECT_NE(unattended.err.find(" unknown glyphs written as \xC2\xA4"), std::string::npos);
    EXPECT_EQ(count(unattended.out, "-->"), 46u);
    EXPECT_GT(count(unattended.out, "\xA4"), 46u);
    EXPECT_FALSE(fs::exists(none));

    // Answers learned but --no-save-matrix: the file is not created.
    Outcome kept = ocrRun({"--ask", "--no-save-matrix", "--matrix", none.string()},
                          "\\skip-line\nx\n\\skip-subpicture\n\\stop\n");
    EXPECT_EQ(kept.status, cli::kExitDataProblem) << kept.err;
    EXPECT_NE(kept.err.find("stopped as asked"), std::string::npos);
    EXPECT_NE(kept.err.find("1 glyph learned (not saved"), std::string::npos) << kept.err;
    EXPECT_FALSE(fs::exists(none));
}

TEST(OcrRipCommand, OutputFormatOptionsLieOverTheSettingsFile) {
    TempFolder dir;
    writeText(dir / "Mirtal.ini", "[MIRTAL OUTPUT]\r\nExtended=1\r\n");
    const std::string m = (dir / "none.qmx").string(), ini = (dir / "Mirtal.ini").string();
    Outcome sv = ocrRun({"--no-ask", "--no-save-matrix", "--matrix", m, "--settings", ini,
                         "--format", "subviewer", "--title", "Film", "--author", "Me"});
    EXPECT_EQ(sv.status, cli::kExitOk) << sv.err;
    EXPECT_EQ(sv.out.rfind("[TITLE]\r\nFilm\r\n[AUTHOR]\r\nMe\r\n", 0), 0u) << sv.out.substr(0, 80);
    // The settings file's coordinates unless the command line says otherwise.
    Outcome extended = ocrRun({"--no-ask", "--no-save-matrix", "--matrix", m, "--settings", ini});
    EXPECT_EQ(count(extended.out, "  X1:"), 46u) << extended.out.substr(0, 80);
    Outcome plain =
        ocrRun({"--no-ask", "--no-save-matrix", "--matrix", m, "--settings", ini, "--no-extended"});
    EXPECT_EQ(count(plain.out, "  X1:"), 0u);
    EXPECT_EQ(count(plain.out, "-->"), 46u);
}

TEST(OcrRipCommand, BadOptionsAreRefusedBeforeAnythingIsRead) {
    TempFolder dir;
    const std::string m = (dir / "m.qmx").string();
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--no-ask"},
          {"--matrix", m, "--text-color", "4"},
          {"--matrix", m, "--space-width", "46"},
          {"--matrix", m, "--ask", "--no-ask"},
          {"--matrix", m, "--fix-quotes", "--no-fix-quotes"},
          {"--matrix", (dir / "missing" / "m.qmx").string()},
          {"--matrix", m, "-o", dir.path().string()},
          {"--matrix", m, "--settings", (dir / "missing.ini").string()},
          {"--matrix", m, "--format", "vtt"},
          {"--matrix", m, "--font-size", "0"},
          {"--matrix", m, "--name-glyphs", "guess"},
          {"--matrix", m, "--name-glyphs", "auto", "--ocr-language", "qqq"}}) {
        Outcome r = ocrRun(bad);
        EXPECT_EQ(r.status, cli::kExitUsage) << bad.back() << ": " << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_NE(ocrRun({"--matrix", m, "--name-glyphs", "auto", "--ocr-language", "qqq"})
                  .err.find("Debian package tesseract-ocr-qqq"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(m));
}

} // namespace
