// Every action on every fixture disc, once through the windows (every
// dialog answered as a user would) and once through mirtal-rip run as a
// program with the same settings file: the two output folders must hold the
// same files, byte for byte, and the output must agree with the disc's
// ground truth.
#include "AppTestSupport.h"
#include "Controls.h"
#include "DiscTruth.h"
#include "FakeHost.h"
#include "base/TextCodec.h"
#include "export/SupFile.h"
#include "ocr/MatrixFile.h"
#include "subtitles/BannerClock.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/NewCharacterDialog.h"
#include "ui/OutputFormatDialog.h"
#include "ui/PostOcrDialog.h"
#include "ui/ProgressionDialog.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TextColorDialog.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

// The OCR advanced setup a user fills in for each disc's font (the gaps are
// measured by the OCR rip tests of mirtal-rip), the stream to read and what
// the settings file says about it.
struct DiscCase {
    const char* disc;
    int stream; // 0-based
    int32_t spaceWidth;
    uint8_t maxCharDiffHeight;
};
const DiscCase kDiscs[] = {
    {"ntsc", 0, 8, 2},      // Liberation Sans 26
    {"pal_en", 0, 10, 2},   // DejaVu Sans 28
    {"pal_en_fr", 1, 9, 0}, // the French stream, Liberation Sans 28
    {"split", 0, 11, 0},    // DejaVu Sans 30, one unit across the two VOB files
};

constexpr const char* kDate = "07/12/2026 03:00:00";

struct Format {
    TOutputFormat format;
    const char* name; // mirtal-rip's --format
    const char* file;
};
const Format kFormats[] = {
    {ofNative, "native", "native.vtx"},      {ofSubViewer, "subviewer", "subviewer.sub"},
    {ofSubViewer2, "subviewer2", "sv2.sub"}, {ofIAuthor, "iauthor", "iauthor.txt"},
    {ofPhilips, "philips", "philips.sub"},   {ofSonic, "sonic", "sonic.txt"},
    {ofWebVtt, "webvtt", "webvtt.vtt"},      {ofAss, "ass", "ass.ass"},
};

// The stream clock, which the ground truth tables count in.
std::string settingsText(const DiscCase& c) {
    return "[CONFIG]\r\nFromVideoStart=0\r\n[OCR SETTING]\r\nSpaceWidth=" +
           std::to_string(c.spaceWidth) + "\r\nItaSpaceWidth=" + std::to_string(c.spaceWidth) +
           "\r\nMaxCharDiffHeight=" + std::to_string(c.maxCharDiffHeight) + "\r\n";
}

fs::path videoTs(const DiscCase& c) {
    return discFolder(c.disc);
}

// ---------------------------------------------------------------------------
// mirtal-rip as a program: no terminal, standard output and error kept.

struct RipRun {
    int status = -1;
    std::string out, err;
};

RipRun rip(const fs::path& work, std::vector<std::string> args) {
    const fs::path outFile = work / "stdout.txt", errFile = work / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    args.insert(args.begin(), MIRTAL_RIP_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    RipRun r;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, MIRTAL_RIP_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readText(outFile);
    r.err = readText(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return r;
}

// ---------------------------------------------------------------------------
// Comparing what the two hosts wrote.

std::map<std::string, std::string> folderFiles(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = readText(e.path());
    return files;
}

// Where two texts part: the line number and both lines.
std::string firstDifference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool ga = bool(std::getline(x, la)), gb = bool(std::getline(y, lb));
        if (!ga && !gb) return "same lines, different bytes";
        if (la != lb || ga != gb)
            return "line " + std::to_string(n) + ": \"" + cp1252ToUtf8(la) + "\" / \"" +
                   cp1252ToUtf8(lb) + "\"";
    }
}

void expectSameFolders(const fs::path& gui, const fs::path& cli) {
    const auto a = folderFiles(gui), b = folderFiles(cli);
    std::vector<std::string> names, other;
    for (const auto& [name, bytes] : a) names.push_back(name);
    for (const auto& [name, bytes] : b) other.push_back(name);
    ASSERT_EQ(names, other) << "the windows and mirtal-rip wrote different files";
    ASSERT_FALSE(names.empty());
    int different = 0;
    for (const auto& [name, bytes] : a) {
        if (bytes == b.at(name)) continue;
        if (++different <= 3)
            ADD_FAILURE() << name << " differs: " << firstDifference(bytes, b.at(name));
    }
    EXPECT_EQ(different, 0) << "of " << names.size() << " files";
}

