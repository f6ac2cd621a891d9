#include "Process.h"
#include "TempFolder.h"
#include "base/Bitmap.h"
#include "base/ByteReader.h"
#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "base/TextCodec.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

TEST(ByteReader, ReadsPastTheEndYieldZerosAndFail) {
    const uint8_t d[] = {0x12, 0x34, 0x56, 'a', 'b', 0, 'c', 'd', 'e'};
    const std::span<const uint8_t> three(d, 3);
    ByteReader r(three), s(std::span<const uint8_t>(d + 3, 6));
    const std::vector<int> got{r.u16be(), r.ok(), r.u16be(), r.ok(), r.u8(), be16At(three, 2)};
    EXPECT_EQ(got, (std::vector<int>{0x1234, 1, 0, 0, 0, 0}));
    EXPECT_EQ(be16At(d, 1), 0x3456);
    // A zero-padded string stops at its zero or at the end of its field.
    EXPECT_EQ(s.zeroPaddedString(3), "ab");
    EXPECT_EQ(s.zeroPaddedString(3), "cde");
    EXPECT_TRUE(s.ok());
}

TEST(Bitmap, PixelBytesAreBlueGreenRed) {
    Bitmap24 b(2, 1);
    b.setPixel(1, 0, 0x00332211); // red 0x11, green 0x22, blue 0x33
    EXPECT_EQ(std::vector<uint8_t>(b.row(0), b.row(0) + 6),
              (std::vector<uint8_t>{0, 0, 0, 0x33, 0x22, 0x11}));
}

// (1,1) joins through (1,0); (2,2) touches it only at a corner.
TEST(Bitmap, FloodFillFollowsOnlyFourNeighbours) {
    Bitmap24 b(3, 3);
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {1, 0}, {2, 2}}) b.setPixel(x, y, 0xFFFFFF);
    b.floodFill(0, 0, 0xFF0000);
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 9; ++i) pixels.push_back(b.pixel(i % 3, i / 3));
    EXPECT_EQ(pixels,
              (std::vector<uint32_t>{0xFF0000, 0xFF0000, 0, 0, 0xFF0000, 0, 0, 0, 0xFFFFFF}));
}

TEST(Bitmap, CopyAndFrameClipAtEdges) {
    Bitmap24 src(4, 4, 0x111111), dst(3, 3);
    dst.copyFrom(src, -2, 1, 10, 10, 0, 0); // columns 0 and 1 have no source
    dst.frameRect(-1, -1, 5, 5, 0x0000FF);  // entirely outside
    EXPECT_EQ((std::vector<uint32_t>{dst.pixel(1, 1), dst.pixel(2, 0), dst.pixel(2, 2)}),
              (std::vector<uint32_t>{0, 0x111111, 0x111111}));
    dst.crop(3, 2); // as wide, less high
    EXPECT_EQ(std::tuple(dst.width(), dst.height(), dst.pixel(2, 1)), std::tuple(3, 2, 0x111111u));
}

TEST(TextCodec, EveryWindows1252ByteSurvivesBothEncodings) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    for (TextEncoding e : {TextEncoding::Cp1252, TextEncoding::Utf8}) {
        size_t replaced = 99;
        EXPECT_EQ(decodeText(encodeText(all, e), e, &replaced), all) << encodingName(e);
        EXPECT_EQ(replaced, 0u);
    }
    EXPECT_EQ(utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC \xC5\x93\xE4\xB8\xAD"), "caf\xE9 \x80 \x9C?");
    EXPECT_EQ(utf8ToCp1252("\xE9t\xC3("), "\xE9t\xC3(") << "bytes that are no UTF-8 stay";
    EXPECT_EQ(encodeText("\xE9\x80", TextEncoding::Utf8), "\xC3\xA9\xE2\x82\xAC");
}

