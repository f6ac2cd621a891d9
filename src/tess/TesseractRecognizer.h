#pragma once

#include "ocr/LineRecognizer.h"

#include <memory>
#include <string>

namespace tesseract {
class TessBaseAPI;
}

namespace mirtal {

// Reads a line with libtesseract: the line's text pixels black on white,
// scaled three times inside a wide white border, in single-line mode.
class TesseractRecognizer : public LineRecognizer {
public:
    ~TesseractRecognizer() override;
    // The recogniser for a language of its own form ("eng", "fra"); null
    // with `error` saying which Debian package is missing. Tesseract itself
    // is started at the first line to read: a rip whose matrix knows every
    // glyph does not wait for it.
    static std::unique_ptr<TesseractRecognizer> open(const std::string& language,
                                                     std::string& error);
    LineReading readLine(const LineImage& line) override;

private:
    explicit TesseractRecognizer(std::string language);
    bool start();

    std::string m_language;
    std::unique_ptr<tesseract::TessBaseAPI> m_api;
    bool m_failed = false;
};

} // namespace mirtal
