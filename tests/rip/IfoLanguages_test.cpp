#include "TempFolder.h"
#include "rip/IfoLanguages.h"
#include "rip/StreamMap.h"

#include <gtest/gtest.h>

using namespace mirtal;
using mirtal::test::TempFolder;

namespace {

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
}

TEST(StreamMap, WideTitlesReadThroughTheTableOthersByTheLineNumber) {
    using V = SubpictureView;
    // English in 0x20/0x21 and French in 0x22/0x23; 0 where a stream has no such variant.
    const std::array<uint32_t, kSubpictureStreams> authored = {0x80000100, 0x80020300};
    const std::array<uint32_t, kSubpictureStreams> allViews = {0x80010203};
    const std::array<uint32_t, kSubpictureStreams> noneValid = {0x00020300};
    struct Case {
        bool wideTitle;
        const std::array<uint32_t, kSubpictureStreams>& entries;
        int line;
        V view;
        uint8_t id;
        bool hasView;
    };
    const Case cases[] = {
        {true, authored, 1, V::Wide, 0x22, true},
        {true, authored, 1, V::Letterbox, 0x23, true},
        {true, authored, 1, V::PanScan, 0x22, false}, // its 0 is English
        {true, authored, 0, V::PanScan, 0x20, false}, // its 0 is its own wide
        {true, allViews, 0, V::PanScan, 0x23, true},
        {true, authored, 2, V::Wide, 0x22, true}, // no entry: the line number
        {false, authored, 1, V::Wide, 0x21, true},
        {false, authored, 1, V::Letterbox, 0x21, false},
        {true, noneValid, 0, V::Wide, 0x20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.wideTitle << " line " << c.line << " view " << viewName(c.view));
        const StreamMap map(c.wideTitle, c.entries);
        EXPECT_EQ(map.substream(c.line, c.view), c.id);
        EXPECT_EQ(map.hasView(c.line, c.view), c.hasView);
        EXPECT_EQ(map.mapped(), c.wideTitle && &c.entries != &noneValid);
    }
}
