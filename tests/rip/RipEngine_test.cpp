#include "FakeHost.h"
#include "StreamBuilder.h"
#include "TempFolder.h"
#include "base/ByteReader.h"
#include "export/SupFile.h"
#include "rip/Session.h"
#include "rip/VobSubIndex.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

using namespace mirtal;
using namespace mirtal::test;

namespace {

class FakeSink : public SubtitleSink {
public:
    struct Entry {
        std::vector<std::string> lines;
        TTimeCode start, stop;
        Rect rect;
    };
    std::vector<Entry> entries;

    int count() const override { return int(entries.size()); }
    TTimeCode lastStop() const override { return entries.back().stop; }
    void closeLast(TTimeCode stop) override { entries.back().stop = stop; }
    void add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
             const Rect& rect) override {
        entries.push_back({lines, start, stop, rect});
    }
};

struct Seen {
    uint32_t number;
    DisplayTimes times;
    Rect rect;
    size_t bytes;
    std::string fileName;
};

// Records what the engine hands on; the OCR hook adds one entry as the OCR
// driver would.
class RecordingActions : public SubpictureActions {
public:
    std::vector<Seen> seen;
    std::function<void(RipEngine&, const SubpictureEvent&)> onEvent;

    void recognise(RipEngine& engine, const SubpictureEvent& e) override {
        record(engine, e);
        engine.subtitles().add({"text " + std::to_string(e.number)}, e.times.start, e.times.stop,
                               e.rect);
    }
    Result saveBitmap(RipEngine& engine, const SubpictureEvent& e) override {
        record(engine, e);
        return {};
    }
    void show(RipEngine& engine, const SubpictureEvent& e) override { record(engine, e); }

private:
    void record(RipEngine& engine, const SubpictureEvent& e) {
        seen.push_back({e.number, e.times, e.rect, e.spu.size(), e.fileName});
        if (onEvent) onEvent(engine, e);
    }
};

constexpr uint32_t kScrStep = 3600; // 40 ms per pack

// A file of `count` video packs with SPUs placed at given pack indices; an
// SPU that needs more packs takes the following indices.
std::vector<Pack> vobPacks(size_t count, const std::map<size_t, Bytes>& spus,
                           uint8_t stream = 0x20) {
    std::vector<Pack> packs;
    for (size_t i = 0; i < count;) {
        uint32_t scr = uint32_t(i + 1) * kScrStep;
        if (auto it = spus.find(i); it != spus.end()) {
            for (const Pack& p : spuPacks(it->second, stream, scr + 9000, scr)) {
                packs.push_back(p);
                ++i;
            }
            continue;
        }
        packs.push_back(videoPack(scr));
        ++i;
    }
    return packs;
}

// A unit of the given size: two lines of picture, then bytes that lie past
// the last line and are never drawn.
Bytes bigSpu(size_t bytes) {
    Bytes small = simpleSpu(100, 0, 99, 0, 1);
    Bytes top = Bytes{0x00, 0x01} + Bytes(bytes - small.size(), 0x00);
    return makeSpu(top, {0x00, 0x02}, {{0, displayArea(0, 99, 0, 1) + Bytes{0x01}}, {100, {0x02}}});
}

struct Engine : ::testing::Test {
    TempFolder dir;
    FakeHost host;
    MessageCatalogue catalogue;
    FakeSink sink;
    RecordingActions actions;
    Session session{host, catalogue, sink, &actions};
    RipEngine& engine = session.engine();
    RipJob& job = session.engine().job();

    std::filesystem::path vob(const std::string& name, const std::vector<Pack>& packs) {
        auto p = dir / name;
        writeVob(p, packs);
        return p;
    }
    void start(std::vector<std::filesystem::path> files, uint8_t action = kActionShow,
               bool timing = false, std::string prefix = {}) {
        JobSetup s;
        s.files = std::move(files);
        s.action = action;
        s.withTimingAndPosition = timing;
        s.picturePrefix = std::move(prefix);
        ASSERT_TRUE(engine.startJob(s));
    }
    // Ticks until the job is finished or stops (pause, halt).
    void runToEnd() {
        for (int i = 0; i < 100 && !job.finished(); ++i)
            if (engine.tick() == TickResult::Nothing) break;
    }
    const RipDisplay& shown() const { return host.displays.back(); }
};

} // namespace

