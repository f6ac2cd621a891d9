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

QStringList entries(const JobSetupDialog& d) {
    QStringList out;
    for (int i = 0; i < d.CheckListBoxVob->count(); ++i) out << d.CheckListBoxVob->item(i)->text();
    return out;
}

std::vector<std::string> checkedNames(const JobSetupDialog& d) {
    std::vector<std::string> out;
    for (const auto& p : d.checkedPaths()) out.push_back(p.filename().string());
    return out;
}

void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, key, mods);
}

} // namespace

TEST(JobSetup, ControlsCaptionsHintsAndRanges) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    EXPECT_EQ(d.objectName(), "Form6");
    EXPECT_EQ(d.windowTitle(), "What To Do ?");
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(d.ComboBoxLanguage->count(), 32);
    EXPECT_EQ(d.ComboBoxLanguage->itemText(0), "1  - ");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(9), "10 - ");
    EXPECT_EQ(d.ButtonOpenIfo->toolTip(), "View available subtitle languages from IFO");
    EXPECT_EQ(d.EditCharMatrixFile->text(), "New File");
    EXPECT_EQ(d.ButtonOpenCharMatrixFile->text(), "- - -");
    EXPECT_EQ(d.ButtonNewMatrix->toolTip(), "New Characters Matrix File");
    EXPECT_EQ(d.RadioGroupAction->title(), "Action :");
    EXPECT_EQ(d.RadioGroupAction->items(),
              QStringList({"SubPictures to Text via OCR", "Save SubPictures As BMP",
                           "Save SubPictures As SUP Files", "Only Show SubPictures",
                           "Save SubPictures As VobSub"}));
    EXPECT_EQ(d.CheckBoxPictTiming->text(), "+ TC && Res.");
    EXPECT_EQ(d.CheckBoxPictTiming->toolTip(), "Get the timing and image(s) size(s) & position(s)");
    EXPECT_EQ(d.ButtonClearText->text(), "C&lear Text File");
    EXPECT_EQ(d.Button1->toolTip(), "Show the Subtitles Text File");
    EXPECT_EQ(d.CheckListBoxVob->toolTip(),
              "Select Vob(s) from which you want to extract subtitles.");
    EXPECT_EQ(d.UpDownFilePose->toolTip(),
              "Change file position ( You can also use [Ctrl] + Up/Down keys )");
    EXPECT_EQ(d.Word_uHour->ValMax(), 24);
    EXPECT_EQ(d.Word_uMin->ValMax(), 59);
    EXPECT_EQ(d.Word_uSec->ValMax(), 59);
    EXPECT_EQ(d.Word_uMSec->ValMax(), 999);
    EXPECT_EQ(d.Word_uMSec->toolTip(), "Entier entre 0 et 999");
    EXPECT_EQ(d.ButtonResetTC->text(), "&Reset");
    EXPECT_EQ(d.Label5->text(), "!! Start with the first 1Gb VOB and use the Last Time Code !!");
    EXPECT_TRUE(d.BitBtnStart->isDefault());
    EXPECT_EQ(d.BitBtnCancel->text(), "&Cancel");
}

