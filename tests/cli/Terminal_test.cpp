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

TEST(CliHost, TerminalAnswersAreReadAndRepeatedUntilValid) {
    Terminal t("maybe\nn\n", true);
    CliHost host(t.io, t.args);
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "Bad\rGo on ?"),
              Answer::No);
    EXPECT_TRUE(has(t.err.str(), "warning: Bad\n    Go on ?"));
    EXPECT_EQ(host.warnings(), 1);
    // At the end of the input the default is taken.
    EXPECT_EQ(host.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, "Again ?"),
              Answer::Yes);
}

TEST(CliHost, WithoutTerminalDefaultsAreTakenAndReported) {
    Terminal yes("", false);
    CliHost host(yes.io, yes.args);
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "q"), Answer::Yes);
    EXPECT_TRUE(has(yes.err.str(), "(no terminal) answered yes"));
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Ok}, "only ok"), Answer::Ok);
    EXPECT_EQ(host.ask(MessageKind::Confirmation, {Answer::Cancel, Answer::Ignore}, "q"),
              Answer::Cancel);
    EXPECT_FALSE(host.chooseSaveFile({}).has_value());
    EXPECT_EQ(host.askGlyph({}).action, GlyphAction::SkipSubpicture);
    EXPECT_EQ(host.waitAtProgression(), ProgressionChoice::NoStop);

    Terminal no("", false, {"--answer", "no"});
    CliHost refusing(no.io, no.args);
    EXPECT_EQ(refusing.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "q"), Answer::No);
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
        {"\\\\", "", GlyphReply::Text, "\\"},
        {"a\\b", "", GlyphReply::Text, "a\\b"},
        {"\\stp", "", GlyphReply::Invalid, ""},
        {"\xC5\x93", "", GlyphReply::Text, "\x9C"}, // UTF-8 oe ligature to 8 bits
        {"\xC2\xAB", "", GlyphReply::Text, "\xAB"},
        {"?", "", GlyphReply::Text, "?"},
        {"\xE2\x82\xB9", "", GlyphReply::Invalid, ""}, // no 8-bit form: never a '?'
        {std::string(20, 'm'), "", GlyphReply::Text, std::string(20, 'm')},
        {std::string(21, 'm'), "", GlyphReply::Invalid, ""},
    };
    for (const Case& c : cases) {
        const GlyphReply r = parseGlyphReply(c.typed, c.suggestion);
        EXPECT_EQ(r.kind, c.kind) << c.typed;
        if (c.kind == GlyphReply::Text) {
            EXPECT_EQ(r.text, c.text) << c.typed;
        }
    }
}

