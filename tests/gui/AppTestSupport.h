#pragma once

#include "Controls.h"
#include "ScriptedAnswers.h"
#include "SubtitleWindowsTestSupport.h"
#include "rip/Session.h"
#include "ui/Application.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"
#include "ui/SubtitlesWindow.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mirtal::test {

inline std::filesystem::path discFolder(const std::string& disc) {
    return std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc / "VIDEO_TS";
}

// The job setup as the user fills it: "Open Dir" on a file of the folder.
inline void listVobFolder(Application& app, const std::filesystem::path& dir) {
    app.dialogs().files.push_back(dir / "list.vob");
    control<QPushButton>(app.jobSetup(), "ButtonOpenDir")->click();
}
inline void checkVobEntries(Application& app, std::vector<int> rows = {}) {
    auto* list = control<QListWidget>(app.jobSetup(), "CheckListBoxVob");
    if (rows.empty())
        for (int i = 0; i < list->count(); ++i) rows.push_back(i);
    for (int r : rows) list->item(r)->setCheckState(Qt::Checked);
}
// Checks the entry of the file of that name.
inline void checkVobEntry(Application& app, const std::string& fileName) {
    auto* list = control<QListWidget>(app.jobSetup(), "CheckListBoxVob");
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().section('[', 0, 0).trimmed().toStdString() == fileName)
            list->item(i)->setCheckState(Qt::Checked);
}
// Clicks the action's radio button (0 OCR, 1 BMP, 2 SUP, 3 show only, 4 VobSub).
inline void chooseAction(Application& app, int action) {
    auto* group = control<RadioGroup>(app.jobSetup(), "RadioGroupAction");
    group->findChildren<QRadioButton*>().at(action)->click();
}
inline PreviewPane& previewOf(MainWindow& w) {
    return *w.findChild<PreviewPane*>();
}
inline QCheckBox* jobOption(Application& app, const char* name) {
    return control<QCheckBox>(app.jobSetup(), name);
}
// Start, and whether the job started (the dialog then closes as accepted).
inline bool pressStart(Application& app) {
    JobSetupDialog& d = *app.jobSetup();
    d.setResult(QDialog::Rejected);
    control<QPushButton>(&d, "BitBtnStart")->click();
    return d.result() == QDialog::Accepted;
}

// One run of the program on a temporary program folder, every dialog
// scripted. The windows that wait for the user in a real run (bitmap
// adjustment) say OK at once unless a test installs its own answer.
struct AppBench {
    TempFolder folder;
    std::unique_ptr<Application> app;
    std::unique_ptr<ScriptedAnswers> answers;

    explicit AppBench(bool startNow = true) {
        // Closing the main window in a test must not post a quit that a
        // later modal loop would pick up.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        make();
        if (startNow) app->start();
    }
    // A second run on the same folder (the settings of the first are read).
    void restart(bool startNow = true) {
        answers.reset();
        app.reset();
        make();
        if (startNow) app->start();
    }

    Session& session() { return app->session(); }
    UiDialogs& dialogs() { return app->dialogs(); }
    MainWindow& mainWindow() { return *app->mainWindow(); }
    JobSetupDialog& jobSetup() { return *app->jobSetup(); }
    std::string lastMessage() { return dialogs().asked.empty() ? "" : dialogs().asked.back().text; }

    // Lists the folder in the job setup and checks the given entries (all by default).
    void listAndCheck(const std::filesystem::path& dir, std::vector<int> rows = {}) {
        listVobFolder(*app, dir);
        checkVobEntries(*app, rows);
    }
    // The job setup's Start for the action (0..3), with a prefix answer for
    // BMP and SUP.
    bool start(int action, const std::filesystem::path& prefix = {}) {
        chooseAction(*app, action);
        if (action == 1 || action == 2) dialogs().files.push_back(prefix);
        return pressStart(*app);
    }
    // Timer ticks until the job is finished, halted or paused (at most `limit`).
    int runTicks(int limit = 20) {
        int n = 0;
        while (n < limit && !session().job().finished() && !session().engine().halted() &&
               !session().job().Paused) {
            app->tick();
            ++n;
        }
        return n;
    }

private:
    void make() {
        app = std::make_unique<Application>(Application::Options{folder.path(), true});
        answers = std::make_unique<ScriptedAnswers>(app->host());
        answers->onAdjustBitmap = [] { return true; };
    }
};

inline std::vector<std::string> filesIn(const std::filesystem::path& dir, const std::string& ext) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ext) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace mirtal::test
