#include "../settings/TempFolder.h"
#include "Process.h"
#include "FakeHost.h"
#include "FaultFixtures.h"
#include "base/Files.h"
#include "ocr/MatrixFile.h"
#include "ocr/MatrixFlows.h"
#include "settings/SettingsFile.h"
#include "subtitles/DocumentFlows.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const std::string kTooLarge = std::strerror(EFBIG);
const std::string kNoSpace = std::strerror(ENOSPC);

// What a child found after its save on a full disk: the error it was
// given, whether the old file is whole and whether anything was left beside it.
struct FullDiskOutcome {
    std::string error;
    bool reportedSuccess = false;
    bool oldKept = false;
    std::vector<std::string> leftovers;
};

std::string encode(const FullDiskOutcome& o) {
    std::string s = std::string(o.reportedSuccess ? "1" : "0") + (o.oldKept ? "1" : "0") + "\n" +
                    o.error + "\n";
    for (const std::string& l : o.leftovers) s += l + "\n";
    return s;
}

FullDiskOutcome decode(const std::string& s) {
    FullDiskOutcome o;
    if (s.size() < 3) {
        o.error = "no report from the child: " + s;
        return o;
    }
    o.reportedSuccess = s[0] == '1';
    o.oldKept = s[1] == '1';
    size_t at = 3, end = s.find('\n', at);
    o.error = s.substr(at, end == std::string::npos ? std::string::npos : end - at);
    while (end != std::string::npos && end + 1 < s.size()) {
        at = end + 1;
        end = s.find('\n', at);
        o.leftovers.push_back(
            s.substr(at, end == std::string::npos ? std::string::npos : end - at));
    }
    return o;
}

// Takes every free block of the file system.
void fillDisk(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string block(4096, 'f');
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0) ::close(fd);
}

// The old file is written first, then the disk fills up: either a file
// size limit of `limit` bytes (writes past it fail with EFBIG), or, with
// `tmpfs`, a private tmpfs of 64 KiB mounted over the folder and filled
// (ENOSPC).
// `save` runs the real save of the new content and returns its error, empty
// when it said it succeeded.
FullDiskOutcome saveOnFullDisk(const std::string& oldBytes, size_t limit, bool tmpfs,
                               const std::function<std::string(const fs::path&)>& save) {
    TempFolder dir;
    const fs::path target = dir / "target";
    const ChildEnd end = runInChild([&](const std::function<void(const std::string&)>& report) {
        if (tmpfs) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
                return 2;
        }
        std::ofstream(target, std::ios::binary) << oldBytes;
        if (readText(target) != oldBytes) return 3;
        if (tmpfs)
            fillDisk(dir / "filler");
        else
            limitFileSize(limit);
        FullDiskOutcome o;
        o.error = save(target);
        o.reportedSuccess = o.error.empty();
        o.oldKept = readText(target) == oldBytes;
        for (const std::string& name : otherEntries(dir.path(), "target"))
            if (name != "filler") o.leftovers.push_back(name);
        report(encode(o));
        return 0;
    });
    if (end.exited && end.exitCode == 2) {
        FullDiskOutcome o;
        o.error = "mount";
        return o;
    }
    EXPECT_TRUE(end.exited && end.exitCode == 0) << end.exitCode << " " << end.report;
    return decode(end.report);
}

void expectFailedAndKept(const FullDiskOutcome& o, const std::string& reason) {
    EXPECT_FALSE(o.reportedSuccess);
    EXPECT_NE(o.error.find("Cannot write"), std::string::npos) << o.error;
    EXPECT_NE(o.error.find("target"), std::string::npos) << o.error;
    EXPECT_NE(o.error.find(reason), std::string::npos) << o.error;
    EXPECT_TRUE(o.oldKept);
    EXPECT_TRUE(o.leftovers.empty()) << o.leftovers.front();
}

std::string errorOf(const Result& r) {
    return r ? std::string() : r.error;
}

} // namespace

