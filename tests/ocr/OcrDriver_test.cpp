#include "FakeHost.h"
#include "OcrTestBitmaps.h"
#include "ocr/OcrDriver.h"

#include <gtest/gtest.h>
#include <map>

using namespace mirtal;
using namespace mirtal::test;

namespace {

// A tiny font drawn three times enlarged: the matcher forgives a one-column shift, so the thin
// strokes of small glyphs would all look alike.
const std::map<char, std::vector<std::string>> kFont = {
    {'A', {".##.", "####", "#..#", "####", "#..#", "#..#"}},
    {'B', {"###.", "#..#", "###.", "#..#", "#..#", "###."}},
    {'C', {".###", "##..", "#...", "#...", "##..", ".###"}},
    {'L', {"##..", "##..", "##..", "##..", "##..", "####"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#.."}},
};

constexpr int kScale = 3;
constexpr int kLinePitch = 6 * kScale + 8;

// Lines of text: letters 2 columns apart, a space `spaceGap` columns, lines 8 rows apart, each
// under a short outline stroke (met first from the top left, as with real outlined subtitles).
Bitmap24 Picture(const std::vector<std::string>& lines, int spaceGap = 8) {
    Bitmap24 b(300, 20 + kLinePitch * int(lines.size()), kBack);
    for (int y = 10; const std::string& line : lines) {
        int x = 10;
        for (char c : line) {
            if (c == ' ') {
                x += spaceGap - 2;
                continue;
            }
            const std::vector<std::string>& rows = kFont.at(c);
            for (int j = 0; j < 6; ++j)
                for (int i = 0, l = x; i < int(rows[0].size()); ++i, l += kScale)
                    if (rows[size_t(j)][size_t(i)] == '#')
                        b.fillRect(l, y + j * kScale, l + kScale, y + (j + 1) * kScale, kText);
            x += int(rows[0].size()) * kScale + 2;
        }
        b.fillRect(10, y - 2, 20, y - 1, kOutline);
        y += kLinePitch;
    }
    return b;
}

GlyphAnswer Learn(std::string text) {
    return {GlyphAction::Learn, std::move(text)};
}

class OcrDriverTest : public ::testing::Test {
protected:
    void SetUp() override { m_state.chooseTextColour(3); }

    OcrResult Read(const Bitmap24& picture) {
        m_work = picture;
        return m_driver.ocrSubpicture(m_work, {7, 1234});
    }
    // The outcome, the lines read and the counts, as one text.
    std::string Summary(const OcrResult& r) const {
        static const char* const outcomes[] = {
            "added", "no text", "dropped", "colour skipped", "pause", "change colour", "train"};
        std::string s = outcomes[int(r.outcome)];
        for (const std::string& line : r.lines) s += " [" + line + "]";
        return s + " glyphs " + std::to_string(r.glyphs) + " learned " + std::to_string(r.learned) +
               " placeholders " + std::to_string(r.placeholders) + " matrix " +
               std::to_string(m_matrix.count()) + " asked " +
               std::to_string(m_host.glyphQuestions.size());
    }
    std::string ReadText(const Bitmap24& picture) { return Summary(Read(picture)); }

    FakeHost m_host;
    MessageCatalogue m_messages;
    CharMatrix m_matrix;
    OcrSettings m_settings;
    OcrState m_state;
    OcrDriver m_driver{m_matrix, m_settings, m_state, m_host, m_host, m_messages};
    Bitmap24 m_work;
};

} // namespace

TEST_F(OcrDriverTest, EmptyMatrixAsksForTheFirstGlyphAndLearnsIt) {
    int questions = 0;
    m_host.glyphResponder = [&](const GlyphQuestion& q) {
        ++questions;
        EXPECT_EQ(std::tuple(q.subpictureNumber, q.startMs, q.line, q.charIndex, q.symbolIndex,
                             q.lineBoxes.size()),
                  std::tuple(7u, 1234, 1, questions, questions, size_t(2)));
        EXPECT_EQ(q.box, q.lineBoxes[size_t(q.charIndex - 1)]);
        EXPECT_EQ(q.workBitmap, &m_work);
        EXPECT_EQ(q.workBitmap->pixel(q.box.X, q.box.Y + kScale), markerColour(q.charIndex));
        return Learn(questions == 1 ? "A" : "B");
    };
    EXPECT_EQ(ReadText(Picture({"AB"})),
              "added [AB] glyphs 2 learned 2 placeholders 0 matrix 2 asked 2");
    EXPECT_EQ(m_work.width(), 2 * 4 * kScale + 2); // cropped to the text

    m_host.glyphResponder = nullptr; // any further question would throw
    EXPECT_EQ(ReadText(Picture({"BA", "AB"})),
              "added [BA] [AB] glyphs 4 learned 0 placeholders 0 matrix 2 asked 2");
}

TEST_F(OcrDriverTest, PictureWithoutTextPixelsAddsNothingAndAsksNothing) {
    Bitmap24 outlineOnly(50, 20, kBack);
    outlineOnly.fillRect(5, 5, 30, 8, kOutline);
    EXPECT_EQ(ReadText(outlineOnly), "no text glyphs 0 learned 0 placeholders 0 matrix 0 asked 0");

    m_state.forgetTextColour(); // an empty bitmap gives nothing to choose a colour from
    Bitmap24 empty;
    EXPECT_EQ(m_driver.ocrSubpicture(empty).outcome, OcrOutcome::NoText);
    EXPECT_EQ(m_host.textColourCalls, 0);
}

TEST_F(OcrDriverTest, TextColourIsAskedWithTheGuessOnlyUntilChosen) {
    m_state.forgetTextColour();
    m_host.textColours = {std::nullopt, 3};
    m_host.glyphAnswers = {Learn("A"), Learn("B")};
    EXPECT_EQ(ReadText(Picture({"AB"})),
              "colour skipped glyphs 0 learned 0 placeholders 0 matrix 0 asked 0");
    EXPECT_FALSE(m_state.textColourChosen());
    EXPECT_EQ(ReadText(Picture({"AB"})),
              "added [AB] glyphs 2 learned 2 placeholders 0 matrix 2 asked 2");
    // the colour order: background first, then the text body
    EXPECT_EQ(std::tuple(m_host.textColourCalls, m_state.TextColorIndex, m_state.TextColor,
                         m_state.ColorOrder[1]),
              std::tuple(2, 3, kText, 3));

    Read(Picture({"BA"}));
    EXPECT_EQ(m_host.textColourCalls, 2);
}

TEST_F(OcrDriverTest, ChosenColourDecidesWhatIsText) {
    m_state.forgetTextColour();
    m_host.textColours = {1}; // the outline
    Bitmap24 b(30, 10, kBack);
    b.fillRect(2, 2, 6, 8, kOutline);
    b.fillRect(10, 2, 14, 8, kText);
    m_host.glyphAnswers = {Learn("o")};
    EXPECT_EQ(Read(b).lines, (std::vector<std::string>{"o"}));
    EXPECT_EQ(m_work.width(), 4);
}

TEST_F(OcrDriverTest, AnswersOtherThanLearnStopTheLineOrThePicture) {
    // Each answer is given at the second glyph of line 2, after C was learned.
    const struct {
        GlyphAction action;
        OcrOutcome outcome;
        std::vector<std::string> lines;
        bool colourKept;
    } cases[] = {
        {GlyphAction::SkipLine, OcrOutcome::Added, {"AB", "LA"}, true},
        {GlyphAction::SkipSubpicture, OcrOutcome::Dropped, {}, true},
        {GlyphAction::Pause, OcrOutcome::Pause, {}, true},
        {GlyphAction::ChangeColour, OcrOutcome::ChangeColour, {}, false},
    };
    const std::vector<std::string> truth = {"AB", "CT", "LA"};
    for (const auto& c : cases) {
        m_matrix.clearMatrix();
        m_state.chooseTextColour(3);
        m_host.glyphQuestions.clear();
        m_host.glyphResponder = [&](const GlyphQuestion& q) {
            if (q.line == 2 && q.charIndex == 2) return GlyphAnswer{c.action, "ignored"};
            return Learn(std::string(1, truth[size_t(q.line - 1)][size_t(q.charIndex - 1)]));
        };
        const OcrResult r = Read(Picture(truth));
        EXPECT_EQ(std::tie(r.outcome, r.lines), std::tie(c.outcome, c.lines));
        EXPECT_EQ(m_state.textColourChosen(), c.colourKept);
        // line 2 was left at its second glyph: T was never learned, nor is "C" a line
        EXPECT_EQ(m_matrix.count(), c.action == GlyphAction::SkipLine ? 4 : 3);
        for (const auto& q : m_host.glyphQuestions) EXPECT_FALSE(q.line == 2 && q.charIndex > 2);
    }
}

TEST_F(OcrDriverTest, GlyphsLearnedWithEmptyTextAddNothing) {
    m_host.glyphAnswers = {Learn(""), Learn("b")};
    EXPECT_EQ(Read(Picture({"AB"})).lines, (std::vector<std::string>{"b"}));
    EXPECT_EQ(m_matrix.count(), 2);
    // a line of nothing but such glyphs, even with gaps between them, is no line
    EXPECT_EQ(Read(Picture({"A A", "AB"})).lines, (std::vector<std::string>{"b"}));
    EXPECT_EQ(Read(Picture({"A  A"})).outcome, OcrOutcome::NoText);
}

TEST_F(OcrDriverTest, SpacesFollowTheGapBetweenBoxes) {
    m_host.glyphAnswers = {Learn("A"), Learn("B"), Learn("C"), Learn("T")};
    Read(Picture({"ABCT"}));
    m_host.glyphResponder = nullptr;
    EXPECT_EQ(Read(Picture({"A B"}, 7)).lines, (std::vector<std::string>{"A B"}));
    EXPECT_EQ(Read(Picture({"A B"}, 6)).lines, (std::vector<std::string>{"AB"}));
    EXPECT_EQ(Read(Picture({"A BC  T"}, 12)).lines, (std::vector<std::string>{"A BC T"}));
    m_settings.SpaceWidth = 13;
    EXPECT_EQ(Read(Picture({"A B"}, 12)).lines, (std::vector<std::string>{"AB"}));
}

TEST_F(OcrDriverTest, AfterAnItalicCharacterFiveColumnsMakeASpace) {
    // The two first boxes overlap (an italic pair); the third is 5 columns on.
    const std::vector<std::string> italic = {
        "#####...........##", "#####...........##", "#####...........##", "#####...........##",
        "..................", "..................", "...######.........", "...######........."};
    const std::vector<std::string> upright(4, "#####.....##");
    m_host.glyphAnswers = {Learn("x"), Learn("y"), Learn("z")};
    EXPECT_EQ(Read(Art(italic)).lines, (std::vector<std::string>{"xy z"}));
    ASSERT_EQ(m_driver.lineTable().Lines[0].CharCount, 3);
    EXPECT_EQ(m_driver.lineTable().Lines[0].Chars[1].Italic, 1);
    m_host.glyphAnswers = {Learn("u")};
    // x known, then 5: no space
    EXPECT_EQ(Read(Art(upright)).lines, (std::vector<std::string>{"xz"}));
}

TEST_F(OcrDriverTest, NoAskModeReadsUnknownGlyphsAsPlaceholders) {
    m_host.glyphAnswers = {Learn("A")};
    Read(Picture({"A"}));
    m_driver.options().noAsk = true;
    EXPECT_EQ(ReadText(Picture({"AB A", "T"})),
              "added [A\xA4 A] [\xA4] glyphs 4 learned 0 placeholders 2 matrix 1 asked 1");
}

TEST_F(OcrDriverTest, FullMatrixWarnsAndLearnsNothing) {
    CharMatrixEntry never; // filtered out by its top
    never.Width = never.Height = 1;
    never.Top = 200;
    for (int i = 0; i < kMaxCharMatrixEntries; ++i) m_matrix.appendEntry(never);
    m_host.answers = {Answer::Ok};
    EXPECT_EQ(ReadText(Picture({"A"})),
              "added [\xA4] glyphs 1 learned 0 placeholders 1 matrix 1024 asked 0");
    ASSERT_EQ(m_host.questions.size(), 1u);
    EXPECT_EQ(m_host.questions[0].kind, MessageKind::Warning);
}

TEST_F(OcrDriverTest, PreviewShowsThePictureAndFramesTheQuestionedGlyph) {
    std::vector<Bitmap24> shown;
    std::vector<int> listed;
    m_driver.options().preview = [&](const Bitmap24& b) { shown.push_back(b); };
    m_driver.options().onLearned = [&](int i) { listed.push_back(i); };
    m_host.glyphAnswers = {Learn("A"), Learn("B")};
    Read(Picture({"AB"}));
    ASSERT_EQ(shown.size(), 3u); // the cropped picture, then one per question
    EXPECT_EQ(shown[0].width(), m_work.width());
    // the picture is cropped to the text, so only the left side of the frame shows
    const CharBox& second = m_driver.lineTable().Lines[0].Chars[1];
    for (int y = second.Y; y < second.Y + second.Height; ++y)
        EXPECT_EQ(shown[2].pixel(second.X - 1, y), kGlyphFrameColour) << y;
    EXPECT_NE(shown[1].pixel(second.X - 1, second.Y), kGlyphFrameColour);
    EXPECT_NE(m_work.pixel(second.X - 1, second.Y), kGlyphFrameColour); // drawn on a copy
    EXPECT_EQ(listed, (std::vector<int>{1, 2}));

    m_driver.options().showPicture = false;
    shown.clear();
    Read(Picture({"AB"}));
    EXPECT_TRUE(shown.empty());
}

TEST_F(OcrDriverTest, NamedByTheMajorityReadingOnlyContestedShapesAreAskedWithTheLeadingOne) {
    ScriptedReader reader;
    m_driver.setRecognizer(&reader);
    m_settings.NameGlyphs = uint8_t(GlyphNaming::Auto);
    const std::vector<std::string> pictures = {"AB", "BA", "AB", "CA", "AA", "CB"};
    EXPECT_EQ(Read(Picture({"AB"})).outcome, OcrOutcome::Train);
    EXPECT_TRUE(m_driver.wantsTraining());

    m_driver.beginTraining();
    // "AA" holds only A, settled after three votes: it is not read.
    reader.script = {"AB", "8A", "AB", "CA", "GB"};
    for (const std::string& p : pictures) EXPECT_EQ(Read(Picture({p})).outcome, OcrOutcome::NoText);
    EXPECT_EQ(reader.seen.size(), 5u);
    // The contested C's lines are read again in two drawings each; the new votes stay split.
    reader.script = {"CA", "GA", "CB", "GB"};
    const GlyphNamer::Outcome settled = m_driver.finishTraining();
    ASSERT_EQ(std::tuple(reader.seen.size(), settled.named, settled.contested, m_matrix.count()),
              std::tuple(size_t(9), 2, 1, 2));
    EXPECT_EQ(m_matrix.entry(1).Text + m_matrix.entry(2).Text +
                  (m_matrix.entry(2).AutoNamed ? "*" : ""),
              "AB*");

    m_host.glyphResponder = [](const GlyphQuestion& q) {
        EXPECT_EQ(q.suggestion, "C");
        return Learn(q.suggestion);
    };
    for (const std::string& p : pictures) EXPECT_EQ(Read(Picture({p})).lines[0], p);
    EXPECT_EQ(std::tuple(m_host.glyphQuestions.size(), m_driver.namedAutomatically(),
                         m_driver.asked(), reader.seen.size()),
              std::tuple(size_t(1), 2, 1, size_t(9)));
}
