#include "StreamBuilder.h"
#include "TempFolder.h"
#include "rip/Demuxer.h"
#include "rip/VobSubIndex.h"
#include "rip/VobSubTrack.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

VobSubIndex parsed(const std::string& text) {
    VobSubIndex index;
    std::string error;
    EXPECT_TRUE(parseVobSubIndex(text, index, error)) << error;
    return index;
}

std::string parseError(const std::string& text) {
    VobSubIndex index;
    std::string error;
    EXPECT_FALSE(parseVobSubIndex(text, index, error)) << text;
    return error;
}

// The start of the unit at each (substream, pack) pair, "-" where none is listed.
std::string Starts(const VobSubIndex& index, std::vector<uint32_t> at) {
    std::string out;
    for (size_t i = 0; i + 1 < at.size(); i += 2) {
        const auto ms = index.startMs(uint8_t(at[i]), at[i + 1]);
        out += (out.empty() ? "" : " ") + (ms ? std::to_string(*ms) : "-");
    }
    return out;
}

} // namespace

TEST(VobSubIndex, StreamsLanguagesAndTimesOfAWellFormedFile) {
    const VobSubIndex index = parsed(
        "# VobSub index file, v7 (do not modify this line!)\r\nsize: 720x576\r\n"
        "palette: 000000, ebebeb, 101010\r\nlangidx: 0\r\n\r\n# English\r\nid: en, index: 0\r\n"
        "timestamp: 00:00:01:740, filepos: 000000000\r\n"
        "timestamp: 01:02:03:004, filepos: 00000A800\r\n\r\nid: fr, index: 1\r\n"
        "delay: 00:00:00:500\r\ntimestamp: 00:00:09:000, filepos: 000001800\r\n"
        "timestamp: 00:00:02:000, filepos: 000000800\r\n");
    EXPECT_EQ(std::tuple(index.streams[0].present, index.streams[1].present,
                         index.streams[2].present, index.codes()[1]),
              std::tuple(true, true, false, "fr"));
    const auto names = index.languages();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
              (std::vector<std::string>{"English", "French", ""}));
    // Found by the first pack; the section's delay added; entries sorted by file order.
    EXPECT_EQ(
        Starts(index, {0x20, 0, 0x20, 0xA800 / 2048, 0x20, 1, 0x21, 1, 0x21, 3, 0x1F, 0, 0x40, 0}),
        "1740 3723004 - 2500 9500 - -");
    ASSERT_EQ(index.streams[1].entries.size(), 2u);
    EXPECT_EQ(index.streams[1].entries[0].filePos, 0x800u);
}

// A delay before the first "id:" holds for every stream; one inside a section
// adds to it until the next section; a negative start is zero.
TEST(VobSubIndex, DelaysAndLooseSpellings) {
    const VobSubIndex index =
        parsed("delay: 00:00:01:000\nid: en, index: 0\ntimestamp: 00:00:00:100, filepos: 0\n"
               "delay: -00:00:00:300\ntimestamp: 00:00:00:100, filepos: 800\n"
               "id: de, index: 2\ntimestamp: 00:00:00:100, filepos: 1000\n"
               "delay: -00:00:02:000\ntimestamp: 00:00:00:100, filepos: 1800\n"
               "ID:  en ,  INDEX:  3\nforced subs: ON\nsomething new: 1, 2, 3\n"
               "\ttimestamp:\t00:00:05:000 , filepos: 0001f800\r\n"
               "id: --, index: 4\r\ntimestamp: 00:00:06:000, filepos: 0001F000");
    EXPECT_EQ(index.codes()[2] + index.codes()[3] + index.codes()[4], "deen--");
    EXPECT_EQ(Starts(index, {0x20, 0, 0x20, 1, 0x22, 2, 0x22, 3, 0x23, 0x1F800 / 2048, 0x24,
                             0x1F000 / 2048}),
              "1100 800 1100 0 6000 7000");
}

TEST(VobSubIndex, FrameSizeIsTheIndexOwnOrTheDvdFrame) {
    for (const auto& [line, width, height] : {std::tuple{"size: 1920x1080", 1920, 1080},
                                              {"size: 720x0", 720, 576},
                                              {"size: 0x480", 720, 576},
                                              {"size: 640", 720, 576}}) {
        const VobSubIndex index = parsed(std::string(line) + "\nid: en, index: 0\n");
        EXPECT_EQ(std::pair(index.frameWidth, index.frameHeight), std::pair(width, height)) << line;
    }
}

TEST(VobSubIndex, DamagedLinesAreRefusedWithTheirNumber) {
    const std::string timestamp = "line 2: expected \"timestamp: HH:MM:SS:mmm, filepos: HEX\"";
    struct Case {
        std::string text, expected;
    };
    const std::vector<Case> cases = {
        {"id: en\n", "line 1: expected \"id: xx, index: N\""},
        {"id: en, index:\n", "line 1: expected \"id: xx, index: N\""},
        {"id: en, index: 1x\n", "line 1: expected \"id: xx, index: N\""},
        {"id: en, index: 1234\n", "line 1: expected \"id: xx, index: N\""},
        {"\nid: en, index: 32\n", "line 2: stream index 32 is not 0..31"},
        {"id: en, index: 0\r\nid: fr, index: 0\r\n", "line 2: stream index 0 twice"},
        {"id: en, index: 0\ndelay: 12:00\n", "line 2: expected \"delay: HH:MM:SS:mmm\""},
        {"id: en, index: 0\ntimestamp: 00:00:01:000\n", timestamp},
        {"id: en, index: 0\ntimestamp: 00:61:01:000, filepos: 0\n", timestamp},
        {"id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 12345678901234567\n", timestamp},
        {"id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 0 extra\n", timestamp},
        {"# no stream yet\ntimestamp: 00:00:01:000, filepos: 0\n",
         "line 2: timestamp before any \"id:\" line"},
        {"size: 720x576\npalette: 000000\n", "no subtitle stream (no \"id: xx, index: N\" line)"},
    };
    for (const Case& c : cases) EXPECT_EQ(parseError(c.text), c.expected) << c.text;
}

