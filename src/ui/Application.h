#pragma once

#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "rip/Session.h"
#include "settings/ProgramSettings.h"
#include "subtitles/OutputOptions.h"
#include "subtitles/SystemBannerClock.h"
#include "ui/QtHost.h"
#include "ui/UiDialogs.h"

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCloseEvent;
class QTranslator;

namespace mirtal {

class LineRecognizer;

class MainWindow;
class JobSetupDialog;
class ProgressionDialog;
class AboutDialog;
// OCR windows
class NewCharacterDialog; // Form2
class OcrSetupDialog;     // Form4
class MatrixEditor;       // Form5
class TextColourDialog;   // Form9
// Subtitle windows
class SubtitlesWindow;      // Form3
class PostOcrDialog;        // Form10
class OutputFormatDialog;   // Form13
class TimeCorrectionDialog; // Form14
class SplitDialog;          // Form17
// Bitmap window
class BitmapAdjustDialog; // Form18

// The program: its working state, its windows and the wiring between them.
// Created once by main(); GUI tests create it with a temporary program
// folder and scripted dialogs.
class Application : public QObject, private QtHost::Answers {
    Q_OBJECT
public:
    struct Options {
        std::filesystem::path programFolder; // the executable's folder
        bool scriptedDialogs = false;        // tests answer every dialog in advance
        // The date and time in the script banners; the system's when null.
        const BannerClock* bannerClock = nullptr;
    };
    explicit Application(Options options);
    ~Application() override;

    // Shows the main window and runs the start-up steps of its first showing.
    void start();

    Session& session() { return *m_session; }
    QtHost& host() { return m_host; }
    UiDialogs& dialogs() { return m_dialogs; }
    MessageCatalogue& catalogue() { return m_catalogue; }
    ProgramSettings& settings() { return m_settings; }
    const std::filesystem::path& programFolder() const { return m_programFolder; }
    const std::filesystem::path& settingsFolder() const { return m_settingsFolder; }
    // Where the file dialogs open until the settings say otherwise.
    const std::filesystem::path& dialogFolder() const { return m_dialogFolder; }
    std::filesystem::path settingsFile() const { return m_settingsFolder / "Mirtal.ini"; }

    MainWindow* mainWindow() const { return m_mainWindow; }
    JobSetupDialog* jobSetup() const { return m_jobSetup; }
    ProgressionDialog* progression() const { return m_progression; }
    AboutDialog* about() const { return m_about; }
    NewCharacterDialog* newCharacter() const { return m_newCharacter; }
    OcrSetupDialog* ocrSetup() const { return m_ocrSetup; }
    MatrixEditor* matrixEditor() const { return m_matrixEditor; }
    TextColourDialog* textColour() const { return m_textColour; }
    SubtitlesWindow* subtitlesWindow() const { return m_subtitlesWindow; }
    PostOcrDialog* postOcr() const { return m_postOcr; }
    OutputFormatDialog* outputFormat() const { return m_outputFormat; }
    TimeCorrectionDialog* timeCorrection() const { return m_timeCorrection; }
    SplitDialog* split() const { return m_split; }
    BitmapAdjustDialog* bitmapAdjust() const { return m_bitmapAdjust; }

    // The processing tick of the main window's timer.
    TickResult tick();

