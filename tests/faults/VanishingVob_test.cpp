#include "FakeHost.h"
#include "TempFolder.h"
#include "rip/Session.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kSplitDisc = fs::path(MIRTAL_TEST_DATA) / "discs" / "split" / "VIDEO_TS";

using Entries = std::vector<std::pair<int64_t, std::string>>;

Entries entriesOf(SubtitleDocument& doc, size_t from = 0) {
    Entries out;
    for (int i = int(from) + 1; i <= doc.store().nbSubTitle(); ++i) {
        const TSub& s = doc.store().entry(i);
        std::string text;
        for (int l = 0; l < s.NbLines; ++l) text += s.Lines[size_t(l)] + "|";
        out.emplace_back(timeCodeToMs(s.Start), text);
    }
    return out;
}

} // namespace

// The split disc's first VOB is cut short while a text rip reads it (some cuts
// fall inside a subpicture): the error is reported, what was read stays, the
// next file is read in full; a subpicture cut in two is dropped, not glued.
TEST(VanishingVob, FileTruncatedWhileReadIsReportedAndTheJobGoesOn) {
    TempFolder dir;
    const std::vector<fs::path> files = {dir / "VTS_01_1.VOB", dir / "VTS_01_2.VOB"};
    for (const fs::path& f : files) fs::copy_file(kSplitDisc / f.filename(), f);
    FakeHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    size_t afterFirstTick = 0;
    const auto rip = [&](const std::function<void(Session&)>& during) {
        auto s = std::make_unique<Session>(host, catalogue, clock);
        s->ocr().options().noAsk = true;
        s->chooseStream(0x20);
        host.onProcessEvents = [&, session = s.get()] { during(*session); };
        JobSetup setup;
        setup.files = files;
        setup.action = kActionOcr;
        EXPECT_TRUE(s->startJob(setup));
        for (int t = 1; t <= 8 && !s->job().finished(); ++t)
            if (s->tick(), t == 1) afterFirstTick = size_t(s->document().nbSubTitle());
        host.onProcessEvents = {};
        EXPECT_TRUE(s->job().finished());
        return s;
    };
    const Entries all = entriesOf(rip([](Session&) {})->document());
    const size_t fromFirst = afterFirstTick; // the subpicture that straddles follows them
    ASSERT_TRUE(fromFirst > 2 && all.size() > fromFirst + 2 && host.questions.empty());
    const uintmax_t size = fs::file_size(files[0]);
    for (uintmax_t cut :
         {size / 3, size / 3 + 700, size / 2 + 2048 * 5 + 100, size * 3 / 4, size * 3 / 4 + 1500}) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        fs::copy_file(kSplitDisc / "VTS_01_1.VOB", files[0], fs::copy_options::overwrite_existing);
        host.questions.clear();
        host.answers = {Answer::Ok, Answer::Ok}; // the cut, and a unit it cut in two
        size_t before = 0;
        bool cutDone = false;
        const auto s = rip([&](Session& s) {
            // While the first file is read, past a sixth of it.
            if (cutDone || s.job().CurrentFile != 1 ||
                uintmax_t(s.engine().filePos()) * 2048 < size / 6)
                return;
            cutDone = true;
            before = size_t(s.document().nbSubTitle());
            fs::resize_file(files[0], cut);
        });
        ASSERT_TRUE(cutDone);
        EXPECT_TRUE(std::ranges::any_of(host.questions, [&](const FakeHost::Question& q) {
            return q.text.find("Can't open file " + files[0].string()) != std::string::npos;
        }));
        const size_t fromNext = all.size() - fromFirst - 1;
        const Entries got = entriesOf(s->document());
        ASSERT_GE(got.size(), before + fromNext);
        const size_t fromCutFile = got.size() - fromNext;
        EXPECT_EQ(Entries(got.begin(), got.begin() + long(fromCutFile)),
                  Entries(all.begin(), all.begin() + long(fromCutFile)))
            << "before the cut";
        EXPECT_EQ(entriesOf(s->document(), fromCutFile),
                  Entries(all.begin() + long(fromFirst) + 1, all.end()))
            << "the next file";
    }
}
