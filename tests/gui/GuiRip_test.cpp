#include "AppTestSupport.h"
#include "export/SupFile.h"
#include "ui/ProgressionDialog.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;

namespace {

// The size column of the disc's own scan: one value per subpicture unit.
std::vector<uint64_t> spuSizes(const std::string& disc) {
    std::ifstream in(std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc / "spuscan_s0.tsv");
    std::string line;
    std::getline(in, line);
    std::vector<uint64_t> sizes;
    while (std::getline(in, line)) {
        std::istringstream cols(line);
        std::string c;
        for (int i = 0; i < 6 && std::getline(cols, c, '\t'); ++i) {
        }
        sizes.push_back(std::stoull(c));
    }
    return sizes;
}

std::string key(const std::string& file, const std::string& name) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    return {};
}

// Every SUP file of the job, numbered from 1 without a gap, holds the unit of
// that number: nothing lost, nothing written twice.
void expectSupFilesOfDisc(const std::filesystem::path& dir, const std::string& disc) {
    const std::vector<uint64_t> sizes = spuSizes(disc);
    const std::vector<std::string> files = filesIn(dir, ".sup");
    ASSERT_EQ(files.size(), sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = PictureFileName("pic", uint32_t(i + 1), ".sup");
        ASSERT_EQ(files[i], name);
        EXPECT_EQ(std::filesystem::file_size(dir / name), sizes[i]) << name;
    }
}

QString pauseCaption() {
    return QString("&Pause ") + QChar(0x2016);
}

} // namespace

