#pragma once

#include "Controls.h"
#include "base/Files.h"
#include "base/MessageCatalogue.h"
#include "settings/ProgramSettings.h"
#include "subtitles/SubtitleDocument.h"
#include "ui/UiDialogs.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QListView>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace mirtal::test {

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "mirtal-gui-XXXXXX").string();
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
        m_path = name.data();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline std::string readText(const std::filesystem::path& p) {
    auto bytes = readWholeFile(p);
    if (!bytes) throw std::runtime_error("cannot read " + p.string());
    return *bytes;
}

inline void writeText(const std::filesystem::path& p, const std::string& bytes) {
    if (!writeFileAtomic(p, bytes)) throw std::runtime_error("cannot write " + p.string());
}

inline TTimeCode tc(const char* text) {
    return StrToTimeCode(text);
}

// What the Subtitles window's list shows.
inline QListView* subtitleList(const QWidget& window) {
    return control<QListView>(&window, "ListBoxSubtitle");
}
inline int lineCount(const QWidget& window) {
    return subtitleList(window)->model()->rowCount();
}
inline QString lineText(const QWidget& window, int row) {
    const QAbstractItemModel* model = subtitleList(window)->model();
    return model->data(model->index(row, 0)).toString();
}
inline int selectedLine(const QWidget& window) {
    const QListView* list = subtitleList(window);
    const QModelIndex i = list->currentIndex();
    return i.isValid() && list->selectionModel()->isSelected(i) ? i.row() : -1;
}
// The selected line once the list has caught up with the document, which
// it does at the next event dispatch.
inline int shownLine(const QWidget& window) {
    QCoreApplication::processEvents();
    return selectedLine(window);
}
// A menu command, chosen as the user would.
inline void trigger(const QWidget& window, const char* action) {
    control<QAction>(&window, action)->trigger();
}

// The document and what its windows are given, with every dialog scripted.
struct DocumentBench {
    FixedBannerClock clock{"01/02/2024 10:00:00"};
    SubtitleDocument doc{clock};
    UiDialogs dialogs;
    MessageCatalogue catalogue;
    ProgramSettings settings;
    TempFolder folder;

    DocumentBench() { dialogs.setScripted(true); }

    void add(const char* start, const char* stop, std::vector<std::string> lines, Rect rect = {}) {
        doc.AddSubtitle(lines, true, tc(start), tc(stop), rect);
    }
    std::string lastQuestion() const {
        return dialogs.asked.empty() ? "" : dialogs.asked.back().text;
    }
};

} // namespace mirtal::test
