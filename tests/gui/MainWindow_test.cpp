// The main window, the job setup and the settings they keep: what a click
// reaches, what it enables and where the dialogs start.
#include "AppTestSupport.h"
#include "settings/SettingsFile.h"

using namespace mirtal;
using namespace mirtal::test;

TEST(CloseFlow, UnsavedSubtitlesAskAndNoKeepsTheWindow) {
    AppBench b;
    b.session().document().addSubtitle({"Hello"}, true, msToTimeCode(1000), msToTimeCode(2000), {});
    b.dialogs().answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(b.mainWindow().close());
    EXPECT_TRUE(b.app->subtitlesWindow()->isVisible()) << "No shows the Subtitles window";
    EXPECT_FALSE(std::filesystem::exists(b.app->settingsFile())) << "nothing saved";
    EXPECT_TRUE(b.mainWindow().close());
    EXPECT_TRUE(std::filesystem::exists(b.app->settingsFile()));
}

TEST(JobSetup, ArrowsAndCtrlKeysReorderWithTheirCheckMarksAndStartTakesTheListOrder) {
    AppBench b;
    const auto dir = b.folder / "disc";
    for (int i = 1; i <= 5; ++i) writeText(dir / ("VTS_01_" + std::to_string(i) + ".VOB"), "x");
    b.dialogs().answers.push_back(Answer::Ok);
    listVobFolder(*b.app, dir);
    EXPECT_FALSE(b.start(0)) << "nothing checked";
    EXPECT_EQ(b.dialogs().asked.at(0).text, "No VOB selected !!");
    checkVobEntries(*b.app, {0, 2, 4});
    auto* list = b.setup<QListWidget>("CheckListBoxVob");
    auto* up = b.setup<QToolButton>("UpDownFilePoseUp");
    list->setCurrentRow(4);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), 2) << "the selection follows the moved entry";
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentRow(), 0) << "without Ctrl the key only moves the selection";
    EXPECT_TRUE(list->item(0)->text().startsWith("VTS_01_2.VOB"));
    ASSERT_TRUE(b.start(3));
    std::vector<std::string> job;
    for (const auto& p : b.session().job().FileList) job.push_back(p.filename().string());
    EXPECT_EQ(job, (std::vector<std::string>{"VTS_01_1.VOB", "VTS_01_5.VOB", "VTS_01_3.VOB"}));
}

TEST(JobSetup, TheChosenStreamAndViewReachTheJobAndTheControlsFollowTheTitle) {
    AppBench b;
    auto* streams = b.setup<QComboBox>("ComboBoxLanguage");
    auto open = [&](const char* disc) {
        b.dialogs().files.push_back(discFolder(disc) / "VTS_01_0.IFO");
        QTest::mouseClick(b.setup<QPushButton>("ButtonOpenIfo"), Qt::LeftButton);
        streams->setCurrentIndex(1);
        emit streams->activated(1);
        return b.session().job().SubtitleStreamId;
    };
    EXPECT_EQ(open("pal_en_fr"), 0x21);
    EXPECT_EQ(b.jobSetup().choices().vobFolder, discFolder("pal_en_fr"))
        << "the IFO's folder is listed";
    auto* view = b.setup<RadioGroup>("RadioGroupView");
    EXPECT_FALSE(view->isEnabled()) << "a 4:3 title has no views";
    EXPECT_EQ(open("wide"), 0x22);
    const QList<QRadioButton*> views = view->findChildren<QRadioButton*>();
    EXPECT_FALSE(views.at(2)->isEnabled()) << "the disc has no pan-scan French";
    QTest::mouseClick(views.at(1), Qt::LeftButton);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x23);
}

TEST(JobSetup, AChosenTitleIsReadCellByCellInsteadOfTheCheckedFiles) {
    AppBench b;
    b.dialogs().files.push_back(discFolder("episodes") / "VTS_01_0.IFO");
    QTest::mouseClick(b.setup<QPushButton>("ButtonOpenIfo"), Qt::LeftButton);
    auto* titles = b.setup<QComboBox>("ComboBoxTitle");
    ASSERT_EQ(titles->count(), 3);
    EXPECT_EQ(titles->itemText(2), "Title 2 - 00:00:20 - 2 chapter(s)");
    titles->setCurrentIndex(2);
    ASSERT_TRUE(b.start(3));
    const RipJob& job = b.session().job();
    EXPECT_EQ(job.FileRanges, (std::vector<PackRange>{{252, 387}, {387, 520}}));
    b.dialogs().files.push_back(discFolder("pal_en") / "VTS_01_0.IFO");
    QTest::mouseClick(b.setup<QPushButton>("ButtonOpenIfo"), Qt::LeftButton);
    EXPECT_EQ(titles->count(), 2) << "another title set's titles";
}

TEST(Settings, TheWindowsControlsAreSavedAtCloseAndShownAgainAtTheNextStart) {
    AppBench b;
    const auto vobs = b.folder / "vobs";
    std::filesystem::create_directory(vobs);
    listVobFolder(*b.app, vobs);
    chooseAction(*b.app, 2);
    const std::pair<const char*, bool> boxes[] = {{"CheckBoxPictTiming", false},
                                                  {"CheckBoxForcedOnly", true},
                                                  {"CheckBoxFromVideoStart", false}};
    for (auto [box, on] : boxes) jobOption(*b.app, box)->setChecked(on);
    b.main<QPushButton>("ButtonPreviewOption")->click();
    b.main<QSpinBox>("SpinEditZoom")->setValue(150);
    ASSERT_TRUE(b.mainWindow().close());

    b.restart();
    EXPECT_EQ(b.setup<RadioGroup>("RadioGroupAction")->itemIndex(), 2);
    for (auto [box, on] : boxes) EXPECT_EQ(jobOption(*b.app, box)->isChecked(), on) << box;
    EXPECT_TRUE(jobOption(*b.app, "CheckBoxPictTiming")->isEnabled()) << "SUP enables it";
    EXPECT_EQ(folderText(b.jobSetup().choices().vobFolder), folderText(vobs));
    EXPECT_EQ(b.mainWindow().findChild<PreviewPane*>()->zoom(), 1500)
        << "the preview set up from the settings";
    EXPECT_TRUE(b.dialogs().asked.empty());
}
