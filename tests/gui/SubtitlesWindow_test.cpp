#include "AppTestSupport.h"
#include "SubtitleWindowsTestSupport.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SubtitlesWindow.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Bench : DocumentBench {
    SubtitlesWindow window{doc, dialogs, catalogue, settings};

    // UTF-8, so that a failure prints the text.
    std::string line(int row) const { return window.lineText(row).toStdString(); }
    QToolButton* arrow(const char* name) { return window.findChild<QToolButton*>(name); }
    // The line the list shows selected once the pending scroll has been made.
    int shownLine() {
        window.showSelection();
        return window.selectedLine();
    }
};

} // namespace

TEST(SubtitlesWindow, NewEntriesAreAppendedWithoutRebuildingTheList) {
    Bench b;
    QAbstractItemModel* model = b.window.ListBoxSubtitle->model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);

    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    b.add("00:00:03,000", "00:00:04,500", {"Two", "lines"});
    b.doc.AddSubtitle({"Open stop"}, true, tc("00:00:05,000"), {}, {});
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(b.window.lineCount(), 4 + 5 + 4);
    EXPECT_EQ(b.line(0), "1");
    EXPECT_EQ(b.line(1), "00:00:01,000 --> 00:00:02,000");
    EXPECT_EQ(b.line(7), "lines");
    EXPECT_EQ(b.line(10), "00:00:05,000 --> 00:00:00,000");

    // The rip learns the last stop: only that entry's lines are redone.
    b.doc.CloseLastEntry(tc("00:00:06,250"));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(inserted.count(), 4);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(b.window.lineCount(), 13);
    EXPECT_EQ(b.line(10), "00:00:05,000 --> 00:00:06,250");

    b.doc.RefreshList();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(b.window.lineCount(), 13);
    EXPECT_EQ(b.line(11), "Open stop");
}

TEST(SubtitlesWindow, ListUsesFixedPitchFontAndShowsWindows1252Text) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"D\xe9j\xe0 vu \xab ici \xbb"});
    EXPECT_EQ(b.line(2), "Déjà vu « ici »");
    EXPECT_TRUE(QFontInfo(b.window.ListBoxSubtitle->font()).fixedPitch());
}

TEST(SubtitlesWindow, AutoScrollSelectsTheNewestLineOnlyWhenShownAndTicked) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"hidden"});
    EXPECT_EQ(b.shownLine(), -1); // not on screen: left alone

    b.window.show();
    b.add("00:00:03,000", "00:00:04,000", {"shown"});
    EXPECT_EQ(b.window.selectedLine(), -1); // scrolled at the next event dispatch
    QCoreApplication::processEvents();
    EXPECT_EQ(b.window.selectedLine(), 7);

    b.window.CheckBoxScrollDown->click(); // off
    EXPECT_FALSE(b.doc.AutoScrollDown);
    EXPECT_FALSE(b.settings.AutoScrollDown);
    b.add("00:00:05,000", "00:00:06,000", {"not followed"});
    EXPECT_EQ(b.shownLine(), 7);

    b.window.CheckBoxScrollDown->click(); // on again
    b.add("00:00:07,000", "00:00:08,000", {"followed"});
    EXPECT_EQ(b.shownLine(), 15);
    EXPECT_TRUE(b.settings.AutoScrollDown);
}

TEST(SubtitlesWindow, ScrollBoxTakesTheSavedSettingWhenShown) {
    Bench b;
    b.settings.AutoScrollDown = false; // read from the settings file after the window was made
    b.window.show();
    EXPECT_FALSE(b.window.CheckBoxScrollDown->isChecked());
    EXPECT_FALSE(b.doc.AutoScrollDown);
    EXPECT_TRUE(b.doc.ListShown);
    b.window.hide();
    EXPECT_FALSE(b.doc.ListShown);
}

TEST(SubtitlesWindow, UpDownJumpsToFirstAndLastLine) {
    Bench b;
    b.window.show();
    for (int i = 0; i < 30; ++i) b.add("00:00:01,000", "00:00:02,000", {"line"});
    QTest::mouseClick(b.arrow("UpDown1Up"), Qt::LeftButton);
    EXPECT_EQ(b.shownLine(), 0);
    QTest::mouseClick(b.arrow("UpDown1Down"), Qt::LeftButton);
    EXPECT_EQ(b.shownLine(), 119);
}

