#include "AppTestSupport.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

IniFile readIni(const std::filesystem::path& file) {
    IniFile ini;
    EXPECT_TRUE(ini.load(file));
    return ini;
}

} // namespace

TEST(Settings, WrittenAtCloseAndReadBackAtTheNextStart) {
    AppBench b;
    const std::string vobFolder = (b.folder / "vobs").string();
    std::filesystem::create_directory(vobFolder);
    listVobFolder(*b.app, vobFolder);
    chooseAction(*b.app, 2);
    control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->setChecked(false);
    control<QCheckBox>(&b.jobSetup(), "CheckBoxForcedOnly")->setChecked(true);
    EXPECT_TRUE(control<QCheckBox>(&b.jobSetup(), "CheckBoxFromVideoStart")->isChecked())
        << "on for new settings";
    control<QCheckBox>(&b.jobSetup(), "CheckBoxFromVideoStart")->setChecked(false);
    b.session().actions().pictureFolder = b.folder / "pictures";
    control<QPushButton>(&b.mainWindow(), "ButtonPreviewOption")->click();
    control<QSpinBox>(&b.mainWindow(), "SpinEditZoom")->setValue(150);
    control<QSpinBox>(&b.mainWindow(), "SpinEditAspectRatio")->setValue(100);
    b.session().bmpSettings().Cropping.MinX = 32;
    b.session().document().options().native.ExtendedFormat = true;
    b.session().ocrSettings().MinLineHeight = 12; // saved on demand only, not at close
    ASSERT_TRUE(b.mainWindow().close());
    ASSERT_TRUE(std::filesystem::exists(b.app->settingsFile()));
    EXPECT_EQ(b.app->settingsFile(), b.folder / "Mirtal.ini");
    const IniFile ini = readIni(b.app->settingsFile());
    EXPECT_EQ(ini.readInteger("CONFIG", "ActionMode", -1), 2);
    EXPECT_EQ(ini.readInteger("CONFIG", "ForcedOnly", 0), 1);
    EXPECT_EQ(ini.readInteger("CONFIG", "FromVideoStart", 1), 0);
    EXPECT_EQ(ini.readString("CONFIG", "OpenDialogVob", ""), FolderText(vobFolder));
    EXPECT_EQ(ini.readInteger("PREVIEW CFG", "Zoom", 0), 1500);
    EXPECT_EQ(ini.readInteger("PREVIEW CFG", "BackMode", 0), 2);
    EXPECT_EQ(ini.readInteger("PREVIEW CFG", "FreeAspectRatio", 0), 100);
    EXPECT_EQ(ini.readInteger("BMP OUT TC & RES", "Enabled", 1), 0);
    EXPECT_EQ(ini.readInteger("BMP OUT CROPPING", "MinX", 0), 32);
    EXPECT_FALSE(ini.hasSection("OCR SETTING"));

    b.restart();
    EXPECT_EQ(control<RadioGroup>(&b.jobSetup(), "RadioGroupAction")->itemIndex(), 2);
    EXPECT_FALSE(control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(&b.jobSetup(), "CheckBoxForcedOnly")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(&b.jobSetup(), "CheckBoxFromVideoStart")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->isEnabled())
        << "the SUP action enables it";
    EXPECT_EQ(b.jobSetup().choices().vobFolder, std::filesystem::path(FolderText(vobFolder)));
    EXPECT_EQ(FolderText(b.session().actions().pictureFolder), FolderText(b.folder / "pictures"));
    EXPECT_EQ(b.mainWindow().previewSettings().Zoom, 1500);
    EXPECT_EQ(previewOf(b.mainWindow()).zoom(), 1500) << "the preview set up from the settings";
    EXPECT_EQ(previewOf(b.mainWindow()).backgroundImage().pixelColor(0, 99),
              toQColor(PreviewSettings{}.BorderColor));
    EXPECT_EQ(previewOf(b.mainWindow()).backgroundImage().pixelColor(0, 100),
              toQColor(PreviewSettings{}.InnerColor));
    EXPECT_EQ(b.session().bmpSettings().Cropping.MinX, 32);
    EXPECT_TRUE(b.session().document().options().native.ExtendedFormat);
    EXPECT_EQ(b.session().ocrSettings().MinLineHeight, 8) << "the OCR defaults";
    EXPECT_TRUE(b.dialogs().asked.empty());
}

TEST(Settings, NoFileGivesTheDefaultsAndTheFirstCloseWritesThem) {
    AppBench b;
    const std::string program = FolderText(b.folder.path());
    EXPECT_EQ(b.app->settings().OpenDialogVob, program);
    EXPECT_EQ(b.jobSetup().choices().vobFolder, std::filesystem::path(program));
    EXPECT_EQ(FolderText(b.session().actions().pictureFolder), program);
    EXPECT_EQ(control<RadioGroup>(&b.jobSetup(), "RadioGroupAction")->itemIndex(), 0);
    EXPECT_TRUE(control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(&b.jobSetup(), "CheckBoxPictTiming")->isEnabled()) << "OCR";
    EXPECT_EQ(previewOf(b.mainWindow()).zoom(), 1000);
    EXPECT_TRUE(previewOf(b.mainWindow()).background()->isVisibleTo(&b.mainWindow()))
        << "the preset background";
    ASSERT_TRUE(b.mainWindow().close());
    const IniFile ini = readIni(b.app->settingsFile());
    for (const char* section :
         {"CONFIG", "PREVIEW CFG", "BMP OUT TC & RES", "MIRTAL OUTPUT", "IAUTHOR OUTPUT",
          "PHILIPS OUTPUT", "BMP OUT CROPPING", "BMP OUT COLOR", "BMP OUT POSITIONING"})
        EXPECT_TRUE(ini.hasSection(section)) << section;
    EXPECT_FALSE(ini.hasSection("OCR SETTING"));
    EXPECT_EQ(ini.readString("CONFIG", "SaveDialogBmpSup", ""), program)
        << "unchanged folders keep their text";
}

