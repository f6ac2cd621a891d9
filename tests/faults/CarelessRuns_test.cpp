#include "CliRun.h"
#include "Process.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {
const std::string kTwoStreams = discFile("pal_en_fr", "VTS_01_1.VOB").string();
} // namespace

// Outputs the run reads (exit 2), jobs stopping early (exit 1: the partial result goes
// beside the output), FIFOs (refused, not waited on) and floods of one warning.
TEST(CarelessRuns, OutputsInUseEmptyOrPartialResultsAndFloodsOfWarnings) {
    TempFolder d;
    fs::copy_file(kTwoStreams, d / "a.VOB");
    fs::create_hard_link(d / "a.VOB", d / "link.VOB");
    fs::copy_file(kTwoStreams, d / "p000002.bmp");
    fs::create_directory(d / "q000003.bmp");
    writeText(d / "m.qmx", "a matrix");
    writeText(d / "s.ini", "[CONFIG]\n");
    writeText(d / "a.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    std::mt19937 random(18); // a bad pack every 2 KiB
    std::string bytes(2048 * 1000, '\0');
    for (char& c : bytes) c = char(random());
    writeText(d / "random.vob", bytes);
    fs::copy_file(kData / "vobsub" / "nopts.sub", d / "v.sub");
    for (const char* fifo : {"f.VOB", "VTS_01_0.IFO", "v.idx", "f.qmx", "f.vtx", "f.ini"})
        ASSERT_EQ(::mkfifo((d / fifo).c_str(), 0600), 0);
    const auto in = [&](const std::string& name) { return (d / name).string(); };
    const std::string vob = in("a.VOB"), link = in("link.VOB"), m = in("m.qmx"), s = in("s.ini"),
                      out = in("out.txt"), partial = in("out.partial.txt"),
                      badPack = (kData / "broken" / "bad_pack_start.vob").string(),
                      kept = " of subpictures 1 to 4; " + out + " was left as it was",
                      none = "no subpictures in stream 5 (streams with subpictures: 1, 2)";
    const Args ocr = {"--action", "ocr", "--matrix"}, bmp = {"--action", "bmp", "--prefix"};
    const auto run = [](Args head, const Args& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const struct Case {
        Args args;
        int status;
        std::string said, alsoSaid;
    } cases[] = {
        {run(ocr, {m, "-o", m, vob}), 2, m, m},
        {run(ocr, {m, "-o", link, vob}), 2, link, vob},
        {run(ocr, {vob, vob}), 2, vob, vob},
        {run(ocr, {in("new.qmx"), "-o", in("./new.qmx"), vob}), 2, "new.qmx", in("new.qmx")},
        {run(ocr, {m, "--settings", s, "-o", s, vob}), 2, s, s},
        {run(bmp, {in("p"), "--timing", "-o", link, vob}), 2, link, vob},
        {run(bmp, {in("p"), "--timing", "--profile", s, "-o", s, vob}), 2, s, s},
        {run(bmp, {in("p"), in("p000002.bmp")}), 2, "--prefix " + in("p"), in("p000002.bmp")},
        {{"--convert", in("a.vtx"), "-o", in("a.vtx")}, 0, "", ""},
        {run(ocr, {in("n.qmx"), "--no-ask", "-s", "5", "-o", out, kTwoStreams}), 1, none, ""},
        {{"--list", "-s", "5", kTwoStreams}, 1, "no subpictures in stream 5", ""},
        {run(ocr, {in("n.qmx"), "--no-ask", "--answer", "no", "-o", out, badPack}), 1,
         partial + " holds only the 4 subtitles" + kept, ""},
        // A picture that cannot be written stops the job there.
        {run(bmp, {in("q"), "--timing", "-o", out, discFile("pal_en", "VTS_01_1.VOB")}), 1,
         partial + " holds only the 2 entries of subpictures 1 to 2; " + out,
         " was left as it was"},
        {{"--list", in("random.vob")}, 1, "... and 992 more bad packs\n", ""},
        {{"--list", in("f.VOB")}, 2, "FIFO", ""},
        {{"--list", in("VTS_01_0.IFO")}, 2, "FIFO", ""},
        {{"--list", in("v.idx")}, 2, "FIFO", ""},
        {{"--convert", in("f.vtx")}, 2, "FIFO", ""},
        {run(ocr, {in("f.qmx"), vob}), 2, "FIFO", ""},
        {run(bmp, {in("p"), "--profile", in("f.ini"), vob}), 2, "FIFO", ""},
    };
    for (const Case& c : cases) {
        writeText(out, "a good file");
        fs::remove(partial);
        const ChildEnd r = runInChild([&](const auto& report) {
            ::alarm(60);
            const CliRun run = ripHere(c.args);
            report(run.err);
            return run.status;
        });
        SCOPED_TRACE(c.args.back() + " " + c.said);
        EXPECT_EQ(r.exitCode, c.status) << r.report;
        EXPECT_TRUE(has(r.report, c.said) && has(r.report, c.alsoSaid)) << r.report;
        EXPECT_EQ(readText(out) + readText(d / "m.qmx") + readText(d / "s.ini"),
                  "a good filea matrix[CONFIG]\n");
        EXPECT_EQ(fs::file_size(d / "a.VOB"), fs::file_size(kTwoStreams));
        EXPECT_FALSE(fs::exists(d / "new.qmx") || fs::exists(d / "n.qmx"));
        EXPECT_EQ(fs::exists(partial), has(c.said, "partial"));
        EXPECT_LE(countOf(r.report, "Bad Packet Header"), 8u);
    }
}
