// The objectName contract with the language files: what the template holds,
// what a language file changes and where the program finds them.
#include "AppTestSupport.h"
#include "ui/QtLanguageTarget.h"

#include <cctype>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Languages : ::testing::Test {
    AppBench b{false};
    Application& app = *b.app;
    BitmapAdjustDialog& form18 = *app.bitmapAdjust();
    MainWindow& form1 = *app.mainWindow();

    void writeLanguage(const std::string& name, const std::string& text) {
        writeText(LanguageFolder(app.settingsFolder()) / (name + ".lng"), text);
    }
    void copyShipped(const std::string& name) {
        writeLanguage(name, readText(shippedLanguageFolder() / (name + ".lng")));
    }
    QStringList menuEntries(bool checkedOnly = false) const {
        QStringList out;
        for (QAction* a : control<QMenu>(&form1, "GUILanguage1")->actions())
            if (!checkedOnly || a->isChecked()) out << a->text();
        return out;
    }
    QString button18(const char* name) const { return control<QPushButton>(&form18, name)->text(); }
};

} // namespace

// A label that shows a picture is never given a text; the pause glyph,
// which Windows-1252 lacks, travels as character 127.
TEST(LanguageKinds, APictureKeepsItsPictureAndThePauseGlyphTravels) {
    QWidget w;
    w.setObjectName("FormX");
    auto* picture = new QLabel(&w);
    picture->setObjectName("Image1");
    QtLanguageTarget target({&w}); // built before the picture arrives
    QPixmap pm(4, 4);
    pm.fill(Qt::red);
    picture->setPixmap(pm);
    MessageCatalogue catalogue;
    ApplyLanguage(IniFile::parse("[FormX]\nFormX.Image1.Caption=Texte\n"), target, catalogue);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(picture->text().isEmpty());

    const QString pause = QStringLiteral("&Pause ") + QChar(0x2016);
    EXPECT_EQ(toLanguageText(pause), "&Pause \x7f");
    EXPECT_EQ(fromLanguageText("&Pause \x7f"), pause);
}

// Every window, each section with its own controls only;
// what the program writes into a control (counters, pictures) or a symbol
// Windows-1252 cannot hold is no text to translate.
TEST_F(Languages, TheTemplateHoldsEveryWindowsOwnTextsOnly) {
    const auto t = exportedTexts(app);
    std::vector<std::string> windows;
    for (const auto& [key, value] : t) {
        const std::string section = key.substr(0, key.find('/'));
        if (section.rfind("Form", 0) == 0 && section.find('.') == std::string::npos &&
            (windows.empty() || windows.back() != section))
            windows.push_back(section);
        for (const char* data : {"SpinEdit", "ComboBox", "PanelColor", "Word_u", "qt_"})
            EXPECT_EQ(key.find(data), std::string::npos) << key;
        if (key.size() > 8 && key.compare(key.size() - 8, 8, ".Caption") == 0) {
            EXPECT_NE(value, "?") << key;
            EXPECT_TRUE(value.empty() ||
                        value.find_first_not_of("0123456789:,") != std::string::npos)
                << key << "=" << value;
        }
    }
    EXPECT_EQ(windows, (std::vector<std::string>{"Form1", "Form10", "Form11", "Form12", "Form13",
                                                 "Form14", "Form17", "Form18", "Form2", "Form3",
                                                 "Form4", "Form5", "Form6", "Form9"}));
    EXPECT_EQ(t.count("Form1/Form1.BitBtnStart.Caption"), 0u) << "a dialog's control in Form1";
    EXPECT_EQ(t.count("Form1/Form1.CoolButtonOpenVob.Caption"), 0u) << "a hint-only button";
    EXPECT_EQ(t.count("Form3/Form3.LabelNbSubTitle.Caption"), 0u);
    EXPECT_EQ(t.count("Form1/Form1.Image1.Caption"), 0u);
    const int n = MessageCatalogue::kDefaultCount;
    EXPECT_EQ(t.count("Messages/MsgStr_" + std::to_string(n - 1)), 1u);
    EXPECT_EQ(t.count("Messages/MsgStr_" + std::to_string(n)), 0u);

    // Nor is such a control changed by a file that names it.
    writeLanguage("Other", "[Form3]\r\nForm3.CheckBoxScrollDown.Caption=?\r\n"
                           "Form3.CheckBoxScrollDown.Hint=Down\r\n"
                           "Form3.LabelNbSubTitle.Caption=none\r\n");
    app.loadLanguage("Other");
    auto* scroll = control<QCheckBox>(app.subtitlesWindow(), "CheckBoxScrollDown");
    EXPECT_EQ(scroll->text(), QString(QChar(0x2193)));
    EXPECT_EQ(scroll->toolTip(), "Down");
    EXPECT_EQ(control<QLabel>(app.subtitlesWindow(), "LabelNbSubTitle")->text(), "0");
}

