#include "ocr/GlyphNaming.h"
#include "ocr/ItalicText.h"
#include "ocr/RecognitionLanguage.h"

#include <gtest/gtest.h>

using namespace mirtal;

namespace {

using Texts = std::vector<std::optional<std::string>>;

// Boxes 10 columns wide at the given left edges; characters 8 wide at the
// given left edges, a word starting at each '^' of the reading.
struct LayCase {
    const char* name;
    std::vector<int> boxLefts;
    std::vector<std::pair<int, std::vector<std::string>>> chars; // left, choices; left < 0: word start
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
    const LayCase cases[] = {
        {"in order, a quote as two strokes", {1, 12, 23, 34},
         {{-1, {"\""}}, {12, {"a"}}, {-23, {"\x92"}}},
         {"'", "'", "a", "'"}},
        {"unused characters lose to the next choice", {1, 12},
         {{-1, {"|", "I"}}, {12, {"~"}}},
         {"I", std::nullopt}},
        {"a word cut in more boxes gives no votes, the other word does", {1, 12, 23, 51, 62},
         {{-1, {"o"}}, {23, {"n"}}, {-51, {"a"}}, {62, {"t"}}},
         {std::nullopt, std::nullopt, std::nullopt, "a", "t"}},
        {"guillemets drawn in two chevrons", {1, 12, 23, 34},
         {{-1, {"\xAB"}}, {-23, {"a"}}, {34, {"!"}}},
         {"\xAB", "", "a", "!"}},
        {"guillemets drawn whole", {1, 12}, {{-1, {"\xBB"}}, {12, {"a"}}}, {"\xBB", "a"}},
        {"a word without boxes gives nothing", {1, 12}, {{-1, {"x"}}, {-80, {"y"}}, {90, {"z"}}},
         {"x", std::nullopt}},
    };
    for (const LayCase& c : cases) {
        std::vector<CharBox> boxes;
        for (int left : c.boxLefts) boxes.push_back({uint16_t(left + 100), 0, 10, 20, 0, 0});
        EXPECT_EQ(LayReading(readingOf(c), boxes), c.want) << c.name;
    }
}

TEST(GlyphNaming, LettersOfTwoSizesTakeTheirCaseFromTheBodyHeight) {
    struct {
        const char* text;
        int body;
        const char* want;
    } cases[] = {
        {"C", 15, "c"}, {"c", 20, "C"}, {"o", 15, "o"}, {"\xC9", 15, "\xE9"}, // É with an e body
        {"\xEE", 20, "\xCE"}, {"\x9C", 19, "\x8C"}, {"a", 20, "a"}, {"K", 15, "K"}, {"cc", 20, "cc"},
    };
    for (const auto& c : cases) EXPECT_EQ(CaseBySize(c.text, c.body, 15, 20), c.want) << c.text;
    EXPECT_EQ(CaseBySize("c", 20, 20, 20), "c") << "no size difference known";

    Glyph e; // a 2-row accent over a 5-row body, a 2-row cedilla hanging below the line
    e.Width = 3, e.Height = 10;
    for (int y : {0, 1, 3, 4, 5, 6, 7, 8, 9}) e.Rows[size_t(y)] = 0b101;
    EXPECT_EQ(BodyHeight(e, 8), 5);
    e.Rows[8] = 0;
    EXPECT_EQ(BodyHeight(e, 8), 5) << "a cedilla apart from the body";
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

TEST(GlyphNaming, StreamLanguagesMapToTheRecognisersAndTheirPackages) {
    struct {
        const char* code;
        const char* language;
        const char* package;
    } cases[] = {
        {"fr", "fra", "tesseract-ocr-fra"}, {"EN", "eng", "tesseract-ocr-eng"},
        {"zh", "chi_sim", "tesseract-ocr-chi-sim"}, {"deu", "deu", "tesseract-ocr-deu"},
        {"", "eng", "tesseract-ocr-eng"}, {"x1", "eng", "tesseract-ocr-eng"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecognitionLanguage(c.code), c.language) << c.code;
        EXPECT_EQ(RecognitionLanguagePackage(RecognitionLanguage(c.code)), c.package) << c.code;
    }
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
    EXPECT_NEAR(GlyphSlant(Bar(0)).lean(), 0, 1e-9);
    EXPECT_GT(GlyphSlant(Bar(0.2)).lean(), kItalicLean + kWordLeanMargin);
    Glyph dot = Bar(0.25);
    dot.Height = 4;
    EXPECT_EQ(GlyphSlant(dot).measured, 0) << "too short to tell";

    // Words of three bars; a single leaning bar is too little to go against its line.
    auto word = [](const char* text, double shear, int bars) {
        LineWord w{text, {}};
        for (int i = 0; i < bars; ++i) w.slant += GlyphSlant(Bar(shear));
        return w;
    };
    const LineWord up = word("up", 0, 3), it = word("it", 0.2, 3), a = word("a", 0.2, 1),
                   dash{"-", {}};
    struct {
        std::vector<LineWord> words;
        const char* want;
    } cases[] = {
        {{up, up}, "up up"},
        {{it, it}, "<i>it it</i>"},
        {{dash, it, it}, "<i>- it it</i>"},
        {{up, up, it, it, up, up}, "up up <i>it it</i> up up"},
        {{it, it, up, it}, "<i>it it</i> up <i>it</i>"},
        {{it, dash, up, up, up}, "<i>it -</i> up up up"},
        {{up, a, up}, "up a up"},
        {{dash}, "-"},
    };
    for (const auto& c : cases) EXPECT_EQ(MarkItalicWords(c.words), c.want) << c.want;
}
