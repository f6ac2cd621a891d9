#include "CliHost.h"

#include "base/MessageCatalogue.h"
#include "base/TextCodec.h"

#include <array>
#include <cctype>
#include <istream>
#include <ostream>

namespace mirtal::cli {

namespace {

struct ButtonName {
    Answer answer;
    const char* name;
};
constexpr std::array kButtonNames = {
    ButtonName{Answer::Yes, "yes"},       ButtonName{Answer::No, "no"},
    ButtonName{Answer::Ok, "ok"},         ButtonName{Answer::Cancel, "cancel"},
    ButtonName{Answer::Ignore, "ignore"}, ButtonName{Answer::YesToAll, "all"},
};

const char* nameOf(Answer a) {
    for (const ButtonName& b : kButtonNames)
        if (b.answer == a) return b.name;
    return "?";
}

const char* kindPrefix(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return "warning: ";
    case MessageKind::Confirmation:
        return "question: ";
    case MessageKind::Information:
        return "note: ";
    case MessageKind::Plain:
        break;
    }
    return "";
}

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string withoutNumbers(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c < '0' || c > '9') out += c;
    return out;
}

// 524280 as "524,280".
std::string grouped(uint64_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

// How the count of one kind of warning reads.
std::string countedAs(const std::string& kind) {
    const std::string badPack = MessageCatalogue().text(Message::BadPacketHeader);
    if (kind.starts_with(withoutNumbers(badPack))) return "bad packs";
    return "of: " + cp1252ToUtf8(kind.substr(0, kind.find('\r')));
}

} // namespace

CliHost::CliHost(CliIo& io, const Args& args) : m_io(io) {
    m_defaultYes = args.value("--answer").value_or("yes") != "no";
    m_progress = args.has("--progress");
}

CliHost::~CliHost() {
    for (const auto& [kind, count] : m_seen)
        if (count > kShownOfOneKind)
            m_io.err << "mirtal-rip: ... and " << grouped(count - kShownOfOneKind) << " more "
                     << countedAs(kind) << '\n';
}

void CliHost::printMessage(std::string_view prefix, const std::string& text) {
    std::string utf8 = cp1252ToUtf8(text);
    m_io.err << "mirtal-rip: " << prefix;
    for (char c : utf8) {
        if (c == '\r')
            m_io.err << "\n    ";
        else if (c != '\n')
            m_io.err << c;
    }
    m_io.err << '\n';
}

std::optional<std::string> CliHost::readLine() {
    std::string line;
    if (!std::getline(m_io.in, line)) return std::nullopt;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

Answer CliHost::ask(MessageKind kind, Buttons buttons, const std::string& text) {
    if (kind == MessageKind::Warning) ++m_warnings;
    Answer fallback = Answer::Ok;
    if (buttons.has(Answer::Yes) && buttons.has(Answer::No))
        fallback = m_defaultYes ? Answer::Yes : Answer::No;
    else if (!buttons.has(Answer::Ok))
        for (const ButtonName& b : kButtonNames)
            if (buttons.has(b.answer)) {
                fallback = b.answer;
                break;
            }
    std::string offered;
    for (const ButtonName& b : kButtonNames)
        if (buttons.has(b.answer)) offered += offered.empty() ? b.name : std::string("/") + b.name;
    if (!m_io.inputIsTerminal && ++m_seen[withoutNumbers(text)] > kShownOfOneKind) return fallback;
    printMessage(kindPrefix(kind), text);
    if (!m_io.inputIsTerminal) {
        if (offered != "ok")
            m_io.err << "mirtal-rip: (no terminal) answered " << nameOf(fallback) << '\n';
        return fallback;
    }
    if (offered == "ok") return Answer::Ok;
    for (;;) {
        m_io.err << "  [" << offered << "] " << std::flush;
        auto line = readLine();
        if (!line) return fallback;
        std::string word = lower(*line);
        for (const ButtonName& b : kButtonNames)
            if (buttons.has(b.answer) && !word.empty() &&
                std::string_view(b.name).starts_with(word))
                return b.answer;
    }
}

std::optional<std::filesystem::path> CliHost::chooseOpenFile(const FileDialogRequest& request) {
    return chooseSaveFile(request);
}

std::optional<std::filesystem::path> CliHost::chooseSaveFile(const FileDialogRequest& request) {
    printMessage("", request.title);
    if (!m_io.inputIsTerminal) {
        m_io.err << "mirtal-rip: (no terminal) file dialog cancelled\n";
        return std::nullopt;
    }
    m_io.err << "  file name (empty to cancel): " << std::flush;
    auto line = readLine();
    if (!line || line->empty()) return std::nullopt;
    return std::filesystem::path(*line);
}

std::optional<int> CliHost::chooseTextColour(const Bitmap24&, int guess) {
    return guess;
}

GlyphAnswer CliHost::askGlyph(const GlyphQuestion& question) {
    if (!m_io.inputIsTerminal) {
        m_io.err << "mirtal-rip: (no terminal) unknown character in subpicture "
                 << question.subpictureNumber << ", subpicture skipped\n";
        return {GlyphAction::SkipSubpicture, {}};
    }
    m_io.err << "Subpicture " << question.subpictureNumber << ", line " << question.line
             << ", character " << question.charIndex
             << ": what does it read? (empty skips the subpicture) " << std::flush;
    auto line = readLine();
    if (!line || line->empty()) return {GlyphAction::SkipSubpicture, {}};
    return {GlyphAction::Learn, utf8ToCp1252(*line).substr(0, 20)};
}

bool CliHost::adjustBitmap() {
    return true;
}

ProgressionChoice CliHost::waitAtProgression() {
    return ProgressionChoice::NoStop;
}

uint32_t CliHost::tickMs() {
    auto d = std::chrono::steady_clock::now() - m_origin;
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

void CliHost::displayChanged(const RipDisplay& display) {
    if (!m_progress || display.progressPercent == m_lastPercent) return;
    m_lastPercent = display.progressPercent;
    m_io.err << "\r" << (display.vobFile.empty() ? "None" : display.vobFile) << "  "
             << positionText(display) << "  elapsed " << clockText(display.elapsed)
             << "  remaining " << clockText(display.remaining) << "  " << display.jobPictures
             << " subpictures   " << std::flush;
}

std::string positionText(const RipDisplay& display) {
    if (!display.progress) return "Pos/Size Percent";
    return std::to_string(display.progress->positionKb >> 10) + "/" +
           std::to_string(display.progress->totalKb >> 10) + " MB (" +
           std::to_string(display.progressPercent) + "%)";
}

std::string clockText(const std::optional<TTimeCode>& time) {
    return time ? timeCodeToStr(*time).substr(0, 8) : std::string();
}

void printSettingsWarnings(const SettingsWarnings& warnings, CliIo& io) {
    for (const std::string& text : warnings.texts)
        io.err << "mirtal-rip: warning: " << cp1252ToUtf8(text) << '\n';
}

} // namespace mirtal::cli