TEST(VobSubPairs, EitherFileFindsTheOtherButNotAFolder) {
    TempFolder dir;
    writeText(dir / "Movie.idx", "id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 0\n");
    writeText(dir / "Movie.SUB", std::string(2048, '\0'));
    for (const char* given : {"Movie.idx", "Movie.SUB"}) {
        VobSubPair pair;
        std::string error;
        ASSERT_TRUE(loadVobSubPair(dir / given, pair, error)) << given << ": " << error;
        EXPECT_EQ(pair.idx, dir / "Movie.idx");
        EXPECT_EQ(pair.sub, dir / "Movie.SUB");
        ASSERT_TRUE(pair.index);
        EXPECT_EQ(pair.index->startMs(0x20, 0), 1000);
    }
    VobSubPair pair;
    std::string error;
    std::filesystem::create_directory(dir / "folder.idx");
    writeText(dir / "folder.sub", "");
    EXPECT_FALSE(loadVobSubPair(dir / "folder.sub", pair, error));
    EXPECT_NE(error.find("no folder.idx beside it"), std::string::npos) << error;
}

// Units of the sizes that matter for the packing (2019 bytes after a PTS, 2024 without,
// spare bytes in the header or a padding packet) read back whole, timed by the index.
TEST(VobSubWriter, EveryUnitReadsBackWithItsStart) {
    VobSubWriter writer;
    std::vector<Bytes> units;
    for (size_t size : {4, 2013, 2014, 2018, 2019, 2020, 2019 + 2020, 2019 + 2024, 9000}) {
        Bytes unit(size);
        for (size_t i = 0; i < size; ++i) unit[i] = uint8_t(i * 7 + size);
        unit[0] = uint8_t(size >> 8), unit[1] = uint8_t(size);
        writer.add(unit, 3600000 + int64_t(units.size()) * 1001);
        units.push_back(unit);
    }
    const std::string& sub = writer.subBytes();
    ASSERT_EQ(sub.size() % kPackSize, 0u);
    const VobSubIndex index = parsed(writer.indexText({}));
    auto demux = std::make_unique<Demuxer>();
    RipDisplay display;
    demux->resetTimeBase(display);
    std::vector<Bytes> back;
    uint32_t startPack = 0;
    for (uint32_t pos = 0; pos * kPackSize < sub.size(); ++pos) {
        const auto* pack = reinterpret_cast<const uint8_t*>(sub.data()) + pos * kPackSize;
        if (demux->processPack(std::span<const uint8_t, kPackSize>(pack, kPackSize), pos + 1, 0x20,
                               display, startPack) != PackKind::SpuComplete)
            continue;
        const int64_t expected = 3600000 + int64_t(back.size()) * 1001;
        EXPECT_EQ(timeCodeToMs(demux->spuStartTime()), expected) << "the PTS";
        EXPECT_EQ(index.startMs(0x20, startPack), expected) << "the index";
        back.emplace_back(demux->spu().begin(), demux->spu().end());
        demux->clearSpu();
    }
    EXPECT_EQ(back, units);
}

TEST(VobSubWriter, TrackFactsComeFromTheIfoThenTheIndexThenTheDefaults) {
    const std::filesystem::path data = MIRTAL_TEST_DATA;
    TempFolder dir;
    writeText(dir / "own.idx", "size: 640x480\npalette: 112233, 445566, 778899, aabbcc, 000000, "
                               "000000, 000000, 000000, 000000, 000000, 000000, 000000, 000000, "
                               "000000, 000000, ffffff\nid: de, index: 0\n");
    writeText(dir / "own.sub", "");
    VobSubPair own;
    std::string error;
    ASSERT_TRUE(loadVobSubPair(dir / "own.idx", own, error)) << error;
    const VobSubPalette disc = {0xFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const VobSubPalette ownPalette = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0, 0, 0, 0,
                                      0,        0,        0,        0,        0, 0, 0, 0xFFFFFF};
    const struct {
        std::filesystem::path file;
        std::shared_ptr<const VobSubIndex> index;
        uint8_t stream;
        VobSubTrack expected;
    } cases[] = {
        {data / "discs/pal_en_fr/VIDEO_TS/VTS_01_1.VOB", nullptr, 0x21, {720, 576, disc, "fr"}},
        {data / "discs/ntsc/VIDEO_TS/VTS_01_1.VOB", nullptr, 0x20, {720, 480, disc, "en"}},
        // 16:9: substream 0x21 is the English letterbox view, not stream 2 (French).
        {data / "discs/wide/VIDEO_TS/VTS_01_1.VOB", nullptr, 0x21, {720, 576, disc, "en"}},
        {own.sub, own.index, 0x20, {640, 480, ownPalette, "de"}},
        {data / "vobsub/forced.vob", nullptr, 0x20, {}},
    };
    for (const auto& c : cases) {
        VobSubTrack t = describeVobSubTrack({c.file}, {c.index}, c.stream);
        EXPECT_EQ(
            std::tie(t.width, t.height, t.palette, t.language),
            std::tie(c.expected.width, c.expected.height, c.expected.palette, c.expected.language))
            << c.file;
    }
}
