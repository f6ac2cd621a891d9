// Every kind of file the programs save goes through the same atomic save.
#include "CliRun.h"
#include "Process.h"
#include "TempFolder.h"
#include "base/Files.h"
#include "ocr/MatrixFile.h"
#include "settings/SettingsFile.h"
#include "subtitles/BannerClock.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/TimeCode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/syscall.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

// Failures no folder produces on demand: these come before the C library's.
namespace {
int g_fsyncError = 0, g_renameError = 0;
} // namespace

extern "C" int fsync(int fd) {
    if (g_fsyncError != 0) return errno = g_fsyncError, -1;
    return int(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_renameError != 0) return errno = g_renameError, -1;
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

struct FileKind {
    std::string name;
    std::function<Result(const fs::path&, int)> save;
    std::array<std::string, 2> version = {};
};

const FileKind& kind(int which) {
    static FixedBannerClock clock("");
    static const auto kinds = [] {
        static std::string raw[2];
        static CharMatrix matrices[2];
        static std::unique_ptr<SubtitleDocument> docs[2];
        static ProgramSettings program[2];
        for (int v = 0; v < 2; ++v) {
            for (size_t i = 0; i < size_t(3 << 20) + 12345 * size_t(v); ++i)
                raw[v] += char('a' + v + (i * 7 + i / 4096) % 61);
            CharMatrixEntry glyph;
            glyph.Width = glyph.Height = uint8_t(3 + v);
            glyph.Text = "x";
            matrices[v].appendEntry(glyph);
            docs[v] = std::make_unique<SubtitleDocument>(clock);
            docs[v]->addSubtitle({"subtitle " + std::to_string(v)}, false, msToTimeCode(100),
                                 msToTimeCode(900), {});
            docs[v]->refreshList();
        }
        program[1].OpenDialogVob = "/media/dvd/VIDEO_TS/";
        std::vector<FileKind> k = {
            {"raw", [](const fs::path& p, int v) { return writeFileAtomic(p, raw[v]); }},
            {"matrix", [](const fs::path& p, int v) { return saveMatrixFile(p, matrices[v]); }},
            {"subtitles", [](const fs::path& p, int v) { return saveDocumentTo(*docs[v], p); }},
            {"settings", [](const fs::path& p, int v) {
                 return saveSettings(p, program[v], OutputOptions{}, BmpOutputSettings{});
             }}};
        // The bytes of each version (the settings file keeps what it does not write).
        for (FileKind& f : k) {
            TempFolder scratch;
            for (int v : {0, 1, 0}) {
                EXPECT_TRUE(f.save(scratch / "f", v).ok) << f.name;
                f.version[v] = readText(scratch / "f");
            }
            EXPECT_NE(f.version[0], f.version[1]) << f.name;
        }
        return k;
    }();
    return kinds[size_t(which)];
}

struct SaveFaults : ::testing::TestWithParam<int> {
    const FileKind& k = kind(GetParam());
};

// Whether the process has a file of the folder open (its temporary may have no name).
bool writesInto(pid_t pid, const fs::path& dir) {
    const std::string inside = dir.string() + "/";
    std::error_code ec;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
         !ec && it != end; it.increment(ec))
        if (fs::read_symlink(it->path(), ec).string().starts_with(inside)) return true;
    return false;
}

} // namespace

