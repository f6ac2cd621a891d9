#include "StreamBuilder.h"
#include "rip/Demuxer.h"

#include <gtest/gtest.h>
#include <memory>
#include <numeric>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct DemuxFixture : ::testing::Test {
    std::unique_ptr<Demuxer> demux = std::make_unique<Demuxer>();
    RipDisplay display;
    uint32_t startPack = 0;
    uint32_t filePos = 0;

    PackKind feed(const Pack& p, uint8_t stream = 0x20) {
        return demux->processPack(p, ++filePos, stream, display, startPack);
    }
    void SetUp() override { demux->resetTimeBase(display); }
    void fresh() {
        demux = std::make_unique<Demuxer>();
        SetUp();
    }
};

Bytes countingBytes(size_t n, uint16_t announced) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), uint8_t(7));
    b[0] = uint8_t(announced >> 8);
    b[1] = uint8_t(announced);
    return b;
}

} // namespace

using Demux = DemuxFixture;

TEST_F(Demux, VideoAudioAndOtherSubstreamsAreOtherPacks) {
    EXPECT_EQ(feed(videoPack(100)), PackKind::Other);
    EXPECT_EQ(feed(elementPack(200, 0x000001C0)), PackKind::Other);
    Bytes ac3(100, 0x0B);
    EXPECT_EQ(feed(subtitlePack(300, 0x80, ac3.data(), ac3.size(), true)), PackKind::Other);
    EXPECT_EQ(feed(spuPacks(simpleSpu(), 0x21, 0, 400)[0], 0x20), PackKind::Other);
    EXPECT_EQ(demux->spu().size(), 0u);
}

TEST_F(Demux, BadPackHeaderIsReportedAndLeavesTheClock) {
    feed(videoPack(9000));
    Pack bad = videoPack(90000);
    bad[3] = 0xBB;
    EXPECT_EQ(feed(bad), PackKind::BadHeader);
    EXPECT_EQ(demux->currentScr(), 9000);
}

// A clock restarting at 0 continues one step later, one going back changes nothing; a
// restarted time line anchors the first pack at its time unless the pack's is later.
TEST_F(Demux, ClockRestartsAndRebasesSetTheTimeOffset) {
    const struct {
        TTimeCode restart;
        std::vector<uint32_t> scrs;
        TTimeCode offset, now;
        uint32_t pts;
        TTimeCode spuStart;
    } cases[] = {
        {{}, {900000 - 3600, 900000, 0}, {0, 0, 10, 40}, {0, 0, 10, 40}, 0, {0, 0, 10, 40}},
        {{}, {900000, 450000}, {}, {0, 0, 5, 0}, 270000, {0, 0, 3, 0}},
        {{1, 2, 3, 500}, {90000}, {1, 2, 2, 500}, {1, 2, 3, 500}, 180000, {1, 2, 4, 500}},
        {{0, 0, 1, 0}, {900000}, {}, {0, 0, 10, 0}, 270000, {0, 0, 3, 0}},
    };
    for (const auto& c : cases) {
        fresh();
        if (!c.restart.isZero()) demux->restartTimeLineAt(c.restart);
        for (uint32_t scr : c.scrs) feed(videoPack(scr));
        EXPECT_EQ(std::tuple(demux->timeOffset(), demux->currentStreamTime()),
                  std::tuple(c.offset, c.now));
        feed(spuPacks(simpleSpu(), 0x20, c.pts, c.scrs.back() + 3600)[0]);
        EXPECT_EQ(demux->spuStartTime(), c.spuStart);
    }
}

TEST_F(Demux, FrameRateComesFromFirstNavigationPack) {
    feed(navPack(0, 0x00, 0x00, 0x01, 0xC5));
    EXPECT_EQ(std::tuple(demux->frameRate(), demux->cell().Frame, display.standard),
              std::tuple(3000, 5, VideoStandard::Ntsc));
    EXPECT_EQ(display.navigationTime, (TTimeCode{0, 0, 1, 166}));

    demux->startJob();
    feed(navPack(0, 0x01, 0x23, 0x02, 0x53));
    EXPECT_EQ(std::tuple(demux->frameRate(), demux->cell(), display.standard),
              std::tuple(2500, CellTime{1, 23, 2, 13}, VideoStandard::Pal));
    EXPECT_EQ(display.navigationTime, (TTimeCode{1, 23, 2, 520}));
}

// A new cell counts a chapter and continues the navigation time; a reset clears all.
TEST_F(Demux, NewCellCountsChapterAndResetTimeBaseClearsNavigationAndClock) {
    feed(navPack(0, 0x00, 0x00, 0x10, 0x40 | 0x10));
    feed(navPack(0, 0x00, 0x00, 0x10, 0x40 | 0x22)); // same second: frame step 12
    EXPECT_EQ(demux->frameStep(), 12);
    feed(navPack(0, 0x00, 0x00, 0x00, 0x40 | 0x01)); // the cell restarts
    feed(navPack(0, 0x00, 0x00, 0x00, 0x40 | 0x01)); // the same time again: no new cell
    EXPECT_EQ(std::tuple(demux->chapterCount(), display.chapters), std::tuple(2, 2u));
    // 10 s 22 frames + 12 frames = 11 s 9 frames, plus the cell's 1 frame.
    EXPECT_EQ(demux->navTime(), (CellTime{0, 0, 11, 10}));
    EXPECT_EQ(display.navigationTime, (TTimeCode{0, 0, 11, 400}));
    feed(videoPack(123456));
    demux->resetTimeBase(display);
    EXPECT_EQ(std::tuple(demux->navTime(), demux->currentScr(), demux->chapterCount(),
                         display.chapters, demux->rebasePending(), demux->lastTimeCode()),
              std::tuple(CellTime{}, 0, 1, 0u, true, TTimeCode{}));
}

TEST_F(Demux, JobStartDropsPartialSpuOnlyAfterNavigationTime) {
    Bytes spu = countingBytes(3000, 3000);
    feed(spuPacks(spu, 0x20, 0, 0, 2019, false)[0]);
    demux->startJob();
    EXPECT_EQ(demux->spu().size(), 2019u); // no navigation time yet
    feed(navPack(0, 0, 0, 1, 0x40));
    demux->startJob();
    EXPECT_EQ(std::tuple(demux->spu().size(), demux->frameRate()), std::tuple(size_t(0), 1));
}

TEST_F(Demux, AUnitEndsAtItsSizeAtPaddingOrAtThePacksEnd) {
    Bytes payload(2000, 0xAB);
    payload[0] = payload[1] = 0xFF;
    Pack farLength = subtitlePack(0, 0x20, payload.data(), payload.size(), true);
    farLength[18] = farLength[19] = 0xFF; // PES length far past the pack
    const struct {
        const char* name;
        std::vector<Pack> packs;
        PackKind last;
        size_t size;
    } cases[] = {
        {"a padding packet ends it before its announced size",
         spuPacks(countingBytes(3000, 5000), 0x20, 0, 0, 2019, true), PackKind::SpuComplete, 3000},
        {"an announced size below the first payload",
         spuPacks(countingBytes(500, 100), 0x20, 0, 0, 2019, false), PackKind::SpuComplete, 500},
        {"a PES length past the pack", {farLength}, PackKind::Subtitle, 2048 - 29},
    };
    for (const auto& c : cases) {
        fresh();
        PackKind k = PackKind::Other;
        for (const Pack& p : c.packs) k = feed(p);
        EXPECT_EQ(k, c.last) << c.name;
        EXPECT_EQ(demux->spu().size(), c.size) << c.name;
    }
}
