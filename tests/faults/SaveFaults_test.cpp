// Every kind of file the programs save goes through the same atomic save:
// a kill in the middle, a full disk, a refused flush or rename each leave
// the old file whole and nothing beside it. One table of file kinds, each
// saved by its real save function.
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

// Failures no folder can produce on demand (a flush the disk refuses, a
// rename the file system refuses): this executable's own fsync and rename
// come before the C library's and fail with the chosen error while it is set.
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

// One kind of file: its save writing version 0 or 1, and the bytes of each.
struct FileKind {
    std::string name;
    bool large; // a kill often falls inside its write
    std::function<Result(const fs::path&, int)> save;
    std::array<std::string, 2> version = {};
};

std::string pattern(size_t size, char seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char(seed + (i * 7 + i / 4096) % 61);
    return s;
}

// A matrix at its capacity, each glyph's pixels and text depending on `seed`.
CharMatrix fullMatrix(int seed) {
    CharMatrix m;
    for (int i = 0; i < MaxCharMatrixEntries; ++i) {
        CharMatrixEntry e;
        e.Width = uint8_t(1 + (i + seed) % 45);
        e.Height = uint8_t(1 + (i * 3 + seed) % 45);
        e.Text = std::string(1, char('a' + (i + seed) % 26)) + std::to_string(i);
        for (int y = 0; y < e.Height; ++y)
            for (int x = 0; x < e.Width; ++x) e.setPixel(x, y, (x * y + i + seed) % 3 == 0);
        m.AppendEntry(e);
    }
    return m;
}

const FileKind& kind(int which) {
    static FixedBannerClock clock("");
    static const auto kinds = [] {
        static const std::string raw[2] = {pattern(3 << 20, 'a'), pattern((3 << 20) + 12345, 'A')};
        static const CharMatrix matrices[2] = {fullMatrix(0), fullMatrix(1)};
        static std::unique_ptr<SubtitleDocument> docs[2];
        static ProgramSettings program[2];
        for (int v = 0; v < 2; ++v) {
            docs[v] = std::make_unique<SubtitleDocument>(clock);
            for (int64_t i = 0; i < 15000; ++i) // two lines a second
                docs[v]->AddSubtitle({"subtitle " + std::to_string(i + v), "second line"}, false,
                                     MsToTimeCode(i * 1000 + 100), MsToTimeCode(i * 1000 + 900),
                                     {});
            docs[v]->RefreshList();
        }
        program[1].OpenDialogVob = "/media/dvd/VIDEO_TS/";
        program[1].Preview.Zoom = 2000;
        std::vector<FileKind> k = {
            {"raw", true, [](const fs::path& p, int v) { return writeFileAtomic(p, raw[v]); }},
            {"matrix", true,
             [](const fs::path& p, int v) { return SaveMatrixFile(p, matrices[v]); }},
            {"subtitles", true,
             [](const fs::path& p, int v) { return SaveDocumentTo(*docs[v], p); }},
            {"settings", false, [](const fs::path& p, int v) {
                 return SaveSettings(p, program[v], OutputOptions{}, BmpOutputSettings{});
             }}};
        // The bytes of each version, from a file that went through both
        // (the settings file keeps what it does not write).
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

class SaveFaults : public ::testing::TestWithParam<int> {
protected:
    const FileKind& k = kind(GetParam());
};

// Whether the process has a file of the folder open: it is inside a save,
// whether or not its temporary file has a name yet.
bool writesInto(pid_t pid, const fs::path& dir) {
    const std::string inside = dir.string() + "/";
    std::error_code ec;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
         !ec && it != end; it.increment(ec))
        if (fs::read_symlink(it->path(), ec).string().starts_with(inside)) return true;
    return false;
}

} // namespace

// A child saves version 1, 0, 1, ... over and over and is killed with
// SIGKILL once it is inside a save, after a growing number of looks at the
// folder (so in the write, the flush or before the rename). Each time the
// file is one version or the other, whole, and the next save leaves
// nothing beside it, whatever the dead child left.
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
        // A bounded number of looks: the child keeps saving, so it opens a
        // file long before that.
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
    if (k.large) {
        EXPECT_GT(midway, 0) << "no kill fell inside a save";
    }
}

