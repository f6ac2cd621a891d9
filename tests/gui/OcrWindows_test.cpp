// The OCR windows on their own: text colour selection, new character dialog,
// matrix editor and OCR advanced setup.
#include "Controls.h"
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
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

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
    QObject::connect(&d, &TextColorDialog::previewChanged,
                     [&](const Bitmap24& b) { previews.push_back(b); });
    QObject::connect(&d, &TextColorDialog::closed, [&] { ++hidden; });
    auto* colour = control<QComboBox>(&d, "ComboBoxTextColor");
    auto* ok = control<QPushButton>(&d, "ButtonOk");
    Bitmap24 work(10, 10, state.DrawColor[0]);
    work.fillRect(0, 0, 10, 1, state.DrawColor[1]);
    work.fillRect(0, 4, 10, 6, state.DrawColor[2]);
    colour->setCurrentIndex(0);
    int preselected = -1;
    whenModal([&] {
        preselected = colour->currentIndex();
        EXPECT_EQ(previews.back().pixel(3, 4), 0xFFFFFFu);
        EXPECT_EQ(previews.back().pixel(3, 0), 0x000000u) << "the outline is black";
        colour->setCurrentIndex(1);
        click(ok);
    });
    EXPECT_EQ(d.ask(work), std::optional<int>(1));
    EXPECT_EQ(preselected, 2);
    EXPECT_EQ(previews.front(), work) << "the picture itself comes first";
    EXPECT_EQ(previews.back().pixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(state.TextColor, state.DrawColor[1]);

    // Skip, and Escape, leave the colour unchosen; an empty picture keeps the selection.
    whenModal([&] { click(control<QPushButton>(&d, "ButtonSkipPict")); });
    EXPECT_EQ(d.ask(work), std::nullopt);
    whenModal([&] { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(d.ask(work), std::nullopt);
    colour->setCurrentIndex(3);
    whenModal([&] { click(ok); });
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
    Bitmap24 p = buildLinePicture(l.ask(1), 0x000000);
    ASSERT_EQ(QSize(p.width(), p.height()), QSize(150, 50));
    // Glyph at (150 - 6) / 2 = 72; the line's rows 5..25 (h 21) start at row 14.
    EXPECT_EQ(p.pixel(72, 19), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(77, 33), 0xFFFFFFu);
    EXPECT_EQ(p.pixel(52, 14), 0xFFFFFFu) << "the neighbour at its place in the line";
    for (auto [x, y] : {std::pair{71, 18}, {78, 18}, {71, 34}, {78, 34}, {75, 18}})
        EXPECT_EQ(p.pixel(x, y), kGlyphFrameColor) << x << "," << y;
    EXPECT_EQ(p.pixel(79, 34), 0x000000u);

    Line wide;
    wide.add({20, 2, 160, 10, 0, 0});
    p = buildLinePicture(wide.ask(0), 0x000000);
    EXPECT_EQ(p.pixel(0, 20), 0xFFFFFFu) << "a wide glyph starts at the left edge";

    Line tall;
    tall.add({40, 0, 10, 60, 0, 0});
    tall.work.setPixel(40, 5, 0x0000FF);
    p = buildLinePicture(tall.ask(0), 0x000000);
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
    auto* text = control<QLineEdit>(&d, "EditText");
    auto* ok = control<QPushButton>(&d, "BitBtn1");
    text->setText("old");
    whenModal([&] {
        EXPECT_EQ(control<QLabel>(&d, "LabelIndex")->text(), "Symbol index : 7");
        EXPECT_TRUE(text->text().isEmpty());
        QTest::sendKeyEvent(QTest::Click, text, Qt::Key_unknown, QString::fromUtf8("\xC3\xA9"),
                            Qt::NoModifier);
        QTest::keyClicks(text, "tabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(control<QLabel>(&d, "LabelNbChar")->text(), "20");
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible()) << "Escape made a choice";
        const QString typed = text->text();
        text->setText(QString::fromUtf8("x\xC5\x91")); // Windows-1252 has no byte for it
        click(ok);
        EXPECT_TRUE(d.isVisible()) << "took a character the matrix cannot store";
        text->setText(typed);
        click(ok);
    });
    GlyphAnswer a = d.ask(q, 0x000000);
    EXPECT_EQ(a.action, GlyphAction::Learn);
    EXPECT_EQ(a.text, "\xE9tabcdefghijklmnopqr") << "Windows-1252, 20 characters";
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, catalogue.text(Message::NotStorable) + "U+0151");

    whenModal([&] { QTest::keyClick(text, Qt::Key_Return); });
    EXPECT_EQ(d.ask(q, 0).text, "") << "an empty text is an answer too";

    q.suggestion = "\xE9";
    whenModal([&] { QTest::keyClick(text, Qt::Key_Return); });
    EXPECT_EQ(d.ask(q, 0).text, "\xE9") << "Enter takes the suggestion";
    whenModal([&] {
        QTest::keyClicks(text, "e");
        click(ok);
    });
    EXPECT_EQ(d.ask(q, 0).text, "e") << "typing replaces the selected suggestion";
    q.suggestion.clear();

    const std::pair<const char*, GlyphAction> buttons[] = {
        {"ButtonSkipLine", GlyphAction::SkipLine},
        {"ButtonSkipSubPict", GlyphAction::SkipSubpicture},
        {"ButtonPause", GlyphAction::Pause},
        {"ButtonChangeColor", GlyphAction::ChangeColor}};
    for (auto [button, action] : buttons) {
        whenModal([&, b = button] {
            QTest::keyClicks(text, "x");
            click(control<QPushButton>(&d, b));
        });
        a = d.ask(q, 0);
        EXPECT_EQ(a.action, action) << button;
        EXPECT_EQ(a.text, "");
    }
}

TEST(NewCharacterDialog, AfterTenSilentSecondsBlinks24TimesAndBeepsThrice) {
    UiDialogs dialogs;
    MessageCatalogue catalogue;
    NewCharacterDialog d(dialogs, catalogue);
    int beeps = 0;
    QObject::connect(&d, &NewCharacterDialog::beeped, [&] { ++beeps; });
    auto* wakeUp = control<QTimer>(&d, "TimerWakeUp");
    auto tick = [wakeUp] { QMetaObject::invokeMethod(wakeUp, "timeout"); };
    auto red = [&d] { return d.palette().color(QPalette::Window) == QColor(Qt::red); };
    const QColor face = d.palette().color(QPalette::Window);
    d.show();
    ASSERT_TRUE(wakeUp->isActive());
    const int silence = wakeUp->interval();
    tick();
    EXPECT_LT(wakeUp->interval(), silence) << "the blinking goes faster";
    int toggles = 0;
    for (int i = 0; i < 24; ++i) {
        const bool before = red();
        tick();
        toggles += red() != before;
    }
    EXPECT_EQ(toggles, 24);
    EXPECT_EQ(beeps, 3);
    tick();
    EXPECT_EQ(wakeUp->interval(), silence);
    EXPECT_EQ(d.palette().color(QPalette::Window), face);

    // Typing starts the ten seconds again and stops a blinking under way.
    for (int i = 0; i < 4; ++i) tick();
    ASSERT_TRUE(red());
    QTest::keyClicks(control<QLineEdit>(&d, "EditText"), "a");
    EXPECT_FALSE(red());
    EXPECT_EQ(wakeUp->interval(), silence);
    tick();
    EXPECT_FALSE(red()) << "the blinking starts over, not where it stopped";
    d.hide();
    EXPECT_FALSE(wakeUp->isActive());
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
    QListWidget* list() const { return control<QListWidget>(editor.get(), "ListBoxMatrix"); }
    std::vector<int> listed() const {
        std::vector<int> out;
        for (int r = 0; r < list()->count(); ++r)
            out.push_back(matrixItemEntry(list()->item(r)->text()));
        return out;
    }
    void select(int entry) {
        const std::vector<int> l = listed();
        list()->setCurrentRow(int(std::find(l.begin(), l.end(), entry) - l.begin()));
    }
    int selected() const { return matrixItemEntry(list()->currentItem()->text()); }
    void sortBy(int i) {
        auto* group = control<RadioGroup>(editor.get(), "RadioGroupSort");
        click(group->findChildren<QRadioButton*>().at(i));
    }
    QString shown(const char* label) const { return control<QLabel>(editor.get(), label)->text(); }
    QLineEdit* text() const { return control<QLineEdit>(editor.get(), "EditText"); }
};

TEST(MatrixEditor, ListsByTextOrByNumberAndShowsTheSelectedGlyph) {
    Editor t({"b", "a", "c"});
    MatrixEditor& e = *t.editor;
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix - film.qmx -");
    EXPECT_EQ(t.list()->item(0)->text(), "\"a\"    2");
    EXPECT_EQ(matrixItemEntry(matrixItemText("12", 1000)), 1000);
    EXPECT_EQ(t.listed(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(t.shown("LabelCharIndex"), "2");
    EXPECT_EQ(t.text()->text(), "a");
    EXPECT_EQ(t.shown("LabelRTop") + t.shown("LabelWidth") + t.shown("LabelHeight"), "134");
    const QImage image = control<QLabel>(&e, "ImageChar")->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(6, 8)) << "magnified twice";
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(5, 7)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(Qt::black));

    t.sortBy(1);
    EXPECT_EQ(t.listed(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.shown("LabelCharIndex"), "1");
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
    auto* list = control<QListWidget>(&e, "ListBoxMatrix");
    QListWidgetItem* item = list->item(0); // "a", entry 2
    ASSERT_EQ(matrixItemEntry(item->text()), 2);
    EXPECT_TRUE(item->font().bold());
    EXPECT_FALSE(list->item(1)->font().bold());
    e.show();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    EXPECT_FALSE(item->font().bold());
    EXPECT_FALSE(matrix.entry(2).AutoNamed);
}

TEST(MatrixEditor, ATypedCharacterSelectsTheFirstEntryStartingWithItInListOrder) {
    Editor t({"b", "Cb", "ca", "cb"});
    QTest::keyClick(t.list(), 'c');
    EXPECT_EQ(t.selected(), 3);
    QTest::keyClick(t.list(), 'C', Qt::ShiftModifier);
    EXPECT_EQ(t.selected(), 2) << "case counts";
    QTest::keyClick(t.list(), 'z');
    EXPECT_EQ(t.selected(), 2) << "no such entry: the selection stays";
    t.sortBy(1);
    QTest::keyClick(t.list(), 'c');
    EXPECT_EQ(t.selected(), 3);
}

TEST(MatrixEditor, ModifyResortsTheEntryAndDeleteMovesTheLastIntoItsNumber) {
    Editor t({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    MatrixEditor& e = *t.editor;
    t.select(1);
    t.text()->setText("zz");
    click(control<QPushButton>(&e, "ButtonModify"));
    EXPECT_EQ(t.matrix.entry(1).Text, "zz");
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(t.listed().back(), 1);
    EXPECT_EQ(t.selected(), 1);

    t.matrix.setModified(false);
    t.sortBy(1);
    t.select(5);
    t.dialogs.answers = {Answer::No};
    click(control<QPushButton>(&e, "ButtonDelete"));
    EXPECT_EQ(t.dialogs.asked.back().text, "Delete character \"e\" ?");
    EXPECT_EQ(t.dialogs.asked.back().kind, MessageKind::Confirmation);
    EXPECT_EQ(t.matrix.Count(), 9);
    EXPECT_FALSE(t.matrix.Modified());
    t.dialogs.answers = {Answer::Yes};
    click(control<QPushButton>(&e, "ButtonDelete"));
    EXPECT_EQ(t.matrix.entry(5).Text, "i");
    EXPECT_TRUE(t.matrix.Modified());
    EXPECT_EQ(t.list()->currentRow(), 4) << "the same list position";
    EXPECT_EQ(t.text()->text(), "i");
    // The Delete key does the same.
    t.select(8);
    t.dialogs.answers = {Answer::Yes};
    QTest::keyClick(t.list(), Qt::Key_Delete);
    EXPECT_EQ(t.matrix.Count(), 7);
    EXPECT_EQ(t.selected(), 7);
    EXPECT_EQ(t.dialogs.unexpected, 0);
}

TEST(MatrixEditor, CommentEditsMarkTheMatrixAndAnEmptyMatrixShowsNothing) {
    Editor t({"a"});
    t.matrix.SetComment("Line one\r\nLine two");
    t.matrix.setModified(false);
    MatrixEditor& e = *t.editor;
    auto* memo = control<QPlainTextEdit>(&e, "MemoComment");
    e.rebuildList();
    EXPECT_EQ(memo->toPlainText(), "Line one\nLine two");
    EXPECT_FALSE(t.matrix.Modified()) << "filling the memo is no edit";
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "!");
    EXPECT_EQ(t.matrix.Comment(), "Line one\r\nLine two!");
    EXPECT_TRUE(t.matrix.Modified());
    memo->setPlainText(QString(300, 'x'));
    EXPECT_EQ(t.matrix.Comment(), std::string(255, 'x'));

    t.matrix.ClearMatrix();
    e.rebuildList();
    EXPECT_EQ(e.windowTitle(), "View/Edit Character Matrix -  -");
    EXPECT_TRUE(t.shown("LabelCharIndex").isEmpty());
    t.text()->setText("x");
    click(control<QPushButton>(&e, "ButtonModify"));
    click(control<QPushButton>(&e, "ButtonDelete"));
    EXPECT_TRUE(t.dialogs.asked.empty());
    EXPECT_FALSE(t.matrix.Modified());
    t.matrix.AppendEntry(glyph("q"));
    e.listLearnedEntry(1);
    EXPECT_EQ(t.text()->text(), "q") << "a learned glyph is listed and shown at once";
}

struct SetupWindow {
    OcrSettings settings;
    UiDialogs dialogs;
    QTemporaryDir temp;
    std::filesystem::path file{temp.path().toStdString() + "/Mirtal.ini"};
    OcrSetupDialog d{settings, dialogs, file};
    SetupWindow() { dialogs.setScripted(true); }
    QLineEdit* field(const char* name) { return control<QLineEdit>(&d, name); }
    QCheckBox* check(const char* name) { return control<QCheckBox>(&d, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(&d, name); }
    QSlider* bar() { return control<QSlider>(&d, "TrackBarSensibility"); }
};

TEST(OcrSetupDialog, FieldsShowTheSettingsAndTheBarFollowsTheField) {
    SetupWindow t;
    t.settings.MinLineHeight = 9;
    t.settings.SpaceWidth = -3;
    OcrSetupDialog& d = t.d;
    d.show();
    EXPECT_EQ(t.field("Word_uLineMinHeight")->text() + t.field("Integer_uMinSpaceWidth")->text(),
              "9-3");
    EXPECT_EQ(t.bar()->value(), 980);

    retype(t.field("Word_uSensibility"), "1000");
    EXPECT_EQ(t.bar()->value(), 1000);
    retype(t.field("Word_uSensibility"), "");
    EXPECT_EQ(t.field("Word_uSensibility")->text(), "") << "the bar rewrote a field being typed";
    t.bar()->setValue(450);
    EXPECT_EQ(t.field("Word_uSensibility")->text(), "450");
}

TEST(OcrSetupDialog, OkStoresCheckedFieldsAndCancelDropsTheEdits) {
    SetupWindow t;
    OcrSetupDialog& d = t.d;
    d.show();
    t.dialogs.answers = {Answer::Ok};
    retype(t.field("Integer_uDetectItaWidth"), "-11");
    retype(t.field("Integer_uMinSpaceWidth"), "10");
    t.check("CheckBoxDetachedChar")->setChecked(false);
    t.check("CheckBoxAutoSpaceWidth")->setChecked(false);
    control<QComboBox>(&d, "ComboBoxNewGlyphs")->setCurrentIndex(2);
    t.check("CheckBoxMarkItalics")->setChecked(false);
    click(t.button("BitBtnOk"));
    EXPECT_EQ(t.dialogs.asked.at(0).text, "Valeur trop petite : Valeur minimum = -10");
    EXPECT_TRUE(d.isVisible()) << "a field out of range keeps the dialog open";
    EXPECT_EQ(t.settings.SpaceWidth, 7);
    click(t.button("BitBtnOk"));
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(t.settings.DetectItaWidth, -10);
    EXPECT_EQ(t.settings.SpaceWidth, 10);
    EXPECT_FALSE(t.settings.CheckDetachedChar);
    EXPECT_FALSE(t.settings.AutoSpaceWidth);
    EXPECT_EQ(t.settings.NameGlyphs, uint8_t(GlyphNaming::Auto));
    EXPECT_FALSE(t.settings.MarkItalics);

    d.show();
    retype(t.field("Word_uOcrTopDiff"), "40");
    t.check("CheckBoxAutoSpaceWidth")->setChecked(true);
    click(t.button("BitBtnCancel"));
    EXPECT_EQ(t.settings.MaxCharDiffTop, 6);
    EXPECT_FALSE(t.settings.AutoSpaceWidth);
    EXPECT_FALSE(t.check("CheckBoxAutoSpaceWidth")->isChecked());
    EXPECT_EQ(t.field("Word_uOcrTopDiff")->text(), "6");
}

TEST(OcrSetupDialog, DefaultsAndSaveTakeEffectAtOnceAndCannotBeCancelled) {
    SetupWindow t;
    t.settings.Sensibility = 500;
    OcrSetupDialog& d = t.d;
    d.show();
    click(t.button("ButtonDefaultValues"));
    EXPECT_EQ(t.settings, OcrSettings{});
    EXPECT_EQ(t.bar()->value(), 980);
    EXPECT_FALSE(t.button("BitBtnCancel")->isEnabled());
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible()) << "only OK closes now";

    retype(t.field("Word_uSensibility"), "955");
    t.check("CheckBoxAutoSpaceWidth")->setChecked(false);
    click(t.button("ButtonSaveValues"));
    EXPECT_EQ(t.settings.Sensibility, 955);
    IniFile ini;
    ASSERT_TRUE(ini.load(t.file));
    EXPECT_EQ(ini.readInteger("OCR SETTING", "Sensibility", 0), 955);
    EXPECT_EQ(ini.readInteger("OCR SETTING", "SpaceWidth", 0), 7);
    EXPECT_FALSE(ini.readBool("OCR SETTING", "AutoSpaceWidth", true));
    click(t.button("BitBtnOk"));
    EXPECT_FALSE(d.isVisible());
    d.show();
    EXPECT_TRUE(t.button("BitBtnCancel")->isEnabled()) << "each showing offers Cancel again";
    EXPECT_TRUE(t.dialogs.asked.empty());
}

} // namespace