TEST(Settings, ValuesFromTheFileReachTheWindowsAndOcrSectionIsLeftAlone) {
    AppBench b(false);
    writeText(b.folder / "Mirtal.ini",
              "[CONFIG]\r\nActionMode=7\r\n"
              "[PREVIEW CFG]\r\nZoom=2000\r\nBackMode=3\r\nBackImageName=" +
                  (b.folder / "deleted.jpg").string() +
                  "\r\n"
                  "[OCR SETTING]\r\nMinLineHeight=300\r\nSensibility=950\r\n"
                  "[MY OWN]\r\nKey=kept\r\n");
    b.app->start();
    EXPECT_EQ(b.session().ocrSettings().MinLineHeight, 8) << "out of range: the default";
    EXPECT_EQ(b.session().ocrSettings().Sensibility, 950);
    EXPECT_EQ(control<RadioGroup>(&b.jobSetup(), "RadioGroupAction")->itemIndex(), 0)
        << "an action the dialog lacks is the first one";
    EXPECT_EQ(previewOf(b.mainWindow()).zoom(), 2000);
    EXPECT_EQ(previewOf(b.mainWindow()).bevel()->size(), QSize(1444, 1156));
    EXPECT_TRUE(previewOf(b.mainWindow()).backgroundImage().isNull())
        << "a deleted background image leaves the background as it was";
    ASSERT_EQ(b.dialogs().asked.size(), 1u) << "one box for every value not used";
    EXPECT_NE(b.lastMessage().find("[CONFIG] ActionMode=7"), std::string::npos);
    EXPECT_NE(b.lastMessage().find("[OCR SETTING] MinLineHeight=300"), std::string::npos);
    ASSERT_TRUE(b.mainWindow().close());
    const IniFile ini = readIni(b.folder / "Mirtal.ini");
    EXPECT_EQ(ini.readInteger("OCR SETTING", "MinLineHeight", 0), 300);
    EXPECT_EQ(ini.readString("MY OWN", "Key", ""), "kept");
    EXPECT_EQ(ini.readInteger("CONFIG", "ActionMode", -1), 0);
}

TEST(Settings, AFileThatCannotBeReadOrWrittenIsReportedAndKept) {
    AppBench b(false);
    // A folder where the file should be: neither readable nor replaceable.
    std::filesystem::create_directory(b.folder / "Mirtal.ini");
    b.app->start();
    ASSERT_EQ(b.dialogs().asked.size(), 1u);
    EXPECT_NE(b.lastMessage().find("Mirtal.ini"), std::string::npos) << b.lastMessage();
    EXPECT_NE(b.lastMessage().find("The default settings are used"), std::string::npos);
    EXPECT_EQ(b.app->settings().OpenDialogVob, FolderText(b.folder.path()));
    b.dialogs().answers.push_back(Answer::Ok);
    ASSERT_TRUE(b.mainWindow().close());
    ASSERT_EQ(b.dialogs().asked.size(), 2u);
    EXPECT_EQ(b.lastMessage().rfind("The settings were not saved.\r", 0), 0u) << b.lastMessage();
    EXPECT_NE(b.lastMessage().find("Mirtal.ini"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(b.folder / "Mirtal.ini"));
}

// A program folder the user cannot write to (here: one that is not there)
// is no place to save into: the file dialogs start where the settings are.
TEST(Settings, DialogsStartInTheSettingsFolderWhenTheProgramFolderIsReadOnly) {
    TempFolder config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().string().c_str());
    TempFolder scratch;
    Application app(Application::Options{scratch / "program", true});
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    const std::filesystem::path settings = config / "Mirtal";
    ASSERT_EQ(app.settingsFolder(), settings);
    app.start();
    const ProgramSettings& ps = app.settings();
    for (const std::string& folder :
         {ps.OpenDialogVob, ps.SaveDialogText, ps.OpenDialogMirtalText, ps.SaveDialogBmpSup,
          ps.OpenDialogCharMatrix, ps.SaveDialogCharMatrix})
        EXPECT_EQ(folder, FolderText(settings));
    EXPECT_TRUE(std::filesystem::is_directory(settings)) << "a folder the dialogs can open";
    app.dialogs().files.push_back(std::nullopt);
    control<QPushButton>(app.jobSetup(), "ButtonOpenDir")->click();
    ASSERT_FALSE(app.dialogs().fileRequests.empty());
    EXPECT_EQ(FolderText(app.dialogs().fileRequests.back().initialFolder), FolderText(settings));
    app.mainWindow()->hide();
}
