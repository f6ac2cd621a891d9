#pragma once

#include "SubtitleWindowsTestSupport.h"
#include "rip/Session.h"
#include "ui/Application.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mirtal::test {

inline std::filesystem::path discFolder(const std::string& disc) {
    return std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc / "VIDEO_TS";
}

// One run of the program on a temporary program folder, every dialog
// scripted. The windows that wait for the user in a real run (bitmap
// adjustment) say OK at once unless a test installs its own answer.
struct AppBench {
    TempFolder folder;
    std::unique_ptr<Application> app;

    explicit AppBench(bool startNow = true) {
        // Closing the main window in a test must not post a quit that a
        // later modal loop would pick up.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        make();
        if (startNow) app->start();
    }
    // A second run on the same folder (the settings of the first are read).
    void restart(bool startNow = true) {
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
        jobSetup().scanDirectory(dir);
        QListWidget* list = jobSetup().CheckListBoxVob;
        if (rows.empty())
            for (int i = 0; i < list->count(); ++i) rows.push_back(i);
        for (int r : rows) list->item(r)->setCheckState(Qt::Checked);
    }
    // The job setup's Start for the action (0..3), with a prefix answer for
    // BMP and SUP.
    bool start(int action, const std::filesystem::path& prefix = {}) {
        jobSetup().RadioGroupAction->setItemIndex(action);
        jobSetup().RadioGroupActionClick();
        if (action == 1 || action == 2) dialogs().files.push_back(prefix);
        return jobSetup().BitBtnStartClick();
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
        app->host().onAdjustBitmap = [] { return true; };
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
