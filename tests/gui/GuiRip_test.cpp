// Rips through the windows: the counters, the title, Pause and Stop from the
// event loop, the dialogs a job opens. What the files hold is the acceptance test's.
#include "AppTestSupport.h"

using namespace mirtal;
using namespace mirtal::test;

namespace {

bool countersCurrent(AppBench& b) {
    return b.main<QLabel>("LabelNbSup")->text() == QString::number(b.session().job().VobPictures) &&
           b.main<QLabel>("LabelTotalNbSup")->text() ==
               QString::number(b.session().job().TotalPictures);
}

const QString kPause = QString("&Pause ") + QChar(0x2016);

size_t filesIn(const std::filesystem::path& dir, const std::string& ext) {
    return size_t(std::count_if(std::filesystem::directory_iterator(dir), {},
                                [&](const auto& e) { return e.path().extension() == ext; }));
}

} // namespace

TEST(GuiRip, SupJobPausedFromTheEventLoopGoesOnAndTheCountersAndTitleFollow) {
    AppBench b;
    const QString appName = QGuiApplication::applicationDisplayName();
    b.listAndCheck(discFolder("pal_en"));
    ASSERT_TRUE(b.start(2, b.folder / "pic"));
    auto* pause = b.main<QPushButton>("ButtonPause");
    // Inside the loop's event dispatch after the 10th picture: the timer, the
    // menu and the button come back at once; then the user presses Pause.
    auto hook = QObject::connect(&b.app->host(), &QtHost::pictureShown, &b.mainWindow(), [&] {
        if (b.session().job().TotalPictures != 10) return;
        QTimer::singleShot(0, pause, [&] {
            EXPECT_EQ(b.app->tick(), TickResult::Nothing);
            EXPECT_FALSE(b.main<QToolButton>("CoolButtonOpenVob")->isEnabled());
            EXPECT_FALSE(b.main<QPushButton>("ButtonStop")->isVisible()) << "running: Pause only";
            EXPECT_TRUE(pause->isEnabled());
            QTest::mouseClick(pause, Qt::LeftButton);
        });
    });
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(b.session().job().Paused);
    EXPECT_EQ(pause->text(), "Co&ntinue >");

    QObject::disconnect(hook);
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(pause->text(), kPause);
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(filesIn(b.folder.path(), ".sup"), 46u) << "nothing lost, nothing twice";
    // The progress in the main window's title alone, not in the display name.
    EXPECT_EQ(b.mainWindow().windowTitle().toStdString(), "Mirtal 0.94b - 100%");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), appName);
    writeText(b.app->settingsFolder() / "lang" / "Other.lng",
              "[Form1]\r\nForm1.Form1.Caption=Autre\r\n");
    b.app->loadLanguage("Other");
    EXPECT_EQ(b.mainWindow().windowTitle().toStdString(), "Autre - 100%");
    EXPECT_EQ(exportedTexts(*b.app).at("Form1/Form1.Form1.Caption"), "Autre");
}

TEST(GuiRip, StopFromThePauseEndsTheJobKeepingWhatWasRead) {
    AppBench b;
    b.listAndCheck(discFolder("pal_en"));
    b.dialogs().files.push_back(b.folder / "pair");
    ASSERT_TRUE(b.start(4));
    QObject::connect(&b.app->host(), &QtHost::pictureShown, &b.mainWindow(), [&] {
        if (b.session().job().TotalPictures == 10) clickLater(&b.mainWindow(), "ButtonPause");
    });
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    ASSERT_TRUE(b.session().job().Paused);
    auto* stop = b.main<QPushButton>("ButtonStop");
    ASSERT_TRUE(stop->isVisibleTo(&b.mainWindow()));

    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_TRUE(b.session().engine().halted());
    EXPECT_FALSE(b.session().job().Paused);
    EXPECT_FALSE(stop->isVisibleTo(&b.mainWindow()));
    EXPECT_FALSE(b.main<QPushButton>("ButtonPause")->isEnabled());
    EXPECT_EQ(b.main<QPushButton>("ButtonPause")->text(), kPause);
    EXPECT_EQ(b.app->tick(), TickResult::Nothing) << "nothing takes the job up again";
    EXPECT_EQ(QString::fromStdString(readText(b.folder / "pair.idx")).count("\ntimestamp:"), 10);
}

