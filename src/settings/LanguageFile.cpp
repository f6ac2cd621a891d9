#include "settings/LanguageFile.h"

#include "base/TextCodec.h"
#include "settings/SettingsFile.h"

#include <functional>

namespace mirtal {

namespace {

// The texts of a component, in key order.
enum class Slot { Caption, Text, Items, Hint };

std::vector<Slot> slotsOf(ComponentKind kind) {
    switch (kind) {
    case ComponentKind::Label:
    case ComponentKind::Button:
    case ComponentKind::RadioButton:
    case ComponentKind::CheckBox:
    case ComponentKind::GroupBox:
    case ComponentKind::TabSheet:
        return {Slot::Caption, Slot::Hint};
    case ComponentKind::Edit:
        return {Slot::Text, Slot::Hint};
    case ComponentKind::CoolButton:
    case ComponentKind::Value:
        return {Slot::Hint};
    case ComponentKind::RadioGroup:
        return {Slot::Caption, Slot::Items, Slot::Hint};
    case ComponentKind::Other:
        return {};
    }
    return {};
}

TextProperty propertyOf(Slot s) {
    switch (s) {
    case Slot::Caption:
        return TextProperty::Caption;
    case Slot::Text:
        return TextProperty::Text;
    default:
        return TextProperty::Hint;
    }
}

const char* keySuffix(Slot s) {
    switch (s) {
    case Slot::Caption:
        return "Caption";
    case Slot::Text:
        return "Text";
    case Slot::Items:
        return "Items";
    case Slot::Hint:
        return "Hint";
    }
    return "";
}

std::string messageKey(int i) {
    return "MsgStr_" + std::to_string(i);
}

// Visits every named menu item, parents before children, with its key.
void forEachMenuItem(LanguageMenuItem& item, const std::string& parentKey,
                     const std::function<void(LanguageMenuItem&, const std::string&)>& visit) {
    const std::string name = item.name();
    if (name.empty()) return;
    const std::string key = parentKey + "." + name;
    visit(item, key);
    for (int i = 0; i < item.childCount(); ++i) forEachMenuItem(item.child(i), key, visit);
}

void forEachMenuItem(LanguageWindow& w,
                     const std::function<void(const std::string& section, LanguageMenuItem&,
                                              const std::string& key)>& visit) {
    for (int m = 0; m < w.menuCount(); ++m) {
        LanguageMenu& menu = w.menu(m);
        const std::string section = w.name() + "." + menu.name();
        for (int i = 0; i < menu.itemCount(); ++i)
            forEachMenuItem(menu.item(i), section, [&](LanguageMenuItem& it, const std::string& k) {
                visit(section, it, k);
            });
    }
}

} // namespace

fs::path languageFolderIn(const fs::path& settingsFolder) {
    return settingsFolder / kLanguageFolderName;
}

std::vector<fs::path> languageFoldersFor(const fs::path& programFolder,
                                         const fs::path& settingsFolder) {
    std::vector<fs::path> folders{languageFolderIn(settingsFolder)};
    const fs::path installed = installedDataFolder(programFolder);
    const fs::path shipped = languageFolderIn(installed.empty() ? programFolder : installed);
    std::error_code ec;
    if (!fs::equivalent(folders.front(), shipped, ec) && folders.front() != shipped)
        folders.push_back(shipped);
    return folders;
}

std::vector<LanguageEntry> listLanguages(const fs::path& languageFolder) {
    std::vector<LanguageEntry> out;
    const size_t ext = std::string(kLanguageExtension).size();
    for (const fs::path& f : listFilesMatching(languageFolder, "*.lng")) {
        std::string file = f.filename().string();
        if (file.size() <= ext) continue;
        std::string name = file.substr(0, file.size() - ext);
        out.push_back({name, utf8ToCp1252(name), f});
    }
    return out;
}

fs::path languageFilePath(const fs::path& languageFolder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        return {};
    fs::path exact = languageFolder / (name + kLanguageExtension);
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    // The listing matches the extension without case; so does the lookup.
    for (const LanguageEntry& e : listLanguages(languageFolder))
        if (equalsIgnoreCase(e.name, name)) return e.file;
    return exact;
}

void applyLanguage(const IniFile& ini, LanguageTarget& target, MessageCatalogue& catalogue) {
    for (int wi = 0; wi < target.windowCount(); ++wi) {
        LanguageWindow& w = target.window(wi);
        const std::string wn = w.name();
        if (auto v = ini.value(wn, wn + "." + wn + ".Caption")) w.setCaption(*v);

        for (int ci = 0; ci < w.componentCount(); ++ci) {
            LanguageComponent& c = w.component(ci);
            const std::string cn = c.name();
            if (cn.empty()) continue;
            const std::string stem = wn + "." + cn + ".";
            for (Slot slot : slotsOf(c.kind())) {
                if (slot == Slot::Items) {
                    // Keys for items the group does not have are ignored.
                    for (int i = 0; i < c.itemCount(); ++i)
                        if (auto v = ini.value(wn, stem + "Items" + std::to_string(i)))
                            c.setItem(i, *v);
                    continue;
                }
                auto v = ini.value(wn, stem + keySuffix(slot));
                if (!v) continue;
                c.set(propertyOf(slot), *v);
                if (slot == Slot::Hint) c.showHint();
            }
        }

        forEachMenuItem(
            w, [&](const std::string& section, LanguageMenuItem& it, const std::string& key) {
                if (auto v = ini.value(section, key)) it.setCaption(*v);
            });
    }

    // A gap or an empty text ends the catalogue; entries from there on keep
    // their texts. The loop ends at the latest one past the file's keys.
    for (int i = 0;; ++i) {
        auto v = ini.value(kMessagesSection, messageKey(i));
        if (!v || v->empty()) break;
        catalogue.set(i, *v);
    }
}

void writeLanguageTexts(IniFile& ini, LanguageTarget& target, const MessageCatalogue& catalogue) {
    for (int wi = 0; wi < target.windowCount(); ++wi) {
        LanguageWindow& w = target.window(wi);
        const std::string wn = w.name();
        ini.writeString(wn, wn + "." + wn + ".Caption", w.caption());

        for (int ci = 0; ci < w.componentCount(); ++ci) {
            LanguageComponent& c = w.component(ci);
            const std::string cn = c.name();
            if (cn.empty()) continue;
            const std::string stem = wn + "." + cn + ".";
            for (Slot slot : slotsOf(c.kind())) {
                if (slot == Slot::Items) {
                    for (int i = 0; i < c.itemCount(); ++i)
                        ini.writeString(wn, stem + "Items" + std::to_string(i), c.item(i));
                    continue;
                }
                const std::string value = c.get(propertyOf(slot));
                if (slot == Slot::Hint && value.empty()) continue;
                ini.writeString(wn, stem + keySuffix(slot), value);
            }
        }

        forEachMenuItem(
            w, [&](const std::string& section, LanguageMenuItem& it, const std::string& key) {
                ini.writeString(section, key, it.caption());
            });
    }
    for (int i = 0; i < catalogue.count(); ++i)
        ini.writeString(kMessagesSection, messageKey(i), catalogue.entry(i));
}

Result loadLanguageFile(const fs::path& file, LanguageTarget& target, MessageCatalogue& catalogue) {
    IniFile ini;
    Result r = ini.load(file);
    if (r) applyLanguage(ini, target, catalogue);
    return r;
}

Result loadLanguageByName(const fs::path& languageFolder, const std::string& name,
                          LanguageTarget& target, MessageCatalogue& catalogue) {
    fs::path file = languageFilePath(languageFolder, name);
    if (file.empty()) return {};
    return loadLanguageFile(file, target, catalogue);
}

Result writeLanguageTemplate(const fs::path& languageFolder, LanguageTarget& target,
                             const MessageCatalogue& catalogue) {
    const fs::path file = languageFolder / kLanguageTemplateName;
    IniFile ini;
    if (Result r = ini.load(file); !r) return r;
    writeLanguageTexts(ini, target, catalogue);
    return ini.save(file);
}

} // namespace mirtal
