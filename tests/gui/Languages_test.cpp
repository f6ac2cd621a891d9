#include "Controls.h"
#include "LanguageBitmapSupport.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/MainWindow.h"
#include "ui/NumericEdit.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/SubtitlesWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Languages : ::testing::Test {
    ScratchFolder folder;
    std::unique_ptr<Application> app = makeApp(folder.path());
    BitmapAdjustDialog& form18 = *app->bitmapAdjust();
    MainWindow& form1 = *app->mainWindow();

    std::filesystem::path langFile(const std::string& name) const {
        return LanguageFolder(app->settingsFolder()) / (name + ".lng");
    }
    void writeLanguage(const std::string& name, const std::string& text) {
        writeText(langFile(name), text);
    }
    QStringList menuEntries() const {
        QStringList out;
        for (QAction* a : control<QMenu>(&form1, "GUILanguage1")->actions()) out << a->text();
        return out;
    }
    QStringList checkedEntries() const {
        QStringList out;
        for (QAction* a : control<QMenu>(&form1, "GUILanguage1")->actions())
            if (a->isChecked()) out << a->text();
        return out;
    }
};

// Every key of every section of `ini`, with its value.
std::map<std::string, std::string> allTexts(const IniFile& ini) {
    std::map<std::string, std::string> out;
    for (const std::string& s : ini.sectionNames())
        for (const std::string& k : ini.keyNames(s)) out[s + "/" + k] = *ini.value(s, k);
    return out;
}

} // namespace

TEST(LanguageKinds, ExactClassesOnlyAndTabPages) {
    QWidget w;
    EXPECT_EQ(languageKindOf(new QLabel(&w)), ComponentKind::Label);
    EXPECT_EQ(languageKindOf(new QLineEdit(&w)), ComponentKind::Edit);
    EXPECT_EQ(languageKindOf(new TWord_u(&w)), ComponentKind::Other); // derived from QLineEdit
    EXPECT_EQ(languageKindOf(new TInteger_u(&w)), ComponentKind::Other);
    EXPECT_EQ(languageKindOf(new QPushButton(&w)), ComponentKind::Button);
    EXPECT_EQ(languageKindOf(new QCheckBox(&w)), ComponentKind::CheckBox);
    EXPECT_EQ(languageKindOf(new QRadioButton(&w)), ComponentKind::RadioButton);
    EXPECT_EQ(languageKindOf(new QGroupBox(&w)), ComponentKind::GroupBox);
    EXPECT_EQ(languageKindOf(new QToolButton(&w)), ComponentKind::CoolButton);
    EXPECT_EQ(languageKindOf(new RadioGroup("g", {"a"}, &w)), ComponentKind::RadioGroup);
    EXPECT_EQ(languageKindOf(new QFrame(&w)), ComponentKind::Other);
    auto* tabs = new QTabWidget(&w);
    auto* page = new QWidget;
    tabs->addTab(page, "Page");
    EXPECT_EQ(languageKindOf(page), ComponentKind::TabSheet);
    EXPECT_EQ(languageKindOf(nullptr), ComponentKind::Other);
}

TEST(LanguageKinds, APictureIsNeverReplacedByAText) {
    QWidget window;
    window.setObjectName("FormX");
    auto* picture = new QLabel(&window);
    picture->setObjectName("Image1");
    auto* caption = new QLabel("Caption", &window);
    caption->setObjectName("Label1");
    QPixmap pm(4, 4);
    pm.fill(Qt::red);
    QtLanguageTarget target({&window}); // built before the picture arrives
    picture->setPixmap(pm);
    EXPECT_EQ(languageKindOf(picture), ComponentKind::Other);

    MessageCatalogue catalogue;
    ApplyLanguage(
        IniFile::parse("[FormX]\nFormX.Image1.Caption=Texte\nFormX.Label1.Caption=Titre\n"), target,
        catalogue);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(picture->text().isEmpty());
    EXPECT_EQ(caption->text(), "Titre");
}

