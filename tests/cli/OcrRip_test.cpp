// The OCR of every fixture disc stream against its ground truth: the only
// test of segmentation, matching, spacing, italics and glyph naming on text
// that a real authoring tool drew.
#include "DiscTruth.h"
#include "FakeHost.h"
#include "GlyphPrompt.h"
#include "JobInput.h"
#include "base/TextCodec.h"
#include "rip/Session.h"
#include "subtitles/PostOcrCorrection.h"
#include "tess/TesseractRecognizer.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// The OCR setup a user fills in for each disc's font: the space width between
// the gaps inside words and between words (measured below; 0: automatic, as
// italic letters overhang), and no height difference between glyphs of one
// character where only their height tells the I and l bars apart.
struct DiscCase {
    const char* disc;
    int stream; // the substream of truth_sK.txt
    int32_t spaceWidth;
    uint8_t maxCharDiffHeight;
    const char* tesseract = nullptr;
};
const DiscCase kDiscs[] = {
    {"pal_en", 0, 10, 2},    // DejaVu Sans 28: gaps in words 0..9, between 10..17
    {"pal_en_fr", 0, 10, 2}, // DejaVu Sans 28: 0..8, 12..17
    {"pal_en_fr", 1, 9, 0},  // Liberation Sans 28: 1..8, 10..15
    // Tesseract reads a closing double quote as one apostrophe.
    {"ntsc", 0, 8, 2, "eng"}, // Liberation Sans 26: 1..6, 9..13
    // I and l bars a row apart, a line of three dots Tesseract cannot read.
    {"split", 0, 11, 0, "eng"}, // DejaVu Sans 30: -2..10, 12..19
    {"wide", 2, 7, 0},          // Liberation Sans 26 squeezed for 16:9: 2..5, 9..12
    {"italic", 0, 0, 2, "eng"}, // DejaVu Sans Oblique 28, roman lines in DejaVu Sans
    {"italic", 1, 9, 0, "fra"}, // Liberation Serif 28
};

OcrSettings settingsFor(const DiscCase& c) {
    OcrSettings s;
    s.AutoSpaceWidth = c.spaceWidth == 0;
    if (c.spaceWidth != 0) s.SpaceWidth = s.ItaSpaceWidth = c.spaceWidth;
    s.MaxCharDiffHeight = c.maxCharDiffHeight;
    return s;
}

struct Rip {
    std::string fileText;           // the native file, quotes repaired
    std::vector<std::string> asked; // the question lines
    CharMatrix matrix;
    RipDisplay display; // the last one shown
};

// The whole disc through a session, the glyphs answered from the truth (or
// the subpicture dropped when not `answering`), then the quote repair. Each
// subtitle must read as the truth has it, italic units marked line by line.
Rip ripInProcess(const DiscCase& c, DiscTruth& truth, CharMatrix matrix, bool answering,
                 const OcrSettings& settings, LineRecognizer* recognizer = nullptr) {
    FakeHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    Session session(host, catalogue, clock);
    session.matrix() = std::move(matrix);
    session.ocrSettings() = settings;
    session.chooseStream(uint8_t(0x20 + c.stream));
    session.setRecognizer(recognizer);
    Rip rip;
    host.glyphResponder = [&](const GlyphQuestion& q) {
        rip.asked.push_back(cli::glyphQuestionLine(q));
        if (!answering) return GlyphAnswer{GlyphAction::SkipSubpicture, ""};
        return GlyphAnswer{GlyphAction::Learn,
                           truth.answer(q.startMs, q.line, q.charIndex, q.lineBoxes)};
    };
    cli::JobInput input;
    std::string error;
    EXPECT_TRUE(cli::resolveInputs({truth.videoTs().string()}, input, error)) << error;
    JobSetup setup;
    setup.files = input.vobs;
    setup.action = kActionOcr;
    EXPECT_TRUE(session.startJob(setup));
    while (!session.job().finished() && !session.job().Paused) session.tick();
    EXPECT_TRUE(session.job().finished());
    EXPECT_TRUE(host.questions.empty()) << host.questions.front().text;
    correctPostOcr(session.document(), true, false, IlLanguage::English);
    std::map<int32_t, std::string> read, expected;
    for (int i = 1; i <= session.document().nbSubTitle(); ++i) {
        const TSub& e = session.document().store().entry(i);
        read[timeCodeToMs(e.Start)] = cp1252ToUtf8(JoinLines({e.Lines.data(), size_t(e.NbLines)}));
    }
    for (const auto& [startMs, text] : read) {
        std::vector<std::string> lines =
            truth.blockAt(startMs) ? *truth.blockAt(startMs) : std::vector<std::string>{"?"};
        for (std::string& line : lines)
            if (truth.italicAt(startMs)) line = "<i>" + line + "</i>";
        expected[startMs] = cp1252ToUtf8(JoinLines(lines));
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.size(), truth.blocks().size());
    rip.fileText = session.document().fileText();
    rip.matrix = session.matrix();
    rip.display = host.displays.empty() ? RipDisplay{} : host.displays.back();
    return rip;
}

