#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

class FlowTest : public ::testing::Test {
protected:
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;
    TempFolder dir;

    void fill() { doc.AddSubtitle({"Hello"}, true, tc("00:00:01,000"), tc("00:00:02,000"), {}); }
};

} // namespace

TEST_F(FlowTest, SaveAsWritesTheListWithCrLfAndClearsModified) {
    fill();
    dialogs.saveFiles = {dir / "out.vtx"};
    EXPECT_EQ(SaveAs(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(fileBytes(dir / "out.vtx"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.FileName(), (dir / "out.vtx").string());
    EXPECT_EQ(doc.caption(), "Subtitles - out -");
    EXPECT_EQ(doc.SaveFolder, dir.path());
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].defaultExtension, "vtx");
    EXPECT_EQ(dialogs.saveRequests[0].initialName, "New File.vtx");
}

TEST_F(FlowTest, EmptyListSavesNothingWithoutADialog) {
    EXPECT_EQ(SaveAs(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(FlowTest, ReplacingAFileAnsweredNoWritesNothingAndStaysModified) {
    fill();
    writeText(dir / "old.vtx", "old contents");
    dialogs.saveFiles = {dir / "old.vtx"};
    dialogs.answers = {Answer::No};
    EXPECT_EQ(SaveAs(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_EQ(dialogs.questions[0].text, "File old.vtx already exists ! Replace file ?");
    EXPECT_EQ(fileBytes(dir / "old.vtx"), "old contents");
    EXPECT_TRUE(doc.Modified());
    dialogs.saveFiles = {dir / "old.vtx"};
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(SaveAs(doc, dialogs, messages), FlowResult::Done);
    EXPECT_NE(fileBytes(dir / "old.vtx"), "old contents");
}

TEST_F(FlowTest, FailedWriteReportsAndKeepsWhatWasThere) {
    fill();
    // A folder in the way cannot be replaced by the renamed file, even for root.
    std::filesystem::create_directory(dir / "film.vtx");
    writeText(dir / "film.vtx" / "inside", "kept");
    dialogs.saveFiles = {dir / "film.vtx"};
    dialogs.answers = {Answer::Yes, Answer::Ok};
    EXPECT_EQ(SaveAs(doc, dialogs, messages), FlowResult::Failed);
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_NE(dialogs.questions[1].text.find("film.vtx"), std::string::npos);
    EXPECT_EQ(fileBytes(dir / "film.vtx" / "inside"), "kept");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.FileName(), "New File");
}

// Over modified text Open asks first: No keeps everything; Yes then no file,
// or a missing one, keeps the text but no longer as modified; a file read
// remembers its folder and leaves the document marked as changed.
TEST_F(FlowTest, OpenAsksOverModifiedTextThenReadsTheChosenFile) {
    fill();
    dialogs.answers = {Answer::No};
    EXPECT_EQ(OpenDocument(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_EQ(dialogs.questions[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(dialogs.questions[0].text,
              "Text NOT Saved !\rDo you really want to open another file ?");
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(dialogs.openRequests.empty());
    dialogs.answers = {Answer::Yes};
    dialogs.openFiles = {std::nullopt, dir / "missing.vtx", dir / "in.vtx"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(OpenDocument(doc, dialogs, messages), FlowResult::Cancelled);
        EXPECT_EQ(doc.NbSubTitle(), 1);
        EXPECT_FALSE(doc.Modified());
    }
    writeText(dir / "in.vtx", "3\r\n00:00:01,000 --> 00:00:02,000\r\nRead\r\n\r\n");
    EXPECT_EQ(OpenDocument(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(doc.store().entry(1).Lines[0], "Read");
    EXPECT_EQ(doc.OpenFolder, dir.path());
    EXPECT_EQ(doc.caption(), "Subtitles - in -");
    EXPECT_EQ(doc.list().line(0), "3");
    EXPECT_TRUE(doc.Modified());
}

TEST_F(FlowTest, ClearAsksOnlyWhileModifiedAndLeavesTheHeader) {
    fill();
    doc.setOutputFormat(ofSubViewer);
    doc.SetFileName("/x/named.vtx");
    dialogs.answers = {Answer::No};
    EXPECT_EQ(ClearDocument(doc, dialogs, messages), FlowResult::Cancelled);
    EXPECT_EQ(doc.NbSubTitle(), 1);
    EXPECT_EQ(dialogs.questions[0].text,
              "Text NOT Saved !\rDo you really want to clear all text ?");
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(ClearDocument(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(doc.NbSubTitle(), 0);
    EXPECT_EQ(doc.FileName(), "New File");
    EXPECT_EQ(doc.indexLabel(), "0");
    EXPECT_EQ(doc.list().size(), 16u);
    EXPECT_FALSE(doc.Modified());
    // Not modified: no question.
    EXPECT_EQ(ClearDocument(doc, dialogs, messages), FlowResult::Done);
    EXPECT_EQ(dialogs.questions.size(), 2u);
}