// ---------------------------------------------------------------------------
// The disc's truth.

std::vector<uint64_t> spuSizes(const DiscCase& c) {
    std::ifstream in(fs::path(MIRTAL_TEST_DATA) / "discs" / c.disc /
                     ("spuscan_s" + std::to_string(c.stream) + ".tsv"));
    std::string line;
    std::getline(in, line);
    std::vector<uint64_t> sizes;
    while (std::getline(in, line)) {
        std::istringstream cols(line);
        std::string col;
        for (int i = 0; i < 6 && std::getline(cols, col, '\t'); ++i) {
        }
        sizes.push_back(std::stoull(col));
    }
    return sizes;
}

// A matrix trained as a careful user trains it: every glyph the rip asks
// about is named from the truth.
fs::path trainedMatrix(const DiscCase& c, DiscTruth& truth, const fs::path& dir) {
    FakeHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    Session session(host, catalogue, clock);
    session.ocrSettings().SpaceWidth = session.ocrSettings().ItaSpaceWidth = c.spaceWidth;
    session.ocrSettings().MaxCharDiffHeight = c.maxCharDiffHeight;
    session.chooseStream(uint8_t(0x20 + c.stream));
    host.glyphResponder = [&](const GlyphQuestion& q) {
        return GlyphAnswer{GlyphAction::Learn,
                           truth.answer(q.startMs, q.line, q.charIndex, q.lineBoxes)};
    };
    JobSetup setup;
    for (const auto& e : fs::directory_iterator(videoTs(c)))
        if (e.path().extension() == ".VOB") setup.files.push_back(e.path());
    std::sort(setup.files.begin(), setup.files.end());
    setup.action = kActionOcr;
    EXPECT_TRUE(session.startJob(setup));
    while (!session.job().finished() && !session.job().Paused) session.tick();
    EXPECT_TRUE(session.job().finished());
    const fs::path file = dir / (std::string(c.disc) + ".qmx");
    EXPECT_TRUE(SaveMatrixFile(file, session.matrix()));
    return file;
}

// ---------------------------------------------------------------------------
// The program with its windows, every dialog answered from a posted event
// just before it runs its own loop, as a user's click would.

class Gui {
public:
    explicit Gui(const DiscCase& c, const fs::path& settings) : m_case(c) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        fs::create_directories(m_folder.path());
        fs::copy_file(settings, m_folder / "Mirtal.ini");
        m_app =
            std::make_unique<Application>(Application::Options{m_folder.path(), true, &m_clock});
        m_app->start();
        Application& app = *m_app;
        m_answers = std::make_unique<test::ScriptedAnswers>(app.host());
        // The text colour: the guess, as shown, with OK.
        m_answers->onChooseTextColour = [this, &app](const Bitmap24& work, int guess) {
            QTimer::singleShot(
                0, [&app] { control<QPushButton>(app.textColour(), "ButtonOk")->click(); });
            return m_answers->windows.chooseTextColour(work, guess);
        };
        // A trained matrix knows every glyph.
        m_answers->onAskGlyph = [](const GlyphQuestion& q) {
            ADD_FAILURE() << "asked for a glyph at " << q.startMs << " ms, line " << q.line;
            return GlyphAnswer{GlyphAction::SkipSubpicture, {}};
        };
        // The bitmap adjustment step with its settings as they are: OK.
        m_answers->onAdjustBitmap = [this, &app] {
            QTimer::singleShot(
                0, [&app] { control<QPushButton>(app.bitmapAdjust(), "BitBtn1")->click(); });
            return m_answers->windows.adjustBitmap();
        };
    }

    Application& app() { return *m_app; }
    Session& session() { return m_app->session(); }

    void openMatrix(const fs::path& file) {
        m_app->dialogs().files.push_back(file);
        QTest::mouseClick(test::control<QPushButton>(m_app->jobSetup(), "ButtonOpenCharMatrixFile"),
                          Qt::LeftButton);
    }

    // The job setup: the disc's folder listed, every VOB checked, the stream
    // and the action (0..4) chosen, Start; then the timer's ticks to the end.
    void ripDisc(int action, bool timing, const fs::path& prefix = {}) {
        JobSetupDialog& d = *m_app->jobSetup();
        test::listVobFolder(*m_app, videoTs(m_case));
        test::checkVobEntries(*m_app);
        test::control<QComboBox>(&d, "ComboBoxLanguage")->setCurrentIndex(m_case.stream);
        test::chooseAction(*m_app, action);
        test::jobOption(*m_app, "CheckBoxPictTiming")->setChecked(timing);
        if (action == 1 || action == 2 || action == 4) m_app->dialogs().files.push_back(prefix);
        ASSERT_TRUE(test::pressStart(*m_app));
        for (int n = 0; n < 50 && !session().job().finished() && !session().job().Paused &&
                        !session().engine().halted();
             ++n)
            m_app->tick();
        ASSERT_TRUE(session().job().finished());
    }

    // "Post OCR Correction" with the doubled quotes only.
    void repairQuotes() {
        QTimer::singleShot(0, [this] {
            PostOcrDialog& d = *m_app->postOcr();
            d.findChild<QCheckBox*>("CheckBoxCorrectTwiceAp")->setChecked(true);
            d.findChild<QCheckBox*>("CheckBoxCorrectIl")->setChecked(false);
            QTest::mouseClick(d.findChild<QPushButton*>("BitBtnCorrect"), Qt::LeftButton);
        });
        m_app->subtitlesWindow()->findChild<QAction*>("PostOCRCorrection1")->trigger();
    }

    // "Set Output Format": the format's tab, "Convert to this Format".
    void convertTo(TOutputFormat format) {
        QTimer::singleShot(0, [this, format] {
            OutputFormatDialog& d = *m_app->outputFormat();
            d.findChild<QTabWidget*>("PageControlMirtal")->setCurrentIndex(int(format));
            QTest::mouseClick(d.findChild<QPushButton*>("BitBtnConvert"), Qt::LeftButton);
        });
        m_app->subtitlesWindow()->findChild<QAction*>("SetOutputFormat1")->trigger();
        EXPECT_EQ(session().document().OutputFormat(), format);
    }

    void saveAs(const fs::path& file) {
        fs::create_directories(file.parent_path());
        m_app->dialogs().files.push_back(file);
        m_app->subtitlesWindow()->findChild<QAction*>("Saveas1")->trigger();
        EXPECT_TRUE(fs::exists(file)) << file;
        EXPECT_EQ(m_app->dialogs().unexpected, 0);
    }

