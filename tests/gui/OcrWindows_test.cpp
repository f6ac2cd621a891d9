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

void click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton);
}

void retype(QLineEdit* field, const char* text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Codes 0 (70 %), 1 (10 %, met first) and 2 (20 %): the guess is code 2.
TEST(TextColorDialog, PreselectsTheGuessAndPreviewsTheChoiceWhiteOnBlack) {
    OcrState state;
    TextColorDialog d(state);
    std::vector<Bitmap24> previews;
    int hidden = 0;
    d.onPreview = [&](const Bitmap24& b) { previews.push_back(b); };
    d.onHidden = [&] { ++hidden; };
    Bitmap24 work(10, 10, state.DrawColor[0]);
    work.fillRect(0, 0, 10, 1, state.DrawColor[1]);
    work.fillRect(0, 4, 10, 6, state.DrawColor[2]);
    d.ComboBoxTextColor->setCurrentIndex(0);
    int preselected = -1;
    whenModal([&] {
        preselected = d.ComboBoxTextColor->currentIndex();
        EXPECT_EQ(previews.back().pixel(3, 4), 0xFFFFFFu);
        EXPECT_EQ(previews.back().pixel(3, 0), 0x000000u) << "the outline is black";
        d.ComboBoxTextColor->setCurrentIndex(1);
        click(d.ButtonOk);
    });
    EXPECT_EQ(d.ask(work), std::optional<int>(1));
    EXPECT_EQ(preselected, 2);
    EXPECT_EQ(previews.front(), work) << "the picture itself comes first";
    EXPECT_EQ(previews.back().pixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(state.TextColor, state.DrawColor[1]);

    // Skip, and Escape, leave the colour unchosen; an empty picture keeps the selection.
    whenModal([&] { click(d.ButtonSkipPict); });
    EXPECT_EQ(d.ask(work), std::nullopt);
    whenModal([&] { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(d.ask(work), std::nullopt);
    d.ComboBoxTextColor->setCurrentIndex(3);
    whenModal([&] { click(d.ButtonOk); });
    EXPECT_EQ(d.ask(Bitmap24()), std::optional<int>(3));
    EXPECT_EQ(hidden, 4);
}

// A line of two boxes painted white: a tall one on the line's top row and
// the questioned one lower down.
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
        return q;
    }
};

TEST(NewCharacterDialog, LinePictureCentresGlyphAndLineAndFramesTheGlyph) {
    Line l;
    l.add({10, 5, 8, 20, 0, 0});
    l.add({30, 10, 6, 15, 5, 0});
    Bitmap24 p = BuildLinePicture(l.ask(1), 0x000000);
    ASSERT_EQ(p.width(), 150);
    ASSERT_EQ(p.height(), 50);
    // Glyph at (150 - 6) / 2 = 72; the line's rows 5..25 (h 21) start at row 14.
    EXPECT_EQ(p.pixel(72, 19), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(77, 33), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(52, 14), 0xFFFFFFu) << "the neighbour at its place in the line";
    for (auto [x, y] : {std::pair{71, 18}, {78, 18}, {71, 34}, {78, 34}, {75, 18}})
        EXPECT_EQ(p.pixel(x, y), kGlyphFrameColor) << x << "," << y;
    EXPECT_EQ(p.pixel(79, 34), 0x000000u);

    Line wide;
    wide.add({20, 2, 160, 10, 0, 0});
    p = BuildLinePicture(wide.ask(0), 0x000000);
    EXPECT_EQ(p.pixel(0, 20), 0xFFFFFFu) << "a wide glyph starts at the left edge";

    Line tall;
    tall.add({40, 0, 10, 60, 0, 0});
    tall.work.setPixel(40, 5, 0x0000FF);
    p = BuildLinePicture(tall.ask(0), 0x000000);
    EXPECT_EQ(p.pixel(70, 0), 0x0000FFu) << "61 rows: the picture starts at row 5";
}

TEST(NewCharacterDialog, EachButtonGivesItsAnswerAndOnlyOkGivesText) {
    UiDialogs dialogs;
    dialogs.setScripted(true);
    dialogs.answers = {Answer::Ok};
    MessageCatalogue catalogue;
    NewCharacterDialog d(dialogs, catalogue);
    Line l;
    l.add({10, 5, 8, 20, 0, 0});
    GlyphQuestion q = l.ask(0);
    q.symbolIndex = 7;
    d.EditText->setText("old");
    whenModal([&] {
        EXPECT_EQ(d.LabelIndex->text(), "Symbol index : 7");
        EXPECT_TRUE(d.EditText->text().isEmpty());
        QTest::sendKeyEvent(QTest::Click, d.EditText, Qt::Key_unknown,
                            QString::fromUtf8("\xC3\xA9"), Qt::NoModifier);
        QTest::keyClicks(d.EditText, "tabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(d.LabelNbChar->text(), "20");
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible()) << "Escape made a choice";
        const QString typed = d.EditText->text();
        d.EditText->setText(QString::fromUtf8("x\xC5\x91")); // Windows-1252 has no byte for it
        click(d.BitBtn1);
        EXPECT_TRUE(d.isVisible()) << "took a character the matrix cannot store";
        d.EditText->setText(typed);
        click(d.BitBtn1);
    });
    GlyphAnswer a = d.ask(q, 0x000000);
    EXPECT_EQ(a.action, GlyphAction::Learn);
    EXPECT_EQ(a.text, "\xE9tabcdefghijklmnopqr") << "Windows-1252, 20 characters";
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, catalogue.text(Message::NotStorable) + "U+0151");
    EXPECT_EQ(d.ImageChar->pixmap().size(), QSize(300, 100));

    whenModal([&] { QTest::keyClick(d.EditText, Qt::Key_Return); });
    EXPECT_EQ(d.ask(q, 0).text, "") << "an empty text is an answer too";

    q.suggestion = "\xE9";
    whenModal([&] { QTest::keyClick(d.EditText, Qt::Key_Return); });
    EXPECT_EQ(d.ask(q, 0).text, "\xE9") << "Enter takes the suggestion";
    whenModal([&] { QTest::keyClicks(d.EditText, "e"); click(d.BitBtn1); });
    EXPECT_EQ(d.ask(q, 0).text, "e") << "typing replaces the selected suggestion";
    q.suggestion.clear();

    const std::pair<QPushButton*, GlyphAction> buttons[] = {
        {d.ButtonSkipLine, GlyphAction::SkipLine},
        {d.ButtonSkipSubPict, GlyphAction::SkipSubpicture},
        {d.ButtonPause, GlyphAction::Pause},
        {d.ButtonChangeColor, GlyphAction::ChangeColor}};
    for (auto [button, action] : buttons) {
        whenModal([&, b = button] {
            QTest::keyClicks(d.EditText, "x");
            click(b);
        });
        a = d.ask(q, 0);
        EXPECT_EQ(a.action, action) << button->objectName().toStdString();
        EXPECT_EQ(a.text, "");
    }
}

TEST(NewCharacterDialog, AfterTenSilentSecondsBlinks24TimesAndBeepsThrice) {
    UiDialogs dialogs;
    MessageCatalogue catalogue;
    NewCharacterDialog d(dialogs, catalogue);
    int beeps = 0;
    d.onBeep = [&] { ++beeps; };
    const QColor face = d.palette().color(QPalette::Window);
    d.show();
    EXPECT_TRUE(d.TimerWakeUp->isActive());
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);
    d.TimerWakeUpTimer();
    EXPECT_EQ(d.TimerWakeUp->interval(), 150);
    int toggles = 0;
    bool red = false;
    for (int i = 0; i < 24; ++i) {
        const bool before = d.blinking();
        d.TimerWakeUpTimer();
        toggles += d.blinking() != before;
        red |= d.palette().color(QPalette::Window) == QColor(Qt::red);
    }
    EXPECT_EQ(toggles, 24);
    EXPECT_TRUE(red);
    EXPECT_EQ(beeps, 3);
    d.TimerWakeUpTimer();
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);
    EXPECT_EQ(d.palette().color(QPalette::Window), face);

    // Typing starts the ten seconds again and stops a blinking under way.
    for (int i = 0; i < 4; ++i) d.TimerWakeUpTimer();
    ASSERT_TRUE(d.blinking());
    QTest::keyClicks(d.EditText, "a");
    EXPECT_FALSE(d.blinking());
    EXPECT_EQ(d.blinkCount(), 0);
    EXPECT_EQ(d.TimerWakeUp->interval(), 10000);
    d.hide();
    EXPECT_FALSE(d.TimerWakeUp->isActive());
}

