#pragma once

#include <cstdint>

namespace mirtal {

// The thirteen numbers that steer segmentation, matching and spacing, and
// the automatic space width, with their built-in defaults.
struct OcrSettings {
    uint8_t MinLineHeight = 8;
    uint8_t MinInterLine = 2;
    uint8_t MaxLineHeight = 45;
    uint8_t MinCharWidth = 2;
    uint8_t MinCharHeight = 2;
    bool CheckDetachedChar = true;
    uint8_t MaxCharDiffWidth = 2;
    uint8_t MaxCharDiffTop = 6;
    uint8_t MaxCharDiffHeight = 2;
    uint16_t Sensibility = 980;
    int32_t SpaceWidth = 7;
    int32_t ItaSpaceWidth = 5;
    int32_t DetectItaWidth = -1;
    // Both space widths chosen per rip from the gaps seen so far; the two
    // above serve until enough gaps are in. A settings file that names
    // either width but not this key keeps its fixed widths.
    bool AutoSpaceWidth = true;
    // New glyph shapes: GlyphNaming (ask, suggest, name automatically).
    uint8_t NameGlyphs = 0;
    // Text set in italic is marked <i>...</i>.
    bool MarkItalics = true;

    bool operator==(const OcrSettings&) const = default;
};

inline void resetOcrSettings(OcrSettings& s) {
    s = OcrSettings{};
}

} // namespace mirtal
