// Pictures of every window at its default size, in each language given, for
// the documentation and for looking at a layout with the fonts users have:
//
//   xvfb-run -s "-screen 0 1600x1200x24" window_shots OUTDIR [LANGUAGE...]
//
// LANGUAGE is the name of a file in the source tree's lang folder
// ("Francais"); without one only English is taken. Each window is written as
// OUTDIR/<window>-<language>.png. Settings go to a temporary folder.
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
#include "ui/SplitDialog.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TextColourDialog.h"
#include "ui/TimeCorrectionDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace mirtal;

namespace {

// Lets the window system answer: a window that grows for a longer text is
// only resized once the X server has confirmed it.
void settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

struct Shot {
    const char* name;
    QWidget* window;
};

std::vector<Shot> windowsOf(Application& app) {
    return {{"main-window", app.mainWindow()},
            {"job-setup", app.jobSetup()},
            {"progression", app.progression()},
            {"about", app.about()},
            {"new-character", app.newCharacter()},
            {"ocr-setup", app.ocrSetup()},
            {"matrix-editor", app.matrixEditor()},
            {"text-colour", app.textColour()},
            {"subtitles", app.subtitlesWindow()},
            {"post-ocr", app.postOcr()},
            {"output-format", app.outputFormat()},
            {"time-correction", app.timeCorrection()},
            {"split", app.split()},
            {"bitmap-adjustment", app.bitmapAdjust()}};
}

bool shoot(Application& app, const QString& folder, const QString& language) {
    for (const auto& [name, window] : windowsOf(app)) {
        window->show();
        settle();
        const QString file = folder + "/" + name + "-" + language.toLower() + ".png";
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        }
        window->hide();
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_shots OUTDIR [LANGUAGE...]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir programFolder;
    Application app(Application::Options{programFolder.path().toStdString(), true});
    app.start();
    if (!shoot(app, out, "English")) return 1;
    for (int i = 2; i < argc; ++i) {
        const std::string language = argv[i];
        const std::filesystem::path shipped =
            std::filesystem::path(MIRTAL_SOURCE_LANG) / (language + ".lng");
        const std::filesystem::path folder = languageFolderIn(app.settingsFolder());
        std::filesystem::create_directories(folder);
        std::error_code ec;
        std::filesystem::copy_file(shipped, folder / (language + ".lng"),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            std::fprintf(stderr, "cannot read %s: %s\n", shipped.c_str(), ec.message().c_str());
            return 1;
        }
        // As a user loads it: from the menu of the main window on the screen.
        app.mainWindow()->show();
        settle();
        app.loadLanguage(language);
        settle();
        if (!shoot(app, out, QString::fromStdString(language))) return 1;
    }
    return 0;
}