TEST(GuiRip, ShowOnlyStopsInTheProgressionController) {
    AppBench b;
    ProgressionDialog& p = *b.app->progression();
    b.listAndCheck(discFolder("pal_en"));
    b.main<QToolButton>("CoolButtonShowSubtitleText")->click();
    size_t shown = 0;
    bool subtitlesHidden = true;
    QObject::connect(&p, &ProgressionDialog::shown, &b.mainWindow(), [&] {
        subtitlesHidden = subtitlesHidden && !b.app->subtitlesWindow()->isVisible();
        const size_t at = shown++;
        EXPECT_TRUE(countersCurrent(b));
        if (at == 0)
            QTimer::singleShot(
                0, &p, [&] { EXPECT_EQ(p.focusWidget(), control<QPushButton>(&p, "ButtonNext")); });
        const char* buttons[] = {"ButtonNext", "ButtonPause", "ButtonNoStop"};
        clickLater(&p, buttons[std::min<size_t>(at, 2)]);
    });
    ASSERT_TRUE(b.start(3));
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_EQ(shown, 2u);
    EXPECT_TRUE(subtitlesHidden) << "the controller hides the Subtitles window";
    EXPECT_TRUE(b.session().job().Paused) << "its Pause pauses the job";

    // Continue: the controller comes back at the next picture, No Stop runs to the end.
    QTest::mouseClick(b.main<QPushButton>("ButtonPause"), Qt::LeftButton);
    EXPECT_EQ(b.app->tick(), TickResult::Processed);
    EXPECT_EQ(shown, 3u);
    EXPECT_TRUE(b.session().job().finished());
    EXPECT_EQ(b.mainWindow().focusWidget(), b.main<QCheckBox>("CheckBoxShowSubPict"));
}

// Every glyph named "x" through the dialogs; the editor and the list follow.
TEST(GuiRip, OcrJobAsksThroughTheWindowsWhichFollowTheTraining) {
    AppBench b;
    SubtitlesWindow& list = *b.app->subtitlesWindow();
    list.show();
    b.main<QAction>("EditViewCharactersMatrix1")->trigger();
    auto* learned = control<QListWidget>(b.app->matrixEditor(), "ListBoxMatrix");
    int questions = 0, rows = 0;
    b.answers->onChooseTextColour = [&](const Bitmap24& work, int guess) {
        QTimer::singleShot(0, b.app->textColour(), [&] {
            EXPECT_FALSE(list.isVisible()) << "the Subtitles window makes way";
            QTest::mouseClick(control<QPushButton>(b.app->textColour(), "ButtonOk"),
                              Qt::LeftButton);
        });
        return b.answers->windows.chooseTextColour(work, guess);
    };
    b.answers->onAskGlyph = [&](const GlyphQuestion& q) {
        EXPECT_EQ(learned->count(), questions++) << "the editor lists every glyph learned";
        EXPECT_TRUE(countersCurrent(b));
        EXPECT_GE(lineCount(list), rows) << "the list grows while the job runs";
        rows = lineCount(list);
        NewCharacterDialog* d = b.app->newCharacter();
        QTimer::singleShot(0, d, [d] {
            QTest::keyClicks(control<QLineEdit>(d, "EditText"), "x");
            QTest::mouseClick(control<QPushButton>(d, "BitBtn1"), Qt::LeftButton);
        });
        return b.answers->windows.askGlyph(q);
    };
    b.listAndCheck(discFolder("pal_en"));
    ASSERT_TRUE(b.start(0));
    runJob(*b.app);
    ASSERT_TRUE(b.session().job().finished());
    EXPECT_TRUE(list.isVisible());
    EXPECT_GT(questions, 10);
    EXPECT_EQ(questions, b.session().matrix().count());
    EXPECT_GT(rows, 0);
}