// A leading mark is skipped; a second one is a character (U+FEFF). Characters
// without an 8-bit form are counted, a real question mark is not; the
// longest valid forms at each limit decode.
TEST(TextCodec, DecodingReplacesAndCountsCharactersWithoutAnEightBitForm) {
    const char* bytes[] = {"\xEF\xBB\xBF\xC2\xAB \xC5\x93il \xC2\xBB",
                           "\xEF\xBB\xBF\xEF\xBB\xBF?\xE4\xB8\xAD\xF0\x9F\x98\x80",
                           "\xF4\x8F\xBF\xBF\xEE\x80\x80\xDF\xBF", "", "\xEF\xBB\xBFx"};
    const char* texts[] = {"\xAB \x9Cil \xBB", "????", "???", "", "\xEF\xBB\xBFx"};
    const size_t replaced[] = {0, 3, 3, 0, 0};
    for (size_t i = 0; i < std::size(bytes); ++i) {
        // The last is read as Windows-1252, which takes every byte as it is.
        const TextEncoding e = i + 1 < std::size(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
        size_t count = 99;
        EXPECT_EQ(decodeText(bytes[i], e, &count), texts[i]) << i;
        EXPECT_EQ(count, replaced[i]) << i;
    }
}

TEST(TextCodec, MalformedUtf8IsRefusedWithWhereItStarts) {
    // Windows-1252, cut short, no continuation, overlong in 2 and 3 bytes, the first and last
    // surrogates,
    // past U+10FFFF, a lone continuation, five bytes, 0xFF.
    const char* bytes[] = {
        "caf\xE9\r\n",   "a\nb\n\xC3",           "ab\n\xC3(",    "\xC0\xAF",
        "x\xE0\x80\xAF", "\xED\xA0\x80",         "\xED\xBF\xBF", "\xF4\x90\x80\x80",
        "\x80",          "\xF8\x88\x80\x80\x80", "\xFF"};
    const int line[] = {1, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1},
              byte[] = {4, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1};
    for (size_t i = 0; i < std::size(bytes); ++i) {
        const std::string where =
            "line " + std::to_string(line[i]) + ", byte " + std::to_string(byte[i]);
        const auto text = decodeText(bytes[i], TextEncoding::Utf8);
        EXPECT_FALSE(text) << where;
        EXPECT_NE(text.error.find(where), std::string::npos) << text.error;
    }
}

TEST(Files, AtomicWriteReplacesTheWholeFileAndLeavesNothingElse) {
    TempFolder dir;
    writeText(dir / "a.txt", "old, and longer than the new");
    ASSERT_TRUE(writeFileAtomic(dir / "a.txt", "new contents"));
    EXPECT_EQ(*readWholeFile(dir / "a.txt"), "new contents");
    Result missing = writeFileAtomic(dir / "no" / "such" / "b.txt", "x");
    EXPECT_NE(missing.error.find("b.txt"), std::string::npos) << missing.error;
    EXPECT_EQ(otherEntries(dir.path(), "a.txt"), std::vector<std::string>{});
}

TEST(Files, ListingMatchesWildcardsAndSortsByNameIgnoringCase) {
    EXPECT_TRUE(wildcardMatchIgnoreCase("vts_*.ifo", "VTS_01_0.IFO"));
    TempFolder dir;
    for (const char* n : {"vts_01_2.vob", "VTS_01_1.VOB", "VTS_01_0.IFO", "x.vob.bak"})
        writeText(dir / n, "x");
    EXPECT_EQ(listFilesMatching(dir.path(), "*.VOB"),
              (std::vector<fs::path>{dir / "VTS_01_1.VOB", dir / "vts_01_2.vob"}));
}

TEST(MessageCatalogue, OnlyTheNextIndexAppends) {
    MessageCatalogue m;
    const int n = MessageCatalogue::kDefaultCount;
    m.set(n + 1, "gap");
    m.set(n, "extra");
    EXPECT_EQ(std::tuple(m.count(), m.entry(n), m.entry(n + 1)), std::tuple(n + 1, "extra", ""));
}
