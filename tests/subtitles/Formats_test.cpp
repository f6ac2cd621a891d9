#include "SubtitleTestSupport.h"
#include "subtitles/IAuthorFormat.h"
#include "subtitles/NativeFormat.h"
#include "subtitles/PhilipsFormat.h"
#include "subtitles/SubViewer2Format.h"
#include "subtitles/SubtitleDocument.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

class FormatTest : public ::testing::Test {
protected:
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};

    TextLines render(TOutputFormat f) {
        doc.setOutputFormat(f);
        doc.RefreshList();
        return doc.list().lines();
    }
    // The lines of the saved file, without their CR LF.
    TextLines saved() {
        TextLines out;
        std::string text = doc.fileText();
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) throw std::runtime_error("line without CR LF");
            out.push_back(text.substr(pos, end - pos));
            pos = end + 2;
        }
        return out;
    }
};

TSub entry(const char* start, const char* stop, std::vector<std::string> lines, Rect r = {}) {
    SubtitleStore s;
    s.add(lines, tc(start), tc(stop), r);
    return s.entry(1);
}

} // namespace

TEST(NativeFormat, TimeLinesPlainAndExtendedWithThreeCharacterCoordinates) {
    TSub e = entry("00:01:02,345", "00:01:04,000", {"x"}, {160, 470, 559, 519});
    EXPECT_EQ(NativeFormat::timeLine(e, false), "00:01:02,345 --> 00:01:04,000");
    EXPECT_EQ(NativeFormat::timeLine(e, true),
              "00:01:02,345 --> 00:01:04,000  X1:160 X2:559 Y1:470 Y2:519");
    EXPECT_EQ(NativeFormat::timeLine(e, true).size(), 58u);
    e.setRect({5, 7, 1024, 42});
    EXPECT_EQ(NativeFormat::timeLine(e, true).substr(29), "  X1:005 X2:102 Y1:007 Y2:042");
}

TEST_F(FormatTest, NativeNumbersFromTheIndexOffset) {
    add(doc, "00:00:01,000", "00:00:02,000", {"a"});
    add(doc, "00:00:03,000", "00:00:04,000", {"b", "c"});
    doc.options().native.IndexOffset = 100;
    EXPECT_EQ(render(ofNative), (TextLines{"101", "00:00:01,000 --> 00:00:02,000", "a", "", "102",
                                           "00:00:03,000 --> 00:00:04,000", "b", "c", ""}));
}

TEST_F(FormatTest, SubViewerRoundsAndClearsGapsButNeverBeforeTheFirst) {
    add(doc, "00:00:01,501", "00:00:03,200", {"a"});
    add(doc, "00:00:03,300", "00:00:05,000", {"b"}); // prev stop rounds to start: no clearing
    add(doc, "00:00:59,900", "00:01:01,000", {"c"}); // gap: clearing entry first
    TextLines l = render(ofSubViewer);
    ASSERT_EQ(l.size(), 16u + 2 + 2 + 4);
    EXPECT_EQ(TextLines(l.begin() + 16, l.end()), (TextLines{"[00:00:02]", "a", "[00:00:03]", "b",
                                                             "[00:00:05]", "", "[00:01:00]", "c"}));
    doc.options().subViewer.RoundTC = false;
    l = render(ofSubViewer);
    // Cut, not rounded: the stop 03,200 comes before the start 03,300, so a
    // clearing entry is written although both read [00:00:03].
    EXPECT_EQ(TextLines(l.begin() + 16, l.begin() + 22),
              (TextLines{"[00:00:01]", "a", "[00:00:03]", "", "[00:00:03]", "b"}));
}

TEST_F(FormatTest, SubViewerTwoLineOptionJoinsFurtherLinesWithBlanks) {
    add(doc, "00:00:01,000", "00:00:02,000", {"a", "b", "c"});
    EXPECT_EQ(render(ofSubViewer).back(), "a|b c");
    doc.options().subViewer.TwoLineMax = false;
    EXPECT_EQ(render(ofSubViewer).back(), "a|b|c");
}

TEST_F(FormatTest, SubViewerEmptyStoreSavesHeaderAndTrailer) {
    render(ofSubViewer);
    TextLines file = saved();
    ASSERT_EQ(file.size(), 18u);
    EXPECT_EQ(file[0], "[TITLE]");
    EXPECT_EQ(file[5], "Subtitles captured by Mirtal 0.93b");
    EXPECT_EQ(file[16], "[END]");
    EXPECT_EQ(file[17], "******** End Script ********");
}

TEST_F(FormatTest, SubViewer2CutsToHundredthsAndJoinsWithBr) {
    add(doc, "00:00:01,239", "00:00:03,000", {"a", "b"});
    TextLines l = render(ofSubViewer2);
    ASSERT_EQ(l.size(), 15u + 3);
    EXPECT_EQ(TextLines(l.begin() + 15, l.end()),
              (TextLines{"00:00:01.23,00:00:03.00", "a[br]b", ""}));
    EXPECT_EQ(l[11], "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial");
    EXPECT_EQ(TextLines(l.begin() + 12, l.begin() + 15),
              (TextLines{"00:00:00.00,00:00:00.10", "", ""}));
}

TEST(SubViewer2Format, FontLineColourOrderAndTheLastStyleThatApplies) {
    FontSpec f;
    f.Color = makeColour(255, 0, 0);
    f.Bold = false;
    EXPECT_EQ(SubViewer2Format::fontLine(f), "[COLF]&H0000FF,[STYLE]no,[SIZE]18,[FONT]Arial");
    f.Underline = f.Bold = true;
    EXPECT_NE(SubViewer2Format::fontLine(f).find("[STYLE]bd,"), std::string::npos);
    f.Italic = true;
    EXPECT_NE(SubViewer2Format::fontLine(f).find("[STYLE]it,"), std::string::npos);
    f = FontSpec{};
    f.Bold = false;
    f.StrikeOut = true;
    EXPECT_NE(SubViewer2Format::fontLine(f).find("[STYLE]st,"), std::string::npos);
    f.Underline = true;
    EXPECT_NE(SubViewer2Format::fontLine(f).find("[STYLE]ud,"), std::string::npos);
}