CharMatrixEntry glyph(const std::string& text) {
    CharMatrixEntry e;
    e.Text = text;
    e.Width = 3;
    e.Height = 4;
    e.Top = 1;
    e.setPixel(0, 0, true);
    e.setPixel(2, 3, true);
    return e;
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
    }
    std::vector<int> listed() const {
        std::vector<int> out;
        for (int r = 0; r < editor->ListBoxMatrix->count(); ++r)
            out.push_back(MatrixEditor::itemEntry(editor->ListBoxMatrix->item(r)->text()));
        return out;
    }
    void select(int entry) { editor->ListBoxMatrix->setCurrentRow(editor->rowOfEntry(entry)); }
    void sortBy(int item) { click(editor->RadioGroupSort->findChildren<QRadioButton*>().at(item)); }
};

TEST(MatrixEditor, ListsByTextOrByNumberAndShowsTheSelectedGlyph) {
    Editor t({"b", "a", "c"});
    MatrixEditor& e = *t.editor;
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix - film.qmx -");
    EXPECT_EQ(e.ListBoxMatrix->item(0)->text(), "\"a\"    2");
    EXPECT_EQ(MatrixEditor::itemEntry(MatrixEditor::itemText("12", 1000)), 1000);
    EXPECT_EQ(t.listed(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(e.LabelCharIndex->text(), "2");
    EXPECT_EQ(e.EditText->text(), "a");
    EXPECT_EQ(e.LabelRTop->text() + e.LabelWidth->text() + e.LabelHeight->text(), "134");
    const QImage image = e.ImageChar->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(6, 8)) << "magnified twice";
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(5, 7)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(Qt::black));

    t.sortBy(1);
    EXPECT_EQ(t.listed(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(e.LabelCharIndex->text(), "1");
    t.sortBy(0);
    EXPECT_EQ(t.listed(), (std::vector<int>{2, 1, 3}));
    EXPECT_FALSE(t.matrix.Modified());
}

TEST(MatrixEditor, EntriesNamedAutomaticallyStandOutUntilTheUserPicksThem) {
    CharMatrix matrix;
    CharMatrixEntry named = glyph("a");
    named.AutoNamed = true;
    matrix.AppendEntry(glyph("b"));
    matrix.AppendEntry(named);
    UiDialogs dialogs;
    MessageCatalogue messages;
    MatrixEditor e(matrix, dialogs, messages);
    QListWidgetItem* item = e.ListBoxMatrix->item(e.rowOfEntry(2));
    EXPECT_TRUE(item->font().bold());
    EXPECT_FALSE(e.ListBoxMatrix->item(e.rowOfEntry(1))->font().bold());
    e.show();
    QTest::mouseClick(e.ListBoxMatrix->viewport(), Qt::LeftButton, {},
                      e.ListBoxMatrix->visualItemRect(item).center());
    EXPECT_FALSE(item->font().bold());
    EXPECT_FALSE(matrix.entry(2).AutoNamed);
}

TEST(MatrixEditor, ATypedCharacterSelectsTheFirstEntryStartingWithItInListOrder) {
    Editor t({"b", "Cb", "ca", "cb"});
    MatrixEditor& e = *t.editor;
    QTest::keyClick(e.ListBoxMatrix, 'c');
    EXPECT_EQ(e.selectedEntry(), 3);
    QTest::keyClick(e.ListBoxMatrix, 'C', Qt::ShiftModifier);
    EXPECT_EQ(e.selectedEntry(), 2) << "case counts";
    QTest::keyClick(e.ListBoxMatrix, 'z');
    EXPECT_EQ(e.selectedEntry(), 2) << "no such entry: the selection stays";
    t.sortBy(1);
    QTest::keyClick(e.ListBoxMatrix, 'c');
    EXPECT_EQ(e.selectedEntry(), 3);
}

TEST(MatrixEditor, ModifyResortsTheEntryAndDeleteMovesTheLastIntoItsNumber) {
    Editor t({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    MatrixEditor& e = *t.editor;
    t.select(1);
    e.EditText->setText("zz");
    click(e.ButtonModify);
    EXPECT_EQ(t.matrix.entry(1).Text, "zz");
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(t.listed().back(), 1);
    EXPECT_EQ(e.selectedEntry(), 1);

    t.matrix.setModified(false);
    t.sortBy(1);
    t.select(5);
    t.dialogs.answers = {Answer::No};
    click(e.ButtonDelete);
    EXPECT_EQ(t.dialogs.asked.back().text, "Delete character \"e\" ?");
    EXPECT_EQ(t.dialogs.asked.back().kind, MessageKind::Confirmation);
    EXPECT_EQ(t.matrix.Count(), 9);
    EXPECT_FALSE(t.matrix.Modified());
    t.dialogs.answers = {Answer::Yes};
    click(e.ButtonDelete);
    EXPECT_EQ(t.matrix.entry(5).Text, "i");
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(e.ListBoxMatrix->currentRow(), 4) << "the same list position";
    EXPECT_EQ(e.EditText->text(), "i");
    // The Delete key does the same.
    t.select(8);
    t.dialogs.answers = {Answer::Yes};
    QTest::keyClick(e.ListBoxMatrix, Qt::Key_Delete);
    EXPECT_EQ(t.matrix.Count(), 7);
    EXPECT_EQ(e.selectedEntry(), 7);
    EXPECT_EQ(t.dialogs.unexpected, 0);
}

TEST(MatrixEditor, CommentEditsMarkTheMatrixAndAnEmptyMatrixShowsNothing) {
    Editor t({"a"});
    t.matrix.SetComment("Line one\r\nLine two");
    t.matrix.setModified(false);
    MatrixEditor& e = *t.editor;
    e.RebuildMatrixList();
    EXPECT_EQ(e.MemoComment->toPlainText(), "Line one\nLine two");
    EXPECT_FALSE(t.matrix.Modified()) << "filling the memo is no edit";
    e.MemoComment->moveCursor(QTextCursor::End);
    QTest::keyClicks(e.MemoComment, "!");
    EXPECT_EQ(t.matrix.Comment(), "Line one\r\nLine two!");
    EXPECT_TRUE(t.matrix.Modified());
    e.MemoComment->setPlainText(QString(300, 'x'));
    EXPECT_EQ(t.matrix.Comment(), std::string(255, 'x'));

    t.matrix.ClearMatrix();
    e.RebuildMatrixList();
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix -  -");
    EXPECT_TRUE(e.LabelCharIndex->text().isEmpty());
    e.EditText->setText("x");
    click(e.ButtonModify);
    click(e.ButtonDelete);
    EXPECT_TRUE(t.dialogs.asked.empty());
    EXPECT_FALSE(t.matrix.Modified());
    t.matrix.AppendEntry(glyph("q"));
    e.AddMatrixListItem(1);
    EXPECT_EQ(e.EditText->text(), "q") << "a learned glyph is listed and shown at once";
}

struct SetupWindow {
    OcrSettings settings;
    UiDialogs dialogs;
    QTemporaryDir temp;
    std::filesystem::path file{temp.path().toStdString() + "/Mirtal.ini"};
    OcrSetupDialog d{settings, dialogs, file};
    SetupWindow() { dialogs.setScripted(true); }
};

TEST(OcrSetupDialog, FieldsShowTheSettingsWithTheirRangesAndTheBarFollowsTheField) {
    SetupWindow t;
    t.settings.MinLineHeight = 9;
    t.settings.SpaceWidth = -3;
    OcrSetupDialog& d = t.d;
    d.show();
    EXPECT_EQ(d.Word_uLineMinHeight->text() + d.Integer_uMinSpaceWidth->text(), "9-3");
    EXPECT_EQ(d.TrackBarSensibility->value(), 980);
    const std::pair<QLineEdit*, const char*> hints[] = {
        {d.Word_uLineMinHeight, "Entier entre 0 et 45"},
        {d.Word_uMinInterLine, "Entier entre 1 et 50"},
        {d.Word_uCharMinWidth, "Entier entre 1 et 45"},
        {d.Word_uOcrTopDiff, "Entier entre 0 et 45"},
        {d.Word_uSensibility, "Entier entre 0 et 1000"},
        {d.Integer_uMinSpaceWidth, "Entier entre -10 et 45"},
        {d.Integer_uDetectItaWidth, "Entier entre -10 et 10"}};
    for (auto [field, hint] : hints) EXPECT_EQ(field->toolTip(), hint);

    retype(d.Word_uSensibility, "1000");
    EXPECT_EQ(d.TrackBarSensibility->value(), 1000);
    retype(d.Word_uSensibility, "");
    EXPECT_EQ(d.Word_uSensibility->text(), "") << "the bar rewrote a field being typed";
    d.TrackBarSensibility->setValue(450);
    EXPECT_EQ(d.Word_uSensibility->text(), "450");
}

TEST(OcrSetupDialog, OkStoresCheckedFieldsAndCancelDropsTheEdits) {
    SetupWindow t;
    OcrSetupDialog& d = t.d;
    d.show();
    t.dialogs.answers = {Answer::Ok};
    retype(d.Integer_uDetectItaWidth, "-11");
    retype(d.Integer_uMinSpaceWidth, "10");
    d.CheckBoxDetachedChar->setChecked(false);
    EXPECT_TRUE(d.CheckBoxAutoSpaceWidth->isChecked()) << "automatic widths by default";
    d.CheckBoxAutoSpaceWidth->setChecked(false);
    d.ComboBoxNewGlyphs->setCurrentIndex(2);
    d.CheckBoxMarkItalics->setChecked(false);
    click(d.BitBtnOk);
    EXPECT_EQ(t.dialogs.asked.at(0).text, "Valeur trop petite : Valeur minimum = -10");
    EXPECT_TRUE(d.isVisible()) << "a field out of range keeps the dialog open";
    EXPECT_EQ(t.settings.SpaceWidth, 7);
    click(d.BitBtnOk);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(t.settings.DetectItaWidth, -10);
    EXPECT_EQ(t.settings.SpaceWidth, 10);
    EXPECT_FALSE(t.settings.CheckDetachedChar);
    EXPECT_FALSE(t.settings.AutoSpaceWidth);
    EXPECT_EQ(t.settings.NameGlyphs, uint8_t(GlyphNaming::Auto));
    EXPECT_FALSE(t.settings.MarkItalics);

    d.show();
    retype(d.Word_uOcrTopDiff, "40");
    d.CheckBoxAutoSpaceWidth->setChecked(true);
    click(d.BitBtnCancel);
    EXPECT_EQ(t.settings.MaxCharDiffTop, 6);
    EXPECT_FALSE(t.settings.AutoSpaceWidth);
    EXPECT_FALSE(d.CheckBoxAutoSpaceWidth->isChecked());
    EXPECT_EQ(d.Word_uOcrTopDiff->text(), "6");
}

TEST(OcrSetupDialog, DefaultsAndSaveTakeEffectAtOnceAndCannotBeCancelled) {
    SetupWindow t;
    t.settings.Sensibility = 500;
    OcrSetupDialog& d = t.d;
    d.show();
    click(d.ButtonDefaultValues);
    EXPECT_EQ(t.settings, OcrSettings{});
    EXPECT_EQ(d.TrackBarSensibility->value(), 980);
    EXPECT_FALSE(d.BitBtnCancel->isEnabled());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible()) << "only OK closes now";

    retype(d.Word_uSensibility, "955");
    d.CheckBoxAutoSpaceWidth->setChecked(false);
    click(d.ButtonSaveValues);
    EXPECT_EQ(t.settings.Sensibility, 955);
    IniFile ini;
    ASSERT_TRUE(ini.load(t.file));
    EXPECT_EQ(ini.readInteger("OCR SETTING", "Sensibility", 0), 955);
    EXPECT_EQ(ini.readInteger("OCR SETTING", "SpaceWidth", 0), 7);
    EXPECT_FALSE(ini.readBool("OCR SETTING", "AutoSpaceWidth", true));
    click(d.BitBtnOk);
    EXPECT_FALSE(d.isVisible());
    d.show();
    EXPECT_TRUE(d.BitBtnCancel->isEnabled()) << "each showing offers Cancel again";
    EXPECT_TRUE(t.dialogs.asked.empty());
}

} // namespace
