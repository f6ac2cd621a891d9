#pragma once

#include "base/DialogHost.h"
#include "base/Files.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace mirtal {

// Every message box, file dialog, colour and font picker of the windows goes
// through this one object, so that a test can answer them in advance
// ("next answer: No", "next file name: ...") instead of meeting a real modal
// dialog. Texts from the core are 8-bit Windows-1252.
class UiDialogs : public DialogHost {
public:
    explicit UiDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<QColor> chooseColour(const QColor& initial);

    // The files the program reads or keeps (the job's VOBs, the matrix, the
    // settings file...): a save dialog's choice that is one of them is
    // refused with a message, as if cancelled.
    void setFilesInUse(std::function<std::vector<FileInUse>()> list) {
        m_filesInUse = std::move(list);
    }
    std::optional<QFont> chooseFont(const QFont& initial);

    // Scripted mode for tests: once anything is queued, dialogs are never
    // shown; a question with nothing queued for it is an error the test sees.
    void setScripted(bool on) { m_scripted = on; }
    bool scripted() const { return m_scripted; }
    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> files;
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<QFont>> fonts;

    struct Record {
        MessageKind kind;
        std::string text; // 8-bit
    };
    std::vector<Record> asked;
    std::vector<FileDialogRequest> fileRequests;
    int unexpected = 0; // scripted questions that found no answer

private:
    std::optional<std::filesystem::path> askSaveFile(const FileDialogRequest& request);

    QWidget* m_parent;
    std::function<std::vector<FileInUse>()> m_filesInUse;
    bool m_scripted = false;
};

struct SettingsWarnings;
// The values of a settings file or profile that were not used, in one
// message box (none when there are none).
void showSettingsWarnings(DialogHost& dialogs, const SettingsWarnings& warnings);

// The windows' text conversions.
QString fromCp1252(const std::string& text);
std::string toCp1252(const QString& text);

} // namespace mirtal
