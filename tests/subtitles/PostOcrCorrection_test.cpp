#include "SubtitleTestSupport.h"
#include "subtitles/PostOcrCorrection.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

TEST(PostOcr, PairsOfApostrophesOrQuotesBecomeOneQuote) {
    // Each text, then its repair.
    const char* cases[] = {"''Yes''", "\"Yes\"", "\"\"No\"\"", "\"No\"", "don't", "don't", "'''",
                           "\"'",     "''''",    "\"\"",       "'\"",    "'\"",   "",      ""};
    for (size_t i = 0; i < std::size(cases); i += 2)
        EXPECT_EQ(repairDoubledQuotes(cases[i]), cases[i + 1]) << cases[i];
}

// {line, last character of the line above, language} -> repaired line.
TEST(PostOcr, IlRulesRestoreCapitalsWhereTheyBelong) {
    const auto en = IlLanguage::English, de = IlLanguage::German, fr = IlLanguage::French;
    const struct {
        const char* in;
        char previous;
        IlLanguage language;
        const char* out;
    } cases[] = {
        {"lt's mine", '.', en, "It's mine"},
        {"and l said", ',', en, "and I said"},
        {"lf only", '.', en, "If only"},
        {"HELlO", '.', en, "HELIO"},
        {"call", '.', en, "call"},
        {"Hi, I'm OK.", '.', en, "Hi, I'm OK."},
        {"TAXI!", '.', en, "TAXl!"},
        {"- lt is", ',', en, "- It is"},
        {"[ln the dark]", ',', en, "[In the dark]"},
        {"lll", ',', en, "Ill"},
        {"so lt goes", ',', en, "so It goes"},
        {"Wait. lnside", ',', en, "Wait. Inside"},
        // The languages differ on apostrophes and word initials.
        {"und lch", ',', de, "und Ich"},
        {"und lch", ',', en, "und lch"},
        {"je suis l\xE0 l'ami", ',', fr, "je suis l\xE0 l'ami"},
        {"je suis l\xE0 l'ami", ',', en, "je suis l\xE0 I'ami"},
        {"ll est l\xE0", '.', fr, "Il est l\xE0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repairIlLine(c.in, c.previous, c.language), c.out) << c.in;

    // Each line sees the repaired end of the line above.
    TSub e;
    e.NbLines = 3;
    e.Lines[0] = "We went there,";
    e.Lines[1] = "like this.";
    e.Lines[2] = "lt was late";
    repairIlEntry(e, IlLanguage::English);
    EXPECT_EQ(e.Lines[1], "like this.");
    EXPECT_EQ(e.Lines[2], "It was late");
}

TEST_F(DocumentTest, PostOcrRunsQuotesThenIlOverTheStoreAndRefreshes) {
    add(doc, "00:00:01,000", "00:00:02,000", {"''lt's''"});
    add(doc, "00:00:03,000", "00:00:04,000", {"and l said"});
    correctPostOcr(doc, false, false, IlLanguage::English);
    EXPECT_EQ(doc.store().entry(1).Lines[0], "''lt's''");
    EXPECT_TRUE(doc.list().empty());
    correctPostOcr(doc, true, true, IlLanguage::English);
    // After the quote repair the l follows a quote: no rule makes it I.
    EXPECT_EQ(doc.store().entry(1).Lines[0], "\"lt's\"");
    EXPECT_EQ(doc.store().entry(2).Lines[0], "and I said");
    EXPECT_EQ(doc.list().line(2), "\"lt's\"");
}
