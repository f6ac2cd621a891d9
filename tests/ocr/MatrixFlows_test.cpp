#include "FakeHost.h"
#include "TempFolder.h"
#include "ocr/MatrixFile.h"
#include "ocr/MatrixFlows.h"

#include <gtest/gtest.h>

using namespace mirtal;
using mirtal::test::FakeHost;
namespace fs = std::filesystem;

namespace {

constexpr auto FileSize = [](int entries) { return 280u + 277u * uintmax_t(entries); };

class MatrixFlowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_flows.onMatrixReplaced = [this] { ++m_replaced; };
        m_flows.onFileNameChanged = [this] { m_field = matrixFileFieldText(m_matrix); };
    }
    void Learn(int n) {
        CharMatrixEntry e;
        e.Width = e.Height = 5;
        for (int i = 0; i < n; ++i) m_matrix.appendEntry(e);
    }
    fs::path WriteMatrix(const std::string& name, int entries) {
        CharMatrix m;
        CharMatrixEntry e;
        e.Width = e.Height = 3;
        for (int i = 0; i < entries; ++i) m.appendEntry(e);
        EXPECT_TRUE(saveMatrixFile(m_dir / name, m));
        return m_dir / name;
    }

    // The matrix, its file, the window's field, the questions and file dialogs, as one text.
    std::string State() const {
        return std::to_string(m_matrix.count()) + (m_matrix.isModified() ? " modified" : " saved") +
               " file '" + fs::path(m_matrix.fileName()).filename().string() + "' field '" +
               m_field + "' replaced " + std::to_string(m_replaced) + " asked " +
               std::to_string(m_host.questions.size()) + " dialogs " +
               std::to_string(m_host.fileRequests.size());
    }
    bool Asked(const std::string& part) const {
        return !m_host.questions.empty() &&
               m_host.questions.back().text.find(part) != std::string::npos;
    }

    mirtal::test::TempFolder m_dir;
    FakeHost m_host;
    MessageCatalogue m_messages;
    CharMatrix m_matrix;
    MatrixDialogFolders m_folders{"/open/here", "/save/here"};
    MatrixFlows m_flows{m_matrix, m_host, m_messages, m_folders};
    int m_replaced = 0;
    std::string m_field = "New File";
};

} // namespace

TEST_F(MatrixFlowsTest, SavingAnEmptyMatrixIsRefusedWithTheCataloguesWarning) {
    m_messages.set(2, "Matrice vide !");
    m_host.answers = {Answer::Ok};
    EXPECT_FALSE(m_flows.saveMatrix(true));
    EXPECT_EQ(State(), "0 saved file '' field 'New File' replaced 0 asked 1 dialogs 0");
    EXPECT_EQ(m_host.questions[0].text, "Matrice vide !");
    EXPECT_EQ(m_host.questions[0].kind, MessageKind::Warning);
}

TEST_F(MatrixFlowsTest, SaveAsAsksBeforeReplacingAndNamesTheMatrix) {
    const fs::path file = WriteMatrix("old.qmx", 1);
    Learn(2);
    m_host.saveFiles = {file, file};
    m_host.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(m_flows.saveMatrix(true));
    EXPECT_TRUE(Asked("old.qmx"));
    EXPECT_EQ(fs::file_size(file), FileSize(1));
    EXPECT_EQ(State(), "2 modified file '' field 'New File' replaced 0 asked 1 dialogs 1");

    EXPECT_TRUE(m_flows.saveMatrix(true));
    EXPECT_EQ(m_host.fileRequests[1].initialFolder, fs::path("/save/here"));
    EXPECT_EQ(fs::file_size(file), FileSize(2));
    EXPECT_EQ(State(), "2 saved file 'old.qmx' field 'old.qmx' replaced 0 asked 2 dialogs 2");
    EXPECT_EQ(std::pair(m_folders.openFolder, m_folders.saveFolder),
              std::pair(m_dir.path(), m_dir.path()));
}

TEST_F(MatrixFlowsTest, MenuSaveAsksForANameOnlyWhenTheFileIsMissing) {
    Learn(1);
    const fs::path file = m_dir / "a.qmx";
    m_host.saveFiles = {file};
    EXPECT_TRUE(m_flows.saveMatrixMenu()); // no name yet: asks
    Learn(1);
    EXPECT_TRUE(m_flows.saveMatrixMenu()); // the file exists: writes it again
    EXPECT_EQ(std::pair(m_host.fileRequests.size(), fs::file_size(file)),
              std::pair(1ul, FileSize(2)));
    fs::remove(file);
    m_host.saveFiles = {std::nullopt};
    EXPECT_FALSE(m_flows.saveMatrixMenu()); // removed meanwhile: asks, user cancels
    EXPECT_EQ(std::pair(m_host.fileRequests.size(), fs::exists(file)), std::pair(2ul, false));
}

