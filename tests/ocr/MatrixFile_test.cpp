#include "TempFolder.h"
#include "ocr/MatrixFile.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace mirtal;
namespace fs = std::filesystem;

namespace {

CharMatrixEntry MakeEntry(uint8_t w, uint8_t h, const std::string& text, uint8_t top = 0) {
    CharMatrixEntry e;
    e.Width = w;
    e.Height = h;
    e.Top = top;
    e.Text = text;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) e.setPixel(x, y, (x + y + text.size()) % 3 == 0);
    return e;
}

CharMatrix MatrixOf(int n) {
    CharMatrix m;
    for (int i = 1; i <= n; ++i)
        m.appendEntry(MakeEntry(uint8_t(i % 45 + 1), 20, std::to_string(i)));
    return m;
}

std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace

TEST(CharMatrix, ChangesAreClippedAndMarkModified) {
    CharMatrix m;
    CharMatrixEntry e = MakeEntry(10, 10, std::string(25, 'x'));
    e.Width = 60;
    e.Height = 50;
    e.AutoNamed = true;
    EXPECT_EQ(m.appendEntry(e), 1);
    EXPECT_TRUE(m.isModified());
    EXPECT_EQ(std::tuple(m.entry(1).Width, m.entry(1).Height, m.entry(1).Text),
              std::tuple(45, 45, std::string(20, 'x')));
    m.setEntryText(0, "before");
    m.setEntryText(2, "after");              // no such entries: nothing changes
    m.setEntryText(1, std::string(21, 'a')); // a name given by the user
    EXPECT_EQ(std::tuple(m.entry(1).Text, m.entry(1).AutoNamed),
              std::tuple(std::string(20, 'a'), false));
    m.setComment(std::string(300, 'c'));
    EXPECT_EQ(m.comment().size(), 255u);
    m.clearMatrix();
    EXPECT_EQ(std::tuple(m.count(), m.comment(), m.isModified()), std::tuple(0, "", false));
}

TEST(CharMatrix, AppendStopsAt1024) {
    CharMatrix m = MatrixOf(kMaxCharMatrixEntries), back;
    EXPECT_EQ(m.appendEntry(MakeEntry(3, 3, "z")), 0);
    EXPECT_EQ(std::pair(m.full(), m.count()), std::pair(true, kMaxCharMatrixEntries));
    EXPECT_TRUE(decodeMatrix(Bytes(encodeMatrix(m)), back)); // a full matrix is a valid file
}

TEST(CharMatrix, DeleteMovesLastEntryIntoTheHole) {
    CharMatrix m = MatrixOf(10);
    const CharMatrixEntry tenth = m.entry(10), fourth = m.entry(4);
    m.setModified(false);
    m.deleteEntry(3);
    EXPECT_EQ(std::tuple(m.count(), m.entry(3), m.entry(4), m.isModified()),
              std::tuple(9, tenth, fourth, true));
    m.deleteEntry(9); // the last one simply goes
    EXPECT_EQ(std::tuple(m.count(), m.entry(3)), std::tuple(8, tenth));
    m.deleteEntry(0);
    m.deleteEntry(9);
    EXPECT_EQ(m.count(), 8);
}

TEST(MatrixFile, LayoutOfTheHeaderTheEntriesAndTheirPixels) {
    CharMatrix m;
    m.setComment("Disc 1");
    CharMatrixEntry e = MakeEntry(7, 9, "ab", 3);
    e.Rows.fill(0);
    e.setPixel(1, 0, true);                                 // bit 1: 0x40 of byte 0
    e.setPixel(44, 44, true);                               // bit 2024: top bit of byte 253
    for (int x = 36; x <= 43; ++x) e.setPixel(x, 44, true); // bits 2016..2023: byte 252
    m.appendEntry(e);
    std::string bytes = encodeMatrix(m);
    ASSERT_EQ(bytes.size(), 557u);
    EXPECT_EQ(bytes.substr(0, 30), std::string("Mirtal_Char_Matrix_FileDisc 1\0", 30));
    EXPECT_EQ(bytes.substr(278, 8), std::string("\1\0\3\7\11ab\0", 8)); // count, top, size, text
    EXPECT_EQ(bytes.substr(303, 1) + bytes.substr(303 + 252, 2), "\x40\xFF\x80");
    EXPECT_EQ(encodeMatrix(MatrixOf(3)).size(), 280u + 3 * 277u);

    bytes[303 + 253] = char(0xFF); // the low bits of the last byte are no pixels
    CharMatrix back;
    ASSERT_TRUE(decodeMatrix(Bytes(bytes + "junk"), back)); // nor are bytes after the entries
    EXPECT_EQ(back.entry(1), e);
    EXPECT_FALSE(back.entry(1).pixel(35, 44));
}

TEST(MatrixFile, FullLengthCommentTextAndCellRoundTrip) {
    CharMatrix m, back;
    m.setComment("\xE9" + std::string(254, 'c')); // 8-bit text survives as it is
    CharMatrixEntry e = MakeEntry(5, 5, "abcdefghijklmnopqrst");
    e.setPixel(40, 40, true); // outside Width x Height, but part of the stored cell
    m.appendEntry(e);
    const std::string bytes = encodeMatrix(m);
    ASSERT_TRUE(decodeMatrix(Bytes(bytes), back));
    EXPECT_EQ(std::tuple(bytes.substr(23, 255), back.comment(), back.entry(1), back.isModified()),
              std::tuple(m.comment(), m.comment(), e, false));
}

TEST(MatrixFile, DamagedFilesAreRejectedAndLeaveTheMatrixAlone) {
    const CharMatrix original = MatrixOf(4);
    const std::string good = encodeMatrix(MatrixOf(2));
    auto patched = [&](size_t at, const std::string& bytes) {
        return std::string(good).replace(at, bytes.size(), bytes);
    };
    const struct {
        const char* name;
        std::string bytes;
        MatrixLoadStatus status;
    } cases[] = {
        {"empty", "", MatrixLoadStatus::BadSignature},
        {"short signature", "Mirtal_Char", MatrixLoadStatus::BadSignature},
        {"letter case", patched(0, "m"), MatrixLoadStatus::BadSignature},
        {"count 1025", patched(278, "\x01\x04") + std::string(277 * 1025, '\0'),
         MatrixLoadStatus::TooManyEntries},
        {"header cut", good.substr(0, 279), MatrixLoadStatus::Truncated},
        {"entry cut", good.substr(0, good.size() - 1), MatrixLoadStatus::Truncated},
        {"width 46", patched(281, "\x2E"), MatrixLoadStatus::BadEntry},
    };
    for (const auto& c : cases) {
        CharMatrix m = original;
        MatrixLoadResult r = decodeMatrix(Bytes(c.bytes), m);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_FALSE(r.detail.empty()) << c.name;
        EXPECT_EQ(m, original) << c.name;
    }
}

// A second rescue must not replace the glyphs the first one kept.
TEST(MatrixFile, RescueTakesTheNextFreeNameAndKeepsEarlierRescues) {
    mirtal::test::TempFolder dir;
    for (const char* name : {"disc.unsaved.qmx", "disc.unsaved-2.qmx", "disc.unsaved-3.qmx"})
        EXPECT_EQ(saveRescueMatrix(dir.path(), dir / "disc.qmx", MatrixOf(1)).value, dir / name);
    CharMatrix back;
    EXPECT_TRUE(loadMatrixFile(dir / "disc.unsaved.qmx", back));
}
