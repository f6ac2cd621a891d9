#include "ui/Application.h"

#include "ocr/OcrSettings.h"
#include "settings/SettingsFile.h"
#include "ui/AboutDialog.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/ProgressionDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QTranslator>
#include <algorithm>

namespace mirtal {

namespace {

// Catalogue numbers of the messages of a job that stops.

// The folder as the settings file keeps it; a folder that has not changed
// keeps its text exactly as it was read.
void storeFolder(std::string& stored, const std::filesystem::path& folder) {
    auto trimmed = [](std::string s) {
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    if (folder.empty() || trimmed(stored) == trimmed(folder.string())) return;
    stored = folderText(folder);
}

} // namespace

Application::Application(Options options)
    : m_programFolder(std::move(options.programFolder)), m_dialogs(nullptr), m_host(m_dialogs) {
    m_dialogs.setScripted(options.scriptedDialogs);
    m_settingsFolder = settingsFolderFor(m_programFolder);
    m_dialogFolder = dialogStartFolder(m_programFolder);
    // A program folder the settings cannot be written to takes no files
    // either: the dialogs start where the settings are.
    if (m_dialogFolder == m_programFolder && m_settingsFolder != m_programFolder) {
        std::error_code ec;
        std::filesystem::create_directories(m_settingsFolder, ec);
        if (std::filesystem::is_directory(m_settingsFolder, ec)) m_dialogFolder = m_settingsFolder;
    }
    m_session = std::make_unique<Session>(m_host, m_catalogue,
                                          options.bannerClock ? *options.bannerClock : m_clock);
    m_dialogs.setFilesInUse([this] { return filesInUse(); });
    createMainWindows();
    createOcrWindows();
    createSubtitleWindows();
    createBitmapWindow();
    m_tickTimer.setObjectName("Timer1");
    m_tickTimer.setInterval(500);
    connect(&m_tickTimer, &QTimer::timeout, this, [this] { tick(); });
}

std::vector<FileInUse> Application::filesInUse() const {
    std::vector<FileInUse> files;
    for (const std::filesystem::path& vob : m_session->job().FileList)
        files.push_back({vob, "a file of the job"});
    if (!m_session->matrix().fileName().empty())
        files.push_back({m_session->matrix().fileName(), "the character matrix"});
    files.push_back({settingsFile(), "the settings file"});
    if (!m_settings.Preview.BackImageName.empty())
        files.push_back({m_settings.Preview.BackImageName, "the background picture"});
    return files;
}

// The windows of every group hang from the main window.
Application::~Application() {
    delete m_mainWindow;
}

// The loaded settings into the windows that show them.
void Application::applySettings() {
    const ProgramSettings& ps = m_settings;
    m_jobSetup->setChoices({ps.OpenDialogVob, ps.ActionMode, ps.WithTimingAndPosition,
                            ps.ForcedOnly, ps.FromVideoStart});
    m_session->actions().pictureFolder = ps.SaveDialogBmpSup;
    SubtitleDocument& doc = m_session->document();
    doc.AutoScrollDown = ps.AutoScrollDown;
    doc.OpenFolder = ps.OpenDialogMirtalText;
    doc.SaveFolder = ps.SaveDialogText;
}

// What the user changed in the windows of this group, back into the settings.
void Application::collectSettings() {
    ProgramSettings& ps = m_settings;
    const JobSetupDialog::Choices c = m_jobSetup->choices();
    storeFolder(ps.OpenDialogVob, c.vobFolder);
    if (c.action >= 0) ps.ActionMode = c.action;
    ps.WithTimingAndPosition = c.withTimingAndPosition;
    ps.ForcedOnly = c.forcedOnly;
    ps.FromVideoStart = c.fromVideoStart;
    storeFolder(ps.SaveDialogBmpSup, m_session->actions().pictureFolder);
}

// The first showing of the main window: settings, catalogue, language,
// then the preview from the loaded settings.
void Application::startUp() {
    Session& s = *m_session;
    resetOcrSettings(s.ocrSettings());
    SettingsWarnings warnings;
    const Result loaded =
        loadSettings(settingsFile(), folderText(m_dialogFolder), m_settings, s.ocrSettings(),
                     s.document().options(), s.bmpSettings(), &warnings);
    applySettings();
    m_catalogue.fillMessageCatalogue();
    buildLanguageMenu();
    if (!m_settings.LanguageFileName.empty()) loadLanguage(m_settings.LanguageFileName);
    m_mainWindow->setUpPreview();
    // The file stays as it is: closing will not write over what it could not read.
    if (!loaded)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      loaded.error + "\rThe default settings are used for this session.");
    showSettingsWarnings(m_dialogs, warnings);
}

void Application::closeRequested(QCloseEvent* event) {
    if (!confirmDiscardMatrix()) {
        event->ignore();
        return;
    }
    if (m_session->document().isModified() &&
        m_dialogs.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No},
                      m_catalogue.text(Message::TextNotSavedQuit) + "\r" +
                          m_catalogue.text(Message::ReallyQuit)) != Answer::Yes) {
        showSubtitlesWindow();
        event->ignore();
    }
}

