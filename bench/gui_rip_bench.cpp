// A whole rip in the real program: the Application with its main window (and
// the Subtitles window where the job shows it) runs the job from the job
// setup's Start to its end in its own event loop, with nobody at the screen.
// At the end it prints the wall time, how long the windows went without
// handling events, and the peak memory of the process.
//
//   gui_rip_bench train VOB MATRIX.qmx
//       trains a matrix on every glyph of stream 1 of VOB (each new shape
//       gets a name of its own), without windows, and saves it
//   gui_rip_bench sup|bmp|ocr VOB [--matrix MATRIX.qmx] [--no-show] [--timing]
//       rips VOB with that action: "Show Pict." is on unless --no-show;
//       --timing lists the saved pictures in the Subtitles window; ocr opens
//       the matrix through the program's own open command
//
// Responsiveness is sampled by a probe timer due every 5 ms: while the job is
// busy it can only fire when the rip loop lets events through, so the time
// between two firings is how long a click would have waited. The largest of
// these, their 99th percentile and median, and the longest gap the host saw
// between its own dispatch calls are printed. Dialogs that would wait for a
// click (the text colour, a glyph nobody taught, the bitmap adjustment step)
// take their default answer at once and are counted. Settings and pictures go
// to a temporary folder that is removed afterwards. Without a display the
// offscreen platform is used.
#include "base/MessageCatalogue.h"
#include "ocr/MatrixFile.h"
#include "ocr/OcrSettings.h"
#include "rip/Session.h"
#include "subtitles/SystemBannerClock.h"
#include "ui/Application.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace mirtal;

namespace {

// A control of a window by its objectName; the bench stops when it is gone.
template <typename T> T* control(QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(std::string("gui_rip_bench: no control ") + name);
    return found;
}

// The questions of a rip answered at once, and counted; the progression
// controller stays the window's.
struct CountingAnswers : QtHost::Answers {
    explicit CountingAnswers(QtHost::Answers& windows) : windows(windows) {}
    QtHost::Answers& windows;
    int colourAnswers = 0, glyphQuestions = 0, adjustSteps = 0;
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override {
        ++colourAnswers;
        return guess;
    }
    GlyphAnswer askGlyph(const GlyphQuestion&) override {
        ++glyphQuestions;
        return {GlyphAction::SkipSubpicture, {}};
    }
    bool adjustBitmap() override {
        ++adjustSteps;
        return true;
    }
    ProgressionChoice waitAtProgression() override { return windows.waitAtProgression(); }
};

} // namespace
namespace fs = std::filesystem;

namespace {

// The kB figure of one line of /proc/self/status.
long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    return -1;
}

// Processor time of the calling thread, in microseconds.
qint64 threadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Names every new shape, takes the guessed text colour and stops at nothing.
class TrainingHost : public Host {
public:
    int learned = 0;
    Answer ask(MessageKind, Buttons, const std::string& text) override {
        throw std::runtime_error(text);
    }
    std::optional<fs::path> chooseOpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<fs::path> chooseSaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override { return guess; }
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        ++learned;
        return {GlyphAction::Learn, "g" + std::to_string(q.symbolIndex)};
    }
    bool adjustBitmap() override { return true; }
    ProgressionChoice waitAtProgression() override { return ProgressionChoice::NoStop; }
    void processEvents() override {}
    uint32_t tickMs() override { return 0; }
    void displayChanged(const RipDisplay&) override {}
    void showPicture(const Bitmap24&, const Rect&) override {}
    void showPicture(const PaletteBitmap&, const Rect&) override {}
};

int train(const fs::path& vob, const fs::path& matrixFile) {
    TrainingHost host;
    MessageCatalogue catalogue;
    catalogue.fillMessageCatalogue();
    SystemBannerClock clock;
    Session session(host, catalogue, clock);
    resetOcrSettings(session.ocrSettings()); // as the program starts
    JobSetup setup;
    setup.files = {vob};
    setup.action = kActionOcr;
    if (const Result r = session.startJob(setup); !r) {
        std::fprintf(stderr, "gui_rip_bench: %s\n", r.error.c_str());
        return 2;
    }
    while (!session.job().finished() && !session.engine().halted()) session.tick();
    if (const Result r = saveMatrixFile(matrixFile, session.matrix()); !r) {
        std::fprintf(stderr, "gui_rip_bench: %s\n", r.error.c_str());
        return 2;
    }
    std::printf("trained %s: %d glyphs on %u subpictures of %s\n", matrixFile.c_str(),
                session.matrix().count(), session.job().TotalPictures, vob.c_str());
    return 0;
}

