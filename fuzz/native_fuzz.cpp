// The native subtitle reader, answering every damaged entry from the input.
#include "FuzzInput.h"
#include "subtitles/BannerClock.h"
#include "subtitles/NativeReader.h"
#include "subtitles/SubtitleDocument.h"

using namespace mirtal;

namespace {

// Answers Ignore, Yes to All or Cancel as the input's first byte says.
class Answers : public DialogHost {
public:
    explicit Answers(uint8_t script) : m_script(script) {}
    Answer ask(MessageKind, Buttons buttons, const std::string&) override {
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

private:
    uint8_t m_script;
    unsigned m_asked = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    FixedBannerClock clock("01/02/2003 04:05:06");
    SubtitleDocument doc(clock);
    MessageCatalogue messages;
    Answers answers(data[0]);
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    NativeReadReport r = ReadNativeText(doc, text, "fuzz.vtx", answers, messages);
    if (r.entries != doc.NbSubTitle()) fuzz::broken("entries reported and stored");
    doc.RefreshList();
    return 0;
}
