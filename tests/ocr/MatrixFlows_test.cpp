#include "FakeHost.h"
#include "ocr/MatrixFile.h"
#include "ocr/MatrixFlows.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace mirtal;
using mirtal::test::FakeHost;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MatrixFlowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("mirtal_flows_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_flows.onMatrixReplaced = [this] { ++m_replaced; };
        m_flows.onFileNameChanged = [this] { m_field = MatrixFileFieldText(m_matrix); };
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Learn(int n) {
        for (int i = 0; i < n; ++i) {
            CharMatrixEntry e;
            e.Width = e.Height = 5;
            e.Text = std::string(1, char('a' + i));
            e.setPixel(i % 5, 2, true);
            m_matrix.AppendEntry(e);
        }
    }
    fs::path WriteMatrix(const std::string& name, int entries) {
        CharMatrix m;
        for (int i = 0; i < entries; ++i) {
            CharMatrixEntry e;
            e.Width = e.Height = 3;
            e.Text = "f" + std::to_string(i);
            m.AppendEntry(e);
        }
        const fs::path p = m_dir / name;
        EXPECT_TRUE(SaveMatrixFile(p, m));
        return p;
    }

    fs::path m_dir;
    FakeHost m_host;
    MessageCatalogue m_messages;
    CharMatrix m_matrix;
    MatrixDialogFolders m_folders{"/open/here", "/save/here"};
    MatrixFlows m_flows{m_matrix, m_host, m_messages, m_folders};
    int m_replaced = 0;
    std::string m_field = "New File";
};

} // namespace

TEST_F(MatrixFlowsTest, SavingAnEmptyMatrixIsRefused) {
    m_host.answers = {Answer::Ok};
    EXPECT_FALSE(m_flows.SaveMatrix(true));
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_EQ(m_host.questions[0].text, "The Character Matrix is Empty !");
    EXPECT_EQ(m_host.questions[0].kind, MessageKind::Warning);
    EXPECT_TRUE(m_host.fileRequests.empty());
}

TEST_F(MatrixFlowsTest, SaveAsWritesTheChosenFile) {
    Learn(3);
    const fs::path file = m_dir / "disc.qmx";
    m_host.saveFiles = {file};
    EXPECT_TRUE(m_flows.SaveMatrix(true));
    ASSERT_EQ(m_host.fileRequests.size(), 1u);
    const FileDialogRequest& r = m_host.fileRequests[0];
    EXPECT_EQ(r.title, "Save current Character Matrix File");
    EXPECT_EQ(r.filter, "Mirtal Charater Matrix (*.qmx)|*.qmx");
    EXPECT_EQ(r.defaultExtension, "qmx");
    EXPECT_EQ(r.initialFolder, fs::path("/save/here"));
    EXPECT_EQ(fs::file_size(file), 280u + 3 * 277u);
    EXPECT_EQ(m_matrix.FileName(), file.string());
    EXPECT_FALSE(m_matrix.Modified());
    EXPECT_EQ(m_folders.openFolder, m_dir);
    EXPECT_EQ(m_folders.saveFolder, m_dir);
    EXPECT_EQ(m_field, "disc.qmx");
}

TEST_F(MatrixFlowsTest, ReplaceQuestionAnsweredNoWritesNothing) {
    const fs::path file = WriteMatrix("old.qmx", 1);
    const std::string before = ReadFile(file);
    Learn(2);
    m_host.saveFiles = {file};
    m_host.answers = {Answer::No};
    EXPECT_FALSE(m_flows.SaveMatrix(true));
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_EQ(m_host.questions[0].text, "File old.qmx already exists ! Replace ?");
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_TRUE(m_matrix.Modified());
    EXPECT_TRUE(m_matrix.FileName().empty());

    m_host.saveFiles = {file};
    m_host.answers = {Answer::Yes};
    EXPECT_TRUE(m_flows.SaveMatrix(true));
    EXPECT_EQ(fs::file_size(file), 280u + 2 * 277u);
}

