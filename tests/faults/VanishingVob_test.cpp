#include "FakeHost.h"
#include "TempFolder.h"
#include "rip/Session.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kSplitDisc = fs::path(MIRTAL_TEST_DATA) / "discs" / "split" / "VIDEO_TS";

// Start and lines of every entry the rip put in the document.
using Entries = std::vector<std::pair<int64_t, std::string>>;

Entries entriesOf(SubtitleDocument& doc) {
    Entries out;
    for (int i = 1; i <= doc.store().NbSubTitle(); ++i) {
        const TSub& s = doc.store().entry(i);
        std::string text;
        for (int l = 0; l < s.NbLines; ++l) text += s.Lines[size_t(l)] + "|";
        out.emplace_back(TimeCodeToMs(s.Start), text);
    }
    return out;
}

Entries part(const Entries& e, size_t from, size_t to) {
    return Entries(e.begin() + long(from), e.begin() + long(std::min(to, e.size())));
}

// A text rip of the split disc's two VOB files, copied into a folder the
// test may damage. Unknown glyphs read as the placeholder, so every
// displayable subpicture gives an entry without questions. `all` is the
// rip without faults, `fromFirst` the entries of the first file; the
// subpicture that straddles the files follows them.
class VanishingVob : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB"}) {
            fs::copy_file(kSplitDisc / name, m_dir / name);
            m_files.push_back(m_dir / name);
        }
        auto s = newSession();
        run(*s, m_files, [&](int t) {
            if (t == 1) fromFirst = size_t(s->document().NbSubTitle());
        });
        ASSERT_TRUE(s->job().finished());
        all = entriesOf(s->document());
        ASSERT_GT(fromFirst, 2u);
        ASSERT_GT(all.size(), fromFirst + 2);
        ASSERT_TRUE(m_host.questions.empty());
    }

    std::unique_ptr<Session> newSession() {
        auto s = std::make_unique<Session>(m_host, m_catalogue, m_clock);
        s->ocr().options().noAsk = true;
        s->chooseStream(0x20);
        return s;
    }

    // Ticks until the job is finished, at most `maxTicks`, calling
    // `afterTick` with each tick's number.
    void run(Session& s, const std::vector<fs::path>& files,
             const std::function<void(int)>& afterTick = {}, int maxTicks = 8) {
        JobSetup setup;
        setup.files = files;
        setup.action = kActionOcr;
        ASSERT_TRUE(s.startJob(setup));
        for (int t = 1; t <= maxTicks && !s.job().finished(); ++t) {
            s.tick();
            if (afterTick) afterTick(t);
        }
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
    Entries all;
    size_t fromFirst = 0;
};

} // namespace

// The file being read is cut short under it: the read error is reported,
// what was recognised stays, and the next file is read in full, its first
// subtitle included; a subpicture cut in two is dropped rather than glued
// to the next file's. Cuts on a pack boundary and inside a pack, early and
// late, so some fall inside a subpicture.
TEST_F(VanishingVob, FileTruncatedWhileReadIsReportedAndTheJobGoesOn) {
    const uintmax_t size = fs::file_size(m_files[0]);
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
        const size_t fromNext = all.size() - fromFirst - 1;
        ASSERT_GE(got.size(), before + fromNext);
        const size_t fromCutFile = got.size() - fromNext;
        EXPECT_EQ(part(got, 0, fromCutFile), part(all, 0, fromCutFile)) << "before the cut";
        EXPECT_EQ(part(got, fromCutFile, got.size()), part(all, fromFirst + 1, all.size()))
            << "the next file";
    }
}
