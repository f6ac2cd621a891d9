#include "../support/TempFolder.h"
#include "settings/LanguageFile.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

using namespace mirtal;
using mirtal::test::readText;
using mirtal::test::TempFolder;
using mirtal::test::writeText;

namespace {

using Names = std::vector<std::string>;

template <class... T> std::vector<int64_t> values(T... v) {
    return {int64_t(v)...};
}

class SettingsFile : public ::testing::Test {
protected:
    fs::path file() const { return dir / kSettingsFileName; }
    Result load() { return loadSettings(file(), folder, program, ocr, output, bmp); }
    Result save() { return saveSettings(file(), program, output, bmp); }
    IniFile saved() const { return IniFile::parse(readText(file())); }

    TempFolder dir;
    std::string folder = folderText(dir.path());
    ProgramSettings program;
    OcrSettings ocr;
    OutputOptions output;
    BmpOutputSettings bmp;
};

} // namespace

TEST_F(SettingsFile, MissingFileGivesDefaultsAndSaveWritesAllButOcrSection) {
    program.AutoScrollDown = false;
    bmp.Positioning.Enabled = true;
    EXPECT_TRUE(load().ok);
    ProgramSettings expected;
    expected.OpenDialogCharMatrix = expected.SaveDialogCharMatrix = expected.SaveDialogBmpSup =
        expected.OpenDialogVob = expected.OpenDialogMirtalText = expected.SaveDialogText = folder;
    EXPECT_EQ(program, expected);
    EXPECT_TRUE(ocr == OcrSettings{} && bmp == BmpOutputSettings{} &&
                !output.native.ExtendedFormat);

    ASSERT_TRUE(save().ok);
    IniFile ini = saved();
    EXPECT_FALSE(ini.hasSection("OCR SETTING"));
    // Booleans as 1/0, colours in decimal.
    auto v = [&](const char* section, const char* key) {
        return ini.value(section, key).value_or("?");
    };
    EXPECT_EQ((Names{v("CONFIG", "AutoScrollDown"), v("PREVIEW CFG", "BorderColor"),
                     v("BMP OUT COLOR", "Color_2"), v("PHILIPS OUTPUT", "Color_3"),
                     v("CONFIG", "SaveDialogText")}),
              (Names{"1", "7171979", "16711680", "8421504", folder}));
}

TEST_F(SettingsFile, SaveOcrSettingsCreatesSectionWithAllKeysAndSaveSettingsLeavesIt) {
    ASSERT_TRUE(save().ok);
    const std::string before = readText(file());
    ocr.MinLineHeight = 12, ocr.DetectItaWidth = 9, ocr.NameGlyphs = 2;
    ocr.CheckDetachedChar = ocr.AutoSpaceWidth = ocr.MarkItalics = false;
    ASSERT_TRUE(saveOcrSettings(file(), ocr).ok);
    EXPECT_EQ(readText(file()).substr(0, before.size()), before);

    // Shut-down never writes the OCR values, even changed ones.
    OcrSettings inMemory;
    ASSERT_TRUE(loadSettings(file(), folder, program, inMemory, output, bmp).ok);
    EXPECT_EQ(inMemory, ocr);
    inMemory.MinLineHeight = 30;
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(saved().value("OCR SETTING", "MinLineHeight"), "12");
}

// Keys the file lacks keep their current values; the glyph naming choice is one of three.
TEST_F(SettingsFile, NewSettingsChooseTheSpaceWidthButFilesNamingWidthsKeepThem) {
    EXPECT_TRUE(OcrSettings{}.AutoSpaceWidth);
    const char* cases[] = {"[CONFIG]\nActionMode=2\n",
                           "[OCR SETTING]\nSensibility=950\n",
                           "[OCR SETTING]\nSpaceWidth=4\n",
                           "[OCR SETTING]\nItaSpaceWidth=6\n",
                           "[OCR SETTING]\nSpaceWidth=4\nAutoSpaceWidth=1\nNameGlyphs=3\n",
                           "[OCR SETTING]\nAutoSpaceWidth=0\n"};
    std::vector<int> got;
    for (const char* text : cases) {
        writeText(file(), text);
        ocr = OcrSettings{};
        ocr.ItaSpaceWidth = 11;
        load();
        got.insert(got.end(), {ocr.AutoSpaceWidth, ocr.ItaSpaceWidth, ocr.NameGlyphs});
    }
    const int n = OcrSettings{}.NameGlyphs;
    EXPECT_EQ(got, (std::vector<int>{1, 11, n, 1, 11, n, 0, 11, n, 0, 6, n, 1, 11, n, 0, 11, n}));
}

