// The OCR windows on their own: text colour selection, new character dialog,
// matrix editor and OCR advanced setup.
#include "base/MessageCatalogue.h"
#include "ocr/CharMatrix.h"
#include "ocr/OcrDriver.h"
#include "ocr/OcrSettings.h"
#include "ocr/OcrState.h"
#include "settings/IniFile.h"
#include "ui/MatrixEditor.h"
#include "ui/NewCharacterDialog.h"
#include "ui/NumericEdit.h"
#include "ui/OcrSetupDialog.h"
#include "ui/RadioGroup.h"
#include "ui/TextColorDialog.h"
#include "ui/UiDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace mirtal;

namespace {

// Runs f once the modal dialog that is about to open is on screen.
void whenModal(std::function<void()> f) {
    QTimer::singleShot(0, std::move(f));
}

// -------------------------------------------------------------------------
// Text colour selection

// Codes 0 (70 %), 1 (10 %, met first) and 2 (20 %), as a subtitle with a
// thin outline: the guess is code 2.
Bitmap24 outlinedText(const OcrState& s) {
    Bitmap24 b(10, 10, s.DrawColor[0]);
    for (int x = 0; x < 10; ++x) b.setPixel(x, 0, s.DrawColor[1]);
    for (int x = 0; x < 10; ++x) {
        b.setPixel(x, 4, s.DrawColor[2]);
        b.setPixel(x, 5, s.DrawColor[2]);
    }
    return b;
}

struct ColourDialog {
    OcrState state;
    TextColorDialog dialog{state};
    std::vector<Bitmap24> previews;
    int shown = 0, hidden = 0;
    ColourDialog() {
        dialog.onPreview = [this](const Bitmap24& b) { previews.push_back(b); };
        dialog.onShown = [this] { ++shown; };
        dialog.onHidden = [this] { ++hidden; };
    }
};

TEST(TextColorDialog, ShowsTheGuessWhiteOnBlackAndOkReturnsIt) {
    ColourDialog t;
    t.dialog.ComboBoxTextColor->setCurrentIndex(0);
    const Bitmap24 work = outlinedText(t.state);
    int selectedAtShow = -1;
    bool okFocused = false;
    whenModal([&] {
        selectedAtShow = t.dialog.ComboBoxTextColor->currentIndex();
        okFocused = t.dialog.ButtonOk->hasFocus() || t.dialog.focusWidget() == t.dialog.ButtonOk;
        QTest::mouseClick(t.dialog.ButtonOk, Qt::LeftButton);
    });
    EXPECT_EQ(t.dialog.ask(work), std::optional<int>(2));
    EXPECT_EQ(selectedAtShow, 2);
    EXPECT_TRUE(okFocused);
    EXPECT_EQ(t.state.TextColor, t.state.DrawColor[2]);
    // First the work bitmap itself, then the chosen colour white on black.
    ASSERT_GE(t.previews.size(), 2u);
    EXPECT_EQ(t.previews.front(), work);
    const Bitmap24& shown = t.previews.back();
    EXPECT_EQ(shown.pixel(3, 4), 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(3, 0), 0x000000u) << "the outline is black";
    EXPECT_EQ(shown.pixel(3, 8), 0x000000u);
    EXPECT_EQ(t.shown, 1);
    EXPECT_EQ(t.hidden, 1);
    EXPECT_EQ(t.dialog.windowTitle(), "Font color selection");
}

TEST(TextColorDialog, AnotherColourPreviewsAtOnceAndSkipReturnsNothing) {
    ColourDialog t;
    const Bitmap24 work = outlinedText(t.state);
    whenModal([&] {
        t.dialog.ComboBoxTextColor->setCurrentIndex(1);
        QTest::mouseClick(t.dialog.ButtonOk, Qt::LeftButton);
    });
    EXPECT_EQ(t.dialog.ask(work), std::optional<int>(1));
    EXPECT_EQ(t.state.TextColor, t.state.DrawColor[1]);
    EXPECT_EQ(t.previews.back().pixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(t.previews.back().pixel(3, 4), 0x000000u);

    whenModal([&] { QTest::mouseClick(t.dialog.ButtonSkipPict, Qt::LeftButton); });
    EXPECT_EQ(t.dialog.ask(work), std::nullopt);
    // Escape is no choice either: the colour stays unchosen.
    whenModal([&] { QTest::keyClick(&t.dialog, Qt::Key_Escape); });
    EXPECT_EQ(t.dialog.ask(work), std::nullopt);
    EXPECT_EQ(t.hidden, 3);
}

TEST(TextColorDialog, AutoDetectComesBackToTheGuessAndAnEmptyPictureKeepsTheSelection) {
    ColourDialog t;
    const Bitmap24 work = outlinedText(t.state);
    whenModal([&] {
        t.dialog.ComboBoxTextColor->setCurrentIndex(3);
        QTest::mouseClick(t.dialog.ButtonAutoDetect, Qt::LeftButton);
        QTest::mouseClick(t.dialog.ButtonOk, Qt::LeftButton);
    });
    EXPECT_EQ(t.dialog.ask(work), std::optional<int>(2));
    EXPECT_EQ(t.state.ColorOrder[1], 2);

    t.dialog.ComboBoxTextColor->setCurrentIndex(3);
    t.previews.clear();
    whenModal([&] { QTest::mouseClick(t.dialog.ButtonOk, Qt::LeftButton); });
    EXPECT_EQ(t.dialog.ask(Bitmap24()), std::optional<int>(3));
    EXPECT_TRUE(t.previews.empty()) << "nothing to show";
}

// -------------------------------------------------------------------------
// New character dialog

// A line of two boxes: a tall one on the line's top row and the questioned
// one lower down, each painted white in the work bitmap.
struct Line {
    Bitmap24 work{200, 80, 0x000000};
    std::vector<CharBox> boxes;
    GlyphQuestion q;
    void add(CharBox b) {
        boxes.push_back(b);
        work.fillRect(b.X, b.Y, b.X + b.Width, b.Y + b.Height, 0xFFFFFF);
    }
    const GlyphQuestion& ask(size_t i) {
        q.box = boxes[i];
        q.lineBoxes = boxes;
        q.workBitmap = &work;
        q.line = 1;
        q.charIndex = int(i) + 1;
        return q;
    }
};

TEST(NewCharacterDialog, LinePictureCentresTheGlyphAndTheLineAndFramesTheGlyph) {
    Line l;
    l.add({10, 5, 8, 20, 0, 0});
    l.add({30, 10, 6, 15, 5, 0});
    const Bitmap24 p = BuildLinePicture(l.ask(1), 0x000000);
    ASSERT_EQ(p.width(), 150);
    ASSERT_EQ(p.height(), 50);
    // offset (150 - 6) / 2 = 72; line rows 5..25 (h 21) start at row 14.
    EXPECT_EQ(p.pixel(72, 19), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(77, 33), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(52, 14), 0xFFFFFFu) << "the neighbour shows at its place in the line";
    EXPECT_EQ(p.pixel(51, 14), 0x000000u);
    for (auto [x, y] : {std::pair{71, 18}, {78, 18}, {71, 34}, {78, 34}, {75, 18}, {71, 25}})
        EXPECT_EQ(p.pixel(x, y), kGlyphFrameColor) << x << "," << y;
    EXPECT_EQ(p.pixel(79, 34), 0x000000u);
    EXPECT_EQ(p.pixel(0, 0), 0x000000u);
}

TEST(NewCharacterDialog, LinePictureOfAWideGlyphStartsAtItsLeftEdgeAndATallLineIsCut) {
    Line wide;
    wide.add({20, 2, 160, 10, 0, 0});
    Bitmap24 p = BuildLinePicture(wide.ask(0), 0x000000);
    EXPECT_EQ(p.pixel(0, 20), 0xFFFFFFu) << "column 0 is the glyph's first column";
    EXPECT_EQ(p.pixel(149, 20), 0xFFFFFFu);

    Line tall;
    tall.add({40, 0, 10, 60, 0, 0});
    tall.work.setPixel(40, 5, 0x0000FF); // marks row 5 of the line
    p = BuildLinePicture(tall.ask(0), 0x000000);
    // h = 61: the picture starts (61 - 50) / 2 = 5 rows into the line.
    EXPECT_EQ(p.pixel(70, 0), 0x0000FFu);
    EXPECT_EQ(p.pixel(71, 0), 0xFFFFFFu);
}

TEST(NewCharacterDialog, ShowsTheSymbolIndexAndEveryButtonGivesItsAnswer) {
    NewCharacterDialog d;
    Line l;
    l.add({10, 5, 8, 20, 0, 0});
    GlyphQuestion q = l.ask(0);
    q.symbolIndex = 7;
    d.EditText->setText("old");
    QString index, nb;
    whenModal([&] {
        index = d.LabelIndex->text();
        EXPECT_TRUE(d.EditText->text().isEmpty());
        QTest::sendKeyEvent(QTest::Click, d.EditText, Qt::Key_unknown,
                            QString::fromUtf8("\xC3\xA9"), Qt::NoModifier);
        QTest::keyClicks(d.EditText, "t");
        nb = d.LabelNbChar->text();
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    GlyphAnswer a = d.ask(q, 0x000000);
    EXPECT_EQ(index, "Symbol index : 7");
    EXPECT_EQ(nb, "2");
    EXPECT_EQ(a.action, GlyphAction::Learn);
    EXPECT_EQ(a.text, "\xE9t") << "Windows-1252";
    EXPECT_FALSE(d.ImageChar->pixmap().isNull());
    EXPECT_EQ(d.ImageChar->pixmap().size(), QSize(300, 100));

    // An empty text is an answer too.
    whenModal([&] { QTest::keyClick(d.EditText, Qt::Key_Return); });
    a = d.ask(q, 0x000000);
    EXPECT_EQ(a.action, GlyphAction::Learn);
    EXPECT_EQ(a.text, "");

    const std::pair<QPushButton*, GlyphAction> buttons[] = {
        {d.ButtonSkipLine, GlyphAction::SkipLine},
        {d.ButtonSkipSubPict, GlyphAction::SkipSubpicture},
        {d.ButtonPause, GlyphAction::Pause},
        {d.ButtonChangeColor, GlyphAction::ChangeColor}};
    for (auto [button, action] : buttons) {
        whenModal([&, b = button] {
            QTest::keyClicks(d.EditText, "x");
            QTest::mouseClick(b, Qt::LeftButton);
        });
        a = d.ask(q, 0x000000);
        EXPECT_EQ(a.action, action) << button->objectName().toStdString();
        EXPECT_EQ(a.text, "");
    }
}

TEST(NewCharacterDialog, TextIsLimitedToTwentyAndEscapeIsNoAnswer) {
    NewCharacterDialog d;
    Line l;
    l.add({10, 5, 8, 20, 0, 0});
    whenModal([&] {
        QTest::keyClicks(d.EditText, "abcdefghijklmnopqrstuvwxyz");
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible()) << "Escape closed the dialog";
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
    });
    const GlyphAnswer a = d.ask(l.ask(0), 0x000000);
    EXPECT_EQ(a.text, "abcdefghijklmnopqrst");
    EXPECT_EQ(d.LabelNbChar->text(), "20");
}

TEST(NewCharacterDialog, WakesTheUserAfterTenSecondsWith24BlinksAndThreeBeeps) {
    NewCharacterDialog d;
    int beeps = 0;
    d.onBeep = [&] { ++beeps; };
    const QColor face = d.palette().color(QPalette::Window);
    d.show();
    EXPECT_TRUE(d.TimerWakeUp->isActive());
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);

    d.TimerWakeUpTimer(); // the ten seconds are over
    EXPECT_EQ(d.TimerWakeUp->interval(), 150);
    EXPECT_FALSE(d.blinking());
    int toggles = 0;
    bool sawRed = false;
    for (int i = 0; i < 24; ++i) {
        const bool before = d.blinking();
        d.TimerWakeUpTimer();
        toggles += d.blinking() != before;
        if (d.blinking()) sawRed |= d.palette().color(QPalette::Window) == QColor(Qt::red);
    }
    EXPECT_EQ(toggles, 24);
    EXPECT_TRUE(sawRed);
    EXPECT_EQ(beeps, 3);
    d.TimerWakeUpTimer(); // the blinking is over: wait again
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);
    EXPECT_EQ(d.blinkCount(), 0);
    EXPECT_FALSE(d.blinking());
    EXPECT_EQ(d.palette().color(QPalette::Window), face);
    d.hide();
    EXPECT_FALSE(d.TimerWakeUp->isActive());
}

TEST(NewCharacterDialog, TypingStartsTheWaitAgainAndStopsTheBlinking) {
    NewCharacterDialog d;
    d.onBeep = [] {};
    d.show();
    for (int i = 0; i < 4; ++i) d.TimerWakeUpTimer();
    ASSERT_TRUE(d.blinking());
    QTest::keyClicks(d.EditText, "a");
    EXPECT_FALSE(d.blinking());
    EXPECT_EQ(d.blinkCount(), 0);
    EXPECT_TRUE(d.TimerWakeUp->isActive());
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);
    d.hide();
}

