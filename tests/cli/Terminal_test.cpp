#include "CliHost.h"
#include "CliRun.h"
#include "GlyphPrompt.h"
#include "LineBuffer.h"
#include "TempFolder.h"
#include "ocr/MatrixFile.h"
#include "ocr/Segmentation.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::cli;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

struct Terminal {
    std::istringstream in;
    std::ostringstream out, err;
    CliIo io;
    Args args;
    explicit Terminal(const std::string& typed, bool tty, std::vector<std::string> argv = {})
        : in(typed), io{in, out, err, tty} {
        std::string error;
        EXPECT_TRUE(parseArgs(argv, args, error)) << error;
    }
};

const std::string kPalEn = (kData / "discs" / "pal_en" / "VIDEO_TS").string();
const std::string kPalVob = discFile("pal_en", "VTS_01_1.VOB").string();

} // namespace

// At a terminal answers are asked again until valid and the default is
// taken at the input's end; without one the defaults are taken and said.
TEST(CliHost, AnswersAtATerminalOrDefaultsWithout) {
    const Buttons yesNo = {Answer::Yes, Answer::No};
    Terminal t("maybe\nn\n", true), yes("", false), no("", false, {"--answer", "no"});
    CliHost host(t.io, t.args), unattended(yes.io, yes.args), refusing(no.io, no.args);
    EXPECT_EQ(host.ask(MessageKind::Warning, yesNo, "Bad\rGo on ?"), Answer::No);
    EXPECT_TRUE(has(t.err.str(), "warning: Bad\n    Go on ?"));
    EXPECT_EQ(host.warnings(), 1);
    EXPECT_EQ(host.ask(MessageKind::Confirmation, yesNo, "Again ?"), Answer::Yes);
    EXPECT_EQ(unattended.ask(MessageKind::Warning, yesNo, "q"), Answer::Yes);
    EXPECT_TRUE(has(yes.err.str(), "(no terminal) answered yes"));
    EXPECT_EQ(unattended.ask(MessageKind::Warning, {Answer::Ok}, "only ok"), Answer::Ok);
    EXPECT_EQ(unattended.ask(MessageKind::Confirmation, {Answer::Cancel, Answer::Ignore}, "q"),
              Answer::Cancel);
    EXPECT_FALSE(unattended.chooseSaveFile({}).has_value());
    EXPECT_EQ(unattended.askGlyph({}).action, GlyphAction::SkipSubpicture);
    EXPECT_EQ(unattended.waitAtProgression(), ProgressionChoice::NoStop);
    EXPECT_EQ(refusing.ask(MessageKind::Warning, yesNo, "q"), Answer::No);
}

// Standard error goes out one whole line per write, however it was put
// together; a flush (a prompt) hands on what there is.
TEST(CliHost, StandardErrorIsWrittenInWholeLines) {
    std::vector<std::string> writes;
    {
        LineBuffer lines([&](std::string_view s) { writes.emplace_back(s); });
        std::ostream err(&lines);
        err << "mirtal-rip: "
            << "warning: " << 130 << '\n'
            << "    go on ?\na" << 'b';
        err << "  [yes/no] " << std::flush << "end";
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"mirtal-rip: warning: 130\n", "    go on ?\n",
                                                "ab  [yes/no] ", "end"}));
}

TEST(GlyphPrompt, RepliesCommandsEscapesAndRefusals) {
    struct Case {
        std::string typed, suggestion;
        GlyphReply::Kind kind;
        std::string text;
    };
    const Case cases[] = {
        {"\\skip-line", "", GlyphReply::SkipLine, ""},
        {"\\skip-subpicture", "", GlyphReply::SkipSubpicture, ""},
        {"\\stop", "", GlyphReply::Stop, ""},
        {"", "", GlyphReply::Text, ""}, // learned as nothing
        {"", "\xE9", GlyphReply::Text, "\xE9"},
        {"\\empty", "\xE9", GlyphReply::Text, ""},
        {"e", "\xE9", GlyphReply::Text, "e"},
        {"\\\\stop", "", GlyphReply::Text, "\\stop"},
        {"a\\b", "", GlyphReply::Text, "a\\b"},
        {"\\stp", "", GlyphReply::Invalid, ""},
        {"\xC5\x93", "", GlyphReply::Text, "\x9C"}, // UTF-8 oe ligature to 8 bits
        {"?", "", GlyphReply::Text, "?"},
        {"\xE2\x82\xB9", "", GlyphReply::Invalid, ""}, // no 8-bit form: never a '?'
        {std::string(20, 'm'), "", GlyphReply::Text, std::string(20, 'm')},
        {std::string(21, 'm'), "", GlyphReply::Invalid, ""},
    };
    for (const Case& c : cases) {
        const GlyphReply r = parseGlyphReply(c.typed, c.suggestion);
        EXPECT_EQ(std::pair(r.kind, c.kind == GlyphReply::Text ? r.text : ""),
                  std::pair(c.kind, c.text))
            << c.typed;
    }
}