TEST(JobSetup, ListsTheFolderInNameOrderWithSizes) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    b.listAndCheck(discFolder("pal_en"), {0});
    EXPECT_EQ(entries(d), QStringList({"VTS_01_1.VOB  [____3548 Kb]"}));
    EXPECT_EQ(d.LabelVobPath->text().toStdString(), discFolder("pal_en").string());

    const auto dir = b.folder / "disc";
    std::filesystem::create_directory(dir);
    makeFile(dir / "vts_01_2.vob", 3 * 2048);
    makeFile(dir / "VTS_01_1.VOB", 1073739776);
    makeFile(dir / "A_VERY_LONG_NAME_01.VOB", 123456789012ull);
    makeFile(dir / "VIDEO_TS.IFO", 2048);
    makeFile(dir / "notes.txt", 10);
    d.scanDirectory(dir);
    EXPECT_EQ(entries(d),
              QStringList({"A_VERY_LONG_NAME_01.VOB[120563270 Kb]", "VTS_01_1.VOB  [_1048574 Kb]",
                           "vts_01_2.vob  [_______6 Kb]"}));
    ASSERT_EQ(d.VobPaths.size(), 3u);
    EXPECT_EQ(d.VobPaths[2], dir / "vts_01_2.vob") << "each path keeps its own letter case";
    EXPECT_TRUE(d.checkedPaths().empty()) << "new entries are not checked";
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
    QListWidget* list = d.CheckListBoxVob;
    auto* up = d.UpDownFilePose->findChild<QToolButton*>("UpDownFilePoseUp");
    auto* down = d.UpDownFilePose->findChild<QToolButton*>("UpDownFilePoseDown");
    ASSERT_TRUE(up && down);

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
    EXPECT_EQ(d.VobPaths[2].filename(), "VTS_01_5.VOB") << "the paths follow the entries";

    list->setCurrentRow(0);
    press(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(list->currentRow(), 1) << "the selection follows the moved entry";
    EXPECT_EQ(checkedNames(d),
              (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
    EXPECT_EQ(d.VobPaths[0].filename(), "VTS_01_2.VOB");
    press(list, Qt::Key_Up, Qt::ControlModifier);
    press(list, Qt::Key_Up, Qt::ControlModifier); // the first one stays first
    EXPECT_EQ(d.VobPaths[0].filename(), "VTS_01_1.VOB");
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(4);
    QTest::mouseClick(down, Qt::LeftButton); // the last one stays last
    EXPECT_EQ(d.VobPaths[4].filename(), "VTS_01_4.VOB");
    press(list, Qt::Key_Up);
    EXPECT_EQ(list->currentRow(), 3) << "without Ctrl the key only moves the selection";
    EXPECT_EQ(d.VobPaths[4].filename(), "VTS_01_4.VOB");

    // Start takes the checked files in list order.
    ASSERT_TRUE(b.start(0));
    std::vector<std::string> job;
    for (const auto& p : b.session().job().FileList) job.push_back(p.filename().string());
    EXPECT_EQ(job, (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
    EXPECT_EQ(b.session().job().TotalSizeKb, 12u);
}

TEST(JobSetup, IfoLanguagesFillTheStreamList) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    const auto ifo = discFolder("pal_en_fr") / "VTS_01_0.IFO";
    b.dialogs().files.push_back(ifo);
    QTest::mouseClick(d.ButtonOpenIfo, Qt::LeftButton);
    ASSERT_EQ(b.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs().fileRequests[0].filter.rfind("VTS Ifo (vts_*.ifo)|vts_*.ifo|", 0), 0u)
        << "the IFO filter is the one offered first";
    EXPECT_EQ(d.ComboBoxLanguage->count(), 32);
    EXPECT_EQ(d.ComboBoxLanguage->itemText(0), "1  - English");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(1), "2  - French");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(2), "3  - ");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(11), "12 - ");
    EXPECT_EQ(d.ComboBoxLanguage->currentIndex(), 0);
    EXPECT_EQ(entries(d), QStringList({"VTS_01_1.VOB  [____3244 Kb]"}))
        << "the IFO's folder is listed";
    EXPECT_EQ(d.openDialogFolder, discFolder("pal_en_fr"));

    d.ComboBoxLanguage->setCurrentIndex(1);
    emit d.ComboBoxLanguage->activated(1);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x21);

    // A cut IFO: the names read before the cut stay, and the user is told.
    b.dialogs().files.push_back(std::filesystem::path(MIRTAL_TEST_DATA) / "broken" /
                                "short604_VTS_01_0.IFO");
    b.dialogs().answers.push_back(Answer::Ok);
    d.ButtonOpenIfoClick();
    EXPECT_EQ(d.ComboBoxLanguage->itemText(0), "1  - English");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(1), "2  - French") << "names not read keep their value";
    ASSERT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_NE(b.lastMessage().find("too short"), std::string::npos) << b.lastMessage();
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x20)
        << "the job follows the line the list shows";

    // A file that is not there only rebuilds the list.
    d.ReadIfoLanguages(b.folder / "VTS_09_0.IFO");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(1), "2  - French");
    EXPECT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(JobSetup, AWideTitleReadsTheSubstreamOfTheChosenView) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    auto* view = d.findChild<RadioGroup*>("RadioGroupView");
    ASSERT_NE(view, nullptr);
    const QList<QRadioButton*> views = view->findChildren<QRadioButton*>();
    ASSERT_EQ(views.size(), 3);
    d.ReadIfoLanguages(discFolder("wide") / "VTS_01_0.IFO");
    d.ComboBoxLanguage->setCurrentIndex(1);
    emit d.ComboBoxLanguage->activated(1);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x22);
    EXPECT_FALSE(views[2]->isEnabled()) << "the disc has no pan-scan French";
    QTest::mouseClick(views[1], Qt::LeftButton);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x23);
    // A 4:3 title has no views to choose from.
    d.ReadIfoLanguages(discFolder("pal_en_fr") / "VTS_01_0.IFO");
    d.ComboBoxLanguage->setCurrentIndex(1);
    emit d.ComboBoxLanguage->activated(1);
    EXPECT_FALSE(view->isEnabled());
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x21);
}