void Application::shutDown() {
    Session& s = *m_session;
    const RipJob& job = s.job();
    if (!job.Paused && (job.Busy || !job.finished())) s.engine().togglePause();
    m_tickTimer.stop();
    collectSettings();
    const Result saved =
        saveSettings(settingsFile(), m_settings, s.document().options(), s.bmpSettings());
    if (!saved)
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      "The settings were not saved.\r" + saved.error);
}

void Application::createMainWindows() {
    m_mainWindow = new MainWindow(m_settings.Preview, m_dialogs, m_catalogue, m_dialogFolder);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    m_jobSetup = new JobSetupDialog(*m_session, m_dialogs, m_mainWindow);
    m_progression = new ProgressionDialog(m_mainWindow);
    m_about = new AboutDialog(m_mainWindow);
    m_host.setAnswers(this);
    connect(&m_host, &QtHost::ripDisplayChanged, this, &Application::showRipDisplay);
    connect(&m_host, &QtHost::pictureShown, m_mainWindow, &MainWindow::showPicture);
    wireMainWindow();
    wireJobSetup();
    wireProgression();
}

void Application::showRipDisplay(const RipDisplay& display) {
    // A job halted at a bad pack stays busy; only a new Start leaves that
    // state, so the job setup must stay reachable. Any other busy job is
    // inside its file loop, where a new Start would pull the file list from
    // under it.
    const bool canOpen = display.openVobEnabled || m_session->engine().halted();
    m_mainWindow->showRipDisplay(ripTexts(display), m_session->job().Paused, canOpen);
}

void Application::openJobSetup() {
    if (m_session->job().Busy && !m_session->engine().halted()) return;
    m_jobSetup->exec();
}

// Out of the pause for good: the pause button shows Pause again, and no tick
// takes the job up before it is stopped.
void Application::stopPausedJob() {
    RipEngine& engine = m_session->engine();
    if (!m_session->job().Paused) return;
    engine.togglePause();
    engine.stopJob();
}

void Application::wireMainWindow() {
    MainWindow* w = m_mainWindow;
    connect(w, &MainWindow::firstShown, this, &Application::startUp);
    connect(w, &MainWindow::closeRequested, this, &Application::closeRequested);
    connect(w, &MainWindow::closed, this, &Application::shutDown);
    connect(w, &MainWindow::jobSetupRequested, this, &Application::openJobSetup);
    connect(w, &MainWindow::aboutRequested, m_about, [this] { m_about->exec(); });
    connect(w, &MainWindow::subtitlesWindowToggled, this, &Application::toggleSubtitlesWindow);
    connect(w, &MainWindow::pauseToggled, this, [this] { m_session->engine().togglePause(); });
    connect(w, &MainWindow::stopRequested, this, &Application::stopPausedJob);
    // The loop looks at the box before each picture it draws.
    m_session->showSubpictures(w->showsPictures());
    connect(w, &MainWindow::showPicturesToggled, this,
            [this](bool on) { m_session->showSubpictures(on); });
}

void Application::wireJobSetup() {
    JobSetupDialog* d = m_jobSetup;
    connect(d, &JobSetupDialog::subtitlesWindowRequested, this, &Application::showSubtitlesWindow);
    connect(d, &JobSetupDialog::clearSubtitlesRequested, this, &Application::clearSubtitles);
    connect(d, &JobSetupDialog::openMatrixRequested, this, &Application::openMatrix);
    connect(d, &JobSetupDialog::newMatrixRequested, this, &Application::newMatrix);
    connect(d, &JobSetupDialog::jobStarted, this, [this] {
        static const char* const kModes[] = {"OCR", "BMP", "SUP", "Show only"};
        m_mainWindow->showJobMode(kModes[std::clamp(m_session->job().Action - 1, 0, 3)]);
    });
}

// Progression controller: the show-only action waits here at each picture.
void Application::wireProgression() {
    ProgressionDialog* p = m_progression;
    connect(p, &ProgressionDialog::shown, this, &Application::hideSubtitlesWindow);
    connect(p, &ProgressionDialog::saveAsBmpRequested, this,
            [this] { m_session->actions().saveShownPictureAsBmp(); });
    connect(p, &ProgressionDialog::saveAsSupRequested, this,
            [this] { m_session->actions().saveCurrentSpuAsSup(); });
    connect(p, &ProgressionDialog::changeColoursRequested, this,
            [this] { m_session->actions().changeColours(); });
}

ProgressionChoice Application::waitAtProgression() {
    m_progression->exec();
    const ProgressionChoice choice = m_progression->choice();
    if (choice == ProgressionChoice::Next) m_mainWindow->focusShowPicturesBox();
    return choice;
}

void Application::start() {
    m_mainWindow->show();
    m_tickTimer.start();
}

// A job that cannot go on says so and stops, rather than trying the same
// file at every tick without a word.
TickResult Application::tick() {
    const TickResult r = m_session->tick();
    RipEngine& engine = m_session->engine();
    if (r == TickResult::MissingFile) {
        const RipJob& job = m_session->job();
        const std::string file = job.FileList[job.CurrentFile - 1].string();
        engine.stopJob();
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      m_catalogue.text(Message::FileNotFound) + file + "\r" +
                          m_catalogue.text(Message::JobStopped));
    } else if (r == TickResult::Processed && engine.halted()) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, m_catalogue.text(Message::JobStopped));
    }
    return r;
}

} // namespace mirtal
