#include "StreamBuilder.h"
#include "rip/Subpicture.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

Subpicture decode(const Bytes& spu) {
    Subpicture s;
    decodeSpu(spu, s);
    return s;
}

Bytes areaSpu(const Bytes& top, const Bytes& bottom, int x1, int x2, int y1, int y2) {
    return makeSpu(top, bottom, {{0, displayArea(x1, x2, y1, y2) + Bytes{0x01}}});
}

// Every sequence as "delay:command[F] rectangle @field offsets", then the sizes.
std::string Describe(const Subpicture& s) {
    std::string d;
    for (uint32_t i = 0; i < s.SequenceCount; ++i) {
        const ControlSequence& q = s.Sequences[i];
        d += std::to_string(q.DelayMs) + ":" + std::to_string(q.Command) + (q.Forced ? "F " : " ") +
             std::to_string(q.X1) + "," + std::to_string(q.Y1) + "-" + std::to_string(q.X2) + "," +
             std::to_string(q.Y2) + " @" + std::to_string(q.TopFieldOffset) + "/" +
             std::to_string(q.BottomFieldOffset) + "; ";
    }
    return d + std::to_string(s.Width) + "x" + std::to_string(s.Height) + " bitmap " +
           std::to_string(s.Bitmap.width()) + "x" + std::to_string(s.Bitmap.height()) +
           (isDisplayable(s) ? " shown" : " not shown");
}

// simpleSpu(100) with its second sequence pointing back at the first.
Bytes LoopingSpu() {
    Bytes spu = simpleSpu(100);
    const size_t ctrl = size_t(spu[2]) << 8 | spu[3];
    const size_t second = size_t(spu[ctrl + 2]) << 8 | spu[ctrl + 3];
    put16(spu.data() + second + 2, uint32_t(ctrl));
    return spu;
}

} // namespace

TEST(Decoder, SequencesGiveTimesCommandsAndTheDisplayArea) {
    const Bytes forced = makeSpu({0x00, 0x02}, {0x00, 0x02},
                                 {{0, displayArea(0, 9, 0, 1) + Bytes{0x00}}, {100, {0x02}}});
    const struct {
        const char* name;
        Bytes spu;
        std::string want;
    } cases[] = {
        // a stop-only sequence keeps the rectangle and the field offsets
        {"start and stop", simpleSpu(100, 10, 59, 20, 29),
         "0:1 10,20-59,29 @4/14; 1137:2 10,20-59,29 @4/14; 50x10 bitmap 50x10 shown"},
        {"no stop: still open", simpleSpu(-1),
         "0:1 100,500-199,509 @4/14; 100x10 bitmap 100x10 shown"},
        {"stop first", makeSpu({}, {}, {{0, {0x02}}, {50, {0x01}}}),
         "0:2 0,0-0,0 @4/4; 568:1 0,0-0,0 @4/4; 1x1 bitmap 1x1 not shown"},
        {"area bytes",
         makeSpu({}, {}, {{0, Bytes{0x05, 0x00, 0x02, 0xCF, 0x00, 0x20, 0x3F, 0x01}}}),
         "0:1 0,2-719,63 @4/4; 720x62 bitmap 720x62 shown"},
        {"no area", makeSpu({}, {}, {{0, {0x01}}}), "0:1 0,0-0,0 @4/4; 1x1 bitmap 1x1 shown"},
        {"inverted: 49 - 50 + 1 = 0 rows become 1", areaSpu({}, {}, 300, 100, 50, 49),
         "0:1 300,50-100,49 @4/4; 720x1 bitmap 720x1 shown"},
        {"too large", areaSpu({}, {}, 0, 4095, 0, 4095),
         "0:1 0,0-4095,4095 @4/4; 720x576 bitmap 720x576 shown"},
        // 0x07 with size 6 carries 4 bytes that must not be read as commands
        {"change colour skipped whole",
         makeSpu({}, {},
                 {{0, displayArea(0, 9, 0, 0) +
                          Bytes{0x07, 0x00, 0x06, 0x02, 0x02, 0x02, 0x02, 0x01}}}),
         "0:1 0,0-9,0 @4/4; 10x1 bitmap 10x1 shown"},
        {"a chain that does not advance ends there", LoopingSpu(),
         "0:1 100,500-199,509 @4/14; 1137:2 100,500-199,509 @4/14; 100x10 bitmap 100x10 shown"},
        // the forced command starts the display too, and only the first sequence is forced
        {"forced", forced, "0:1F 0,0-9,1 @4/6; 1137:2 0,0-9,1 @4/6; 10x2 bitmap 10x2 shown"},
    };
    for (const auto& c : cases) EXPECT_EQ(Describe(decode(c.spu)), c.want) << c.name;
    DisplayTimes t = subpictureDisplayTimes(decode(simpleSpu(352)), TTimeCode{0, 0, 1, 500});
    EXPECT_EQ(t.start, (TTimeCode{0, 0, 1, 500}));
    EXPECT_EQ(t.stop, (TTimeCode{0, 0, 5, 504}));
    t = subpictureDisplayTimes(decode(simpleSpu(-1)), TTimeCode{0, 1, 0, 0});
    EXPECT_TRUE(t.stop.isZero());
    EXPECT_EQ(t.start, (TTimeCode{0, 1, 0, 0}));
}