TEST_F(Engine, ThreeFilesShowProgressAndCounters) {
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 3; ++i)
        files.push_back(vob("VTS_01_" + std::to_string(i + 1) + ".VOB",
                            vobPacks(1536, {{100, simpleSpu()}, {900, simpleSpu()}})));
    start(files);
    EXPECT_FALSE(job.Paused);
    EXPECT_EQ(job.TotalSizeKb, 9u * 1024);

    EXPECT_EQ(engine.tick(), TickResult::Processed);
    EXPECT_EQ(shown().progress->positionKb >> 10, 3u);
    EXPECT_EQ(shown().progressPercent, 33);
    EXPECT_EQ(shown().vobFile, "VTS_01_1.VOB");
    EXPECT_EQ(shown().vobCount, 3u);
    EXPECT_EQ(job.VobPictures, 2u);
    EXPECT_EQ(job.TotalPictures, 2u);
    EXPECT_EQ(job.CurrentFile, 2u);
    EXPECT_FALSE(job.Busy);
    EXPECT_FALSE(shown().pauseEnabled);
    // Progress at packs 0, 512 and 1024, after each SPU and at the end.
    EXPECT_EQ(host.eventDispatches, 6);

    EXPECT_EQ(engine.tick(), TickResult::Processed);
    EXPECT_EQ(shown().progressPercent, 66);
    EXPECT_EQ(shown().vobNumber, 2u);
    EXPECT_EQ(job.VobPictures, 2u);
    EXPECT_EQ(job.TotalPictures, 4u);

    EXPECT_EQ(engine.tick(), TickResult::Processed);
    EXPECT_EQ(shown().progress->positionKb, 9u * 1024);
    EXPECT_EQ(shown().progressPercent, 100);
    EXPECT_EQ(shown().jobPictures, 6u);
    EXPECT_TRUE(job.finished());
    EXPECT_EQ(engine.tick(), TickResult::Nothing);
    ASSERT_EQ(actions.seen.size(), 6u);
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(actions.seen[i].number, i + 1);
}

TEST_F(Engine, PauseDuringHalfAssembledSpuLosesAndDoublesNothing) {
    // SPU A: packs 511 and 513 with a video pack between; SPU B at 1000.
    auto packs = vobPacks(1200, {{1000, simpleSpu()}});
    Bytes a = bigSpu(3000);
    auto aPacks = spuPacks(a, 0x20, 0, 511 * kScrStep, 2019, false);
    packs[511] = aPacks[0];
    packs[513] = aPacks[1];
    start({vob("a.vob", packs)});
    host.tickStep = 1;
    host.onProcessEvents = [&] {
        if (host.eventDispatches == 2) engine.togglePause(); // the dispatch at pack 512
    };
    engine.tick();
    EXPECT_TRUE(job.Paused);
    EXPECT_FALSE(job.Busy);
    EXPECT_EQ(job.ContinuePack, 515u); // the pack after the first video pack past SPU A
    EXPECT_TRUE(shown().paused);
    EXPECT_TRUE(shown().openVobEnabled);
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(actions.seen[0].bytes, 3000u);
    std::string elapsedAtPause = TimeCodeToStr(job.Elapsed);

    EXPECT_EQ(engine.tick(), TickResult::Nothing); // paused: ticks do nothing
    host.clock += 3'600'000;                       // an hour spent paused is not processing time
    engine.togglePause();
    EXPECT_FALSE(shown().paused);
    runToEnd();
    EXPECT_TRUE(job.finished());
    ASSERT_EQ(actions.seen.size(), 2u);
    EXPECT_EQ(actions.seen[1].number, 2u);
    EXPECT_EQ(job.VobPictures, 2u);
    EXPECT_LT(TimeCodeToMs(job.Elapsed), 1000);
    EXPECT_NE(TimeCodeToStr(job.Elapsed), elapsedAtPause);
}