// Tesseract behind a count of the lines it reads.
struct CountingRecognizer : LineRecognizer {
    explicit CountingRecognizer(LineRecognizer& inner) : inner(inner) {}
    LineReading readLine(const LineImage& line) override { return ++lines, inner.readLine(line); }
    LineRecognizer& inner;
    int lines = 0;
};

class DiscRip : public ::testing::TestWithParam<DiscCase> {};

} // namespace

// A matrix trained by answering every question from the truth reads every
// character; trained, nothing is asked again, also with the automatic space
// width starting from the built-in widths. Tesseract's votes, from an empty
// matrix, name every shape without a question; its matrix then reads the
// stream again without Tesseract.
TEST_P(DiscRip, EveryCharacterIsReadAsTheTruthHasIt) {
    const DiscCase& c = GetParam();
    DiscTruth truth(c.disc, c.stream);
    const Rip first = ripInProcess(c, truth, {}, true, settingsFor(c));
    EXPECT_EQ(first.display.glyphsAsked, first.asked.size());
    EXPECT_EQ(first.display.glyphsNamed, 0u);
    const OcrSettings automatic = settingsFor({c.disc, c.stream, 0, c.maxCharDiffHeight});
    const Rip second = ripInProcess(c, truth, first.matrix, false, automatic);
    EXPECT_TRUE(second.asked.empty()) << second.asked.front();
    EXPECT_EQ(second.fileText, first.fileText);
    if (!c.tesseract) return;

    std::string error;
    auto tesseract = TesseractRecognizer::open(c.tesseract, error);
    ASSERT_TRUE(tesseract) << error;
    CountingRecognizer counting(*tesseract);
    OcrSettings s;
    s.AutoSpaceWidth = true;
    s.NameGlyphs = uint8_t(GlyphNaming::Auto);
    const Rip named = ripInProcess(c, truth, {}, false, s, &counting);
    EXPECT_TRUE(named.asked.empty()) << named.asked.front();
    EXPECT_EQ(named.display.glyphsNamed, uint32_t(named.matrix.count()));
    EXPECT_EQ(named.display.glyphsAsked, 0u);
    const int lines = counting.lines;
    EXPECT_EQ(ripInProcess(c, truth, named.matrix, false, s, &counting).fileText, named.fileText);
    EXPECT_EQ(counting.lines, lines);
}

INSTANTIATE_TEST_SUITE_P(FixtureDiscs, DiscRip, ::testing::ValuesIn(kDiscs),
                         [](const ::testing::TestParamInfo<DiscCase>& info) {
                             return std::string(info.param.disc) + "_s" +
                                    std::to_string(info.param.stream);
                         });
