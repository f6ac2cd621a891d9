#include "../settings/TempFolder.h"
#include "FakeHost.h"
#include "rip/Session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kSplitDisc = fs::path(MIRTAL_TEST_DATA) / "discs" / "split" / "VIDEO_TS";

// What the rip put in the document: start and lines of every entry (the
// stop of the last one of a cut file stays open, so it is left out).
using Entries = std::vector<std::pair<int64_t, std::string>>;

Entries entriesOf(SubtitleDocument& doc, int from = 1) {
    Entries out;
    const SubtitleStore& store = doc.store();
    for (int i = from; i <= store.NbSubTitle(); ++i) {
        const TSub& s = store.entry(i);
        std::string text;
        for (int l = 0; l < s.NbLines; ++l) text += s.Lines[size_t(l)] + "|";
        out.emplace_back(TimeCodeToMs(s.Start), text);
    }
    return out;
}

// A text rip of the split disc's two VOB files, copied into a folder the
// test may damage. Unknown glyphs read as the placeholder, so every
// displayable subpicture gives an entry without questions.
class VanishingVob : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB"}) {
            fs::copy_file(kSplitDisc / name, m_dir / name);
            m_files.push_back(m_dir / name);
        }
    }

    std::unique_ptr<Session> newSession() {
        auto s = std::make_unique<Session>(m_host, m_catalogue, m_clock);
        s->ocr().options().noAsk = true;
        s->chooseStream(0x20);
        return s;
    }

    // Ticks until the job is finished, calling `afterTick` after each tick
    // with the tick's number; at most `maxTicks` ticks.
    void run(Session& s, const std::vector<fs::path>& files,
             const std::function<void(int, TickResult)>& afterTick = {}, int maxTicks = 8) {
        JobSetup setup;
        setup.files = files;
        setup.action = kActionOcr;
        ASSERT_TRUE(s.startJob(setup));
        for (int t = 1; t <= maxTicks && !s.job().finished(); ++t) {
            const TickResult r = s.tick();
            if (afterTick) afterTick(t, r);
        }
    }

    // The whole rip without faults, and how many entries the first file gave.
    void reference(Entries& all, int& fromFirst) {
        auto s = newSession();
        fromFirst = -1;
        run(*s, m_files, [&](int t, TickResult) {
            if (t == 1) fromFirst = s->document().NbSubTitle();
        });
        ASSERT_TRUE(s->job().finished());
        all = entriesOf(s->document());
        ASSERT_GT(fromFirst, 2);
        ASSERT_GT(int(all.size()), fromFirst + 2);
        EXPECT_TRUE(m_host.questions.empty());
    }

    bool warnedAbout(const fs::path& file) const {
        for (const FakeHost::Question& q : m_host.questions)
            if (q.text.find("Can't open file " + file.string()) != std::string::npos) return true;
        return false;
    }

    TempFolder m_dir;
    std::vector<fs::path> m_files;
    FakeHost m_host;
    MessageCatalogue m_catalogue;
    FixedBannerClock m_clock{""};
};

// Where two rips part: the first entry that differs, for the failure message.
std::string firstDifference(const Entries& got, const Entries& want) {
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        if (i < got.size() && i < want.size() && got[i] == want[i]) continue;
        auto show = [](const Entries& e, size_t i) {
            return i < e.size() ? std::to_string(e[i].first) + " ms \"" + e[i].second + "\""
                                : std::string("nothing");
        };
        return "entry " + std::to_string(i + 1) + " of " + std::to_string(got.size()) + " is " +
               show(got, i) + ", expected " + show(want, i) + " (of " +
               std::to_string(want.size()) + ")";
    }
    return "no difference";
}

::testing::AssertionResult sameEntries(const Entries& got, const Entries& want) {
    if (got == want) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << firstDifference(got, want);
}

// The subpicture that begins at the end of the first file and ends in the
// second is lost with the end of the first file.
Entries withoutStraddling(const Entries& e, size_t fromFirst) {
    Entries out = e;
    out.erase(out.begin() + long(fromFirst));
    return out;
}

Entries prefix(const Entries& e, size_t n) {
    return Entries(e.begin(), e.begin() + long(n));
}
Entries suffix(const Entries& e, size_t from) {
    return Entries(e.begin() + long(from), e.end());
}

} // namespace

// A file deleted between two files keeps the job on it: nothing is said,
// the subtitles of the first file stay, and once the file is back the job
// goes on as if nothing had happened.
TEST_F(VanishingVob, FileDeletedBetweenFilesHoldsTheJobAndKeepsTheSubtitles) {
    Entries all;
    int fromFirst = 0;
    reference(all, fromFirst);
    const fs::path keep = m_dir / "kept.bin";
    fs::rename(m_files[1], keep);
    auto s = newSession();
    std::vector<TickResult> results;
    run(
        *s, m_files, [&](int, TickResult r) { results.push_back(r); }, 4);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[1], TickResult::MissingFile);
    EXPECT_EQ(results[3], TickResult::MissingFile);
    EXPECT_EQ(s->job().CurrentFile, 2u);
    EXPECT_FALSE(s->job().finished());
    EXPECT_TRUE(m_host.questions.empty());
    EXPECT_TRUE(sameEntries(entriesOf(s->document()), prefix(all, size_t(fromFirst))));

    fs::rename(keep, m_files[1]);
    EXPECT_EQ(s->tick(), TickResult::Processed);
    EXPECT_TRUE(s->job().finished());
    EXPECT_TRUE(sameEntries(entriesOf(s->document()), all));
}

