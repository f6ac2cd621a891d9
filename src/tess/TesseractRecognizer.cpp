#include "tess/TesseractRecognizer.h"

#include "base/TextCodec.h"
#include "ocr/RecognitionLanguage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <vector>

namespace mirtal {

namespace {

constexpr int kScale = 3;
constexpr int kBorder = 32; // white columns and rows around the scaled line

// The 8-bit form of a reading, none when it has no such form.
std::optional<std::string> eightBit(const char* utf8) {
    if (!utf8 || !*utf8) return std::nullopt;
    const std::string in(utf8);
    std::string out = utf8ToCp1252(in);
    if (std::count(out.begin(), out.end(), '?') != std::count(in.begin(), in.end(), '?'))
        return std::nullopt;
    return out;
}

// Where Debian's language packages put their data.
bool languageInstalled(const std::string& language) {
    std::vector<std::filesystem::path> folders;
    if (const char* prefix = std::getenv("TESSDATA_PREFIX")) {
        folders.emplace_back(prefix);
        folders.emplace_back(std::filesystem::path(prefix) / "tessdata");
    }
    for (const char* f : {"/usr/share/tesseract-ocr/5/tessdata",
                          "/usr/share/tesseract-ocr/4.00/tessdata", "/usr/share/tessdata"})
        folders.emplace_back(f);
    std::error_code ec;
    for (const auto& folder : folders)
        if (std::filesystem::is_regular_file(folder / (language + ".traineddata"), ec)) return true;
    return false;
}

} // namespace

TesseractRecognizer::TesseractRecognizer(std::string language) : m_language(std::move(language)) {}

TesseractRecognizer::~TesseractRecognizer() {
    if (m_api) m_api->End();
}

std::unique_ptr<TesseractRecognizer> TesseractRecognizer::open(const std::string& language,
                                                               std::string& error) {
    if (!languageInstalled(language)) {
        error = "the recognition language \"" + language + "\" is not installed (Debian package " +
                recognitionLanguagePackage(language) + ")";
        return nullptr;
    }
    return std::unique_ptr<TesseractRecognizer>(new TesseractRecognizer(language));
}

bool TesseractRecognizer::start() {
    if (m_api || m_failed) return !m_failed;
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, m_language.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
        // Without a reading every new glyph is asked.
        m_failed = true;
        return false;
    }
    api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    // Alternatives for every character: the next choice replaces a reading
    // that no subtitle uses.
    api->SetVariable("lstm_choice_mode", "2");
    api->SetVariable("user_defined_dpi", "300");
    m_api = std::move(api);
    return true;
}

LineReading TesseractRecognizer::readLine(const LineImage& line) {
    LineReading reading;
    if (line.width <= 0 || line.height <= 0 || !start()) return reading;
    const int w = line.width * kScale + 2 * kBorder, h = line.height * kScale + 2 * kBorder;
    std::vector<uint8_t> grey(size_t(w) * size_t(h), 255);
    for (int y = 0; y < line.height * kScale; ++y)
        for (int x = 0; x < line.width * kScale; ++x)
            if (line.at(x / kScale, y / kScale))
                grey[size_t(y + kBorder) * size_t(w) + size_t(x + kBorder)] = 0;
    m_api->SetImage(grey.data(), w, h, 1, w);
    if (m_api->Recognize(nullptr) != 0) return reading;
    std::unique_ptr<tesseract::ResultIterator> it(m_api->GetIterator());
    if (!it) return reading;
    constexpr auto kSymbol = tesseract::RIL_SYMBOL;
    do {
        if (it->Empty(kSymbol)) continue;
        RecognizedChar c;
        int left = 0, top = 0, right = 0, bottom = 0;
        it->BoundingBox(kSymbol, &left, &top, &right, &bottom);
        c.left = (left - kBorder) / kScale;
        c.right = (right - 1 - kBorder) / kScale;
        c.wordStart = it->IsAtBeginningOf(tesseract::RIL_WORD);
        std::unique_ptr<char[]> text(it->GetUTF8Text(kSymbol));
        if (auto t = eightBit(text.get())) c.choices.push_back(*t);
        tesseract::ChoiceIterator choice(*it);
        do {
            auto t = eightBit(choice.GetUTF8Text());
            if (t && std::find(c.choices.begin(), c.choices.end(), *t) == c.choices.end())
                c.choices.push_back(*t);
        } while (choice.Next());
        reading.chars.push_back(std::move(c));
    } while (it->Next(kSymbol));
    m_api->Clear();
    return reading;
}

} // namespace mirtal
