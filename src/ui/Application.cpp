#include "ui/Application.h"

#include "ocr/OcrSettings.h"
#include "settings/SettingsFile.h"
#include "ui/AboutDialog.h"
#include "ui/ImageConvert.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/ProgressionDialog.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
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
    stored = FolderText(folder);
}

void setTextIfChanged(QLabel* label, const std::string& text) {
    const QString t = fromCp1252(text);
    if (label->text() != t) label->setText(t);
}

// The loaded settings into the windows that show them.
void applySettings(Application& app) {
    const ProgramSettings& ps = app.settings();
    Session& s = app.session();
    JobSetupDialog& d = *app.jobSetup();
    d.openDialogFolder = ps.OpenDialogVob;
    // An action the dialog does not have (a damaged file) is the first one.
    d.RadioGroupAction->setItemIndex(ps.ActionMode >= 0 && ps.ActionMode <= 4 ? ps.ActionMode : 0);
    d.CheckBoxPictTiming->setChecked(ps.WithTimingAndPosition);
    d.CheckBoxForcedOnly->setChecked(ps.ForcedOnly);
    d.CheckBoxFromVideoStart->setChecked(ps.FromVideoStart);
    d.RadioGroupActionClick();
    s.actions().pictureFolder = ps.SaveDialogBmpSup;
    SubtitleDocument& doc = s.document();
    doc.AutoScrollDown = ps.AutoScrollDown;
    doc.OpenFolder = ps.OpenDialogMirtalText;
    doc.SaveFolder = ps.SaveDialogText;
}

// What the user changed in the windows of this group, back into the settings.
void collectSettings(Application& app) {
    ProgramSettings& ps = app.settings();
    JobSetupDialog& d = *app.jobSetup();
    storeFolder(ps.OpenDialogVob, d.openDialogFolder);
    if (d.RadioGroupAction->itemIndex() >= 0) ps.ActionMode = d.RadioGroupAction->itemIndex();
    ps.WithTimingAndPosition = d.CheckBoxPictTiming->isChecked();
    ps.ForcedOnly = d.CheckBoxForcedOnly->isChecked();
    ps.FromVideoStart = d.CheckBoxFromVideoStart->isChecked();
    storeFolder(ps.SaveDialogBmpSup, app.session().actions().pictureFolder);
}

// The first showing of the main window: settings, catalogue, language,
// then the preview from the loaded settings.
void startUp(Application& app) {
    Session& s = app.session();
    ResetOcrSettings(s.ocrSettings());
    SettingsWarnings warnings;
    const Result loaded =
        LoadSettings(app.settingsFile(), FolderText(app.dialogFolder()), app.settings(),
                     s.ocrSettings(), s.document().options(), s.bmpSettings(), &warnings);
    applySettings(app);
    app.catalogue().FillMessageCatalogue();
    app.buildLanguageMenu();
    if (!app.settings().LanguageFileName.empty()) app.loadLanguage(app.settings().LanguageFileName);
    app.mainWindow()->setUpPreview();
    // The file stays as it is: closing will not write over what it could not read.
    if (!loaded)
        app.dialogs().ask(MessageKind::Warning, {Answer::Ok},
                          loaded.error + "\rThe default settings are used for this session.");
    showSettingsWarnings(app.dialogs(), warnings);
}

bool closeRequest(Application& app) {
    if (app.confirmDiscardMatrix && !app.confirmDiscardMatrix()) return false;
    if (app.session().document().Modified()) {
        const MessageCatalogue& msg = app.catalogue();
        if (app.dialogs().ask(MessageKind::Confirmation, {Answer::Yes, Answer::No},
                              msg.text(Message::TextNotSavedQuit) + "\r" + msg.text(Message::ReallyQuit)) != Answer::Yes) {
            if (app.showSubtitlesWindow) app.showSubtitlesWindow();
            return false;
        }
    }
    return true;
}

void shutDown(Application& app) {
    Session& s = app.session();
    const RipJob& job = s.job();
    if (!job.Paused && (job.Busy || !job.finished())) s.engine().togglePause();
    app.timer().stop();
    collectSettings(app);
    const Result saved =
        SaveSettings(app.settingsFile(), app.settings(), s.document().options(), s.bmpSettings());
    if (!saved)
        app.dialogs().ask(MessageKind::Warning, {Answer::Ok},
                          "The settings were not saved.\r" + saved.error);
}

} // namespace

