#include "SubtitleTestSupport.h"
#include "subtitles/SubtitleDocument.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct RecordingObserver : SubtitleListObserver {
    std::vector<std::string> events;
    void linesReset() override { events.push_back("reset"); }
    void linesAppended(size_t first, size_t count) override {
        events.push_back("append " + std::to_string(first) + "+" + std::to_string(count));
    }
    void linesRemoved(size_t first, size_t count) override {
        events.push_back("remove " + std::to_string(first) + "+" + std::to_string(count));
    }
    void selectionChanged(int line) override { events.push_back("select " + std::to_string(line)); }
    void documentStateChanged() override { ++stateChanges; }
    int stateChanges = 0;
};

class DocumentTest : public ::testing::Test {
protected:
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};
};

} // namespace

TEST(Store, RefusesEntriesPastItsCapacityAndKeepsWhatItHas) {
    SubtitleStore store;
    for (int i = 0; i < SubtitleStore::kCapacity; ++i)
        ASSERT_EQ(store.add({"line " + std::to_string(i)}, MsToTimeCode(i), {}, {}),
                  AddStatus::Added);
    EXPECT_EQ(store.add({"one too many"}, {}, {}, {}), AddStatus::StoreFull);
    EXPECT_EQ(store.NbSubTitle(), SubtitleStore::kCapacity);
    EXPECT_EQ(store.last().Lines[0], "line 14999");
    EXPECT_THROW(store.entry(SubtitleStore::kCapacity + 1), std::out_of_range);
    EXPECT_THROW(store.entry(0), std::out_of_range);
}

TEST(Store, NoTextStoresNothingAndExtraLinesJoinTheTenth) {
    SubtitleStore store;
    EXPECT_EQ(store.add({}, {}, {}, {}), AddStatus::NoText);
    EXPECT_EQ(store.NbSubTitle(), 0);
    std::vector<std::string> lines{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};
    ASSERT_EQ(store.add(lines, tc("00:00:01,000"), tc("00:00:02,000"), {1, 2, 3, 4}),
              AddStatus::Added);
    const TSub& e = store.entry(1);
    EXPECT_EQ(e.NbLines, 10);
    EXPECT_EQ(e.Lines[8], "i");
    EXPECT_EQ(e.Lines[9], "j k l");
    EXPECT_EQ(e.rect(), (Rect{1, 2, 3, 4}));
}

// A shown entry is rendered at once, labelled and selected while the list is
// shown and scrolls down; a hidden one is only stored, as the reader does
// before its refresh; a full store refuses and renders nothing.
TEST_F(DocumentTest, AddedEntriesAreRenderedSelectedAndClosed) {
    EXPECT_EQ(doc.indexLabel(), "0");
    EXPECT_FALSE(doc.Modified());
    doc.AddSubtitle({"Hello", "World"}, true, tc("00:00:01,000"), {}, {});
    doc.CloseLastEntry(tc("00:00:02,500"));
    EXPECT_EQ(doc.list().lines(),
              (TextLines{"1", "00:00:01,000 --> 00:00:02,500", "Hello", "World", ""}));
    EXPECT_EQ(doc.indexLabel(), "1");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.list().selected(), -1);
    doc.AddSubtitle({"Later"}, false, {}, {}, {});
    EXPECT_EQ(doc.list().size(), 5u);
    EXPECT_EQ(doc.NbSubTitle(), 2);
    doc.ListShown = true;
    doc.AutoScrollDown = false;
    doc.AddSubtitle({"b"}, true, {}, {}, {});
    EXPECT_EQ(doc.list().selected(), -1);
    doc.AutoScrollDown = true;
    doc.AddSubtitle({"c"}, true, {}, {}, {});
    EXPECT_EQ(doc.list().selected(), int(doc.list().size()) - 1);
    while (doc.NbSubTitle() < SubtitleStore::kCapacity) doc.store().add({"x"}, {}, {}, {});
    const size_t before = doc.list().size();
    EXPECT_EQ(doc.AddSubtitle({"late"}, true, {}, {}, {}), AddStatus::StoreFull);
    EXPECT_EQ(doc.list().size(), before);
}

TEST_F(DocumentTest, ClosingTheLastEntryInSubViewerTakesItsClearingLinesToo) {
    doc.setOutputFormat(ofSubViewer);
    doc.RefreshList();
    ASSERT_EQ(doc.list().size(), 16u);
    doc.AddSubtitle({"first"}, true, tc("00:00:01,000"), tc("00:00:02,000"), {});
    doc.AddSubtitle({"second"}, true, tc("00:00:05,000"), {}, {});
    // first, then the clearing pair and second.
    ASSERT_EQ(doc.list().size(), 16u + 2 + 4);
    EXPECT_EQ(doc.list().line(18), "[00:00:02]");
    EXPECT_EQ(doc.lastStop(), TTimeCode{});
    doc.CloseLastEntry(tc("00:00:07,000"));
    EXPECT_EQ(doc.list().size(), 16u + 2 + 4);
    EXPECT_EQ(doc.store().last().Stop, tc("00:00:07,000"));
    // Remove without a re-render takes exactly the four lines.
    doc.RemoveLastEntry();
    EXPECT_EQ(doc.list().size(), 18u);
    EXPECT_EQ(doc.list().lines().back(), "first");
    // A second removal has no entry of its own to take.
    doc.RemoveLastEntry();
    EXPECT_EQ(doc.list().size(), 18u);
}

