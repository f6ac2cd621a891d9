#include "CliRun.h"
#include "Process.h"
#include "TempFolder.h"
#include "ocr/MatrixFile.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

TEST(CliArgs, OptionsValuesAndInputs) {
    cli::Args a;
    std::string error;
    std::vector<std::string> argv = {"--list", "a.vob", "--stream=fr", "-s",
                                     "2",      "--",    "--odd.vob"};
    ASSERT_TRUE(cli::parseArgs(argv, a, error)) << error;
    EXPECT_EQ(a.command, "--list");
    EXPECT_EQ(a.inputs, (std::vector<std::string>{"a.vob", "--odd.vob"}));
    EXPECT_EQ(a.value("--stream"), "2"); // the last one counts
    EXPECT_EQ(a.values("--stream").size(), 2u);
    EXPECT_FALSE(a.has("--time-code"));
}

// 0 success, 1 a job that failed or is incomplete, 2 a bad command line or
// a refusal before anything is read: the built program on every command,
// never killed by a signal, never writing where it was refused.
TEST(CliExit, EveryCommandLineEndsWithItsStatusAndSaysWhy) {
    TempFolder d;
    const fs::path broken = kData / "broken", pairs = kData / "vobsub";
    const auto in = [&](const std::string& name) { return (d / name).string(); };
    const std::string vob = discFile("pal_en", "VTS_01_1.VOB").string(), m = in("m.qmx"),
                      wide = discFile("wide", "VTS_01_0.IFO").string(), p = in("p"),
                      ifo = discFile("pal_en_fr", "VTS_01_0.IFO").string(), L = "--list",
                      A = "--action", C = "--convert", shortIfo = in("short/VTS_01_0.IFO"),
                      trunc = (broken / "truncated.vob").string(),
                      random = (broken / "random_64k.bin").string(), philips = in("philips.ini"),
                      damaged = fixture("variants/damaged.vob"),
                      damagedMatrix = std::string(kMatrixSignature) + "short";
    for (const char* f : {"short", "sub"}) fs::create_directories(d / f);
    fs::copy_file(broken / "short604_VTS_01_0.IFO", shortIfo);
    fs::copy_file(discFile("pal_en_fr", "VTS_01_1.VOB"), d / "short" / "VTS_01_1.VOB");
    fs::copy_file(pairs / "nopts.sub", d / "a.sub");
    writeText(d / "a.vtx", "1\r\n00:00:00,000 --> 00:00:01,000\r\nHello\r\n\r\n");
    writeText(d / "8bit.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xE9t\xE9\r\n\r\n");
    writeText(d / "bad.qmx", damagedMatrix);
    writeText(d / "file", "x");
    writeText(d / "ext.ini", "[MIRTAL OUTPUT]\r\nExtended=1\r\n[OCR SETTING]\r\nSpaceWidth=9\r\n"
                             "ItaSpaceWidth=7\r\nAutoSpaceWidth=0\r\n");
    writeText(d / "philips.ini", "[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n[MIRTAL "
                                 "OUTPUT]\r\nExtended=0\r\n");
    writeText(d / "uncut.ini",
              "[BMP OUT CROPPING]\r\nEnabled=0\r\n[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n");
    using Args = std::vector<std::string>;
    // The command with its usual options, the argument list, then the input.
    const auto job = [&](Args head, const Args& a) {
        head.insert(head.end(), a.begin(), a.end());
        head.push_back(vob);
        return head;
    };
    const auto ocr = [&](const Args& a) { return job({A, "ocr", "--matrix", m}, a); };
    const auto pict = [&](const std::string& kind, const Args& a, const std::string& prefix = "p") {
        return job({A, kind, "--prefix", in(prefix)}, a);
    };
    // Format options of the command line lie over the settings file, and the
    // settings file and profile over the defaults.
    const auto format = [&](const Args& a) {
        return job(
            {A, "ocr", "--matrix", m, "--no-ask", "--no-save-matrix", "--settings", in("ext.ini")},
            a);
    };
    const auto convert = [&](const std::string& file, Args a, const std::string& out) {
        a.insert(a.begin(), {C, in(file)});
        a.insert(a.end(), {"-o", in(out)});
        return a;
    };
    const std::string first = "1\r\n00:00:01,740 --> 00:00:03,093";
    struct Case {
        Args args;
        int status;
        std::string said;
        int rows = -1; // subpicture lines on standard output
    };
    const Case cases[] = {
        {{L, ifo, "-s", "fr"}, 0, "#   2  - French\n# stream 2 (substream 0x21): French", 42},
        {{L, wide, "-s", "fr"}, 0, "wide 0x22  letterbox 0x23\n# stream 2 (substream 0x22, wide)"},
        {{L, fixture("vobsub/pal_en_fr.fr.sub")}, 0, "fr.idx\n#   1  - French\n# stream 1 ("},
        {{L, fixture("variants/ffmpeg.vob")}, 0, "", 19}, // ffmpeg's muxer
        {{L, trunc}, 1, "Can't open file " + trunc + " ,it might be crypted", 2},
        {{L, shortIfo}, 1, "too short", 42},
        {{L, "--forced-only", ifo}, 1, "no forced subpictures in stream 1\n"},
        {{L, fixture("broken/short700_VTS_01_0.IFO")}, 2, ""},
        {{L, shortIfo, "--stream", "fr"}, 2, ""}, // its code was never read
        {{L, in("a.sub")}, 2, "no a.idx beside it"},
        {{L, "--stream", "de", fixture("vobsub/nopts.idx")}, 2, ""},
        {{L}, 2, "no input"},
        {{"x.vob"}, 2, "no command"},
        {{L, "--progress=yes", vob}, 2, "takes no value"},
        {{L, vob, "--stream", "33"}, 2, "1..32"},
        {{L, vob, "--stream", "0x40"}, 2, "0x20..0x3F"},
        {{L, vob, "--stream", "de"}, 2, "no stream with the language de"},
        {{L, random, "--stream", "fr"}, 2, "needs the title"},
        {{L, vob, "--time-code", "1:00:00"}, 2, "HH:MM:SS,mmm"},
        {{L, fixture("nothing.vob")}, 2, "not found"},
        {{L, discFile("pal_en", "VIDEO_TS.IFO").string()}, 2, "not a title set IFO"},
        {{L, vob, "--no-such-option"}, 2, "unknown option"},
        {{L, vob, "--stream"}, 2, "needs a value"},
        {{L, vob, "--view", "wide"}, 2, "needs a 16:9 title"},
        {{L, vob, "--view", "tall"}, 2, "is not wide, letterbox or panscan"},
        {{L, wide, "--stream", "fr", "--view", "panscan"}, 2, "has no panscan substream"},
        {{L, wide, "--stream", "0x22", "--view", "wide"}, 2, "give its number or language"},
        {{C, in("a.vtx")}, 0, "00:00:00,000 --> 00:00:01,000\r\nHello"}, // to standard output
        {convert("a.vtx", {"--stretch", "00:00:01,000"}, "c1"), 1, "stretch refused"},
        {convert("a.vtx", {"--offset", "-00:00:02,000", "--answer", "no"}, "c2"), 1, "declined"},
        {convert("8bit.vtx", {"--input-encoding", "utf-8"}, "c3"), 1, "not UTF-8 text: line 3"},
        {convert("a.vtx", {"--split", "1-2"}, "c4"), 2, "--split"},
        {convert("a.vtx", {"--min-interval", "10000"}, "c5"), 2, "--min-interval"},
        {{A, "bmp", "--prefix", p, damaged}, 1, "5 damaged (skipped), 2 pictures written"},
        {{A, "text", vob}, 2, "expected bmp, sup, vobsub or show"},
        {{A, "vobsub", vob}, 2, "vobsub needs -o NAME"},
        {{A, "bmp", vob}, 2, "needs --prefix PATH"},
        {{A, "bmp", "--prefix", in("none/p"), vob}, 2, "folder " + in("none") + " does not exist"},
        {{A, "sup", "--prefix", in("file/p"), vob}, 2, "is not a folder"},
        {pict("bmp", {"-o", in("l.txt")}), 2, "needs --timing"},
        {pict("bmp", {"--timing", "-o", in("sub")}), 2, "is a folder"},
        {pict("bmp", {"--timing", "-f", "vtt"}), 2, "--format: expected"},
        {pict("bmp", {"--timing", "--blend", "1,2,3"}), 2, "--blend: expected"},
        {{A, "show", "--timing", vob}, 2, "writes no files"},
        {pict("sup", {"--ask"}), 2, "--ask is for --action show"},
        {pict("bmp", {"--settings", in("no.ini")}), 2, "no such file"},
        {pict("bmp", {"--profile", in("sub")}), 2, "it is a folder"},
        {ocr({"--no-ask"}), 0, " unknown glyphs written as \xC2\xA4"},
        {ocr({"--progress"}), 0, "\r[########################] 3/3 MB (100%)"},
        {format({"-f", "subviewer", "--title", "F", "--author", "M"}), 0, "F\r\n[AUTHOR]\r\nM"},
        {format({}), 0, first + "  X1:"},
        {format({"--space-width", "auto"}), 0, "space width auto from 9, italic 7"},
        {format({"--no-extended"}), 0, first + "\r\n"},
        {pict("bmp", {"--timing", "-f", "native"}, "b"), 0, first + "  X1:"},
        {pict("bmp", {"--timing", "--settings", philips, "-f", "native", "--index-offset", "9"},
              "e"),
         0, "10\r\n00:00:01,740 --> 00:00:03,093\r\ne000001.bmp"},
        {pict("bmp", {"--timing", "--settings", philips, "--profile", in("uncut.ini")}, "h"), 0,
         "# PHILIPS SVCD DESIGNER"},
        {{A, "ocr", "--matrix", in("bad.qmx"), "--no-ask", "-o", in("never.vtx"), vob},
         1,
         "nothing was changed"},
        {{A, "ocr", vob}, 2, ""},
        {ocr({"--text-color", "4"}), 2, ""},
        {ocr({"--ask", "--no-ask"}), 2, ""},
        {{A, "ocr", "--matrix", in("none/m.qmx"), vob}, 2, ""},
        {ocr({"--name-glyphs", "guess"}), 2, "--name-glyphs: expected ask, suggest or auto, got"},
        {ocr({"--name-glyphs", "auto", "--ocr-language", "qqq"}), 2, "tesseract-ocr-qqq"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back() + " " + c.args.front() + " " + c.said);
        const ChildEnd end = runProgram(MIRTAL_RIP_EXE, c.args, {}, "/dev/null", in("stdout"));
        ASSERT_TRUE(end.exited) << "signal " << end.signal;
        EXPECT_EQ(end.exitCode, c.status) << end.report;
        const std::string out = readText(d / "stdout");
        EXPECT_TRUE(has(end.report + out, c.said)) << end.report << out.substr(0, 300);
        const size_t rows = rowsOf(out).size(); // none from a refused command line
        EXPECT_TRUE((c.rows < 0 && c.status != 2) || rows == size_t(std::max(c.rows, 0))) << rows;
    }
    // Refused runs wrote nothing; damaged units leave their numbers unused.
    for (const char* f : {"m.qmx", "never.vtx", "l.txt", "c1", "c2", "c3", "c4", "c5"})
        EXPECT_FALSE(fs::exists(d / f)) << f;
    EXPECT_EQ(readText(d / "bad.qmx"), damagedMatrix);
    // The profile replaces every bitmap section: uncropped, the first picture
    // is the unit's area, 224 x 32.
    EXPECT_EQ(readText(d / "h000001.bmp").substr(18, 8), std::string("\xE0\0\0\0\x20\0\0\0", 8));
    EXPECT_TRUE(fs::exists(d / "p000007.bmp"));
    EXPECT_FALSE(fs::exists(d / "p000002.bmp"));
}