TEST(SubtitlesWindow, TakesMainWindowWidthLeftEdgeAndBottomLine) {
    Bench b;
    QWidget main;
    main.setGeometry(120, 40, 743, 686);
    b.window.setMainWindow(&main);
    b.window.resize(300, 250);
    b.window.show();
    const QRect r = b.window.frameGeometry();
    EXPECT_EQ(r.left(), main.frameGeometry().left());
    EXPECT_EQ(r.width(), main.frameGeometry().width());
    EXPECT_EQ(r.bottom(), main.frameGeometry().bottom());
    EXPECT_EQ(r.height(), b.window.frameGeometry().height()); // its own height is kept
}

TEST(SubtitlesWindow, SaveAsWritesTheListAndNamesTheDocument) {
    Bench b;
    b.settings.SaveDialogText = b.folder.path().string();
    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    const auto target = b.folder / "Film.vtx";
    b.dialogs.files.push_back(target);
    EXPECT_EQ(b.window.Saveas1Click(), FlowResult::Done);
    EXPECT_EQ(readText(target), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    EXPECT_FALSE(b.doc.Modified());
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - Film -");
    ASSERT_EQ(b.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs.fileRequests[0].initialFolder, b.folder.path());
    EXPECT_EQ(b.dialogs.fileRequests[0].initialName, "New File.vtx");
    EXPECT_EQ(b.dialogs.fileRequests[0].defaultExtension, "vtx");
    EXPECT_EQ(b.settings.SaveDialogText, b.folder.path().string() + "/");
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, SaveOverExistingFileAnsweredNoWritesNothing) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    const auto target = b.folder / "old.vtx";
    writeText(target, "old contents");
    b.dialogs.files.push_back(target);
    b.dialogs.answers.push_back(Answer::No);
    EXPECT_EQ(b.window.Saveas1Click(), FlowResult::Cancelled);
    EXPECT_EQ(b.lastQuestion(), "File old.vtx already exists ! Replace file ?");
    EXPECT_EQ(readText(target), "old contents");
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_EQ(b.doc.FileName(), "New File");
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, FailedSaveIsReportedAndKeepsTheDocumentUnsaved) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    b.dialogs.files.push_back(b.folder / "no such folder" / "x.vtx");
    b.dialogs.answers.push_back(Answer::Ok);
    EXPECT_EQ(b.window.Saveas1Click(), FlowResult::Failed);
    ASSERT_EQ(b.dialogs.asked.size(), 1u);
    EXPECT_NE(b.lastQuestion().find("x.vtx"), std::string::npos); // names the file
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - New File -");
}

TEST(SubtitlesWindow, OpenOverModifiedDocumentThenCancelKeepsItUnmodified) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"Keep me"});
    b.dialogs.answers.push_back(Answer::Yes);
    b.dialogs.files.push_back(std::nullopt); // the open dialog cancelled
    EXPECT_EQ(b.window.OpenMirtalFormat1Click(), FlowResult::Cancelled);
    EXPECT_EQ(b.dialogs.asked.at(0).text,
              "Text NOT Saved !\rDo you really want to open another file ?");
    EXPECT_EQ(b.doc.NbSubTitle(), 1);
    EXPECT_EQ(b.line(2), "Keep me");
    EXPECT_FALSE(b.doc.Modified());
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, OpenReadsANativeFileAndRemembersItsFolder) {
    Bench b;
    const auto file = b.folder / "Disc1.vtx";
    writeText(file, "101\r\n00:00:01,000 --> 00:00:02,000\r\nFirst\r\n\r\n"
                    "102\r\n00:00:03,000 --> 00:00:04,000\r\nSecond\r\nline\r\n\r\n");
    b.dialogs.files.push_back(file);
    EXPECT_EQ(b.window.OpenMirtalFormat1Click(), FlowResult::Done);
    EXPECT_TRUE(b.dialogs.asked.empty()); // nothing to lose: no question
    EXPECT_EQ(b.dialogs.fileRequests.at(0).filter,
              "Mirtal / SubRip File (*.vtx;*.srt)|*.vtx;*.srt|All (*.*)|*.*");
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - Disc1 -");
    ASSERT_EQ(b.window.lineCount(), 9);
    EXPECT_EQ(b.line(0), "101");
    EXPECT_EQ(b.line(4), "102");
    EXPECT_EQ(b.line(7), "line");
    EXPECT_EQ(b.settings.OpenDialogMirtalText, b.folder.path().string() + "/");
}

