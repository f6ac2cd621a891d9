#include "subtitles/NativeReader.h"

#include "base/Files.h"
#include "base/TextCodec.h"

#include <limits>

namespace mirtal {

namespace {

// Lines ending in CR LF, LF or CR. Reading at the end gives an empty line
// and does not move, as a text file's reader does.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    std::string_view next() {
        size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != '\r' && m_text[m_pos] != '\n') ++m_pos;
        std::string_view line = m_text.substr(start, m_pos - start);
        if (m_pos < m_text.size()) {
            if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
                m_pos += 2;
            else
                ++m_pos;
        }
        return line;
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// Blanks and control characters off both ends.
std::string_view trim(std::string_view s) {
    while (!s.empty() && (unsigned char)s.front() <= ' ') s.remove_prefix(1);
    while (!s.empty() && (unsigned char)s.back() <= ' ') s.remove_suffix(1);
    return s;
}

std::string_view part(std::string_view s, size_t pos, size_t len = std::string_view::npos) {
    return pos < s.size() ? s.substr(pos, len) : std::string_view{};
}

bool toInt32(std::string_view text, int32_t& out) {
    int64_t v = 0;
    if (!parseInteger(text, v) || v < std::numeric_limits<int32_t>::min() ||
        v > std::numeric_limits<int32_t>::max())
        return false;
    out = int32_t(v);
    return true;
}

class Reader {
public:
    Reader(SubtitleDocument& doc, std::string_view bytes, DialogHost& host,
           const MessageCatalogue& messages)
        : m_doc(doc), m_lines(bytes), m_host(host), m_messages(messages) {}

    NativeReadReport run() {
        // The step runs at least once, so an empty file reports its error.
        do {
            if (!step()) {
                ++m_report.errors;
                if (!m_ignoreAll && !askToContinue()) {
                    m_report.cancelled = true;
                    break;
                }
            }
        } while (!m_lines.atEnd() && !m_report.storeFull);
        return m_report;
    }

private:
    // One entry. False on a conversion error: the rest of the entry is skipped
    // and the next step starts at the line after the failing one.
    bool step() {
        std::string_view numberLine = trim(m_lines.next());
        // Other programs' files, and hand-edited ones, may leave several
        // blank lines between entries, or after the last one.
        while (numberLine.empty() && !m_lines.atEnd()) numberLine = trim(m_lines.next());
        if (numberLine.empty() && !m_first) return true;
        int32_t number = 0;
        if (!toInt32(numberLine, number)) return false;
        m_lastIndex = uint16_t(number);
        if (m_first) {
            int32_t offset = int32_t(m_lastIndex) - 1;
            m_doc.options().native.IndexOffset = uint16_t(offset < 0 ? 0 : offset);
            m_first = false;
        }
        std::string_view timeLine = trim(m_lines.next());
        TTimeCode start = strToTimeCode(part(timeLine, 0, 12));
        TTimeCode stop = strToTimeCode(part(timeLine, 17));
        if (timeLine.size() > 31) {
            std::string_view c = trim(part(timeLine, 30));
            if (!c.empty() && (c[0] == 'x' || c[0] == 'X')) {
                // The labels and blanks between the values are not looked at.
                if (!toInt32(part(c, 3, 3), m_rect.X1) || !toInt32(part(c, 10, 3), m_rect.X2) ||
                    !toInt32(part(c, 17, 3), m_rect.Y1) || !toInt32(part(c, 24, 3), m_rect.Y2))
                    return false;
                m_doc.options().native.ExtendedFormat = true;
            }
        } else {
            m_rect = {};
            m_doc.options().native.ExtendedFormat = false;
        }
        std::vector<std::string> text;
        while (!m_lines.atEnd()) {
            std::string_view line = trim(m_lines.next());
            if (line.empty()) break;
            text.emplace_back(line);
        }
        AddStatus status = m_doc.addSubtitle(text, false, start, stop, m_rect);
        if (status == AddStatus::Added) ++m_report.entries;
        if (status == AddStatus::StoreFull) {
            m_report.storeFull = true;
            m_host.ask(MessageKind::Warning, {Answer::Ok}, storeFullMessage());
        }
        return true;
    }

    bool askToContinue() {
        std::string text = m_messages.text(Message::SubtitleFileError) +
                           std::to_string(int(m_lastIndex) + 1) + "\r" +
                           m_messages.text(Message::IgnoreAndContinue);
        Answer a = m_host.ask(MessageKind::Warning,
                              {Answer::Cancel, Answer::Ignore, Answer::YesToAll}, text);
        if (a == Answer::YesToAll) m_ignoreAll = true;
        return a == Answer::Ignore || a == Answer::YesToAll;
    }

    SubtitleDocument& m_doc;
    LineCursor m_lines;
    DialogHost& m_host;
    const MessageCatalogue& m_messages;
    NativeReadReport m_report;
    bool m_first = true;
    bool m_ignoreAll = false;
    uint16_t m_lastIndex = 0;
    Rect m_rect;
};

} // namespace

NativeReadReport readNativeText(SubtitleDocument& doc, std::string_view bytes,
                                const std::string& fileName, DialogHost& host,
                                const MessageCatalogue& messages) {
    doc.discardAll();
    doc.setFileName(fileName);
    NativeReadReport report = Reader(doc, bytes, host, messages).run();
    SplitWindow split = doc.split();
    split.SplitActive = false;
    doc.setSplit(split);
    doc.refreshList();
    return report;
}

NativeReadReport readNativeFile(SubtitleDocument& doc, const std::filesystem::path& path,
                                DialogHost& host, const MessageCatalogue& messages,
                                bool detectEncoding) {
    // Read everything first: a file that cannot be read must not cost the
    // user the document on screen.
    const ValueResult<std::string> bytes = readWholeFile(path);
    std::string error = bytes.error;
    size_t replaced = 0;
    TextEncoding encoding = doc.options().Encoding;
    ValueResult<std::string> text = ValueResult<std::string>::failure(error);
    if (bytes) {
        if (detectEncoding || bytes->starts_with("\xEF\xBB\xBF"))
            encoding = detectTextEncoding(*bytes);
        text = decodeText(*bytes, encoding, &replaced);
        if (!text)
            error = utf8ToCp1252(path.filename().string()) + ": " + text.error +
                    " (choose the Windows-1252 encoding to read it)";
    }
    if (!text) {
        NativeReadReport report;
        report.readFailed = true;
        report.error = error;
        host.ask(MessageKind::Warning, {Answer::Ok}, error);
        return report;
    }
    NativeReadReport report = readNativeText(doc, *text, path.string(), host, messages);
    report.replaced = replaced;
    return report;
}

} // namespace mirtal
