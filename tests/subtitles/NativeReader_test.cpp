#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/NativeReader.h"

#include <gtest/gtest.h>
#include <random>

using namespace mirtal;
using namespace mirtal::test;

namespace {

class ReaderTest : public ::testing::Test {
protected:
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};
    MessageCatalogue messages;
    ScriptedDialogs dialogs;

    NativeReadReport read(const std::string& text) {
        return ReadNativeText(doc, text, "/subs/film.vtx", dialogs, messages);
    }
    static TSub sub(const char* start, const char* stop, std::vector<std::string> lines) {
        TSub e;
        e.Start = tc(start);
        e.Stop = tc(stop);
        e.NbLines = uint8_t(lines.size());
        for (size_t k = 0; k < lines.size(); ++k) e.Lines[k] = lines[k];
        return e;
    }
    std::string errorText(int n) {
        return messages.text(Message::SubtitleFileError) + std::to_string(n) + "\r" +
               messages.text(Message::IgnoreAndContinue);
    }
};

} // namespace

TEST_F(ReaderTest, RoundTripKeepsEntriesRectanglesAndOffset) {
    add(doc, "00:00:01,501", "00:00:03,250", {"Hello, I'm here."}, {160, 470, 559, 519});
    add(doc, "00:00:04,000", "00:00:05,999", {"Caf\xE9", "\"two\" lines"}, {0, 0, 719, 575});
    add(doc, "01:02:03,004", "01:02:05,000", {"one", "two", "three"}, {8, 9, 10, 11});
    doc.options().native.IndexOffset = 41;
    doc.options().native.ExtendedFormat = true;
    doc.RefreshList();
    TempDir dir;
    ASSERT_TRUE(SaveDocumentTo(doc, dir / "film.vtx"));
    std::vector<TSub> before = doc.store().entries();

    SubtitleDocument other{clock};
    NativeReadReport r = ReadNativeFile(other, dir / "film.vtx", dialogs, messages);
    EXPECT_EQ(r.entries, 3);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(other.store().entries(), before);
    EXPECT_EQ(other.options().native.IndexOffset, 41);
    EXPECT_TRUE(other.options().native.ExtendedFormat);
    EXPECT_EQ(other.list().lines(), doc.list().lines());
    EXPECT_EQ(other.FileName(), (dir / "film.vtx").string());
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ReaderTest, FirstNumberSetsTheOffsetAndLaterNumbersAreIgnored) {
    read("101\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n"
         "7\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n\r\n");
    EXPECT_EQ(doc.options().native.IndexOffset, 100);
    EXPECT_EQ(doc.list().line(0), "101");
    EXPECT_EQ(doc.list().line(4), "102");
    read("0\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n");
    EXPECT_EQ(doc.options().native.IndexOffset, 0) << "an offset below zero is clamped";
}

TEST_F(ReaderTest, PlainTimeLineClearsRectangleAndExtendedOption) {
    doc.options().native.ExtendedFormat = true;
    read("1\r\n00:00:01,000 --> 00:00:02,500\r\nplain\r\n");
    ASSERT_EQ(doc.NbSubTitle(), 1);
    EXPECT_EQ(doc.store().entry(1).rect(), Rect{});
    EXPECT_EQ(doc.store().entry(1).Stop, tc("00:00:02,500"));
    EXPECT_FALSE(doc.options().native.ExtendedFormat);
}

TEST_F(ReaderTest, ExtendedOptionFollowsTheLastEntryRead) {
    read("1\r\n00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519\r\na\r\n\r\n"
         "2\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n");
    EXPECT_EQ(doc.store().entry(1).rect(), (Rect{160, 470, 559, 519}));
    EXPECT_FALSE(doc.options().native.ExtendedFormat);
    read("1\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n\r\n"
         "2\r\n00:00:01,000 --> 00:00:02,000  X1:102 X2:559 Y1:470 Y2:519\r\na\r\n");
    EXPECT_EQ(doc.store().entry(2).X1, 102);
    EXPECT_TRUE(doc.options().native.ExtendedFormat);
}

