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

// `count` video packs with SPUs at the given indices (and the packs after them).
std::vector<Pack> vobPacks(size_t count, const std::map<size_t, Bytes>& spus,
                           uint8_t stream = 0x20) {
    std::vector<Pack> packs;
    while (packs.size() < count) {
        const uint32_t scr = uint32_t(packs.size() + 1) * kScrStep;
        const auto it = spus.find(packs.size());
        append(packs, it == spus.end() ? std::vector<Pack>{videoPack(scr)}
                                       : spuPacks(it->second, stream, scr + 9000, scr));
    }
    return packs;
}

// A unit of the given size: two lines of picture, then bytes never drawn.
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
        writeVob(dir / name, packs);
        return dir / name;
    }
    static JobSetup setup(std::vector<std::filesystem::path> files, uint8_t action) {
        JobSetup s;
        s.files = std::move(files);
        s.action = action;
        return s;
    }
    void start(std::vector<std::filesystem::path> files, uint8_t action = kActionShow,
               bool timing = false, std::string prefix = {}) {
        JobSetup s = setup(std::move(files), action);
        s.withTimingAndPosition = timing;
        s.picturePrefix = std::move(prefix);
        ASSERT_TRUE(engine.startJob(s));
    }
    void runToEnd() {
        for (int i = 0; i < 100 && !job.finished(); ++i)
            if (engine.tick() == TickResult::Nothing) break;
    }
    const RipDisplay& shown() const { return host.displays.back(); }
    std::string seen() const {
        std::string s;
        for (const Seen& e : actions.seen)
            s += (s.empty() ? "" : " ") + std::to_string(e.number) + ":" + std::to_string(e.bytes);
        return s;
    }
    std::string where() const {
        return std::string(job.Paused ? "paused" : "running") + " file " +
               std::to_string(job.CurrentFile) + " pack " + std::to_string(job.ContinuePack) +
               " pictures " + std::to_string(job.VobPictures) + "/" +
               std::to_string(job.TotalPictures);
    }
    void reprocessOnce() {
        actions.onEvent = [once = false](RipEngine& e, const SubpictureEvent&) mutable {
            if (!once) e.pauseToReprocessSubpicture();
            once = true;
        };
    }
};

int64_t StartMs(size_t pack) {
    return (int64_t(pack + 1) * kScrStep + 9000) / 90;
}

// simpleSpu with the forced start command in its first sequence.
Bytes forcedSpu() {
    Bytes spu = simpleSpu();
    const size_t ctrl = size_t(spu[2]) << 8 | spu[3];
    // after 0x06 (5 bytes) and 0x05 (7 bytes)
    *std::find(spu.begin() + long(ctrl) + 4, spu.end(), 0x01) = 0x00;
    return spu;
}

} // namespace

TEST_F(Engine, ThreeFilesShowProgressAndCounters) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i <= 3; ++i)
        files.push_back(vob("VTS_01_" + std::to_string(i) + ".VOB",
                            vobPacks(1536, {{100, simpleSpu()}, {900, simpleSpu()}})));
    start(files);
    EXPECT_EQ(job.TotalSizeKb, 9u * 1024);
    auto progress = [&] {
        return std::to_string(shown().progress->positionKb) + " KiB " +
               std::to_string(shown().progressPercent) + "% " + shown().vobFile + " " +
               std::to_string(shown().vobNumber) + "/" + std::to_string(shown().vobCount) + " " +
               std::to_string(shown().jobPictures) + " " + where() +
               (job.Busy || shown().pauseEnabled ? " busy" : "");
    };
    const char* const want[] = {
        "3072 KiB 33% VTS_01_1.VOB 1/3 2 running file 2 pack 0 pictures 2/2",
        "6144 KiB 66% VTS_01_2.VOB 2/3 4 running file 3 pack 0 pictures 2/4",
        "9216 KiB 100% VTS_01_3.VOB 3/3 6 running file 4 pack 0 pictures 2/6"};
    bool pauseOffered = true;
    host.onProcessEvents = [&] { pauseOffered = pauseOffered && shown().pauseEnabled; };
    for (const char* w : want) {
        EXPECT_EQ(engine.tick(), TickResult::Processed);
        EXPECT_EQ(progress(), w);
        // Progress at packs 0, 512 and 1024, after each SPU and at the end.
        EXPECT_TRUE(w != want[0] || host.eventDispatches == 6) << host.eventDispatches;
    }
    EXPECT_EQ(engine.tick(), TickResult::Nothing);
    EXPECT_EQ(seen(), "1:48 2:48 3:48 4:48 5:48 6:48");
    EXPECT_TRUE(pauseOffered) << "Pause is offered while a file is read";
}

