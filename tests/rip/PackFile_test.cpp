#include "rip/PackFile.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace mirtal;

namespace {

// A file of `packs` whole packs (each filled with its own index) plus `tail` bytes.
std::filesystem::path writePacks(uint32_t packs, size_t tail) {
    char name[] = "/tmp/mirtal-packs-XXXXXX";
    int fd = mkstemp(name);
    close(fd);
    std::ofstream out(name, std::ios::binary);
    for (uint32_t i = 0; i < packs; ++i) {
        std::string pack(kPackSize, char(i & 0xFF));
        pack[0] = char(i >> 8);
        out << pack;
    }
    out << std::string(tail, 'x');
    return name;
}

uint32_t indexOf(const uint8_t* p) {
    return uint32_t(p[0]) << 8 | p[1];
}

} // namespace

TEST(PackFile, HandsOutEveryPackAcrossBlockBoundariesAndSeeks) {
    auto path = writePacks(300, 0); // more than two read blocks
    PackFile f;
    ASSERT_TRUE(f.open(path));
    for (uint32_t i = 0; i < 300; ++i) {
        const uint8_t* p = f.nextPack();
        ASSERT_NE(p, nullptr) << i;
        EXPECT_EQ(indexOf(p), i);
        EXPECT_EQ(p[kPackSize - 1], uint8_t(i & 0xFF));
    }
    EXPECT_EQ(f.nextPack(), nullptr);
    ASSERT_TRUE(f.seekPack(257));
    const uint8_t* p = f.nextPack();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[kPackSize - 1], uint8_t(257 & 0xFF));
    std::filesystem::remove(path);
}

TEST(PackFile, IncompleteLastPackIsAReadError) {
    auto path = writePacks(3, 100);
    PackFile f;
    ASSERT_TRUE(f.open(path));
    for (int i = 0; i < 3; ++i) ASSERT_NE(f.nextPack(), nullptr);
    EXPECT_EQ(f.nextPack(), nullptr);
    EXPECT_EQ(f.error(), "the file ends inside a pack");
    std::filesystem::remove(path);
}
