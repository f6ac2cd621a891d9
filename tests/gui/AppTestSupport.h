#pragma once

#include "TempFolder.h"
#include "rip/Session.h"
#include "settings/LanguageFile.h"
#include "ui/AboutDialog.h"
#include "ui/Application.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/MatrixEditor.h"
#include "ui/NewCharacterDialog.h"
#include "ui/OcrSetupDialog.h"
#include "ui/OutputFormatDialog.h"
#include "ui/PostOcrDialog.h"
#include "ui/ProgressionDialog.h"
#include "ui/RadioGroup.h"
#include "ui/SplitDialog.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TextColourDialog.h"
#include "ui/TimeCorrectionDialog.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <map>

namespace mirtal::test {

// A window's control by its objectName, the name the language files know.
template <typename T> T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control named ") + name + " in " +
                                 window->objectName().toStdString());
    return found;
}

// The engine's questions answered by the test, else by the windows (it must not
// outlive the application).
struct ScriptedAnswers final : QtHost::Answers {
    explicit ScriptedAnswers(QtHost& host) : windows(*host.answers()) { host.setAnswers(this); }

    std::function<std::optional<int>(const Bitmap24&, int)> onChooseTextColour;
    std::function<GlyphAnswer(const GlyphQuestion&)> onAskGlyph;
    std::function<bool()> onAdjustBitmap;
    QtHost::Answers& windows;

    std::optional<int> chooseTextColour(const Bitmap24& work, int guess) override {
        return onChooseTextColour ? onChooseTextColour(work, guess)
                                  : windows.chooseTextColour(work, guess);
    }
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        return onAskGlyph ? onAskGlyph(q) : windows.askGlyph(q);
    }
    bool adjustBitmap() override {
        return onAdjustBitmap ? onAdjustBitmap() : windows.adjustBitmap();
    }
    ProgressionChoice waitAtProgression() override { return windows.waitAtProgression(); }
};

inline std::filesystem::path discFolder(const std::string& disc) {
    return std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc / "VIDEO_TS";
}
inline std::filesystem::path shippedLanguageFolder() {
    return std::filesystem::path(MIRTAL_TEST_DATA) / ".." / ".." / "lang";
}

// The job setup as the user fills it: "Open Dir" on a file of the folder,
// then the entries' check marks (no rows: all).
inline void listVobFolder(Application& app, const std::filesystem::path& dir) {
    app.dialogs().files.push_back(dir / "list.vob");
    control<QPushButton>(app.jobSetup(), "ButtonOpenDir")->click();
}
inline void checkVobEntries(Application& app, std::vector<int> rows = {}) {
    auto* list = control<QListWidget>(app.jobSetup(), "CheckListBoxVob");
    for (int i = 0; i < list->count(); ++i)
        if (rows.empty() || std::count(rows.begin(), rows.end(), i))
            list->item(i)->setCheckState(Qt::Checked);
}
// Clicks the action's radio button (0 OCR, 1 BMP, 2 SUP, 3 show only, 4 VobSub).
inline void chooseAction(Application& app, int action) {
    control<RadioGroup>(app.jobSetup(), "RadioGroupAction")
        ->findChildren<QRadioButton*>()
        .at(action)
        ->click();
}
inline QCheckBox* jobOption(Application& app, const char* name) {
    return control<QCheckBox>(app.jobSetup(), name);
}
// Clicks the button once the modal dialog about to open runs its own loop.
inline void clickLater(QWidget* window, const char* button) {
    QTimer::singleShot(0, window, [window, button] {
        QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
    });
}

// Start, and whether the job started (the dialog then closes as accepted).
inline bool pressStart(Application& app) {
    app.jobSetup()->setResult(QDialog::Rejected);
    control<QPushButton>(app.jobSetup(), "BitBtnStart")->click();
    return app.jobSetup()->result() == QDialog::Accepted;
}
// Timer ticks until the job is finished, halted or paused (at most `limit`).
inline void runJob(Application& app, int limit = 50) {
    Session& s = app.session();
    for (int n = 0; n < limit && !s.job().finished() && !s.engine().halted() && !s.job().Paused;
         ++n)
        app.tick();
}

// What the Subtitles window's list shows.
inline QString lineText(const QWidget& window, int row) {
    const QAbstractItemModel* model = control<QListView>(&window, "ListBoxSubtitle")->model();
    return model->data(model->index(row, 0)).toString();
}
inline int lineCount(const QWidget& window) {
    return control<QListView>(&window, "ListBoxSubtitle")->model()->rowCount();
}

inline std::map<std::string, std::string> iniTexts(const IniFile& ini) {
    std::map<std::string, std::string> out;
    for (const std::string& s : ini.sectionNames())
        for (const std::string& k : ini.keyNames(s)) out[s + "/" + k] = *ini.value(s, k);
    return out;
}
// Every text as "Save Lang" writes them now, keyed "section/key".
inline std::map<std::string, std::string> exportedTexts(Application& app) {
    const std::filesystem::path file =
        languageFolderIn(app.settingsFolder()) / kLanguageTemplateName;
    std::filesystem::remove(file);
    control<QPushButton>(app.mainWindow(), "Button1")->click();
    IniFile ini;
    if (Result r = ini.load(file); !r) throw std::runtime_error(r.error);
    std::filesystem::remove(file);
    return iniTexts(ini);
}

// One run of the program, every dialog scripted; the bitmap adjustment says
// OK at once unless a test answers it.
struct AppBench {
    TempFolder folder;
    std::unique_ptr<Application> app;
    std::unique_ptr<ScriptedAnswers> answers;

    AppBench() {
        // No quit posted at a close for a later modal loop to pick up.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        restart();
    }
    ~AppBench() { EXPECT_EQ(app ? app->dialogs().unexpected : 0, 0); }
    // A second run on the same folder (the settings of the first are read).
    void restart() {
        answers.reset(), app.reset();
        app = std::make_unique<Application>(Application::Options{folder.path(), true});
        answers = std::make_unique<ScriptedAnswers>(app->host());
        answers->onAdjustBitmap = [] { return true; };
        app->start();
    }

    Session& session() { return app->session(); }
    UiDialogs& dialogs() { return app->dialogs(); }
    MainWindow& mainWindow() { return *app->mainWindow(); }
    JobSetupDialog& jobSetup() { return *app->jobSetup(); }
    template <typename T> T* main(const char* name) { return control<T>(app->mainWindow(), name); }
    template <typename T> T* setup(const char* name) { return control<T>(app->jobSetup(), name); }

    void listAndCheck(const std::filesystem::path& dir) {
        listVobFolder(*app, dir);
        checkVobEntries(*app);
    }
    // Start for the action, with a prefix answer for BMP and SUP.
    bool start(int action, const std::filesystem::path& prefix = {}) {
        chooseAction(*app, action);
        if (action == 1 || action == 2) dialogs().files.push_back(prefix);
        return pressStart(*app);
    }
};

} // namespace mirtal::test
