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
    ByteReader r(std::span<const uint8_t>(d, 3));
    EXPECT_EQ(r.u16be(), 0x1234);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u16be(), 0);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0);
    EXPECT_EQ(be16At(std::span<const uint8_t>(d, 3), 2), 0);
    EXPECT_EQ(be16At(d, 1), 0x3456);
    // A zero-padded string stops at its zero or at the end of its field.
    ByteReader s(std::span<const uint8_t>(d + 3, 6));
    EXPECT_EQ(s.zeroPaddedString(3), "ab");
    EXPECT_EQ(s.zeroPaddedString(3), "cde");
    EXPECT_TRUE(s.ok());
}

TEST(Bitmap, PixelBytesAreBlueGreenRed) {
    Bitmap24 b(2, 1);
    b.setPixel(1, 0, 0x00332211); // red 0x11, green 0x22, blue 0x33
    EXPECT_EQ(b.row(0)[3], 0x33);
    EXPECT_EQ(b.row(0)[5], 0x11);
    EXPECT_EQ(b.pixel(1, 0), 0x00332211u);
}

TEST(Bitmap, FloodFillFollowsOnlyFourNeighbours) {
    Bitmap24 b(3, 3);
    b.setPixel(0, 0, 0xFFFFFF);
    b.setPixel(1, 1, 0xFFFFFF); // diagonal of (0,0): not connected
    b.setPixel(1, 0, 0xFFFFFF);
    b.floodFill(0, 0, 0xFF0000);
    EXPECT_EQ(b.pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(b.pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(b.pixel(1, 1), 0xFF0000u); // below (1,0)
    b.setPixel(2, 2, 0xFFFFFF);
    b.floodFill(0, 0, 0x00FF00);
    EXPECT_EQ(b.pixel(2, 2), 0xFFFFFFu);
}

TEST(Bitmap, CopyAndFrameClipAtEdges) {
    Bitmap24 src(4, 4, 0x111111), dst(3, 3);
    dst.copyFrom(src, -2, 1, 10, 10, 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), 0u);        // source column -2 does not exist
    EXPECT_EQ(dst.pixel(2, 0), 0x111111u); // source column 0
    dst.frameRect(-1, -1, 5, 5, 0x0000FF); // entirely outside but for nothing
    EXPECT_EQ(dst.pixel(2, 1), 0x111111u);
    EXPECT_EQ(dst.pixel(1, 1), 0u);
}

TEST(TextCodec, EveryWindows1252ByteSurvivesBothEncodings) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    for (TextEncoding e : {TextEncoding::Cp1252, TextEncoding::Utf8}) {
        size_t replaced = 99;
        const std::string bytes = encodeText(all, e);
        EXPECT_EQ(decodeText(bytes, e, nullptr, &replaced), all) << encodingName(e);
        EXPECT_EQ(replaced, 0u);
    }
    EXPECT_EQ(cp1252ToUtf8("caf\xE9 \x80 \x9C"), "caf\xC3\xA9 \xE2\x82\xAC \xC5\x93");
    EXPECT_EQ(utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC \xC5\x93\xE4\xB8\xAD"), "caf\xE9 \x80 \x9C?");
    EXPECT_EQ(encodeText("\xE9\x80", TextEncoding::Utf8), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(encodeText("\xE9\x80", TextEncoding::Cp1252), "\xE9\x80");
    // The 8-bit encoding takes any byte as it is, even a UTF-8 mark.
    EXPECT_EQ(decodeText("\xEF\xBB\xBFx", TextEncoding::Cp1252), "\xEF\xBB\xBFx");
}

TEST(TextCodec, Utf8ReadingSkipsTheMarkAndCountsCharactersWithoutAnEightBitForm) {
    size_t replaced = 0;
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xC2\xAB \xC5\x93il \xC2\xBB", TextEncoding::Utf8, nullptr,
                         &replaced),
              "\xAB \x9Cil \xBB");
    EXPECT_EQ(replaced, 0u);
    // A second mark is a character (U+FEFF), not a mark; CJK, an emoji.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBF?\xE4\xB8\xAD\xF0\x9F\x98\x80",
                         TextEncoding::Utf8, nullptr, &replaced),
              "????");
    EXPECT_EQ(replaced, 3u) << "a real question mark is not counted";
    EXPECT_EQ(decodeText("", TextEncoding::Utf8, nullptr, &replaced), "");
    EXPECT_EQ(replaced, 0u);
}