TEST_F(Engine, PauseFromDialogProcessesTheInterruptedSpuAgain) {
    // A unit over two packs at 100, and a unit in the first pack of the file.
    const Bytes two = bigSpu(3000);
    const struct {
        std::map<size_t, Bytes> spus;
        uint32_t continuePack;
    } cases[] = {{{{100, two}, {300, simpleSpu()}}, 100}, {{{0, two}, {200, simpleSpu()}}, 0}};
    for (const auto& c : cases) {
        actions.seen.clear();
        start({vob("a.vob", vobPacks(600, c.spus))});
        int interruptions = 0;
        actions.onEvent = [&](RipEngine& e, const SubpictureEvent& ev) {
            if (ev.number == 1 && interruptions++ == 0) e.PauseToReprocessSubpicture();
        };
        engine.tick();
        EXPECT_TRUE(job.Paused);
        EXPECT_EQ(job.ContinuePack, c.continuePack);
        EXPECT_EQ(job.TotalPictures, 0u);
        EXPECT_EQ(job.VobPictures, 0u);
        engine.togglePause();
        runToEnd();
        ASSERT_EQ(actions.seen.size(), 3u);
        EXPECT_EQ(actions.seen[1].number, 1u);
        EXPECT_EQ(actions.seen[1].bytes, two.size());
        EXPECT_EQ(actions.seen[2].number, 2u);
        EXPECT_EQ(job.TotalPictures, 2u);
        EXPECT_EQ(job.VobPictures, 2u);
    }
}

TEST_F(Engine, UncountSubpictureTakesItOutOfTheCounts) {
    start({vob("a.vob", vobPacks(100, {{10, simpleSpu()}, {50, simpleSpu()}}))});
    bool once = false;
    actions.onEvent = [&](RipEngine& e, const SubpictureEvent&) {
        if (!once) e.UncountSubpicture();
        once = true;
    };
    runToEnd();
    EXPECT_EQ(job.TotalPictures, 1u);
    EXPECT_EQ(actions.seen.size(), 2u);
    EXPECT_EQ(actions.seen[1].number, 1u);
}

TEST_F(Engine, BadPackHaltsTheJobOnNoAndIsSkippedOnYes) {
    auto packs = vobPacks(10, {{6, simpleSpu()}});
    packs[3][0] = 0xFF;
    auto path = vob("a.vob", packs);
    start({path});
    host.answers = {Answer::No};
    EXPECT_EQ(engine.tick(), TickResult::Processed);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].text, "Bad Packet Header at LBA: 4\rDo you want to continue ?");
    EXPECT_TRUE(engine.halted());
    EXPECT_TRUE(job.Busy);
    EXPECT_EQ(engine.tick(), TickResult::Nothing);
    EXPECT_TRUE(actions.seen.empty());

    start({path});
    host.answers = {Answer::Yes};
    runToEnd();
    EXPECT_FALSE(engine.halted());
    EXPECT_TRUE(job.finished());
    EXPECT_EQ(actions.seen.size(), 1u);
}

TEST_F(Engine, ShortSubpicturesAreNotRecognisedButCloseThePreviousOne) {
    sink.add({"open"}, {0, 0, 0, 100}, {}, {});
    start({vob("a.vob", vobPacks(100, {{10, simpleSpu(17)}, {50, simpleSpu(18)}}))}, kActionOcr);
    actions.onEvent = [&](RipEngine&, const SubpictureEvent&) {};
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u); // only the 204 ms one
    EXPECT_EQ(actions.seen[0].number, 2u);
    ASSERT_EQ(sink.entries.size(), 2u);
    // The open entry was closed at the 193 ms subpicture's start.
    uint32_t scr10 = 11 * kScrStep;
    EXPECT_EQ(sink.entries[0].stop, MsToTimeCode((scr10 + 9000) / 90));
    EXPECT_EQ(sink.entries[1].stop, MsToTimeCode((51 * kScrStep + 9000) / 90 + 204));
}

TEST_F(Engine, OpenStopIsClosedByNextStart) {
    start({vob("a.vob",
               vobPacks(200, {{10, simpleSpu(-1)}, {60, simpleSpu(100)}, {120, simpleSpu(-1)}}))},
          kActionOcr);
    runToEnd();
    ASSERT_EQ(sink.entries.size(), 3u);
    EXPECT_EQ(sink.entries[0].stop, sink.entries[1].start);
    EXPECT_EQ(TimeCodeToMs(sink.entries[1].stop) - TimeCodeToMs(sink.entries[1].start), 1137);
    EXPECT_TRUE(sink.entries[2].stop.isZero());
}

