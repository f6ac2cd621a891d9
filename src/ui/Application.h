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
class QTranslator;

namespace mirtal {

class LineRecognizer;

class MainWindow;
class JobSetupDialog;
class ProgressionDialog;
class AboutDialog;
// OCR windows
class NewCharacterDialog;  // Form2
class OcrSetupDialog;      // Form4
class MatrixEditor;        // Form5
class TextColorDialog;     // Form9
// Subtitle windows
class SubtitlesWindow;       // Form3
class PostOcrDialog;         // Form10
class OutputFormatDialog;    // Form13
class TimeCorrectionDialog;  // Form14
class SplitDialog;           // Form17
// Bitmap window
class BitmapAdjustDialog; // Form18

// The program: its working state, its windows and the wiring between them.
// Created once by main(); GUI tests create it with a temporary program
// folder and scripted dialogs.
class Application : public QObject {
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
    QTimer& timer() { return m_timer1; }

    MainWindow* form1() const { return m_form1; }
    JobSetupDialog* form6() const { return m_form6; }
    ProgressionDialog* form11() const { return m_form11; }
    AboutDialog* form12() const { return m_form12; }
    NewCharacterDialog* form2() const { return m_form2; }
    OcrSetupDialog* form4() const { return m_form4; }
    MatrixEditor* form5() const { return m_form5; }
    TextColorDialog* form9() const { return m_form9; }
    SubtitlesWindow* form3() const { return m_form3; }
    PostOcrDialog* form10() const { return m_form10; }
    OutputFormatDialog* form13() const { return m_form13; }
    TimeCorrectionDialog* form14() const { return m_form14; }
    SplitDialog* form17() const { return m_form17; }
    BitmapAdjustDialog* form18() const { return m_form18; }

    // The processing tick of the main window's timer.
    TickResult tick();

    // GUI language files (ApplicationLanguage.cpp): the "GUI &Language"
    // submenu from the lang folder, loading a language into every window and
    // the catalogue, and writing lang/New_LangFile.lng with every text.
    void buildLanguageMenu();
    void loadLanguage(const std::string& name);
    // The file is written to the lang folder of the settings folder; the
    // result says why it could not be.
    FileResult exportLanguageTemplate();
    // Where language files are looked for: the settings folder's lang folder
    // (the user's own files and the template), then the one beside the
    // executable (the translations shipped with the program) when it differs.
    std::vector<std::filesystem::path> languageFolders() const;

    // Hooks between window groups, installed by the group that owns the window.
    std::function<void()> showSubtitlesWindow;          // Form3 shown beside the main window
    std::function<void()> hideSubtitlesWindow;
    std::function<bool()> subtitlesWindowVisible;
    std::function<void()> toggleSubtitlesWindow;        // the main window's text button
    std::function<void()> clearSubtitles;               // Clear, asking only while modified
    std::function<bool()> confirmDiscardMatrix;         // the save-changes prompt; false = cancel
    std::function<void()> openMatrix;                   // the matrix open flow
    std::function<void()> newMatrix;                    // the new-matrix flow
    std::function<void(int)> matrixEntryLearned;        // the matrix editor lists it
    // The output format dialog's on-show step and "Convert to this &Format"
    // for the given format, without showing the dialog (bitmap adjustment OK).
    std::function<void(TOutputFormat)> convertOutputFormat;

private:
    // Each group of windows is created and wired in a file of its own.
    void createMainWindows();      // Form1, Form6, Form11, Form12: Application.cpp
    void createOcrWindows();       // Form2, Form4, Form5, Form9: ApplicationOcr.cpp
    void createSubtitleWindows();  // Form3, Form10, Form13, Form14, Form17: ApplicationSubtitles.cpp
    void createBitmapWindow();     // Form18: ApplicationBitmap.cpp
    void wireLanguageButton();     // Form1's "Save Lang": ApplicationLanguage.cpp
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
    QTimer m_timer1;
    // Names new glyphs in the language of the stream being ripped.
    std::unique_ptr<LineRecognizer> m_recognizer;
    std::string m_recognizerLanguage;
    std::unique_ptr<QTranslator> m_qtTranslator;

    MainWindow* m_form1 = nullptr;
    JobSetupDialog* m_form6 = nullptr;
    ProgressionDialog* m_form11 = nullptr;
    AboutDialog* m_form12 = nullptr;
    NewCharacterDialog* m_form2 = nullptr;
    OcrSetupDialog* m_form4 = nullptr;
    MatrixEditor* m_form5 = nullptr;
    TextColorDialog* m_form9 = nullptr;
    SubtitlesWindow* m_form3 = nullptr;
    PostOcrDialog* m_form10 = nullptr;
    OutputFormatDialog* m_form13 = nullptr;
    TimeCorrectionDialog* m_form14 = nullptr;
    SplitDialog* m_form17 = nullptr;
    BitmapAdjustDialog* m_form18 = nullptr;
};

} // namespace mirtal