TEST(GlyphPrompt, QuestionLineAndFramedArtOfTheLine) {
    // Two characters on one line: a 2 x 3 bar and, after a gap, a 1 x 2 dot
    // lower down; the line's leftover text stays in the text colour.
    const Colour text = kDrawColor[2];
    Bitmap24 work(8, 4, kDrawColor[0]);
    for (int y = 0; y < 3; ++y) {
        work.setPixel(0, y, CharColorA);
        work.setPixel(1, y, CharColorA);
    }
    work.setPixel(4, 2, CharColorB);
    work.setPixel(4, 3, CharColorB);
    work.setPixel(7, 0, text);
    const CharBox boxes[] = {{0, 0, 2, 3, 0, 0}, {4, 2, 1, 2, 2, 0}};
    GlyphQuestion q;
    q.subpictureNumber = 12;
    q.startMs = 3723004;
    q.line = 2;
    q.charIndex = 2;
    q.box = boxes[1];
    q.lineBoxes = boxes;
    q.workBitmap = &work;
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

TEST(ShowAction, OneLinePerPictureAndStopsOnlyWhenAsked) {
    const CliRun plain = ripHere({"--action", "show", kPalVob});
    EXPECT_EQ(plain.status, kExitOk) << plain.err;
    const auto rows = rowsOf(plain.out);
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(rows[45].substr(0, 8), "    46  ") << rows[45]; // numbered from 1
    // At a terminal: Enter goes on, s stops no more, p stops the job.
    const CliRun asked = ripHere({"--action", "show", "--ask", kPalVob}, "\n\ns\n", true);
    EXPECT_EQ(rowsOf(asked.out), rows);
    EXPECT_EQ(countOf(asked.err, "Enter: next"), 3u);
    const CliRun stopped = ripHere({"--action", "show", "--ask", kPalVob}, "x\np\n", true);
    EXPECT_EQ(stopped.status, kExitDataProblem) << stopped.err;
    EXPECT_EQ(rowsOf(stopped.out).size(), 1u);
    EXPECT_TRUE(has(stopped.err, "stopped as asked after subpicture 1"));
    const CliRun unattended = ripHere({"--action", "show", "--ask", kPalVob}, "p\n", false);
    EXPECT_EQ(rowsOf(unattended.out), rows);
    EXPECT_TRUE(has(unattended.err, "(no terminal) --ask: no stop"));
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
    ASSERT_TRUE(LoadMatrixFile(dir / "new.qmx", saved)) << "a new matrix file is created";
    EXPECT_EQ(saved.Count(), 30);
    // The subtitles finished before the stop, every glyph read as "x".
    const std::string out = readText(dir / "out.vtx");
    EXPECT_GE(countOf(out, "-->"), 1u);
    EXPECT_LT(countOf(out, "-->"), 46u);
    EXPECT_EQ(out.find_first_not_of("x \r\n0123456789:,->"), std::string::npos) << out;
}

TEST(OcrPrompt, UnattendedRipsUsePlaceholdersAndUnsavedAnswersAreSaid) {
    TempFolder dir;
    const std::string none = (dir / "none.qmx").string();
    const CliRun unattended =
        ripHere({"--action", "ocr", "--matrix", none, "--no-fix-quotes", "--progress", kPalEn});
    EXPECT_EQ(unattended.status, kExitOk) << unattended.err;
    EXPECT_FALSE(has(unattended.err, "GLYPH"));
    EXPECT_TRUE(has(unattended.err, "\r[########################] 3/3 MB (100%)"))
        << unattended.err;
    EXPECT_TRUE(has(unattended.err, " unknown glyphs written as \xC2\xA4"));
    EXPECT_EQ(countOf(unattended.out, "-->"), 46u);
    EXPECT_GT(countOf(unattended.out, "\xA4"), 46u);
    EXPECT_FALSE(fs::exists(none)) << "nothing learned, no matrix written";

    const CliRun kept =
        ripHere({"--action", "ocr", "--ask", "--no-save-matrix", "--matrix", none, kPalEn},
                "\\skip-line\nx\n\\skip-subpicture\n\\stop\n");
    EXPECT_EQ(kept.status, kExitDataProblem) << kept.err;
    EXPECT_TRUE(has(kept.err, "stopped as asked"));
    EXPECT_TRUE(has(kept.err, "1 glyph learned (not saved")) << kept.err;
    EXPECT_FALSE(fs::exists(none));
}

// Format options of the command line lie over the settings file, and the
// settings file and profile over the defaults; a preset's script turns on
// the native coordinates as it does in the windows.
TEST(FormatOptions, CommandLineOverSettingsOverDefaults) {
    TempFolder d;
    writeText(d / "ext.ini", "[MIRTAL OUTPUT]\r\nExtended=1\r\n");
    writeText(d / "philips.ini",
              "[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n[MIRTAL OUTPUT]\r\nExtended=0\r\n");
    writeText(d / "uncut.ini",
              "[BMP OUT CROPPING]\r\nEnabled=0\r\n[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n");
    const auto at = [&](const std::string& name) { return (d / name).string(); };
    const std::vector<std::string> ocr = {"--action",         "ocr",        "--no-ask",
                                          "--no-save-matrix", "--matrix",   at("none.qmx"),
                                          "--settings",       at("ext.ini")};
    const std::string first = "1\r\n00:00:01,740 --> 00:00:03,093\r\n";
    struct Case {
        std::vector<std::string> args;
        std::string begins;
        int coordinates = -1; // native lines with "  X1:"
    };
    const Case cases[] = {
        {{"--format", "subviewer", "--title", "Film", "--author", "Me"},
         "[TITLE]\r\nFilm\r\n[AUTHOR]\r\nMe\r\n"},
        {{}, "1\r\n", 46},
        {{"--no-extended"}, first, 0},
        {{"--action", "bmp", "-p", at("b"), "--timing", "-f", "native"}, "1\r\n", 46},
        {{"--action", "bmp", "-p", at("e"), "--timing", "--settings", at("philips.ini"), "-f",
          "native", "--index-offset", "9"},
         "10\r\n00:00:01,740 --> 00:00:03,093\r\ne000001.bmp\r\n"},
        {{"--action", "bmp", "-p", at("h"), "--timing", "--settings", at("philips.ini"),
          "--profile", at("uncut.ini")},
         "# PHILIPS SVCD DESIGNER"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        if (args.empty() || args[0] != "--action")
            args.insert(args.begin(), ocr.begin(), ocr.end());
        args.push_back(args[1] == "ocr" ? kPalEn : kPalVob);
        SCOPED_TRACE(c.begins);
        const CliRun r = ripHere(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.out.substr(0, c.begins.size()), c.begins) << r.out.substr(0, 200);
        if (c.coordinates >= 0) {
            EXPECT_EQ(countOf(r.out, "  X1:"), size_t(c.coordinates));
        }
    }
    // The profile replaces every bitmap section: uncropped, the first
    // picture is the unit's area (224 x 32).
    auto header = [](const std::string& bmp, size_t at) {
        return bmp.size() > at + 1 ? uint8_t(bmp[at]) | uint8_t(bmp[at + 1]) << 8 : -1;
    };
    const std::string h = readText(d / "h000001.bmp");
    EXPECT_EQ(header(h, 18), 224);
    EXPECT_EQ(header(h, 22), 32);
}
