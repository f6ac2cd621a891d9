#pragma once

#include "base/Bitmap.h"
#include "ocr/CharBox.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mirtal {

// A glyph that matched nothing in the matrix, as put to the user.
struct GlyphQuestion {
    uint32_t subpictureNumber = 0; // the job's running subpicture count
    int32_t startMs = 0;           // display start of the subpicture
    int line = 0;                  // 1-based line of the subpicture
    int charIndex = 0;             // 1-based box index within the line
    CharBox box;
    std::span<const CharBox> lineBoxes;   // every box of the line
    const Bitmap24* workBitmap = nullptr; // cropped and recoloured subpicture
    int symbolIndex = 0;                  // number the new matrix entry will get
    std::string suggestion;               // the recogniser's reading, when it has one
};

enum class GlyphAction { Learn, SkipLine, SkipSubpicture, Pause, ChangeColour };

struct GlyphAnswer {
    GlyphAction action = GlyphAction::Learn;
    std::string text; // 8-bit text, at most 20 characters, used with Learn
};

// What character recognition asks of the user.
class OcrHost {
public:
    virtual ~OcrHost() = default;
    // The text colour index 0..3, given the automatic guess; nullopt skips the picture.
    virtual std::optional<int> chooseTextColour(const Bitmap24& work, int guess) = 0;
    virtual GlyphAnswer askGlyph(const GlyphQuestion& question) = 0;
};

} // namespace mirtal