// Ways of naming one stream, and inputs that hold the same subpictures (a
// title cut in two files, VobSub pairs by other writers, a pair without
// usable PTS timed by its index), list the same lines.
TEST(CliList, InputsAndStreamNamesOfTheSameSubpicturesListAlike) {
    const std::string ifo = discFile("pal_en_fr", "VTS_01_0.IFO").string();
    const std::string vob = discFile("pal_en_fr", "VTS_01_1.VOB").string();
    const fs::path split = kData / "discs" / "split" / "VIDEO_TS";
    const std::vector<std::string> same[][2] = {
        {{ifo, "--stream", "fr"}, {ifo, "--stream", "0x21"}},
        {{vob, "--stream=FR"}, {ifo, "-s", "2"}},
        {{split.string()}, {(split / "VTS_01_1.VOB").string(), (split / "VTS_01_2.VOB").string()}},
        {{fixture("vobsub/pal_en_fr.fr.sub")}, {vob, "-s", "2"}},
        {{fixture("vobsub/nopts.idx")}, {vob}},
        {{"--stream", "fr", fixture("vobsub/nopts.sub")}, {vob, "-s", "2"}},
        {{fixture("variants/unpadded.idx")}, {fixture("vobsub/pal_en_fr.en.idx")}},
    };
    for (const auto& [a, b] : same) {
        SCOPED_TRACE(a.back() + " / " + b.back());
        std::vector<std::string> args = a, other = b;
        args.insert(args.begin(), "--list");
        other.insert(other.begin(), "--list");
        const CliRun x = ripHere(args), y = ripHere(other);
        EXPECT_EQ(x.status, 0) << x.err;
        EXPECT_GE(rowsOf(x.out).size(), 40u);
        EXPECT_EQ(rowsOf(x.out), rowsOf(y.out));
    }
}