TEST_F(Engine, PauseDuringHalfAssembledSpuLosesAndDoublesNothing) {
    // SPU A: packs 511 and 513 with a video pack between; SPU B at 1000.
    auto packs = vobPacks(1200, {{1000, simpleSpu()}});
    const auto aPacks = spuPacks(bigSpu(3000), 0x20, 0, 511 * kScrStep, 2019, false);
    packs[511] = aPacks[0];
    packs[513] = aPacks[1];
    start({vob("a.vob", packs)});
    host.tickStep = 1;
    host.onProcessEvents = [&] {
        if (host.eventDispatches == 2) engine.togglePause(); // the dispatch at pack 512
    };
    engine.tick();
    EXPECT_EQ(where(), "paused file 1 pack 515 pictures 1/1");
    EXPECT_TRUE(!job.Busy && shown().paused && shown().openVobEnabled);
    EXPECT_EQ(seen(), "1:3000");
    const std::string elapsedAtPause = timeCodeToStr(job.Elapsed);

    EXPECT_EQ(engine.tick(), TickResult::Nothing);
    host.clock += 3'600'000; // an hour spent paused is not processing time
    engine.togglePause();
    EXPECT_FALSE(shown().paused);
    runToEnd();
    EXPECT_TRUE(job.finished());
    EXPECT_EQ(seen(), "1:3000 2:" + std::to_string(simpleSpu().size()));
    EXPECT_EQ(job.VobPictures, 2u);
    EXPECT_LT(timeCodeToMs(job.Elapsed), 1000);
    EXPECT_NE(timeCodeToStr(job.Elapsed), elapsedAtPause);
}

// A unit over two packs, and one across two files (counted where it ends).
TEST_F(Engine, PauseFromDialogProcessesTheInterruptedSpuAgain) {
    auto straddle = vobPacks(40, {{38, bigSpu(3500)}});
    std::vector<Pack> second{straddle.back()};
    append(second, vobPacks(10, {{5, simpleSpu()}}));
    straddle.pop_back();
    const struct {
        std::vector<std::vector<Pack>> files;
        std::string bytes;
        const char *paused, *done;
    } cases[] = {
        {{vobPacks(600, {{100, bigSpu(3000)}, {300, simpleSpu()}})},
         "3000",
         "paused file 1 pack 100 pictures 0/0",
         "running file 2 pack 0 pictures 2/2"},
        {{straddle, second},
         "3500",
         "paused file 1 pack 38 pictures 0/0",
         "running file 3 pack 0 pictures 2/2"},
    };
    for (const auto& c : cases) {
        actions.seen.clear();
        std::vector<std::filesystem::path> files;
        for (const auto& packs : c.files)
            files.push_back(vob(std::to_string(files.size()) + ".vob", packs));
        start(files);
        reprocessOnce();
        runToEnd();
        EXPECT_EQ(where(), c.paused);
        engine.togglePause();
        runToEnd();
        EXPECT_EQ(seen(), "1:" + c.bytes + " 1:" + c.bytes + " 2:48");
        EXPECT_EQ(where(), c.done);
    }
}

TEST_F(Engine, BadPackHaltsTheJobOnNoAndIsSkippedOnYes) {
    auto packs = vobPacks(10, {{6, simpleSpu()}});
    packs[3][0] = 0xFF;
    const auto path = vob("a.vob", packs);
    start({path});
    host.answers = {Answer::No};
    EXPECT_EQ(engine.tick(), TickResult::Processed);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].text, "Bad Packet Header at LBA: 4\rDo you want to continue ?");
    EXPECT_TRUE(engine.halted() && job.Busy);
    EXPECT_EQ(engine.tick(), TickResult::Nothing);
    EXPECT_TRUE(actions.seen.empty());

    start({path});
    host.answers = {Answer::Yes};
    runToEnd();
    EXPECT_EQ(std::tuple(engine.halted(), job.finished(), seen()), std::tuple(false, true, "1:48"));
}

// A unit too short to recognise still closes the open entry; no stop: the next start.
TEST_F(Engine, ShortSubpicturesCloseTheOpenEntryAndOpenStopsCloseAtTheNextStart) {
    sink.add({"open"}, {0, 0, 0, 100}, {}, {});
    start({vob("a.vob", vobPacks(300, {{10, simpleSpu(17)},
                                       {50, simpleSpu(18)},
                                       {100, simpleSpu(-1)},
                                       {150, simpleSpu(100)},
                                       {220, simpleSpu(-1)}}))},
          kActionOcr);
    runToEnd();
    EXPECT_EQ(seen(), "2:48 3:42 4:48 5:42");
    std::string times;
    for (const auto& e : sink.entries)
        times += std::to_string(timeCodeToMs(e.start)) + "-" +
                 std::to_string(timeCodeToMs(e.stop)) + " ";
    EXPECT_EQ(times, "100-540 2140-2344 4140-6140 6140-7277 8940-0 ");
}

