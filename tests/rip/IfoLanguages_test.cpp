#include "StreamBuilder.h"
#include "rip/IfoLanguages.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

std::filesystem::path writeIfo(const TempDir& dir, const std::vector<std::string>& codes,
                               size_t size = 12288) {
    std::string bytes(size, '\0');
    for (size_t k = 0; k < codes.size(); ++k)
        for (size_t i = 0; i < 2 && 600 + 6 * k + i < size; ++i)
            bytes[600 + 6 * k + i] = codes[k].empty() ? '\0' : codes[k][i];
    auto path = dir / "VTS_01_0.IFO";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(Ifo, LanguagesFillTheStreamList) {
    TempDir dir;
    StreamLanguages names;
    IfoReadResult r = ReadIfoLanguages(writeIfo(dir, {"en", "fr"}), names);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(r.codes[1], "fr");
    auto lines = FillStreamList(names);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0], "1  - English");
    EXPECT_EQ(lines[1], "2  - French");
    EXPECT_EQ(lines[2], "3  - ");
    EXPECT_EQ(lines[11], "12 - ");
    EXPECT_EQ(lines[31], "32 - ");
    EXPECT_EQ(StreamIdOfLine(1), 0x21);
}

TEST(Ifo, UnknownAndUpperCaseCodesShowAsRead) {
    EXPECT_EQ(LanguageName("ja"), "ja");
    EXPECT_EQ(LanguageName("EN"), "EN");
    EXPECT_EQ(LanguageName("pt"), "Portugese");
    EXPECT_EQ(LanguageName(std::string_view("\0\0", 2)), "");
    TempDir dir;
    StreamLanguages names;
    ReadIfoLanguages(writeIfo(dir, {"ja", "EN", "", "hi"}), names);
    EXPECT_EQ(names[0], "ja");
    EXPECT_EQ(names[1], "EN");
    EXPECT_EQ(names[2], "");
    EXPECT_EQ(names[3], "Hindi");
}

TEST(Ifo, MissingFileKeepsNames) {
    TempDir dir;
    StreamLanguages names;
    names[0] = "English";
    IfoReadResult r = ReadIfoLanguages(dir / "VTS_09_0.IFO", names);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(names[0], "English");
    EXPECT_EQ(FillStreamList(names)[0], "1  - English");
}

TEST(Ifo, ShortFileKeepsWhatWasRead) {
    TempDir dir;
    StreamLanguages names;
    names.fill("old");
    std::vector<std::string> codes(32, "de");
    IfoReadResult r = ReadIfoLanguages(writeIfo(dir, codes, 700), names);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.streamsRead, 17); // the code of stream 17 ends at byte 698
    EXPECT_NE(r.message.find("too short"), std::string::npos);
    EXPECT_EQ(names[16], "German");
    EXPECT_EQ(names[17], "old");

    IfoReadResult empty = ReadIfoLanguages(writeIfo(dir, {}, 0), names);
    EXPECT_EQ(empty.streamsRead, 0);
    EXPECT_FALSE(empty.message.empty());
}

TEST(Ifo, BrokenFixturesGiveMessagesAndPartialNames) {
    std::filesystem::path broken = std::filesystem::path(MIRTAL_TEST_DATA) / "broken";
    if (!std::filesystem::exists(broken / "short604_VTS_01_0.IFO")) GTEST_SKIP();
    StreamLanguages names;
    IfoReadResult r604 = ReadIfoLanguages(broken / "short604_VTS_01_0.IFO", names);
    EXPECT_EQ(r604.streamsRead, 1);
    EXPECT_EQ(names[0], "English");
    EXPECT_EQ(names[1], "");
    IfoReadResult r700 = ReadIfoLanguages(broken / "short700_VTS_01_0.IFO", names);
    EXPECT_EQ(r700.streamsRead, 17);
    EXPECT_EQ(names[1], "French");
    EXPECT_FALSE(r700.message.empty());
}

TEST(Ifo, FixtureDiscNamesItsStreams) {
    auto ifo = std::filesystem::path(MIRTAL_TEST_DATA) / "discs/pal_en_fr/VIDEO_TS/VTS_01_0.IFO";
    if (!std::filesystem::exists(ifo)) GTEST_SKIP();
    StreamLanguages names;
    EXPECT_TRUE(ReadIfoLanguages(ifo, names).ok());
    EXPECT_EQ(names[0], "English");
    EXPECT_EQ(names[1], "French");
    EXPECT_EQ(names[2], "");
}