TEST_F(Engine, SupAndBmpActionsNameTheirFilesAndListThemWithTiming) {
    Bytes unit = bigSpu(1500);
    start({vob("a.vob", vobPacks(50, {{10, unit}}))}, kActionSup, false, (dir / "film").string());
    runToEnd();
    EXPECT_EQ(readWholeFile(dir / "film000001.sup"), std::string(unit.begin(), unit.end()));
    EXPECT_EQ(session.subpicture().SequenceCount, 0u); // never decoded
    EXPECT_TRUE(sink.entries.empty());
    EXPECT_TRUE(host.shownRects.empty());

    Bytes spu = simpleSpu(352, 10, 109, 400, 419);
    start({vob("a.vob", vobPacks(50, {{10, spu}, {30, spu}}))}, kActionSup, true,
          (dir / "film_").string());
    runToEnd();
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(sink.entries[1].lines, std::vector<std::string>{"film_000002.sup"});
    EXPECT_EQ(sink.entries[1].rect, (Rect{10, 400, 109, 419}));
    EXPECT_EQ(TimeCodeToMs(sink.entries[1].stop) - TimeCodeToMs(sink.entries[1].start), 4004);
    EXPECT_EQ(host.shownRects.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(dir / "film_000001.sup"));

    actions.seen.clear();
    start({vob("a.vob", vobPacks(50, {{10, simpleSpu()}}))}, kActionBmp, false,
          (dir / "pic").string());
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(actions.seen[0].fileName, (dir / "pic000001.bmp").string());
    EXPECT_EQ(actions.seen[0].rect, (Rect{100, 500, 199, 509}));
    EXPECT_EQ(PictureFileName("x", 1234567, ".sup"), "x1234567.sup");
    EXPECT_EQ(PictureFileName("", 0, ""), "000000");
}

TEST_F(Engine, FailedSupWriteIsReportedAndPausesAtThatSubpicture) {
    start({vob("a.vob", vobPacks(60, {{10, simpleSpu()}, {40, simpleSpu()}}))}, kActionSup, false,
          (dir / "missing" / "s").string());
    host.answers = {Answer::Ok};
    engine.tick();
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find((dir / "missing" / "s000001.sup").string()),
              std::string::npos);
    EXPECT_NE(host.questions[0].text.find("No such file"), std::string::npos);
    EXPECT_TRUE(job.Paused);
    EXPECT_EQ(job.ContinuePack, 10u);
    EXPECT_EQ(job.TotalPictures, 0u);

    std::filesystem::create_directory(dir / "missing");
    engine.togglePause();
    runToEnd();
    EXPECT_TRUE(job.finished());
    EXPECT_TRUE(std::filesystem::exists(dir / "missing" / "s000001.sup"));
    EXPECT_TRUE(std::filesystem::exists(dir / "missing" / "s000002.sup"));
    EXPECT_EQ(job.TotalPictures, 2u);
}

TEST_F(Engine, AnActionThatFailsUnforeseenPausesAtItsSubpictureInsteadOfEndingTheProgram) {
    start({vob("a.vob", vobPacks(60, {{10, simpleSpu()}, {40, simpleSpu()}}))});
    bool fail = true;
    actions.onEvent = [&](RipEngine&, const SubpictureEvent&) {
        if (fail) throw std::runtime_error("out of memory");
    };
    host.answers = {Answer::Ok};
    engine.tick();
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find("out of memory"), std::string::npos);
    EXPECT_TRUE(job.Paused);
    fail = false;
    engine.togglePause();
    runToEnd();
    EXPECT_TRUE(job.finished());
}

TEST_F(Engine, SpuStraddlingTwoFilesIsJoined) {
    Bytes spu = bigSpu(3500);
    auto packs = vobPacks(40, {{38, spu}}); // packs 38 and 39
    std::vector<Pack> first(packs.begin(), packs.begin() + 39);
    std::vector<Pack> second{packs[39]};
    append(second, vobPacks(10, {}));
    start({vob("1.vob", first), vob("2.vob", second)});
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(actions.seen[0].bytes, spu.size());
    EXPECT_EQ(job.VobPictures, 1u); // counted in the file where it completed
}