TEST(JobSetup, StartChecksAndTheirMessages) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    Session& s = b.session();
    b.jobSetup().scanDirectory(discFolder("pal_en"));

    b.dialogs().answers.push_back(Answer::Ok);
    EXPECT_FALSE(b.start(0));
    EXPECT_EQ(b.lastMessage(), "No VOB selected !!");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Warning);
    EXPECT_TRUE(s.job().Paused) << "nothing started";

    d.CheckListBoxVob->item(0)->setCheckState(Qt::Checked);
    s.document().AddSubtitle({"Already here"}, true, StrToTimeCode("00:00:01,000"),
                             StrToTimeCode("00:00:02,000"), Rect{});
    b.dialogs().answers.push_back(Answer::Cancel);
    EXPECT_FALSE(b.start(0));
    EXPECT_EQ(b.lastMessage(), "Subtitles text file isn't empty.\rAdd to the end of file ?");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Information);
    EXPECT_TRUE(s.job().FileList.empty());

    // BMP with timing asks too; cancelling the name dialog stops the start.
    d.CheckBoxPictTiming->setChecked(true);
    b.dialogs().answers.push_back(Answer::Ok);
    d.RadioGroupAction->setItemIndex(1);
    b.dialogs().files.push_back(std::nullopt);
    EXPECT_FALSE(d.BitBtnStartClick());
    EXPECT_EQ(b.dialogs().fileRequests.back().title, "Save BMPs : Enter beginning of File Name");
    EXPECT_TRUE(b.dialogs().fileRequests.back().filter.empty());
    EXPECT_TRUE(b.dialogs().fileRequests.back().defaultExtension.empty());
    EXPECT_TRUE(s.job().FileList.empty());

    // SUP without timing: no question about the text; the split warning.
    d.CheckBoxPictTiming->setChecked(false);
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
    EXPECT_EQ(b.mainWindow().LabelMode->text(), "SUP");

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
    b.listAndCheck(discFolder("pal_en"));
    d.RadioGroupAction->setItemIndex(2);
    d.RadioGroupActionClick();
    d.CheckBoxPictTiming->setChecked(true);
    EXPECT_TRUE(d.CheckBoxPictTiming->isEnabled());
    d.RadioGroupAction->setItemIndex(0);
    d.RadioGroupActionClick();
    EXPECT_FALSE(d.CheckBoxPictTiming->isEnabled());
    EXPECT_TRUE(d.CheckBoxPictTiming->isChecked());
    ASSERT_TRUE(d.BitBtnStartClick());
    EXPECT_TRUE(b.session().job().WithTimingAndPosition);
    d.RadioGroupAction->setItemIndex(3);
    d.show();
    EXPECT_FALSE(d.CheckBoxPictTiming->isEnabled()) << "showing applies the action's enabling";
    d.hide();
}