TEST(LanguageKinds, ThePauseGlyphTravelsAsCharacter127) {
    const QString pause = QStringLiteral("&Pause ") + QChar(0x2016);
    EXPECT_EQ(toLanguageText(pause), "&Pause \x7f");
    EXPECT_EQ(fromLanguageText("&Pause \x7f"), pause);
    EXPECT_EQ(fromLanguageText("Num\xe9ro"), QString::fromUtf8("Numéro"));
    EXPECT_EQ(toLanguageText(QString::fromUtf8("Numéro")), "Num\xe9ro");
}

TEST_F(Languages, TheTemplateHoldsEveryCoveredTextOfEveryWindowAndNothingElse) {
    const IniFile t = exportedTexts(*app);
    auto text = [&](const char* s, const char* k) { return t.value(s, k).value_or("<missing>"); };
    EXPECT_EQ(text("Form1", "Form1.Form1.Caption"), "Mirtal 0.94b");
    EXPECT_EQ(text("Form1", "Form1.ButtonPause.Caption"), "&Pause \x7f");
    EXPECT_EQ(text("Form1", "Form1.CoolButtonOpenVob.Hint"), "Open Decrypted Vob(s)");
    EXPECT_FALSE(t.hasKey("Form1", "Form1.CoolButtonOpenVob.Caption")); // hint only
    EXPECT_EQ(text("Form1", "Form1.Button1.Caption"), "Save Lang");
    EXPECT_EQ(text("Form1.MainMenu1", "Form1.MainMenu1.File1"), "&File");
    EXPECT_EQ(text("Form1.MainMenu1", "Form1.MainMenu1.Options2.GUILanguage1"), "GUI &Language");
    EXPECT_EQ(text("Form18", "Form18.Form18.Caption"), "Bitmap adjustment");
    EXPECT_EQ(text("Form18", "Form18.ButtonSkipPict.Caption"), "&Skip this Picture");
    EXPECT_EQ(text("Form18", "Form18.ButtonSkipPict.Hint"), "Don't save this Picture");
    EXPECT_EQ(text("Form18", "Form18.TabSheetColors.Caption"), "Colors");
    EXPECT_EQ(text("Form18", "Form18.RadioGroupPresetPaletteIndex.Caption"), "Preset : ");
    EXPECT_EQ(text("Form18", "Form18.RadioGroupPresetPaletteIndex.Items2"), "Philips");
    EXPECT_EQ(text("Form18", "Form18.GroupBoxSizeConstraints.Caption"),
              "Size Constraints : ( Maximum size is 720 x 576 )");
    EXPECT_EQ(text("Messages", "MsgStr_0"), "Maximum Number of Characters reached : ");
    const int n = MessageCatalogue::kDefaultCount;
    EXPECT_TRUE(t.hasKey("Messages", "MsgStr_" + std::to_string(n - 1)));
    EXPECT_FALSE(t.hasKey("Messages", "MsgStr_" + std::to_string(n)));
    // A window's section holds only its own controls, none of the dialogs
    // that hang from it; hints are written only where there is one.
    EXPECT_FALSE(t.hasKey("Form1", "Form1.BitBtnStart.Caption"));
    EXPECT_FALSE(t.hasKey("Form1", "Form1.ButtonSkipPict.Caption"));
    EXPECT_FALSE(t.hasKey("Form18", "Form18.ButtonSaveProfile.Hint"));
    // Spin edits, combo boxes, panels and numeric fields are not covered, nor
    // are Qt's own inner widgets.
    for (const auto& [key, value] : allTexts(t)) {
        EXPECT_EQ(key.find("SpinEdit"), std::string::npos) << key;
        EXPECT_EQ(key.find("ComboBox"), std::string::npos) << key;
        EXPECT_EQ(key.find("PanelColor"), std::string::npos) << key;
        EXPECT_EQ(key.find("Word_u"), std::string::npos) << key;
        EXPECT_EQ(key.find("qt_"), std::string::npos) << key;
    }
    // Every window this build has, in the order of the files.
    const std::vector<std::string> sections = t.sectionNames();
    std::vector<std::string> windows;
    for (const std::string& s : sections)
        if (s.rfind("Form", 0) == 0 && s.find('.') == std::string::npos) windows.push_back(s);
    const std::vector<std::string> expected = {"Form1",  "Form2",  "Form3",  "Form4",  "Form5",
                                               "Form6",  "Form9",  "Form10", "Form11", "Form12",
                                               "Form13", "Form14", "Form17", "Form18"};
    EXPECT_EQ(windows, expected);
    EXPECT_EQ(sections.back(), "Messages");
}

