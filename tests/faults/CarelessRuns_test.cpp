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
using Args = std::vector<std::string>;

namespace {
const fs::path kTwoStreams = discFile("pal_en_fr", "VTS_01_1.VOB");
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
    const auto in = [&](const std::string& name) { return (d / name).string(); };
    const std::string vob = in("a.VOB"), link = in("link.VOB"), m = in("m.qmx"), s = in("s.ini");
    const Args ocr = {"--action", "ocr", "--matrix"},
               bmp = {"--action", "bmp", "--prefix", in("p")};
    const auto run = [](Args head, const Args& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const struct Case {
        Args args;
        std::string output, inUse; // both named; empty for an allowed run
    } cases[] = {
        {run(ocr, {m, "-o", m, vob}), m, m},
        {run(ocr, {m, "-o", link, vob}), link, vob},
        {run(ocr, {vob, vob}), vob, vob},
        {run(ocr, {in("new.qmx"), "-o", in("./new.qmx"), vob}), "new.qmx", in("new.qmx")},
        {run(ocr, {m, "--settings", s, "-o", s, vob}), s, s},
        {run(bmp, {"--timing", "-o", link, vob}), link, vob},
        {run(bmp, {"--timing", "--profile", s, "-o", s, vob}), s, s},
        {run(bmp, {in("p000002.bmp")}), "--prefix " + in("p"), in("p000002.bmp")},
        {{"--convert", in("a.vtx"), "-o", in("a.vtx")}, "", ""},
    };
    for (const Case& c : cases) {
        const CliRun r = ripHere(c.args);
        SCOPED_TRACE(c.args.back() + " " + c.output);
        EXPECT_EQ(r.status, c.output.empty() ? 0 : 2) << r.err;
        EXPECT_TRUE(has(r.err, c.output) && has(r.err, c.inUse)) << r.err;
        EXPECT_EQ(readText(d / "m.qmx") + readText(d / "s.ini"), "a matrix[CONFIG]\n");
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
    const auto in = [&](const std::string& name) { return (d / name).string(); };
    const std::string vob = in("VTS_01_1.VOB"), ini = in("f.ini");
    const std::vector<Args> runs = {
        {"--list", in("f.VOB")},
        {"--list", in("VTS_01_0.IFO")},
        {"--list", in("v.idx")},
        {"--action", "ocr", "--matrix", in("f.qmx"), vob},
        {"--convert", in("f.vtx")},
        {"--action", "ocr", "--matrix", in("m.qmx"), "--settings", ini, vob},
        {"--action", "bmp", "--prefix", in("p"), "--profile", ini, vob},
    };
    // The last run: the reader of the windows' settings, language and profile files.
    for (size_t i = 0; i <= runs.size(); ++i) {
        const ChildEnd end = runInChild([&](const auto& report) {
            ::alarm(60);
            IniFile file;
            const CliRun r = i < runs.size() ? ripHere(runs[i]) : CliRun{};
            const Result loaded = i < runs.size() ? Result{} : file.load(ini);
            report(r.err + loaded.error);
            return i < runs.size() ? r.status : int(!loaded.ok);
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
    const std::string out = (d / "out.txt").string(), partial = (d / "out.partial.txt").string();
    const std::string badPack = (kData / "broken" / "bad_pack_start.vob").string();
    const std::string kept = " of subpictures 1 to 4; " + out + " was left as it was";
    const Args ocr = {"--action", "ocr", "--matrix", (d / "m.qmx").string(), "--no-ask", "-o", out};
    const auto bmp = [&](const std::string& prefix) {
        return Args{"--action", "bmp", "--prefix", (d / prefix).string(), "--timing", "-o", out};
    };
    const auto run = [](Args head, const Args& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const std::string none = "no subpictures in stream 5 (streams with subpictures: 1, 2)";
    const struct Case {
        Args args;
        std::string said;
    } cases[] = {
        {run(ocr, {"-s", "5", kTwoStreams.string()}), none},
        {run(bmp("p"), {"-s", "5", kTwoStreams.string()}), none},
        {{"--list", "-s", "5", kTwoStreams.string()}, "no subpictures in stream 5"},
        {run(ocr, {"--answer", "no", badPack}), partial + " holds only the 4 subtitles" + kept},
        {run(bmp("p"), {"--answer", "no", badPack}), partial + " holds only the 4 entries" + kept},
        // A picture that cannot be written stops the job there.
        {run(bmp("q"), {discFile("pal_en", "VTS_01_1.VOB").string()}),
         partial + " holds only the 2 entries of subpictures 1 to 2; " + out +
             " was left as it was"},
    };
    fs::create_directory(d / "q000003.bmp");
    for (const Case& c : cases) {
        writeText(out, "a good file");
        fs::remove(partial);
        const CliRun r = ripHere(c.args);
        SCOPED_TRACE(c.said);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(has(r.err, c.said)) << r.err;
        EXPECT_EQ(readText(out), "a good file");
        EXPECT_EQ(fs::exists(partial), has(c.said, "partial"));
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
    EXPECT_EQ(countOf(r.err, "Bad Packet Header"), 8u) << r.err;
    EXPECT_TRUE(has(r.err, "... and 992 more bad packs\n")) << r.err;
}
