#include "TempFolder.h"
#include "rip/IfoLanguages.h"

#include <gtest/gtest.h>

using namespace mirtal;
using mirtal::test::TempFolder;

namespace {

// A title set IFO with the two-letter codes of the subpicture streams.
std::filesystem::path writeIfo(const TempFolder& dir, const std::vector<std::string>& codes,
                               size_t size = 12288) {
    std::string bytes(size, '\0');
    for (size_t k = 0; k < codes.size(); ++k)
        for (size_t i = 0; i < codes[k].size() && 600 + 6 * k + i < size; ++i)
            bytes[600 + 6 * k + i] = codes[k][i];
    mirtal::test::writeText(dir / "VTS_01_0.IFO", bytes);
    return dir / "VTS_01_0.IFO";
}

} // namespace

TEST(Ifo, LanguagesFillTheStreamListAndUnknownCodesShowAsRead) {
    TempFolder dir;
    StreamLanguages names;
    IfoReadResult r = ReadIfoLanguages(writeIfo(dir, {"en", "fr", "", "ja", "EN", "hi"}), names);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(r.codes[1], "fr");
    EXPECT_EQ(r.codes[2], "");
    const std::vector<std::string> want = {"English", "French", "", "ja", "EN", "Hindi", ""};
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(names[i], want[i]) << i;
    const auto lines = FillStreamList(names);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0], "1  - English");
    EXPECT_EQ(lines[2], "3  - ");
    EXPECT_EQ(lines[31], "32 - ");
    EXPECT_EQ(StreamIdOfLine(1), 0x21);
}

TEST(Ifo, MissingOrShortFilesKeepWhatWasRead) {
    TempFolder dir;
    StreamLanguages names;
    names.fill("old");
    IfoReadResult missing = ReadIfoLanguages(dir / "VTS_09_0.IFO", names);
    EXPECT_FALSE(missing.found);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(names[0], "old");

    IfoReadResult r =
        ReadIfoLanguages(writeIfo(dir, std::vector<std::string>(32, "de"), 700), names);
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

TEST(Ifo, FixturesNameTheirStreams) {
    const std::filesystem::path data = MIRTAL_TEST_DATA;
    if (!std::filesystem::exists(data / "broken/short604_VTS_01_0.IFO")) GTEST_SKIP();
    StreamLanguages names;
    EXPECT_EQ(ReadIfoLanguages(data / "broken/short604_VTS_01_0.IFO", names).streamsRead, 1);
    EXPECT_EQ(names[0], "English");
    EXPECT_EQ(names[1], "");
    EXPECT_TRUE(ReadIfoLanguages(data / "discs/pal_en_fr/VIDEO_TS/VTS_01_0.IFO", names).ok());
    EXPECT_EQ(names[1], "French");
    EXPECT_EQ(names[2], "");
}
