// Mirtal, the GUI. `mirtal --help` lists the options.

#include "rip/Session.h"
#include "settings/LanguageFile.h"
#include "settings/SettingsFile.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/QtHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace {

int measureDispatch(const std::filesystem::path& vob, bool showOnly) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(vob, ec)) {
        std::fprintf(stderr, "mirtal: %s is not a file\n", vob.string().c_str());
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "mirtal: no temporary folder: %s\n", qPrintable(folder.errorString()));
        return 2;
    }
    const std::filesystem::path programFolder(folder.path().toStdString());
    mirtal::Application::Options options;
    options.programFolder = programFolder;
    options.scriptedDialogs = true; // an error box must not wait for a click nobody gives
    mirtal::Application app(options);
    app.start();
    app.form1()->CheckBoxShowSubPict->setChecked(true);

    mirtal::JobSetup setup;
    setup.files = {vob};
    setup.action = showOnly ? mirtal::kActionShow : mirtal::kActionSup;
    setup.picturePrefix = (programFolder / "pict").string();
    setup.showSubPict = true;
    std::string error;
    if (!app.session().startJob(setup, &error)) {
        std::fprintf(stderr, "mirtal: %s\n", error.c_str());
        return 2;
    }
    // Nobody is there to answer the bitmap adjustment step or the
    // progression controller.
    app.session().ShowEachPicture = false;
    app.session().job().NoStop = true;
    app.host().resetDispatchGap();
    QElapsedTimer wall;
    wall.start();
    QTimer done;
    done.setInterval(50);
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (app.session().job().finished() || app.session().engine().halted())
            QCoreApplication::quit();
    });
    done.start();
    QApplication::exec();
    const mirtal::RipJob& job = app.session().job();
    std::printf("file            %s\n", vob.string().c_str());
    std::printf("size            %llu KiB\n", static_cast<unsigned long long>(job.TotalSizeKb));
    std::printf("subpictures     %u\n", job.TotalPictures);
    std::printf("wall time       %lld ms\n", static_cast<long long>(wall.elapsed()));
    std::printf("longest gap     %lld ms between two event dispatches\n",
                static_cast<long long>(app.host().longestDispatchGapMs()));
    std::printf("dialog answers  %zu message(s) shown\n", app.dialogs().asked.size());
    return 0;
}

int exportLanguageTemplate() {
    mirtal::Application::Options options;
    options.programFolder =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    options.scriptedDialogs = true;
    mirtal::Application app(options);
    if (mirtal::FileResult r = app.exportLanguageTemplate(); !r) {
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
        "      --measure-dispatch VOB [sup|show]\n"
        "             rip VOB in the main window with the SUP action (sup, the default) or\n"
        "             showing every picture without stopping (show), print the longest time\n"
        "             the windows went without handling events, and exit; the settings and\n"
        "             pictures go to a temporary folder that is removed afterwards\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n\n");
    // Where this copy of the program keeps and finds things, for the user
    // looking for them and the translator adding a language.
    const std::filesystem::path folder = programFolder();
    const std::filesystem::path settings = mirtal::SettingsFolder(folder);
    std::printf("Settings file: %s\nLanguage folders:\n",
                (settings / mirtal::kSettingsFileName).string().c_str());
    for (const std::filesystem::path& lang : mirtal::LanguageFolders(folder, settings)) {
        std::string names;
        for (const mirtal::LanguageEntry& e : mirtal::ListLanguages(lang))
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
    const bool exportTemplate = argc == 2 && std::string_view(argv[1]) == "--export-language-template";
    if (exportTemplate && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Mirtal");
    QApplication::setApplicationVersion(MIRTAL_VERSION);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(MIRTAL_APP_ID);
    const QStringList args = QCoreApplication::arguments();
    if ((args.size() == 3 || args.size() == 4) && args[1] == "--measure-dispatch" &&
        (args.size() == 3 || args[3] == "sup" || args[3] == "show"))
        return measureDispatch(std::filesystem::path(args[2].toStdString()),
                               args.size() == 4 && args[3] == "show");
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
    mirtal::MainWindow& form1 = *mirtal.form1();
    form1.onClosed = [closed = form1.onClosed] {
        if (closed) closed();
        QCoreApplication::quit();
    };
    mirtal.start();
    return QApplication::exec();
}