// The disk fills up: a file size limit (EFBIG) or a private 64 KiB tmpfs
// filled to the last block (ENOSPC). The save says why, naming the file;
// the old file stays whole and nothing is left beside it. A limit above the
// file's size lets the same save through.
TEST_P(SaveFaults, FullDiskSaysWhyAndKeepsTheOldFile) {
    const size_t size = k.version[1].size();
    struct Disk {
        const char* name;
        rlim_t limit; // 0: the tmpfs
        bool fits;
        int error;
    };
    for (const Disk& disk :
         {Disk{"limit", size / 2, false, EFBIG}, Disk{"room", size + 65536, true, 0},
          Disk{"tmpfs", 0, false, ENOSPC}}) {
        SCOPED_TRACE(disk.name);
        TempFolder dir;
        const fs::path target = dir / "target";
        const ChildEnd end = runInChild([&](const auto& report) {
            if (disk.limit == 0 &&
                (::unshare(CLONE_NEWNS) != 0 ||
                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0))
                return 2;
            writeText(target, "old file");
            if (disk.limit == 0) {
                const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
                const std::string block(4096, 'f');
                while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
                }
            } else {
                limitFileSize(disk.limit);
            }
            const Result r = k.save(target, 1);
            const std::vector<std::string> left = otherEntries(dir.path(), "target");
            const bool clean = left.empty() || left == std::vector<std::string>{"filler"};
            report(r.error + "\n" + (clean ? "clean" : left[0]) + "\n" + readText(target));
            return r.ok ? 0 : 1;
        });
        if (disk.limit == 0 && end.exitCode == 2) continue; // no private mount here: limits only
        const std::string report = end.report;
        const std::string error = report.substr(0, report.find('\n'));
        const std::string rest = report.substr(error.size() + 1);
        EXPECT_EQ(rest.substr(0, rest.find('\n')), "clean");
        const std::string bytes = rest.substr(rest.find('\n') + 1);
        if (disk.fits) {
            EXPECT_EQ(end.exitCode, 0) << error;
            EXPECT_TRUE(bytes.ends_with(k.version[1])); // settings keep what they do not write
            continue;
        }
        EXPECT_EQ(end.exitCode, 1);
        EXPECT_NE(error.find("Cannot write " + target.string()), std::string::npos) << error;
        EXPECT_NE(error.find(std::strerror(disk.error)), std::string::npos) << error;
        EXPECT_EQ(bytes, "old file");
    }
}

// A save whose flush or rename fails says so, naming the file and the
// reason, keeps the old file and removes its temporary file; once the fault
// is gone the same save goes through.
TEST_P(SaveFaults, RefusedFlushOrRenameKeepsTheOldFile) {
    for (auto [slot, err] : {std::pair{&g_fsyncError, EIO}, std::pair{&g_renameError, EXDEV}}) {
        TempFolder dir;
        const fs::path target = dir / "target";
        writeText(target, "old file");
        *slot = err;
        const Result r = k.save(target, 1);
        *slot = 0;
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(target.string()), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(std::strerror(err)), std::string::npos) << r.error;
        EXPECT_EQ(readText(target), "old file");
        EXPECT_TRUE(otherEntries(dir.path(), "target").empty());
        EXPECT_TRUE(k.save(target, 1).ok);
        EXPECT_TRUE(readText(target).ends_with(k.version[1]));
    }
}

INSTANTIATE_TEST_SUITE_P(FileKinds, SaveFaults, ::testing::Range(0, 4),
                         [](const auto& info) { return kind(info.param).name; });

// What a dead save left is removed by the next save of the same file; the
// temporary file of a save still running, and names that only look alike,
// stay.
TEST(AtomicSave, NextSaveRemovesOnlyWhatDeadSavesLeft) {
    TempFolder dir;
    std::vector<std::string> kept = {".target.mirtal-alive1", ".target.mirtal-1234567",
                                     ".target.backup", ".other.mirtal-dead02"};
    for (const std::string& name : kept) writeText(dir / name, "x");
    writeText(dir / ".target.mirtal-dead01", "x");
    const int running = ::open((dir / kept[0]).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    ASSERT_TRUE(writeFileAtomic(dir / "target", "new"));
    ::close(running);
    std::vector<std::string> left = otherEntries(dir.path(), "target");
    std::sort(left.begin(), left.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
}

// A folder in the place of the file is refused and said so; a name as long
// as the file system allows is saved (its temporary file needs no longer one).
TEST(AtomicSave, AFolderInThePlaceIsRefusedAndTheLongestNameIsSaved) {
    TempFolder dir;
    fs::create_directories(dir / "film.vtx");
    writeText(dir / "film.vtx" / "inside", "x");
    const Result r = writeFileAtomic(dir / "film.vtx", "text");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(std::strerror(EISDIR)), std::string::npos) << r.error;
    EXPECT_EQ(readText(dir / "film.vtx" / "inside"), "x");
    const std::string name = std::string(251, 'n') + ".vtx";
    for (const char* bytes : {"first", "second"}) {
        const Result saved = writeFileAtomic(dir / name, bytes);
        ASSERT_TRUE(saved.ok) << saved.error;
    }
    EXPECT_EQ(readText(dir / name), "second");
    EXPECT_EQ(otherEntries(dir.path(), name), std::vector<std::string>{"film.vtx"});
}