Application::Application(Options options)
    : m_programFolder(std::move(options.programFolder)), m_dialogs(nullptr), m_host(m_dialogs) {
    m_dialogs.setScripted(options.scriptedDialogs);
    m_settingsFolder = SettingsFolder(m_programFolder);
    m_dialogFolder = DialogStartFolder(m_programFolder);
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
    m_timer1.setObjectName("Timer1");
    m_timer1.setInterval(500);
    connect(&m_timer1, &QTimer::timeout, this, [this] { tick(); });
}

std::vector<FileInUse> Application::filesInUse() const {
    std::vector<FileInUse> files;
    for (const std::filesystem::path& vob : m_session->job().FileList)
        files.push_back({vob, "a file of the job"});
    if (!m_session->matrix().FileName().empty())
        files.push_back({m_session->matrix().FileName(), "the character matrix"});
    files.push_back({settingsFile(), "the settings file"});
    if (!m_settings.Preview.BackImageName.empty())
        files.push_back({m_settings.Preview.BackImageName, "the background picture"});
    return files;
}

// The windows of every group hang from the main window.
Application::~Application() {
    delete m_mainWindow;
}

void Application::createMainWindows() {
    m_mainWindow = new MainWindow(m_settings.Preview, m_dialogs, m_catalogue, m_dialogFolder);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    m_jobSetup = new JobSetupDialog(*m_session, m_dialogs, m_mainWindow);
    m_progression = new ProgressionDialog(m_mainWindow);
    m_about = new AboutDialog(m_mainWindow);
    MainWindow& w = *m_mainWindow;
    Session& s = *m_session;

    // The pause caption is the engine's only when the pause state changes:
    // until then a caption from a language file stays.
    m_host.onDisplayChanged = [this, shownCaption =
                                         RipTexts{}.pauseCaption](const RipTexts& d) mutable {
        MainWindow& w = *m_mainWindow;
        setTextIfChanged(w.LabelVobFile, d.LabelVobFile);
        setTextIfChanged(w.LabelVobNum, d.LabelVobNum);
        setTextIfChanged(w.LabelVobNb, d.LabelVobNb);
        setTextIfChanged(w.LabelNbSup, d.LabelNbSup);
        setTextIfChanged(w.LabelTotalNbSup, d.LabelTotalNbSup);
        setTextIfChanged(w.LabelPos, d.LabelPos);
        w.ProgressBar1->setValue(d.progressPercent);
        setTextIfChanged(w.LabelTimeElapsed, d.LabelTimeElapsed);
        setTextIfChanged(w.LabelTimeRemaining, d.LabelTimeRemaining);
        setTextIfChanged(w.LabelTime, d.LabelTime);
        setTextIfChanged(w.LabelTime7, d.LabelTime7);
        setTextIfChanged(w.LabelChapters, d.LabelChapters);
        setTextIfChanged(w.LabelFPS, d.LabelFPS);
        setTextIfChanged(w.LabelGlyphsNamed, d.LabelGlyphsNamed);
        setTextIfChanged(w.LabelGlyphsAsked, d.LabelGlyphsAsked);
        if (d.pauseCaption != shownCaption) {
            shownCaption = d.pauseCaption;
            QString pause = fromCp1252(d.pauseCaption);
            pause.replace(QChar(127), QChar(0x2016)); // the pause glyph of the symbol font
            w.ButtonPause->setText(pause);
        }
        w.ButtonPause->setEnabled(d.pauseEnabled);
        w.ButtonStop->setVisible(d.pauseEnabled && m_session->job().Paused);
        // A job halted at a bad pack stays busy; only a new Start leaves that
        // state, so the job setup must stay reachable. Any other busy job is
        // inside its file loop, where a new Start would pull the file list
        // from under it.
        const bool canOpen = d.openVobEnabled || m_session->engine().halted();
        w.OpenVob1->setEnabled(canOpen);
        w.CoolButtonOpenVob->setEnabled(canOpen);
        // The application's display name would end every window's title;
        // the progress belongs to the main window's alone.
        if (d.applicationTitle != RipTexts{}.applicationTitle)
            w.showProgress(d.progressPercent);
    };
    m_host.onShowPicture24 = [this](const Bitmap24& b, const Rect& r) {
        m_mainWindow->ShowPicture(toQImage(b), r);
    };
    m_host.onShowPicturePalette = [this](const PaletteBitmap& b, const Rect& r) {
        m_mainWindow->ShowPicture(toQImage(b), r);
    };

    // File menu, tool buttons, pause.
    auto openVob = [this] {
        const RipJob& job = m_session->job();
        if (job.Busy && !m_session->engine().halted()) return;
        m_jobSetup->exec();
    };
    connect(w.OpenVob1, &QAction::triggered, this, openVob);
    connect(w.CoolButtonOpenVob, &QToolButton::clicked, this, openVob);
    connect(w.Quit1, &QAction::triggered, &w, &QWidget::close);
    connect(w.About1, &QAction::triggered, m_about, [this] { m_about->exec(); });
    connect(w.CoolButtonShowSubtitleText, &QToolButton::clicked, this, [this] {
        if (toggleSubtitlesWindow) toggleSubtitlesWindow();
    });
    connect(w.ButtonPause, &QPushButton::clicked, this,
            [this] { m_session->engine().togglePause(); });
    // Out of the pause for good: the pause button shows Pause again, and
    // no tick takes the job up before it is stopped.
    connect(w.ButtonStop, &QPushButton::clicked, this, [this] {
        RipEngine& engine = m_session->engine();
        if (!m_session->job().Paused) return;
        engine.togglePause();
        engine.StopJob();
    });
    // The loop looks at the box before each picture it draws.
    s.showSubpictures(w.CheckBoxShowSubPict->isChecked());
    connect(w.CheckBoxShowSubPict, &QCheckBox::toggled, this,
            [this](bool on) { m_session->showSubpictures(on); });

    // Job setup.
    JobSetupDialog& d = *m_jobSetup;
    d.showSubtitlesWindow = [this] {
        if (showSubtitlesWindow) showSubtitlesWindow();
    };
    d.clearSubtitles = [this] {
        if (clearSubtitles) clearSubtitles();
    };
    d.confirmDiscardMatrix = [this] { return !confirmDiscardMatrix || confirmDiscardMatrix(); };
    d.openMatrix = [this] {
        if (openMatrix) openMatrix();
    };
    d.newMatrix = [this] {
        if (newMatrix) newMatrix();
    };
    d.showSubPict = [this] { return m_mainWindow->CheckBoxShowSubPict->isChecked(); };
    d.onStarted = [this] {
        static const char* const kModes[] = {"OCR", "BMP", "SUP", "Show only"};
        m_mainWindow->LabelMode->setText(kModes[std::clamp(m_session->job().Action - 1, 0, 3)]);
    };

    // Progression controller: the show-only action waits here at each picture.
    ProgressionDialog& p = *m_progression;
    p.onShown = [this] {
        if (hideSubtitlesWindow) hideSubtitlesWindow();
    };
    p.onSaveAsBmp = [this] { m_session->actions().saveShownPictureAsBmp(); };
    p.onSaveAsSup = [this] { m_session->actions().saveCurrentSpuAsSup(); };
    p.onChangeColor = [this] { m_session->actions().changeColors(); };
    m_host.onWaitAtProgression = [this] {
        m_progression->exec();
        const ProgressionChoice choice = m_progression->choice();
        if (choice == ProgressionChoice::Next) m_mainWindow->CheckBoxShowSubPict->setFocus();
        return choice;
    };

    w.onFirstShow = [this] { startUp(*this); };
    w.onCloseRequest = [this] { return closeRequest(*this); };
    w.onClosed = [this] { shutDown(*this); };
}

void Application::start() {
    m_mainWindow->show();
    m_timer1.start();
}

// A job that cannot go on says so and stops, rather than trying the same
// file at every tick without a word.
TickResult Application::tick() {
    const TickResult r = m_session->tick();
    RipEngine& engine = m_session->engine();
    if (r == TickResult::MissingFile) {
        const RipJob& job = m_session->job();
        const std::string file = job.FileList[job.CurrentFile - 1].string();
        engine.StopJob();
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                      m_catalogue.text(Message::FileNotFound) + file + "\r" +
                          m_catalogue.text(Message::JobStopped));
    } else if (r == TickResult::Processed && engine.halted()) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, m_catalogue.text(Message::JobStopped));
    }
    return r;
}

} // namespace mirtal
