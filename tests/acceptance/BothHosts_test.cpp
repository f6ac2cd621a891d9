// Every action on the fixture discs through the windows and through
// mirtal-rip with the same settings file: the same files, byte for byte.
#include "AppTestSupport.h"
#include "DiscTruth.h"
#include "FakeHost.h"
#include "Process.h"
#include "ocr/MatrixFile.h"
#include "subtitles/BannerClock.h"

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

struct DiscCase { // the stream to read and the OCR setup for its font
    const char* disc;
    int stream; // 0-based
    int32_t spaceWidth;
    uint8_t maxCharDiffHeight;
};
const DiscCase kDiscs[] = {{"ntsc", 0, 8, 2},
                           {"pal_en", 0, 10, 2},
                           {"pal_en_fr", 1, 9, 0},
                           {"split", 0, 11, 0}}; // a unit across the two VOB files

constexpr const char* kDate = "07/12/2026 03:00:00";

struct Format {
    TOutputFormat format;
    const char* name;
    const char* file;
};
const Format kFormats[] = {
    {ofNative, "native", "native.vtx"},      {ofSubViewer, "subviewer", "subviewer.sub"},
    {ofSubViewer2, "subviewer2", "sv2.sub"}, {ofIAuthor, "iauthor", "iauthor.txt"},
    {ofPhilips, "philips", "philips.sub"},   {ofSonic, "sonic", "sonic.txt"},
    {ofWebVtt, "webvtt", "webvtt.vtt"},      {ofAss, "ass", "ass.ass"},
};

// The job setup's action, mirtal-rip's arguments ('@': its output folder) and the formats
// saved after the rip (BMP: the I-Author preset turns on the native list's coordinates).
struct Action {
    const char* name;
    int job;
    std::vector<std::string> args;
    std::vector<int> saves;
};
const Action kActions[] = {
    {"ocr", 0, {"--action", "ocr", "--matrix", "@../m.qmx", "--no-ask"}, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"bmp", 1, {"--action", "bmp", "--prefix", "@pic", "--timing"}, {3, 4, 0}},
    {"sup", 2, {"--action", "sup", "--prefix", "@pic", "--timing"}, {0}},
    {"vobsub", 4, {"--action", "vobsub", "-o", "@film"}, {}},
};

std::map<std::string, std::string> folderFiles(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = readText(e.path());
    return files;
}

// A matrix trained as a careful user would: every glyph named from the truth.
void trainMatrix(const DiscCase& c, DiscTruth& truth, const fs::path& file) {
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
    for (const auto& e : fs::directory_iterator(discFolder(c.disc)))
        if (e.path().extension() == ".VOB") setup.files.push_back(e.path());
    std::sort(setup.files.begin(), setup.files.end());
    setup.action = kActionOcr;
    EXPECT_TRUE(session.startJob(setup));
    while (!session.job().finished() && !session.job().Paused) session.tick();
    EXPECT_TRUE(session.job().finished());
    EXPECT_TRUE(saveMatrixFile(file, session.matrix()));
}

