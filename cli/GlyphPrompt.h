#pragma once

#include "base/Colour.h"
#include "ocr/OcrHost.h"

#include <string>
#include <vector>

namespace mirtal::cli {

// The unknown-glyph question on a terminal. Its first line is one line for
// programs to read:
//   GLYPH subpicture=N start=HH:MM:SS,mmm line=L char=C width=W height=H
// where C is the box's 1-based place in its line. The picture of the line
// follows, then a prompt; the answer is one line of UTF-8 text.

std::string glyphQuestionLine(const GlyphQuestion& question);

// The line around the glyph as text art, one string per row: '#' the
// glyph's own pixels, '+' the other text of the line, '.' background, and a
// frame of '|' and '-' one pixel outside the glyph's box. At most `columns`
// wide, centred on the glyph.
std::vector<std::string> glyphArt(const GlyphQuestion& question, Colour textColour,
                                  int columns = 76);

// What a typed answer means:
//   \skip-line         skip the rest of the line
//   \skip-subpicture   drop the whole subpicture
//   \stop              stop the rip here (what was read so far is kept)
//   \empty            the empty text (where an empty line takes a suggestion)
//   \\TEXT             the text \TEXT (a leading backslash is doubled)
//   anything else      the text the glyph reads as; an empty line is a valid
//                      answer (the glyph then adds nothing)
// Texts are converted to Windows-1252 and hold at most 20 characters.
struct GlyphReply {
    enum Kind { Text, SkipLine, SkipSubpicture, Stop, Invalid };
    Kind kind = Text;
    std::string text;  // Text: 8-bit text
    std::string error; // Invalid: why, for the user
};
// A question with a suggestion takes it for an empty line.
GlyphReply parseGlyphReply(const std::string& utf8Line, const std::string& suggestion = {});

} // namespace mirtal::cli
