#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

namespace mirtal {

enum class MessageKind { Warning, Confirmation, Information, Plain };

enum class Answer { Ok, Cancel, Yes, No, Ignore, YesToAll };

// Buttons offered by a message box, as a small bit set.
class Buttons {
public:
    Buttons(std::initializer_list<Answer> list) {
        for (Answer a : list) m_bits |= bit(a);
    }
    bool has(Answer a) const { return (m_bits & bit(a)) != 0; }

private:
    static unsigned bit(Answer a) { return 1u << unsigned(a); }
    unsigned m_bits = 0;
};

struct FileDialogRequest {
    std::string title;            // 8-bit text
    std::string filter;           // "Name (*.ext)|*.ext|All|*.*"
    std::string defaultExtension; // without the dot; empty for none
    std::filesystem::path initialFolder;
    std::string initialName;
    // A save meant to rewrite this file (the matrix over its own file): a
    // host that refuses files in use as outputs lets this one through.
    std::filesystem::path rewrites;
};

// What the core asks of whoever drives it in the way of message boxes and
// file dialogs. Texts are 8-bit Windows-1252, lines separated by '\r'.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // A modal message box; the answer is one of the buttons offered.
    virtual Answer ask(MessageKind kind, Buttons buttons, const std::string& text) = 0;
    // A file dialog; nullopt when the user cancels.
    virtual std::optional<std::filesystem::path>
    chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path>
    chooseSaveFile(const FileDialogRequest& request) = 0;
};

} // namespace mirtal