    // GUI language files (ApplicationLanguage.cpp): the "GUI &Language"
    // submenu from the lang folder, loading a language into every window and
    // the catalogue, and writing lang/New_LangFile.lng with every text.
    void buildLanguageMenu();
    void loadLanguage(const std::string& name);
    // The file is written to the lang folder of the settings folder; the
    // result says why it could not be.
    Result exportLanguageTemplate();
    // Where language files are looked for: the settings folder's lang folder
    // (the user's own files and the template), then the one beside the
    // executable (the translations shipped with the program) when it differs.
    std::vector<std::filesystem::path> languageFolders() const;

private:
    // Each group of windows is created and wired in a file of its own.
    void createMainWindows();     // Form1, Form6, Form11, Form12: Application.cpp
    void createOcrWindows();      // Form2, Form4, Form5, Form9: ApplicationOcr.cpp
    void createSubtitleWindows(); // Form3, Form10, Form13, Form14, Form17: ApplicationSubtitles.cpp
    void createBitmapWindow();    // Form18: ApplicationBitmap.cpp
    void wireLanguageButton();    // Form1's "Save Lang": ApplicationLanguage.cpp
    void wireMainWindow();
    void wireJobSetup();
    void wireProgression();
    void wireTextColour(); // ApplicationOcr.cpp
    void showRipDisplay(const RipDisplay& display);
    void openJobSetup();
    void stopPausedJob();

    // The main window's first showing, its close request and its closing.
    void startUp();
    void closeRequested(QCloseEvent* event);
    void shutDown();
    void applySettings();
    void collectSettings();

    // What one group of windows does for another.
    // The Subtitles window and its dialogs (ApplicationSubtitles.cpp).
    void showSubtitlesWindow(); // beside the main window
    void hideSubtitlesWindow();
    bool subtitlesWindowVisible() const;
    void toggleSubtitlesWindow(); // the main window's text button
    void clearSubtitles();        // Clear, asking only while modified
    // The output format dialog's on-show step and "Convert to this &Format"
    // for the given format, without showing the dialog (bitmap adjustment OK).
    void convertOutputFormat(TOutputFormat format);
    // The matrix commands (ApplicationOcr.cpp).
    bool confirmDiscardMatrix(); // the save-changes prompt; false = cancel
    void openMatrix();
    void newMatrix();

    // The engine's questions, answered by the windows: the text colour and
    // the glyphs in ApplicationOcr.cpp, the bitmap adjustment in
    // ApplicationBitmap.cpp, the progression controller here.
    std::optional<int> chooseTextColour(const Bitmap24& work, int guess) override;
    GlyphAnswer askGlyph(const GlyphQuestion& question) override;
    bool adjustBitmap() override;
    ProgressionChoice waitAtProgression() override;

    // GUI languages (ApplicationLanguage.cpp).
    void chooseLanguage(QAction* entry);
    // Qt's own texts (message box and file dialog buttons) in the language
    // the file's name names, when Qt has them.
    void loadQtTranslations(const std::string& languageName);
    // What no save dialog may write over.
    std::vector<FileInUse> filesInUse() const;

    std::filesystem::path m_programFolder;
    std::filesystem::path m_settingsFolder;
    std::filesystem::path m_dialogFolder;
    UiDialogs m_dialogs;
    QtHost m_host;
    MessageCatalogue m_catalogue;
    SystemBannerClock m_clock;
    std::unique_ptr<Session> m_session;
    ProgramSettings m_settings;
    QTimer m_tickTimer;
    // Names new glyphs in the language of the stream being ripped.
    std::unique_ptr<LineRecognizer> m_recognizer;
    std::string m_recognizerLanguage;
    std::unique_ptr<QTranslator> m_qtTranslator;

    MainWindow* m_mainWindow = nullptr;
    JobSetupDialog* m_jobSetup = nullptr;
    ProgressionDialog* m_progression = nullptr;
    AboutDialog* m_about = nullptr;
    NewCharacterDialog* m_newCharacter = nullptr;
    OcrSetupDialog* m_ocrSetup = nullptr;
    MatrixEditor* m_matrixEditor = nullptr;
    TextColourDialog* m_textColour = nullptr;
    SubtitlesWindow* m_subtitlesWindow = nullptr;
    PostOcrDialog* m_postOcr = nullptr;
    OutputFormatDialog* m_outputFormat = nullptr;
    TimeCorrectionDialog* m_timeCorrection = nullptr;
    SplitDialog* m_split = nullptr;
    BitmapAdjustDialog* m_bitmapAdjust = nullptr;
};

} // namespace mirtal
