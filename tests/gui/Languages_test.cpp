// The objectName contract with the language files.
#include "AppTestSupport.h"
#include "settings/SettingsFile.h"
#include "ui/QtLanguageTarget.h"

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Languages : ::testing::Test {
    AppBench b;
    Application& app = *b.app;

    void writeLanguage(const std::string& name, const std::string& text) {
        writeText(languageFolderIn(app.settingsFolder()) / (name + ".lng"), text);
    }
};

} // namespace

// A picture is given no text; the pause glyph, which Windows-1252 lacks,
// travels as character 127.
TEST(LanguageKinds, APictureKeepsItsPictureAndThePauseGlyphTravels) {
    QWidget w;
    w.setObjectName("FormX");
    auto* picture = new QLabel(&w);
    picture->setObjectName("Image1");
    QtLanguageTarget target({&w}); // built before the picture arrives
    picture->setPixmap(QPixmap(4, 4));
    MessageCatalogue catalogue;
    applyLanguage(IniFile::parse("[FormX]\nFormX.Image1.Caption=Texte\n"), target, catalogue);
    EXPECT_TRUE(!picture->pixmap().isNull() && picture->text().isEmpty());
    const QString pause = QStringLiteral("&Pause ") + QChar(0x2016);
    EXPECT_EQ(toLanguageText(pause), "&Pause \x7f");
    EXPECT_EQ(fromLanguageText("&Pause \x7f"), pause);
}

// What the program writes into a control (counters, pictures) or a symbol
// Windows-1252 cannot hold is no text to translate, nor changed by a file.
TEST_F(Languages, TheTemplateHoldsEveryWindowsOwnTextsOnly) {
    const auto t = exportedTexts(app);
    std::set<std::string> windows;
    for (const auto& [key, value] : t) {
        const std::string section = key.substr(0, key.find('/'));
        if (section.rfind("Form", 0) == 0 && section.find('.') == std::string::npos)
            windows.insert(section);
        for (const char* data : {"SpinEdit", "ComboBox", "PanelColor", "Word_u", "qt_"})
            EXPECT_EQ(key.find(data), std::string::npos) << key;
        const bool text =
            value.empty() ||
            (value != "?" && value.find_first_not_of("0123456789:,") != std::string::npos);
        EXPECT_TRUE(!key.ends_with(".Caption") || text) << key << "=" << value;
    }
    EXPECT_EQ(windows, (std::set<std::string>{"Form1", "Form10", "Form11", "Form12", "Form13",
                                              "Form14", "Form17", "Form18", "Form2", "Form3",
                                              "Form4", "Form5", "Form6", "Form9"}));
    for (const char* absent : {"Form1/Form1.BitBtnStart.Caption", // a dialog's control in Form1
                               "Form1/Form1.CoolButtonOpenVob.Caption", // a hint-only button
                               "Form3/Form3.LabelNbSubTitle.Caption", "Form1/Form1.Image1.Caption"})
        EXPECT_EQ(t.count(absent), 0u) << absent;

    writeLanguage("Other", "[Form3]\r\nForm3.CheckBoxScrollDown.Caption=?\r\n"
                           "Form3.CheckBoxScrollDown.Hint=Down\r\n"
                           "Form3.LabelNbSubTitle.Caption=none\r\n");
    app.loadLanguage("Other");
    auto* scroll = control<QCheckBox>(app.subtitlesWindow(), "CheckBoxScrollDown");
    EXPECT_EQ(scroll->text(), QString(QChar(0x2193)));
    EXPECT_EQ(scroll->toolTip(), "Down");
    EXPECT_EQ(control<QLabel>(app.subtitlesWindow(), "LabelNbSubTitle")->text(), "0");
}

// The shipped French file covers every text to translate, English takes them
// back; Qt's own buttons follow.
TEST_F(Languages, FrenchChangesEveryTextItCoversAndEnglishComesBack) {
    auto qtTexts = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        return box.button(QMessageBox::Yes)->text() + "|" +
               dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
    };
    const QString qtEnglish = qtTexts();
    IniFile frenchIni;
    ASSERT_TRUE(frenchIni.load(shippedLanguageFolder() / "Francais.lng"));
    const auto french = iniTexts(frenchIni);
    const auto english = exportedTexts(app);
    for (const std::string name : {"English", "Francais"})
        writeLanguage(name, readText(shippedLanguageFolder() / (name + ".lng")));
    app.loadLanguage("Francais");
    const QString qtFrench = qtTexts();
    EXPECT_TRUE(qtFrench.startsWith("&Oui|"));
    EXPECT_NE(qtFrench.mid(5), qtEnglish.mid(5));
    const auto loaded = exportedTexts(app);
    int changed = 0, covered = 0;
    for (const auto& [key, value] : english) {
        auto t = french.find(key);
        if (t == french.end()) {
            // Left out: what only holds data (no letter, or an edit field's text).
            const bool data =
                std::none_of(value.begin(), value.end(), ::isalpha) || key.ends_with(".Text");
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
    EXPECT_EQ(qtTexts(), qtEnglish);
}

// An installed program: the menu lists both language folders, the user's own
// copy winning; the file dialogs start where the settings are.
TEST(LanguageMenu, ListsBothFoldersLoadsTheChoiceAndTheChoiceOfLastTime) {
    TempFolder config, scratch;
    const auto program = scratch / "program", own = config / "Mirtal";
    auto caption = [](const char* text) {
        return std::string("[Form18]\r\nForm18.BitBtn1.Caption=") + text + "\r\n";
    };
    // Its folder not there yet, the settings go to the configuration folder.
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().string().c_str());
    auto app = std::make_unique<Application>(Application::Options{program, true});
    old.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", old);
    writeText(program / "lang" / "Shipped.lng", caption("Shipped"));
    writeText(program / "lang" / "Extra.lng", caption("Extra"));
    writeText(own / "lang" / "shipped.lng", caption("Own copy"));
    writeText(own / "Mirtal.ini", "[CONFIG]\r\nLanguageFileName=shipped\r\n");
    app->start();
    auto* menu = control<QMenu>(app->mainWindow(), "GUILanguage1");
    auto entries = [&](bool checkedOnly) {
        QStringList out;
        for (QAction* a : menu->actions())
            if (!checkedOnly || a->isChecked()) out << a->text();
        return out;
    };
    auto* ok = control<QPushButton>(app->bitmapAdjust(), "BitBtn1");
    EXPECT_EQ(entries(false), (QStringList{"Extra", "shipped"}));
    EXPECT_EQ(entries(true), QStringList{"shipped"});
    EXPECT_EQ(ok->text(), "Own copy");
    menu->actions()[0]->trigger();
    EXPECT_EQ(entries(true), QStringList{"Extra"});
    EXPECT_EQ(app->settings().LanguageFileName, "Extra");
    EXPECT_EQ(ok->text(), "Extra");
    ASSERT_TRUE(app->exportLanguageTemplate()); // where the user may write
    EXPECT_TRUE(std::filesystem::exists(own / "lang" / kLanguageTemplateName));
    app->dialogs().files.push_back(std::nullopt);
    control<QPushButton>(app->jobSetup(), "ButtonOpenDir")->click();
    EXPECT_EQ(folderText(app->dialogs().fileRequests.at(0).initialFolder), folderText(own));
    app->mainWindow()->hide();
}
