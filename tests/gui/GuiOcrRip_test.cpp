// OCR rips done through the windows, on the fixture discs: the text colour
// dialog, every unknown glyph asked in the new character dialog and answered
// from the disc's ground truth, the matrix editor following the training,
// and the matrix menu.
#include "AppTestSupport.h"
#include "Controls.h"
#include "ocr/CharMatrix.h"
#include "ocr/MatrixFile.h"
#include "ui/Application.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/MatrixEditor.h"
#include "ui/NewCharacterDialog.h"
#include "ui/NumericEdit.h"
#include "ui/OcrSetupDialog.h"
#include "ui/RadioGroup.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TextColorDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace mirtal;
using mirtal::test::control;
namespace fs = std::filesystem;

namespace {

// The ground truth of stream 0 of a fixture disc: the lines of every unit
// and its display start.
struct Truth {
    std::vector<std::vector<std::string>> units;
    std::vector<int32_t> startMs;

    explicit Truth(const std::string& disc) {
        const fs::path dir = fs::path(MIRTAL_TEST_DATA) / "discs" / disc;
        std::ifstream text(dir / "truth_s0.txt");
        units.emplace_back();
        for (std::string line; std::getline(text, line);) {
            if (line.empty())
                units.emplace_back();
            else
                units.back().push_back(line);
        }
        std::ifstream tsv(dir / "subs_s0.tsv");
        std::string row;
        std::getline(tsv, row); // header
        while (std::getline(tsv, row)) {
            std::istringstream fields(row);
            std::string index, pts, start;
            fields >> index >> pts >> start;
            startMs.push_back(std::stoi(start));
        }
    }
    // The unit displayed from this time on.
    int unitAt(int32_t ms) const {
        for (size_t i = 0; i < startMs.size(); ++i)
            if (std::abs(startMs[i] - ms) <= 2) return int(i);
        return -1;
    }
};

// What the boxes of a truth line read as, one character per box. The text
// colour is the fill of letters outlined 2 pixels wide, so no two letters
// touch: every character is one box, except the double quote, whose two
// strokes are two boxes, each the apostrophe. (The comparison folds the
// doubled apostrophes back, as the post-OCR correction does.) A line where
// that does not hold is reported, not guessed at.
std::string boxTexts(const std::string& line) {
    std::string out;
    for (char c : line) {
        if (c == ' ') continue;
        out += c == '"' ? std::string("''") : std::string(1, c);
    }
    return out;
}

// The words of a subtitle: its lines joined by blanks, doubled apostrophes
// read as a double quote.
std::vector<std::string> words(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + " ";
    for (size_t p; (p = all.find("''")) != std::string::npos;) all.replace(p, 2, "\"");
    std::istringstream in(all);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string joined(const std::vector<std::string>& w) {
    std::string s;
    for (const auto& x : w) s += (s.empty() ? "" : " ") + x;
    return s;
}

struct Asked {
    int unit;
    int line;
    int charIndex;
    int storedSubtitles; // entries in the document when it was asked
    int listedEntries;   // items in the matrix editor
    QString labelIndex;
    bool pictureShown;
    bool countersCurrent; // "Vob Pict." and "Total Pict." count this picture
};

class GuiOcrRip : public ::testing::Test {
protected:
    enum class Special { None, SkipLine, SkipSubpicture, Pause, ChangeColor };

    QTemporaryDir folder;
    std::unique_ptr<Application> app;
    std::unique_ptr<test::ScriptedAnswers> answers;
    std::unique_ptr<Truth> truth;
    std::vector<Asked> asked;
    std::vector<int> colourUnits; // unit of each text colour question
    std::vector<int> colourShownAs;
    std::vector<bool> subtitlesHiddenAtColour;
    std::vector<bool> countersCurrentAtColour;
    // Decides a glyph question other than by naming the glyph.
    std::function<Special(const GlyphQuestion&, int unit)> special;
    // Skips the colour question when it returns true.
    std::function<bool(int unit)> skipColour;

    Session& session() { return app->session(); }
    MainWindow& mainWindow() { return *app->mainWindow(); }

    void SetUp() override { open("pal_en"); }

    void open(const std::string& disc) {
        truth = std::make_unique<Truth>(disc);
        app = std::make_unique<Application>(
            Application::Options{fs::path(folder.path().toStdString()), true});
        mainWindow().show(); // the start-up steps of the first showing
        hookDialogs();
    }

    // Every modal question is answered from a callback posted just before
    // the dialog runs its own event loop.
    void hookDialogs() {
        answers = std::make_unique<test::ScriptedAnswers>(app->host());
        answers->onAskGlyph = [this](const GlyphQuestion& q) {
            QTimer::singleShot(0, [this, q] { answerGlyph(q); });
            return answers->windows.askGlyph(q);
        };
        answers->onChooseTextColour = [this](const Bitmap24& work, int guess) {
            const DisplayTimes times =
                SubpictureDisplayTimes(session().subpicture(), session().demuxer().spuStartTime());
            const int unit = truth->unitAt(TimeCodeToMs(times.start));
            QTimer::singleShot(0, [this, unit] { answerColour(unit); });
            return answers->windows.chooseTextColour(work, guess);
        };
    }

    void answerColour(int unit) {
        TextColorDialog& d = *app->textColour();
        ASSERT_TRUE(d.isVisible());
        colourUnits.push_back(unit);
        colourShownAs.push_back(control<QComboBox>(&d, "ComboBoxTextColor")->currentIndex());
        subtitlesHiddenAtColour.push_back(!app->subtitlesWindow()->isVisible());
        countersCurrentAtColour.push_back(countersCurrent());
        const char* button = skipColour && skipColour(unit) ? "ButtonSkipPict" : "ButtonOk";
        QTest::mouseClick(control<QPushButton>(&d, button), Qt::LeftButton);
    }

    void answerGlyph(const GlyphQuestion& q) {
        NewCharacterDialog& d = *app->newCharacter();
        ASSERT_TRUE(d.isVisible());
        const int unit = truth->unitAt(q.startMs);
        asked.push_back({unit, q.line, q.charIndex, session().document().NbSubTitle(),
                         listedEntries(), control<QLabel>(&d, "LabelIndex")->text(),
                         !control<QLabel>(&d, "ImageChar")->pixmap().isNull(), countersCurrent()});
        auto click = [&d](const char* button) {
            QTest::mouseClick(control<QPushButton>(&d, button), Qt::LeftButton);
        };
        switch (special ? special(q, unit) : Special::None) {
        case Special::SkipLine:
            return click("ButtonSkipLine");
        case Special::SkipSubpicture:
            return click("ButtonSkipSubPict");
        case Special::Pause:
            return click("ButtonPause");
        case Special::ChangeColor:
            return click("ButtonChangeColor");
        case Special::None:
            break;
        }
        std::string text = "?";
        if (unit >= 0 && q.line <= int(truth->units[size_t(unit)].size())) {
            const std::string boxes = boxTexts(truth->units[size_t(unit)][size_t(q.line - 1)]);
            if (boxes.size() == q.lineBoxes.size())
                text = boxes.substr(size_t(q.charIndex - 1), 1);
            else
                ADD_FAILURE() << "unit " << unit << " line " << q.line << ": " << q.lineBoxes.size()
                              << " boxes for \"" << boxes << "\"";
        } else {
            ADD_FAILURE() << "no truth for the glyph at " << q.startMs << " ms, line " << q.line;
        }
        QTest::keyClicks(control<QLineEdit>(&d, "EditText"), QString::fromStdString(text));
        click("BitBtn1");
    }

    int listedEntries() {
        return control<QListWidget>(app->matrixEditor(), "ListBoxMatrix")->count();
    }

    bool countersCurrent() {
        const RipJob& job = session().job();
        return test::control<QLabel>(&mainWindow(), "LabelNbSup")->text() ==
                   QString::number(job.VobPictures) &&
               test::control<QLabel>(&mainWindow(), "LabelTotalNbSup")->text() ==
                   QString::number(job.TotalPictures);
    }

    // The spacing of this disc's text: its fill-only glyphs stand up to 8
    // empty columns apart inside a word and at least 12 between words, so
    // the user sets the space width to 10 in the OCR advanced setup.
    void setSpaceWidth(int width) {
        QTimer::singleShot(0, [this, width] {
            OcrSetupDialog& d = *app->ocrSetup();
            ASSERT_TRUE(d.isVisible());
            auto* field = control<QLineEdit>(&d, "Integer_uMinSpaceWidth");
            field->selectAll();
            QTest::keyClicks(field, QString::number(width));
            QTest::mouseClick(control<QPushButton>(&d, "BitBtnOk"), Qt::LeftButton);
        });
        test::control<QAction>(&mainWindow(), "OCRAdvancedSetup1")->trigger();
    }

    // The job setup with the disc's VOB files checked and the OCR action.
    void startJob(const std::string& disc) {
        test::listVobFolder(*app, fs::path(MIRTAL_TEST_DATA) / "discs" / disc / "VIDEO_TS");
        test::checkVobEntries(*app);
        test::chooseAction(*app, 0);
        // the truth's times are the stream clock's
        test::jobOption(*app, "CheckBoxFromVideoStart")->setChecked(false);
        ASSERT_TRUE(test::pressStart(*app));
    }

    // Timer ticks until the job is over or paused.
    void tickUntilStopped() {
        for (int i = 0; i < 20 && !session().job().finished() && !session().job().Paused; ++i)
            app->tick();
    }

    std::vector<std::vector<std::string>> storedWords() {
        std::vector<std::vector<std::string>> out;
        const SubtitleStore& store = session().document().store();
        for (int i = 1; i <= store.NbSubTitle(); ++i) {
            const TSub& e = store.entry(i);
            out.push_back(
                words(std::vector<std::string>(e.Lines.begin(), e.Lines.begin() + e.NbLines)));
        }
        return out;
    }

    std::vector<std::vector<std::string>> truthWords(const std::vector<int>& dropped = {}) {
        std::vector<std::vector<std::string>> out;
        for (size_t u = 0; u < truth->units.size(); ++u)
            if (std::find(dropped.begin(), dropped.end(), int(u)) == dropped.end())
                out.push_back(words(truth->units[u]));
        return out;
    }

    void expectText(const std::vector<std::vector<std::string>>& expected) {
        const auto got = storedWords();
        ASSERT_EQ(got.size(), expected.size());
        int wrong = 0;
        for (size_t i = 0; i < got.size(); ++i)
            if (got[i] != expected[i]) {
                ++wrong;
                ADD_FAILURE() << "subtitle " << i + 1 << ": \"" << joined(got[i])
                              << "\" instead of \"" << joined(expected[i]) << "\"";
            }
        EXPECT_EQ(wrong, 0);
    }

    int questionsIn(int unit) const {
        return int(std::count_if(asked.begin(), asked.end(),
                                 [unit](const Asked& a) { return a.unit == unit; }));
    }
};

TEST_F(GuiOcrRip, WholeDiscReadsAsItsTruthAndTheSavedMatrixReadsItAgainWithoutAQuestion) {
    setSpaceWidth(10);
    EXPECT_EQ(session().ocrSettings().SpaceWidth, 10);
    test::control<QAction>(&mainWindow(), "EditViewCharactersMatrix1")->trigger();
    ASSERT_TRUE(app->matrixEditor()->isVisible());
    startJob("pal_en");
    ASSERT_TRUE(app->subtitlesWindow()->isVisible());
    tickUntilStopped();
    ASSERT_TRUE(session().job().finished());
    expectText(truthWords());
    // The colour was asked once, at the first picture, with the fill guessed;
    // the Subtitles window made way for it and came back.
    EXPECT_EQ(colourUnits, std::vector<int>{0});
    EXPECT_EQ(colourShownAs, std::vector<int>{2});
    EXPECT_EQ(subtitlesHiddenAtColour, std::vector<bool>{true});
    EXPECT_EQ(countersCurrentAtColour, std::vector<bool>{true});
    EXPECT_TRUE(app->subtitlesWindow()->isVisible());

    // One question per glyph learned; each shows the number the entry gets,
    // comes when the subtitles before it are in the document, and finds every
    // glyph learned so far in the editor.
    const CharMatrix& m = session().matrix();
    ASSERT_EQ(int(asked.size()), m.Count());
    EXPECT_GT(m.Count(), 40);
    for (size_t i = 0; i < asked.size(); ++i) {
        EXPECT_EQ(asked[i].labelIndex, "Symbol index : " + QString::number(i + 1));
        EXPECT_EQ(asked[i].storedSubtitles, asked[i].unit) << "question " << i;
        EXPECT_EQ(asked[i].listedEntries, int(i));
        EXPECT_TRUE(asked[i].pictureShown);
        EXPECT_TRUE(asked[i].countersCurrent) << "question " << i;
    }
    EXPECT_EQ(listedEntries(), m.Count());
    EXPECT_EQ(session().job().TotalPictures, truth->units.size());
    // The counter bar says how many shapes were asked, none named by votes.
    EXPECT_EQ(test::control<QLabel>(&mainWindow(), "LabelGlyphsAsked")->text(),
              QString::number(m.Count()));
    EXPECT_EQ(test::control<QLabel>(&mainWindow(), "LabelGlyphsNamed")->text(), "0");

    // Saving through the menu asks for a name, since the matrix has none.
    const fs::path file = fs::path(folder.path().toStdString()) / "discs" / "pal_en.qmx";
    fs::create_directories(file.parent_path());
    app->dialogs().files.push_back(file);
    test::control<QAction>(&mainWindow(), "SaveCharacterMatrix1")->trigger();
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 280u + 277u * unsigned(m.Count()));
    EXPECT_FALSE(m.Modified());
    EXPECT_EQ(test::control<QLineEdit>(app->jobSetup(), "EditCharMatrixFile")->text(),
              "pal_en.qmx");
    EXPECT_EQ(app->matrixEditor()->windowTitle(), "View/Edit Character Matrix - pal_en.qmx -");
    EXPECT_EQ(app->settings().SaveDialogCharMatrix, file.parent_path().string() + "/");
    EXPECT_EQ(app->dialogs().unexpected, 0);

    // A new run of the program opens it from the job setup and asks nothing.
    const int trained = m.Count();
    app.reset();
    asked.clear();
    colourUnits.clear();
    open("pal_en");
    setSpaceWidth(10);
    app->dialogs().files.push_back(file);
    QTest::mouseClick(test::control<QPushButton>(app->jobSetup(), "ButtonOpenCharMatrixFile"),
                      Qt::LeftButton);
    EXPECT_EQ(session().matrix().Count(), trained);
    EXPECT_EQ(control<QLineEdit>(app->jobSetup(), "EditCharMatrixFile")->text(), "pal_en.qmx");
    EXPECT_EQ(listedEntries(), trained);
    startJob("pal_en");
    tickUntilStopped();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(test::control<QLabel>(&mainWindow(), "LabelGlyphsAsked")->text(), "0");
    EXPECT_EQ(colourUnits, std::vector<int>{0});
    expectText(truthWords());
    EXPECT_FALSE(session().matrix().Modified());
}

// Skip this Picture in the colour dialog (unit 0), Skip This Line on the
// first question of a second line, Skip This SubPicture (unit 5).
TEST_F(GuiOcrRip, SkippedPicturesLinesAndSubpicturesLeaveOnlyTheirPartOut) {
    setSpaceWidth(10);
    skipColour = [](int unit) { return unit == 0; };
    int skippedLine = -1;
    special = [&](const GlyphQuestion& q, int unit) {
        if (unit == 5 && questionsIn(5) == 1) return Special::SkipSubpicture;
        if (skippedLine < 0 && q.line == 2 && unit != 5) {
            skippedLine = unit;
            return Special::SkipLine;
        }
        return Special::None;
    };
    startJob("pal_en");
    tickUntilStopped();
    ASSERT_TRUE(session().job().finished());
    ASSERT_GT(skippedLine, 0);
    EXPECT_EQ(colourUnits, (std::vector<int>{0, 1})) << "asked again at the next picture";
    std::vector<std::vector<std::string>> expected;
    for (int u = 1; u < int(truth->units.size()); ++u) {
        if (u == 5) continue;
        std::vector<std::string> lines = truth->units[size_t(u)];
        if (u == skippedLine) lines.erase(lines.begin() + 1);
        expected.push_back(words(lines));
    }
    expectText(expected);
    EXPECT_EQ(session().job().TotalPictures, truth->units.size() - 1)
        << "the dropped one is not counted";
    EXPECT_EQ(test::control<QLabel>(&mainWindow(), "LabelTotalNbSup")->text(),
              QString::number(truth->units.size() - 1));
}

// Pause (unit 4): the same glyph is asked again after Continue. Change Text
// Color (unit 9): the rip pauses, goes on by itself at the next tick, asks
// the colour again and reads that picture again.
TEST_F(GuiOcrRip, PauseAndChangeTextColorReadTheSubpictureAgain) {
    setSpaceWidth(10);
    special = [&](const GlyphQuestion&, int unit) {
        if (unit == 4 && questionsIn(4) == 1) return Special::Pause;
        if (unit == 9 && questionsIn(9) == 1) return Special::ChangeColor;
        return Special::None;
    };
    startJob("pal_en");
    tickUntilStopped();
    ASSERT_TRUE(session().job().Paused);
    ASSERT_FALSE(session().job().Busy);
    EXPECT_EQ(test::control<QPushButton>(&mainWindow(), "ButtonPause")->text(), "Co&ntinue >");
    EXPECT_EQ(session().document().NbSubTitle(), 4);
    const Asked pausedAt = asked.back();
    QTest::mouseClick(test::control<QPushButton>(&mainWindow(), "ButtonPause"), Qt::LeftButton);
    const size_t resumedAt = asked.size();
    app->tick();
    ASSERT_GT(asked.size(), resumedAt);
    EXPECT_EQ(asked[resumedAt].unit, pausedAt.unit);
    EXPECT_EQ(asked[resumedAt].line, pausedAt.line);
    EXPECT_EQ(asked[resumedAt].charIndex, pausedAt.charIndex);

    ASSERT_TRUE(session().job().Paused) << "paused by Change Text Color";
    EXPECT_FALSE(session().ocrState().textColorChosen());
    EXPECT_EQ(session().document().NbSubTitle(), 9);
    for (int i = 0; i < 20 && !session().job().finished(); ++i) app->tick();
    ASSERT_TRUE(session().job().finished());
    EXPECT_EQ(colourUnits, (std::vector<int>{0, 9}));
    EXPECT_GE(questionsIn(9), 2);
    expectText(truthWords());
    EXPECT_EQ(session().job().TotalPictures, truth->units.size()) << "each counted once";
}

// ---------------------------------------------------------------------------
// The matrix menu and its questions, without a rip.

class MatrixMenu : public GuiOcrRip {
protected:
    fs::path dir() const { return fs::path(folder.path().toStdString()); }
    void learnSomething() {
        CharMatrixEntry e;
        e.Width = 2;
        e.Height = 3;
        e.Text = "x";
        session().matrix().AppendEntry(e);
        session().ocr().options().onLearned(session().matrix().Count());
    }
    const std::string modified = "Character Matrix  has been modified.\rDo you want to Save it ?";
};

TEST_F(MatrixMenu, NewOpenAndQuitAskToSaveAModifiedMatrix) {
    learnSomething();
    UiDialogs& d = app->dialogs();
    d.answers = {Answer::Cancel};
    test::control<QAction>(&mainWindow(), "NewCharaterMatrix1")->trigger();
    EXPECT_EQ(d.asked.back().text, modified);
    EXPECT_EQ(session().matrix().Count(), 1) << "cancelled";
    d.answers = {Answer::Cancel};
    EXPECT_FALSE(mainWindow().close());
    EXPECT_EQ(d.asked.back().text, modified);

    // Yes saves it first; the open dialog then starts in the folder saved to.
    const fs::path file = dir() / "m" / "a.qmx";
    fs::create_directories(file.parent_path());
    d.answers = {Answer::Yes};
    d.files = {file, std::nullopt};
    test::control<QAction>(&mainWindow(), "OpenCharacterMatrix1")->trigger();
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(d.fileRequests.at(0).title, "Save current Character Matrix File");
    EXPECT_EQ(d.fileRequests.at(1).initialFolder, file.parent_path());
    EXPECT_EQ(session().matrix().Count(), 1) << "open cancelled: the matrix stays";
    EXPECT_EQ(app->settings().OpenDialogCharMatrix, file.parent_path().string() + "/");

    learnSomething();
    d.answers = {Answer::No};
    test::control<QAction>(&mainWindow(), "NewCharaterMatrix1")->trigger();
    EXPECT_EQ(session().matrix().Count(), 0);
    EXPECT_EQ(listedEntries(), 0);
    EXPECT_EQ(control<QLineEdit>(app->jobSetup(), "EditCharMatrixFile")->text(), "New File");
    EXPECT_EQ(d.unexpected, 0);
}

TEST_F(MatrixMenu, SaveAsksForANameOnlyWithoutAFileAndSaveAsAsksBeforeReplacing) {
    learnSomething();
    UiDialogs& d = app->dialogs();
    const fs::path file = dir() / "b.qmx";
    d.files = {file};
    test::control<QAction>(&mainWindow(), "SaveCharacterMatrix1")->trigger();
    learnSomething();
    test::control<QAction>(&mainWindow(), "SaveCharacterMatrix1")->trigger();
    EXPECT_EQ(d.fileRequests.size(), 1u);
    EXPECT_EQ(fs::file_size(file), 280u + 2 * 277u);

    d.files = {file};
    d.answers = {Answer::No};
    learnSomething();
    test::control<QAction>(&mainWindow(), "SaveCharacterMatrixAs1")->trigger();
    EXPECT_EQ(d.asked.back().text, "File b.qmx already exists ! Replace ?");
    EXPECT_EQ(fs::file_size(file), 280u + 2 * 277u);
    EXPECT_TRUE(session().matrix().Modified());
    EXPECT_EQ(d.unexpected, 0);
}

// The save dialogs refuse a file the program is using (the matrix's own
// Save As above may still rewrite it).
TEST_F(MatrixMenu, SaveDialogsRefuseAFileInUse) {
    learnSomething();
    UiDialogs& d = app->dialogs();
    const fs::path file = dir() / "c.qmx";
    d.files = {file};
    test::control<QAction>(&mainWindow(), "SaveCharacterMatrix1")->trigger();
    const auto saved = fs::file_size(file);
    session().document().AddSubtitle({"Hello"}, false, MsToTimeCode(1000), MsToTimeCode(2000), {});
    session().document().RefreshList();
    d.files = {file};
    d.answers = {Answer::Ok};
    app->subtitlesWindow()->findChild<QAction*>("Saveas1")->trigger();
    EXPECT_NE(d.asked.back().text.find("is the character matrix " + file.string()),
              std::string::npos);
    EXPECT_EQ(fs::file_size(file), saved);
    EXPECT_EQ(d.unexpected, 0);
}

TEST_F(MatrixMenu, OpeningABadFileWarnsAndKeepsTheMatrix) {
    learnSomething();
    session().matrix().setModified(false);
    const fs::path bad = dir() / "bad.qmx";
    std::ofstream(bad) << "mirtal_char_matrix_file and more";
    UiDialogs& d = app->dialogs();
    d.files = {bad};
    d.answers = {Answer::Ok};
    test::control<QAction>(&mainWindow(), "OpenCharacterMatrix1")->trigger();
    EXPECT_EQ(d.asked.back().text, "This is NOT a valid Char Matrix File !");
    EXPECT_EQ(session().matrix().Count(), 1);
    EXPECT_EQ(listedEntries(), 1);
}

} // namespace
