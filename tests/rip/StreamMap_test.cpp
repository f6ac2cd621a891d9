#include "rip/StreamMap.h"

#include <gtest/gtest.h>

using namespace mirtal;

TEST(StreamMap, WideTitlesReadThroughTheTableOthersByTheLineNumber) {
    using V = SubpictureView;
    // As dvdauthor writes English in 0x20/0x21 and French in 0x22/0x23:
    // 0 where a stream has no such variant.
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