TEST_F(ReaderTest, CoordinateTextNotStartingWithXKeepsThePreviousRectangle) {
    read("1\r\n00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519\r\na\r\n\r\n"
         "2\r\n00:00:03,000 --> 00:00:04,000  comment here\r\nb\r\n");
    EXPECT_EQ(doc.store().entry(2).rect(), (Rect{160, 470, 559, 519}));
    EXPECT_TRUE(doc.options().native.ExtendedFormat);
}

TEST_F(ReaderTest, EmptyFileReportsSubtitleOne) {
    dialogs.answers = {Answer::Ignore};
    NativeReadReport r = read("");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, errorText(1));
    EXPECT_EQ(dialogs.questions[0].kind, MessageKind::Warning);
    EXPECT_TRUE(dialogs.questions[0].buttons.has(Answer::Cancel));
    EXPECT_TRUE(dialogs.questions[0].buttons.has(Answer::Ignore));
    EXPECT_TRUE(dialogs.questions[0].buttons.has(Answer::YesToAll));
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(doc.NbSubTitle(), 0);
}

// One styled script as ffmpeg, mkvextract, a Windows editor, an 8-bit
// editor and a hand edit wrote it (tests/data/srt): the same entries from
// each, tags kept as text. A byte order mark means UTF-8 even when the
// document's encoding is Windows-1252.
TEST_F(ReaderTest, SubRipFilesOfOtherToolsReadWhole) {
    const std::string face = "<font face=\"DejaVu Sans\" size=\"28\">";
    const TSub expected[] = {
        sub("00:00:01,500", "00:00:03,250", {face + "Plain first line</font>"}),
        sub("00:00:04,000", "00:00:06,000", {face + "<i>In italics</i>", "Then upright</font>"}),
        sub("00:00:06,500", "00:00:08,000",
            {face + "<b>Bold</b> and <font color=\"#ffff00\">yellow</font> words</font>"}),
        sub("00:01:02,340", "00:01:04,560",
            {face + "D\xE9j\xE0 vu \xE0 l'\xE9t\xE9, \xAB na\xEFve \xBB</font>"}),
        sub("01:00:00,000", "01:00:01,990", {face + "The last one</font>"}),
    };
    const struct {
        const char* file;
        bool detect;
    } cases[] = {{"ffmpeg.srt", true},
                 {"mkvextract.srt", false},
                 {"crlf_bom.srt", false},
                 {"cp1252.srt", true},
                 {"loose.srt", true}};
    for (const auto& c : cases) {
        SubtitleDocument d{clock};
        NativeReadReport r =
            ReadNativeFile(d, std::filesystem::path(MIRTAL_TEST_DATA) / "srt" / c.file, dialogs,
                           messages, c.detect);
        EXPECT_EQ(r.errors, 0) << c.file;
        EXPECT_EQ(d.store().entries(), std::vector<TSub>(std::begin(expected), std::end(expected)))
            << c.file;
    }
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ReaderTest, BadCoordinateAsksForEveryTextLineUntilTheBlankLine) {
    dialogs.answers = {Answer::Ignore, Answer::Ignore, Answer::Ignore};
    NativeReadReport r = read("1\r\n00:00:01,000 --> 00:00:02,000\r\nfirst\r\n\r\n"
                              "2\r\n00:00:03,000 --> 00:00:04,000  X1:abc X2:559 Y1:470 Y2:519\r\n"
                              "text one\r\ntext two\r\n\r\n"
                              "3\r\n00:00:05,000 --> 00:00:06,000\r\nthird\r\n");
    // The coordinate error, then each text line read as a number line.
    EXPECT_EQ(r.errors, 3);
    EXPECT_EQ(dialogs.questions[0].text, errorText(3));
    EXPECT_EQ(r.entries, 2);
    EXPECT_EQ(doc.store().entry(2).Lines[0], "third");
}

