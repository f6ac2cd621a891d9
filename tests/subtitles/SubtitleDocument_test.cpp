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

} // namespace

TEST(Store, RefusesEntriesPastItsCapacityAndNoText) {
    SubtitleStore store;
    EXPECT_EQ(store.add({}, {}, {}, {}), AddStatus::NoText);
    for (int i = 0; i < SubtitleStore::kCapacity; ++i)
        ASSERT_EQ(store.add({"line " + std::to_string(i)}, {}, {}, {}), AddStatus::Added);
    EXPECT_EQ(store.add({"one too many"}, {}, {}, {}), AddStatus::StoreFull);
    EXPECT_EQ(std::pair(store.nbSubTitle(), store.last().Lines[0]),
              std::pair(SubtitleStore::kCapacity, std::string("line 14999")));
    EXPECT_THROW(store.entry(SubtitleStore::kCapacity + 1), std::out_of_range);
    EXPECT_THROW(store.entry(0), std::out_of_range);
}

TEST(Store, ExtraLinesJoinTheTenth) {
    SubtitleStore store;
    store.add({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, {}, {}, {});
    const TSub& e = store.entry(1);
    EXPECT_EQ(std::vector<std::string>(e.Lines.begin(), e.Lines.begin() + e.NbLines),
              (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j k l"}));
}

// A shown entry is rendered at once, labelled and selected while the list is
// shown and scrolls down; a hidden one is only stored, as the reader does
// before its refresh.
TEST_F(DocumentTest, AddedEntriesAreRenderedSelectedAndClosed) {
    EXPECT_EQ(std::pair(doc.indexLabel(), doc.isModified()), std::pair(std::string("0"), false));
    doc.addSubtitle({"Hello", "World"}, true, tc("00:00:01,000"), {}, {});
    doc.closeLastEntry(tc("00:00:02,500"));
    EXPECT_EQ(std::tuple(doc.indexLabel(), doc.isModified(), doc.list().selected()),
              std::tuple(std::string("1"), true, -1));
    doc.addSubtitle({"Later"}, false, {}, {}, {});
    EXPECT_EQ(doc.list().lines(),
              (TextLines{"1", "00:00:01,000 --> 00:00:02,500", "Hello", "World", ""}));
    doc.ListShown = true, doc.AutoScrollDown = false;
    doc.addSubtitle({"b"}, true, {}, {}, {});
    EXPECT_EQ(doc.list().selected(), -1);
    doc.AutoScrollDown = true;
    doc.addSubtitle({"c"}, true, {}, {}, {});
    EXPECT_EQ(doc.list().selected(), int(doc.list().size()) - 1);
}

// An empty list shows the header with its last line selected; closing the last
// entry keeps its clearing lines; removing it takes its own lines only.
TEST_F(DocumentTest, SubViewerListKeepsItsHeaderAndClearingLines) {
    doc.setOutputFormat(ofSubViewer);
    doc.refreshList();
    const TextLines header = doc.list().lines();
    ASSERT_EQ(header.size(), 16u);
    EXPECT_EQ(std::tuple(doc.list().selected(), header[15], doc.isModified()),
              std::tuple(15, std::string("******** START SCRIPT ********"), false));
    doc.addSubtitle({"first"}, true, tc("00:00:01,000"), tc("00:00:02,000"), {});
    doc.addSubtitle({"second"}, true, tc("00:00:05,000"), {}, {});
    EXPECT_EQ(doc.lastStop(), TTimeCode{});
    doc.closeLastEntry(tc("00:00:07,000"));
    TextLines expected = header;
    for (const char* line : {"[00:00:01]", "first", "[00:00:02]", "", "[00:00:05]", "second"})
        expected.push_back(line);
    EXPECT_EQ(doc.list().lines(), expected);
    EXPECT_EQ(doc.store().last().Stop, tc("00:00:07,000"));
    doc.removeLastEntry();
    doc.removeLastEntry(); // the second has no entry of its own to take
    expected.resize(18);
    EXPECT_EQ(doc.list().lines(), expected);
}

TEST_F(DocumentTest, OpenStopBeforeSplitStartRendersAsZeroNotAWrappedTime) {
    doc.setSplit({true, tc("00:10:00,000"), tc("00:20:00,000")});
    doc.refreshList();
    doc.addSubtitle({"ripping"}, true, tc("00:12:00,000"), {}, {});
    // Adding and closing an entry the filter keeps out changes nothing in the list.
    doc.addSubtitle({"outside"}, true, tc("00:25:00,000"), {}, {});
    doc.closeLastEntry(tc("00:25:02,000"));
    EXPECT_EQ(doc.list().lines(), (TextLines{"1", "00:02:00,000 --> 00:00:00,000", "ripping", ""}));
}

TEST_F(DocumentTest, IAuthorListIsNativeWithCoordinatesAndForcesTheExtendedOption) {
    add(doc, "00:00:01,000", "00:00:02,000", {"sub000001.bmp"}, {160, 470, 559, 519});
    doc.setOutputFormat(ofIAuthor);
    doc.refreshList();
    EXPECT_TRUE(doc.options().native.ExtendedFormat);
    EXPECT_EQ(doc.list().line(1), "00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519");
}

TEST_F(DocumentTest, FileNameGivesCaptionAndTheFormatsExtension) {
    doc.setOutputFormat(ofWebVtt);
    doc.setFileName("/films/disc one/Movie.part1.vtx");
    EXPECT_EQ(std::pair(doc.caption(), doc.saveInitialName()),
              std::pair(std::string("Subtitles - Movie.part1 -"), std::string("Movie.part1.vtt")));
}

TEST_F(DocumentTest, ViewHearsOfAppendsRemovalsAndOneResetPerRefresh) {
    RecordingObserver view;
    doc.list().setObserver(&view);
    doc.addSubtitle({"a"}, true, {}, {}, {});
    doc.addSubtitle({"b", "c"}, true, {}, {}, {});
    doc.removeLastEntry();
    EXPECT_EQ(view.events, (std::vector<std::string>{"append 0+4", "append 4+5", "remove 4+5"}));
    EXPECT_GT(view.stateChanges, 0);
    view.events.clear();
    view.stateChanges = 0;
    for (int i = 0; i < 50; ++i) doc.addSubtitle({"x"}, false, {}, {}, {});
    doc.refreshList();
    EXPECT_EQ(view.events, (std::vector<std::string>{"reset", "select 208"}));
    EXPECT_EQ(std::pair(view.stateChanges, doc.indexLabel()), std::pair(1, std::string("52")));
}