TEST(Decoder, RunLengthCodesPaintTheLinesOfBothFields) {
    // 0110: 1 of colour 2, 0001 1101: 7 of colour 1, 14 zeros and 11: the rest of the line in 3
    const Bytes shortCodes = {0x61, 0xD0, 0x00, 0x30};
    // 0000 0101 0001: 20 of colour 1, 14 zeros and 10: the rest in 2, the end
    // of the line fills the byte; then 0000 0001 1001 0011: 100 of colour 3
    const Bytes top = {0x05, 0x10, 0x00, 0x20, 0x01, 0x93};
    const Bytes bottom = {0x03, 0xFD}; // 255 of colour 1, cut at the width
    auto row = [](std::initializer_list<std::pair<int, char>> runs) {
        std::string r;
        for (auto [n, c] : runs) r += std::string(size_t(n), c);
        return r;
    };
    const struct {
        const char* name;
        Bytes top, bottom;
        std::vector<std::string> rows; // colour codes from the top
    } cases[] = {
        {"end of line codes", {0x00, 0x03}, {0x00, 0x01}, {row({{10, '3'}}), row({{10, '1'}})}},
        {"short codes", shortCodes, {}, {row({{1, '2'}, {7, '1'}, {12, '3'}})}},
        {"long codes, fields interleaved, no data left",
         top,
         bottom,
         {row({{20, '1'}, {30, '2'}}), row({{50, '1'}}), row({{50, '3'}}), row({{50, '0'}})}},
        // 11 01 fills a line of 3 after half a byte: the other half (01 11) is not read
        {"a line ending inside a byte", {0b1101'0111, 0b1110'0000}, {}, {"111", "000", "222"}},
    };
    for (const auto& c : cases) {
        const Subpicture s = decode(
            areaSpu(c.top, c.bottom, 0, int(c.rows[0].size()) - 1, 0, int(c.rows.size()) - 1));
        std::vector<std::string> got;
        for (int y = 0; y < s.Bitmap.height(); ++y) {
            got.emplace_back();
            for (int x = 0; x < s.Bitmap.width(); ++x)
                got.back() +=
                    char('0' + (std::find(kDrawColour, kDrawColour + 4, s.Bitmap.pixel(x, y)) -
                                kDrawColour));
        }
        EXPECT_EQ(got, c.rows) << c.name;
    }
}

TEST(Decoder, ReusedSubpictureForgetsPreviousUnit) {
    Subpicture s;
    decodeSpu(simpleSpu(352, 0, 99, 0, 9), s);
    const Bytes next = makeSpu({}, {}, {{5, displayArea(0, 9, 0, 0) + Bytes{0x01}}});
    decodeSpu(next, s);
    EXPECT_EQ(Describe(s), Describe(decode(next)));
    EXPECT_EQ(s.Bitmap.pixel(5, 0), kDrawColour[0]);
}

TEST(Decoder, ForcedStartIsReadFromTheFirstSequenceOnly) {
    const Bytes line = {0x00, 0x02};
    auto spu = [&](Bytes first, Bytes second) {
        return makeSpu(line, line, {{0, displayArea(0, 9, 0, 1) + first}, {100, second}});
    };
    EXPECT_TRUE(startsForced(spu({0x00}, {0x02})));
    EXPECT_FALSE(startsForced(spu({0x01}, {0x02})));
    EXPECT_FALSE(startsForced(spu({0x01}, {0x00})));

    EXPECT_FALSE(startsForced(Bytes{}));
    EXPECT_FALSE(startsForced(Bytes{0x00, 0x08, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}));
}

TEST(Decoder, DamagedUnitsSayWhatIsWrong) {
    const Bytes good = simpleSpu(352, 0, 719, 0, 575);
    Bytes zero = good, cut(good.begin(), good.end() - 1), lowControl = good, highControl = good;
    zero[0] = zero[1] = 0;
    lowControl[2] = 0, lowControl[3] = 3;
    put16(highControl.data() + 2, uint32_t(good.size() - 3));
    const struct {
        Bytes spu;
        std::string damage;
    } cases[] = {
        {good, ""},
        {zero, "its size field is 0"},
        {cut, "its size field says more than it holds"},
        {lowControl, "its control offset lies outside it"},
        {highControl, "its control offset lies outside it"},
        {simpleSpu(352, 9, 8, 0, 9), "its display area is inverted"},
        {simpleSpu(352, 0, 9, 9, 8), "its display area is inverted"},
        {simpleSpu(352, 0, 720, 0, 9), "its display area lies outside the frame"},
        {simpleSpu(352, 0, 9, 0, 576), "its display area lies outside the frame"},
    };
    for (const auto& c : cases) {
        const char* damage = spuDamage(c.spu, 720, 576);
        EXPECT_EQ(damage ? damage : "", c.damage) << c.damage;
    }
}
