// The main window, the job setup and the settings they keep: what a click
// reaches, what it enables and where the dialogs start.
#include "AppTestSupport.h"
#include "StreamBuilder.h"
#include "settings/SettingsFile.h"

using namespace mirtal;
using namespace mirtal::test;

TEST(Preview, ZoomPlacesThePictureAndTheOptionsPanelWritesBackOnlyWhatTheUserChanges) {
    AppBench b;
    MainWindow& w = b.mainWindow();
    PreviewPane& p = *w.findChild<PreviewPane*>();
    PreviewSettings& s = w.previewSettings();
    s.Zoom = 1000;
    s.AtTruePos = true;
    w.setUpPreview();
    const QPoint origin = p.bevel()->pos() + QPoint(2, 2);
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::white);
    w.showPicture(picture, Rect{200, 400, 299, 449});
    EXPECT_EQ(p.image()->geometry(), QRect(origin + QPoint(200, 400), QSize(100, 50)));

    QTest::mouseClick(b.main<QPushButton>("ButtonPreviewOption"), Qt::LeftButton);
    EXPECT_TRUE(b.main<QFrame>("PanelPreviewCfg")->isVisibleTo(&w));
    const PreviewSettings filled = s;
    auto* zoom = b.main<QSpinBox>("SpinEditZoom");
    EXPECT_EQ(zoom->value(), 100);
    EXPECT_EQ(s, filled) << "the change events of the filling wrote back";
    zoom->setValue(50);
    EXPECT_EQ(s.Zoom, 500);
    EXPECT_EQ(p.image()->geometry(), QRect(origin + QPoint(100, 200), QSize(50, 25)));
    b.main<QCheckBox>("CheckBoxAutoZoom")->setChecked(true);
    EXPECT_FALSE(zoom->isEnabled());
    EXPECT_EQ(s.Zoom, PreviewPane::autoZoom(w.width(), w.height()));
    b.main<QCheckBox>("CheckBoxAutoZoom")->setChecked(false);
    EXPECT_TRUE(zoom->isEnabled());
    EXPECT_EQ(s.Zoom, 500) << "the zoom field is live again";
}

