#pragma once

#include "Commands.h"
#include "rip/Host.h"
#include "settings/SettingsFile.h"

#include <chrono>
#include <map>
#include <string>

namespace mirtal::cli {

// The engine's host on a terminal: messages and prompts go to standard error,
// answers come from standard input. Without a terminal on standard input
// nobody can answer, so every question gets its default answer and the
// answer is reported:
//   yes/no questions   -> the --answer choice (Yes unless "--answer no")
//   other questions    -> Ok, else the first button offered
//   file dialogs       -> cancelled
//   text colour        -> the automatic guess
//   unknown glyph      -> the subpicture is skipped
//   bitmap adjustment  -> the picture is kept unchanged
//   progression        -> no stop
// Commands that need other behaviour derive from it.
class CliHost : public Host {
public:
    CliHost(CliIo& io, const Args& args);
    // Counts the warnings that were not shown (see ask).
    ~CliHost() override;

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseTextColour(const Bitmap24& work, int guess) override;
    GlyphAnswer askGlyph(const GlyphQuestion& question) override;
    bool adjustBitmap() override;
    ProgressionChoice waitAtProgression() override;
    void processEvents() override {}
    uint32_t tickMs() override;
    void displayChanged(const RipDisplay& display) override;
    void showPicture(const Bitmap24&, const Rect&) override {}
    void showPicture(const PaletteBitmap&, const Rect&) override {}

    // Warning boxes shown so far (damaged input, unreadable files...).
    int warnings() const { return m_warnings; }
    bool interactive() const { return m_io.inputIsTerminal; }

protected:
    // Prints an 8-bit message on standard error, one line per '\r'.
    void printMessage(std::string_view prefix, const std::string& text);
    // One line from standard input, or nullopt at its end.
    std::optional<std::string> readLine();

    CliIo& m_io;

private:
    bool m_defaultYes = true;
    bool m_progress = false;
    int m_warnings = 0;
    int m_lastPercent = -1;
    // Answered without a terminal, a warning of one kind (its text without
    // its numbers) is shown a few times and then only counted: a file of
    // random bytes has a bad pack every 2 KiB.
    static constexpr uint64_t kShownOfOneKind = 8;
    std::map<std::string, uint64_t> m_seen;
    std::chrono::steady_clock::time_point m_origin = std::chrono::steady_clock::now();
};

// The rip's texts on the terminal: "3/9 MB (33%)" (or "Pos/Size Percent"
// before the first measure), and hh:mm:ss of a time ("" for none).
std::string positionText(const RipDisplay& display);
std::string clockText(const std::optional<TTimeCode>& time);

// The values of a settings file or profile that were not used, one warning
// line each. They are not the job's warnings: what the job does is whole.
void printSettingsWarnings(const SettingsWarnings& warnings, CliIo& io);

} // namespace mirtal::cli
