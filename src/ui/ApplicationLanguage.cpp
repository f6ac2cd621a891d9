#include "base/TextCodec.h"
#include "settings/LanguageFile.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/QtLanguageTarget.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>
#include <algorithm>

// Every window whose class this build has; the others are passed over.
#include "ui/AboutDialog.h"
#include "ui/JobSetupDialog.h"
#include "ui/ProgressionDialog.h"
#if __has_include("ui/NewCharacterDialog.h")
#include "ui/NewCharacterDialog.h"
#endif
#if __has_include("ui/SubtitlesWindow.h")
#include "ui/SubtitlesWindow.h"
#endif
#if __has_include("ui/OcrSetupDialog.h")
#include "ui/OcrSetupDialog.h"
#endif
#if __has_include("ui/MatrixEditor.h")
#include "ui/MatrixEditor.h"
#endif
#if __has_include("ui/TextColourDialog.h")
#include "ui/TextColourDialog.h"
#endif
#if __has_include("ui/PostOcrDialog.h")
#include "ui/PostOcrDialog.h"
#endif
#if __has_include("ui/OutputFormatDialog.h")
#include "ui/OutputFormatDialog.h"
#endif
#if __has_include("ui/TimeCorrectionDialog.h")
#include "ui/TimeCorrectionDialog.h"
#endif
#if __has_include("ui/SplitDialog.h")
#include "ui/SplitDialog.h"
#endif
#include "ui/BitmapAdjustDialog.h"

namespace mirtal {

namespace {

template <typename T> QWidget* asWidget(T* window) {
    if constexpr (requires { sizeof(T); })
        return window;
    else
        return nullptr;
}

// The windows in the order of their language texts.
std::vector<QWidget*> languageWindows(const Application& app) {
    return {
        asWidget(app.mainWindow()), asWidget(app.newCharacter()), asWidget(app.subtitlesWindow()),
        asWidget(app.ocrSetup()),   asWidget(app.matrixEditor()), asWidget(app.jobSetup()),
        asWidget(app.textColour()), asWidget(app.postOcr()),      asWidget(app.progression()),
        asWidget(app.about()),      asWidget(app.outputFormat()), asWidget(app.timeCorrection()),
        asWidget(app.split()),      asWidget(app.bitmapAdjust())};
}

// The language names of all folders, the first folder winning for a name
// found in several; sorted by name as each folder's own listing is.
std::vector<LanguageEntry> listAllLanguages(const std::vector<fs::path>& folders) {
    std::vector<LanguageEntry> all;
    for (const fs::path& folder : folders)
        for (LanguageEntry& e : listLanguages(folder)) {
            const bool known = std::any_of(all.begin(), all.end(), [&](const LanguageEntry& k) {
                return equalsIgnoreCase(k.name, e.name);
            });
            if (!known) all.push_back(std::move(e));
        }
    std::stable_sort(all.begin(), all.end(), [](const LanguageEntry& a, const LanguageEntry& b) {
        return lessIgnoreCase(a.name, b.name);
    });
    return all;
}

// The language a language file's name names, in that language or in
// English, without regard to case or accents: "Francais", "Français" and
// "French" are all French. C when it names none.
QLocale localeNamed(const QString& name) {
    auto plain = [](const QString& s) {
        return s.normalized(QString::NormalizationForm_D)
            .remove(QRegularExpression(QStringLiteral("[^\\p{L}]")))
            .toCaseFolded();
    };
    const QString wanted = plain(name);
    for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = QLocale::Language(l);
        const QLocale locale(language);
        if (locale.language() != language) continue; // Qt has no data for it
        if (plain(locale.nativeLanguageName()) == wanted ||
            plain(QLocale::languageToString(language)) == wanted)
            return locale;
    }
    return QLocale::c();
}

} // namespace

std::vector<std::filesystem::path> Application::languageFolders() const {
    return languageFoldersFor(m_programFolder, m_settingsFolder);
}

void Application::buildLanguageMenu() {
    QMenu* menu = m_mainWindow->languageMenu();
    menu->clear();
    for (const LanguageEntry& e : listAllLanguages(languageFolders())) {
        // The entry stands for the name as the settings file keeps it.
        const QString name = fromCp1252(e.caption);
        QString caption = name;
        caption.replace('&', "&&");
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(name);
        entry->setData(name);
        entry->setCheckable(true);
        entry->setChecked(e.caption == m_settings.LanguageFileName);
        connect(entry, &QAction::triggered, this, [this, entry] { chooseLanguage(entry); });
    }
}

void Application::chooseLanguage(QAction* entry) {
    for (QAction* a : m_mainWindow->languageMenu()->actions()) a->setChecked(false);
    entry->setChecked(true);
    m_settings.LanguageFileName = toCp1252(entry->data().toString());
    loadLanguage(m_settings.LanguageFileName);
}

void Application::loadLanguage(const std::string& name) {
    // Names are Windows-1252 text as the settings file holds them; the file
    // system spells them in UTF-8.
    const std::string fileName = cp1252ToUtf8(name);
    for (const fs::path& folder : languageFolders()) {
        const fs::path file = languageFilePath(folder, fileName);
        std::error_code ec;
        if (file.empty() || !fs::exists(file, ec)) continue;
        QtLanguageTarget target(languageWindows(*this));
        if (Result r = loadLanguageFile(file, target, m_catalogue); !r)
            m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
        loadQtTranslations(name);
        return;
    }
    // A language whose file is gone changes nothing: the texts stay as they are.
}

void Application::loadQtTranslations(const std::string& languageName) {
    m_qtTranslator.reset(); // takes itself out of the application
    const QLocale locale = localeNamed(fromCp1252(languageName));
    if (locale.language() == QLocale::C || locale.language() == QLocale::English) return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return; // Qt's texts stay English
    QCoreApplication::installTranslator(translator.get());
    m_qtTranslator = std::move(translator);
}

Result Application::exportLanguageTemplate() {
    QtLanguageTarget target(languageWindows(*this));
    return writeLanguageTemplate(languageFolderIn(m_settingsFolder), target, m_catalogue);
}

void Application::wireLanguageButton() {
    connect(m_mainWindow, &MainWindow::saveLanguageRequested, this, [this] {
        if (Result r = exportLanguageTemplate(); !r)
            m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
    });
}

} // namespace mirtal