// The shipped French file covers every text there is to translate, and the
// shipped English file takes every one of them back.
TEST_F(Languages, FrenchChangesEveryTextItCoversAndEnglishComesBack) {
    IniFile frenchIni;
    ASSERT_TRUE(frenchIni.load(shippedLanguageFolder() / "Francais.lng"));
    std::map<std::string, std::string> french;
    for (const std::string& s : frenchIni.sectionNames())
        for (const std::string& k : frenchIni.keyNames(s))
            french[s + "/" + k] = *frenchIni.value(s, k);
    const auto english = exportedTexts(app);
    copyShipped("English");
    copyShipped("Francais");

    app.loadLanguage("Francais");
    const auto loaded = exportedTexts(app);
    int changed = 0, covered = 0;
    for (const auto& [key, value] : english) {
        auto t = french.find(key);
        if (t == french.end()) {
            // Left out: what only holds data (no letter, or an edit field's text).
            const bool data = std::none_of(value.begin(), value.end(), ::isalpha) ||
                              (key.size() > 5 && key.compare(key.size() - 5, 5, ".Text") == 0);
            EXPECT_TRUE(data && key.rfind("Messages/", 0) != 0) << "not translated: " << key;
            EXPECT_EQ(loaded.at(key), value) << key;
            continue;
        }
        ++covered;
        EXPECT_EQ(loaded.at(key), t->second) << key;
        changed += t->second != value;
    }
    EXPECT_EQ(covered, int(french.size())) << "a key for a text that is not there";
    EXPECT_GT(changed, covered * 3 / 4);

    app.loadLanguage("English");
    EXPECT_EQ(exportedTexts(app), english);
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
        return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
    };
    ASSERT_EQ(yes(), "&Yes");
    const QString openEnglish = open();
    copyShipped("Francais");
    copyShipped("English");
    app.loadLanguage("Francais");
    EXPECT_EQ(yes(), "&Oui");
    EXPECT_NE(open(), openEnglish);
    app.loadLanguage("English");
    EXPECT_EQ(yes(), "&Yes");
    EXPECT_EQ(open(), openEnglish);
}

TEST_F(Languages, TheMenuListsTheFilesLoadsTheChoiceAndTheChoiceOfLastTime) {
    writeText(b.folder / "Mirtal.ini", "[CONFIG]\r\nLanguageFileName=Beta\r\n");
    writeLanguage("Beta", "[Form18]\r\nForm18.BitBtn1.Caption=Beta OK\r\n");
    writeLanguage("Alpha", "[Form18]\r\nForm18.BitBtn1.Caption=Alpha OK\r\n");
    writeText(LanguageFolder(app.settingsFolder()) / "notes.txt", "not a language");
    app.start();
    EXPECT_EQ(menuEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(menuEntries(true), QStringList{"Beta"});
    EXPECT_EQ(button18("BitBtn1"), "Beta OK");

    control<QMenu>(&form1, "GUILanguage1")->actions()[0]->trigger();
    EXPECT_EQ(menuEntries(true), QStringList{"Alpha"});
    EXPECT_EQ(app.settings().LanguageFileName, "Alpha");
    EXPECT_EQ(button18("BitBtn1"), "Alpha OK");
    form1.hide();
}

TEST_F(Languages, AShippedLanguageBesideTheProgramIsFoundWhenSettingsLiveElsewhere) {
    TempFolder config;
    const auto program = b.folder / "program";
    auto installed = installedApp(program, config.path());
    writeText(program / "lang" / "Shipped.lng", "[Form18]\r\nForm18.BitBtn1.Caption=Shipped\r\n");
    writeText(program / "lang" / "Extra.lng", "[Form18]\r\nForm18.BitBtn1.Caption=Extra\r\n");
    writeText(config / "Mirtal" / "lang" / "shipped.lng",
              "[Form18]\r\nForm18.BitBtn1.Caption=Own copy\r\n");
    EXPECT_EQ(installed->settingsFolder(), config / "Mirtal");
    installed->buildLanguageMenu();
    QStringList entries;
    for (QAction* a : control<QMenu>(installed->mainWindow(), "GUILanguage1")->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{"Extra", "shipped"})); // the user's own copy wins
    auto* ok = control<QPushButton>(installed->bitmapAdjust(), "BitBtn1");
    installed->loadLanguage("Shipped");
    EXPECT_EQ(ok->text(), "Own copy");
    installed->loadLanguage("Extra");
    EXPECT_EQ(ok->text(), "Extra");
    ASSERT_TRUE(installed->exportLanguageTemplate()); // where the user may write
    EXPECT_TRUE(std::filesystem::exists(config / "Mirtal" / "lang" / kLanguageTemplateName));
}