// What the program writes into a control (a counter, a time, a picture) or
// a symbol that Windows-1252 cannot hold ("↓" would come back as "?") is no
// text to translate: the template has its hint only and a file changes no more.
TEST_F(Languages, CountersAndSymbolsAreNeitherExportedNorReplaced) {
    const IniFile t = exportedTexts(*app);
    for (const auto& [key, value] : allTexts(t)) {
        if (key.size() < 8 || key.compare(key.size() - 8, 8, ".Caption") != 0) continue;
        EXPECT_NE(value, "?") << key;
        EXPECT_TRUE(value.empty() || value.find_first_not_of("0123456789:,") != std::string::npos)
            << key << "=" << value;
    }
    EXPECT_FALSE(t.hasKey("Form3", "Form3.LabelNbSubTitle.Caption"));
    EXPECT_FALSE(t.hasKey("Form1", "Form1.Image1.Caption"));
    EXPECT_EQ(t.value("Form3", "Form3.CheckBoxScrollDown.Hint").value_or(""),
              "Auto Scroll down to show the last subtitles ( a bit slower )");

    writeLanguage("Other", "[Form3]\r\nForm3.CheckBoxScrollDown.Caption=?\r\n"
                           "Form3.CheckBoxScrollDown.Hint=Down\r\n"
                           "Form3.LabelNbSubTitle.Caption=none\r\n");
    app->loadLanguage("Other");
    auto* scroll = app->subtitlesWindow()->findChild<QCheckBox*>("CheckBoxScrollDown");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->text(), QString(QChar(0x2193)));
    EXPECT_EQ(scroll->toolTip(), "Down");
    EXPECT_EQ(app->subtitlesWindow()->findChild<QLabel*>("LabelNbSubTitle")->text(), "0");
}

// Qt's own buttons follow the language: a message box in French says Oui.
TEST_F(Languages, QtsOwnTextsFollowTheChosenLanguage) {
    auto yes = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text().toStdString();
    };
    auto open = [] {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        return dialog.findChild<QDialogButtonBox*>()
            ->button(QDialogButtonBox::Open)
            ->text()
            .toStdString();
    };
    ASSERT_EQ(yes(), "&Yes");
    const std::string openEnglish = open();
    for (const char* language : {"Francais", "English"})
        writeLanguage(language,
                      readText(shippedLanguageFolder() / (language + std::string(".lng"))));
    app->loadLanguage("Francais");
    EXPECT_EQ(yes(), "&Oui");
    EXPECT_NE(open(), openEnglish);
    app->loadLanguage("English");
    EXPECT_EQ(yes(), "&Yes");
    EXPECT_EQ(open(), openEnglish);
}

TEST_F(Languages, SaveLangMergesIntoTheTemplateAndKeepsItsOtherKeys) {
    const auto file = LanguageFolder(app->settingsFolder()) / kLanguageTemplateName;
    writeText(file, "[Notes]\r\nTranslator=Someone\r\n[Form18]\r\nForm18.BitBtn1.Caption=Old\r\n");
    control<QPushButton>(&form1, "Button1")->click();
    IniFile t;
    ASSERT_TRUE(t.load(file));
    EXPECT_EQ(t.value("Notes", "Translator"), "Someone");
    EXPECT_EQ(t.value("Form18", "Form18.BitBtn1.Caption"), "OK");
    EXPECT_EQ(t.value("Messages", "MsgStr_36"), "You can't select the same Palette Index twice !!");

    // A template that cannot be written is reported.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    app->dialogs().answers.push_back(Answer::Ok);
    control<QPushButton>(&form1, "Button1")->click();
    ASSERT_EQ(app->dialogs().asked.size(), 1u);
    EXPECT_EQ(app->dialogs().asked[0].kind, MessageKind::Warning);
}