private:
    const DiscCase& m_case;
    TempFolder m_folder;
    FixedBannerClock m_clock{kDate};
    std::unique_ptr<Application> m_app;
    std::unique_ptr<test::ScriptedAnswers> m_answers;
};

class BothHosts : public ::testing::TestWithParam<DiscCase> {
protected:
    const DiscCase& c = GetParam();
    TempFolder dir;
    fs::path gui = dir / "gui";
    fs::path cli = dir / "cli";
    fs::path settings = dir / "Mirtal.ini";
    DiscTruth truth{c.disc, c.stream};

    void SetUp() override {
        fs::create_directories(gui);
        fs::create_directories(cli);
        writeText(settings, settingsText(c));
    }

    // mirtal-rip with the options both hosts share: the settings file, the
    // stream, the banner date, the disc.
    RipRun ripDisc(std::vector<std::string> args) {
        for (const std::string& a :
             {std::string("--settings"), settings.string(), std::string("--stream"),
              std::to_string(c.stream + 1), std::string("--date"), std::string(kDate),
              videoTs(c).string()})
            args.push_back(a);
        return rip(dir.path(), args);
    }
};

// ---------------------------------------------------------------------------

TEST_P(BothHosts, OcrWithATrainedMatrixWritesTheTruthInEveryFormat) {
    const fs::path matrix = trainedMatrix(c, truth, dir.path());
    Gui g(c, settings);
    g.openMatrix(matrix);
    g.ripDisc(0, false);
    g.repairQuotes();
    const SubtitleStore& store = g.session().document().store();
    ASSERT_EQ(size_t(store.NbSubTitle()), truth.blocks().size());
    for (int i = 1; i <= store.NbSubTitle(); ++i) {
        const TSub& e = store.entry(i);
        const auto* block = truth.blockAt(TimeCodeToMs(e.Start));
        ASSERT_NE(block, nullptr) << "no unit starts at " << TimeCodeToStr(e.Start);
        EXPECT_EQ(cp1252ToUtf8(JoinLines({e.Lines.data(), size_t(e.NbLines)})),
                  cp1252ToUtf8(JoinLines(*block)))
            << "subtitle " << i;
    }
    for (const Format& f : kFormats) {
        g.convertTo(f.format);
        g.saveAs(gui / f.file);
        const RipRun r =
            ripDisc({"--action", "ocr", "--matrix", matrix.string(), "--no-ask", "--no-save-matrix",
                     "--format", f.name, "-o", (cli / f.file).string()});
        EXPECT_EQ(r.status, 0) << r.err;
    }
    expectSameFolders(gui, cli);
}

