#include "SubtitleTestSupport.h"
#include "subtitles/PostOcrCorrection.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

TEST(QuoteRepair, PairsOfApostrophesOrQuotesBecomeOneQuote) {
    EXPECT_EQ(RepairQuotes("''Yes''"), "\"Yes\"");
    EXPECT_EQ(RepairQuotes("\"\"No\"\""), "\"No\"");
    EXPECT_EQ(RepairQuotes("don't"), "don't");
    EXPECT_EQ(RepairQuotes("'''"), "\"'");
    EXPECT_EQ(RepairQuotes("''''"), "\"\"");
    EXPECT_EQ(RepairQuotes("'\""), "'\"");
    EXPECT_EQ(RepairQuotes(""), "");
}

TEST(IlRepair, EnglishRulesRestoreCapitalsWhereTheyBelong) {
    auto en = [](const char* s, char prev = '.') {
        return RepairIlLine(s, prev, IlLanguage::English);
    };
    EXPECT_EQ(en("lt's mine"), "It's mine");
    EXPECT_EQ(en("and l said", ','), "and I said");
    EXPECT_EQ(en("lf only"), "If only");
    EXPECT_EQ(en("HELlO"), "HELIO");
    EXPECT_EQ(en("call"), "call");
    EXPECT_EQ(en("Hi, I'm OK."), "Hi, I'm OK.");
    EXPECT_EQ(en("TAXI!"), "TAXl!");
    EXPECT_EQ(en("- lt is", ','), "- It is");
    EXPECT_EQ(en("[ln the dark]", ','), "[In the dark]");
    EXPECT_EQ(en("lll", ','), "Ill");
    EXPECT_EQ(en("so lt goes", ','), "so It goes");
    EXPECT_EQ(en("Wait. lnside", ','), "Wait. Inside");
}

TEST(IlRepair, LanguagesDifferOnApostrophesAndWordInitials) {
    EXPECT_EQ(RepairIlLine("und lch", ',', IlLanguage::German), "und Ich");
    EXPECT_EQ(RepairIlLine("und lch", ',', IlLanguage::English), "und lch");
    EXPECT_EQ(RepairIlLine("je suis l\xE0 l'ami", ',', IlLanguage::French), "je suis l\xE0 l'ami");
    EXPECT_EQ(RepairIlLine("je suis l\xE0 l'ami", ',', IlLanguage::English), "je suis l\xE0 I'ami");
    EXPECT_EQ(RepairIlLine("ll est l\xE0", '.', IlLanguage::French), "Il est l\xE0");
}

TEST(IlRepair, EachLineSeesTheRepairedEndOfTheLineAbove) {
    TSub e;
    e.NbLines = 3;
    e.Lines[0] = "We went there,";
    e.Lines[1] = "like this.";
    e.Lines[2] = "lt was late";
    RepairIl(e, IlLanguage::English);
    EXPECT_EQ(e.Lines[1], "like this.");
    EXPECT_EQ(e.Lines[2], "It was late");
}

TEST(PostOcr, CorrectRunsQuotesThenIlOverTheStoreAndRefreshes) {
    FixedBannerClock clock{""};
    SubtitleDocument doc{clock};
    add(doc, "00:00:01,000", "00:00:02,000", {"''lt's''"});
    CorrectPostOcr(doc, false, false, IlLanguage::English);
    EXPECT_EQ(doc.store().entry(1).Lines[0], "''lt's''");
    EXPECT_TRUE(doc.list().empty());
    CorrectPostOcr(doc, true, true, IlLanguage::English);
    // After the quote repair the l follows a quote: no rule makes it I.
    EXPECT_EQ(doc.store().entry(1).Lines[0], "\"lt's\"");
    EXPECT_EQ(doc.list().line(2), "\"lt's\"");
}