TEST(GuiRip, SupJobWritesEveryUnitAndTheCountersFollow) {
    AppBench b;
    const QString appName = QGuiApplication::applicationDisplayName();
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    b.listAndCheck(discFolder("pal_en"));
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(true);
    ASSERT_TRUE(b.start(2, out / "pic"));
    EXPECT_TRUE(b.app->subtitlesWindow()->isVisible()) << "the timing entries are listed";
    MainWindow& w = b.mainWindow();
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(b.session().job().finished()) << "a whole file inside one tick";
    expectSupFilesOfDisc(out, "pal_en");
    EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text(), "46");
    EXPECT_EQ(control<QLabel>(&w, "LabelTotalNbSup")->text(), "46");
    EXPECT_EQ(control<QLabel>(&w, "LabelVobFile")->text(), "VTS_01_1.VOB");
    EXPECT_EQ(control<QLabel>(&w, "LabelVobNum")->text(), "1");
    EXPECT_EQ(control<QLabel>(&w, "LabelVobNb")->text(), "1");
    EXPECT_EQ(control<QProgressBar>(&w, "ProgressBar1")->value(), 100);
    EXPECT_EQ(control<QLabel>(&w, "LabelPos")->text(), "3/3 MB (100%)");
    EXPECT_EQ(control<QLabel>(&w, "LabelFPS")->text(), "PAL 25 Fps");
    // The progress in the main window's title alone: the application's
    // display name would end every window's and message box's title.
    EXPECT_EQ(w.windowTitle().toStdString(), "Mirtal 0.94b - 100%");
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), appName.toStdString());
    // A language changes the caption, the progress stays after it; the
    // template holds the caption alone.
    std::filesystem::create_directories(b.app->settingsFolder() / "lang");
    std::ofstream(b.app->settingsFolder() / "lang" / "Other.lng", std::ios::binary)
        << "[Form1]\r\nForm1.Form1.Caption=Autre\r\n";
    b.app->loadLanguage("Other");
    EXPECT_EQ(w.windowTitle().toStdString(), "Autre - 100%");
    ASSERT_TRUE(b.app->exportLanguageTemplate());
    EXPECT_EQ(key((b.app->settingsFolder() / "lang" / "New_LangFile.lng").string(),
                  "Form1.Form1.Caption"),
              "Autre\r");
    EXPECT_FALSE(control<QPushButton>(&w, "ButtonPause")->isEnabled()) << "the file is done";
    EXPECT_TRUE(control<QAction>(&w, "OpenVob1")->isEnabled());
    // The last unit on the preview at its rectangle.
    EXPECT_EQ(control<QLabel>(&w, "LabelX1")->text().toInt(), previewOf(w).currentRect().X1);
    EXPECT_GT(control<QLabel>(&w, "LabelWidth")->text().toInt(), 0);
    // "+ TC && Res.": one entry per picture, naming its file.
    const SubtitleStore& store = b.session().document().store();
    ASSERT_EQ(b.session().document().NbSubTitle(), 46);
    EXPECT_EQ(store.entry(1).Lines[0], "pic000001.sup");
    EXPECT_EQ(store.entry(46).Lines[0], "pic000046.sup");
    EXPECT_EQ(b.app->tick(), TickResult::Nothing) << "a finished job stays finished";
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(GuiRip, PauseAndContinueInTheMiddleOfAFile) {
    AppBench b;
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    b.listAndCheck(discFolder("pal_en"));
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(true);
    MainWindow& w = b.mainWindow();
    control<QPushButton>(&w, "ButtonPause")->setText("&Pausieren"); // from a language file
    ASSERT_TRUE(b.start(2, out / "pic"));
    EXPECT_EQ(control<QPushButton>(&w, "ButtonPause")->text(), "&Pausieren")
        << "kept until the first pause";
    // The user presses Pause while the loop dispatches events after the 10th picture.
    QMetaObject::Connection pressPause =
        QObject::connect(&b.app->host(), &QtHost::pictureShown, &w, [&] {
            if (b.session().job().TotalPictures == 10)
                QTimer::singleShot(0, control<QPushButton>(&w, "ButtonPause"), [&] {
                    QTest::mouseClick(control<QPushButton>(&w, "ButtonPause"), Qt::LeftButton);
                });
        });
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    const RipJob& job = b.session().job();
    EXPECT_TRUE(job.Paused);
    EXPECT_FALSE(job.Busy);
    EXPECT_FALSE(job.finished());
    EXPECT_EQ(job.TotalPictures, 10u);
    EXPECT_GT(job.ContinuePack, 0u);
    EXPECT_EQ(control<QPushButton>(&w, "ButtonPause")->text(), "Co&ntinue >");
    EXPECT_TRUE(control<QPushButton>(&w, "ButtonPause")->isEnabled()) << "the user can go on";
    EXPECT_TRUE(control<QAction>(&w, "OpenVob1")->isEnabled());
    EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text(), "10");
    EXPECT_EQ(b.app->tick(), TickResult::Nothing) << "paused";

    QTest::mouseClick(control<QPushButton>(&w, "ButtonPause"), Qt::LeftButton);
    EXPECT_EQ(control<QPushButton>(&w, "ButtonPause")->text(), pauseCaption());
    QObject::disconnect(pressPause);
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(job.finished());
    EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text(), "46")
        << "the file's count went on from 10";
    expectSupFilesOfDisc(out, "pal_en");
    const SubtitleDocument& doc = b.session().document();
    ASSERT_EQ(doc.NbSubTitle(), 46);
    for (int i = 2; i <= 46; ++i)
        EXPECT_LT(TimeCodeToMs(doc.store().entry(i - 1).Start),
                  TimeCodeToMs(doc.store().entry(i).Start))
            << i;
}

