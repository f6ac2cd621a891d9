#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct FlowTest : DocumentTest {
    TempFolder dir;

    void fill() { doc.addSubtitle({"Hello"}, true, tc("00:00:01,000"), tc("00:00:02,000"), {}); }
};

} // namespace

TEST_F(FlowTest, SaveAsWritesTheListWithCrLfAndClearsModified) {
    EXPECT_EQ(saveDocumentAs(doc, dialogs, messages), FlowResult::Cancelled) << "nothing to save";
    fill();
    dialogs.saveFiles = {dir / "out.vtx"};
    EXPECT_EQ(saveDocumentAs(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(readText(dir / "out.vtx"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    EXPECT_EQ(std::tuple(doc.isModified(), doc.caption(), doc.SaveFolder),
              std::tuple(false, std::string("Subtitles - out -"), dir.path()));
}

TEST_F(FlowTest, SaveOverAFileAsksAndNoKeepsIt) {
    fill();
    writeText(dir / "old.vtx", "old contents");
    dialogs.saveFiles = {dir / "old.vtx"};
    dialogs.answers = {Answer::No};
    EXPECT_EQ(saveDocumentAs(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_EQ(dialogs.questions.at(0).text, "File old.vtx already exists ! Replace file ?");
    EXPECT_EQ(std::tuple(readText(dir / "old.vtx"), doc.isModified(), doc.fileName()),
              std::tuple(std::string("old contents"), true, std::string("New File")));
}

// Yes then no file, or a missing one, keeps the text but no longer as
// modified; a file read leaves the document marked as changed.
TEST_F(FlowTest, OpenAsksOverModifiedTextThenReadsTheChosenFile) {
    fill();
    dialogs.answers = {Answer::No};
    EXPECT_EQ(openDocumentAsking(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_TRUE(doc.isModified() && dialogs.openRequests.empty() && dialogs.questions.size() == 1);
    dialogs.answers = {Answer::Yes};
    dialogs.openFiles = {std::nullopt, dir / "missing.vtx", dir / "in.vtx"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(openDocumentAsking(doc, dialogs, messages), FlowResult::Cancelled);
        EXPECT_EQ(std::pair(doc.nbSubTitle(), doc.isModified()), std::pair(1, false));
    }
    writeText(dir / "in.vtx", "3\r\n00:00:01,000 --> 00:00:02,000\r\nRead\r\n\r\n");
    EXPECT_EQ(openDocumentAsking(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(doc.list().lines(), (TextLines{"3", "00:00:01,000 --> 00:00:02,000", "Read", ""}));
    EXPECT_EQ(std::tuple(doc.OpenFolder, doc.caption(), doc.isModified()),
              std::tuple(dir.path(), std::string("Subtitles - in -"), true));
}

TEST_F(FlowTest, ClearAsksOnlyWhileModifiedAndLeavesTheHeader) {
    fill();
    doc.setOutputFormat(ofSubViewer);
    doc.setFileName("/x/named.vtx");
    dialogs.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(clearDocumentAsking(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_EQ(doc.nbSubTitle(), 1);
    EXPECT_EQ(clearDocumentAsking(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(std::tuple(doc.nbSubTitle(), doc.fileName(), doc.indexLabel(), doc.list().size(),
                         doc.isModified()),
              std::tuple(0, std::string("New File"), std::string("0"), size_t(16), false));
    EXPECT_EQ(clearDocumentAsking(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(dialogs.questions.size(), 2u) << "not modified: no question";
}
