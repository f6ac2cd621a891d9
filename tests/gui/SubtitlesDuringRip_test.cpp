#include "AppTestSupport.h"
#include "SubtitleWindowsTestSupport.h"
#include "base/TextCodec.h"
#include "ocr/OcrSettings.h"
#include "ui/Application.h"
#include "ui/OutputFormatDialog.h"
#include "ui/PostOcrDialog.h"
#include "ui/SubtitlesWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;

namespace {

const std::filesystem::path kDiscs = std::filesystem::path(MIRTAL_TEST_DATA) / "discs";

// The text of every subpicture of a disc, 8-bit, one block of lines each.
std::vector<std::vector<std::string>> truthOf(const std::string& disc) {
    std::ifstream in(kDiscs / disc / "truth_s0.txt");
    std::vector<std::vector<std::string>> blocks(1);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            blocks.emplace_back();
            continue;
        }
        blocks.back().push_back(utf8ToCp1252(line));
    }
    return blocks;
}

// A double quote is two boxes (two apostrophes) to the OCR, until the post-OCR
// correction joins them again.
std::string asRecognised(std::string text) {
    for (size_t at = text.find('"'); at != std::string::npos; at = text.find('"', at + 2))
        text.replace(at, 1, "''");
    return text;
}

// Answers every glyph question from the ground truth: the character at the
// box's place in its line, blanks left out (the driver puts them back).
GlyphAnswer answerFromTruth(const std::vector<std::vector<std::string>>& truth,
                            const GlyphQuestion& q) {
    const size_t unit = q.subpictureNumber - 1;
    if (unit >= truth.size() || q.line < 1 || size_t(q.line) > truth[unit].size())
        return {GlyphAction::SkipSubpicture, {}};
    std::string text = asRecognised(truth[unit][size_t(q.line - 1)]);
    std::erase(text, ' ');
    if (q.charIndex < 1 || size_t(q.charIndex) > text.size()) return {GlyphAction::SkipLine, {}};
    return {GlyphAction::Learn, std::string(1, text[size_t(q.charIndex - 1)])};
}

std::vector<std::vector<std::string>> textsOf(const SubtitleDocument& doc) {
    std::vector<std::vector<std::string>> texts;
    for (const TSub& e : doc.store().entries())
        texts.emplace_back(e.Lines.begin(), e.Lines.begin() + e.NbLines);
    return texts;
}

struct RipBench {
    TempFolder folder;
    Application app{{folder.path(), true}};
    SubtitlesWindow& window = *app.subtitlesWindow();
    std::vector<std::vector<std::string>> truth;
    ScriptedAnswers answers{app.host()};

    explicit RipBench(const std::string& disc) : truth(truthOf(disc)) {
        ResetOcrSettings(app.session().ocrSettings()); // as the first showing does
        // The gap between two words of the fixture fonts, as a user would
        // set it in the OCR settings: the glyphs are the white fill alone,
        // so the outline widens every gap between letters.
        app.session().ocrSettings().SpaceWidth = 10;
        answers.onChooseTextColour = [](const Bitmap24&, int) { return std::optional<int>(2); };
        answers.onAskGlyph = [this](const GlyphQuestion& q) { return answerFromTruth(truth, q); };
    }
    // Runs the job to its end, one timer tick after the other.
    void rip(const std::string& disc) {
        JobSetup setup;
        setup.files = {kDiscs / disc / "VIDEO_TS" / "VTS_01_1.VOB"};
        setup.action = kActionOcr;
        ASSERT_TRUE(app.session().startJob(setup));
        for (int i = 0; i < 100 && !app.session().job().finished(); ++i) app.session().tick();
        ASSERT_TRUE(app.session().job().finished());
    }
};

} // namespace

TEST(SubtitlesDuringRip, RecognisedEntriesAreAppendedOneByOne) {
    RipBench b("pal_en");
    control<QToolButton>(b.app.mainWindow(), "CoolButtonShowSubtitleText")->click();
    QAbstractItemModel* model = subtitleList(b.window)->model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    // What the list held at each question: it grows while the job runs.
    std::vector<int> rowsAtQuestion;
    b.answers.onAskGlyph = [&](const GlyphQuestion& q) {
        rowsAtQuestion.push_back(lineCount(b.window));
        return answerFromTruth(b.truth, q);
    };
    b.rip("pal_en");

    const SubtitleDocument& doc = b.app.session().document();
    ASSERT_EQ(doc.NbSubTitle(), int(b.truth.size()));
    EXPECT_EQ(reset.count(), 0);
    EXPECT_GE(inserted.count(), doc.NbSubTitle());
    ASSERT_FALSE(rowsAtQuestion.empty());
    EXPECT_EQ(rowsAtQuestion.front(), 0);
    EXPECT_GT(rowsAtQuestion.back(), 0);
    EXPECT_TRUE(std::is_sorted(rowsAtQuestion.begin(), rowsAtQuestion.end()));

    int expectedRows = 0;
    for (const TSub& e : doc.store().entries()) expectedRows += e.NbLines + 3;
    EXPECT_EQ(lineCount(b.window), expectedRows);
    EXPECT_EQ(lineText(b.window, 0).toStdString(), "1");
    EXPECT_EQ(lineText(b.window, 2).toStdString(), "Good evening.");
    EXPECT_EQ(control<QLabel>(&b.window, "LabelNbSubTitle")->text(),
              QString::number(doc.NbSubTitle()));
    EXPECT_EQ(shownLine(b.window), expectedRows - 1); // scrolled along
    // Word for word the ground truth, double quotes still doubled apostrophes
    // until the post-OCR correction mends them.
    std::vector<std::vector<std::string>> recognised = b.truth;
    for (auto& block : recognised)
        for (auto& line : block) line = asRecognised(line);
    EXPECT_EQ(textsOf(doc), recognised);
    control<QPushButton>(b.app.postOcr(), "BitBtnCorrect")->click();
    EXPECT_EQ(textsOf(doc), b.truth);
}

TEST(SubtitlesDuringRip, RipRendersInTheChosenFormatAndOpensNoDialog) {
    RipBench b("ntsc");
    b.app.outputFormat()->convertTo(ofSubViewer2);
    b.rip("ntsc");
    const SubtitleDocument& doc = b.app.session().document();
    ASSERT_EQ(doc.NbSubTitle(), int(b.truth.size()));
    EXPECT_EQ(lineCount(b.window), 15 + 3 * doc.NbSubTitle());
    EXPECT_EQ(lineText(b.window, 15 + 1),
              fromCp1252(b.truth[0][0] + (b.truth[0].size() > 1 ? "[br]" + b.truth[0][1] : "")));
    // Still the header's last line, where Convert left it: hidden, the list did not follow.
    EXPECT_EQ(shownLine(b.window), 14);
    EXPECT_EQ(b.app.dialogs().unexpected, 0);
}
