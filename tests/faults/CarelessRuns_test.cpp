#include "CliRun.h"
#include "Process.h"
#include "TempFolder.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {
const fs::path kTwoStreams = kData / "discs" / "pal_en_fr" / "VIDEO_TS" / "VTS_01_1.VOB";
} // namespace

// An output that is a file the run reads is refused before any work, with
// a message naming both; the file is left as it was.
TEST(CarelessRuns, AnOutputThatIsAFileInUseIsRefusedBeforeAnyWork) {
    TempFolder d;
    fs::copy_file(kTwoStreams, d / "a.VOB");
    fs::create_hard_link(d / "a.VOB", d / "link.VOB");
    fs::copy_file(kTwoStreams, d / "p000002.bmp");
    writeText(d / "m.qmx", "a matrix");
    writeText(d / "s.ini", "[CONFIG]\n");
    writeText(d / "a.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    const std::string vob = (d / "a.VOB").string(), link = (d / "link.VOB").string();
    const std::string matrix = (d / "m.qmx").string(), settings = (d / "s.ini").string();
    struct Case {
        std::vector<std::string> args;
        std::string output, inUse; // both named; empty for an allowed run
    } cases[] = {
        {{"--action", "ocr", "--matrix", matrix, "-o", matrix, vob}, matrix, matrix},
        {{"--action", "ocr", "--matrix", matrix, "-o", link, vob}, link, vob},
        {{"--action", "ocr", "--matrix", vob, vob}, vob, vob},
        {{"--action", "ocr", "--matrix", (d / "new.qmx").string(), "-o",
          (d / "." / "new.qmx").string(), vob},
         "new.qmx",
         (d / "new.qmx").string()},
        {{"--action", "ocr", "--matrix", matrix, "--settings", settings, "-o", settings, vob},
         settings,
         settings},
        {{"--action", "bmp", "--prefix", (d / "p").string(), "--timing", "-o", link, vob},
         link,
         vob},
        {{"--action", "sup", "--prefix", (d / "p").string(), "--timing", "--profile", settings,
          "-o", settings, vob},
         settings,
         settings},
        {{"--action", "bmp", "--prefix", (d / "p").string(), (d / "p000002.bmp").string()},
         "--prefix " + (d / "p").string(),
         (d / "p000002.bmp").string()},
        {{"--convert", (d / "a.vtx").string(), "-o", (d / "a.vtx").string()}, "", ""},
    };
    for (const Case& c : cases) {
        const CliRun r = ripHere(c.args);
        SCOPED_TRACE(c.args.back() + " " + c.output);
        if (c.output.empty()) {
            EXPECT_EQ(r.status, 0) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_TRUE(has(r.err, c.output) && has(r.err, c.inUse)) << r.err;
        EXPECT_EQ(readText(d / "m.qmx"), "a matrix");
        EXPECT_EQ(readText(d / "s.ini"), "[CONFIG]\n");
        EXPECT_EQ(fs::file_size(d / "a.VOB"), fs::file_size(kTwoStreams));
        EXPECT_FALSE(fs::exists(d / "new.qmx"));
    }
}

// A FIFO in the place of any file is refused with a message instead of
// waiting forever in open() for a writer. The run is a child with a
// watchdog, so that a wait fails the test instead of hanging it.
TEST(CarelessRuns, AFifoGivenAsAnyFileIsRefusedInsteadOfWaitedOn) {
    TempFolder d;
    fs::copy_file(kTwoStreams, d / "VTS_01_1.VOB");
    fs::copy_file(kData / "vobsub" / "nopts.sub", d / "v.sub");
    for (const char* fifo : {"f.VOB", "VTS_01_0.IFO", "v.idx", "f.qmx", "f.vtx", "f.ini"})
        ASSERT_EQ(::mkfifo((d / fifo).c_str(), 0600), 0);
    const std::string vob = (d / "VTS_01_1.VOB").string(), m = (d / "m.qmx").string();
    const std::string fifoIni = (d / "f.ini").string();
    const std::vector<std::vector<std::string>> runs = {
        {"--list", (d / "f.VOB").string()},
        {"--list", (d / "VTS_01_0.IFO").string()},
        {"--list", (d / "v.idx").string()},
        {"--action", "ocr", "--matrix", (d / "f.qmx").string(), vob},
        {"--convert", (d / "f.vtx").string()},
        {"--action", "ocr", "--matrix", m, "--settings", fifoIni, vob},
        {"--action", "bmp", "--prefix", (d / "p").string(), "--profile", fifoIni, vob},
    };
    // The last run: the reader of the windows' settings, language and
    // profile files.
    for (size_t i = 0; i <= runs.size(); ++i) {
        const ChildEnd end = runInChild([&](const auto& report) {
            ::alarm(60);
            if (i < runs.size()) {
                const CliRun r = ripHere(runs[i]);
                report(r.err);
                return r.status;
            }
            IniFile ini;
            const Result r = ini.load(fifoIni);
            report(r.error);
            return r.ok ? 0 : 1;
        });
        SCOPED_TRACE(i);
        EXPECT_TRUE(end.exited) << "signal " << end.signal;
        EXPECT_NE(end.exitCode, 0);
        EXPECT_TRUE(has(end.report, "FIFO")) << end.report;
    }
}

// A job that finds nothing leaves the output as it was, names the streams
// that do have subpictures and fails; one stopped early writes what it has
// beside the output, never over it, and says so.
TEST(CarelessRuns, EmptyOrPartialResultsNeverReplaceTheOutput) {
    TempFolder d;
    const std::string out = (d / "out.txt").string(), prefix = (d / "p").string();
    const std::string emptyStream = kTwoStreams.string();
    const std::string palEn = (kData / "discs" / "pal_en" / "VIDEO_TS" / "VTS_01_1.VOB").string();
    const std::string badPack = (kData / "broken" / "bad_pack_start.vob").string();
    const std::string partial = (d / "out.partial.txt").string() + " holds only the 4 ";
    const std::string kept = " of subpictures 1 to 4; " + out + " was left as it was";
    struct Case {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"--action", "ocr", "--matrix", (d / "m.qmx").string(), "--no-ask", "-s", "5", "-o", out,
          emptyStream},
         "no subpictures in stream 5 (streams with subpictures: 1, 2)"},
        {{"--action", "bmp", "--prefix", prefix, "--timing", "-s", "5", "-o", out, emptyStream},
         "no subpictures in stream 5 (streams with subpictures: 1, 2)"},
        {{"--list", "-s", "5", emptyStream}, "no subpictures in stream 5"},
        {{"--action", "ocr", "--matrix", (d / "m.qmx").string(), "--no-ask", "--answer", "no", "-o",
          out, badPack},
         partial + "subtitles" + kept},
        {{"--action", "bmp", "--prefix", prefix, "--timing", "--answer", "no", "-o", out, badPack},
         partial + "entries" + kept},
        // A picture that cannot be written stops the job there.
        {{"--action", "bmp", "--prefix", (d / "q").string(), "--timing", "-o", out, palEn},
         (d / "out.partial.txt").string() + " holds only the 2 entries of subpictures 1 to 2; " +
             out + " was left as it was"},
    };
    fs::create_directory(d / "q000003.bmp");
    for (const Case& c : cases) {
        writeText(out, "a good file");
        fs::remove(d / "out.partial.txt");
        const CliRun r = ripHere(c.args);
        SCOPED_TRACE(c.said);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(has(r.err, c.said)) << r.err;
        EXPECT_EQ(readText(out), "a good file");
        EXPECT_EQ(fs::exists(d / "out.partial.txt"), has(c.said, "partial"));
    }
}

// A file of random bytes has a bad pack every 2 KiB: a few are shown, the
// rest counted.
TEST(CarelessRuns, AFloodOfOneWarningIsShownAFewTimesThenCounted) {
    TempFolder d;
    std::mt19937 random(18);
    std::string bytes(2048 * 1000, '\0');
    for (char& c : bytes) c = char(random());
    writeText(d / "random.vob", bytes);
    const CliRun r = ripHere({"--list", (d / "random.vob").string()});
    EXPECT_EQ(r.status, 1);
    size_t shown = 0;
    for (size_t at = r.err.find("Bad Packet Header"); at != std::string::npos;
         at = r.err.find("Bad Packet Header", at + 1))
        ++shown;
    EXPECT_EQ(shown, 8u) << r.err;
    EXPECT_TRUE(has(r.err, "... and 992 more bad packs\n")) << r.err;
}