TEST_F(Engine, SupAndBmpActionsNameTheirFilesAndListThemWithTiming) {
    const Bytes unit = bigSpu(1500);
    start({vob("a.vob", vobPacks(50, {{10, unit}}))}, kActionSup, false, (dir / "film").string());
    runToEnd();
    EXPECT_EQ(readWholeFile(dir / "film000001.sup"), std::string(unit.begin(), unit.end()));
    EXPECT_EQ(session.subpicture().SequenceCount, 0u); // never decoded
    EXPECT_TRUE(sink.entries.empty() && host.shownRects.empty());

    const Bytes spu = simpleSpu(352, 10, 109, 400, 419);
    start({vob("a.vob", vobPacks(50, {{10, spu}, {30, spu}}))}, kActionSup, true,
          (dir / "film_").string());
    runToEnd();
    ASSERT_EQ(sink.entries.size(), 2u);
    const auto& e = sink.entries[1];
    EXPECT_EQ(e.lines, std::vector<std::string>{"film_000002.sup"});
    EXPECT_EQ(e.rect, (Rect{10, 400, 109, 419}));
    EXPECT_EQ(timeCodeToMs(e.stop) - timeCodeToMs(e.start), 4004);
    EXPECT_EQ(host.shownRects.size(), 2u);

    actions.seen.clear();
    start({vob("a.vob", vobPacks(50, {{10, simpleSpu()}}))}, kActionBmp, false,
          (dir / "pic").string());
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(actions.seen[0].fileName, (dir / "pic000001.bmp").string());
    EXPECT_EQ(actions.seen[0].rect, (Rect{100, 500, 199, 509}));
    EXPECT_EQ(pictureFileName("x", 1234567, ".sup"), "x1234567.sup");
}

// A failed write or an unforeseen failure pauses at the subpicture; Continue redoes it.
TEST_F(Engine, AFailedActionPausesAtItsSubpictureAndContinueDoesItAgain) {
    const auto folder = dir / "missing";
    bool fail = true;
    actions.onEvent = [&](RipEngine&, const SubpictureEvent&) {
        if (fail) throw std::runtime_error("out of memory");
    };
    for (const uint8_t action : {kActionSup, kActionShow}) {
        start({vob("a.vob", vobPacks(60, {{10, simpleSpu()}, {40, simpleSpu()}}))}, action, false,
              (folder / "s").string());
        host.questions.clear();
        host.answers = {Answer::Ok};
        engine.tick();
        ASSERT_EQ(host.questions.size(), 1u);
        const std::string& q = host.questions[0].text;
        const std::string why = action == kActionShow ? "out of memory" : "No such file";
        EXPECT_TRUE(q.find(why) != q.npos &&
                    (action == kActionShow || q.find(folder / "s000001.sup") != q.npos))
            << q;
        EXPECT_EQ(where(), "paused file 1 pack 10 pictures 0/0");
        std::filesystem::create_directories(folder);
        fail = action == kActionSup;
        engine.togglePause();
        runToEnd();
        EXPECT_EQ(where(), "running file 2 pack 0 pictures 2/2");
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "s000001.sup") &&
                std::filesystem::exists(folder / "s000002.sup"));
}

TEST_F(Engine, RemainingTimeSettlesFromSecondEstimate) {
    // 20 MiB + 2 packs: estimates at packs 0 and 10240.
    start({vob("a.vob", vobPacks(10242, {}))});
    job.FileSizeKb[0] += 100 * 1024; // pretend 100 MiB more are still to come
    job.TotalSizeKb += 100 * 1024;
    host.onProcessEvents = [&] { host.clock += 100; }; // 100 ms per MiB
    engine.tick();
    // The first estimate only primes; the second measured 2 s for 20 MiB, 100 MiB left.
    EXPECT_EQ(shown().progressPercent, 16);
    EXPECT_EQ(shown().remaining, (TTimeCode{0, 0, 10, 0}));
}

TEST_F(Engine, ForcedOnlyKeepsTheForcedSubpicturesAndCountsNothingElse) {
    const std::map<size_t, Bytes> spus = {{10, simpleSpu()},
                                          {50, forcedSpu()},
                                          {100, simpleSpu()},
                                          {150, forcedSpu()},
                                          {200, simpleSpu()}};
    JobSetup s = setup({vob("a.vob", vobPacks(300, spus))}, kActionOcr);
    for (bool forcedOnly : {true, false}) {
        actions.seen.clear();
        s.forcedOnly = forcedOnly;
        ASSERT_TRUE(engine.startJob(s));
        runToEnd();
        EXPECT_EQ(seen(), forcedOnly ? "1:48 2:48" : "1:48 2:48 3:48 4:48 5:48");
        EXPECT_EQ(job.TotalPictures, forcedOnly ? 2u : 5u);
    }
    ASSERT_EQ(sink.entries.size(), 7u);
    EXPECT_EQ(timeCodeToMs(sink.entries[0].start), StartMs(50));
    EXPECT_EQ(timeCodeToMs(sink.entries[1].start), StartMs(150));
}

