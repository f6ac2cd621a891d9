#include "SubtitleTestSupport.h"
#include "subtitles/NativeReader.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct ReaderTest : DocumentTest {

    NativeReadReport read(const std::string& text) {
        return readNativeText(doc, text, "/subs/film.vtx", dialogs, messages);
    }
    // "ss,mmm-ss,mmm line|line @x1,y1,x2,y2; " for each entry, @ only with a rectangle.
    std::string dump() const {
        std::string out;
        for (const TSub& e : doc.store().entries()) {
            out += timeCodeToStr(e.Start).substr(6) + "-" + timeCodeToStr(e.Stop).substr(6);
            for (int k = 0; k < e.NbLines; ++k) out += (k ? "|" : " ") + e.Lines[size_t(k)];
            const Rect r = e.rect();
            if (!(r == Rect{}))
                for (int v : {r.X1, r.Y1, r.X2, r.Y2})
                    out += (v == r.X1 ? " @" : ",") + std::to_string(v);
            out += "; ";
        }
        return out;
    }
};

} // namespace

// The number of the first entry sets the offset; the last time line read
// sets the extended option; text after a time line that is no coordinate
// keeps the rectangle before it.
TEST_F(ReaderTest, GoodFilesGiveEntriesOffsetAndExtendedOption) {
    const struct {
        const char *text, *entries;
        int offset;
        bool extended;
    } cases[] = {
        {"101\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\n7\r\n00:00:03,000 --> "
         "00:00:04,000\r\nb\r\n\r\n",
         "01,000-02,000 a; 03,000-04,000 b; ", 100, false},
        // An offset below zero is clamped.
        {"0\r\n00:00:01,000 --> 00:00:02,500\r\nplain\r\n", "01,000-02,500 plain; ", 0, false},
        {"1\r\n00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519\r\na\r\n\r\n"
         "2\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n",
         "01,000-02,000 a @160,470,559,519; 03,000-04,000 b; ", 0, false},
        {"1\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n\r\n"
         "2\r\n00:00:01,000 --> 00:00:02,000  X1:102 X2:559 Y1:470 Y2:519\r\na\r\n",
         "03,000-04,000 b; 01,000-02,000 a @102,470,559,519; ", 0, true},
        {"1\r\n00:00:01,000 --> 00:00:02,000  X1:160 X2:559 Y1:470 Y2:519\r\na\r\n\r\n"
         "2\r\n00:00:03,000 --> 00:00:04,000  comment here\r\nb\r\n",
         "01,000-02,000 a @160,470,559,519; 03,000-04,000 b @160,470,559,519; ", 0, true},
        // Line feeds only, blanks around; blank lines after the last entry ask nothing.
        {"  5 \n\t00:00:01,000 --> 00:00:02,000  \n  Hello  \n\n6\n00:00:03,000 --> "
         "00:00:04,000\nb\n\n \n\t\n",
         "01,000-02,000 Hello; 03,000-04,000 b; ", 4, false},
    };
    for (const auto& c : cases) {
        doc.options().native.ExtendedFormat = !c.extended;
        NativeReadReport r = read(c.text);
        EXPECT_EQ(r.errors, 0) << c.text;
        EXPECT_EQ(dump(), c.entries) << c.text;
        EXPECT_EQ(doc.options().native.IndexOffset, c.offset) << c.text;
        EXPECT_EQ(doc.options().native.ExtendedFormat, c.extended) << c.text;
        EXPECT_EQ(doc.list().line(0), std::to_string(c.offset + 1)) << c.text;
    }
    EXPECT_TRUE(dialogs.questions.empty());
}

