// The INI reader and the settings read from it: the text survives a second
// parse unchanged, and settings written back read back the same.
#include "FuzzInput.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"

using namespace mirtal;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::parse(input);
    const std::string text = ini.text();
    if (IniFile::parse(text).text() != text) fuzz::broken("text not stable under parsing");

    ProgramSettings program;
    OcrSettings ocr;
    OutputOptions output;
    BmpOutputSettings bmp;
    readSettings(ini, "/opt/mirtal/", program, ocr, output);
    readBmpOutputSettings(ini, bmp);

    writeSettings(ini, program, output);
    writeOcrSettings(ini, ocr);
    writeBmpOutputSettings(ini, bmp);
    IniFile written = IniFile::parse(ini.text());
    ProgramSettings program2;
    OcrSettings ocr2;
    OutputOptions output2;
    BmpOutputSettings bmp2;
    readSettings(written, "/opt/mirtal/", program2, ocr2, output2);
    readBmpOutputSettings(written, bmp2);
    if (!(program2 == program)) fuzz::broken("program settings round trip");
    if (!(ocr2 == ocr)) fuzz::broken("OCR settings round trip");
    if (!(bmp2 == bmp)) fuzz::broken("bitmap output settings round trip");

    for (const std::string& s : ini.sectionNames())
        for (const std::string& k : ini.keyNames(s)) {
            (void)ini.readInteger(s, k, 0);
            if (ini.value(s, k) != written.value(s, k)) fuzz::broken("key lost in writing");
        }
    return 0;
}