double percentile(std::vector<qint64> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return double(v[i]);
}

struct RipOptions {
    int action = 0; // the job setup's radio index: 0 OCR, 1 BMP, 2 SUP
    fs::path vob;
    fs::path matrix;
    bool show = true;
    bool timing = false;
};

// The job setup filled as the user does it: the matrix for OCR, the VOB
// listed and checked, the action and its timing box. False when it cannot be.
bool setUpJob(Application& app, const RipOptions& o, const fs::path& out) {
    MainWindow& w = *app.mainWindow();
    control<QCheckBox>(&w, "CheckBoxShowSubPict")->setChecked(o.show);
    if (o.action == 0) {
        if (o.matrix.empty()) {
            std::fprintf(stderr, "gui_rip_bench: ocr needs --matrix (see train)\n");
            return false;
        }
        app.dialogs().files.push_back(o.matrix);
        control<QAction>(&w, "OpenCharacterMatrix1")->trigger();
        if (app.session().matrix().count() == 0) {
            std::fprintf(stderr, "gui_rip_bench: %s opened no glyph\n", o.matrix.c_str());
            return false;
        }
    }
    JobSetupDialog& d = *app.jobSetup();
    app.dialogs().files.push_back(o.vob);
    control<QPushButton>(&d, "ButtonOpenDir")->click();
    auto* list = control<QListWidget>(&d, "CheckListBoxVob");
    bool listed = false;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().section('[', 0, 0).trimmed().toStdString() ==
            o.vob.filename().string()) {
            list->item(i)->setCheckState(Qt::Checked);
            listed = true;
        }
    if (!listed) {
        std::fprintf(stderr, "gui_rip_bench: %s is not a VOB the job setup lists\n", o.vob.c_str());
        return false;
    }
    control<RadioGroup>(&d, "RadioGroupAction")
        ->findChildren<QRadioButton*>()
        .at(o.action)
        ->click();
    control<QCheckBox>(&d, "CheckBoxPictTiming")->setChecked(o.timing);
    if (o.action != 0) app.dialogs().files.push_back(out / "pict");
    return true;
}

// The event loop's waits while the job runs, sampled by a 5 ms timer; it
// returns when the job is over.
struct LoopProbe {
    std::vector<qint64> gaps, cpuGaps;
    qint64 busyFrom = -1, busyUntil = -1;

    void run(Application& app, const QElapsedTimer& clock) {
        const RipJob& job = app.session().job();
        qint64 lastFiring = clock.elapsed(), lastCpu = threadCpuUs();
        bool wasBusy = false;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed(), cpuNow = threadCpuUs();
            if (wasBusy || job.Busy) {
                gaps.push_back(now - lastFiring);
                cpuGaps.push_back(cpuNow - lastCpu);
            }
            if (job.Busy && busyFrom < 0) busyFrom = lastFiring;
            lastFiring = now;
            lastCpu = cpuNow;
            wasBusy = job.Busy;
            // A job that paused (the OCR driver pauses when it cannot go on) ends the run too.
            // exit(), not quit(): Qt's quit closes every window first, and the main
            // window refuses while the subtitles of an OCR rip are unsaved.
            if (!job.Busy && (job.finished() || job.Paused || app.session().engine().halted())) {
                busyUntil = now;
                probe.stop();
                QCoreApplication::exit(0);
            }
        });
        probe.start();
        QApplication::exec();
    }
};

struct RunCost {
    qint64 wallMs = 0;
    double cpuSeconds = 0;
    long hwmBeforeKb = 0;
};