TEST(GlyphPrompt, QuestionLineAndFramedArtOfTheLine) {
    // Two characters on one line: a 2 x 3 bar and, after a gap, a 1 x 2 dot
    // lower down; the line's leftover text stays in the text colour.
    const Colour text = kDrawColour[2];
    Bitmap24 work(8, 4, kDrawColour[0]);
    for (int y = 0; y < 3; ++y)
        work.setPixel(0, y, kCharColourA), work.setPixel(1, y, kCharColourA);
    for (int y : {2, 3}) work.setPixel(4, y, kCharColourB);
    work.setPixel(7, 0, text);
    const CharBox boxes[] = {{0, 0, 2, 3, 0, 0}, {4, 2, 1, 2, 2, 0}};
    GlyphQuestion q{12, 3723004, 2, 2, boxes[1], boxes, &work, 0, ""}; // number, start, line, box
    EXPECT_EQ(glyphQuestionLine(q),
              "GLYPH subpicture=12 start=01:02:03,004 line=2 char=2 width=1 height=2");
    // Rows from the line top down to the frame's bottom, the other glyph
    // and the leftover text as '+'.
    const std::vector<std::string> second = {"+.....+", "+.---..", "+.|#|..", "..|#|..", "..---.."};
    EXPECT_EQ(glyphArt(q, text, 7), second);
    // The first glyph's frame stands outside the picture; a narrow window keeps it whole.
    q.charIndex = 1;
    q.box = boxes[0];
    const std::vector<std::string> first = {"----..", "|##|..", "|##|..", "|##|.+", "----.+"};
    EXPECT_EQ(glyphArt(q, text, 6), first);
}

// At a terminal: Enter goes on, s stops no more, p stops the job.
TEST(ShowAction, StopsOnlyWhenAsked) {
    const auto rows = rowsOf(ripHere({"--action", "show", kPalVob}).out);
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(rows[45].substr(0, 8), "    46  ") << rows[45]; // numbered from 1
    const CliRun asked = ripHere({"--action", "show", "--ask", kPalVob}, "\n\ns\n", true);
    EXPECT_EQ(rowsOf(asked.out), rows);
    EXPECT_EQ(countOf(asked.err, "Enter: next"), 3u);
    const CliRun stopped = ripHere({"--action", "show", "--ask", kPalVob}, "x\np\n", true);
    EXPECT_EQ(stopped.status, kExitDataProblem) << stopped.err;
    EXPECT_EQ(rowsOf(stopped.out).size(), 1u);
    EXPECT_TRUE(has(stopped.err, "stopped as asked after subpicture 1"));
}

TEST(OcrPrompt, EndOfInputStopsButKeepsEveryAnswerAndWhatWasRead) {
    TempFolder dir;
    std::string typed;
    for (int i = 0; i < 30; ++i) typed += "x\n";
    const CliRun r = ripHere({"--action", "ocr", "--ask", "--matrix", (dir / "new.qmx").string(),
                              "-o", (dir / "out.vtx").string(), kPalEn},
                             typed);
    EXPECT_EQ(r.status, kExitDataProblem) << r.err;
    EXPECT_EQ(countOf(r.err, "\nGLYPH "), 31u) << "the 31st question finds the input's end";
    EXPECT_TRUE(has(r.err, "end of input"));
    CharMatrix saved;
    ASSERT_TRUE(loadMatrixFile(dir / "new.qmx", saved)) << "a new matrix file is created";
    EXPECT_EQ(saved.count(), 30);
    // The subtitles finished before the stop, every glyph read as "x".
    const std::string out = readText(dir / "out.vtx");
    EXPECT_GE(countOf(out, "-->"), 1u);
    EXPECT_LT(countOf(out, "-->"), 46u);
    EXPECT_EQ(out.find_first_not_of("x \r\n0123456789:,->"), std::string::npos) << out;
}

TEST(OcrPrompt, AnswersLearnedButNotSavedAreSaid) {
    TempFolder dir;
    const std::string none = (dir / "none.qmx").string();
    const CliRun kept =
        ripHere({"--action", "ocr", "--ask", "--no-save-matrix", "--matrix", none, kPalEn},
                "\\skip-line\nx\n\\skip-subpicture\n\\stop\n");
    EXPECT_EQ(kept.status, kExitDataProblem) << kept.err;
    EXPECT_TRUE(has(kept.err, "stopped as asked"));
    EXPECT_TRUE(has(kept.err, "1 glyph learned (not saved")) << kept.err;
    EXPECT_FALSE(fs::exists(none));
}