TEST_F(Engine, PauseFromDialogOnStraddlingSpuGoesBackToTheFirstFile) {
    Bytes spu = bigSpu(3500);
    auto packs = vobPacks(40, {{38, spu}});
    std::vector<Pack> first(packs.begin(), packs.begin() + 39);
    std::vector<Pack> second{packs[39]};
    append(second, vobPacks(10, {{5, simpleSpu()}}));
    start({vob("1.vob", first), vob("2.vob", second)});
    bool once = false;
    actions.onEvent = [&](RipEngine& e, const SubpictureEvent&) {
        if (!once) e.PauseToReprocessSubpicture();
        once = true;
    };
    runToEnd(); // file 1 ends; file 2 completes the SPU and pauses
    EXPECT_TRUE(job.Paused);
    EXPECT_EQ(job.CurrentFile, 1u);
    EXPECT_EQ(job.ContinuePack, 38u);
    engine.togglePause();
    runToEnd();
    EXPECT_TRUE(job.finished());
    ASSERT_EQ(actions.seen.size(), 3u);
    EXPECT_EQ(actions.seen[1].number, 1u);
    EXPECT_EQ(actions.seen[1].bytes, spu.size());
    EXPECT_EQ(actions.seen[2].number, 2u);
    EXPECT_EQ(job.TotalPictures, 2u);
}

TEST_F(Engine, RemainingTimeSettlesFromSecondEstimate) {
    // 20 MiB + 2 packs: estimates at packs 0 and 10240.
    auto path = vob("a.vob", vobPacks(10242, {}));
    start({path});
    job.FileSizeKb[0] += 100 * 1024; // pretend 100 MiB more are still to come
    job.TotalSizeKb += 100 * 1024;
    host.onProcessEvents = [&] { host.clock += 100; }; // 100 ms per MiB
    engine.tick();
    // The first estimate only primes the baselines; the one at pack 10240
    // measured 2000 ms for 20 MiB and leaves 100 MiB.
    EXPECT_EQ(shown().progressPercent, 16);
    EXPECT_EQ(shown().remaining, (TTimeCode{0, 0, 10, 0}));
}

TEST_F(Engine, StartJobRefusesEmptyOrOversizedLists) {
    JobSetup s;
    EXPECT_EQ(engine.startJob(s).error, "No VOB selected !!");
    s.files.assign(1025, dir / "x.vob");
    EXPECT_FALSE(engine.startJob(s));
    EXPECT_TRUE(job.Paused); // nothing changed
}

TEST(Sessions, TwoSessionsDoNotSeeEachOther) {
    TempFolder dir;
    auto packs = vobPacks(200, {{10, simpleSpu()}, {100, simpleSpu()}});
    auto other = vobPacks(200, {{50, simpleSpu()}}, 0x21);
    for (size_t i = 0; i < 200; ++i)
        if (be32At(other[i], 14) == 0x000001BD) packs[i] = other[i];
    writeVob(dir / "a.vob", packs);
    FakeHost h1, h2;
    MessageCatalogue catalogue;
    FakeSink s1, s2;
    RecordingActions a1, a2;
    Session one(h1, catalogue, s1, &a1), two(h2, catalogue, s2, &a2);
    two.demuxer().restartTimeLineAt({1, 0, 0, 0});
    two.chooseStream(0x21);
    JobSetup setup;
    setup.files = {dir / "a.vob"};
    setup.action = kActionShow;
    ASSERT_TRUE(one.engine().startJob(setup));
    ASSERT_TRUE(two.engine().startJob(setup));
    two.engine().tick();
    one.engine().tick();
    ASSERT_EQ(a1.seen.size(), 2u);
    ASSERT_EQ(a2.seen.size(), 1u);
    EXPECT_EQ(one.job().TotalPictures, 2u);
    EXPECT_EQ(two.job().TotalPictures, 1u);
    EXPECT_LT(TimeCodeToMs(a1.seen[0].times.start), 60'000);
    EXPECT_GE(TimeCodeToMs(a2.seen[0].times.start), 3'600'000);
}

namespace {

// simpleSpu with the forced start command in its first sequence.
Bytes forcedSpu(int stopDelay = 352) {
    Bytes spu = simpleSpu(stopDelay);
    const size_t ctrl = size_t(spu[2]) << 8 | spu[3];
    for (size_t i = ctrl + 4; i < spu.size(); ++i)
        if (spu[i] == 0x01) { // after 0x06 (5 bytes) and 0x05 (7 bytes)
            spu[i] = 0x00;
            break;
        }
    return spu;
}

} // namespace

TEST_F(Engine, ForcedOnlyKeepsTheForcedSubpicturesAndCountsNothingElse) {
    const auto file = vob("a.vob", vobPacks(300, {{10, simpleSpu()},
                                                  {50, forcedSpu()},
                                                  {100, simpleSpu()},
                                                  {150, forcedSpu()},
                                                  {200, simpleSpu()}}));
    JobSetup s;
    s.files = {file};
    s.action = kActionOcr;
    s.forcedOnly = true;
    ASSERT_TRUE(engine.startJob(s));
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 2u);
    EXPECT_EQ(actions.seen[0].number, 1u);
    EXPECT_EQ(actions.seen[1].number, 2u);
    EXPECT_EQ(actions.seen[0].times.start, MsToTimeCode((51 * kScrStep + 9000) / 90));
    EXPECT_EQ(actions.seen[1].times.start, MsToTimeCode((151 * kScrStep + 9000) / 90));
    EXPECT_EQ(job.TotalPictures, 2u);
    EXPECT_EQ(sink.entries.size(), 2u);

    // The same file without the option: all five, the forced ones among them.
    actions.seen.clear();
    s.forcedOnly = false;
    ASSERT_TRUE(engine.startJob(s));
    runToEnd();
    EXPECT_EQ(actions.seen.size(), 5u);
    EXPECT_EQ(job.TotalPictures, 5u);
}

