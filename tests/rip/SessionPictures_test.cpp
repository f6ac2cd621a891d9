#include "FakeHost.h"
#include "TempFolder.h"
#include "base/Files.h"
#include "export/BmpFile.h"
#include "export/SupFile.h"
#include "rip/Session.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kVob = fs::path(MIRTAL_TEST_DATA) / "discs" / "pal_en" / "VIDEO_TS" / "VTS_01_1.VOB";
constexpr uint32_t kUnits = 46;

class ControllerHost : public FakeHost {
public:
    std::function<void()> whileWaiting;
    ProgressionChoice waitAtProgression() override {
        if (whileWaiting) whileWaiting();
        return FakeHost::waitAtProgression();
    }
};

std::string numbered(uint32_t n, const char* ext) {
    return pictureFileName("pic", n, ext);
}

struct SessionPictures : ::testing::TestWithParam<int> {
    TempFolder dir;
    ControllerHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock{"today"};
    Session session{host, catalogue, clock};

    void start(uint8_t action, const fs::path& folder) {
        JobSetup setup;
        setup.files = {kVob};
        setup.action = action;
        setup.withTimingAndPosition = true;
        setup.picturePrefix = (folder / "pic").string();
        ASSERT_TRUE(session.startJob(setup));
    }
    void runToEnd() {
        for (int i = 0; i < 5 && !session.job().finished(); ++i) session.tick();
        ASSERT_TRUE(session.job().finished());
    }
    std::vector<std::string> files(const fs::path& folder = {}) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.empty() ? dir.path() : folder))
            if (e.is_regular_file()) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const SubtitleStore& store() { return session.document().store(); }
    std::string state() const {
        const RipJob& j = session.job();
        return std::string(j.Paused ? "paused" : "running") + (j.Busy ? " busy" : "") +
               (j.NoStop ? " no stop" : "") + (j.finished() ? " done" : "") + " pictures " +
               std::to_string(j.TotalPictures) + " shown " +
               std::to_string(host.shownRects.size()) + " asked " +
               std::to_string(host.progressionCalls) + " adjusted " +
               std::to_string(host.adjustCalls);
    }
};

using Controller = SessionPictures;

std::pair<int32_t, int32_t> bmpSize(const fs::path& file) {
    const std::string b = readText(file);
    int32_t size[2] = {-1, -1};
    if (b.size() >= 26) std::memcpy(size, b.data() + 18, sizeof size);
    return {size[0], size[1]};
}

} // namespace

// A skipped picture writes nothing and the next asks again; one that cannot be written
// pauses there, and after Continue every picture is saved and listed once.
TEST_F(SessionPictures, BmpSkipsAPictureAndListsEverySavedPictureOnceAfterAFailedWrite) {
    const fs::path folder = dir / "later";
    host.adjustAnswers = {false, true};
    host.answers = {Answer::Ok};
    start(kActionBmp, folder);
    session.tick();
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find((folder / numbered(2, ".bmp")).string()),
              std::string::npos);
    EXPECT_NE(host.questions[0].text.find("No such file"), std::string::npos);
    EXPECT_EQ(state(), "paused pictures 1 shown 0 asked 0 adjusted 2");
    EXPECT_EQ(store().nbSubTitle(), 0);

    fs::create_directory(folder);
    session.engine().togglePause();
    runToEnd();
    EXPECT_EQ(host.adjustCalls, 2);
    EXPECT_FALSE(session.adjustmentDue());
    auto order = session.composer().dvdColourOrder();
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::array<uint8_t, 4>{0, 1, 2, 3}));
    ASSERT_EQ(files(folder).size(), kUnits - 1);
    ASSERT_EQ(store().nbSubTitle(), int(kUnits - 1));
    for (uint32_t n = 2; n <= kUnits; ++n) {
        const TSub& e = store().entry(int(n - 1));
        EXPECT_EQ(e.Lines[0], numbered(n, ".bmp")) << n;
        EXPECT_EQ(bmpSize(folder / e.Lines[0]), std::pair(e.X2 - e.X1 + 1, e.Y2 - e.Y1 + 1)) << n;
        EXPECT_GT(timeCodeToMs(e.Stop), timeCodeToMs(e.Start)) << n;
    }
}

