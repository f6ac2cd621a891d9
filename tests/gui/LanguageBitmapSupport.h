#pragma once

#include "Controls.h"
#include "settings/IniFile.h"
#include "settings/LanguageFile.h"
#include "ui/Application.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <stdlib.h>
#include <string>

namespace mirtal::test {

// A fresh folder under the system temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "mirtal-gui-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        m_path = tmpl;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline void writeText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program with its program folder in a scratch folder and every dialog
// answered by the test.
inline std::unique_ptr<Application> makeApp(const std::filesystem::path& folder) {
    Application::Options options;
    options.programFolder = folder;
    options.scriptedDialogs = true;
    return std::make_unique<Application>(options);
}

// Every text the language files can hold, as an export writes them now.
inline IniFile exportedTexts(Application& app) {
    const std::filesystem::path file = LanguageFolder(app.settingsFolder()) / kLanguageTemplateName;
    std::filesystem::remove(file);
    if (Result r = app.exportLanguageTemplate(); !r) throw std::runtime_error(r.error);
    IniFile ini;
    if (Result r = ini.load(file); !r) throw std::runtime_error(r.error);
    std::filesystem::remove(file);
    return ini;
}

inline std::filesystem::path shippedLanguageFolder() {
    return std::filesystem::path(MIRTAL_TEST_DATA) / ".." / ".." / "lang";
}

inline std::filesystem::path fixtureVob(const std::string& disc) {
    return std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc / "VIDEO_TS" / "VTS_01_1.VOB";
}

} // namespace mirtal::test
