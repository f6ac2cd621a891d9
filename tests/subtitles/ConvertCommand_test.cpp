#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace mirtal;
using namespace mirtal::test;

// mirtal-rip --convert, run as scripts run it: no terminal on standard input.

namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(MIRTAL_TEST_DATA).parent_path() / "subtitles" / "golden";

struct RipRun {
    int status = -1;
    std::string out, err;
};

class ConvertTest : public ::testing::Test {
protected:
    TempDir dir;

    RipRun rip(const std::string& arguments) {
        RipRun r;
        std::string errFile = (dir / "stderr.txt").string();
        std::string command = std::string("'") + MIRTAL_RIP_EXE + "' " + arguments +
                              " < /dev/null 2> '" + errFile + "'";
        FILE* p = ::popen(command.c_str(), "r");
        if (!p) return r;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        int status = ::pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = fileBytes(errFile);
        return r;
    }
    std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

    // A native file of the entries the authoring-script golden files were made from.
    std::filesystem::path bitmapNative() {
        FixedBannerClock clock{""};
        SubtitleDocument doc{clock};
        add(doc, "00:00:00,950", "00:00:03,000", {"sub000001.bmp"}, {160, 470, 559, 519});
        add(doc, "00:00:08,000", "00:00:10,000", {"sub000002.bmp"}, {100, 400, 619, 459});
        add(doc, "00:00:10,020", "00:01:00,000", {"sub000003.bmp"}, {96, 430, 623, 527});
        add(doc, "00:01:00,010", "00:10:00,000", {"sub000004.bmp"}, {0, 0, 1023, 9});
        add(doc, "00:10:01,990", "00:10:04,999", {"sub000005.bmp"}, {150, 440, 569, 509});
        doc.options().native.ExtendedFormat = true;
        doc.RefreshList();
        EXPECT_TRUE(SaveDocumentTo(doc, dir / "bitmaps.vtx"));
        return dir / "bitmaps.vtx";
    }
};

} // namespace

TEST_F(ConvertTest, WritesEveryFormatWithItsOptionsAsTheDocumentDoes) {
    const std::string date = " --date '01/02/2003 04:05:06'";
    const std::filesystem::path text = kGolden / "native_extended.vtx";
    const std::filesystem::path bitmaps = bitmapNative();
    struct Case {
        std::filesystem::path in;
        std::string options, golden;
    } cases[] = {
        {kGolden / "native.vtx", "", "native.vtx"},
        {text, "--format native --no-extended --index-offset 100", "native.vtx"},
        {text, "", "native_extended.vtx"},
        {text, "--no-extended --split 00:00:05,000-00:01:00,000", "native_split.vtx"},
        {text, "-f subviewer --title Film --author Me --delay -250", "subviewer.sub"},
        {text,
         "-f subviewer2 --title Film --comment 'A comment' --delay 10 --cd-track 2 "
         "--font 'Courier New' --font-size 20 --font-style bold,underline --font-colour FFFF00",
         "subviewer2.sub"},
        {text, "-f sonic", "sonic.txt"},
        {bitmaps,
         "-f iauthor --colours 000000,FFFFFF,FF0000,808080 --blend 0,15,8,15 "
         "--iauthor-interval 40" +
             date,
         "iauthor.txt"},
        {bitmaps, "-f iauthor --iauthor-interval 40 --split 00:00:09,000-00:01:00,000" + date,
         "iauthor_split.txt"},
        {bitmaps,
         "-f philips --title 'My Title' --frame-rate ntsc --drop-frame yes "
         "--bmp-colours no --colours 000000,FFFFFF,0000FF,00FF00 --contrast 0,15,15,9" +
             date,
         "philips.sub"},
    };
    for (const Case& c : cases) {
        std::filesystem::path out = dir / ("out-" + c.golden);
        RipRun r = rip("--convert " + q(c.in) + " " + c.options + " -o " + q(out));
        EXPECT_EQ(r.status, 0) << c.options << "\n" << r.err;
        std::string expected = fileBytes(kGolden / c.golden);
        // The native file keeps three characters of a coordinate: X2 = 1023 of
        // the fourth picture comes back as 102.
        if (c.in == bitmaps) {
            auto replace = [&](const std::string& from, const std::string& to) {
                size_t at = expected.find(from);
                ASSERT_NE(at, std::string::npos) << from;
                expected.replace(at, from.size(), to);
            };
            if (c.golden == "iauthor.txt") replace("0, 0 to 1023, 9", "0, 0 to 102, 9");
            if (c.golden == "philips.sub") replace(" 102 010 000 000", " 103 010 000 000");
        }
        EXPECT_EQ(fileBytes(out), expected) << c.options;
    }
    // Without -o the file goes to standard output.
    RipRun r = rip("--convert " + q(text) + " -f sonic");
    EXPECT_EQ(r.out, fileBytes(kGolden / "sonic.txt"));
}

