#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <string>

namespace mirtal {

// The main window's preview options.
struct PreviewSettings {
    bool AtTruePos = true;
    uint16_t Zoom = 1000; // tenths of a percent
    bool AutoZoom = false;
    Colour BorderColor = 0x6D6F8B;
    Colour InnerColor = 0xC7BABB;
    uint8_t BackMode = 1;          // 0 none, 1 preset, 2 free, 3 image
    uint8_t AspectRatioMode = 0;   // 0 "16/9 - 1.77:1", 1 "1.85:1", 2 "2.35:1"
    uint16_t FreeAspectRatio = 30; // rows of each band, 0..288
    std::string BackImageName;

    bool operator==(const PreviewSettings&) const = default;
};

// What the windows keep between runs besides the option records of the
// core units. The dialog folders are empty until the settings are loaded,
// which gives them the program folder when the file has none.
struct ProgramSettings {
    std::string OpenDialogCharMatrix;
    std::string SaveDialogCharMatrix;
    std::string SaveDialogBmpSup;
    std::string OpenDialogVob;
    std::string OpenDialogMirtalText;
    std::string SaveDialogText;
    std::string LanguageFileName; // empty: the built-in English texts
    bool AutoScrollDown = true;
    int32_t ActionMode = 0; // 0 OCR, 1 BMP, 2 SUP, 3 show only
    PreviewSettings Preview;
    bool WithTimingAndPosition = true; // the job option "+ TC && Res."
    bool ForcedOnly = false;           // the job option "Forced Subs Only"
    // The job option "times from the first video frame": on for new
    // settings; a settings file that says 0 keeps the stream clock.
    bool FromVideoStart = true;

    bool operator==(const ProgramSettings&) const = default;
};

} // namespace mirtal
