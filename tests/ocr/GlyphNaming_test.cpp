#include "OcrTestBitmaps.h"
#include "ocr/GlyphNaming.h"
#include "ocr/ItalicText.h"
#include "ocr/RecognitionLanguage.h"
#include "ocr/Segmentation.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

using Texts = std::vector<std::optional<std::string>>;

// Boxes 10 columns wide and characters 8 wide at the given left edges (negative: a word starts).
struct LayCase {
    const char* name;
    std::vector<int> boxLefts;
    std::vector<std::pair<int, std::vector<std::string>>> chars; // left, choices
    Texts want;
};

LineReading readingOf(const LayCase& c) {
    LineReading r;
    for (const auto& [left, choices] : c.chars) {
        const int l = std::abs(left) - 1;
        r.chars.push_back({l, l + 8, left < 0, choices});
    }
    return r;
}

} // namespace

TEST(GlyphNaming, ReadingsAreLaidOntoTheBoxesInOrderOrWordByWord) {
    const auto none = std::nullopt;
    const LayCase cases[] = {
        {"a quote as two",
         {1, 12, 23, 34},
         {{-1, {"\""}}, {12, {"a"}}, {-23, {"\x92"}}},
         {"'", "'", "a", "'"}},
        {"the next choice", {1, 12}, {{-1, {"|", "I"}}, {12, {"~"}}}, {"I", none}},
        {"a word cut in more boxes",
         {1, 12, 23, 51, 62},
         {{-1, {"o"}}, {23, {"n"}}, {-51, {"a"}}, {62, {"t"}}},
         {none, none, none, "a", "t"}},
        {"guillemets in two",
         {1, 12, 23, 34},
         {{-1, {"\xAB"}}, {-23, {"a"}}, {34, {"!"}}},
         {"\xAB", "", "a", "!"}},
        {"a closing quote as one",
         {1, 12, 23, 34, 45},
         {{-1, {"\""}}, {23, {"a"}}, {34, {"\x92"}}},
         {"'", "'", "a", "'", "'"}},
        {"two apostrophes, a box too many",
         {1, 12, 23, 34},
         {{-1, {"'"}}, {12, {"a"}}, {34, {"'"}}},
         {none, none, none, none}},
        {"a word without boxes", {1, 12}, {{-1, {"x"}}, {-80, {"y"}}, {90, {"z"}}}, {"x", none}},
    };
    for (const LayCase& c : cases) {
        std::vector<CharBox> boxes;
        for (int left : c.boxLefts) boxes.push_back({uint16_t(left + 100), 0, 10, 20, 0, 0});
        EXPECT_EQ(layReading(readingOf(c), boxes), c.want) << c.name;
    }
    // Only the boxes given count: the line table's next box lies in the word.
    const CharBox line[] = {{101, 0, 10, 20, 0, 0}, {112, 0, 10, 20, 0, 0}, {101, 0, 10, 20, 0, 0}};
    EXPECT_EQ(layReading(readingOf({"", {}, {{-1, {"x"}}, {-80, {"y"}}, {90, {"z"}}}, {}}),
                         std::span(line, 2)),
              (Texts{"x", std::nullopt}));
}

TEST(GlyphNaming, LettersOfTwoSizesTakeTheirCaseFromTheBodyHeight) {
    struct {
        const char* text;
        int body;
        const char* want;
    } cases[] = {
        {"C", 15, "c"},       {"c", 20, "C"},       {"o", 15, "o"},
        {"\xC9", 15, "\xE9"}, // É with an e body
        {"\xEE", 20, "\xCE"}, {"\x9C", 19, "\x8C"}, {"a", 20, "a"},
        {"K", 15, "K"},       {"cc", 20, "cc"},
    };
    for (const auto& c : cases) EXPECT_EQ(caseBySize(c.text, c.body, 15, 20), c.want) << c.text;
    EXPECT_EQ(caseBySize("c", 20, 20, 20), "c") << "no size difference known";

    Glyph e; // a 2-row accent over a 5-row body, a 2-row cedilla hanging below the line
    e.Width = 3, e.Height = 10;
    for (int y : {0, 1, 3, 4, 5, 6, 7, 8, 9}) e.Rows[size_t(y)] = 0b101;
    EXPECT_EQ(glyphBodyHeight(e, 8), 5);
    e.Rows[8] = 0;
    EXPECT_EQ(glyphBodyHeight(e, 8), 5) << "a cedilla apart from the body";
}

