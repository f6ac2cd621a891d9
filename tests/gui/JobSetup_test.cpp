#include "AppTestSupport.h"
#include "StreamBuilder.h"
#include "ui/NumericEdit.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

void makeFile(const std::filesystem::path& p, uint64_t size) {
    { std::ofstream(p, std::ios::binary).put('\0'); }
    std::filesystem::resize_file(p, size);
}

QListWidget* vobList(const JobSetupDialog& d) {
    return control<QListWidget>(&d, "CheckListBoxVob");
}

QComboBox* streams(const JobSetupDialog& d) {
    return control<QComboBox>(&d, "ComboBoxLanguage");
}

QStringList entries(const JobSetupDialog& d) {
    QStringList out;
    for (int i = 0; i < vobList(d)->count(); ++i) out << vobList(d)->item(i)->text();
    return out;
}

// The file names of the checked entries, in list order.
std::vector<std::string> checkedNames(const JobSetupDialog& d) {
    std::vector<std::string> out;
    for (int i = 0; i < vobList(d)->count(); ++i)
        if (vobList(d)->item(i)->checkState() == Qt::Checked)
            out.push_back(vobList(d)->item(i)->text().section('[', 0, 0).trimmed().toStdString());
    return out;
}

void openIfo(AppBench& b, const std::filesystem::path& ifo) {
    b.dialogs().files.push_back(ifo);
    QTest::mouseClick(control<QPushButton>(&b.jobSetup(), "ButtonOpenIfo"), Qt::LeftButton);
}

void chooseStream(const JobSetupDialog& d, int line) {
    streams(d)->setCurrentIndex(line);
    emit streams(d)->activated(line);
}

QString field(const JobSetupDialog& d, const char* name) {
    return control<QLineEdit>(&d, name)->text();
}

void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, key, mods);
}

} // namespace

TEST(JobSetup, OffersThe32StreamsAndStartsOnEnter) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(streams(d)->count(), 32);
    EXPECT_EQ(streams(d)->itemText(9), "10 - ");
    EXPECT_TRUE(control<QPushButton>(&d, "BitBtnStart")->isDefault());
}

TEST(JobSetup, ListsTheFolderInNameOrderWithSizes) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    b.listAndCheck(discFolder("pal_en"), {0});
    EXPECT_EQ(entries(d), QStringList({"VTS_01_1.VOB  [____3548 Kb]"}));
    EXPECT_EQ(control<QLabel>(&d, "LabelVobPath")->text().toStdString(),
              discFolder("pal_en").string());

    const auto dir = b.folder / "disc";
    std::filesystem::create_directory(dir);
    makeFile(dir / "vts_01_2.vob", 3 * 2048);
    makeFile(dir / "VTS_01_1.VOB", 1073739776);
    makeFile(dir / "A_VERY_LONG_NAME_01.VOB", 123456789012ull);
    makeFile(dir / "VIDEO_TS.IFO", 2048);
    makeFile(dir / "notes.txt", 10);
    listVobFolder(*b.app, dir);
    EXPECT_EQ(entries(d),
              QStringList({"A_VERY_LONG_NAME_01.VOB[120563270 Kb]", "VTS_01_1.VOB  [_1048574 Kb]",
                           "vts_01_2.vob  [_______6 Kb]"}));
    EXPECT_TRUE(checkedNames(d).empty()) << "new entries are not checked";
    checkVobEntries(*b.app, {2});
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(b.session().job().FileList, std::vector<std::filesystem::path>{dir / "vts_01_2.vob"})
        << "each path keeps its own letter case";
}