// -------------------------------------------------------------------------
// Character matrix editor

CharMatrixEntry glyph(const std::string& text, int width = 3, int height = 4, int top = 1) {
    CharMatrixEntry e;
    e.Text = text;
    e.Width = uint8_t(width);
    e.Height = uint8_t(height);
    e.Top = uint8_t(top);
    e.setPixel(0, 0, true);
    e.setPixel(width - 1, height - 1, true);
    return e;
}

void sortBy(MatrixEditor& e, int item) {
    QTest::mouseClick(e.RadioGroupSort->findChildren<QRadioButton*>().at(item), Qt::LeftButton);
}

struct Editor {
    CharMatrix matrix;
    UiDialogs dialogs;
    MessageCatalogue messages;
    std::unique_ptr<MatrixEditor> editor;
    explicit Editor(std::initializer_list<const char*> texts) {
        dialogs.setScripted(true);
        for (const char* t : texts) matrix.AppendEntry(glyph(t));
        matrix.setModified(false);
        matrix.setFileName("/discs/film/film.qmx");
        editor = std::make_unique<MatrixEditor>(matrix, dialogs, messages);
        editor->RebuildMatrixList();
    }
    std::vector<int> listedEntries() const {
        std::vector<int> out;
        for (int r = 0; r < editor->ListBoxMatrix->count(); ++r)
            out.push_back(MatrixEditor::itemEntry(editor->ListBoxMatrix->item(r)->text()));
        return out;
    }
    void select(int entry) { editor->ListBoxMatrix->setCurrentRow(editor->rowOfEntry(entry)); }
};