namespace {

// One line of solid boxes, each filled with its marker colour.
struct SolidLine {
    Bitmap24 work{120, 40, 0x000000};
    std::vector<CharBox> boxes;
    SolidLine& add(int x, int y, int w, int h, int relTop) {
        boxes.push_back({uint16_t(x), uint16_t(y), uint16_t(w), uint16_t(h), uint8_t(relTop), 0});
        work.fillRect(x, y, x + w, y + h, markerColour(int(boxes.size())));
        return *this;
    }
};

// Trains on the lines as the script reads them and settles: "named/contested text@top[*] ...".
struct Training {
    ScriptedReader reader;
    CharMatrix matrix;
    std::string run(std::deque<std::string> script, const std::vector<const SolidLine*>& lines,
                    GlyphNaming naming = GlyphNaming::Auto, bool reread = false) {
        GlyphNamer namer;
        const OcrSettings s;
        reader.script = std::move(script);
        for (const SolidLine* l : lines) namer.trainLine(l->work, l->boxes, matrix, s, reader);
        EXPECT_TRUE(reread || reader.script.empty());
        const auto o = namer.settle(matrix, naming, s, {}, reread ? &reader : nullptr);
        std::string out = std::to_string(o.named) + "/" + std::to_string(o.contested);
        for (const auto& e : matrix.entries())
            out += " " + e.Text + "@" + std::to_string(e.Top) + (e.AutoNamed ? "*" : "");
        return out;
    }
};

} // namespace

TEST(GlyphNaming, AShapeWithoutVotesTakesTheNameOfItsPixelsAtAnotherTop) {
    // "a." three times, then two dots alone read as nothing, at the top of their line. A block
    // read as nothing has no twin and is left to the user.
    SolidLine text, dots, block;
    text.add(0, 0, 6, 10, 0).add(10, 8, 2, 2, 8);
    dots.add(0, 0, 2, 2, 0).add(6, 0, 2, 2, 0);
    block.add(0, 0, 12, 12, 0);
    const std::vector<const SolidLine*> lines = {&text, &text, &text, &dots, &block};
    const std::deque<std::string> script = {"a.", "a.", "a.", "", ""};
    EXPECT_EQ(Training().run(script, lines), "3/1 a@0* .@8* .@0*");
    EXPECT_EQ(Training().run(script, lines, GlyphNaming::Suggest), "0/4");
}

TEST(GlyphNaming, ContestedLinesAreReadAgainLargerAndBolder) {
    SolidLine line;
    line.add(0, 4, 6, 6, 4); // lower than the line: the rows above it stay empty
    line.add(10, 0, 9, 10, 0);
    // missed at first, read in both new drawings
    EXPECT_EQ(Training().run({""}, {&line}), "0/2");
    Training t;
    EXPECT_EQ(t.run({"", "ab", "ab"}, {&line}, GlyphNaming::Auto, true), "2/0 a@4* b@0*");
    const auto& seen = t.reader.seen;
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(std::pair(seen[1].width, seen[1].height),
              std::pair(2 * seen[0].width, 2 * seen[0].height));
    // bolder: the first box grows a column into the gap (the last would pass the image's edge)
    auto ink = [](const LineImage& im) { return std::count(im.on.begin(), im.on.end(), 1); };
    EXPECT_EQ(ink(seen[2]), ink(seen[0]) + 6);
}

// Pairs a reading put into one word, for the space width: only when it named every box.
TEST(GlyphNaming, PairsInsideWordsComeFromReadingsThatNameEveryBox) {
    struct FixedReader : LineRecognizer {
        LineReading reading;
        LineReading readLine(const LineImage&) override { return reading; }
    } reader;
    SolidLine line;
    line.add(0, 0, 6, 10, 0).add(10, 0, 6, 10, 0).add(30, 0, 6, 10, 0);
    auto pairs = [&](std::vector<RecognizedChar> chars) {
        reader.reading.chars = std::move(chars);
        GlyphNamer namer;
        namer.trainLine(line.work, line.boxes, CharMatrix{}, OcrSettings{}, reader);
        std::string out;
        for (const auto& p : namer.pairsInsideWords()) out += p.left + p.right + " ";
        return out;
    };
    EXPECT_EQ(pairs({{0, 5, true, {"a"}}, {10, 15, false, {"b"}}, {30, 35, true, {"c"}}}), "ab ");
    EXPECT_EQ(pairs({{0, 15, true, {"a"}}, {30, 35, true, {"c"}}}), "");
}

TEST(GlyphNaming, AVotelessPlainBarIsIOrLByItsHeight) {
    // "Ad" three times gives the capital and ascender heights; then bars read as nothing: one of
    // each height and an apostrophe, which is neither.
    SolidLine text, bars;
    text.add(0, 2, 8, 14, 2).add(12, 0, 7, 16, 0);
    // A bar halfway between the two heights is an l.
    bars.add(0, 2, 2, 14, 2).add(6, 0, 2, 16, 0).add(12, 0, 2, 4, 0).add(18, 1, 2, 15, 1);
    EXPECT_EQ(Training().run({"Ad", "Ad", "Ad", ""}, {&text, &text, &text, &bars}),
              "5/1 A@2* d@0* I@2* l@0* l@1*");
}