// The program with its windows, every dialog answered by a posted click.
class Gui {
public:
    explicit Gui(const DiscCase& c, const fs::path& settings) : m_case(c) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        fs::copy_file(settings, m_folder / "Mirtal.ini");
        m_app =
            std::make_unique<Application>(Application::Options{m_folder.path(), true, &m_clock});
        m_app->start();
        m_answers = std::make_unique<ScriptedAnswers>(m_app->host());
        m_answers->onChooseTextColour = [this](const Bitmap24& work, int guess) {
            clickLater(m_app->textColour(), "ButtonOk");
            return m_answers->windows.chooseTextColour(work, guess);
        };
        m_answers->onAskGlyph = [](const GlyphQuestion& q) { // the matrix knows every glyph
            ADD_FAILURE() << "asked for a glyph at " << q.startMs << " ms";
            return GlyphAnswer{GlyphAction::SkipSubpicture, {}};
        };
        m_answers->onAdjustBitmap = [this] {
            clickLater(m_app->bitmapAdjust(), "BitBtn1");
            return m_answers->windows.adjustBitmap();
        };
    }

    Session& session() { return m_app->session(); }

    void ripDisc(int action, bool timing, const fs::path& file) {
        JobSetupDialog& d = *m_app->jobSetup();
        listVobFolder(*m_app, discFolder(m_case.disc));
        m_app->dialogs().files.push_back(file);
        if (action == 0) control<QPushButton>(&d, "ButtonOpenCharMatrixFile")->click();
        checkVobEntries(*m_app);
        control<QComboBox>(&d, "ComboBoxLanguage")->setCurrentIndex(m_case.stream);
        chooseAction(*m_app, action);
        jobOption(*m_app, "CheckBoxPictTiming")->setChecked(timing);
        ASSERT_TRUE(pressStart(*m_app));
        runJob(*m_app);
        ASSERT_TRUE(session().job().finished());
    }

    void repairQuotes() {
        QTimer::singleShot(0, [this] {
            PostOcrDialog& d = *m_app->postOcr();
            d.findChild<QCheckBox*>("CheckBoxCorrectTwiceAp")->setChecked(true);
            d.findChild<QCheckBox*>("CheckBoxCorrectIl")->setChecked(false);
            QTest::mouseClick(d.findChild<QPushButton*>("BitBtnCorrect"), Qt::LeftButton);
        });
        m_app->subtitlesWindow()->findChild<QAction*>("PostOCRCorrection1")->trigger();
    }

    void convertTo(TOutputFormat format) {
        QTimer::singleShot(0, [this, format] {
            OutputFormatDialog& d = *m_app->outputFormat();
            d.findChild<QTabWidget*>("PageControlMirtal")->setCurrentIndex(int(format));
            QTest::mouseClick(d.findChild<QPushButton*>("BitBtnConvert"), Qt::LeftButton);
        });
        m_app->subtitlesWindow()->findChild<QAction*>("SetOutputFormat1")->trigger();
        EXPECT_EQ(session().document().outputFormat(), format);
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
    std::unique_ptr<ScriptedAnswers> m_answers;
};

using Param = std::tuple<DiscCase, Action>;

class BothHosts : public ::testing::TestWithParam<Param> {};

TEST_P(BothHosts, WriteTheSameFiles) {
    const auto& [c, action] = GetParam();
    TempFolder dir;
    const fs::path gui = dir / "gui", cli = dir / "cli", settings = dir / "Mirtal.ini";
    fs::create_directories(gui), fs::create_directories(cli);
    writeText(settings, "[CONFIG]\r\nFromVideoStart=0\r\n[OCR SETTING]\r\nSpaceWidth=" +
                            std::to_string(c.spaceWidth) +
                            "\r\nItaSpaceWidth=" + std::to_string(c.spaceWidth) +
                            "\r\nMaxCharDiffHeight=" + std::to_string(c.maxCharDiffHeight) +
                            "\r\n");
    if (action.job == 0) {
        DiscTruth truth(c.disc, c.stream);
        trainMatrix(c, truth, dir / "m.qmx");
    }
    Gui g(c, settings);
    g.ripDisc(action.job, action.job == 1 || action.job == 2,
              action.job == 0 ? dir / "m.qmx" : gui / (action.job == 4 ? "film.idx" : "pic"));
    if (action.job == 0) g.repairQuotes();
    std::vector<std::string> args;
    for (const std::string& a : action.args)
        args.push_back(a[0] == '@' ? (cli / a.substr(1)).string() : a);
    args.insert(args.end(), {"--settings", settings.string(), "--date", kDate, "--stream",
                             std::to_string(c.stream + 1)});
    std::vector<std::vector<std::string>> runs;
    if (action.saves.empty()) runs.push_back(args);
    for (int f : action.saves) {
        const Format& format = kFormats[f];
        if (g.session().document().outputFormat() != format.format) g.convertTo(format.format);
        g.saveAs(gui / format.file);
        runs.push_back(args);
        for (const char* a : {"--format", format.name, "-o"}) runs.back().push_back(a);
        runs.back().push_back((cli / format.file).string());
    }
    for (std::vector<std::string>& run : runs) {
        run.push_back(discFolder(c.disc).string());
        const ChildEnd end = runProgram(MIRTAL_RIP_EXE, run);
        EXPECT_EQ(end.exitCode, 0) << end.report;
    }
    const auto a = folderFiles(gui), b = folderFiles(cli);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.size(), b.size()) << "the windows and mirtal-rip wrote different files";
    for (const auto& [name, bytes] : a)
        EXPECT_TRUE(b.contains(name) && bytes == b.at(name)) << name << " differs";
}

INSTANTIATE_TEST_SUITE_P(FixtureDiscs, BothHosts,
                         ::testing::Combine(::testing::ValuesIn(kDiscs),
                                            ::testing::ValuesIn(kActions)),
                         [](const ::testing::TestParamInfo<Param>& info) {
                             return std::string(std::get<0>(info.param).disc) + "_" +
                                    std::get<1>(info.param).name;
                         });

} // namespace