// A file that cannot be opened any more when its turn comes (its
// permissions removed, or something else in its place) is reported and
// skipped; the subtitles before it stay and the next file is read in full.
TEST_F(VanishingVob, FileUnreadableBetweenFilesIsReportedAndSkipped) {
    Entries all;
    int fromFirst = 0;
    reference(all, fromFirst);
    const fs::path middle = m_dir / "VTS_01_1b.VOB";
    const std::vector<fs::path> job = {m_files[0], middle, m_files[1]};
    std::vector<std::function<void()>> breakIt = {
        [&] { fs::create_directory(middle); },
    };
    if (::geteuid() != 0) // permissions do not stop root
        breakIt.push_back([&] {
            fs::copy_file(m_files[1], middle);
            ::chmod(middle.c_str(), 0);
        });
    for (size_t b = 0; b < breakIt.size(); ++b) {
        SCOPED_TRACE(b == 0 ? "a folder in its place" : "no read permission");
        fs::remove_all(middle);
        fs::copy_file(m_files[1], middle); // there when the job starts
        m_host.questions.clear();
        m_host.answers = {Answer::Ok, Answer::Ok};
        auto s = newSession();
        run(*s, job, [&](int t, TickResult) {
            if (t != 1) return;
            fs::remove(middle);
            breakIt[b]();
        });
        EXPECT_TRUE(s->job().finished());
        // The straddling subpicture's tail in the next file is no whole unit:
        // reported as damaged when the job ends.
        ASSERT_EQ(m_host.questions.size(), 2u);
        EXPECT_TRUE(warnedAbout(middle)) << m_host.questions[0].text;
        EXPECT_NE(m_host.questions[1].text.find("skipped"), std::string::npos);
        EXPECT_TRUE(
            sameEntries(entriesOf(s->document()), withoutStraddling(all, size_t(fromFirst))));
    }
}

// A file cut short between files (not a whole number of packs any more) is
// read up to the cut, its incomplete last pack is reported, and the job
// goes on with the next file. What was read before the cut stays.
TEST_F(VanishingVob, FileTruncatedBetweenFilesIsReadToTheCut) {
    Entries all;
    int fromFirst = 0;
    reference(all, fromFirst);
    m_host.answers = {Answer::Ok};
    auto s = newSession();
    const uintmax_t cut = fs::file_size(m_files[1]) / 2 + 1000;
    run(*s, m_files, [&](int t, TickResult) {
        if (t == 1) fs::resize_file(m_files[1], cut);
    });
    EXPECT_TRUE(s->job().finished());
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_TRUE(warnedAbout(m_files[1])) << m_host.questions[0].text;
    const Entries got = entriesOf(s->document());
    ASSERT_GT(got.size(), size_t(fromFirst)) << "nothing read before the cut";
    ASSERT_LT(got.size(), all.size());
    EXPECT_TRUE(sameEntries(got, prefix(all, got.size())));
}

// The file the job is reading is cut short under it (the subtitles before
// the cut are already in the document): the read error is reported, what
// was recognised stays, and the next file is read in full, its first
// subtitle included; a subpicture cut in two by the truncation is dropped
// rather than glued to the next file's.
TEST_F(VanishingVob, FileTruncatedWhileReadIsReportedAndTheJobGoesOn) {
    Entries all;
    int fromFirst = 0;
    reference(all, fromFirst);
    const uintmax_t size = fs::file_size(m_files[0]);
    // Cut points inside the file: on a pack boundary and inside a pack, early
    // and late, so some cuts fall inside a subpicture.
    for (uintmax_t cut :
         {size / 3, size / 3 + 700, size / 2 + 2048 * 5 + 100, size * 3 / 4, size * 3 / 4 + 1500}) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        fs::remove(m_files[0]);
        fs::copy_file(kSplitDisc / "VTS_01_1.VOB", m_files[0]);
        m_host.questions.clear();
        m_host.answers = {Answer::Ok, Answer::Ok}; // the cut, and a unit it cut in two
        auto s = newSession();
        size_t before = 0;
        bool cutDone = false;
        m_host.onProcessEvents = [&] {
            // While the first file is read, past a sixth of it.
            if (cutDone || s->job().CurrentFile != 1 ||
                uintmax_t(s->engine().filePos()) * 2048 < size / 6)
                return;
            cutDone = true;
            before = size_t(s->document().NbSubTitle());
            fs::resize_file(m_files[0], cut);
        };
        run(*s, m_files);
        m_host.onProcessEvents = {};
        ASSERT_TRUE(cutDone);
        EXPECT_TRUE(s->job().finished());
        EXPECT_TRUE(warnedAbout(m_files[0]));
        const Entries got = entriesOf(s->document());
        const size_t fromNext = all.size() - size_t(fromFirst) - 1;
        ASSERT_GE(got.size(), before + fromNext);
        const size_t fromCutFile = got.size() - fromNext;
        EXPECT_TRUE(sameEntries(prefix(got, fromCutFile), prefix(all, fromCutFile)))
            << "before the cut";
        EXPECT_TRUE(sameEntries(suffix(got, fromCutFile), suffix(all, size_t(fromFirst) + 1)))
            << "the next file";
    }
}