TEST_F(DocumentTest, EmptySubViewerRefreshShowsHeaderAndSelectsItsLastLine) {
    doc.setOutputFormat(ofSubViewer);
    doc.RefreshList();
    ASSERT_EQ(doc.list().size(), 16u);
    EXPECT_EQ(doc.list().selected(), 15);
    EXPECT_EQ(doc.list().line(15), "******** START SCRIPT ********");
    EXPECT_FALSE(doc.Modified());
    doc.setOutputFormat(ofNative);
    doc.RefreshList();
    EXPECT_TRUE(doc.list().empty());
    EXPECT_EQ(doc.list().selected(), -1);
}

TEST_F(DocumentTest, SplitWindowKeepsEntriesStartingInsideCutAndShifted) {
    add(doc, "00:00:30,000", "00:00:40,000", {"before"});
    add(doc, "00:01:59,999", "00:02:05,000", {"crossing"});
    add(doc, "00:02:00,000", "00:02:03,000", {"after"});
    doc.setSplit({true, tc("00:01:00,000"), tc("00:02:00,000")});
    doc.RefreshList();
    EXPECT_EQ(doc.list().lines(),
              (TextLines{"2", "00:00:59,999 --> 00:01:00,000", "crossing", ""}));
    // Numbering follows the store position, not the filtered order.
    doc.setSplit({true, tc("00:03:00,000"), tc("00:04:00,000")});
    doc.setOutputFormat(ofSubViewer2);
    doc.RefreshList();
    EXPECT_EQ(doc.list().size(), 15u);
}

TEST_F(DocumentTest, OpenStopBeforeSplitStartRendersAsZeroNotAWrappedTime) {
    doc.setSplit({true, tc("00:10:00,000"), tc("00:20:00,000")});
    doc.RefreshList();
    doc.AddSubtitle({"ripping"}, true, tc("00:12:00,000"), {}, {});
    EXPECT_EQ(doc.list().line(1), "00:02:00,000 --> 00:00:00,000");
    // Removing an entry the filter kept out takes nothing from the list.
    doc.AddSubtitle({"outside"}, true, tc("00:25:00,000"), {}, {});
    EXPECT_EQ(doc.list().size(), 4u);
    doc.CloseLastEntry(tc("00:25:02,000"));
    EXPECT_EQ(doc.list().size(), 4u);
    EXPECT_EQ(doc.list().line(0), "1");
}

TEST_F(DocumentTest, IAuthorListIsNativeWithCoordinatesAndForcesTheExtendedOption) {
    add(doc, "00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, {160, 470, 559, 519});
    doc.setOutputFormat(ofIAuthor);
    doc.RefreshList();
    EXPECT_TRUE(doc.options().native.ExtendedFormat);
    EXPECT_EQ(doc.list().line(1), "00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519");
}

TEST_F(DocumentTest, FileNameGivesCaptionAndTheFormatsExtension) {
    EXPECT_EQ(doc.FileName(), "New File");
    EXPECT_EQ(doc.caption(), "Subtitles - New File -");
    EXPECT_EQ(doc.saveInitialName(), "New File.vtx");
    doc.SetFileName("/films/disc one/Movie.part1.vtx");
    EXPECT_EQ(doc.caption(), "Subtitles - Movie.part1 -");
    const char* ext[] = {".vtx", ".sub", ".sub", ".txt", ".sub", ".txt", ".vtt", ".ass"};
    for (int f = 0; f < kFormatCount; ++f) {
        doc.setOutputFormat(TOutputFormat(f));
        doc.SetFileName(doc.FileName());
        EXPECT_EQ(doc.saveInitialName(), std::string("Movie.part1") + ext[f]) << f;
    }
}

TEST_F(DocumentTest, ViewHearsOfAppendsRemovalsAndOneResetPerRefresh) {
    RecordingObserver view;
    doc.list().setObserver(&view);
    doc.AddSubtitle({"a"}, true, {}, {}, {});
    doc.AddSubtitle({"b", "c"}, true, {}, {}, {});
    doc.RemoveLastEntry();
    EXPECT_EQ(view.events, (std::vector<std::string>{"append 0+4", "append 4+5", "remove 4+5"}));
    EXPECT_GT(view.stateChanges, 0);
    view.events.clear();
    view.stateChanges = 0;
    for (int i = 0; i < 50; ++i) doc.AddSubtitle({"x"}, false, {}, {}, {});
    doc.RefreshList();
    EXPECT_EQ(view.events, (std::vector<std::string>{"reset", "select 208"}));
    EXPECT_EQ(view.stateChanges, 1);
    EXPECT_EQ(doc.indexLabel(), "52");
}