// Each damaged entry asks Cancel / Ignore / Yes to all with its number; a
// bad coordinate is one error and every text line after it another.
TEST_F(ReaderTest, DamagedEntriesAskAndTheAnswerDecides) {
    const std::string stray = "1\r\n00:00:01,000 --> 00:00:02,000\r\na\r\n\r\noops\r\n"
                              "2\r\n00:00:03,000 --> 00:00:04,000\r\nb\r\n\r\nbad again\r\n"
                              "3\r\n00:00:05,000 --> 00:00:06,000\r\nc\r\n";
    // Answers: c(ancel), i(gnore), y(es to all).
    const struct {
        std::string text;
        const char* answers;
        int errors, entries, firstError;
        bool cancelled;
    } cases[] = {
        {"", "i", 1, 0, 1, false},
        {"1\r\n00:00:01,000 --> 00:00:02,000\r\nfirst\r\n\r\n"
         "2\r\n00:00:03,000 --> 00:00:04,000  X1:abc X2:559 Y1:470 Y2:519\r\n"
         "text one\r\ntext two\r\n\r\n3\r\n00:00:05,000 --> 00:00:06,000\r\nthird\r\n",
         "iii", 3, 2, 3, false},
        {stray, "c", 1, 1, 2, true}, // what was read is kept
        {stray, "y", 2, 3, 2, false},
    };
    for (const auto& c : cases) {
        doc.setSplit({true, tc("00:00:00,000"), tc("00:00:01,000")});
        dialogs.questions.clear();
        for (const char* a = c.answers; *a; ++a)
            dialogs.answers.push_back(*a == 'c'   ? Answer::Cancel
                                      : *a == 'i' ? Answer::Ignore
                                                  : Answer::YesToAll);
        NativeReadReport r = read(c.text);
        EXPECT_EQ(std::tuple(r.errors, r.entries, doc.nbSubTitle(), r.cancelled),
                  std::tuple(c.errors, c.entries, c.entries, c.cancelled))
            << c.text;
        EXPECT_TRUE(dialogs.answers.empty()) << c.text;
        ASSERT_FALSE(dialogs.questions.empty());
        const ScriptedDialogs::Question& q = dialogs.questions[0];
        EXPECT_EQ(q.text, messages.text(Message::SubtitleFileError) + std::to_string(c.firstError) +
                              "\r" + messages.text(Message::IgnoreAndContinue));
        EXPECT_TRUE(q.kind == MessageKind::Warning && q.buttons.has(Answer::Cancel) &&
                    q.buttons.has(Answer::Ignore) && q.buttons.has(Answer::YesToAll));
        EXPECT_FALSE(doc.splitActive()) << "reading switches the split filter off";
        EXPECT_EQ(doc.list().size(), size_t(c.entries) * 4) << c.text;
    }
}

TEST_F(ReaderTest, SubRipFilesOfOtherToolsReadWhole) {
    const std::string face = "<font face=\"DejaVu Sans\" size=\"28\">";
    SubtitleDocument expected{clock};
    add(expected, "00:00:01,500", "00:00:03,250", {face + "Plain first line</font>"});
    add(expected, "00:00:04,000", "00:00:06,000",
        {face + "<i>In italics</i>", "Then upright</font>"});
    add(expected, "00:00:06,500", "00:00:08,000",
        {face + "<b>Bold</b> and <font color=\"#ffff00\">yellow</font> words</font>"});
    add(expected, "00:01:02,340", "00:01:04,560",
        {face + "D\xE9j\xE0 vu \xE0 l'\xE9t\xE9, \xAB na\xEFve \xBB</font>"});
    add(expected, "01:00:00,000", "01:00:01,990", {face + "The last one</font>"});
    const char* files[] = {"ffmpeg.srt", "mkvextract.srt", "crlf_bom.srt", "cp1252.srt",
                           "loose.srt"};
    const bool detectEncoding[] = {true, false, false, true, true};
    for (size_t i = 0; i < std::size(files); ++i) {
        SubtitleDocument d{clock};
        NativeReadReport r =
            readNativeFile(d, std::filesystem::path(MIRTAL_TEST_DATA) / "srt" / files[i], dialogs,
                           messages, detectEncoding[i]);
        EXPECT_EQ(r.errors, 0) << files[i];
        EXPECT_EQ(d.store().entries(), expected.store().entries()) << files[i];
    }
    EXPECT_TRUE(dialogs.questions.empty());
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
    EXPECT_EQ(doc.nbSubTitle(), SubtitleStore::kCapacity);
}

// A folder, or 8-bit text read as UTF-8: reported, the document untouched.
TEST_F(ReaderTest, UnreadableFilesLeaveTheDocumentAlone) {
    TempFolder dir;
    writeText(dir / "old.vtx", "1\r\n00:00:01,000 --> 00:00:02,000\r\nfirst\r\n\r\n"
                               "2\r\n00:00:03,000 --> 00:00:04,000\r\nd\xE9j\xE0 vu\r\n");
    add(doc, "00:00:01,000", "00:00:02,000", {"keep me"});
    const std::vector<TSub> before = doc.store().entries();
    doc.options().Encoding = TextEncoding::Utf8;
    for (const std::filesystem::path& file : {dir.path(), dir / "old.vtx"}) {
        dialogs.answers = {Answer::Ok};
        EXPECT_TRUE(readNativeFile(doc, file, dialogs, messages).readFailed);
        EXPECT_EQ(doc.store().entries(), before);
        EXPECT_EQ(doc.fileName(), "New File");
    }
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[1].text, "old.vtx: not UTF-8 text: line 7, byte 2 of the line "
                                         "(choose the Windows-1252 encoding to read it)");
}