TEST(JobSetup, ArrowsAndCtrlKeysReorderAndCheckMarksTravel) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    const auto dir = b.folder / "disc";
    std::filesystem::create_directory(dir);
    for (const char* n :
         {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB", "VTS_01_4.VOB", "VTS_01_5.VOB"})
        makeFile(dir / n, 4096);
    b.listAndCheck(dir, {0, 2, 4});
    QListWidget* list = vobList(d);
    auto* up = control<QToolButton>(&d, "UpDownFilePoseUp");
    auto* down = control<QToolButton>(&d, "UpDownFilePoseDown");

    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(checkedNames(d),
              (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_3.VOB", "VTS_01_5.VOB"}))
        << "nothing selected, nothing moves";

    list->setCurrentRow(4);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(checkedNames(d),
              (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
    EXPECT_TRUE(list->item(2)->text().startsWith("VTS_01_5.VOB"));

    list->setCurrentRow(0);
    press(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(list->currentRow(), 1) << "the selection follows the moved entry";
    EXPECT_EQ(checkedNames(d),
              (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
    EXPECT_TRUE(list->item(0)->text().startsWith("VTS_01_2.VOB"));
    press(list, Qt::Key_Up, Qt::ControlModifier);
    press(list, Qt::Key_Up, Qt::ControlModifier); // the first one stays first
    EXPECT_TRUE(list->item(0)->text().startsWith("VTS_01_1.VOB"));
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(4);
    QTest::mouseClick(down, Qt::LeftButton); // the last one stays last
    EXPECT_TRUE(list->item(4)->text().startsWith("VTS_01_4.VOB"));
    press(list, Qt::Key_Up);
    EXPECT_EQ(list->currentRow(), 3) << "without Ctrl the key only moves the selection";
    EXPECT_TRUE(list->item(4)->text().startsWith("VTS_01_4.VOB"));

    // Start takes the checked files in list order: the paths moved with their entries.
    ASSERT_TRUE(b.start(0));
    std::vector<std::string> job;
    for (const auto& p : b.session().job().FileList) job.push_back(p.filename().string());
    EXPECT_EQ(job, (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
    EXPECT_EQ(b.session().job().TotalSizeKb, 12u);
}

TEST(JobSetup, IfoLanguagesFillTheStreamList) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    openIfo(b, discFolder("pal_en_fr") / "VTS_01_0.IFO");
    ASSERT_EQ(b.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs().fileRequests[0].filter.rfind("VTS Ifo (vts_*.ifo)|vts_*.ifo|", 0), 0u)
        << "the IFO filter is the one offered first";
    EXPECT_EQ(streams(d)->count(), 32);
    EXPECT_EQ(streams(d)->itemText(0), "1  - English");
    EXPECT_EQ(streams(d)->itemText(1), "2  - French");
    EXPECT_EQ(streams(d)->itemText(2), "3  - ");
    EXPECT_EQ(streams(d)->currentIndex(), 0);
    EXPECT_EQ(entries(d), QStringList({"VTS_01_1.VOB  [____3244 Kb]"}))
        << "the IFO's folder is listed";
    EXPECT_EQ(d.choices().vobFolder, discFolder("pal_en_fr"));

    chooseStream(d, 1);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x21);

    // A cut IFO: the names read before the cut stay, and the user is told.
    b.dialogs().answers.push_back(Answer::Ok);
    openIfo(b, std::filesystem::path(MIRTAL_TEST_DATA) / "broken" / "short604_VTS_01_0.IFO");
    EXPECT_EQ(streams(d)->itemText(0), "1  - English");
    EXPECT_EQ(streams(d)->itemText(1), "2  - French") << "names not read keep their value";
    ASSERT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_NE(b.lastMessage().find("too short"), std::string::npos) << b.lastMessage();
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x20)
        << "the job follows the line the list shows";

    // A file that is not there only rebuilds the list.
    openIfo(b, b.folder / "VTS_09_0.IFO");
    EXPECT_EQ(streams(d)->itemText(1), "2  - French");
    EXPECT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(JobSetup, AWideTitleReadsTheSubstreamOfTheChosenView) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    auto* view = control<RadioGroup>(&d, "RadioGroupView");
    const QList<QRadioButton*> views = view->findChildren<QRadioButton*>();
    ASSERT_EQ(views.size(), 3);
    openIfo(b, discFolder("wide") / "VTS_01_0.IFO");
    chooseStream(d, 1);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x22);
    EXPECT_FALSE(views[2]->isEnabled()) << "the disc has no pan-scan French";
    QTest::mouseClick(views[1], Qt::LeftButton);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x23);
    // A 4:3 title has no views to choose from.
    openIfo(b, discFolder("pal_en_fr") / "VTS_01_0.IFO");
    chooseStream(d, 1);
    EXPECT_FALSE(view->isEnabled());
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x21);
}

TEST(JobSetup, StartChecksAndTheirMessages) {
    AppBench b;
    Session& s = b.session();
    listVobFolder(*b.app, discFolder("pal_en"));

    b.dialogs().answers.push_back(Answer::Ok);
    EXPECT_FALSE(b.start(0));
    EXPECT_EQ(b.lastMessage(), "No VOB selected !!");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Warning);
    EXPECT_TRUE(s.job().Paused) << "nothing started";

    checkVobEntries(*b.app, {0});
    s.document().AddSubtitle({"Already here"}, true, StrToTimeCode("00:00:01,000"),
                             StrToTimeCode("00:00:02,000"), Rect{});
    b.dialogs().answers.push_back(Answer::Cancel);
    EXPECT_FALSE(b.start(0));
    EXPECT_EQ(b.lastMessage(), "Subtitles text file isn't empty.\rAdd to the end of file ?");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Information);
    EXPECT_TRUE(s.job().FileList.empty());

    // BMP with timing asks too; cancelling the name dialog stops the start.
    QCheckBox* timing = jobOption(*b.app, "CheckBoxPictTiming");
    timing->setChecked(true);
    b.dialogs().answers.push_back(Answer::Ok);
    chooseAction(*b.app, 1);
    b.dialogs().files.push_back(std::nullopt);
    EXPECT_FALSE(pressStart(*b.app));
    EXPECT_EQ(b.dialogs().fileRequests.back().title, "Save BMPs : Enter beginning of File Name");
    EXPECT_TRUE(b.dialogs().fileRequests.back().filter.empty());
    EXPECT_TRUE(b.dialogs().fileRequests.back().defaultExtension.empty());
    EXPECT_TRUE(s.job().FileList.empty());

    // SUP without timing: no question about the text; the split warning.
    timing->setChecked(false);
    SplitWindow split;
    split.SplitActive = true;
    s.document().setSplit(split);
    const size_t asked = b.dialogs().asked.size();
    b.dialogs().answers.push_back(Answer::Ok);
    ASSERT_TRUE(b.start(2, b.folder / "sub" / "pic"));
    EXPECT_EQ(b.dialogs().fileRequests.back().title, "Save SUPs : Enter beginning of File Name");
    ASSERT_EQ(b.dialogs().asked.size(), asked + 1);
    EXPECT_EQ(b.lastMessage(), "Warning: Split Output File function is enabled\rThe new Subtitles "
                               "might NOT appear until you "
                               "disable it !");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Plain);
    EXPECT_EQ(s.job().Action, kActionSup);
    EXPECT_EQ(s.job().PicturePrefix, (b.folder / "sub" / "pic").string());
    EXPECT_FALSE(s.job().Paused);
    EXPECT_EQ(s.actions().pictureFolder, b.folder / "sub") << "the next name dialog opens there";
    EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelMode")->text(), "SUP");

    // Only show: no split warning, the controller stops again, the adjustment step is due.
    s.engine().job().NoStop = true;
    s.finishAdjustment();
    const size_t asked2 = b.dialogs().asked.size();
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(b.dialogs().asked.size(), asked2);
    EXPECT_FALSE(s.job().NoStop);
    EXPECT_TRUE(s.adjustmentDue());
    EXPECT_EQ(s.job().Action, kActionShow);
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(JobSetup, TimingBoxFollowsTheActionButKeepsItsMark) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    QCheckBox* timing = jobOption(*b.app, "CheckBoxPictTiming");
    b.listAndCheck(discFolder("pal_en"));
    chooseAction(*b.app, 2);
    timing->setChecked(true);
    EXPECT_TRUE(timing->isEnabled());
    chooseAction(*b.app, 0);
    EXPECT_FALSE(timing->isEnabled());
    EXPECT_TRUE(timing->isChecked());
    ASSERT_TRUE(pressStart(*b.app));
    EXPECT_TRUE(b.session().job().WithTimingAndPosition);
    // The action a new session starts with.
    d.setChoices({{}, 3, true, false, false});
    d.show();
    EXPECT_FALSE(timing->isEnabled()) << "the action's enabling is applied";
    d.hide();
}

TEST(JobSetup, LastTimeCodeComesFromTheStreamClockAndRebases) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    Demuxer& dm = b.session().demuxer();
    test::setStreamClock(dm, StrToTimeCode("01:02:04,750"));
    d.show();
    EXPECT_EQ(field(d, "Word_uHour"), "1");
    EXPECT_EQ(field(d, "Word_uMin"), "2");
    EXPECT_EQ(field(d, "Word_uSec"), "4");
    EXPECT_EQ(field(d, "Word_uMSec"), "750");
    EXPECT_TRUE(dm.rebasePending()) << "a refill that changes a field counts as a change";
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:02:04,750"));
    d.hide();

    test::setStreamClock(dm, StrToTimeCode("01:02:04,750"));
    d.show();
    EXPECT_FALSE(dm.rebasePending()) << "the same time again is no change";
    d.hide();

    QTest::keyClicks(control<QLineEdit>(&d, "Word_uSec"), "9");
    EXPECT_TRUE(dm.rebasePending());
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:02:49,750"));

    test::passChapter(dm);
    QTest::mouseClick(control<QPushButton>(&d, "ButtonResetTC"), Qt::LeftButton);
    EXPECT_EQ(field(d, "Word_uHour"), "0");
    EXPECT_EQ(field(d, "Word_uMSec"), "0");
    EXPECT_TRUE(dm.lastTimeCode().isZero());
    EXPECT_EQ(dm.chapterCount(), 1);
    EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelChapters")->text(), "0");

    // Start hands the fields to the clock whatever the clock was given since.
    b.listAndCheck(discFolder("pal_en"));
    control<QLineEdit>(&d, "Word_uMin")->setText("10");
    dm.setLastTimeCode({});
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("00:10:00,000"));
}