TEST_F(Languages, LoadingReplacesTextsAndMissingKeysKeepThePreviousLanguage) {
    writeLanguage("First", "[Form18]\r\n"
                           "Form18.Form18.Caption=Reglage\r\n"
                           "Form18.ButtonSkipPict.Caption=Sauter\r\n"
                           "Form18.BitBtn1.Caption=Bien\r\n"
                           "Form18.ButtonReduceWindow.Hint=Plus petit\r\n"
                           "Form18.TabSheetColors.Caption=Couleurs\r\n"
                           "Form18.TabSheetColors.Hint=Les couleurs\r\n"
                           "[Form1.MainMenu1]\r\n"
                           "Form1.MainMenu1.File1.Quit1=&Quitter\r\n"
                           "Form1.MainMenu1.Options2.GUILanguage1=&Langue\r\n"
                           "Form1.MainMenu1.File1.OldName1=Ancien\r\n"
                           "[Messages]\r\nMsgStr_0=Premier\r\n");
    writeLanguage("Second",
                  "[form18]\r\nFORM18.BitBtn1.Caption=Gut\r\n[Messages]\r\nMsgStr_1=Zwei\r\n");
    app->loadLanguage("First");
    EXPECT_EQ(form18.windowTitle(), "Reglage");
    EXPECT_EQ(control<QPushButton>(&form18, "ButtonSkipPict")->text(), "Sauter");
    EXPECT_EQ(control<QPushButton>(&form18, "ButtonReduceWindow")->toolTip(), "Plus petit");
    EXPECT_EQ(control<QTabWidget>(&form18, "PageControl1")->tabText(2), "Couleurs");
    EXPECT_EQ(control<QTabWidget>(&form18, "PageControl1")->tabToolTip(2), "Les couleurs");
    EXPECT_EQ(control<QAction>(&form1, "Quit1")->text(), "&Quitter");
    EXPECT_EQ(control<QMenu>(&form1, "GUILanguage1")->title(), "&Langue");
    EXPECT_EQ(app->catalogue().text(Message::MatrixFull), "Premier");

    app->loadLanguage("Second"); // keys matched without case
    EXPECT_EQ(control<QPushButton>(&form18, "BitBtn1")->text(), "Gut");
    EXPECT_EQ(control<QPushButton>(&form18, "ButtonSkipPict")->text(), "Sauter");
    EXPECT_EQ(control<QAction>(&form1, "Quit1")->text(), "&Quitter");
    EXPECT_EQ(app->catalogue().text(Message::MatrixFull), "Premier");
    // MsgStr_0 missing: the catalogue loop ends before MsgStr_1.
    EXPECT_EQ(app->catalogue().text(Message::OneMatrixPerDvd),
              "You have to use a different char. matrix for each DVD.");
    // Built-in captions stay where nothing in the file matches.
    EXPECT_EQ(control<QAction>(&form1, "OpenVob1")->text(), "&Open Vob(s)");
    EXPECT_EQ(control<QPushButton>(&form18, "ButtonSaveBMP")->text(), "Save Current BMP &As ...");
}

TEST_F(Languages, TheCatalogueStopsAtAGapOrAnEmptyTextAndMayGrow) {
    std::string full = "[Messages]\r\n";
    const int n = MessageCatalogue::kDefaultCount;
    for (int i = 0; i <= n; ++i)
        full += "MsgStr_" + std::to_string(i) + "=T" + std::to_string(i) + "\r\n";
    writeLanguage("Full", full);
    writeLanguage("Gap",
                  "[Messages]\r\nMsgStr_0=G0\r\nMsgStr_1=G1\r\nMsgStr_2=G2\r\nMsgStr_3=G3\r\n"
                  "MsgStr_4=G4\r\nMsgStr_6=G6\r\n");
    writeLanguage("Empty",
                  "[Messages]\r\nMsgStr_0=E0\r\nMsgStr_1=E1\r\nMsgStr_2=E2\r\nMsgStr_3=\r\n"
                  "MsgStr_4=E4\r\n");

    app->loadLanguage("Gap");
    EXPECT_EQ(app->catalogue().text(Message::ExistsReplace), "G4");
    EXPECT_EQ(app->catalogue().text(Message::MatrixNotValid),
              "This is NOT a valid Char Matrix File !");
    EXPECT_EQ(app->catalogue().text(Message::MatrixBeforeName), "Character Matrix ");

    app->loadLanguage("Empty");
    EXPECT_EQ(app->catalogue().text(Message::MatrixEmpty), "E2");
    EXPECT_EQ(app->catalogue().text(Message::FileBeforeName), "G3"); // from the language before
    EXPECT_EQ(app->catalogue().text(Message::ExistsReplace), "G4");

    app->loadLanguage("Full");
    EXPECT_EQ(app->catalogue().count(), n + 1);
    EXPECT_EQ(app->catalogue().entry(n), "T" + std::to_string(n));
    EXPECT_EQ(app->catalogue().text(Message::SamePaletteIndexTwice), "T36");
}