void report(const RipOptions& o, Application& app, const CountingAnswers& answers,
            const LoopProbe& loop, const RunCost& cost, const fs::path& out) {
    const RipJob& job = app.session().job();
    const auto& gaps = loop.gaps;
    const auto& cpuGaps = loop.cpuGaps;
    static const char* const kNames[] = {"ocr", "bmp", "sup"};
    std::printf("gui_rip_bench %s: %s (%u KiB), \"Show Pict.\" %s%s\n", kNames[o.action],
                o.vob.c_str(), unsigned(job.TotalSizeKb), o.show ? "on" : "off",
                o.timing ? ", with timing" : "");
    std::printf("  subpictures %u, subtitles %d, files written %zu%s\n", job.TotalPictures,
                app.session().document().nbSubTitle(),
                size_t(std::distance(fs::directory_iterator(out), fs::directory_iterator())),
                app.session().engine().halted() ? ", HALTED"
                : job.Paused                    ? ", PAUSED before the end"
                                                : "");
    std::printf("  wall time from Start   %8.3f s  (the first tick comes up to 500 ms later)\n",
                double(cost.wallMs) / 1000);
    std::printf("  inside the rip loop    %8.3f s  (processor %.3f s)\n",
                double(loop.busyUntil - loop.busyFrom) / 1000, cost.cpuSeconds);
    std::printf(
        "  waits for an event     max %lld ms, p99 %.0f ms, median %.0f ms over %zu "
        "probes\n",
        static_cast<long long>(gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end())),
        percentile(gaps, 0.99), percentile(gaps, 0.5), gaps.size());
    std::printf("  ... in processor time  max %.1f ms, p99 %.1f ms, median %.1f ms of this "
                "thread\n",
                double(cpuGaps.empty() ? 0 : *std::max_element(cpuGaps.begin(), cpuGaps.end())) /
                    1000,
                percentile(cpuGaps, 0.99) / 1000, percentile(cpuGaps, 0.5) / 1000);
    std::printf("  longest dispatch gap   %lld ms (between the rip loop's own dispatches)\n",
                static_cast<long long>(app.host().longestDispatchGapMs()));
    std::printf("  peak memory (VmHWM)    %ld KiB  (%ld KiB before Start)\n", statusKb("VmHWM"),
                cost.hwmBeforeKb);
    std::printf("  default answers        text colour %d, glyph questions %d, adjustment %d, "
                "message boxes %zu\n",
                answers.colourAnswers, answers.glyphQuestions, answers.adjustSteps,
                app.dialogs().asked.size());
    for (const auto& m : app.dialogs().asked) std::printf("    message: %s\n", m.text.c_str());
}

int rip(const RipOptions& o) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "gui_rip_bench: no temporary folder\n");
        return 2;
    }
    const fs::path programFolder(folder.path().toStdString());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Application app(Application::Options{programFolder, true});
    CountingAnswers answers(*app.host().answers());
    app.host().setAnswers(&answers);
    app.start();
    QCoreApplication::processEvents(); // the first showing: settings, catalogue

    const fs::path out = programFolder / "out";
    fs::create_directory(out);
    if (!setUpJob(app, o, out)) return 2;

    RunCost cost;
    cost.hwmBeforeKb = statusKb("VmHWM");
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    JobSetupDialog& d = *app.jobSetup();
    d.setResult(QDialog::Rejected);
    control<QPushButton>(&d, "BitBtnStart")->click();
    if (d.result() != QDialog::Accepted) {
        std::fprintf(stderr, "gui_rip_bench: the job did not start (%s)\n",
                     app.dialogs().asked.empty() ? "" : app.dialogs().asked.back().text.c_str());
        return 2;
    }
    app.host().resetDispatchGap();
    LoopProbe loop;
    loop.run(app, clock);
    cost.wallMs = clock.elapsed();
    cost.cpuSeconds = cpuSeconds() - cpu0;
    report(o, app, answers, loop, cost, out);
    const RipJob& job = app.session().job();
    return app.session().engine().halted() || !job.finished() ? 1 : 0;
}

int usage() {
    std::fprintf(stderr, "usage: gui_rip_bench train VOB MATRIX.qmx\n"
                         "       gui_rip_bench sup|bmp|ocr VOB [--matrix MATRIX.qmx] "
                         "[--no-show] [--timing]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    const fs::path vob = fs::absolute(argv[2]);
    if (!fs::is_regular_file(vob)) {
        std::fprintf(stderr, "gui_rip_bench: %s is not a file\n", vob.c_str());
        return 2;
    }
    if (mode == "train") return argc == 4 ? train(vob, argv[3]) : usage();

    RipOptions o;
    o.vob = vob;
    if (mode == "ocr")
        o.action = 0;
    else if (mode == "bmp")
        o.action = 1;
    else if (mode == "sup")
        o.action = 2;
    else
        return usage();
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--matrix" && i + 1 < argc)
            o.matrix = fs::absolute(argv[++i]);
        else if (a == "--no-show")
            o.show = false;
        else if (a == "--timing")
            o.timing = true;
        else
            return usage();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Mirtal");
    return rip(o);
}