TEST(GlyphNaming, GlyphsThatDifferInMoreThanNoiseAreDifferentShapes) {
    auto bar = [](int height, int width) {
        Glyph g;
        g.Width = width, g.Height = height;
        for (int y = 0; y < height; ++y) g.Rows[size_t(y)] = (uint64_t(1) << width) - 1;
        return g;
    };
    Glyph two = bar(23, 3), twoEntry = bar(22, 3);
    for (auto& row : two.Rows) row &= 0x5;
    for (auto& row : twoEntry.Rows) row &= 0x5;
    // è and ê of a 20-pixel font
    const Glyph grave = GlyphOf(kGrave12), circumflex = GlyphOf(kCircumflex12);
    Glyph noisy = grave;
    noisy.Rows[7] |= 4; // a stroke a pixel wider
    const struct {
        const char* name;
        std::vector<Glyph> entries;
        Glyph glyph;
        int match, shape;
    } cases[] = {
        {"a bar a row taller", {bar(22, 3)}, bar(23, 3), 1, 0},
        {"the same bar", {bar(22, 3)}, bar(22, 3), 1, 1},
        {"two strokes keep the height allowance", {twoEntry}, two, 1, 1},
        {"the accents", {circumflex}, grave, 1, 0},
        {"a pixel of noise", {circumflex, grave}, noisy, 2, 2},
    };
    const OcrSettings s;
    for (const auto& c : cases) {
        CharMatrix m;
        for (const Glyph& e : c.entries) m.appendEntry(entryFromGlyph(e, ""));
        EXPECT_EQ(std::tuple(findMatchingEntry(m, c.glyph, s), findShape(m, c.glyph, s)),
                  std::tuple(c.match, c.shape))
            << c.name;
    }
    EXPECT_TRUE(isPlainBar(bar(22, 3)));
    EXPECT_FALSE(isPlainBar(two));
}

TEST(GlyphNaming, AShapeSettlesWhenOneReadingClearlyLeads) {
    struct {
        std::map<std::string, int> votes;
        bool whileReading, atTheEnd;
    } cases[] = {
        {{}, false, false},
        {{{"a", 1}}, false, true},
        {{{"a", 2}, {"o", 1}}, false, true},
        {{{"a", 1}, {"o", 1}}, false, false},
        {{{"a", 3}}, true, true},
        {{{"a", 3}, {"o", 1}}, true, true},
        {{{"a", 3}, {"o", 2}}, false, false},
        {{{"a", 5}, {"o", 2}, {"e", 1}}, false, true},
        {{{"C", 1}, {"\xC7", 1}}, false, true}, // a dropped cedilla
    };
    for (const auto& c : cases) {
        const ShapeVotes v{c.votes};
        EXPECT_EQ(v.settled(false), c.whileReading) << v.leader() << c.votes.size();
        EXPECT_EQ(v.settled(true), c.atTheEnd) << v.leader() << c.votes.size();
    }
    EXPECT_EQ((ShapeVotes{{{"o", 2}, {"0", 2}}}.leader()), "0");
    EXPECT_EQ((ShapeVotes{{{"e", 2}, {"\xE9", 1}}}.leader()), "\xE9");
}

TEST(GlyphNaming, StreamLanguagesMapToTheRecognisersAndUnknownOnesToEnglish) {
    std::string got;
    for (const char* code : {"EN", "zh", "deu", "", "x1"}) got += recognitionLanguage(code) + " ";
    EXPECT_EQ(got + recognitionLanguagePackage("chi_sim"),
              "eng chi_sim deu eng eng tesseract-ocr-chi-sim");
}

namespace {

// A bar 3 columns wide and 12 rows high, each row `shear` columns right of the one below.
Glyph Bar(double shear) {
    Glyph g;
    g.Width = 12, g.Height = 12;
    for (int y = 0; y < 12; ++y) g.Rows[size_t(y)] = uint64_t(7) << int((11 - y) * shear + 0.5);
    return g;
}

} // namespace

TEST(ItalicText, LeaningWordsAreMarkedAsAWholeLineOrAsRuns) {
    EXPECT_NEAR(glyphSlant(Bar(0)).lean(), 0, 1e-9);
    EXPECT_GT(glyphSlant(Bar(0.2)).lean(), kItalicLean + kWordLeanMargin);
    Glyph dot = Bar(0.25);
    dot.Height = 4;
    EXPECT_EQ(glyphSlant(dot).measured, 0) << "too short to tell";
    EXPECT_EQ(std::pair(glyphSlant(Bar(0.2), "70").measured, glyphSlant(Bar(0.2), "v").measured),
              std::pair(0, 1))
        << "digits lean in upright type too";

    // Words of three bars; a single leaning bar is too little to go against its line.
    auto word = [](const char* text, double shear, int bars) {
        LineWord w{text, {}};
        for (int i = 0; i < bars; ++i) w.slant += glyphSlant(Bar(shear));
        return w;
    };
    const LineWord up = word("up", 0, 3), it = word("it", 0.2, 3), a = word("a", 0.2, 1),
                   dash{"-", {}};
    struct {
        std::vector<LineWord> words;
        const char* want;
    } cases[] = {
        {{it, it}, "<i>it it</i>"},
        {{dash, it, it}, "<i>- it it</i>"},
        {{up, up, it, it, up, up}, "up up <i>it it</i> up up"},
        {{it, it, up, it}, "<i>it it</i> up <i>it</i>"},
        {{it, dash, up, up, up}, "<i>it -</i> up up up"},
        {{up, a, up}, "up a up"},
    };
    for (const auto& c : cases) EXPECT_EQ(markItalicWords(c.words), c.want) << c.want;
}
