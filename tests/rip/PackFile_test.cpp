#include "TempFolder.h"
#include "rip/PackFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace mirtal;
using mirtal::test::TempFolder;

namespace {

// `packs` whole packs, each marked with its index, and `tail` bytes.
std::filesystem::path writePacks(const TempFolder& dir, uint32_t packs, size_t tail) {
    std::string bytes;
    for (uint32_t i = 0; i < packs; ++i) {
        std::string pack(kPackSize, char(i & 0xFF));
        pack[0] = char(i >> 8);
        bytes += pack;
    }
    mirtal::test::writeText(dir / "packs.vob", bytes + std::string(tail, 'x'));
    return dir / "packs.vob";
}

} // namespace

// An incomplete last pack is a read error.
TEST(PackFile, HandsOutEveryPackAcrossBlockBoundariesAndSeeks) {
    TempFolder dir;
    PackFile f;
    ASSERT_TRUE(f.open(writePacks(dir, 300, 100))); // more than two read blocks
    for (uint32_t i = 0; i < 300; ++i) {
        const uint8_t* p = f.nextPack();
        ASSERT_NE(p, nullptr) << i;
        EXPECT_EQ(uint32_t(p[0]) << 8 | p[1], i);
        EXPECT_EQ(p[kPackSize - 1], uint8_t(i & 0xFF));
    }
    EXPECT_EQ(f.nextPack(), nullptr);
    EXPECT_EQ(f.error(), "the file ends inside a pack");
    ASSERT_TRUE(f.seekPack(257));
    const uint8_t* p = f.nextPack();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[kPackSize - 1], uint8_t(257 & 0xFF));
}

TEST(PackFile, ReopeningAndClosingGiveTheDescriptorBack) {
    TempFolder dir;
    const auto path = writePacks(dir, 2, 0);
    auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = openDescriptors();
    {
        PackFile f;
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(f.open(path)) << f.error();
    }
    EXPECT_EQ(openDescriptors(), before);
    // With standard input closed the file gets descriptor 0, a descriptor like any other.
    const int saved = ::dup(0);
    ::close(0);
    bool closed = false;
    {
        PackFile f;
        if (f.open(path)) {
            f.close();
            closed = ::fcntl(0, F_GETFD) == -1;
        }
    }
    ::dup2(saved, 0);
    ::close(saved);
    EXPECT_TRUE(closed);
}
