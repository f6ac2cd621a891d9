#include "../settings/TempFolder.h"
#include "Process.h"
#include "ocr/MatrixFile.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kDiscs = fs::path(MIRTAL_TEST_DATA) / "discs";

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The time lines of a native subtitle file, one per entry.
std::vector<std::string> timeLines(const std::string& vtx) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < vtx.size()) {
        size_t end = vtx.find('\n', at);
        if (end == std::string::npos) end = vtx.size();
        std::string line = vtx.substr(at, end - at);
        if (has(line, " --> ")) out.push_back(line);
        at = end + 1;
    }
    return out;
}

// A matrix of one glyph that nothing on the discs looks like.
std::string oneGlyphMatrix() {
    CharMatrix m;
    CharMatrixEntry e;
    e.Width = e.Height = 45;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x) e.setPixel(x, y, (x + y) % 2 == 0);
    e.Text = "#";
    m.AppendEntry(e);
    return EncodeMatrix(m);
}

// Answers every glyph question with "x", so that the matrix grows.
void answerX(const std::string& line, FILE* answers) {
    if (line.rfind("GLYPH ", 0) != 0) return;
    std::fputs("x\n", answers);
    std::fflush(answers);
}

// A rip whose first file was cut short: the entries of the first file up to
// the cut, then every entry of the second file but the one whose subpicture
// began at the end of the first, nothing glued or lost.
void expectCutRip(const std::vector<std::string>& got, const std::vector<std::string>& all,
                  size_t fromFirst) {
    ASSERT_LT(fromFirst, all.size());
    const size_t fromSecond = all.size() - fromFirst - 1;
    ASSERT_GT(got.size(), fromSecond) << "nothing of the first file";
    ASSERT_LT(got.size(), all.size()) << "the cut lost nothing";
    const size_t kept = got.size() - fromSecond;
    for (size_t i = 0; i < got.size(); ++i) {
        const std::string& want = i < kept ? all[i] : all[fromFirst + 1 + (i - kept)];
        EXPECT_EQ(got[i], want) << "entry " << i + 1 << " of " << got.size() << ", " << kept
                                << " of them from the first file";
    }
}

class RipCommandFaults : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB"})
            fs::copy_file(kDiscs / "split" / "VIDEO_TS" / name, m_vobs / name);
    }

    std::vector<std::string> ocrArgs(bool ask, const fs::path& input = {}) const {
        return {"--action",
                "ocr",
                "--matrix",
                (m_out / "film.qmx").string(),
                ask ? "--ask" : "--no-ask",
                "--space-width",
                "11",
                "-o",
                (m_out / "film.vtx").string(),
                input.empty() ? m_vobs.path().string() : input.string()};
    }

    // The native file of a rip with the given arguments, and its entries.
    std::vector<std::string> ripEntries(const std::vector<std::string>& args, bool answering) {
        fs::remove(m_out / "film.qmx");
        const ChildEnd end = runConversation(MIRTAL_RIP_EXE, args, "/dev/null",
                                             [&](const std::string& line, FILE* a) {
                                                 if (answering) answerX(line, a);
                                             });
        EXPECT_EQ(end.exitCode, 0) << end.report;
        return timeLines(readText(m_out / "film.vtx"));
    }

    TempFolder m_vobs, m_out;
};

} // namespace