TEST_F(Languages, RadioGroupItemsBeyondTheGroupAreIgnored) {
    std::string text = "[Form18]\r\n";
    for (int i = 0; i < 6; ++i)
        text += "Form18.RadioGroupPresetPaletteIndex.Items" + std::to_string(i) + "=P" +
                std::to_string(i) + "\r\n";
    writeLanguage("Radio", text);
    app->loadLanguage("Radio");
    RadioGroup* g = control<RadioGroup>(&form18, "RadioGroupPresetPaletteIndex");
    EXPECT_EQ(g->items(), (QStringList{"P0", "P1", "P2"}));
    EXPECT_EQ(g->count(), 3);
}

TEST_F(Languages, TheMenuListsTheLanguageFilesAndChoosingOneLoadsItAtOnce) {
    writeLanguage("Beta", "[Form18]\r\nForm18.BitBtn1.Caption=Beta OK\r\n");
    writeLanguage("Alpha", "[Form18]\r\nForm18.BitBtn1.Caption=Alpha OK\r\n");
    writeText(LanguageFolder(app->settingsFolder()) / "notes.txt", "not a language");
    app->settings().LanguageFileName = "Beta";
    app->buildLanguageMenu();
    EXPECT_EQ(menuEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(checkedEntries(), QStringList{"Beta"});

    control<QMenu>(&form1, "GUILanguage1")->actions()[0]->trigger();
    EXPECT_EQ(checkedEntries(), QStringList{"Alpha"});
    EXPECT_EQ(app->settings().LanguageFileName, "Alpha");
    EXPECT_EQ(control<QPushButton>(&form18, "BitBtn1")->text(), "Alpha OK");

    // Built again (at the next start): still one entry per file.
    app->buildLanguageMenu();
    EXPECT_EQ(menuEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(checkedEntries(), QStringList{"Alpha"});
}

TEST_F(Languages, AShippedLanguageBesideTheProgramIsFoundWhenSettingsLiveElsewhere) {
    // A program folder the settings cannot go to (here: one that is not
    // there yet when the program starts) sends them to the user's
    // configuration folder, as for an installed program.
    ScratchFolder config;
    const auto programFolder = folder / "program";
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().string().c_str());
    auto installed = makeApp(programFolder);
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    writeText(programFolder / "lang" / "Shipped.lng",
              "[Form18]\r\nForm18.BitBtn1.Caption=Shipped\r\n");
    writeText(programFolder / "lang" / "Extra.lng", "[Form18]\r\nForm18.BitBtn1.Caption=Extra\r\n");
    writeText(config / "Mirtal" / "lang" / "shipped.lng",
              "[Form18]\r\nForm18.BitBtn1.Caption=Own copy\r\n");

    EXPECT_EQ(installed->settingsFolder(), config / "Mirtal");
    ASSERT_EQ(installed->languageFolders().size(), 2u);
    installed->buildLanguageMenu();
    QStringList entries;
    for (QAction* a : control<QMenu>(installed->mainWindow(), "GUILanguage1")->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{"Extra", "shipped"})); // the user's own copy wins
    installed->loadLanguage("Shipped");
    EXPECT_EQ(control<QPushButton>(installed->bitmapAdjust(), "BitBtn1")->text(), "Own copy");
    installed->loadLanguage("Extra");
    EXPECT_EQ(control<QPushButton>(installed->bitmapAdjust(), "BitBtn1")->text(), "Extra");
    // The template goes where the user may write.
    ASSERT_TRUE(installed->exportLanguageTemplate());
    EXPECT_TRUE(std::filesystem::exists(config / "Mirtal" / "lang" / kLanguageTemplateName));
}