TEST(JobSetup, OtherButtonsReachTheOtherWindows) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    auto* matrixField = control<QLineEdit>(&d, "EditCharMatrixFile");
    b.session().matrix().setFileName("/somewhere/disc1.qmx");
    b.dialogs().files.push_back(std::nullopt);
    QTest::mouseClick(control<QPushButton>(&d, "ButtonOpenCharMatrixFile"), Qt::LeftButton);
    EXPECT_EQ(b.dialogs().fileRequests.size(), 1u) << "the matrix open flow";
    EXPECT_EQ(matrixField->text(), "disc1.qmx");
    QTest::mouseClick(control<QPushButton>(&d, "ButtonNewMatrix"), Qt::LeftButton);
    EXPECT_EQ(matrixField->text(), "New File") << "a new matrix";

    SubtitleDocument& doc = b.session().document();
    doc.AddSubtitle({"x"}, true, StrToTimeCode("00:00:01,000"), StrToTimeCode("00:00:02,000"), {});
    b.dialogs().answers.push_back(Answer::Yes);
    QTest::mouseClick(control<QPushButton>(&d, "ButtonClearText"), Qt::LeftButton);
    EXPECT_EQ(doc.NbSubTitle(), 0);
    d.show();
    QTest::mouseClick(control<QPushButton>(&d, "Button1"), Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.app->subtitlesWindow()->isVisible());
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