TEST_F(Engine, AVobSubIndexTimesTheSubpicturesItLists) {
    // A .sub whose index lists the units at packs 10 and 40 (not 70), then a
    // VOB with none. The index wins over the PTS.
    const std::map<size_t, Bytes> spus = {{10, simpleSpu()}, {40, simpleSpu()}, {70, simpleSpu()}};
    auto index = std::make_shared<VobSubIndex>();
    index->streams[0].present = true;
    index->streams[0].entries = {
        {10 * kPackSize, 61'000}, {40 * kPackSize, 62'500}, {90 * kPackSize, 70'000}};
    // An entry of another stream at the same pack does not concern stream 1.
    index->streams[1].present = true;
    index->streams[1].entries = {{70 * kPackSize, 99'000}};
    JobSetup s = setup({vob("film.sub", vobPacks(100, spus)), vob("b.vob", vobPacks(100, spus))},
                       kActionShow);
    s.indexes = {index, nullptr};
    ASSERT_TRUE(engine.startJob(s));
    host.answers = {Answer::Ok};
    runToEnd();
    // the unit listed at pack 90 is not in the file: said once, at the end
    EXPECT_EQ(job.MissingPictures, 1u);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].text.find("1 of the 3 subpictures"), std::string::npos);
    std::vector<int64_t> times;
    for (const Seen& e : actions.seen) times.push_back(timeCodeToMs(e.times.start));
    // the VOB keeps its PTS
    EXPECT_EQ(times, (std::vector<int64_t>{61'000, 62'500, StartMs(70), StartMs(10), StartMs(40),
                                           StartMs(70)}));
    EXPECT_EQ(timeCodeToMs(actions.seen[0].times.stop), 61'000 + 4004);

    s.indexes = {index};
    EXPECT_EQ(engine.startJob(s).error, "The job's VobSub indexes do not match its files");
    s.files.clear();
    EXPECT_EQ(engine.startJob(s).error, "No VOB selected !!");
    EXPECT_EQ(job.FileList.size(), 2u); // nothing changed
}

TEST_F(Engine, FromVideoStartTimesTheSubpicturesFromTheFirstVideoFrame) {
    auto packs = vobPacks(100, {{50, simpleSpu()}});
    packs[1][21] = 0x80; // a PTS: the video starts at 1 s
    putPts(packs[1].data() + 23, 90 * 1000);
    JobSetup s = setup({vob("a.vob", packs)}, kActionShow);
    s.fromVideoStart = true;
    ASSERT_TRUE(engine.startJob(s));
    runToEnd();
    ASSERT_EQ(actions.seen.size(), 1u);
    EXPECT_EQ(timeCodeToMs(actions.seen[0].times.start), StartMs(50) - 1000);
}

// Units of two angles interleaved: 0-1 angle 1, 2-3 angle 2, 4-5 angle 1,
// each navigation pack naming its unit's last pack and its angle's next unit.
TEST_F(Engine, ARangeIsReadAloneTimedFromItsStartAndAnAngleFollowsItsUnits) {
    std::vector<Pack> packs = vobPacks(7, {{1, simpleSpu()}, {3, simpleSpu()}, {5, simpleSpu()}});
    for (auto [at, next] : {std::pair(0, 4u), std::pair(2, 4u), std::pair(4, 0x3FFFFFFFu)}) {
        packs[size_t(at)] = navPack(uint32_t(at + 1) * kScrStep, 0, 0, 0, 0);
        put32(packs[size_t(at)].data() + 1031 + 8, 1);
        put32(packs[size_t(at)].data() + 1031 + 314, next);
    }
    const auto file = vob("VTS_01_1.VOB", packs);
    auto starts = [&](PackRange range) {
        actions.seen.clear();
        session.resetTimeBase();
        JobSetup s = setup({file}, kActionShow);
        s.ranges = {range};
        EXPECT_TRUE(engine.startJob(s));
        job.NoStop = true;
        runToEnd();
        std::string text;
        for (const Seen& e : actions.seen)
            text += std::to_string(timeCodeToMs(e.times.start)) + " ";
        return text;
    };
    const int64_t base = kScrStep / 90, a = StartMs(1) - base, b = StartMs(3) - base;
    EXPECT_EQ(starts({0, 7, true}),
              std::to_string(a) + " " + std::to_string(StartMs(5) - base) + " ");
    EXPECT_EQ(starts({0, 7, false}).size(), 3 * (std::to_string(a).size() + 1));
    EXPECT_EQ(starts({2, 4, false}), std::to_string(b - (StartMs(2) - StartMs(0))) + " ");
}