// A disk that fills up: the matrix and the subtitle file cannot be written.
// The program says why, keeps both old files whole, leaves nothing beside
// them, hands the subtitles to standard output and ends with status 1.
TEST_F(RipCommandFaults, FullDiskKeepsTheOldFilesAndSaysWhy) {
    const std::string oldMatrix = oneGlyphMatrix();
    const std::string oldText = "1\r\n00:00:01,000 --> 00:00:02,000\r\nold\r\n\r\n";
    writeText(m_out / "film.qmx", oldMatrix);
    writeText(m_out / "film.vtx", oldText);
    TempFolder tmp;
    std::string lines;
    for (int i = 0; i < 4000; ++i) lines += "x\n";
    writeText(tmp / "answers", lines);
    // Room for the old files, not for a matrix of one more glyph nor for the
    // subtitles;
    // the fallback places for the matrix are under the same limit.
    const ChildEnd full = runProgram(
        MIRTAL_RIP_EXE, ocrArgs(true),
        [&] {
            ::setenv("TMPDIR", m_out.path().c_str(), 1);
            limitFileSize(700);
        },
        (tmp / "answers").string(), "/dev/null");
    EXPECT_TRUE(full.exited);
    EXPECT_EQ(full.exitCode, 1) << full.report;
    EXPECT_TRUE(has(full.report, "Cannot write " + (m_out / "film.qmx").string())) << full.report;
    EXPECT_TRUE(has(full.report, std::strerror(EFBIG))) << full.report;
    EXPECT_TRUE(has(full.report, "the learned glyphs could not be saved")) << full.report;
    EXPECT_TRUE(has(full.report, "Cannot write " + (m_out / "film.vtx").string())) << full.report;
    EXPECT_TRUE(has(full.report, "the subtitles follow on standard output")) << full.report;
    EXPECT_TRUE(readText(m_out / "film.qmx") == oldMatrix);
    EXPECT_EQ(readText(m_out / "film.vtx"), oldText);
    std::vector<std::string> left = otherEntries(m_out.path(), "film.qmx");
    EXPECT_EQ(left, std::vector<std::string>{"film.vtx"});

    // Without the limit the same answers are saved: the run above failed
    // because of the disk and not because of its answers.
    const ChildEnd free =
        runProgram(MIRTAL_RIP_EXE, ocrArgs(true), {}, (tmp / "answers").string(), "/dev/null");
    EXPECT_EQ(free.exitCode, 0) << free.report;
    EXPECT_GT(readText(m_out / "film.qmx").size(), oldMatrix.size());
    EXPECT_GT(timeLines(readText(m_out / "film.vtx")).size(), 4u);
}

// A VOB file cut short before the run: the warning names it, the rip goes
// on with the next file, and the subtitles of both are written.
TEST_F(RipCommandFaults, TruncatedVobIsReportedAndTheRestWritten) {
    const fs::path first = m_vobs / "VTS_01_1.VOB";
    const size_t fromFirst = ripEntries(ocrArgs(false, first), false).size();
    const std::vector<std::string> all = ripEntries(ocrArgs(false), false);

    fs::resize_file(first, fs::file_size(first) / 2 + 1000);
    const ChildEnd cut = runProgram(MIRTAL_RIP_EXE, ocrArgs(false));
    EXPECT_EQ(cut.exitCode, 1) << cut.report;
    EXPECT_TRUE(has(cut.report, "Can't open file " + first.string())) << cut.report;
    expectCutRip(timeLines(readText(m_out / "film.vtx")), all, fromFirst);
}

// The VOB being read is cut short while the user answers a glyph question:
// the read error is reported, the answers so far are kept in the matrix,
// and the subtitles of the rest of the job are written.
TEST_F(RipCommandFaults, VobTruncatedWhileReadKeepsTheAnswersAndTheRest) {
    const fs::path first = m_vobs / "VTS_01_1.VOB";
    const size_t fromFirst = ripEntries(ocrArgs(true, first), true).size();
    const std::vector<std::string> all = ripEntries(ocrArgs(true), true);
    fs::remove(m_out / "film.qmx");
    fs::remove(m_out / "film.vtx");

    const uintmax_t size = fs::file_size(first);
    bool cutDone = false;
    const ChildEnd cut = runConversation(MIRTAL_RIP_EXE, ocrArgs(true), "/dev/null",
                                         [&](const std::string& line, FILE* a) {
                                             if (!cutDone && line.rfind("GLYPH ", 0) == 0) {
                                                 fs::resize_file(first, size * 2 / 3 + 300);
                                                 cutDone = true;
                                             }
                                             answerX(line, a);
                                         });
    ASSERT_TRUE(cutDone);
    EXPECT_EQ(cut.exitCode, 1) << cut.report;
    EXPECT_TRUE(has(cut.report, "Can't open file " + first.string())) << cut.report;
    expectCutRip(timeLines(readText(m_out / "film.vtx")), all, fromFirst);
    CharMatrix matrix;
    ASSERT_TRUE(LoadMatrixFile(m_out / "film.qmx", matrix));
    EXPECT_GT(matrix.Count(), 0);
}