// A value outside its key's range takes the default (for the OCR keys the
// current value), or the nearest bound where more was meant, and says so once.
TEST_F(SettingsFile, OutOfRangeValuesFallBackWithOneWarningEach) {
    ocr.SpaceWidth = 9;
    writeText(file(), "[OCR SETTING]\nMinLineHeight=300\nMaxLineHeight=0\nSpaceWidth=2147483647\n"
                      "Sensibility=65537\nMinInterLine=x\n"
                      "[PREVIEW CFG]\nZoom=2000\nFreeAspectRatio=300\nBackMode=259\n"
                      "[CONFIG]\nActionMode=-3\n"
                      "[BMP OUT CROPPING]\nDivX=65536\nMinY=-1\nXPosMode=2\n"
                      "[BMP OUT COLOR]\nColorPalIndex_2=260\nUnusedColor=-1\nBitPerPixel=16\n"
                      "[BMP OUT POSITIONING]\nSetTo.X=99999999999\n");
    SettingsWarnings warnings;
    ASSERT_TRUE(loadSettings(file(), folder, program, ocr, output, bmp, &warnings).ok);
    const std::vector<int64_t> read =
        values(ocr.MinLineHeight, ocr.MaxLineHeight, ocr.SpaceWidth, ocr.Sensibility,
               ocr.MinInterLine, program.Preview.Zoom, program.Preview.FreeAspectRatio,
               program.Preview.BackMode, program.ActionMode, bmp.Cropping.DivX, bmp.Cropping.MinY,
               bmp.Cropping.XPosMode, bmp.Colors.ColorPalIndex[2], bmp.Colors.UnusedColor,
               bmp.Colors.BitPerPixel, bmp.Positioning.SetTo.X);
    EXPECT_EQ(read,
              (std::vector<int64_t>{8, 45, 9, 980, 2, 2000, 288, 1, 0, 8, 0, 2, 2, 0, 4, 719}));
    ASSERT_EQ(warnings.texts.size(), 14u); // all but Zoom and XPosMode
    EXPECT_EQ(warnings.texts[0],
              file().string() + ": [CONFIG] ActionMode=-3 is outside 0..3, 0 is used instead");
}

// Only 8 chooses 8 bits per pixel and only a stored 1 chooses UTF-8.
TEST_F(SettingsFile, OtherBitDepthsReadAsFourAndOtherEncodingsAsWindows1252) {
    for (const std::string v : {"16", "8", "abc", "4", "0", "1", "2", "-1", ""}) {
        writeText(file(), "[BMP OUT COLOR]\nBitPerPixel=" + v + "\n[MIRTAL OUTPUT]\nEncoding=" + v);
        output.Encoding = v == "1" ? TextEncoding::Cp1252 : TextEncoding::Utf8;
        ASSERT_TRUE(load().ok);
        const int bits = v == "8" ? 8 : 4;
        EXPECT_EQ(bmp.Colors.BitPerPixel, bits) << v;
        EXPECT_EQ(output.Encoding, v == "1" ? TextEncoding::Utf8 : TextEncoding::Cp1252) << v;
        ASSERT_TRUE(save().ok);
        EXPECT_EQ(saved().value("BMP OUT COLOR", "BitPerPixel"), std::to_string(bits));
    }
}

TEST_F(SettingsFile, EveryValueRoundTrips) {
    program.OpenDialogVob = "/media/dvd/VIDEO_TS/";
    program.SaveDialogText = " spaced folder /";
    program.LanguageFileName = "Fran\347ais", program.ActionMode = 3;
    program.AutoScrollDown = false;
    program.Preview = {false, 1500, true, 0x010203, 0x0A0B0C, 3, 2, 288, "/pics/back.jpg"};
    program.WithTimingAndPosition = program.FromVideoStart = false, program.ForcedOnly = true;
    output.native.ExtendedFormat = true, output.Encoding = TextEncoding::Utf8;
    output.iauthor.Colors[2] = 0x123456, output.iauthor.Blend[1] = 7;
    output.iauthor.MinInterval = 65535;
    output.philips = {{1, 2, 3, 4}, {5, 6, 7, 8}, false, 1, false, "live only"};
    bmp.Cropping = {false, 720, 576, 32, 1, 2, 0, {-720, 576}};
    bmp.Colors = {8, {1, 2, 3, 4}, 0, {15, 14, 13, 12}, 0xABCDEF};
    bmp.Positioning = {true, 3, {719, 575}, {-5, 6}, 2};
    ASSERT_TRUE(save().ok);

    ProgramSettings p2;
    OutputOptions out2;
    BmpOutputSettings b2;
    ASSERT_TRUE(loadSettings(file(), "/elsewhere/", p2, ocr, out2, b2).ok);
    EXPECT_TRUE(p2 == program && b2 == bmp);
    EXPECT_EQ(values(out2.native.ExtendedFormat, out2.Encoding, out2.iauthor.Colors[2],
                     out2.iauthor.Blend[1], out2.iauthor.MinInterval, out2.philips.Colors[3],
                     out2.philips.Contrast[0], out2.philips.UseBmpColors, out2.philips.FrameRate,
                     out2.philips.DropFrame),
              values(true, TextEncoding::Utf8, 0x123456, 7, 65535, 4, 5, false, 1, false));
    EXPECT_EQ(saved().value("MIRTAL OUTPUT", "Encoding"), "1");
    EXPECT_EQ(out2.philips.Title, "") << "not a stored option";
}