TEST_F(MatrixFlowsTest, ConfirmDiscardFollowsTheAnswer) {
    EXPECT_TRUE(m_flows.confirmDiscardMatrix()); // not modified: no question
    EXPECT_TRUE(m_host.questions.empty());

    const fs::path file = WriteMatrix("mine.qmx", 1);
    m_host.openFiles = {file};
    ASSERT_TRUE(m_flows.openMatrix());
    Learn(1);
    m_host.answers = {Answer::Cancel, Answer::No, Answer::Yes};
    EXPECT_FALSE(m_flows.confirmDiscardMatrix());
    EXPECT_TRUE(Asked("mine.qmx") && m_matrix.isModified());
    EXPECT_TRUE(m_flows.confirmDiscardMatrix());
    EXPECT_EQ(fs::file_size(file), FileSize(1)); // not saved
    EXPECT_TRUE(m_flows.confirmDiscardMatrix()); // saved under its name without a dialog
    EXPECT_EQ(fs::file_size(file), FileSize(2));
    EXPECT_EQ(State(), "2 saved file 'mine.qmx' field 'mine.qmx' replaced 1 asked 3 dialogs 1");
}

TEST_F(MatrixFlowsTest, NewKeepsTheMatrixWhenTheSaveDoesNotHappenAndClearsWhenToldSo) {
    Learn(2);
    m_matrix.setComment("old");
    m_host.answers = {Answer::Yes};
    m_host.saveFiles = {std::nullopt}; // the user cancels the save dialog
    EXPECT_FALSE(m_flows.confirmDiscardMatrix());
    EXPECT_EQ(m_matrix.count(), 2);

    m_host.answers = {Answer::Yes, Answer::Ok}; // the write fails, and its message
    m_host.saveFiles = {m_dir / "nowhere" / "x.qmx"};
    EXPECT_FALSE(m_flows.newMatrix());
    EXPECT_TRUE(Asked("x.qmx"));
    EXPECT_EQ(State(), "2 modified file '' field 'New File' replaced 0 asked 3 dialogs 2");

    m_host.answers = {Answer::No};
    EXPECT_TRUE(m_flows.newMatrix());
    EXPECT_EQ(State() + m_matrix.comment(),
              "0 saved file '' field 'New File' replaced 1 asked 4 dialogs 2");
}

TEST_F(MatrixFlowsTest, OpenAsksAboutAModifiedMatrixFirstThenLoadsAndNamesIt) {
    Learn(1);
    m_host.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(m_flows.openMatrix());
    EXPECT_EQ(State(), "1 modified file '' field 'New File' replaced 0 asked 1 dialogs 0");

    const fs::path file = WriteMatrix("other.qmx", 4);
    m_host.openFiles = {file};
    EXPECT_TRUE(m_flows.openMatrix());
    EXPECT_EQ(m_host.fileRequests[0].initialFolder, fs::path("/open/here"));
    EXPECT_EQ(State(), "4 saved file 'other.qmx' field 'other.qmx' replaced 1 asked 2 dialogs 1");
    EXPECT_EQ(std::pair(m_folders.openFolder, m_folders.saveFolder),
              std::pair(m_dir.path(), m_dir.path()));
}

TEST_F(MatrixFlowsTest, OpenOfADamagedFileKeepsTheMatrix) {
    Learn(3);
    m_matrix.setModified(false);
    const CharMatrix before = m_matrix;
    mirtal::test::writeText(m_dir / "bad.qmx", "mirtal_Char_Matrix_File" + std::string(257, '\0'));
    m_host.openFiles = {m_dir / "bad.qmx"};
    m_host.answers = {Answer::Ok};
    EXPECT_FALSE(m_flows.openMatrix());
    EXPECT_EQ(m_host.questions.back().text, "This is NOT a valid Char Matrix File !");
    EXPECT_EQ(m_matrix, before);
    EXPECT_EQ(State(), "3 saved file '' field 'New File' replaced 0 asked 1 dialogs 1");
}
