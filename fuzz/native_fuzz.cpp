// The native subtitle reader, answering every damaged entry from the input,
// and the text conversions at the file boundary. The first byte's top bit
// picks the file's encoding (UTF-8 when set), its other bits the answers.
#include "FuzzInput.h"
#include "base/TextCodec.h"
#include "subtitles/BannerClock.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/NativeReader.h"
#include "subtitles/SubtitleDocument.h"

#include <algorithm>
#include <cstring>

using namespace mirtal;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Answers Ignore, Yes to All or Cancel as the script says; a message with
// only OK gets OK.
class Answers : public DialogHost {
public:
    explicit Answers(uint8_t script) : m_script(script) {}
    Answer ask(MessageKind, Buttons buttons, const std::string&) override {
        if (buttons.has(Answer::Ok)) {
            ++oks;
            return Answer::Ok;
        }
        static constexpr Answer kChoices[] = {Answer::Ignore, Answer::YesToAll, Answer::Cancel,
                                              Answer::Ignore};
        Answer a = kChoices[(m_script >> (2 * (m_asked++ % 4))) & 3];
        if (!buttons.has(a)) fuzz::broken("an answer the reader did not offer");
        return a;
    }
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    unsigned oks = 0;

private:
    uint8_t m_script;
    unsigned m_asked = 0;
};

// For reading a file the program wrote itself: nothing may be asked.
class NoQuestions : public Answers {
public:
    NoQuestions() : Answers(0) {}
    Answer ask(MessageKind, Buttons, const std::string&) override {
        fuzz::broken("a file the program wrote reads with a question");
    }
};

// What a refused file must leave as it was.
struct DocumentState {
    std::vector<TSub> entries;
    std::string text, fileName, caption;
    NativeOptions native;
    SplitWindow split;
    bool modified = false;

    explicit DocumentState(const SubtitleDocument& doc)
        : entries(doc.store().entries()), text(doc.fileText()), fileName(doc.fileName()),
          caption(doc.caption()), native(doc.options().native), split(doc.split()),
          modified(doc.isModified()) {}
    bool operator==(const DocumentState& o) const {
        return entries == o.entries && text == o.text && fileName == o.fileName &&
               caption == o.caption && native.IndexOffset == o.native.IndexOffset &&
               native.ExtendedFormat == o.native.ExtendedFormat && split == o.split &&
               modified == o.modified;
    }
};

size_t questionMarks(std::string_view s) {
    return size_t(std::count(s.begin(), s.end(), '?'));
}

// Decoding UTF-8 through the strict reader with exactly one byte order mark
// taken off, whatever the bytes start with.
ValueResult<std::string> strictUtf8(std::string_view bytes) {
    std::string withBom(kBom);
    withBom += bytes;
    return decodeText(withBom, TextEncoding::Utf8);
}

// The conversions between Windows-1252 and UTF-8 on the same bytes.
void checkConversions(std::string_view bytes) {
    // Windows-1252 passes through unchanged and any such text survives UTF-8.
    if (encodeText(bytes, TextEncoding::Cp1252) != bytes ||
        decodeText(bytes, TextEncoding::Cp1252) != std::string(bytes))
        fuzz::broken("Windows-1252 is not passed through");
    const std::string utf8 = encodeText(bytes, TextEncoding::Utf8);
    if (utf8 != cp1252ToUtf8(bytes)) fuzz::broken("encodeText and cp1252ToUtf8");
    if (utf8ToCp1252(utf8) != bytes) fuzz::broken("Windows-1252 -> UTF-8 -> Windows-1252");
    size_t replaced = 1;
    if (decodeText(utf8, TextEncoding::Utf8, &replaced) != std::string(bytes) || replaced != 0)
        fuzz::broken("written UTF-8 does not read back");

    // The bytes as UTF-8.
    const ValueResult<std::string> text = decodeText(bytes, TextEncoding::Utf8, &replaced);
    const std::string& error = text.error;
    const std::string_view body = bytes.starts_with(kBom) ? bytes.substr(kBom.size()) : bytes;
    const std::string lenient = utf8ToCp1252(body);
    if (lenient.size() > body.size()) fuzz::broken("utf8ToCp1252 grew the text");
    if (text) {
        if (*text != lenient) fuzz::broken("the strict and the lenient reader differ on UTF-8");
        if (replaced != questionMarks(*text) - questionMarks(body))
            fuzz::broken("replaced characters miscounted");
        if (replaced == 0 && encodeText(*text, TextEncoding::Utf8) != body)
            fuzz::broken("UTF-8 -> Windows-1252 -> UTF-8");
        return;
    }
    // The error names the line and the byte where the first bad sequence starts.
    size_t line = 0, byte = 0;
    if (std::sscanf(error.c_str(), "not UTF-8 text: line %zu, byte %zu of the line", &line,
                    &byte) != 2 ||
        line < 1 || byte < 1)
        fuzz::broken("a refusal without line and byte");
    size_t lineStart = 0;
    for (size_t n = 1; n < line; ++n) {
        size_t lf = body.find('\n', lineStart);
        if (lf == std::string_view::npos) fuzz::broken("the refused line is past the end");
        lineStart = lf + 1;
    }
    const size_t at = lineStart + byte - 1;
    if (at >= body.size() || body.substr(lineStart, byte - 1).find('\n') != std::string_view::npos)
        fuzz::broken("the refused byte is not on its line");
    const ValueResult<std::string> rest = strictUtf8(body.substr(at));
    if (!strictUtf8(body.substr(0, at)) || rest ||
        rest.error != "not UTF-8 text: line 1, byte 1 of the line")
        fuzz::broken("the refused byte is not where the text stops being UTF-8");
}

