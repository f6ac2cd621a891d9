#pragma once

#include <string>
#include <string_view>

namespace mirtal {

// The recogniser's language for a stream's language code: the ISO 639-1
// codes of DVDs and VobSub indexes ("fr") become the recogniser's own
// ("fra"); a code of its own form ("fra", "chi_sim") stays; an unknown or
// empty code gives English.
std::string recognitionLanguage(std::string_view code);

// The Debian package that holds a recognition language ("tesseract-ocr-fra").
std::string recognitionLanguagePackage(std::string_view language);

} // namespace mirtal
