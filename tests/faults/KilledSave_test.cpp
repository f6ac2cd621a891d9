#include "../settings/TempFolder.h"
#include "Process.h"
#include "FaultFixtures.h"
#include "base/Files.h"
#include "ocr/MatrixFile.h"
#include "settings/SettingsFile.h"
#include "subtitles/DocumentFlows.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <time.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// One kind of save: the real save code writing version 0 or 1 of a file
// to `target`, and the bytes each version must give.
struct Saver {
    std::string version[2];
    std::function<bool(const fs::path& target, int version)> save;
};

void pauseMicroseconds(long us) {
    timespec t{us / 1000000, (us % 1000000) * 1000};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

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

// A child saves version 1, version 0, version 1, ... over and over and is
// killed with SIGKILL at many points: after growing pauses, and just after it
// opens a file in the folder (so inside the write, the flush or before the
// rename). At every point the file is one version or the other, whole; the
// next save works and leaves nothing beside the file, whatever the dead
// child left.
// Returns how many kills hit a save midway.
int killDuringSaves(const Saver& saver, int killPoints) {
    TempFolder dir;
    const std::string name = "target";
    const fs::path target = dir / name;
    EXPECT_TRUE(saver.save(target, 0));
    EXPECT_EQ(readText(target), saver.version[0]);
    int midway = 0;
    for (int k = 0; k < killPoints; ++k) {
        SCOPED_TRACE("kill point " + std::to_string(k));
        int ready[2];
        if (::pipe(ready) != 0) {
            ADD_FAILURE() << "pipe";
            return midway;
        }
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            (void)!::write(ready[1], "r", 1);
            for (int v = 1;; v ^= 1) saver.save(target, v);
        }
        ::close(ready[1]);
        char c = 0;
        (void)!::read(ready[0], &c, 1);
        if (k % 2 == 0) {
            pauseMicroseconds(long(k) * 150);
        } else {
            // A bounded number of looks: the child keeps saving, so it opens
            // a file long before that.
            bool inside = false;
            for (long polls = 0; polls < 200000 && !inside; ++polls)
                inside = writesInto(pid, dir.path());
            for (int extra = 0; extra < k; ++extra) (void)otherEntries(dir.path(), name);
            midway += inside;
        }
        ::kill(pid, SIGKILL);
        const ChildEnd end = waitChild(pid, ready[0]);
        EXPECT_EQ(end.signal, SIGKILL);

        const std::string after = readText(target);
        EXPECT_TRUE(after == saver.version[0] || after == saver.version[1])
            << "the file holds " << after.size() << " bytes, versions have "
            << saver.version[0].size() << " and " << saver.version[1].size();
        const size_t leftovers = otherEntries(dir.path(), name).size();
        EXPECT_TRUE(saver.save(target, 0)) << "after a kill with " << leftovers << " leftover(s)";
        EXPECT_EQ(readText(target), saver.version[0]);
        EXPECT_EQ(otherEntries(dir.path(), name), std::vector<std::string>{}) << "left behind";
        if (::testing::Test::HasFailure()) break;
    }
    return midway;
}

std::string pattern(size_t size, char seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char(seed + (i * 7 + i / 4096) % 61);
    return s;
}

constexpr int kKillPoints = 24;

} // namespace

TEST(KilledSave, AtomicWriteOfALargeFileIsOldOrNewAtEveryKillPoint) {
    Saver saver;
    saver.version[0] = pattern(3 << 20, 'a');
    saver.version[1] = pattern((3 << 20) + 12345, 'A');
    saver.save = [&](const fs::path& target, int v) {
        return bool(writeFileAtomic(target, saver.version[v]));
    };
    EXPECT_GT(killDuringSaves(saver, kKillPoints), 0) << "no kill fell inside a save";
}

TEST(KilledSave, FullMatrixIsOldOrNewAtEveryKillPoint) {
    CharMatrix matrices[2] = {FullMatrix(0), FullMatrix(1)};
    Saver saver;
    for (int v = 0; v < 2; ++v) saver.version[v] = EncodeMatrix(matrices[v]);
    ASSERT_NE(saver.version[0], saver.version[1]);
    saver.save = [&](const fs::path& target, int v) {
        return bool(SaveMatrixFile(target, matrices[v]));
    };
    EXPECT_GT(killDuringSaves(saver, kKillPoints), 0) << "no kill fell inside a save";
}

TEST(KilledSave, SubtitleFileIsOldOrNewAtEveryKillPoint) {
    FixedBannerClock clock("");
    std::unique_ptr<SubtitleDocument> docs[2];
    Saver saver;
    for (int v = 0; v < 2; ++v) {
        docs[v] = std::make_unique<SubtitleDocument>(clock);
        FillDocument(*docs[v], v == 0 ? "old" : "new", 15000);
        saver.version[v] = docs[v]->fileText();
    }
    ASSERT_GT(saver.version[0].size(), 500000u);
    saver.save = [&](const fs::path& target, int v) {
        return bool(SaveDocumentTo(*docs[v], target));
    };
    EXPECT_GT(killDuringSaves(saver, kKillPoints), 0) << "no kill fell inside a save";
}

// The settings file is small: a kill seldom falls inside its write, so this
// only asks that every kill leaves a whole file.
TEST(KilledSave, SettingsFileIsOldOrNewAtEveryKillPoint) {
    ProgramSettings program[2];
    program[1].OpenDialogVob = "/media/dvd/VIDEO_TS/";
    program[1].Preview.Zoom = 2000;
    program[1].ActionMode = 2;
    OutputOptions output;
    BmpOutputSettings bmp;
    Saver saver;
    saver.save = [&](const fs::path& target, int v) {
        return bool(SaveSettings(target, program[v], output, bmp));
    };
    // SaveSettings keeps what it does not write, so the versions are taken
    // from a file that went through both.
    TempFolder scratch;
    ASSERT_TRUE(saver.save(scratch / "Mirtal.ini", 0));
    const std::string first = readText(scratch / "Mirtal.ini");
    ASSERT_TRUE(saver.save(scratch / "Mirtal.ini", 1));
    saver.version[1] = readText(scratch / "Mirtal.ini");
    ASSERT_TRUE(saver.save(scratch / "Mirtal.ini", 0));
    saver.version[0] = readText(scratch / "Mirtal.ini");
    ASSERT_EQ(saver.version[0], first);
    ASSERT_NE(saver.version[0], saver.version[1]);
    killDuringSaves(saver, kKillPoints);
}

// What a dead save left is removed by the next save of the same file; the
// temporary file of a save still running, and names that only look alike,
// stay.
TEST(KilledSave, NextSaveRemovesOnlyWhatDeadSavesLeft) {
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