// A child saving version 1, 0, 1, ... is killed inside a save, ever later: the file is
// one version, whole, and the next save leaves nothing beside it.
TEST_P(SaveFaults, KillDuringASaveLeavesTheOldOrTheNewFile) {
    TempFolder dir;
    const fs::path target = dir / "target";
    ASSERT_TRUE(k.save(target, 0).ok);
    int midway = 0;
    for (int point = 0; point < 24 && !HasFailure(); ++point) {
        SCOPED_TRACE("kill point " + std::to_string(point));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            (void)!::write(ready[1], "r", 1);
            for (int v = 1;; v ^= 1) k.save(target, v);
        }
        ::close(ready[1]);
        char c = 0;
        (void)!::read(ready[0], &c, 1);
        // Bounded: the child keeps saving, so it opens a file long before.
        bool inside = false;
        for (long polls = 0; polls < 200000 && !inside; ++polls)
            inside = writesInto(pid, dir.path());
        for (int extra = 0; extra < point * 4; ++extra) (void)otherEntries(dir.path(), "target");
        midway += inside;
        ::kill(pid, SIGKILL);
        EXPECT_EQ(waitChild(pid, ready[0]).signal, SIGKILL);

        const std::string after = readText(target);
        EXPECT_TRUE(after == k.version[0] || after == k.version[1]) << after.size() << " bytes";
        EXPECT_TRUE(k.save(target, 0).ok);
        EXPECT_EQ(readText(target), k.version[0]);
        EXPECT_EQ(otherEntries(dir.path(), "target"), std::vector<std::string>{});
    }
    EXPECT_TRUE(k.name != "raw" || midway > 0) << "no kill fell inside its long write";
}

// A file size limit, a full tmpfs, a refused flush or rename: the save names the file and
// why, the old file stays whole, and once the fault is gone the same save goes through.
TEST_P(SaveFaults, RefusedSaveSaysWhyAndKeepsTheOldFile) {
    for (const int error : {EFBIG, ENOSPC, EIO, EXDEV}) {
        TempFolder dir;
        const fs::path target = dir / "target";
        const ChildEnd end = runInChild([&](const auto& report) {
            if (error == ENOSPC &&
                (::unshare(CLONE_NEWNS) != 0 ||
                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0))
                return 2;
            writeText(target, "old file");
            if (error == ENOSPC) {
                const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
                const std::string block(4096, 'f');
                while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
                }
            }
            if (error == EFBIG) limitFileSize(k.version[1].size() / 2);
            g_fsyncError = error == EIO ? EIO : 0;
            g_renameError = error == EXDEV ? EXDEV : 0;
            const Result r = k.save(target, 1);
            std::vector<std::string> left = otherEntries(dir.path(), "target");
            std::erase(left, "filler");
            report(readText(target) + "|" + std::to_string(left.size()) + "|" + r.error);
            g_fsyncError = g_renameError = 0;
            const bool again = (error != EIO && error != EXDEV) || k.save(target, 1).ok;
            return r.ok ? 0 : again ? 1 : 3;
        });
        if (error == ENOSPC && end.exitCode == 2) continue; // no private mount here
        EXPECT_EQ(end.exitCode, 1) << error;
        EXPECT_TRUE(has(end.report, "old file|0|") && has(end.report, target.string()) &&
                    has(end.report, std::strerror(error)))
            << end.report;
    }
}

INSTANTIATE_TEST_SUITE_P(FileKinds, SaveFaults, ::testing::Range(0, 4),
                         [](const auto& info) { return kind(info.param).name; });

// A running save's temporary and names that only look alike stay; long names save.
TEST(AtomicSave, NextSaveRemovesOnlyWhatDeadSavesLeft) {
    TempFolder dir;
    std::vector<std::string> kept = {".other.mirtal-dead02", ".target.backup",
                                     ".target.mirtal-1234567", ".target.mirtal-alive1", "film.vtx"};
    for (const std::string& name : kept) writeText(dir / name, "x");
    writeText(dir / ".target.mirtal-dead01", "x");
    const int running = ::open((dir / ".target.mirtal-alive1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    ASSERT_TRUE(writeFileAtomic(dir / "target", "new"));
    ::close(running);
    std::vector<std::string> left = otherEntries(dir.path(), "target");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, kept);
    const std::string name = std::string(251, 'n') + ".vtx"; // the temporary name is cut
    for (const char* bytes : {"first", "second"}) EXPECT_TRUE(writeFileAtomic(dir / name, bytes));
    EXPECT_EQ(readText(dir / name), "second");
    EXPECT_EQ(otherEntries(dir.path(), name).size(), kept.size() + 1);
}