TEST(IAuthorFormat, TimesAreShiftedByATenthAndCutToHundredths) {
    EXPECT_EQ(IAuthorFormat::IAuthorTime(tc("00:01:02,345")), "62.44");
    EXPECT_EQ(IAuthorFormat::IAuthorTime(tc("00:00:00,000")), "0.10");
    EXPECT_EQ(IAuthorFormat::IAuthorTime(tc("00:00:00,950")), "1.05");
    EXPECT_EQ(IAuthorFormat::IAuthorTime(tc("00:00:09,980")), "10.08");
}

TEST(IAuthorFormat, ColourConversionOfBlackWhiteAndPrimaries) {
    EXPECT_EQ(IAuthorFormat::RgbToYCrCb(0x000000), (YCrCb{16, 128, 128}));
    EXPECT_EQ(IAuthorFormat::RgbToYCrCb(0xFFFFFF), (YCrCb{234, 128, 128}));
    // Red is the lowest byte; truncation toward zero for the negative terms.
    EXPECT_EQ(IAuthorFormat::RgbToYCrCb(makeColour(255, 0, 0)), (YCrCb{81, 239, 91}));
    EXPECT_EQ(IAuthorFormat::RgbToYCrCb(makeColour(0, 0, 255)), (YCrCb{40, 111, 239}));
}

TEST_F(FormatTest, IAuthorMinimumIntervalUsesTheNextStartAndSkipsOutsideTheWindow) {
    add(doc, "00:00:08,000", "00:00:10,000", {"sub000001.bmp"});
    add(doc, "00:00:10,020", "00:00:12,000", {"sub000002.bmp"});
    doc.options().iauthor.MinInterval = 40;
    render(ofIAuthor);
    std::string text = doc.fileText();
    EXPECT_NE(text.find("TIME: 10.08 DISABLE_OGT\r\n"), std::string::npos);
    EXPECT_NE(text.find("TIME: 12.10 DISABLE_OGT\r\n"), std::string::npos);
    EXPECT_EQ(
        text.rfind("*******IAUTHOR OGT GENERATED BY MIRTAL 0.93b on 01/02/2003 04:05:06\r\n", 0),
        0u);
    doc.setSplit({true, tc("00:00:10,000"), tc("00:01:00,000")});
    text = doc.fileText();
    EXPECT_EQ(text.find("sub000001.bmp"), std::string::npos);
    EXPECT_NE(text.find("Page #2 Finished"), std::string::npos);
}

TEST_F(FormatTest, HighlightLinesNeverDependOnTheOptions) {
    add(doc, "00:00:01,000", "00:00:02,000", {"a.bmp"});
    add(doc, "00:00:03,000", "00:00:04,000", {"b.bmp"});
    render(ofIAuthor);
    auto highlights = [&] {
        std::string t = doc.fileText(), out;
        size_t pos = 0;
        while ((pos = t.find("light ", pos)) != std::string::npos) {
            size_t begin = t.rfind('\n', pos) + 1;
            size_t end = t.find('\r', pos);
            out += t.substr(begin, end - begin) + "|";
            pos = end;
        }
        return out;
    };
    std::string before = highlights();
    doc.options().iauthor.Colors[1] = 0x123456;
    doc.options().iauthor.Blend[1] = 3;
    EXPECT_EQ(highlights(), before);
    EXPECT_NE(before.find("TIME: 1.10 SETBLEND Hightlight 0, 15, 15, 15|"), std::string::npos);
}

TEST_F(FormatTest, PhilipsEntryGivesSizeAndPlacementAndHeaderFollowsTheColourBox) {
    add(doc, "00:01:02,345", "00:01:04,000", {"sub000001.bmp"}, {160, 470, 559, 519});
    TextLines l = render(ofPhilips);
    EXPECT_EQ(l.back(), "sub000001.bmp 00:01:02:08 00:01:04:00 400 050 160 470");
    // Using the bitmap's colours: CONTRAST, an empty line, then the list.
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[l.size() - 4], "CONTRAST\t(0 15 15 15)");
    EXPECT_EQ(l[l.size() - 3], "");
    EXPECT_EQ(l[l.size() - 2], "[LIST]");
    EXPECT_EQ(l[6], "FRAMERATE\tPAL");
    doc.options().philips.FrameRate = 1;
    doc.options().philips.DropFrame = false;
    EXPECT_EQ(render(ofPhilips)[7], "DROPFRAME\tNO");
}

TEST_F(FormatTest, SonicNumbersByStorePositionAtItsOwnFrameRate) {
    add(doc, "00:01:00,000", "00:01:01,999", {"Hello", "there"});
    doc.options().native.IndexOffset = 50;
    doc.options().philips.FrameRate = 1; // Philips settings do not leak into Sonic
    EXPECT_EQ(render(ofSonic), (TextLines{"0001  00:01:00:00  00:01:01:24  Hello", "there", ""}));
    doc.options().sonic.FrameRate = 1;
    doc.options().sonic.DropFrame = true;
    EXPECT_EQ(render(ofSonic)[0], "0001  00:01:00:02  00:01:01:29  Hello");
    // Drop-frame only counts with NTSC.
    doc.options().sonic.FrameRate = 0;
    EXPECT_EQ(render(ofSonic)[0], "0001  00:01:00:00  00:01:01:24  Hello");
}