// Binary (or too large, which the INI reader refuses alike): the defaults,
// and the file is never written over.
TEST_F(SettingsFile, UnreadableFileGivesDefaultsAndIsNotOverwritten) {
    const std::string garbage("[CONFIG]\r\nActionMode=2\r\n\x01\x02", 26);
    writeText(file(), garbage);
    program.ActionMode = 3;
    EXPECT_FALSE(load().ok);
    EXPECT_EQ(program.ActionMode, 0);
    Result r = save();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(kSettingsFileName), std::string::npos) << r.error;
    EXPECT_FALSE(saveOcrSettings(file(), ocr).ok);
    EXPECT_FALSE(saveBmpOutputSettings(file(), bmp).ok);
    EXPECT_EQ(readText(file()), garbage);
}

TEST_F(SettingsFile, ProfileLackingSectionsResetsThemToDefaults) {
    bmp.Cropping.MinX = 100, bmp.Positioning.Enabled = true, bmp.Positioning.XPosMode = 2;
    const fs::path profile = dir / "colours.ini";
    writeText(profile, "[Bmp Out Color]\r\nbitperpixel=8\r\nCOLOR_1=255\r\n");
    ASSERT_TRUE(loadBmpOutputSettings(profile, bmp).ok);
    BmpOutputSettings expected;
    expected.Colors.BitPerPixel = 8, expected.Colors.Color[1] = 255;
    EXPECT_EQ(bmp, expected);

    // Saving a profile writes only the three sections.
    ASSERT_TRUE(saveBmpOutputSettings(dir / "new.ini", bmp).ok);
    EXPECT_EQ(IniFile::parse(readText(dir / "new.ini")).sectionNames(),
              (Names{"BMP OUT CROPPING", "BMP OUT COLOR", "BMP OUT POSITIONING"}));
}

// Missing, a folder, or text without the bitmap sections.
TEST_F(SettingsFile, ProfileThatCannotBeReadChangesNothing) {
    bmp.Cropping.MinX = 100;
    const BmpOutputSettings before = bmp;
    fs::create_directory(dir / "folder.ini");
    writeText(dir / "Mirtal.ini", "[CONFIG]\r\nActionMode=1\r\n");
    for (const char* name : {"gone.ini", "folder.ini", "Mirtal.ini"}) {
        Result r = loadBmpOutputSettings(dir / name, bmp);
        EXPECT_NE(r.error.find(name), std::string::npos) << r.error;
    }
    EXPECT_EQ(bmp, before);
}

TEST(SettingsFolder, ProgramFolderWhenWritableElseUserConfig) {
    TempFolder dir;
    EXPECT_EQ(settingsFolderFor(dir.path(), "/xdg", "/home/u"), dir.path());
    const fs::path readOnly = dir / "not-a-folder";
    writeText(readOnly, "");
    EXPECT_EQ(settingsFolderFor(readOnly, "/xdg", "/home/u"), fs::path("/xdg/Mirtal"));
    EXPECT_EQ(settingsFolderFor(readOnly, "relative", "/home/u"),
              fs::path("/home/u/.config/Mirtal"));
    EXPECT_EQ(settingsFolderFor(readOnly, "", "/home/u"), fs::path("/home/u/.config/Mirtal"));
    EXPECT_EQ(settingsFolderFor(readOnly, "", ""), readOnly);
    EXPECT_EQ(folderText("/opt/mirtal"), "/opt/mirtal/");
    EXPECT_EQ(folderText("/opt/mirtal/"), "/opt/mirtal/");
}

TEST(SettingsFolder, InstalledProgramKeepsNothingBesideItsExecutable) {
    using Folders = std::vector<fs::path>;
    TempFolder dir;
    const fs::path bin = dir / "usr" / "bin";
    const fs::path shipped = dir / "usr" / "share" / "mirtal" / "lang";
    fs::create_directories(bin);
    // Not installed (the build tree): everything beside the executable.
    EXPECT_EQ(dialogStartFolder(bin, "/home/u"), bin);
    EXPECT_EQ(languageFoldersFor(bin, "/cfg"), (Folders{"/cfg/lang", bin / "lang"}));
    EXPECT_EQ(languageFoldersFor(bin, bin), Folders{bin / "lang"});
    fs::create_directories(shipped);
    EXPECT_EQ(settingsFolderFor(bin, "/xdg", "/home/u"), fs::path("/xdg/Mirtal"));
    EXPECT_EQ(dialogStartFolder(bin, "/home/u"), fs::path("/home/u"));
    EXPECT_EQ(languageFoldersFor(bin, "/xdg/Mirtal"), (Folders{"/xdg/Mirtal/lang", shipped}));
}