// Stop beside Continue ends a paused job for good; the VobSub pair of the
// pictures read so far is written, as at the end of a job.
TEST(GuiRip, StopFromThePauseEndsTheJobKeepingWhatWasRead) {
    AppBench b;
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    b.listAndCheck(discFolder("pal_en"));
    MainWindow& w = b.mainWindow();
    b.dialogs().files.push_back(out / "pair");
    ASSERT_TRUE(b.start(4));
    QObject::connect(&b.app->host(), &QtHost::pictureShown, &w, [&] {
        EXPECT_FALSE(control<QPushButton>(&w, "ButtonStop")->isVisibleTo(&w))
            << "running: Pause only";
        if (b.session().job().TotalPictures == 10)
            QTimer::singleShot(0, control<QPushButton>(&w, "ButtonPause"), [&] {
                QTest::mouseClick(control<QPushButton>(&w, "ButtonPause"), Qt::LeftButton);
            });
    });
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    ASSERT_TRUE(b.session().job().Paused);
    ASSERT_TRUE(control<QPushButton>(&w, "ButtonStop")->isVisibleTo(&w));
    EXPECT_FALSE(std::filesystem::exists(out / "pair.idx"));

    QTest::mouseClick(control<QPushButton>(&w, "ButtonStop"), Qt::LeftButton);
    EXPECT_TRUE(b.session().engine().halted());
    EXPECT_FALSE(b.session().job().Paused);
    EXPECT_FALSE(control<QPushButton>(&w, "ButtonStop")->isVisibleTo(&w));
    EXPECT_FALSE(control<QPushButton>(&w, "ButtonPause")->isEnabled());
    EXPECT_EQ(control<QPushButton>(&w, "ButtonPause")->text(), pauseCaption());
    EXPECT_TRUE(control<QAction>(&w, "OpenVob1")->isEnabled());
    EXPECT_EQ(b.app->tick(), TickResult::Nothing) << "nothing takes the job up again";
    EXPECT_EQ(b.session().job().TotalPictures, 10u);
    std::ifstream idx(out / "pair.idx");
    int entries = 0;
    for (std::string line; std::getline(idx, line);)
        if (line.rfind("timestamp:", 0) == 0) ++entries;
    EXPECT_EQ(entries, 10);
    EXPECT_EQ(std::filesystem::file_size(out / "pair.sub") % 2048, 0u);
    EXPECT_GT(std::filesystem::file_size(out / "pair.sub"), 0u);
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(GuiRip, TicksAndTheJobDialogWaitWhileAFileIsProcessed) {
    AppBench b;
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    b.listAndCheck(discFolder("pal_en"));
    ASSERT_TRUE(b.start(2, out / "pic"));
    MainWindow& w = b.mainWindow();
    bool checked = false;
    QTimer::singleShot(0, &w, [&] {
        // Inside the loop's event dispatch: the timer, the menu and the
        // button come back at once.
        checked = true;
        EXPECT_TRUE(b.session().job().Busy);
        EXPECT_EQ(b.app->tick(), TickResult::Nothing);
        EXPECT_FALSE(control<QAction>(&w, "OpenVob1")->isEnabled());
        EXPECT_FALSE(control<QToolButton>(&w, "CoolButtonOpenVob")->isEnabled());
        EXPECT_TRUE(control<QPushButton>(&w, "ButtonPause")->isEnabled());
        control<QAction>(&w, "OpenVob1")->trigger();
        EXPECT_FALSE(b.jobSetup().isVisible());
    });
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(filesIn(out, ".sup").size(), 46u) << "nothing processed twice";
    EXPECT_TRUE(control<QToolButton>(&w, "CoolButtonOpenVob")->isEnabled());
}

TEST(GuiRip, TwoFilesTheSecondAtTheNextTick) {
    AppBench b;
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    b.listAndCheck(discFolder("split"));
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(false);
    ASSERT_TRUE(b.start(2, out / "pic"));
    MainWindow& w = b.mainWindow();
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_FALSE(b.session().job().finished());
    const int firstFile =
        std::stoi(key(discFolder("split").parent_path() / "split.txt", "straddling_spu_index"));
    EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text().toInt(), firstFile);
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(control<QLabel>(&w, "LabelVobNum")->text(), "2");
    EXPECT_EQ(control<QLabel>(&w, "LabelVobNb")->text(), "2");
    EXPECT_EQ(control<QLabel>(&w, "LabelTotalNbSup")->text(), "40");
    EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text().toInt(), 40 - firstFile)
        << "the count restarts for each file";
    expectSupFilesOfDisc(out, "split");
    EXPECT_EQ(b.session().document().NbSubTitle(), 0) << "no timing, no entries";
}