TEST(JobSetup, LastTimeCodeComesFromTheStreamClockAndRebases) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    Demuxer& dm = b.session().demuxer();
    test::setStreamClock(dm, StrToTimeCode("01:02:04,750"));
    d.show();
    EXPECT_EQ(d.Word_uHour->text(), "1");
    EXPECT_EQ(d.Word_uMin->text(), "2");
    EXPECT_EQ(d.Word_uSec->text(), "4");
    EXPECT_EQ(d.Word_uMSec->text(), "750");
    EXPECT_TRUE(dm.rebasePending()) << "a refill that changes a field counts as a change";
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:02:04,750"));
    d.hide();

    test::setStreamClock(dm, StrToTimeCode("01:02:04,750"));
    d.show();
    EXPECT_FALSE(dm.rebasePending()) << "the same time again is no change";
    d.hide();

    QTest::keyClicks(d.Word_uSec, "9");
    EXPECT_TRUE(dm.rebasePending());
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:02:49,750"));

    test::passChapter(dm);
    QTest::mouseClick(d.ButtonResetTC, Qt::LeftButton);
    EXPECT_EQ(d.Word_uHour->text(), "0");
    EXPECT_EQ(d.Word_uMSec->text(), "0");
    EXPECT_TRUE(dm.lastTimeCode().isZero());
    EXPECT_EQ(dm.chapterCount(), 1);
    EXPECT_EQ(b.mainWindow().LabelChapters->text(), "0");

    // Start hands the fields to the clock even when they were filled without a change event.
    b.listAndCheck(discFolder("pal_en"));
    d.setLastTimeCode(StrToTimeCode("00:10:00,000"));
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("00:10:00,000"));
}

TEST(JobSetup, OtherButtonsReachTheOtherWindows) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    int opened = 0, cleared = 0, created = 0;
    b.app->openMatrix = [&] {
        ++opened;
        b.session().matrix().setFileName("/somewhere/disc1.qmx");
    };
    b.app->newMatrix = [&] { ++created; };
    b.app->clearSubtitles = [&] { ++cleared; };
    QTest::mouseClick(d.ButtonOpenCharMatrixFile, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(d.EditCharMatrixFile->text(), "disc1.qmx");
    QTest::mouseClick(d.ButtonNewMatrix, Qt::LeftButton);
    QTest::mouseClick(d.ButtonClearText, Qt::LeftButton);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(cleared, 1);
    d.show();
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(b.app->subtitlesWindowVisible());
}

// An unsaved matrix: the open button asks once whether to save it, and an
// answer of No goes straight on to the file chooser.
TEST(JobSetup, OpeningAMatrixOverUnsavedChangesAsksOnce) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    b.session().matrix().setModified(true);
    b.dialogs().answers.push_back(Answer::No);
    b.dialogs().files.push_back(std::nullopt);
    QTest::mouseClick(d.ButtonOpenCharMatrixFile, Qt::LeftButton);
    EXPECT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_EQ(b.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(b.dialogs().unexpected, 0);
    EXPECT_TRUE(b.session().matrix().Modified()) << "nothing was opened";
}

TEST(JobSetup, AVobSubPairNamesTheStreamsAndIsListedWithItsIndex) {
    AppBench b;
    JobSetupDialog& d = b.jobSetup();
    const auto folder = std::filesystem::path(MIRTAL_TEST_DATA) / "vobsub";
    b.dialogs().files.push_back(folder / "nopts.idx");
    d.ButtonOpenIfoClick();
    EXPECT_EQ(d.ComboBoxLanguage->itemText(0), "1  - English");
    EXPECT_EQ(d.ComboBoxLanguage->itemText(1), "2  - French");
    // The .sub files with their .idx are listed among the VOBs.
    std::vector<std::string> names;
    for (const auto& p : d.VobPaths) names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"forced.vob", "nopts.sub", "pal_en_fr.en.sub",
                                               "pal_en_fr.fr.sub"}));
    EXPECT_FALSE(d.CheckBoxForcedOnly->isChecked());
}