// An unsaved matrix: the open button asks once whether to save it, and an
// answer of No goes straight on to the file chooser.
TEST(JobSetup, OpeningAMatrixOverUnsavedChangesAsksOnce) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    b.session().matrix().setModified(true);
    b.dialogs().answers.push_back(Answer::No);
    b.dialogs().files.push_back(std::nullopt);
    QTest::mouseClick(control<QPushButton>(&d, "ButtonOpenCharMatrixFile"), Qt::LeftButton);
    EXPECT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_EQ(b.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs().unexpected, 0);
    EXPECT_TRUE(b.session().matrix().Modified()) << "nothing was opened";
}

TEST(JobSetup, AVobSubPairNamesTheStreamsAndIsListedWithItsIndex) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    const auto folder = std::filesystem::path(MIRTAL_TEST_DATA) / "vobsub";
    openIfo(b, folder / "nopts.idx");
    EXPECT_EQ(streams(d)->itemText(0), "1  - English");
    EXPECT_EQ(streams(d)->itemText(1), "2  - French");
    // The .sub files with their .idx are listed among the VOBs.
    checkVobEntries(*b.app);
    EXPECT_EQ(checkedNames(d), (std::vector<std::string>{"forced.vob", "nopts.sub",
                                                         "pal_en_fr.en.sub", "pal_en_fr.fr.sub"}));
    EXPECT_FALSE(jobOption(*b.app, "CheckBoxForcedOnly")->isChecked());
}