TEST(GuiRip, BmpJobAsksTheAdjustmentStepOnceAndSavesEveryPicture) {
    AppBench b;
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    int adjustments = 0;
    b.answers->onAdjustBitmap = [&] {
        ++adjustments;
        // The counters of the picture at hand, not of the one before.
        EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelNbSup")->text(), "1");
        EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelTotalNbSup")->text(), "1");
        return true;
    };
    b.listAndCheck(discFolder("pal_en"));
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(false);
    control<QCheckBox>(&b.mainWindow(), "CheckBoxShowSubPict")->setChecked(false);
    ASSERT_TRUE(b.start(1, out / "pic"));
    b.runTicks();
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(adjustments, 1);
    EXPECT_EQ(filesIn(out, ".bmp").size(), 46u);
    EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelWidth")->text(), "000")
        << "\"Show Pict.\" off: nothing drawn";
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(GuiRip, ShowOnlyStopsInTheProgressionController) {
    AppBench b;
    ProgressionDialog& p = *b.app->progression();
    MainWindow& w = b.mainWindow();
    b.listAndCheck(discFolder("pal_en"));
    control<QToolButton>(&w, "CoolButtonShowSubtitleText")->click();

    // The user's hand at each showing of the controller.
    std::vector<std::function<void()>> script;
    size_t shown = 0;
    bool subtitlesHidden = true;
    QObject::connect(&p, &ProgressionDialog::shown, &w, [&] {
        subtitlesHidden = subtitlesHidden && !b.app->subtitlesWindow()->isVisible();
        const size_t at = shown++;
        QTimer::singleShot(0, &p, [&, at] {
            if (at < script.size())
                script[at]();
            else
                QTest::mouseClick(control<QPushButton>(&p, "ButtonNoStop"), Qt::LeftButton);
        });
    });
    const auto bmp = b.folder / "a";
    const auto sup = b.folder / "b";
    script.push_back([&] {
        EXPECT_EQ(p.focusWidget(), control<QPushButton>(&p, "ButtonNext"));
        EXPECT_EQ(control<QLabel>(&w, "LabelNbSup")->text(), "1")
            << "the counters of the picture on display";
        EXPECT_EQ(control<QLabel>(&w, "LabelTotalNbSup")->text(), "1");
        EXPECT_EQ(control<QLabel>(&w, "LabelFPS")->text(), "PAL 25 Fps");
        b.dialogs().files.push_back(bmp);
        QTest::mouseClick(control<QPushButton>(&p, "ButtonSaveAsBmp"), Qt::LeftButton);
        b.dialogs().files.push_back(sup);
        QTest::mouseClick(control<QPushButton>(&p, "ButtonSaveAsSup"), Qt::LeftButton);
        EXPECT_TRUE(p.isVisible()) << "saving keeps the window open";
        QTest::mouseClick(control<QPushButton>(&p, "ButtonNext"), Qt::LeftButton);
    });
    script.push_back(
        [&] { QTest::mouseClick(control<QPushButton>(&p, "ButtonPause"), Qt::LeftButton); });
    script.push_back(
        [&] { QTest::mouseClick(control<QPushButton>(&p, "ButtonNoStop"), Qt::LeftButton); });

    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_EQ(shown, 2u);
    EXPECT_TRUE(subtitlesHidden) << "the controller hides the Subtitles window";
    EXPECT_TRUE(b.session().job().Paused) << "its Pause pauses the job";
    EXPECT_EQ(b.session().job().TotalPictures, 2u);
    // After the Open Dir of the listing, the two names.
    const auto& requests = b.dialogs().fileRequests;
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].title,
              "Save as BMP Subpicture N\xB0 1 , enter the beginning of File Name");
    EXPECT_EQ(requests[2].title,
              "Save as SUP Subpicture N\xB0 1 , enter the beginning of File Name");
    EXPECT_TRUE(std::filesystem::exists(b.folder / "a.BMP"));
    EXPECT_EQ(std::filesystem::file_size(b.folder / "b.SUP"), spuSizes("pal_en")[0]);
    EXPECT_EQ(requests[2].initialFolder, b.folder.path()) << "the folder of the name before";
    EXPECT_EQ(control<QLabel>(&w, "LabelWidth")->text().toInt(),
              b.session().outputBitmap().width());

    // Continue: the controller comes back at the next picture, then No Stop runs to the end.
    QTest::mouseClick(control<QPushButton>(&w, "ButtonPause"), Qt::LeftButton);
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_EQ(shown, 3u);
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(b.session().job().TotalPictures, 46u);
    EXPECT_EQ(w.focusWidget(), control<QCheckBox>(&w, "CheckBoxShowSubPict"))
        << "after Next the main window's box has the focus";
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(GuiRip, BadPackAndUnreadableFileBoxes) {
    AppBench b;
    const auto out = b.folder / "out";
    const auto disc = b.folder / "disc";
    std::filesystem::create_directories(out);
    std::filesystem::create_directories(disc);
    const auto broken = std::filesystem::path(MIRTAL_TEST_DATA) / "broken";
    std::filesystem::copy_file(broken / "bad_pack_start.vob", disc / "VTS_01_1.VOB");
    std::filesystem::copy_file(broken / "truncated.vob", disc / "VTS_01_2.VOB");
    const std::string brokenTxt = (broken / "broken.txt").string();
    const std::string badPack =
        std::to_string(std::stoi(key(brokenTxt, "bad_pack_start_bad_pack")) + 1);

    // Yes: the bad pack is skipped and every unit is found; the cut file ends
    // in a read error and the job goes on past it.
    b.listAndCheck(disc);
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(false);
    b.dialogs().answers.push_back(Answer::Yes);
    b.dialogs().answers.push_back(Answer::Ok);
    ASSERT_TRUE(b.start(2, out / "pic"));
    b.runTicks();
    EXPECT_TRUE(b.session().job().finished());
    ASSERT_EQ(b.dialogs().asked.size(), 2u);
    EXPECT_EQ(b.dialogs().asked[0].text,
              "Bad Packet Header at LBA: " + badPack + "\rDo you want to continue ?");
    EXPECT_EQ(b.dialogs().asked[0].kind, MessageKind::Warning);
    EXPECT_EQ(b.dialogs().asked[1].text.rfind(
                  "Can't open file " + (disc / "VTS_01_2.VOB").string() +
                      " ,it might be crypted\rYou can try to decrypt it with DVD "
                      "Decrypter, DECSS or VOBDec",
                  0),
              0u)
        << b.dialogs().asked[1].text;
    const int units = std::stoi(key(brokenTxt, "bad_pack_start_units_in_intact_copy")) +
                      std::stoi(key(brokenTxt, "truncated_complete_units"));
    EXPECT_EQ(control<QLabel>(&b.mainWindow(), "LabelTotalNbSup")->text().toInt(), units);

    // No: the job halts and says so; nothing is left to pause, the job setup
    // stays reachable and a new Start goes on.
    b.dialogs().answers.push_back(Answer::No);
    b.dialogs().answers.push_back(Answer::Ok);
    control<QListWidget>(&b.jobSetup(), "CheckListBoxVob")->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(b.start(2, out / "again"));
    b.runTicks();
    EXPECT_TRUE(b.session().engine().halted());
    EXPECT_FALSE(b.session().job().finished());
    EXPECT_EQ(b.dialogs().asked.back().text, "The job has been stopped.");
    EXPECT_FALSE(control<QPushButton>(&b.mainWindow(), "ButtonPause")->isEnabled());
    EXPECT_TRUE(control<QAction>(&b.mainWindow(), "OpenVob1")->isEnabled());
    EXPECT_TRUE(control<QToolButton>(&b.mainWindow(), "CoolButtonOpenVob")->isEnabled());
    EXPECT_EQ(b.app->tick(), TickResult::Nothing);
    b.dialogs().answers.push_back(Answer::Yes);
    ASSERT_TRUE(b.start(2, out / "third"));
    b.runTicks();
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

// A checked file gone since the scan stops the job, which says so.
TEST(GuiRip, AFileThatDisappearedStopsTheJobAndSaysSo) {
    AppBench b;
    const auto disc = b.folder / "disc";
    std::filesystem::create_directories(disc);
    std::filesystem::copy_file(discFolder("pal_en") / "VTS_01_1.VOB", disc / "VTS_01_1.VOB");
    b.listAndCheck(disc);
    std::filesystem::rename(disc / "VTS_01_1.VOB", disc / "moved.vob");
    b.dialogs().answers.push_back(Answer::Ok);
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(b.app->tick(), TickResult::MissingFile);
    EXPECT_EQ(b.app->tick(), TickResult::Nothing);
    ASSERT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_EQ(b.dialogs().asked[0].text, "File not found : " + (disc / "VTS_01_1.VOB").string() +
                                             "\rThe job has been stopped.");
    EXPECT_FALSE(control<QPushButton>(&b.mainWindow(), "ButtonPause")->isEnabled());
    EXPECT_TRUE(control<QAction>(&b.mainWindow(), "OpenVob1")->isEnabled());
}

namespace {

struct SupRip {
    std::string timing;             // the timing entries the job listed
    std::vector<std::string> units; // the SUP files' bytes, in number order
};

SupRip supRipOfCheckedFiles(AppBench& b, int streamLine, bool forcedOnly) {
    JobSetupDialog& d = b.jobSetup();
    emit control<QComboBox>(&d, "ComboBoxLanguage")->activated(streamLine);
    control<QCheckBox>(&d, "CheckBoxPictTiming")->setChecked(true);
    control<QCheckBox>(&d, "CheckBoxForcedOnly")->setChecked(forcedOnly);
    control<QCheckBox>(&d, "CheckBoxFromVideoStart")
        ->setChecked(false); // the pairs keep the disc's stream clock
    control<QCheckBox>(&b.mainWindow(), "CheckBoxShowSubPict")->setChecked(false);
    const auto out = b.folder / "out";
    std::filesystem::create_directory(out);
    SupRip r;
    if (!b.start(2, out / "pic")) return r;
    b.runTicks();
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(b.dialogs().unexpected, 0);
    r.timing = b.session().document().fileText();
    for (const std::string& name : filesIn(out, ".sup")) r.units.push_back(readText(out / name));
    return r;
}

const std::filesystem::path kPairs = std::filesystem::path(MIRTAL_TEST_DATA) / "vobsub";

} // namespace

// The PTS-less pair holds both streams of the two-language disc; chosen by its
// index in the job setup it rips the French stream to the same units at the
// same times as the disc.
TEST(GuiRip, AVobSubPairChosenInTheJobSetupRipsLikeItsDisc) {
    SupRip disc;
    {
        AppBench b;
        b.listAndCheck(discFolder("pal_en_fr"));
        disc = supRipOfCheckedFiles(b, 1, false);
    }
    ASSERT_EQ(disc.units.size(), 42u);

    AppBench b;
    b.dialogs().files.push_back(kPairs / "nopts.idx");
    control<QPushButton>(&b.jobSetup(), "ButtonOpenIfo")->click();
    ASSERT_EQ(control<QComboBox>(&b.jobSetup(), "ComboBoxLanguage")->itemText(1), "2  - French");
    checkVobEntry(*b.app, "nopts.sub");
    const SupRip pair = supRipOfCheckedFiles(b, 1, false);
    EXPECT_EQ(pair.timing, disc.timing) << "the index times the subpictures";
    EXPECT_TRUE(pair.units == disc.units) << "the same units";

    // A pair whose index went missing after listing is refused at Start.
    TempFolder moved;
    std::filesystem::copy_file(kPairs / "nopts.sub", moved / "nopts.sub");
    std::filesystem::copy_file(kPairs / "nopts.idx", moved / "nopts.idx");
    AppBench c;
    c.listAndCheck(moved.path());
    std::filesystem::remove(moved / "nopts.idx");
    const size_t asked = c.dialogs().asked.size();
    EXPECT_FALSE(c.start(0));
    ASSERT_EQ(c.dialogs().asked.size(), asked + 1);
    EXPECT_NE(c.lastMessage().find("nopts"), std::string::npos) << c.lastMessage();
}

// "Forced Subs Only" keeps exactly the units started by the forced command.
TEST(GuiRip, ForcedSubsOnlyKeepsTheForcedUnits) {
    SupRip all, forced;
    {
        AppBench b;
        listVobFolder(*b.app, kPairs);
        checkVobEntry(*b.app, "forced.vob");
        all = supRipOfCheckedFiles(b, 0, false);
    }
    {
        AppBench b;
        listVobFolder(*b.app, kPairs);
        checkVobEntry(*b.app, "forced.vob");
        forced = supRipOfCheckedFiles(b, 0, true);
    }
    std::istringstream list(readText(kPairs / "forced.txt"));
    std::vector<std::string> expected;
    for (size_t u; list >> u;) {
        ASSERT_LT(u, all.units.size());
        expected.push_back(all.units[u]);
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(forced.units.size(), expected.size());
    EXPECT_TRUE(forced.units == expected);
}