TEST(CloseFlow, UnsavedSubtitlesAskAndNoKeepsTheWindow) {
    AppBench b;
    b.session().document().AddSubtitle({"Hello"}, true, MsToTimeCode(1000), MsToTimeCode(2000), {});
    b.dialogs().answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(b.mainWindow().close());
    EXPECT_TRUE(b.app->subtitlesWindow()->isVisible()) << "No shows the Subtitles window";
    EXPECT_FALSE(std::filesystem::exists(b.app->settingsFile())) << "nothing saved";
    EXPECT_TRUE(b.mainWindow().close());
    EXPECT_TRUE(std::filesystem::exists(b.app->settingsFile()));
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

// The user closes the window while the job's loop dispatches events.
TEST(CloseFlow, ARunningJobIsPausedBeforeTheSettingsAreWritten) {
    AppBench b;
    b.listAndCheck(discFolder("pal_en"));
    jobOption(*b.app, "CheckBoxPictTiming")->setChecked(false);
    ASSERT_TRUE(b.start(2, b.folder / "sup"));
    bool closed = false;
    QObject::connect(&b.app->host(), &QtHost::pictureShown, &b.mainWindow(), [&] {
        if (b.session().job().TotalPictures == 3)
            QTimer::singleShot(0, &b.mainWindow(), [&] { closed = b.mainWindow().close(); });
    });
    runJob(*b.app, 1);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(b.session().job().Paused);
    EXPECT_EQ(b.session().job().TotalPictures, 3u) << "the job stopped at the pause";
    EXPECT_TRUE(std::filesystem::exists(b.app->settingsFile()));
}

TEST(JobSetup, ArrowsAndCtrlKeysReorderWithTheirCheckMarksAndStartTakesTheListOrder) {
    AppBench b;
    const auto dir = b.folder / "disc";
    for (int i = 1; i <= 5; ++i) writeText(dir / ("VTS_01_" + std::to_string(i) + ".VOB"), "x");
    b.dialogs().answers.push_back(Answer::Ok);
    listVobFolder(*b.app, dir);
    EXPECT_FALSE(b.start(0)) << "nothing checked";
    EXPECT_EQ(b.lastMessage(), "No VOB selected !!");
    checkVobEntries(*b.app, {0, 2, 4});
    auto* list = control<QListWidget>(&b.jobSetup(), "CheckListBoxVob");
    auto* up = control<QToolButton>(&b.jobSetup(), "UpDownFilePoseUp");
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
    JobSetupDialog& d = b.jobSetup();
    auto* streams = control<QComboBox>(&d, "ComboBoxLanguage");
    auto open = [&](const char* disc) {
        b.dialogs().files.push_back(discFolder(disc) / "VTS_01_0.IFO");
        QTest::mouseClick(control<QPushButton>(&d, "ButtonOpenIfo"), Qt::LeftButton);
        streams->setCurrentIndex(1);
        emit streams->activated(1);
        return b.session().job().SubtitleStreamId;
    };
    EXPECT_EQ(open("pal_en_fr"), 0x21);
    EXPECT_EQ(streams->itemText(1), "2  - French");
    EXPECT_EQ(d.choices().vobFolder, discFolder("pal_en_fr")) << "the IFO's folder is listed";
    auto* view = control<RadioGroup>(&d, "RadioGroupView");
    EXPECT_FALSE(view->isEnabled()) << "a 4:3 title has no views";
    EXPECT_EQ(open("wide"), 0x22);
    const QList<QRadioButton*> views = view->findChildren<QRadioButton*>();
    EXPECT_FALSE(views.at(2)->isEnabled()) << "the disc has no pan-scan French";
    QTest::mouseClick(views.at(1), Qt::LeftButton);
    EXPECT_EQ(b.session().job().SubtitleStreamId, 0x23);

    // The timing box follows the action and keeps its mark.
    QCheckBox* timing = jobOption(*b.app, "CheckBoxPictTiming");
    chooseAction(*b.app, 2);
    timing->setChecked(true);
    EXPECT_TRUE(timing->isEnabled());
    chooseAction(*b.app, 0);
    EXPECT_FALSE(timing->isEnabled());
    EXPECT_TRUE(timing->isChecked());
}

TEST(JobSetup, TheTimeFieldsFollowTheStreamClockAndHandItBack) {
    AppBench b;
    Demuxer& dm = b.session().demuxer();
    auto field = [&](const char* name) { return control<QLineEdit>(&b.jobSetup(), name); };
    setStreamClock(dm, StrToTimeCode("01:02:04,750"));
    b.jobSetup().show();
    EXPECT_EQ(field("Word_uHour")->text() + field("Word_uMin")->text() +
                  field("Word_uSec")->text() + field("Word_uMSec")->text(),
              "124750");
    QTest::keyClicks(field("Word_uSec"), "9");
    EXPECT_TRUE(dm.rebasePending());
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:02:49,750"));
    b.listAndCheck(discFolder("pal_en"));
    field("Word_uMin")->setText("10");
    dm.setLastTimeCode({});
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(dm.lastTimeCode(), StrToTimeCode("01:10:49,750")) << "Start hands the fields over";
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
    EXPECT_EQ(control<RadioGroup>(&b.jobSetup(), "RadioGroupAction")->itemIndex(), 2);
    for (auto [box, on] : boxes) EXPECT_EQ(jobOption(*b.app, box)->isChecked(), on) << box;
    EXPECT_TRUE(jobOption(*b.app, "CheckBoxPictTiming")->isEnabled()) << "SUP enables it";
    EXPECT_EQ(FolderText(b.jobSetup().choices().vobFolder), FolderText(vobs));
    EXPECT_EQ(b.mainWindow().findChild<PreviewPane*>()->zoom(), 1500)
        << "the preview set up from the settings";
    EXPECT_TRUE(b.dialogs().asked.empty());
}

// A program folder the user cannot write to is no place to save into: the
// file dialogs start where the settings are.
TEST(Settings, DialogsStartInTheSettingsFolderWhenTheProgramFolderIsReadOnly) {
    TempFolder config, scratch;
    auto app = installedApp(scratch / "program", config.path());
    const std::string settings = FolderText(config / "Mirtal");
    ASSERT_EQ(FolderText(app->settingsFolder()), settings);
    app->start();
    const ProgramSettings& ps = app->settings();
    EXPECT_EQ((std::vector{ps.OpenDialogVob, ps.SaveDialogText, ps.OpenDialogMirtalText,
                           ps.SaveDialogBmpSup, ps.OpenDialogCharMatrix, ps.SaveDialogCharMatrix}),
              std::vector<std::string>(6, settings));
    app->dialogs().files.push_back(std::nullopt);
    control<QPushButton>(app->jobSetup(), "ButtonOpenDir")->click();
    ASSERT_FALSE(app->dialogs().fileRequests.empty());
    EXPECT_EQ(FolderText(app->dialogs().fileRequests.back().initialFolder), settings);
    app->mainWindow()->hide();
}
