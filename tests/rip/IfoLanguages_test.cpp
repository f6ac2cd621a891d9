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
    IfoReadResult r =
        readIfoStreamLanguages(writeIfo(dir, {"en", "fr", "", "ja", "EN", "hi"}), names);
    EXPECT_EQ(std::tuple(r.ok(), r.message, r.codes[1], r.codes[2]),
              std::tuple(true, "", "fr", ""));
    const std::vector<std::string> want = {"English", "French", "", "ja", "EN", "Hindi", ""};
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(names[i], want[i]) << i;
    const auto lines = streamListTexts(names);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0] + "|" + lines[2] + "|" + lines[31], "1  - English|3  - |32 - ");
    EXPECT_EQ(streamIdOfLine(1), 0x21);
}

TEST(Ifo, MissingOrShortFilesKeepWhatWasRead) {
    TempFolder dir;
    StreamLanguages names;
    names.fill("old");
    IfoReadResult missing = readIfoStreamLanguages(dir / "VTS_09_0.IFO", names);
    EXPECT_EQ(std::tuple(missing.found, missing.ok(), names[0]), std::tuple(false, false, "old"));

    IfoReadResult r =
        readIfoStreamLanguages(writeIfo(dir, std::vector<std::string>(32, "de"), 700), names);
    // the code of stream 17 ends at byte 698
    EXPECT_EQ(std::tuple(r.found, r.ok(), r.streamsRead, names[16], names[17]),
              std::tuple(true, false, 17, "German", "old"));
    EXPECT_NE(r.message.find("too short"), std::string::npos);

    IfoReadResult empty = readIfoStreamLanguages(writeIfo(dir, {}, 0), names);
    EXPECT_EQ(empty.streamsRead, 0);
    EXPECT_FALSE(empty.message.empty());
}