TEST_F(ConvertTest, EncodingChoosesTheBytesOfTheFilesReadAndWritten) {
    const std::string line = "Ce n'est qu'un au revoir, \xAB d\xE9j\xE0 \xBB \x80";
    const std::string utf8Line =
        "Ce n'est qu'un au revoir, \xC2\xAB d\xC3\xA9j\xC3\xA0 \xC2\xBB \xE2\x82\xAC";
    writeFileAtomic(dir / "old.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + line + "\r\n");

    // Read as the older tools wrote it, written in UTF-8, read back as UTF-8.
    RipRun r = rip("--convert " + q(dir / "old.vtx") +
                   " --input-encoding cp1252 --encoding utf-8 -o " + q(dir / "new.vtx"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fileBytes(dir / "new.vtx"),
              "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + utf8Line + "\r\n\r\n");
    r = rip("--convert " + q(dir / "new.vtx") + " --encoding utf-8 -f subviewer2");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(utf8Line), std::string::npos) << r.out;
    r = rip("--convert " + q(dir / "new.vtx") + " --input-encoding utf-8");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(line + "\r\n"), std::string::npos) << "written in the default code page";

    // Without either option the bytes tell: ffmpeg's SubRip output is UTF-8.
    r = rip("--convert " + q(std::filesystem::path(MIRTAL_TEST_DATA) / "srt" / "ffmpeg.srt") +
            " -f webvtt");
    EXPECT_NE(r.out.find("D\xC3\xA9j\xC3\xA0 vu \xC3\xA0 l'\xC3\xA9t\xC3\xA9"), std::string::npos)
        << r.out;

    // The 8-bit file is no UTF-8: refused with where, nothing written.
    r = rip("--convert " + q(dir / "old.vtx") + " --encoding utf-8 -o " + q(dir / "never.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("old.vtx: not UTF-8 text: line 3, byte 27"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "never.vtx"));

    // Characters the code page lacks are named on reading.
    writeFileAtomic(dir / "cjk.vtx",
                    "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xE4\xB8\xAD\xE6\x96\x87\r\n");
    r = rip("--convert " + q(dir / "cjk.vtx") + " --encoding utf-8");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\r\n??\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("2 characters without a Windows-1252 form read as '?'"), std::string::npos)
        << r.err;

    for (const char* bad : {"--encoding latin1", "--input-encoding utf16"}) {
        r = rip("--convert " + q(dir / "old.vtx") + " " + bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("expected cp1252 or utf-8"), std::string::npos) << r.err;
    }
}

TEST_F(ConvertTest, CorrectionsRunInTheDialogsOrderOverTheFile) {
    writeFileAtomic(dir / "in.vtx", "1\r\n00:00:10,000 --> 00:00:12,000\r\n''lt's'' here\r\n\r\n"
                                    "2\r\n00:00:20,000 --> 00:00:20,500\r\nand l said\r\n\r\n"
                                    "3\r\n00:00:40,000 --> 00:00:41,000\r\nat last\r\n\r\n");
    RipRun r = rip("--convert " + q(dir / "in.vtx") +
                   " --offset -00:00:05,000 --stretch 00:00:35,000 --durations 500+50"
                   " --min-interval 100 --fix-quotes --fix-il en");
    ASSERT_EQ(r.status, 0) << r.err;
    // Text first, so that durations count the repaired text; then offset: 5,
    // 15, 35; stretch x2: 10, 30, 70; durations: 500 + 50 x characters.
    EXPECT_EQ(r.out, "1\r\n00:00:10,000 --> 00:00:11,050\r\n\"lt's\" here\r\n\r\n"
                     "2\r\n00:00:30,000 --> 00:00:31,000\r\nand I said\r\n\r\n"
                     "3\r\n00:01:10,000 --> 00:01:10,850\r\nat last\r\n\r\n");
    r = rip("--convert " + q(dir / "in.vtx") + " --durations fixed:15000 --min-interval 100");
    EXPECT_NE(r.out.find("00:00:10,000 --> 00:00:19,900"), std::string::npos) << r.out;
}

TEST_F(ConvertTest, QuestionsGetTheDocumentedAnswersWithoutATerminal) {
    writeFileAtomic(dir / "in.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n"
                                    "2\r\n00:00:05,000 --> 00:00:06,000\r\nb\r\n\r\n");
    // Yes: the first start is brought to zero.
    RipRun r = rip("--convert " + q(dir / "in.vtx") + " --offset -00:00:02,000");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("00:00:00,000 --> 00:00:00,000\r\na"), std::string::npos);
    EXPECT_NE(r.err.find("will be reduced to 00:00:00,000"), std::string::npos);
    // No: nothing half-shifted is written.
    r = rip("--convert " + q(dir / "in.vtx") + " --offset -00:00:02,000 --answer no -o " +
            q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.vtx"));
}

TEST_F(ConvertTest, RefusedCorrectionsWriteNothing) {
    writeFileAtomic(dir / "in.vtx", "1\r\n00:00:00,000 --> 00:00:02,000\r\na\r\n\r\n");
    RipRun r =
        rip("--convert " + q(dir / "in.vtx") + " --stretch 00:00:05,000 -o " + q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("00:00:00,000"), std::string::npos) << r.err;
    r = rip("--convert " + q(dir / "in.vtx") + " --stretch -00:00:05,000 -o " + q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("larger than the total file time"), std::string::npos) << r.err;
    r = rip("--convert " + q(dir / "in.vtx") + " --split 00:01:00,000-00:00:10,000 -o " +
            q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("The Stop time is smaller than the Start time !"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.vtx"));
}

TEST_F(ConvertTest, DamagedEntriesAreSkippedReportedAndTheRestWritten) {
    writeFileAtomic(dir / "in.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n\r\n"
                                    "2\r\n00:00:03,000 --> 00:00:04,000  X1:abc\r\nb\r\n\r\n"
                                    "3\r\n00:00:05,000 --> 00:00:06,000\r\nc\r\n\r\n");
    writeFileAtomic(dir / "out.vtx", "old");
    RipRun r = rip("--convert " + q(dir / "in.vtx") + " -o " + q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error in file at Subtitle N\xC2\xB0 3"), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(dir / "out.vtx"), "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n"
                                          "2\r\n00:00:05,000 --> 00:00:06,000\r\nc\r\n\r\n");
    // --answer no stops at the first damaged entry and keeps the old output.
    writeFileAtomic(dir / "out.vtx", "old");
    r = rip("--convert " + q(dir / "in.vtx") + " --answer no -o " + q(dir / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(fileBytes(dir / "out.vtx"), "old");
}

TEST_F(ConvertTest, BadCommandLinesAndUnreadableFilesAreRefusedClearly) {
    writeFileAtomic(dir / "in.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n");
    const std::string in = q(dir / "in.vtx");
    struct Bad {
        std::string options, names;
    } bad[] = {
        {"--offset 1:00", "--offset"},
        {"--stretch 00:61:00,000", "--stretch"},
        {"--durations 500", "--durations"},
        {"--durations fixed:70000", "--durations"},
        {"--min-interval 10000", "--min-interval"},
        {"--fix-il es", "--fix-il"},
        {"--split 00:00:01,000", "--split"},
        {"-f vtt", "--format"},
        {"-f subviewer2 --delay -5", "--delay"},
        {"--colours 000000,FFFFFF", "--colours"},
        {"--blend 0,15,16,15", "--blend"},
        {"--frame-rate secam", "--frame-rate"},
        {"--font-colour white", "--font-colour"},
    };
    for (const Bad& b : bad) {
        RipRun r = rip("--convert " + in + " " + b.options);
        EXPECT_EQ(r.status, 2) << b.options;
        EXPECT_NE(r.err.find(b.names), std::string::npos) << b.options << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << b.options;
    }
    RipRun r = rip("--convert " + q(dir / "missing.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.vtx"), std::string::npos);
    r = rip("--convert " + in + " -o " + q(dir / "no folder" / "out.vtx"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("out.vtx"), std::string::npos);
    r = rip("--convert");
    EXPECT_EQ(r.status, 2);
}