TEST_F(Languages, ADeletedLanguageFileAtStartUpLeavesEverythingEnglish) {
    writeText(folder / "Mirtal.ini", "[CONFIG]\r\nLanguageFileName=Gone\r\n");
    writeLanguage("Other", "[Form18]\r\nForm18.BitBtn1.Caption=Autre\r\n");
    const auto english = allTexts(exportedTexts(*app));
    app->start();
    EXPECT_EQ(app->settings().LanguageFileName, "Gone");
    EXPECT_EQ(menuEntries(), QStringList{"Other"});
    EXPECT_TRUE(checkedEntries().isEmpty());
    EXPECT_TRUE(app->dialogs().asked.empty());
    // Every text as it was; start-up only gave the preview its background
    // picture (no text any more) and the menu its language entry.
    const auto after = allTexts(exportedTexts(*app));
    for (const auto& [key, value] : english) {
        auto a = after.find(key);
        if (a == after.end())
            EXPECT_NE(key.find(".Image"), std::string::npos) << key;
        else
            EXPECT_EQ(a->second, value) << key;
    }
    form1.hide();
}

TEST_F(Languages, TheLanguageChosenBeforeIsLoadedAtStartUp) {
    writeText(folder / "Mirtal.ini", "[CONFIG]\r\nLanguageFileName=Start\r\n");
    writeLanguage("Start", "[Form1]\r\nForm1.CheckBoxShowSubPict.Caption=Voir\r\n"
                           "[Messages]\r\nMsgStr_0=Au demarrage\r\n");
    app->start();
    EXPECT_EQ(control<QCheckBox>(&form1, "CheckBoxShowSubPict")->text(), "Voir");
    EXPECT_EQ(app->catalogue().text(Message::MatrixFull), "Au demarrage");
    EXPECT_EQ(checkedEntries(), QStringList{"Start"});
    form1.hide();
}

TEST_F(Languages, FrenchChangesEveryTextItCoversAndEnglishComesBack) {
    const std::filesystem::path french = shippedLanguageFolder() / "Francais.lng";
    ASSERT_TRUE(std::filesystem::exists(french)) << french;
    IniFile frenchIni;
    ASSERT_TRUE(frenchIni.load(french));
    const auto translation = allTexts(frenchIni);

    const IniFile englishIni = exportedTexts(*app);
    const auto english = allTexts(englishIni);
    // The shipped English file takes every translated text back.
    const std::filesystem::path shippedEnglish = shippedLanguageFolder() / "English.lng";
    ASSERT_TRUE(std::filesystem::exists(shippedEnglish)) << shippedEnglish;
    std::filesystem::copy_file(shippedEnglish, langFile("English"));
    std::filesystem::copy_file(french, langFile("Francais"));

    app->loadLanguage("Francais");
    const auto loaded = allTexts(exportedTexts(*app));
    int changed = 0;
    int covered = 0;
    for (const auto& [key, value] : english) {
        auto t = translation.find(key);
        if (t == translation.end()) {
            // The translation covers every text there is to translate. It
            // leaves out what only holds data: texts without a letter
            // (counters, times) and edit fields, whose text the user types.
            const bool message = key.rfind("Messages/", 0) == 0;
            const bool data = std::none_of(value.begin(), value.end(), ::isalpha) ||
                              (key.size() > 5 && key.compare(key.size() - 5, 5, ".Text") == 0);
            EXPECT_TRUE(data && !message) << "not translated: " << key;
            EXPECT_EQ(loaded.at(key), value) << key;
            continue;
        }
        ++covered;
        EXPECT_EQ(loaded.at(key), t->second) << key;
        if (t->second != value) ++changed;
    }
    EXPECT_EQ(covered, int(translation.size())); // no key for a text that is not there
    EXPECT_GT(changed, covered * 3 / 4);
    EXPECT_EQ(app->catalogue().text(Message::SamePaletteIndexTwice),
              "Vous ne pouvez pas choisir deux fois le m\xeame index de palette !!");

    app->loadLanguage("English");
    EXPECT_EQ(allTexts(exportedTexts(*app)), english);
}
