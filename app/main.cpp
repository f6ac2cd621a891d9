// Mirtal, the GUI. `mirtal --help` lists the options.

#include "settings/LanguageFile.h"
#include "settings/SettingsFile.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace {

int exportLanguageTemplate() {
    mirtal::Application::Options options;
    options.programFolder =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    options.scriptedDialogs = true;
    mirtal::Application app(options);
    if (mirtal::Result r = app.exportLanguageTemplate(); !r) {
        std::fprintf(stderr, "mirtal: %s\n", r.error.c_str());
        return 1;
    }
    std::printf("%s\n", (app.languageFolders().front() / "New_LangFile.lng").string().c_str());
    return 0;
}

std::filesystem::path programFolder() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

void printHelp() {
    std::printf(
        "Usage: mirtal [OPTION]\n"
        "Turns the picture subtitles of DVD-Video discs into timed text. Without an option,\n"
        "opens the main window; mirtal-rip runs the same engine on the command line.\n"
        "\n"
        "      --export-language-template\n"
        "             for translators: write every text of every window and message, in\n"
        "             English, to New_LangFile.lng in the user's language folder (below),\n"
        "             print its path and exit without showing a window\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n\n");
    // Where this copy of the program keeps and finds things, for the user
    // looking for them and the translator adding a language.
    const std::filesystem::path folder = programFolder();
    const std::filesystem::path settings = mirtal::settingsFolderFor(folder);
    std::printf("Settings file: %s\nLanguage folders:\n",
                (settings / mirtal::kSettingsFileName).string().c_str());
    for (const std::filesystem::path& lang : mirtal::languageFoldersFor(folder, settings)) {
        std::string names;
        for (const mirtal::LanguageEntry& e : mirtal::listLanguages(lang))
            names += (names.empty() ? "" : ", ") + e.name;
        std::printf("  %s (%s)\n", lang.string().c_str(), names.empty() ? "none" : names.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    // Answered before any window system is asked for, as a terminal user expects.
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        printHelp();
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("mirtal (Mirtal) " MIRTAL_VERSION "\n");
        return 0;
    }
    // The template needs no screen: it can be written where there is none.
    const bool exportTemplate =
        argc == 2 && std::string_view(argv[1]) == "--export-language-template";
    if (exportTemplate && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Mirtal");
    QApplication::setApplicationVersion(MIRTAL_VERSION);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(MIRTAL_APP_ID);
    const QStringList args = QCoreApplication::arguments();
    if (exportTemplate) return exportLanguageTemplate();
    if (args.size() > 1) {
        std::fprintf(stderr,
                     "mirtal: unknown option or arguments: %s\n"
                     "Try 'mirtal --help' for more information.\n",
                     qPrintable(args.mid(1).join(' ')));
        return 2;
    }
    mirtal::Application::Options options;
    options.programFolder =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    mirtal::Application mirtal(options);
    // The program ends when its main window closes, whatever other window is
    // still open; a refused close request keeps everything running.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(mirtal.mainWindow(), &mirtal::MainWindow::closed, qApp,
                     &QCoreApplication::quit);
    mirtal.start();
    return QApplication::exec();
}