TEST_F(Engine, AVobSubIndexTimesTheSubpicturesItLists) {
    // Two files: a .sub whose index lists the units at packs 10 and 40 (not
    // the one at 70), then a VOB with none. The index wins over the PTS; the
    // delay is already in its entries.
    const std::map<size_t, Bytes> spus = {{10, simpleSpu()}, {40, simpleSpu()}, {70, simpleSpu()}};
    const auto sub = vob("film.sub", vobPacks(100, spus));
    const auto plain = vob("b.vob", vobPacks(100, spus));
    auto index = std::make_shared<VobSubIndex>();
    index->streams[0].present = true;
    index->streams[0].entries = {
        {10 * kPackSize, 61'000}, {40 * kPackSize, 62'500}, {90 * kPackSize, 70'000}};
    // An entry of another stream at the same pack does not concern stream 1.
    index->streams[1].present = true;
    index->streams[1].entries = {{70 * kPackSize, 99'000}};
    JobSetup s;
    s.files = {sub, plain};
    s.indexes = {index, nullptr};
    s.action = kActionShow;
    ASSERT_TRUE(engine.startJob(s));
    host.answers = {Answer::Ok};
    runToEnd();
    // the unit listed at pack 90 is not in the file: said once, at the end
    EXPECT_EQ(job.MissingPictures, 1u);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find("1 of the 3 subpictures"), std::string::npos);
    ASSERT_EQ(actions.seen.size(), 6u);
    EXPECT_EQ(TimeCodeToMs(actions.seen[0].times.start), 61'000);
    EXPECT_EQ(TimeCodeToMs(actions.seen[0].times.stop), 61'000 + 4004);
    EXPECT_EQ(TimeCodeToMs(actions.seen[1].times.start), 62'500);
    EXPECT_EQ(actions.seen[2].times.start, MsToTimeCode((71 * kScrStep + 9000) / 90));
    for (size_t i = 3; i < 6; ++i)
        EXPECT_LT(TimeCodeToMs(actions.seen[i].times.start), 10'000) << "the VOB keeps its PTS";

    s.indexes = {index};
    EXPECT_EQ(engine.startJob(s).error, "The job's VobSub indexes do not match its files");
}

TEST_F(Engine, FromVideoStartTimesTheSubpicturesFromTheFirstVideoFrame) {
    auto packs = vobPacks(100, {{50, simpleSpu()}});
    packs[1][21] = 0x80; // a PTS: the video starts at 1 s
    putPts(packs[1].data() + 23, 90 * 1000);
    JobSetup s;
    s.files = {vob("a.vob", packs)};
    s.action = kActionShow;
    s.fromVideoStart = true;
    ASSERT_TRUE(engine.startJob(s));
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(TimeCodeToMs(actions.seen[0].times.start), (51 * kScrStep + 9000) / 90 - 1000);
}