TEST(FullDisk, AtomicWriteSaysWhyAndKeepsTheOldFile) {
    const std::string old(3000, 'o');
    const std::string big(200000, 'n');
    auto save = [&](const fs::path& p) { return errorOf(writeFileAtomic(p, big)); };
    expectFailedAndKept(saveOnFullDisk(old, 65536, false, save), kTooLarge);
    // A file that fits still goes through under the same limit.
    FullDiskOutcome fits = saveOnFullDisk(old, 65536, false, [&](const fs::path& p) {
        return errorOf(writeFileAtomic(p, std::string(60000, 'f')));
    });
    EXPECT_TRUE(fits.reportedSuccess) << fits.error;
    EXPECT_FALSE(fits.oldKept);
}

TEST(FullDisk, AtomicWriteOnAFullTmpfsSaysWhyAndKeepsTheOldFile) {
    const std::string old(3000, 'o');
    const FullDiskOutcome o = saveOnFullDisk(old, 0, true, [&](const fs::path& p) {
        return errorOf(writeFileAtomic(p, std::string(200000, 'n')));
    });
    if (o.error == "mount") GTEST_SKIP() << "cannot mount a private tmpfs here";
    expectFailedAndKept(o, kNoSpace);
}

// The matrix flow reports the failure and keeps the matrix modified under
// its old name, so closing asks again instead of dropping the glyphs.
TEST(FullDisk, MatrixSaveSaysWhyKeepsTheOldFileAndTheGlyphs) {
    const std::string old = EncodeMatrix(FullMatrix(0)).substr(0, 280 + 277 * 3);
    for (bool tmpfs : {false, true}) {
        SCOPED_TRACE(tmpfs ? "tmpfs" : "file size limit");
        const FullDiskOutcome o = saveOnFullDisk(old, 100000, tmpfs, [](const fs::path& p) {
            CharMatrix matrix = FullMatrix(1);
            matrix.setFileName(p.string());
            FakeHost host;
            host.answers = {Answer::Ok};
            MessageCatalogue messages;
            MatrixDialogFolders folders;
            MatrixFlows flows(matrix, host, messages, folders);
            const bool saved = flows.SaveMatrix(false);
            if (saved) return std::string();
            if (!matrix.Modified() || matrix.FileName() != p.string() || host.questions.size() != 1)
                return std::string("the flow lost track of the unsaved matrix");
            return host.questions[0].text;
        });
        if (o.error == "mount") continue; // the limit variant covers the flow
        expectFailedAndKept(o, tmpfs ? kNoSpace : kTooLarge);
    }
}

// Save As shows the reason and leaves the document modified, under its old
// name, with the old file whole.
TEST(FullDisk, SubtitleSaveAsSaysWhyAndKeepsTheOldFile) {
    const std::string old = "1\r\n00:00:01,000 --> 00:00:02,000\r\nold\r\n\r\n";
    for (bool tmpfs : {false, true}) {
        SCOPED_TRACE(tmpfs ? "tmpfs" : "file size limit");
        const FullDiskOutcome o = saveOnFullDisk(old, 100000, tmpfs, [](const fs::path& p) {
            FixedBannerClock clock("");
            SubtitleDocument doc(clock);
            FillDocument(doc, "new", 5000);
            doc.SetFileName("earlier.vtx");
            FakeHost host;
            host.saveFiles = {p};
            host.answers = {Answer::Yes, Answer::Ok}; // replace it; the warning
            MessageCatalogue messages;
            if (SaveAs(doc, host, messages) == FlowResult::Done) return std::string();
            if (!doc.Modified() || doc.FileName() != "earlier.vtx" || host.questions.size() != 2)
                return std::string("the document took the name of a file it is not in");
            return host.questions[1].text;
        });
        if (o.error == "mount") continue;
        expectFailedAndKept(o, tmpfs ? kNoSpace : kTooLarge);
    }
}

TEST(FullDisk, SettingsSaveSaysWhyAndKeepsTheOldFile) {
    const std::string old = "[OCR SETTING]\r\nSpaceWidth=10\r\n[MY OWN]\r\nKey=kept\r\n";
    for (bool tmpfs : {false, true}) {
        SCOPED_TRACE(tmpfs ? "tmpfs" : "file size limit");
        const FullDiskOutcome o = saveOnFullDisk(old, 200, tmpfs, [](const fs::path& p) {
            ProgramSettings program;
            return errorOf(SaveSettings(p, program, OutputOptions{}, BmpOutputSettings{}));
        });
        if (o.error == "mount") continue;
        expectFailedAndKept(o, tmpfs ? kNoSpace : kTooLarge);
    }
}
