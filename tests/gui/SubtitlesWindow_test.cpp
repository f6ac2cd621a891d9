#include "AppTestSupport.h"
#include "SubtitleWindowsTestSupport.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SubtitlesWindow.h"

#include <QCheckBox>
#include <QLabel>
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
    std::string line(int row) const { return lineText(window, row).toStdString(); }
    void click(const char* button) {
        QTest::mouseClick(control<QToolButton>(&window, button), Qt::LeftButton);
    }
    QCheckBox* scrollBox() { return control<QCheckBox>(&window, "CheckBoxScrollDown"); }
};

} // namespace

TEST(SubtitlesWindow, NewEntriesAreAppendedWithoutRebuildingTheList) {
    Bench b;
    QAbstractItemModel* model = subtitleList(b.window)->model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);

    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    b.add("00:00:03,000", "00:00:04,500", {"Two", "lines"});
    b.doc.AddSubtitle({"Open stop"}, true, tc("00:00:05,000"), {}, {});
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(lineCount(b.window), 4 + 5 + 4);
    EXPECT_EQ(b.line(0), "1");
    EXPECT_EQ(b.line(1), "00:00:01,000 --> 00:00:02,000");
    EXPECT_EQ(b.line(7), "lines");
    EXPECT_EQ(b.line(10), "00:00:05,000 --> 00:00:00,000");

    // The rip learns the last stop: only that entry's lines are redone.
    b.doc.CloseLastEntry(tc("00:00:06,250"));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(inserted.count(), 4);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(lineCount(b.window), 13);
    EXPECT_EQ(b.line(10), "00:00:05,000 --> 00:00:06,250");

    b.doc.RefreshList();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(lineCount(b.window), 13);
    EXPECT_EQ(b.line(11), "Open stop");
}

TEST(SubtitlesWindow, ListUsesFixedPitchFontAndShowsWindows1252Text) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"D\xe9j\xe0 vu \xab ici \xbb"});
    EXPECT_EQ(b.line(2), "Déjà vu « ici »");
    EXPECT_TRUE(QFontInfo(subtitleList(b.window)->font()).fixedPitch());
}

TEST(SubtitlesWindow, AutoScrollSelectsTheNewestLineOnlyWhenShownAndTicked) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"hidden"});
    EXPECT_EQ(shownLine(b.window), -1); // not on screen: left alone

    b.window.show();
    b.add("00:00:03,000", "00:00:04,000", {"shown"});
    EXPECT_EQ(selectedLine(b.window), -1); // scrolled at the next event dispatch
    QCoreApplication::processEvents();
    EXPECT_EQ(selectedLine(b.window), 7);

    b.scrollBox()->click(); // off
    EXPECT_FALSE(b.doc.AutoScrollDown);
    EXPECT_FALSE(b.settings.AutoScrollDown);
    b.add("00:00:05,000", "00:00:06,000", {"not followed"});
    EXPECT_EQ(shownLine(b.window), 7);

    b.scrollBox()->click(); // on again
    b.add("00:00:07,000", "00:00:08,000", {"followed"});
    EXPECT_EQ(shownLine(b.window), 15);
    EXPECT_TRUE(b.settings.AutoScrollDown);
}

TEST(SubtitlesWindow, ScrollBoxTakesTheSavedSettingWhenShown) {
    Bench b;
    b.settings.AutoScrollDown = false; // read from the settings file after the window was made
    b.window.show();
    EXPECT_FALSE(b.scrollBox()->isChecked());
    EXPECT_FALSE(b.doc.AutoScrollDown);
    EXPECT_TRUE(b.doc.ListShown);
    b.window.hide();
    EXPECT_FALSE(b.doc.ListShown);
}

TEST(SubtitlesWindow, UpDownJumpsToFirstAndLastLine) {
    Bench b;
    b.window.show();
    for (int i = 0; i < 30; ++i) b.add("00:00:01,000", "00:00:02,000", {"line"});
    b.click("UpDown1Up");
    EXPECT_EQ(shownLine(b.window), 0);
    b.click("UpDown1Down");
    EXPECT_EQ(shownLine(b.window), 119);
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
    EXPECT_EQ(b.window.height(), 250); // its own height is kept
}

TEST(SubtitlesWindow, SaveAsWritesTheListAndNamesTheDocument) {
    Bench b;
    b.settings.SaveDialogText = b.folder.path().string();
    b.add("00:00:01,000", "00:00:02,000", {"Hello"});
    const auto target = b.folder / "Film.vtx";
    b.dialogs.files.push_back(target);
    trigger(b.window, "Saveas1");
    EXPECT_EQ(readText(target), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    EXPECT_FALSE(b.doc.Modified());
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - Film -");
    ASSERT_EQ(b.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs.fileRequests[0].initialFolder, b.folder.path());
    EXPECT_EQ(b.settings.SaveDialogText, b.folder.path().string() + "/");
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, OpenReadsANativeFileAndRemembersItsFolder) {
    Bench b;
    const auto file = b.folder / "Disc1.vtx";
    writeText(file, "101\r\n00:00:01,000 --> 00:00:02,000\r\nFirst\r\n\r\n"
                    "102\r\n00:00:03,000 --> 00:00:04,000\r\nSecond\r\nline\r\n\r\n");
    b.dialogs.files.push_back(file);
    trigger(b.window, "OpenMirtalFormat1");
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - Disc1 -");
    ASSERT_EQ(lineCount(b.window), 9);
    EXPECT_EQ(b.line(0), "101");
    EXPECT_EQ(b.settings.OpenDialogMirtalText, b.folder.path().string() + "/");
}

TEST(SubtitlesWindow, ClearFromMenuOrToolbarAsksThenEmptiesTheList) {
    Bench b;
    b.add("00:00:01,000", "00:00:02,000", {"a"});
    b.doc.SetFileName("/x/Film.vtx");
    b.dialogs.answers.push_back(Answer::No);
    trigger(b.window, "Clear1");
    EXPECT_EQ(b.lastQuestion(), "Text NOT Saved !\rDo you really want to clear all text ?");
    EXPECT_EQ(lineCount(b.window), 4);

    b.dialogs.answers.push_back(Answer::Yes);
    b.click("CoolButtonClearSub");
    EXPECT_EQ(lineCount(b.window), 0);
    EXPECT_EQ(control<QLabel>(&b.window, "LabelNbSubTitle")->text(), "0");
    EXPECT_EQ(b.window.windowTitle(), "Subtitles - New File -");

    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(SubtitlesWindow, CommandsReachTheirDialogsFromMenuAndToolbar) {
    Bench b;
    const struct {
        void (SubtitlesWindow::*signal)();
        const char* button;
        const char* action;
    } commands[] = {
        {&SubtitlesWindow::postOcrCorrectionRequested, "CoolButtonSpellingCorrection",
         "PostOCRCorrection1"},
        {&SubtitlesWindow::timeCorrectionRequested, "CoolButtonTimeCorrection", "TimeCorrection1"},
        {&SubtitlesWindow::outputFormatRequested, "CoolButtonOutputFormat", "SetOutputFormat1"},
        {&SubtitlesWindow::splitRequested, "CoolButtonSplitText", "Splitoutputfile1"},
    };
    b.window.show();
    for (const auto& c : commands) {
        QSignalSpy requested(&b.window, c.signal);
        b.click(c.button);
        trigger(b.window, c.action);
        EXPECT_EQ(requested.count(), 2) << c.action;
    }
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
    EXPECT_EQ(lineCount(w), 0);
    EXPECT_EQ(app.dialogs().unexpected, 0);
}