TEST_P(BothHosts, BmpWithTimingWritesThePicturesAndBothScripts) {
    Gui g(c, settings);
    g.ripDisc(1, true, gui / "pic");
    // The adjustment step's OK with the I-Author preset chose its script.
    EXPECT_EQ(g.session().document().OutputFormat(), ofIAuthor);
    g.saveAs(gui / "iauthor.txt");
    g.convertTo(ofPhilips);
    g.saveAs(gui / "philips.sub");
    // Back to the native format: the I-Author script turned its coordinates on.
    g.convertTo(ofNative);
    g.saveAs(gui / "native.vtx");

    RipRun r = ripDisc({"--action", "bmp", "--prefix", (cli / "pic").string(), "--timing", "-o",
                        (cli / "iauthor.txt").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    r = ripDisc({"--action", "bmp", "--prefix", (cli / "pic").string(), "--timing", "--format",
                 "philips", "-o", (cli / "philips.sub").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    r = ripDisc({"--action", "bmp", "--prefix", (cli / "pic").string(), "--timing", "--format",
                 "native", "-o", (cli / "native.vtx").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    expectSameFolders(gui, cli);

    const std::vector<std::string> bmps = filesIn(gui, ".bmp");
    ASSERT_EQ(bmps.size(), truth.blocks().size()) << "one picture per subpicture";
    EXPECT_EQ(bmps.back(), PictureFileName("pic", uint32_t(bmps.size()), ".bmp"));
    const SubtitleStore& store = g.session().document().store();
    ASSERT_EQ(size_t(store.NbSubTitle()), bmps.size());
    for (int i = 1; i <= store.NbSubTitle(); ++i) {
        EXPECT_EQ(store.entry(i).Lines[0], bmps[size_t(i - 1)]);
        EXPECT_NE(truth.blockAt(TimeCodeToMs(store.entry(i).Start)), nullptr) << i;
    }
}

TEST_P(BothHosts, SupWritesEveryUnitAsItIsOnTheDisc) {
    Gui g(c, settings);
    g.ripDisc(2, true, gui / "pic");
    g.saveAs(gui / "list.vtx");
    const RipRun r = ripDisc({"--action", "sup", "--prefix", (cli / "pic").string(), "--timing",
                              "-o", (cli / "list.vtx").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    expectSameFolders(gui, cli);

    const std::vector<uint64_t> sizes = spuSizes(c);
    const std::vector<std::string> sups = filesIn(gui, ".sup");
    ASSERT_EQ(sups.size(), sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        ASSERT_EQ(sups[i], PictureFileName("pic", uint32_t(i + 1), ".sup"));
        EXPECT_EQ(fs::file_size(gui / sups[i]), sizes[i]) << sups[i];
    }
}

// mirtal-rip's lines for the subpictures, without the '#' lines around them.
std::string unitLines(const std::string& out) {
    std::istringstream in(out);
    std::string line, units;
    while (std::getline(in, line))
        if (!line.starts_with("#")) units += line + "\n";
    return units;
}

int shell(const std::string& command, const fs::path& output) {
    const int status = std::system((command + " > '" + output.string() + "' 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Both hosts write the same pair; mkvmerge takes it without a warning,
// ffprobe finds the disc's start times in it, and read back it gives every
// unit of the disc unchanged, with the same times.
TEST_P(BothHosts, VobSubPairHoldsTheDiscsUnitsAndTimes) {
    Gui g(c, settings);
    g.ripDisc(4, false, gui / "film.idx");
    const RipRun r = ripDisc({"--action", "vobsub", "-o", (cli / "film").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    expectSameFolders(gui, cli);
    const fs::path idx = cli / "film.idx";
    const std::string index = readText(idx);
    EXPECT_NE(index.find(std::string("\nid: ") + (c.stream == 1 ? "fr" : "en") + ", index: 0\n"),
              std::string::npos);
    EXPECT_NE(index.find("\npalette: ffffff, 000000, 000000,"), std::string::npos)
        << "the title's palette: white text, black outline";

    // mkvmerge's status 1 means warnings.
    EXPECT_EQ(shell("mkvmerge -q -o '" + (dir / "film.mkv").string() + "' '" + idx.string() + "'",
                    dir / "mkvmerge.txt"),
              0)
        << readText(dir / "mkvmerge.txt");
    ASSERT_EQ(
        shell("ffprobe -v error -show_entries packet=pts_time -of csv=p=0 '" + idx.string() + "'",
              dir / "ffprobe.txt"),
        0);
    std::istringstream probe(readText(dir / "ffprobe.txt"));
    std::ifstream truth(fs::path(MIRTAL_TEST_DATA) / "discs" / c.disc /
                        ("subs_s" + std::to_string(c.stream) + ".tsv"));
    std::string seconds, row;
    std::getline(truth, row);
    std::vector<long long> probed, expected;
    while (std::getline(probe, seconds)) probed.push_back(std::llround(std::stod(seconds) * 1000));
    while (std::getline(truth, row))
        expected.push_back(std::stoll(row.substr(row.find('\t'))) / 90);
    EXPECT_EQ(probed, expected) << "ffprobe's start times of the pair, and of the disc";

    fs::create_directories(dir / "back");
    fs::create_directories(dir / "disc");
    const RipRun back = rip(
        dir.path(), {"--action", "sup", "--prefix", (dir / "back" / "u").string(), idx.string()});
    const RipRun disc = ripDisc({"--action", "sup", "--prefix", (dir / "disc" / "u").string()});
    ASSERT_EQ(back.status, 0) << back.err;
    expectSameFolders(dir / "disc", dir / "back");
    const RipRun listBack = rip(dir.path(), {"--list", idx.string()});
    const RipRun listDisc = ripDisc({"--list"});
    EXPECT_EQ(unitLines(listBack.out), unitLines(listDisc.out));
}

// What one showing of a picture tells: number, start, stop, rectangle and
// the composed picture's size, as mirtal-rip prints it.
struct Shown {
    uint32_t number;
    std::string start, stop;
    Rect rect;
    int width, height;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Shown& s) {
    return o << s.number << ' ' << s.start << ' ' << s.stop << ' ' << s.rect.X1 << ' ' << s.rect.Y1
             << ' ' << s.rect.X2 << ' ' << s.rect.Y2 << ' ' << s.width << 'x' << s.height;
}

std::vector<Shown> parseShown(const std::string& out) {
    std::vector<Shown> shown;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        Shown s{};
        f >> s.number >> s.start >> s.stop >> s.rect.X1 >> s.rect.Y1 >> s.rect.X2 >> s.rect.Y2 >>
            s.width >> s.height;
        if (f) shown.push_back(s);
    }
    return shown;
}

TEST_P(BothHosts, ShowOnlyStopsAtEveryPictureInTheProgressionController) {
    Gui g(c, settings);
    ProgressionDialog& p = *g.app().progression();
    std::vector<Shown> guiShown;
    QObject::connect(&p, &ProgressionDialog::shown, &p, [&] {
        Session& s = g.session();
        const DisplayTimes t = SubpictureDisplayTimes(s.subpicture(), s.demuxer().spuStartTime());
        guiShown.push_back({s.job().TotalPictures, TimeCodeToStr(t.start), TimeCodeToStr(t.stop),
                            s.outputRect(), s.outputBitmap().width(), s.outputBitmap().height()});
        QTimer::singleShot(0, &p, [&p] {
            QTest::mouseClick(test::control<QPushButton>(&p, "ButtonNext"), Qt::LeftButton);
        });
    });
    g.ripDisc(3, false);
    EXPECT_FALSE(p.isVisible());

    const RipRun r = ripDisc({"--action", "show"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<Shown> cliShown = parseShown(r.out);
    ASSERT_EQ(guiShown.size(), truth.blocks().size()) << "one stop per subpicture";
    ASSERT_EQ(cliShown.size(), guiShown.size());
    for (size_t i = 0; i < guiShown.size(); ++i) {
        EXPECT_EQ(guiShown[i], cliShown[i]) << "picture " << i + 1;
        EXPECT_EQ(guiShown[i].number, i + 1);
        EXPECT_NE(truth.blockAt(TimeCodeToMs(StrToTimeCode(guiShown[i].start))), nullptr)
            << guiShown[i];
    }
}

INSTANTIATE_TEST_SUITE_P(FixtureDiscs, BothHosts, ::testing::ValuesIn(kDiscs),
                         [](const ::testing::TestParamInfo<DiscCase>& info) {
                             return std::string(info.param.disc);
                         });

} // namespace
