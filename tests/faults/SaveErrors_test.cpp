#include "../settings/TempFolder.h"
#include "Process.h"
#include "base/Files.h"
#include "ocr/MatrixFile.h"
#include "settings/SettingsFile.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

// Failures no test folder can produce on demand (a flush that the disk
// refuses, a rename that the file system refuses) are injected here: this
// executable's own fsync and rename come before the C library's, and fail
// with the chosen error while it is set.
namespace {
int g_fsyncError = 0;
int g_renameError = 0;
} // namespace

extern "C" int fsync(int fd) {
    if (g_fsyncError != 0) {
        errno = g_fsyncError;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_renameError != 0) {
        errno = g_renameError;
        return -1;
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

struct InjectedError {
    int& slot;
    InjectedError(int& s, int err) : slot(s) { slot = err; }
    ~InjectedError() { slot = 0; }
};

// A save that fails at the given step says so, naming the file and the
// reason, keeps the old file and removes its temporary file.
void expectSaveFails(const std::function<Result(const fs::path&)>& save, int& slot, int err) {
    TempFolder dir;
    const fs::path target = dir / "target";
    writeText(target, "[OLD]\r\nkept=1\r\n");
    Result r;
    {
        InjectedError inject(slot, err);
        r = save(target);
    }
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(target.string()), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(std::strerror(err)), std::string::npos) << r.error;
    EXPECT_EQ(readText(target), "[OLD]\r\nkept=1\r\n");
    EXPECT_TRUE(otherEntries(dir.path(), "target").empty());
    // The same save goes through once the fault is gone.
    EXPECT_TRUE(save(target).ok);
    EXPECT_NE(readText(target), "[OLD]\r\nkept=1\r\n");
}

} // namespace

TEST(SaveErrors, FailedFlushOrRenameIsReportedAndKeepsTheOldFile) {
    CharMatrix matrix;
    CharMatrixEntry e;
    e.Width = e.Height = 3;
    e.Text = "a";
    matrix.AppendEntry(e);
    ProgramSettings program;
    const std::vector<std::pair<const char*, std::function<Result(const fs::path&)>>> saves = {
        {"atomic write", [](const fs::path& p) { return writeFileAtomic(p, "new bytes"); }},
        {"matrix", [&](const fs::path& p) { return SaveMatrixFile(p, matrix); }},
        {"settings",
         [&](const fs::path& p) { return SaveSettings(p, program, {}, BmpOutputSettings{}); }},
    };
    for (const auto& [name, save] : saves) {
        SCOPED_TRACE(name);
        expectSaveFails(save, g_fsyncError, EIO);
        expectSaveFails(save, g_renameError, EXDEV);
    }
}

// A folder in the place of the file: the rename is refused and said so.
TEST(SaveErrors, FolderInThePlaceOfTheFileIsReported) {
    TempFolder dir;
    fs::create_directory(dir / "film.vtx");
    writeText(dir / "film.vtx" / "inside", "x");
    const Result r = writeFileAtomic(dir / "film.vtx", "text");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(std::strerror(EISDIR)), std::string::npos) << r.error;
    EXPECT_EQ(readText(dir / "film.vtx" / "inside"), "x");
    EXPECT_TRUE(otherEntries(dir.path(), "film.vtx").empty());
}

// A name as long as the file system allows: the temporary file beside it
// must not need a longer one.
TEST(SaveErrors, LongestFileNameCanBeSaved) {
    TempFolder dir;
    const std::string name = std::string(251, 'n') + ".vtx";
    ASSERT_EQ(name.size(), 255u);
    const Result first = writeFileAtomic(dir / name, "first");
    ASSERT_TRUE(first.ok) << first.error;
    const Result second = writeFileAtomic(dir / name, "second");
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(readText(dir / name), "second");
    EXPECT_TRUE(otherEntries(dir.path(), name).empty());
}