TEST(SubtitlesWindow, ClearAsksOnlyWhileTheTextIsNotSaved) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"a"});
    b.doc.SetFileName("/x/Film.vtx");
    b.dialogs.answers.push_back(Answer::No);
    EXPECT_EQ(b.window.Clear1Click(), FlowResult::Cancelled);
    EXPECT_EQ(b.lastQuestion(), "Text NOT Saved !\rDo you really want to clear all text ?");
    EXPECT_EQ(b.window.lineCount(), 4);

    b.dialogs.answers.push_back(Answer::Yes);
    EXPECT_EQ(b.window.Clear1Click(), FlowResult::Done);
    EXPECT_EQ(b.window.lineCount(), 0);
    EXPECT_EQ(b.window.LabelNbSubTitle->text(), "0");
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - New File -");

    b.doc.setModified(false);
    const size_t questions = b.dialogs.asked.size();
    EXPECT_EQ(b.window.Clear1Click(), FlowResult::Done);
    EXPECT_EQ(b.dialogs.asked.size(), questions);
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, CommandsReachTheirDialogsFromMenuAndToolbar) {
    Bench b;
    int post = 0, time = 0, format = 0, split = 0;
    b.window.onPostOcrCorrection = [&] { ++post; };
    b.window.onTimeCorrection = [&] { ++time; };
    b.window.onOutputFormat = [&] { ++format; };
    b.window.onSplit = [&] { ++split; };
    b.window.show();
    QTest::mouseClick(b.window.CoolButtonSpellingCorrection, Qt::LeftButton);
    QTest::mouseClick(b.window.CoolButtonTimeCorrection, Qt::LeftButton);
    QTest::mouseClick(b.window.CoolButtonOutputFormat, Qt::LeftButton);
    QTest::mouseClick(b.window.CoolButtonSplitText, Qt::LeftButton);
    b.window.PostOCRCorrection1->trigger();
    b.window.TimeCorrection1->trigger();
    b.window.SetOutputFormat1->trigger();
    b.window.Splitoutputfile1->trigger();
    EXPECT_EQ(post, 2);
    EXPECT_EQ(time, 2);
    EXPECT_EQ(format, 2);
    EXPECT_EQ(split, 2);
}

TEST(SubtitlesWindow, OtherWindowsShowToggleAndClearItThroughTheApplication) {
    TempFolder folder;
    Application app({folder.path(), true});
    QWidget& main = *app.mainWindow();
    main.setGeometry(60, 30, 743, 686);
    auto* toggle = control<QToolButton>(&main, "CoolButtonShowSubtitleText");
    toggle->click();
    SubtitlesWindow& w = *app.subtitlesWindow();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.frameGeometry().bottom(), main.frameGeometry().bottom());
    EXPECT_EQ(w.frameGeometry().width(), main.frameGeometry().width());
    toggle->click();
    EXPECT_FALSE(w.isVisible());
    toggle->click();
    EXPECT_TRUE(w.isVisible());

    SubtitleDocument& doc = app.session().document();
    doc.AddSubtitle({"unsaved"}, true, tc("00:00:01,000"), tc("00:00:02,000"), {});
    auto* clear = control<QPushButton>(app.jobSetup(), "ButtonClearText");
    app.dialogs().answers.push_back(Answer::No);
    clear->click();
    EXPECT_EQ(doc.NbSubTitle(), 1);
    app.dialogs().answers.push_back(Answer::Yes);
    clear->click();
    EXPECT_EQ(doc.NbSubTitle(), 0);
    EXPECT_EQ(w.lineCount(), 0);
    EXPECT_EQ(app.dialogs().unexpected, 0);
}
