#include "GlyphPrompt.h"
#include "ocr/Segmentation.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::cli;

TEST(GlyphPrompt, RepliesCommandsEscapesAndRefusals) {
    EXPECT_EQ(parseGlyphReply("\\skip-line").kind, GlyphReply::SkipLine);
    EXPECT_EQ(parseGlyphReply("\\skip-subpicture").kind, GlyphReply::SkipSubpicture);
    EXPECT_EQ(parseGlyphReply("\\stop").kind, GlyphReply::Stop);
    // An empty line is a text: the glyph is learned as nothing.
    GlyphReply empty = parseGlyphReply("");
    EXPECT_EQ(empty.kind, GlyphReply::Text);
    EXPECT_EQ(empty.text, "");
    // With a suggestion an empty line takes it, and \empty types nothing.
    EXPECT_EQ(parseGlyphReply("", "\xE9").text, "\xE9");
    EXPECT_EQ(parseGlyphReply("\\empty", "\xE9").text, "");
    EXPECT_EQ(parseGlyphReply("e", "\xE9").text, "e");
    // A doubled leading backslash types one, also in front of a command word.
    EXPECT_EQ(parseGlyphReply("\\\\stop").text, "\\stop");
    EXPECT_EQ(parseGlyphReply("\\\\").text, "\\");
    EXPECT_EQ(parseGlyphReply("a\\b").text, "a\\b");
    EXPECT_EQ(parseGlyphReply("\\stp").kind, GlyphReply::Invalid);
    // UTF-8 from the terminal becomes the matrix's 8-bit text.
    EXPECT_EQ(parseGlyphReply("\xC5\x93").text, "\x9C"); // oe ligature
    EXPECT_EQ(parseGlyphReply("\xC2\xAB").text, "\xAB");
    EXPECT_EQ(parseGlyphReply("?").text, "?");
    // Never learned as a question mark: a character without an 8-bit form.
    EXPECT_EQ(parseGlyphReply("\xE2\x82\xB9").kind, GlyphReply::Invalid);
    EXPECT_EQ(parseGlyphReply(std::string(20, 'm')).text.size(), 20u);
    EXPECT_EQ(parseGlyphReply(std::string(21, 'm')).kind, GlyphReply::Invalid);
}

TEST(GlyphPrompt, QuestionLineAndFramedArtOfTheLine) {
    // Two characters on one line: a 2 x 3 bar and, after a gap, a 1 x 2 dot
    // lower down; the line's leftover text stays in the text colour.
    const Colour text = kDrawColor[2];
    Bitmap24 work(8, 4, kDrawColor[0]);
    for (int y = 0; y < 3; ++y) {
        work.setPixel(0, y, CharColorA);
        work.setPixel(1, y, CharColorA);
    }
    work.setPixel(4, 2, CharColorB);
    work.setPixel(4, 3, CharColorB);
    work.setPixel(7, 0, text);
    const CharBox boxes[] = {{0, 0, 2, 3, 0, 0}, {4, 2, 1, 2, 2, 0}};
    GlyphQuestion q;
    q.subpictureNumber = 12;
    q.startMs = 3723004;
    q.line = 2;
    q.charIndex = 2;
    q.box = boxes[1];
    q.lineBoxes = boxes;
    q.workBitmap = &work;
    EXPECT_EQ(glyphQuestionLine(q),
              "GLYPH subpicture=12 start=01:02:03,004 line=2 char=2 width=1 height=2");

    // Rows from the line top down to the frame's bottom, the other glyph
    // and the leftover text as '+'.
    const std::vector<std::string> second = {"+.....+", "+.---..", "+.|#|..", "..|#|..", "..---.."};
    EXPECT_EQ(glyphArt(q, text, 7), second);
    // The first glyph: its frame stands one column and one row outside the
    // picture, and the narrow window keeps it whole.
    q.charIndex = 1;
    q.box = boxes[0];
    const std::vector<std::string> first = {"----..", "|##|..", "|##|..", "|##|.+", "----.+"};
    EXPECT_EQ(glyphArt(q, text, 6), first);
}
