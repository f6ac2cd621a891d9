#include "DiscTruth.h"
#include "FakeHost.h"
#include "GlyphPrompt.h"
#include "JobInput.h"
#include "Process.h"
#include "TempFolder.h"
#include "base/TextCodec.h"
#include "ocr/MatrixFile.h"
#include "rip/Session.h"
#include "subtitles/PostOcrCorrection.h"
#include "tess/TesseractRecognizer.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// The OCR advanced setup as a user fills it in for each disc's font: the
// space width between the widest gap inside a word and the narrowest gap
// between words (measured on each disc: the ranges below),
// the same after glyphs set closely (the discs have no italics), and where
// I and l are bars of one width that only their height tells apart, no
// height difference between glyphs of one character.
struct DiscCase {
    const char* disc;
    int stream; // the substream of truth_sK.txt
    int32_t spaceWidth;
    uint8_t maxCharDiffHeight;
};
const DiscCase kDiscs[] = {
    {"pal_en", 0, 10, 2},    // DejaVu Sans 28: gaps in words 0..9, between 10..17
    {"pal_en_fr", 0, 10, 2}, // DejaVu Sans 28: 0..8, 12..17
    {"pal_en_fr", 1, 9, 0},  // Liberation Sans 28: 1..8, 10..15
    {"ntsc", 0, 8, 2},       // Liberation Sans 26: 1..6, 9..13
    {"split", 0, 11, 0},     // DejaVu Sans 30: -2..10, 12..19
    {"wide", 2, 7, 0},       // Liberation Sans 26 squeezed for 16:9: 2..5, 9..12
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
    session.chooseStream(uint8_t(0x20 + c.stream));
    session.setRecognizer(recognizer);
    Rip rip;
    host.glyphResponder = [&](const GlyphQuestion& q) {
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
    while (!session.job().finished() && !session.job().Paused) session.tick();
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
    EXPECT_EQ(expectTruth(first, truth, characters), 0u);

    // Trained, nothing is asked again, also with the automatic space width
    // starting from the built-in widths: it reads as the hand-chosen width.
    OcrSettings automatic = settingsFor(c);
    automatic.SpaceWidth = OcrSettings{}.SpaceWidth;
    automatic.ItaSpaceWidth = OcrSettings{}.ItaSpaceWidth;
    automatic.AutoSpaceWidth = true;
    const Rip second = ripInProcess(c, truth, first.matrix, false, automatic);
    EXPECT_TRUE(second.asked.empty()) << second.asked.front().questionLine;
    EXPECT_EQ(second.fileText, first.fileText);
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
        EXPECT_EQ(expectTruth(first, truth, characters), 0u);
        const int lines = counting.lines;
        // The progress shows the shapes named and asked.
        EXPECT_EQ(first.display.glyphsNamed, uint32_t(first.matrix.Count()));
        EXPECT_EQ(first.display.glyphsAsked, 0u);
        const Rip second = ripInProcess(c, truth, first.matrix, false, s, &counting);
        EXPECT_EQ(counting.lines, lines);
        EXPECT_EQ(second.fileText, first.fileText);
    }
}

INSTANTIATE_TEST_SUITE_P(FixtureDiscs, DiscRip, ::testing::ValuesIn(kDiscs),
                         [](const ::testing::TestParamInfo<DiscCase>& info) {
                             return std::string(info.param.disc) + "_s" +
                                    std::to_string(info.param.stream);
                         });

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
    EXPECT_EQ(runConversation(MIRTAL_RIP_EXE, args1, "/dev/null", answerFromTruth).exitCode, 0);
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
    const ChildEnd trained = runProgram(MIRTAL_RIP_EXE, args2);
    EXPECT_EQ(trained.exitCode, 0) << trained.report;
    const std::string& report = trained.report;
    EXPECT_EQ(report.find("GLYPH"), std::string::npos) << report;
    EXPECT_EQ(report.find("unknown"), std::string::npos) << report;
    EXPECT_EQ(readText(dir / "fr.vtx"), cp1252ToUtf8(session.fileText));
    EXPECT_NE(session.fileText.find('\xE9'), std::string::npos) << "the French texts have accents";
    EXPECT_EQ(readText(dir / "fr.qmx"), matrixBytes);
}

} // namespace