TEST_F(ReaderTest, CancelKeepsWhatWasReadAndYesToAllStopsAsking) {
    std::string text = "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n"
                       "oops\r\n"
                       "2\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n\r\n"
                       "bad again\r\n"
                       "3\r\n00:00:05,000 --> 00:00:06,000\r\nc\r\n";
    doc.setSplit({true, tc("00:00:00,000"), tc("00:00:01,000")});
    dialogs.answers = {Answer::Cancel};
    NativeReadReport r = read(text);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(doc.NbSubTitle(), 1);
    EXPECT_FALSE(doc.SplitActive()) << "reading switches the split filter off";
    EXPECT_EQ(doc.list().size(), 4u);

    dialogs.answers = {Answer::YesToAll};
    dialogs.questions.clear();
    r = read(text);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(r.errors, 2);
    EXPECT_EQ(doc.NbSubTitle(), 3);
}

TEST_F(ReaderTest, LineFeedOnlyAndBlankPaddedLinesReadTheSame) {
    read("  5 \n\t00:00:01,000 --> 00:00:02,000  \n  Hello  \n\n6\n00:00:03,000 --> "
         "00:00:04,000\nb\n\n \n\t\n"); // blank lines after the last entry ask nothing
    ASSERT_EQ(doc.NbSubTitle(), 2);
    EXPECT_EQ(doc.options().native.IndexOffset, 4);
    EXPECT_EQ(doc.store().entry(1).Lines[0], "Hello");
    EXPECT_EQ(doc.store().entry(2).Stop, tc("00:00:04,000"));
}

TEST_F(ReaderTest, MalformedTimesReadAsZeroWithoutAnError) {
    read("1\r\nxx:00:01,000 --> 00:00:0y,000\r\na\r\n");
    ASSERT_EQ(doc.NbSubTitle(), 1);
    EXPECT_EQ(doc.store().entry(1).Start, TTimeCode{});
    EXPECT_EQ(doc.store().entry(1).Stop, TTimeCode{});
}

TEST_F(ReaderTest, MoreEntriesThanTheStoreHoldsStopsWithOneMessage) {
    std::string text;
    for (int i = 1; i <= SubtitleStore::kCapacity + 3; ++i)
        text += std::to_string(i) + "\r\n00:00:01,000 --> 00:00:02,000\r\nt\r\n\r\n";
    dialogs.answers = {Answer::Ok};
    NativeReadReport r = read(text);
    EXPECT_TRUE(r.storeFull);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, storeFullMessage());
    EXPECT_EQ(doc.NbSubTitle(), SubtitleStore::kCapacity);
}

TEST_F(ReaderTest, UnreadableFileIsReportedAndLeavesTheDocumentAlone) {
    add(doc, "00:00:01,000", "00:00:02,000", {"keep me"});
    doc.RefreshList();
    TempDir dir;
    dialogs.answers = {Answer::Ok};
    NativeReadReport r = ReadNativeFile(doc, dir.path(), dialogs, messages); // a folder
    EXPECT_TRUE(r.readFailed);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(doc.NbSubTitle(), 1);
    EXPECT_EQ(doc.FileName(), "New File");
}

