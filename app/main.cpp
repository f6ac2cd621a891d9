// Mirtal, the GUI.
//
//   mirtal                          the program
//   mirtal --measure-dispatch VOB [sup|show]
//                                   rips VOB in the main window, with the SUP
//                                   action and "Show Pict." on (sup, the
//                                   default) or showing every picture without
//                                   stopping (show), then prints the longest
//                                   time the windows went without handling
//                                   events, and exits. The settings and the SUP
//                                   files go to a temporary folder that is
//                                   removed afterwards.
//   mirtal --export-language-template
//                                   for translators: writes every text of every
//                                   window and message, in English, to
//                                   lang/New_LangFile.lng of the settings folder
//                                   (where the language menu finds it), prints
//                                   its path and exits without showing a window.

#include "rip/Session.h"
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

} // namespace

int main(int argc, char** argv) {
    // The template needs no screen: it can be written where there is none.
    const bool exportTemplate = argc == 2 && std::string_view(argv[1]) == "--export-language-template";
    if (exportTemplate && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Mirtal");
    const QStringList args = QCoreApplication::arguments();
    if ((args.size() == 3 || args.size() == 4) && args[1] == "--measure-dispatch" &&
        (args.size() == 3 || args[3] == "sup" || args[3] == "show"))
        return measureDispatch(std::filesystem::path(args[2].toStdString()),
                               args.size() == 4 && args[3] == "show");
    if (exportTemplate) return exportLanguageTemplate();
    if (args.size() > 1) {
        std::fprintf(stderr, "usage: mirtal [--measure-dispatch VOB [sup|show] | "
                             "--export-language-template]\n");
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
