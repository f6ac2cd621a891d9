#include "Process.h"
#include "TempFolder.h"
#include "ocr/MatrixFile.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

// A disk that fills up under mirtal-rip: neither the grown matrix nor the
// subtitle file can be written. It says why, keeps both old files whole,
// leaves nothing beside them, hands the subtitles to standard output and
// ends with status 1. Without the limit the same answers are saved: the
// run failed because of the disk and not because of its answers.
TEST(RipCommandFaults, FullDiskKeepsTheOldFilesAndSaysWhy) {
    TempFolder out, tmp;
    CharMatrix one; // a glyph that nothing on the disc looks like
    CharMatrixEntry e;
    e.Width = e.Height = 45;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x) e.setPixel(x, y, (x + y) % 2 == 0);
    e.Text = "#";
    one.AppendEntry(e);
    const std::string oldMatrix = EncodeMatrix(one);
    const std::string oldText = "1\r\n00:00:01,000 --> 00:00:02,000\r\nold\r\n\r\n";
    writeText(out / "film.qmx", oldMatrix);
    writeText(out / "film.vtx", oldText);
    std::string answers;
    for (int i = 0; i < 4000; ++i) answers += "x\n";
    writeText(tmp / "answers", answers);
    const std::vector<std::string> args = {
        "--action",
        "ocr",
        "--matrix",
        (out / "film.qmx").string(),
        "--ask",
        "-o",
        (out / "film.vtx").string(),
        (fs::path(MIRTAL_TEST_DATA) / "discs" / "pal_en" / "VIDEO_TS").string()};
    // Room for the old files only; the matrix's fallback places are under
    // the same limit.
    const ChildEnd full = runProgram(
        MIRTAL_RIP_EXE, args,
        [&] {
            ::setenv("TMPDIR", out.path().c_str(), 1);
            limitFileSize(700);
        },
        (tmp / "answers").string());
    EXPECT_TRUE(full.exited);
    EXPECT_EQ(full.exitCode, 1) << full.report;
    for (const std::string& said :
         {"Cannot write " + (out / "film.qmx").string(), std::string(std::strerror(EFBIG)),
          std::string("the learned glyphs could not be saved"),
          "Cannot write " + (out / "film.vtx").string(),
          std::string("the subtitles follow on standard output")})
        EXPECT_NE(full.report.find(said), std::string::npos) << said << "\n" << full.report;
    EXPECT_EQ(readText(out / "film.qmx"), oldMatrix);
    EXPECT_EQ(readText(out / "film.vtx"), oldText);
    EXPECT_EQ(otherEntries(out.path(), "film.qmx"), std::vector<std::string>{"film.vtx"});

    const ChildEnd free = runProgram(MIRTAL_RIP_EXE, args, {}, (tmp / "answers").string());
    EXPECT_EQ(free.exitCode, 0) << free.report;
    EXPECT_GT(readText(out / "film.qmx").size(), oldMatrix.size());
    EXPECT_GT(readText(out / "film.vtx").size(), 1000u);
}