TEST_F(MatrixFlowsTest, MenuSaveAsksForANameOnlyWhenTheFileIsMissing) {
    Learn(1);
    const fs::path file = m_dir / "a.qmx";
    m_host.saveFiles = {file};
    EXPECT_TRUE(m_flows.SaveMatrixMenu()); // no name yet: asks
    EXPECT_EQ(m_host.fileRequests.size(), 1u);
    Learn(1);
    EXPECT_TRUE(m_flows.SaveMatrixMenu()); // the file exists: writes it again
    EXPECT_EQ(m_host.fileRequests.size(), 1u);
    EXPECT_EQ(fs::file_size(file), 280u + 2 * 277u);
    fs::remove(file);
    m_host.saveFiles = {std::nullopt};
    EXPECT_FALSE(m_flows.SaveMatrixMenu()); // removed meanwhile: asks, user cancels
    EXPECT_EQ(m_host.fileRequests.size(), 2u);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(MatrixFlowsTest, WriteErrorIsReportedAndNothingIsLost) {
    Learn(2);
    const fs::path file = m_dir / "missing folder" / "x.qmx";
    m_host.saveFiles = {file};
    m_host.answers = {Answer::Ok};
    EXPECT_FALSE(m_flows.SaveMatrix(true));
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_NE(m_host.questions[0].text.find("x.qmx"), std::string::npos);
    EXPECT_TRUE(m_matrix.Modified());
    EXPECT_TRUE(m_matrix.FileName().empty());
    EXPECT_EQ(m_field, "New File");
}

TEST_F(MatrixFlowsTest, ConfirmDiscardFollowsTheAnswer) {
    EXPECT_TRUE(m_flows.ConfirmDiscardMatrix()); // not modified: no question
    EXPECT_TRUE(m_host.questions.empty());

    const fs::path file = WriteMatrix("mine.qmx", 1);
    m_host.openFiles = {file};
    ASSERT_TRUE(m_flows.OpenMatrix());
    Learn(1);
    const std::string question =
        "Character Matrix mine.qmx has been modified.\rDo you want to Save it ?";

    m_host.answers = {Answer::Cancel};
    EXPECT_FALSE(m_flows.ConfirmDiscardMatrix());
    EXPECT_EQ(m_host.questions.back().text, question);
    EXPECT_TRUE(m_matrix.Modified());

    m_host.answers = {Answer::No};
    EXPECT_TRUE(m_flows.ConfirmDiscardMatrix());
    EXPECT_EQ(fs::file_size(file), 280u + 277u); // not saved

    m_host.answers = {Answer::Yes};
    EXPECT_TRUE(m_flows.ConfirmDiscardMatrix()); // saved under its name without a dialog
    EXPECT_EQ(fs::file_size(file), 280u + 2 * 277u);
    EXPECT_FALSE(m_matrix.Modified());
    EXPECT_EQ(m_host.fileRequests.size(), 1u); // only the open dialog
}

TEST_F(MatrixFlowsTest, DiscardYesKeepsTheMatrixWhenTheSaveDoesNotHappen) {
    Learn(2);
    m_host.answers = {Answer::Yes};
    m_host.saveFiles = {std::nullopt}; // the user cancels the save dialog
    EXPECT_FALSE(m_flows.ConfirmDiscardMatrix());
    EXPECT_EQ(m_matrix.Count(), 2);

    m_host.answers = {Answer::Yes};
    m_host.saveFiles = {m_dir / "nowhere" / "x.qmx"}; // the write fails
    m_host.answers.push_back(Answer::Ok);             // its error message
    EXPECT_FALSE(m_flows.NewMatrix());
    EXPECT_EQ(m_matrix.Count(), 2);
    EXPECT_TRUE(m_matrix.Modified());
}

TEST_F(MatrixFlowsTest, OpenLoadsAndNamesTheMatrix) {
    const fs::path file = WriteMatrix("other.qmx", 4);
    m_host.openFiles = {file};
    EXPECT_TRUE(m_flows.OpenMatrix());
    ASSERT_EQ(m_host.fileRequests.size(), 1u);
    EXPECT_EQ(m_host.fileRequests[0].title, "Open a previously created Character Matrix File");
    EXPECT_EQ(m_host.fileRequests[0].filter, "Mirtal Charater Matrix (*.qmx)|*.qmx");
    EXPECT_EQ(m_host.fileRequests[0].initialFolder, fs::path("/open/here"));
    EXPECT_EQ(m_matrix.Count(), 4);
    EXPECT_EQ(m_matrix.FileName(), file.string());
    EXPECT_FALSE(m_matrix.Modified());
    EXPECT_EQ(m_replaced, 1);
    EXPECT_EQ(m_field, "other.qmx");
    EXPECT_EQ(m_folders.openFolder, m_dir);
    EXPECT_EQ(m_folders.saveFolder, m_dir);
}

TEST_F(MatrixFlowsTest, OpenOfADamagedFileKeepsTheMatrix) {
    Learn(3);
    m_matrix.setModified(false);
    const CharMatrix before = m_matrix;
    const fs::path bad = m_dir / "bad.qmx";
    { std::ofstream(bad, std::ios::binary) << "mirtal_Char_Matrix_File" << std::string(257, '\0'); }
    const fs::path cut = WriteMatrix("cut.qmx", 3);
    fs::resize_file(cut, fs::file_size(cut) - 10);

    m_host.openFiles = {bad, cut};
    m_host.answers = {Answer::Ok, Answer::Ok};
    EXPECT_FALSE(m_flows.OpenMatrix());
    EXPECT_EQ(m_host.questions.back().text, "This is NOT a valid Char Matrix File !");
    EXPECT_FALSE(m_flows.OpenMatrix());
    EXPECT_EQ(m_host.questions.back().text.rfind("This is NOT a valid Char Matrix File !\r", 0),
              0u);
    EXPECT_NE(m_host.questions.back().text.find("cut.qmx"), std::string::npos);
    EXPECT_EQ(m_matrix, before);
    EXPECT_EQ(m_replaced, 0);
}

TEST_F(MatrixFlowsTest, OpenAsksAboutAModifiedMatrixFirst) {
    Learn(1);
    m_host.answers = {Answer::Cancel};
    EXPECT_FALSE(m_flows.OpenMatrix());
    EXPECT_TRUE(m_host.fileRequests.empty());
    EXPECT_EQ(m_matrix.Count(), 1);
}

TEST_F(MatrixFlowsTest, NewClearsAfterConfirmation) {
    Learn(2);
    m_matrix.SetComment("old");
    m_host.answers = {Answer::No};
    EXPECT_TRUE(m_flows.NewMatrix());
    EXPECT_EQ(m_matrix.Count(), 0);
    EXPECT_TRUE(m_matrix.Comment().empty());
    EXPECT_FALSE(m_matrix.Modified());
    EXPECT_EQ(m_replaced, 1);
    EXPECT_EQ(m_field, "New File");
}

TEST_F(MatrixFlowsTest, MessagesComeFromTheCatalogue) {
    m_messages.set(2, "Matrice vide !");
    m_host.answers = {Answer::Ok};
    m_flows.SaveMatrix(false);
    EXPECT_EQ(m_host.questions.back().text, "Matrice vide !");
}
