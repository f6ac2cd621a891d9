#include "ocr/RecognitionLanguage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace mirtal {

namespace {

// Languages written in the Latin alphabet (the matrix holds Windows-1252
// texts), and a few others a disc may name.
constexpr std::array<std::pair<std::string_view, std::string_view>, 36> kLanguages{{
    {"ca", "cat"}, {"cs", "ces"}, {"cy", "cym"}, {"da", "dan"}, {"de", "deu"}, {"el", "ell"},
    {"en", "eng"}, {"es", "spa"}, {"et", "est"}, {"eu", "eus"}, {"fi", "fin"}, {"fr", "fra"},
    {"ga", "gle"}, {"gl", "glg"}, {"hr", "hrv"}, {"hu", "hun"}, {"id", "ind"}, {"is", "isl"},
    {"it", "ita"}, {"ja", "jpn"}, {"ko", "kor"}, {"lt", "lit"}, {"lv", "lav"}, {"ms", "msa"},
    {"nl", "nld"}, {"no", "nor"}, {"pl", "pol"}, {"pt", "por"}, {"ro", "ron"}, {"ru", "rus"},
    {"sk", "slk"}, {"sl", "slv"}, {"sv", "swe"}, {"tr", "tur"}, {"uk", "ukr"}, {"zh", "chi_sim"},
}};

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

} // namespace

std::string recognitionLanguage(std::string_view code) {
    const std::string c = lowered(code);
    for (const auto& [iso, own] : kLanguages)
        if (c == iso) return std::string(own);
    const bool ownForm = c.size() >= 3 && std::all_of(c.begin(), c.end(), [](char ch) {
                             return (ch >= 'a' && ch <= 'z') || ch == '_';
                         });
    return ownForm ? c : "eng";
}

std::string recognitionLanguagePackage(std::string_view language) {
    std::string name = "tesseract-ocr-" + lowered(language);
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

} // namespace mirtal
