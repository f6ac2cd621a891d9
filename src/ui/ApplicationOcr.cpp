#include "ocr/GlyphNaming.h"
#include "ocr/MatrixFlows.h"
#include "ocr/RecognitionLanguage.h"
#include "settings/SettingsFile.h"
#include "tess/TesseractRecognizer.h"
#include "ui/Application.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/MatrixEditor.h"
#include "ui/NewCharacterDialog.h"
#include "ui/OcrSetupDialog.h"
#include "ui/TextColourDialog.h"

#include <QAction>
#include <algorithm>
#include <memory>

namespace mirtal {

namespace {

// A dialog folder goes back into the settings only when it changed, so that
// the text read from the settings file is kept as it was.
void keepFolder(std::string& stored, const std::filesystem::path& folder) {
    if (folder.empty() || std::filesystem::path(stored) == folder || stored == folderText(folder))
        return;
    stored = folderText(folder);
}

// Runs one of the matrix commands with the dialog folders of the settings;
// the editor and the job setup follow what it changes.
template <typename Flow> bool runMatrixFlow(Application& app, Flow flow) {
    ProgramSettings& ps = app.settings();
    MatrixDialogFolders folders{ps.OpenDialogCharMatrix, ps.SaveDialogCharMatrix};
    MatrixFlows flows(app.session().matrix(), app.dialogs(), app.catalogue(), folders);
    flows.onMatrixReplaced = [&app] { app.matrixEditor()->rebuildList(); };
    flows.onFileNameChanged = [&app] {
        app.jobSetup()->refreshMatrixField();
        app.matrixEditor()->updateCaption();
    };
    const bool done = flow(flows);
    keepFolder(ps.OpenDialogCharMatrix, folders.openFolder);
    keepFolder(ps.SaveDialogCharMatrix, folders.saveFolder);
    return done;
}

} // namespace

// The OCR windows: new character dialog, OCR advanced setup, character
// matrix editor and text colour selection.
void Application::createOcrWindows() {
    Session& s = *m_session;
    m_newCharacter = new NewCharacterDialog(m_dialogs, m_catalogue, m_mainWindow);
    m_ocrSetup = new OcrSetupDialog(s.ocrSettings(), m_dialogs, settingsFile(), m_mainWindow);
    m_matrixEditor = new MatrixEditor(s.matrix(), m_dialogs, m_catalogue, m_mainWindow);
    m_textColour = new TextColourDialog(s.ocrState(), m_mainWindow);

    wireTextColour();

    // Unknown glyphs: asked in Form2; what is learned is listed at once.
    s.ocr().options().onLearned = [this](int index) { m_matrixEditor->listLearnedEntry(index); };

    // New glyphs named by Tesseract: opened for the stream's language when a
    // job starts; without the language's package they are asked.
    connect(m_jobSetup, &JobSetupDialog::aboutToStart, this, [this](const std::string& code) {
        Session& s = *m_session;
        if (GlyphNaming(s.ocrSettings().NameGlyphs) == GlyphNaming::Ask) {
            s.setRecognizer(nullptr);
            return;
        }
        const std::string language = recognitionLanguage(code);
        if (!m_recognizer || language != m_recognizerLanguage) {
            std::string error;
            m_recognizer = TesseractRecognizer::open(language, error);
            m_recognizerLanguage = m_recognizer ? language : std::string();
            if (!m_recognizer)
                m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                              "New glyphs will be asked: " + error);
        }
        s.setRecognizer(m_recognizer.get());
    });

    MainWindow* w = m_mainWindow;
    connect(w, &MainWindow::matrixEditorRequested, m_matrixEditor, [this] {
        m_matrixEditor->show();
        m_matrixEditor->raise();
        m_matrixEditor->activateWindow();
    });
    connect(w, &MainWindow::openMatrixRequested, this, &Application::openMatrix);
    connect(w, &MainWindow::saveMatrixRequested, this,
            [this] { runMatrixFlow(*this, [](MatrixFlows& f) { return f.saveMatrixMenu(); }); });
    connect(w, &MainWindow::saveMatrixAsRequested, this,
            [this] { runMatrixFlow(*this, [](MatrixFlows& f) { return f.saveMatrix(true); }); });
    connect(w, &MainWindow::newMatrixRequested, this, &Application::newMatrix);
    connect(w, &MainWindow::ocrSetupRequested, m_ocrSetup, [this] { m_ocrSetup->exec(); });
}

// Text colour: the dialog previews in the main window, which it may enlarge
// so that the picture can be seen whole, and it hides the Subtitles window
// while it is up.
void Application::wireTextColour() {
    auto subtitlesWereVisible = std::make_shared<bool>(false);
    connect(m_textColour, &TextColourDialog::previewChanged, this,
            [this](const Bitmap24& b) { m_host.showPicture(b, Rect{}); });
    connect(m_textColour, &TextColourDialog::opened, this, [this, subtitlesWereVisible] {
        *subtitlesWereVisible = subtitlesWindowVisible();
        if (*subtitlesWereVisible) hideSubtitlesWindow();
        const QSize image = m_mainWindow->pictureSize();
        const int width = std::max(m_mainWindow->width(), image.width() + 23);
        const int height = std::max(m_mainWindow->height(), image.height() + 110);
        if (width != m_mainWindow->width() || height != m_mainWindow->height())
            m_mainWindow->resize(width, height);
    });
    connect(m_textColour, &TextColourDialog::closed, this, [this, subtitlesWereVisible] {
        if (*subtitlesWereVisible) showSubtitlesWindow();
        *subtitlesWereVisible = false;
    });
}

std::optional<int> Application::chooseTextColour(const Bitmap24& work, int) {
    return m_textColour->ask(work);
}

GlyphAnswer Application::askGlyph(const GlyphQuestion& q) {
    return m_newCharacter->ask(q, m_session->ocrState().DrawColor[0]);
}

// The matrix commands, for the menu, the job setup and the close flow.
bool Application::confirmDiscardMatrix() {
    return runMatrixFlow(*this, [](MatrixFlows& f) { return f.confirmDiscardMatrix(); });
}

void Application::openMatrix() {
    runMatrixFlow(*this, [](MatrixFlows& f) { return f.openMatrix(); });
}

void Application::newMatrix() {
    runMatrixFlow(*this, [](MatrixFlows& f) { return f.newMatrix(); });
}

} // namespace mirtal