// Every time fits its fixed columns and, when written, every rectangle its three digits.
bool fitsTheFormat(const SubtitleDocument& doc) {
    auto fits = [](TTimeCode t) {
        return t.Hour <= 99 && t.Min <= 99 && t.Sec <= 99 && t.MSec <= 999;
    };
    auto three = [](int32_t v) { return v >= 0 && v <= 999; };
    const bool extended = doc.options().native.ExtendedFormat;
    for (const TSub& e : doc.store().entries()) {
        if (!fits(e.Start) || !fits(e.Stop)) return false;
        if (extended && !(three(e.X1) && three(e.X2) && three(e.Y1) && three(e.Y2))) return false;
    }
    return true;
}

// Saved in its encoding and opened again, the document reads without a
// question and renders the same.
void checkReadBack(const SubtitleDocument& doc, const MessageCatalogue& messages) {
    if (doc.nbSubTitle() == 0 || !fitsTheFormat(doc)) return;
    const std::string saved = encodedFileText(doc);
    fuzz::MemoryFile file(reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
    FixedBannerClock clock("01/02/2003 04:05:06");
    SubtitleDocument again(clock);
    again.options().Encoding = doc.options().Encoding;
    NoQuestions none;
    NativeReadReport r = readNativeFile(again, file.path(), none, messages);
    if (r.readFailed || r.replaced != 0 || r.errors != 0)
        fuzz::broken("a saved document does not read back");
    if (again.nbSubTitle() != doc.nbSubTitle() || again.fileText() != doc.fileText())
        fuzz::broken("a saved document reads back different");
}

const char kOpenDocument[] = "7\r\n00:00:01,000 --> 00:00:02,000  X1:001 X2:002 Y1:003 Y2:004\r\n"
                             "d\xe9j\xe0 l\xe0\r\n\r\n8\r\n00:00:03,000 --> 00:00:04,000\r\nx\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const TextEncoding encoding = data[0] & 0x80 ? TextEncoding::Utf8 : TextEncoding::Cp1252;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    checkConversions(bytes);

    FixedBannerClock clock("01/02/2003 04:05:06");
    SubtitleDocument doc(clock);
    doc.options().Encoding = encoding;
    MessageCatalogue messages;
    // A document is open, modified and split when the file is read.
    NoQuestions none;
    readNativeText(doc, kOpenDocument, "open.vtx", none, messages);
    doc.setSplit({true, {0, 0, 1, 0}, {0, 0, 3, 0}});
    doc.setModified(true);
    const DocumentState before(doc);

    fuzz::MemoryFile file(data + 1, size - 1);
    Answers answers(data[0] & 0x7F);
    NativeReadReport r = readNativeFile(doc, file.path(), answers, messages);
    // A byte order mark says UTF-8 whatever the document's encoding.
    const bool decodes =
        decodeText(bytes, bytes.starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8 : encoding).ok;
    if (r.readFailed == decodes) fuzz::broken("refused other than the bytes not in the encoding");
    if (r.readFailed) {
        if (r.error.empty() || answers.oks != 1) fuzz::broken("a refusal not reported once");
        if (!(DocumentState(doc) == before)) fuzz::broken("a refused file changed the document");
        return 0;
    }
    if (r.entries != doc.nbSubTitle()) fuzz::broken("entries reported and stored");
    if (doc.splitActive()) fuzz::broken("a read document is still split");
    checkReadBack(doc, messages);
    return 0;
}