TEST(MatrixEditor, ItemsQuoteTheTextAndEndWithTheWholeEntryNumber) {
    EXPECT_EQ(MatrixEditor::itemText("ab", 12), "\"ab\"    12");
    const std::string twenty = "abcdefghijklmnopqrst";
    EXPECT_EQ(MatrixEditor::itemText(twenty, 1024),
              "\"" + QString::fromStdString(twenty) + "\"    1024");
    EXPECT_EQ(MatrixEditor::itemEntry("\"12\"    3"), 3);
    EXPECT_EQ(MatrixEditor::itemEntry(MatrixEditor::itemText("7", 1000)), 1000);
    EXPECT_EQ(MatrixEditor::itemEntry("\"x\"    "), 0);
}

TEST(MatrixEditor, ListsAlphabeticallyOrByIndexAndShowsTheSelectedGlyph) {
    Editor t({"b", "a", "c"});
    MatrixEditor& e = *t.editor;
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix - film.qmx -");
    EXPECT_EQ(e.RadioGroupSort->itemIndex(), 0);
    EXPECT_EQ(t.listedEntries(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(e.LabelCharIndex->text(), "2") << "the first item is selected";
    EXPECT_EQ(e.EditText->text(), "a");
    EXPECT_EQ(e.LabelRTop->text(), "1");
    EXPECT_EQ(e.LabelWidth->text(), "3");
    EXPECT_EQ(e.LabelHeight->text(), "4");
    EXPECT_EQ(e.LabelNbChar->text(), "1");
    const QImage image = e.ImageChar->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(6, 8)) << "magnified twice";
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(5, 7)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(Qt::black));

    sortBy(e, 1);
    EXPECT_EQ(t.listedEntries(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(e.LabelCharIndex->text(), "1");
    sortBy(e, 0);
    EXPECT_EQ(t.listedEntries(), (std::vector<int>{2, 1, 3}));
    EXPECT_FALSE(t.matrix.Modified());
}

TEST(MatrixEditor, TypingALetterSelectsTheFirstEntryStartingWithItInListOrder) {
    Editor t({"b", "Cb", "ca", "cb"});
    MatrixEditor& e = *t.editor;
    QTest::keyClick(e.ListBoxMatrix, 'c');
    EXPECT_EQ(e.LabelCharIndex->text(), "3") << "\"ca\" comes first alphabetically";
    QTest::keyClick(e.ListBoxMatrix, 'C', Qt::ShiftModifier);
    EXPECT_EQ(e.LabelCharIndex->text(), "2") << "case counts";
    QTest::keyClick(e.ListBoxMatrix, 'z');
    EXPECT_EQ(e.LabelCharIndex->text(), "2") << "no entry: the selection stays";

    sortBy(e, 1);
    t.select(1);
    QTest::keyClick(e.ListBoxMatrix, 'c');
    EXPECT_EQ(e.LabelCharIndex->text(), "3");
}

TEST(MatrixEditor, ModifyChangesTheTextResortsAndKeepsTheEntrySelected) {
    Editor t({"b", "a", "c"});
    MatrixEditor& e = *t.editor;
    t.select(1);
    e.EditText->setText("zz");
    QTest::mouseClick(e.ButtonModify, Qt::LeftButton);
    EXPECT_EQ(t.matrix.entry(1).Text, "zz");
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(t.listedEntries(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(e.selectedEntry(), 1);
    EXPECT_EQ(e.ListBoxMatrix->currentItem()->text(), "\"zz\"    1");
}

TEST(MatrixEditor, DeleteAsksAndTheLastEntryTakesTheFreedNumber) {
    Editor t({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    MatrixEditor& e = *t.editor;
    sortBy(e, 1);
    t.select(5);
    t.dialogs.answers = {Answer::No};
    QTest::mouseClick(e.ButtonDelete, Qt::LeftButton);
    ASSERT_EQ(t.dialogs.asked.size(), 1u);
    EXPECT_EQ(t.dialogs.asked[0].text, "Delete character \"e\" ?");
    EXPECT_EQ(t.dialogs.asked[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(t.matrix.Count(), 9);
    EXPECT_FALSE(t.matrix.Modified());

    t.dialogs.answers = {Answer::Yes};
    QTest::mouseClick(e.ButtonDelete, Qt::LeftButton);
    EXPECT_EQ(t.matrix.Count(), 8);
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(t.matrix.entry(5).Text, "i");
    EXPECT_EQ(e.ListBoxMatrix->count(), 8);
    EXPECT_EQ(e.ListBoxMatrix->currentRow(), 4) << "the same list position";
    EXPECT_EQ(e.LabelCharIndex->text(), "5");
    EXPECT_EQ(e.EditText->text(), "i");

    // The Delete key does the same; the last item deleted leaves the previous one selected.
    t.select(8);
    t.dialogs.answers = {Answer::Yes};
    QTest::keyClick(e.ListBoxMatrix, Qt::Key_Delete);
    EXPECT_EQ(t.matrix.Count(), 7);
    EXPECT_EQ(e.selectedEntry(), 7);
    EXPECT_EQ(t.dialogs.unexpected, 0);
}

TEST(MatrixEditor, EntriesPast999AreShownAndDeletedAsThemselves) {
    Editor t({});
    for (int i = 1; i <= MaxCharMatrixEntries; ++i) t.matrix.AppendEntry(glyph(std::to_string(i)));
    MatrixEditor& e = *t.editor;
    sortBy(e, 1);
    t.select(1000);
    EXPECT_EQ(e.LabelCharIndex->text(), "1000");
    t.dialogs.answers = {Answer::Yes};
    QTest::mouseClick(e.ButtonDelete, Qt::LeftButton);
    EXPECT_EQ(t.dialogs.asked.back().text, "Delete character \"1000\" ?");
    EXPECT_EQ(t.matrix.Count(), 1023);
    EXPECT_EQ(t.matrix.entry(1000).Text, "1024");
    EXPECT_EQ(e.LabelCharIndex->text(), "1000");
    EXPECT_EQ(e.EditText->text(), "1024");
}

TEST(MatrixEditor, CommentEditsMarkTheMatrixButARebuildDoesNot) {
    Editor t({"a"});
    t.matrix.SetComment("Line one\r\nLine two");
    t.matrix.setModified(false);
    MatrixEditor& e = *t.editor;
    e.RebuildMatrixList();
    EXPECT_EQ(e.MemoComment->toPlainText(), "Line one\nLine two");
    EXPECT_FALSE(t.matrix.Modified());

    e.MemoComment->moveCursor(QTextCursor::End);
    QTest::keyClicks(e.MemoComment, "!");
    EXPECT_EQ(t.matrix.Comment(), "Line one\r\nLine two!");
    EXPECT_TRUE(t.matrix.Modified());

    e.MemoComment->setPlainText(QString(300, 'x'));
    EXPECT_EQ(t.matrix.Comment(), std::string(255, 'x'));
    EXPECT_EQ(e.MemoComment->toPlainText().size(), 255);
}

TEST(MatrixEditor, AnEmptyMatrixShowsNothingAndModifyDoesNothing) {
    Editor t({});
    MatrixEditor& e = *t.editor;
    t.matrix.setFileName("");
    e.RebuildMatrixList();
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix -  -");
    EXPECT_EQ(e.ListBoxMatrix->count(), 0);
    EXPECT_TRUE(e.LabelCharIndex->text().isEmpty());
    e.EditText->setText("x");
    QTest::mouseClick(e.ButtonModify, Qt::LeftButton);
    QTest::mouseClick(e.ButtonDelete, Qt::LeftButton);
    EXPECT_TRUE(t.dialogs.asked.empty());
    EXPECT_FALSE(t.matrix.Modified());

    // A glyph learned meanwhile is listed and shown at once.
    t.matrix.AppendEntry(glyph("q"));
    e.AddMatrixListItem(1);
    EXPECT_EQ(e.ListBoxMatrix->count(), 1);
    EXPECT_EQ(e.LabelCharIndex->text(), "1");
    EXPECT_EQ(e.EditText->text(), "q");
}

// -------------------------------------------------------------------------
// OCR advanced setup

struct SetupWindow {
    OcrSettings settings;
    UiDialogs dialogs;
    QTemporaryDir temp;
    std::filesystem::path folder{temp.path().toStdString()};
    std::unique_ptr<OcrSetupDialog> dialog;
    SetupWindow() {
        dialogs.setScripted(true);
        dialog = std::make_unique<OcrSetupDialog>(settings, dialogs, folder / "Mirtal.ini");
    }
    void type(QLineEdit* field, const char* text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
};

TEST(OcrSetupDialog, FieldsShowTheSettingsWithTheirRanges) {
    SetupWindow t;
    t.settings.MinLineHeight = 9;
    t.settings.SpaceWidth = -3;
    t.settings.CheckDetachedChar = false;
    t.dialog->show();
    OcrSetupDialog& d = *t.dialog;
    EXPECT_EQ(d.windowTitle(), "OCR Advanced Setup");
    EXPECT_EQ(d.Word_uLineMinHeight->text(), "9");
    EXPECT_EQ(d.Integer_uMinSpaceWidth->text(), "-3");
    EXPECT_FALSE(d.CheckBoxDetachedChar->isChecked());
    EXPECT_EQ(d.Word_uSensibility->text(), "980");
    EXPECT_EQ(d.TrackBarSensibility->value(), 980);
    EXPECT_TRUE(d.BitBtnCancel->isEnabled());
    const std::pair<QLineEdit*, const char*> hints[] = {
        {d.Word_uLineMinHeight, "Entier entre 0 et 45"},
        {d.Word_uMinInterLine, "Entier entre 1 et 50"},
        {d.Word_uLineMaxHeight, "Entier entre 0 et 45"},
        {d.Word_uCharMinWidth, "Entier entre 1 et 45"},
        {d.Word_uCharMinHeight, "Entier entre 1 et 45"},
        {d.Word_uOcrWidthDiff, "Entier entre 0 et 45"},
        {d.Word_uOcrTopDiff, "Entier entre 0 et 45"},
        {d.Word_uOcrHeightDiff, "Entier entre 0 et 45"},
        {d.Word_uSensibility, "Entier entre 0 et 1000"},
        {d.Integer_uMinSpaceWidth, "Entier entre -10 et 45"},
        {d.Integer_uMinItaSpaceWidth, "Entier entre -10 et 45"},
        {d.Integer_uDetectItaWidth, "Entier entre -10 et 10"}};
    for (auto [field, hint] : hints)
        EXPECT_EQ(field->toolTip(), hint) << field->objectName().toStdString();
    EXPECT_EQ(d.CheckBoxDetachedChar->toolTip(), "For thin characters");
}

TEST(OcrSetupDialog, TheBarAndTheSensibilityFieldFollowEachOther) {
    SetupWindow t;
    t.dialog->show();
    OcrSetupDialog& d = *t.dialog;
    t.type(d.Word_uSensibility, "1000");
    EXPECT_EQ(d.TrackBarSensibility->value(), 1000);
    EXPECT_EQ(d.Word_uSensibility->text(), "1000");
    d.Word_uSensibility->selectAll();
    QTest::keyClick(d.Word_uSensibility, Qt::Key_Backspace);
    EXPECT_EQ(d.Word_uSensibility->text(), "") << "the bar does not rewrite a field being typed";
    EXPECT_EQ(d.TrackBarSensibility->value(), 0);
    d.TrackBarSensibility->setValue(450);
    EXPECT_EQ(d.Word_uSensibility->text(), "450");
}

TEST(OcrSetupDialog, OkStoresTheFieldsAndCancelDropsThem) {
    SetupWindow t;
    OcrSetupDialog& d = *t.dialog;
    d.show();
    t.type(d.Integer_uMinSpaceWidth, "10");
    t.type(d.Integer_uDetectItaWidth, "-10");
    d.CheckBoxDetachedChar->setChecked(false);
    QTest::mouseClick(d.BitBtnOk, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(t.settings.SpaceWidth, 10);
    EXPECT_EQ(t.settings.DetectItaWidth, -10);
    EXPECT_FALSE(t.settings.CheckDetachedChar);

    d.show();
    t.type(d.Word_uOcrTopDiff, "40");
    QTest::mouseClick(d.BitBtnCancel, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(t.settings.MaxCharDiffTop, 6);
    EXPECT_EQ(d.Word_uOcrTopDiff->text(), "6") << "the edit is dropped";
}

TEST(OcrSetupDialog, AnOutOfRangeFieldIsReportedAndNothingIsStored) {
    SetupWindow t;
    OcrSetupDialog& d = *t.dialog;
    d.show();
    t.dialogs.answers = {Answer::Ok};
    t.type(d.Integer_uDetectItaWidth, "-11");
    t.type(d.Integer_uMinSpaceWidth, "12");
    d.storeControls();
    ASSERT_EQ(t.dialogs.asked.size(), 1u);
    EXPECT_EQ(t.dialogs.asked[0].text, "Valeur trop petite : Valeur minimum = -10");
    EXPECT_EQ(t.settings.SpaceWidth, 7) << "nothing is stored";
    EXPECT_EQ(d.Integer_uDetectItaWidth->text(), "-10");
    EXPECT_TRUE(d.storeControls());
    EXPECT_EQ(t.settings.DetectItaWidth, -10);
    EXPECT_EQ(t.settings.SpaceWidth, 12);
}

TEST(OcrSetupDialog, DefaultValuesTakeEffectAtOnceAndOnlyOkCloses) {
    SetupWindow t;
    t.settings.Sensibility = 500;
    t.settings.MinInterLine = 9;
    OcrSetupDialog& d = *t.dialog;
    d.show();
    QTest::mouseClick(d.ButtonDefaultValues, Qt::LeftButton);
    EXPECT_EQ(t.settings, OcrSettings{});
    EXPECT_EQ(d.Word_uSensibility->text(), "980");
    EXPECT_EQ(d.TrackBarSensibility->value(), 980);
    EXPECT_FALSE(d.BitBtnCancel->isEnabled());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible()) << "only OK closes now";
    QTest::mouseClick(d.BitBtnOk, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    d.show();
    EXPECT_TRUE(d.BitBtnCancel->isEnabled()) << "each showing offers Cancel again";
}

TEST(OcrSetupDialog, SaveWritesTheOcrSectionAndCannotBeCancelled) {
    SetupWindow t;
    OcrSetupDialog& d = *t.dialog;
    d.show();
    t.type(d.Word_uSensibility, "955");
    t.type(d.Integer_uMinItaSpaceWidth, "-2");
    QTest::mouseClick(d.ButtonSaveValues, Qt::LeftButton);
    EXPECT_FALSE(d.BitBtnCancel->isEnabled());
    EXPECT_EQ(t.settings.Sensibility, 955);
    IniFile ini;
    ASSERT_TRUE(ini.load(t.folder / "Mirtal.ini"));
    EXPECT_EQ(ini.readInteger("OCR SETTING", "Sensibility", 0), 955);
    EXPECT_EQ(ini.readInteger("OCR SETTING", "ItaSpaceWidth", 0), -2);
    EXPECT_EQ(ini.readInteger("OCR SETTING", "SpaceWidth", 0), 7);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(t.dialogs.asked.empty());
}

} // namespace
