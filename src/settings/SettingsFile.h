#pragma once

#include "base/Files.h"
#include "export/BmpOutputSettings.h"
#include "ocr/OcrSettings.h"
#include "settings/IniFile.h"
#include "settings/ProgramSettings.h"
#include "subtitles/OutputOptions.h"

#include <string>
#include <vector>

namespace mirtal {

constexpr const char* kSettingsFileName = "Mirtal.ini";

// What an installed program ships beside its executable (PREFIX/share/mirtal
// for PREFIX/bin, the language files in its lang folder); empty when the
// program runs from anywhere else, such as the build tree.
fs::path installedDataFolder(const fs::path& programFolder);

// Where Mirtal.ini and the lang folder live: the program folder when we may
// write there and it is not an installed program's, otherwise
// $XDG_CONFIG_HOME/Mirtal (a relative or empty XDG_CONFIG_HOME counts as
// unset, giving $HOME/.config/Mirtal). Nothing is created here; saving
// creates the folder.
fs::path settingsFolderFor(const fs::path& programFolder, const std::string& xdgConfigHome,
                           const std::string& home);
// The same with the process environment.
fs::path settingsFolderFor(const fs::path& programFolder);

// Where the file dialogs open until the user picks a folder: the program
// folder, but the home folder of an installed program, whose own folder
// holds nothing the user works on.
fs::path dialogStartFolder(const fs::path& programFolder, const std::string& home);
fs::path dialogStartFolder(const fs::path& programFolder);
bool isWritableFolder(const fs::path& folder);

// The program folder as the dialog folders hold it: with a trailing '/'.
std::string folderText(const fs::path& folder);

// The values of a file that were not used, because they lie outside their
// key's range (see the README) or are no numbers: one text each, naming the
// file, the section, the key, the value and what was used instead.
struct SettingsWarnings {
    std::string file;
    std::vector<std::string> texts;
};

// Each key of the sections CONFIG, PREVIEW CFG, OCR SETTING, BMP OUT TC &
// RES, MIRTAL OUTPUT, IAUTHOR OUTPUT and PHILIPS OUTPUT, with its default;
// the OCR keys default to the current values. A number outside its key's
// range takes the default (or the nearest bound) and is noted in `warnings`.
void readSettings(const IniFile& ini, const std::string& programFolder, ProgramSettings& program,
                  OcrSettings& ocr, OutputOptions& output, SettingsWarnings* warnings = nullptr);
// The same sections and keys in the same order, but not OCR SETTING.
void writeSettings(IniFile& ini, const ProgramSettings& program, const OutputOptions& output);
void readOcrSettings(const IniFile& ini, OcrSettings& ocr, SettingsWarnings* warnings = nullptr);
void writeOcrSettings(IniFile& ini, const OcrSettings& ocr);
// BMP OUT CROPPING, BMP OUT COLOR and BMP OUT POSITIONING; missing keys take
// their defaults, not the current values.
void readBmpOutputSettings(const IniFile& ini, BmpOutputSettings& bmp,
                           SettingsWarnings* warnings = nullptr);
void writeBmpOutputSettings(IniFile& ini, const BmpOutputSettings& bmp);

// Start-up: the program's sections and the bitmap output sections of the
// settings file. A missing file gives every default. A file that exists but
// cannot be read, or is no text at all, also gives the defaults; the result
// says why (and saving will not write over it).
Result loadSettings(const fs::path& file, const std::string& programFolder,
                    ProgramSettings& program, OcrSettings& ocr, OutputOptions& output,
                    BmpOutputSettings& bmp, SettingsWarnings* warnings = nullptr);
// Shut-down: writes those sections into the file, leaving OCR SETTING and
// every section and key we do not know as they are. The file is replaced
// atomically; when the old one cannot be read it is left alone and the
// result says why.
Result saveSettings(const fs::path& file, const ProgramSettings& program,
                    const OutputOptions& output, const BmpOutputSettings& bmp);
// Writes the OCR SETTING section on demand, the rest of the file unchanged.
Result saveOcrSettings(const fs::path& file, const OcrSettings& ocr);

// Profiles (and the settings file): the three bitmap output sections. A
// profile lacking a section or key gives that part its defaults. A file
// that cannot be read, or holds none of the three sections, is no profile
// and changes nothing.
Result loadBmpOutputSettings(const fs::path& file, BmpOutputSettings& bmp,
                             SettingsWarnings* warnings = nullptr);
Result saveBmpOutputSettings(const fs::path& file, const BmpOutputSettings& bmp);

} // namespace mirtal