// A pause from the controller, while it waits or from the main window after No Stop
// stops the job; Continue brings the controller back, showing no picture twice.
TEST_P(Controller, WaitsAtEachPictureAndPausesTheJob) {
    using P = ProgressionChoice;
    const struct {
        std::deque<P> answers;
        bool pauseWhileWaiting;
        uint32_t mainPauseAt;
        const char *paused, *done;
    } cases[] = {
        {{P::Next, P::Pause}, false, 0, "paused pictures 2 shown 2 asked 2 adjusted 1", "asked 3"},
        {{P::Pause}, true, 0, "paused pictures 1 shown 1 asked 1 adjusted 1", "asked 2"},
        {{P::NoStop}, false, 10, "paused pictures 10 shown 10 asked 1 adjusted 1", "asked 2"},
    };
    const auto& c = cases[GetParam()];
    host.progressionAnswers = c.answers;
    host.whileWaiting = [&] {
        if (c.pauseWhileWaiting && !session.job().Paused) session.engine().togglePause();
    };
    host.onProcessEvents = [&, clicked = false]() mutable {
        if (!clicked && c.mainPauseAt != 0 && session.job().TotalPictures == c.mainPauseAt)
            clicked = true, session.engine().togglePause();
    };
    start(kActionShow, dir.path());
    session.tick();
    EXPECT_EQ(state(), c.paused);
    host.progressionAnswers = {P::NoStop};
    host.whileWaiting = {};
    session.engine().togglePause();
    runToEnd();
    EXPECT_EQ(state(),
              "running no stop done pictures 46 shown 46 " + std::string(c.done) + " adjusted 1");
    EXPECT_TRUE(files().empty());
    EXPECT_EQ(store().nbSubTitle(), 0);
}

INSTANTIATE_TEST_SUITE_P(Choices, Controller, ::testing::Range(0, 3));

TEST_F(SessionPictures, ControllerSavesTheShownPictureAndTheRawUnit) {
    std::string shownBmp;
    std::vector<uint8_t> unit;
    std::vector<bool> results;
    host.whileWaiting = [&] {
        if (session.job().TotalPictures != 1) return;
        shownBmp = encodeBitmapFile(session.outputBitmap());
        unit.assign(session.demuxer().spu().begin(), session.demuxer().spu().end());
        results = {
            session.actions().saveShownPictureAsBmp(), session.actions().saveShownPictureAsBmp(),
            session.actions().saveCurrentSpuAsSup(),   session.actions().saveCurrentSpuAsSup(),
            session.actions().saveShownPictureAsBmp(), session.actions().saveShownPictureAsBmp()};
    };
    host.saveFiles = {dir / "a",    dir / "b.bmp",      dir / "c",
                      std::nullopt, dir / "gone" / "d", std::nullopt};
    host.answers = {Answer::Ok};
    host.progressionAnswers = {ProgressionChoice::NoStop};
    start(kActionShow, dir.path());
    runToEnd();

    EXPECT_EQ(results, (std::vector<bool>{true, true, true, false, false, false}));
    EXPECT_EQ(files(), (std::vector<std::string>{"a.BMP", "b.bmp.BMP", "c.SUP"}));
    EXPECT_EQ(readWholeFile(dir / "a.BMP"), shownBmp);
    ASSERT_EQ(unit.size(), 928u); // the first unit, whole
    EXPECT_EQ(readWholeFile(dir / "c.SUP"), std::string(unit.begin(), unit.end()));
    ASSERT_EQ(host.fileRequests.size(), 6u);
    EXPECT_EQ(host.fileRequests[1].initialFolder, dir.path());
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find((dir / "gone" / "d.BMP").string()), std::string::npos);
}