TEST(TextCodec, MalformedUtf8IsRefusedWithWhereItStarts) {
    struct Bad {
        const char* bytes;
        const char* where;
    };
    for (const Bad& b : {Bad{"caf\xE9\r\n", "line 1, byte 4"},          // Windows-1252 é
                         Bad{"a\nb\n\xC3", "line 3, byte 1"},           // cut short
                         Bad{"ab\n\xC3(", "line 2, byte 1"},            // no continuation
                         Bad{"\xC0\xAF", "line 1, byte 1"},             // overlong '/'
                         Bad{"x\xE0\x80\xAF", "line 1, byte 2"},        // overlong, 3 bytes
                         Bad{"\xED\xA0\x80", "line 1, byte 1"},         // surrogate
                         Bad{"\xF4\x90\x80\x80", "line 1, byte 1"},     // past U+10FFFF
                         Bad{"\x80", "line 1, byte 1"},                 // lone continuation
                         Bad{"\xF8\x88\x80\x80\x80", "line 1, byte 1"}, // five bytes
                         Bad{"\xFF", "line 1, byte 1"}}) {
        std::string error;
        EXPECT_EQ(decodeText(b.bytes, TextEncoding::Utf8, &error), std::nullopt) << b.where;
        EXPECT_NE(error.find(b.where), std::string::npos) << error;
    }
    // The longest valid forms on each side of the limits.
    EXPECT_EQ(decodeText("\xF4\x8F\xBF\xBF\xEE\x80\x80\xDF\xBF", TextEncoding::Utf8), "???");
}

// The new bytes go to a temporary file renamed over the old one: a reader
// sees the old file or the whole new one, and nothing else is left behind.
TEST(Files, AtomicWriteReplacesTheWholeFileAndLeavesNothingElse) {
    TempFolder dir;
    ASSERT_TRUE(writeFileAtomic(dir / "a.txt", "old, and longer than the new"));
    ASSERT_TRUE(writeFileAtomic(dir / "a.txt", "new contents"));
    EXPECT_EQ(*readWholeFile(dir / "a.txt"), "new contents");
    Result missing = writeFileAtomic(dir / "no" / "such" / "b.txt", "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("b.txt"), std::string::npos) << missing.error;
    EXPECT_EQ(otherEntries(dir.path(), "a.txt"), std::vector<std::string>{});
}

TEST(Files, ListingMatchesWildcardsAndSortsByNameIgnoringCase) {
    EXPECT_TRUE(wildcardMatchIgnoreCase("*.VOB", "vts_01_2.vob"));
    EXPECT_TRUE(wildcardMatchIgnoreCase("vts_*.ifo", "VTS_01_0.IFO"));
    EXPECT_FALSE(wildcardMatchIgnoreCase("*.VOB", "a.vobx"));
    TempFolder dir;
    for (const char* n : {"vts_01_2.vob", "VTS_01_1.VOB", "VTS_01_0.IFO", "x.vob.bak"})
        writeText(dir / n, "x");
    auto files = listFilesMatching(dir.path(), "*.VOB");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].filename(), "VTS_01_1.VOB");
    EXPECT_EQ(files[1].filename(), "vts_01_2.vob");
}

TEST(MessageCatalogue, OnlyTheNextIndexAppends) {
    MessageCatalogue m;
    const int n = MessageCatalogue::kDefaultCount;
    ASSERT_EQ(m.count(), n);
    m.set(n + 1, "gap");
    EXPECT_EQ(m.count(), n);
    m.set(n, "extra");
    EXPECT_EQ(m.count(), n + 1);
    EXPECT_EQ(m.entry(n), "extra");
    EXPECT_EQ(m.entry(99), "");
}