TEST_F(ReaderTest, Utf8FilesKeepTheAccentsAndTheEightBitReaderSeesTheirBytes) {
    add(doc, "00:00:01,000", "00:00:02,000",
        {"\xC0 l'\xE9t\xE9, \xAB na\xEFve \xBB", "\x9Cuvre \x80"});
    doc.options().Encoding = TextEncoding::Utf8;
    doc.RefreshList();
    TempDir dir;
    ASSERT_TRUE(SaveDocumentTo(doc, dir / "fr.vtx"));
    const std::string bytes = fileBytes(dir / "fr.vtx");
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF")) << "no byte order mark is written";
    EXPECT_NE(bytes.find("\xC3\x80 l'\xC3\xA9t\xC3\xA9, \xC2\xAB na\xC3\xAFve \xC2\xBB\r\n"
                         "\xC5\x93uvre \xE2\x82\xAC"),
              std::string::npos);

    SubtitleDocument utf8{clock};
    utf8.options().Encoding = TextEncoding::Utf8;
    NativeReadReport r = ReadNativeFile(utf8, dir / "fr.vtx", dialogs, messages);
    EXPECT_EQ(r.replaced, 0u);
    EXPECT_EQ(utf8.store().entries(), doc.store().entries());
    EXPECT_EQ(utf8.options().Encoding, TextEncoding::Utf8);

    // Read as 8-bit, the same file gives its UTF-8 bytes as characters.
    SubtitleDocument cp{clock};
    ReadNativeFile(cp, dir / "fr.vtx", dialogs, messages);
    ASSERT_EQ(cp.NbSubTitle(), 1);
    EXPECT_EQ(cp.store().entry(1).Lines[0],
              "\xC3\x80 l'\xC3\xA9t\xC3\xA9, \xC2\xAB na\xC3\xAFve \xC2\xBB");

    // A mark in front (as other editors write) and a character without an 8-bit form.
    writeFileAtomic(dir / "marked.vtx", "\xEF\xBB\xBF"
                                        "1\r\n00:00:01,000 --> 00:00:02,000\r\n"
                                        "\xE4\xB8\xAD caf\xC3\xA9\r\n");
    r = ReadNativeFile(utf8, dir / "marked.vtx", dialogs, messages);
    EXPECT_EQ(r.entries, 1);
    EXPECT_EQ(r.replaced, 1u);
    EXPECT_EQ(utf8.store().entry(1).Lines[0], "? caf\xE9");
    EXPECT_EQ(utf8.options().native.IndexOffset, 0) << "the mark is not part of the first number";
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ReaderTest, EightBitFileReadAsUtf8IsRefusedAndLeavesTheDocumentAlone) {
    add(doc, "00:00:01,000", "00:00:02,000", {"keep me"});
    doc.options().Encoding = TextEncoding::Utf8;
    doc.RefreshList();
    TempDir dir;
    writeFileAtomic(dir / "old.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\nfirst\r\n\r\n"
                                     "2\r\n00:00:03,000 --> 00:00:04,000\r\nd\xE9j\xE0 vu\r\n");
    dialogs.answers = {Answer::Ok};
    NativeReadReport r = ReadNativeFile(doc, dir / "old.vtx", dialogs, messages);
    EXPECT_TRUE(r.readFailed);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, "old.vtx: not UTF-8 text: line 7, byte 2 of the line "
                                         "(choose the Windows-1252 encoding to read it)");
    EXPECT_EQ(doc.NbSubTitle(), 1);
    EXPECT_EQ(doc.store().entry(1).Lines[0], "keep me");
    EXPECT_EQ(doc.FileName(), "New File");
}

TEST_F(ReaderTest, RandomBytesNeverCrashAndEveryEntryHasText) {
    std::mt19937 rng(1234);
    const char pieces[][40] = {"1",
                               "\r\n",
                               "\n",
                               "\r",
                               "00:00:01,000 --> 00:00:02,000",
                               "  X1:",
                               "X2:",
                               "999999999999",
                               "-",
                               "abc",
                               "\xff",
                               " ",
                               "\0"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        int n = int(rng() % 60);
        for (int k = 0; k < n; ++k) {
            if (rng() % 4 == 0)
                text += char(rng() % 256);
            else
                text += pieces[rng() % std::size(pieces)];
        }
        ScriptedDialogs yes;
        for (int k = 0; k < 1000; ++k) yes.answers.push_back(Answer::Ignore);
        ReadNativeText(doc, text, "fuzz.vtx", yes, messages);
        for (const TSub& e : doc.store().entries()) {
            ASSERT_GE(e.NbLines, 1);
            ASSERT_LE(e.NbLines, TSub::kMaxLines);
            for (int j = 0; j < e.NbLines; ++j) ASSERT_FALSE(e.Lines[size_t(j)].empty());
        }
    }
}
