#pragma once

#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "settings/IniFile.h"
#include "settings/LanguageTarget.h"

#include <string>
#include <vector>

namespace mirtal {

constexpr const char* kLanguageFolderName = "lang";
constexpr const char* kLanguageExtension = ".lng";
constexpr const char* kLanguageTemplateName = "New_LangFile.lng";
constexpr const char* kMessagesSection = "Messages";

// The lang folder below the settings folder.
fs::path languageFolderIn(const fs::path& settingsFolder);
// The folders searched for language files, the first one winning for a name
// found in several: the settings folder's lang (the user's own and the
// exported template), then the program's shipped lang (an installed
// program's data folder, else beside the executable) when it is another.
std::vector<fs::path> languageFoldersFor(const fs::path& programFolder,
                                         const fs::path& settingsFolder);

struct LanguageEntry {
    std::string name;    // file name without ".lng", as the file system spells it
    std::string caption; // the name as Windows-1252 text, for the menu
    fs::path file;
};

// The files *.lng of the folder (extension matched without case), sorted by
// name. Every name is accepted, whatever its characters: it serves as the
// entry's identifier and as LanguageFileName; only a file named just ".lng"
// is passed over.
std::vector<LanguageEntry> listLanguages(const fs::path& languageFolder);

// folder/name.lng, or the one file whose name matches it without regard to
// case. Empty for a name that cannot be a language file's (empty, or holding
// a path separator or a zero byte).
fs::path languageFilePath(const fs::path& languageFolder, const std::string& name);

// Every text whose key the file holds replaces the current one; texts whose
// key is missing keep their value. Then the catalogue, from MsgStr_0 up to
// the first missing or empty value.
void applyLanguage(const IniFile& ini, LanguageTarget& target, MessageCatalogue& catalogue);
// Every text with its current value (hints only when not empty), window by
// window, then the catalogue. Other keys of the file stay.
void writeLanguageTexts(IniFile& ini, LanguageTarget& target, const MessageCatalogue& catalogue);

// Loads a language by name. A missing file reads as empty, so nothing
// changes; so does a file that cannot be read, and the result says why.
Result loadLanguageByName(const fs::path& languageFolder, const std::string& name,
                          LanguageTarget& target, MessageCatalogue& catalogue);
Result loadLanguageFile(const fs::path& file, LanguageTarget& target, MessageCatalogue& catalogue);

// Merges every current text into lang/New_LangFile.lng. An existing file
// that cannot be read is left alone.
Result writeLanguageTemplate(const fs::path& languageFolder, LanguageTarget& target,
                             const MessageCatalogue& catalogue);

} // namespace mirtal
