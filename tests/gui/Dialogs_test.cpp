// The dialogs: what their controls enable and that their buttons reach the engine.
#include "AppTestSupport.h"
#include "ui/NumericEdit.h"

#include <QSignalSpy>

using namespace mirtal;
using namespace mirtal::test;

namespace {

void click(QWidget* button) {
    qobject_cast<QAbstractButton*>(button)->click();
}
void retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

struct Dialogs : ::testing::Test {
    AppBench b;
    SubtitleDocument& doc = b.session().document();
    UiDialogs& dialogs = b.dialogs();
    SubtitlesWindow& list = *b.app->subtitlesWindow();

    void add(int startMs, int stopMs, std::vector<std::string> lines) {
        doc.addSubtitle(lines, true, msToTimeCode(startMs), msToTimeCode(stopMs), {});
    }
    template <typename T = QWidget> T* in(QWidget* d, const char* name) {
        return control<T>(d, name);
    }
    int shownLine() {
        QCoreApplication::processEvents();
        const QListView* view = in<QListView>(&list, "ListBoxSubtitle");
        const QModelIndex i = view->currentIndex();
        return i.isValid() && view->selectionModel()->isSelected(i) ? i.row() : -1;
    }
};

} // namespace

TEST_F(Dialogs, TheSubtitlesListAppendsFollowsTheNewestLineAndItsCommandsReachTheirDialogs) {
    QSignalSpy reset(in<QListView>(&list, "ListBoxSubtitle")->model(),
                     &QAbstractItemModel::modelReset);
    list.show();
    add(1000, 2000, {"One"});
    add(3000, 4000, {"Two", "lines"});
    EXPECT_EQ(reset.count(), 0) << "appended, not rebuilt";
    EXPECT_EQ(shownLine(), 8);
    click(in(&list, "CheckBoxScrollDown")); // off: left where it is
    add(5000, 6000, {"Three"});
    EXPECT_EQ(shownLine(), 8);
    EXPECT_EQ(in<QLabel>(&list, "LabelNbSubTitle")->text(), "3");

    dialogs.answers = {Answer::No, Answer::Yes};
    in<QAction>(&list, "Clear1")->trigger();
    EXPECT_EQ(doc.nbSubTitle(), 3) << "No keeps the text";
    click(in(&list, "CoolButtonClearSub"));
    EXPECT_EQ(lineCount(list), 0);
    const std::tuple<void (SubtitlesWindow::*)(), const char*, const char*> commands[] = {
        {&SubtitlesWindow::postOcrCorrectionRequested, "CoolButtonSpellingCorrection",
         "PostOCRCorrection1"},
        {&SubtitlesWindow::timeCorrectionRequested, "CoolButtonTimeCorrection", "TimeCorrection1"},
        {&SubtitlesWindow::outputFormatRequested, "CoolButtonOutputFormat", "SetOutputFormat1"},
        {&SubtitlesWindow::splitRequested, "CoolButtonSplitText", "Splitoutputfile1"}};
    SubtitlesWindow own(doc, dialogs, b.app->catalogue(), b.app->settings()); // no dialog opens
    for (const auto& [signal, button, action] : commands) {
        QSignalSpy requested(&own, signal);
        click(in(&own, button));
        in<QAction>(&own, action)->trigger();
        EXPECT_EQ(requested.count(), 2) << action;
    }
}

TEST_F(Dialogs, SplitTimeAndPostOcrEnableTheirControlsAndChangeTheList) {
    SplitDialog& split = *b.app->split();
    add(600000, 602000, {"At 10 min"});
    add(1800000, 1802000, {"At 30 min"});
    split.show();
    EXPECT_FALSE(in(&split, "PanelStartSplit")->isEnabled());
    click(in(&split, "CheckBoxSplit"));
    EXPECT_TRUE(in(&split, "PanelStartSplit")->isEnabled());
    in<QLineEdit>(&split, "Word_uMin1")->setText("20");
    in<QLineEdit>(&split, "Word_uHour2")->setText("1");
    click(in(&split, "BitBtn1"));
    EXPECT_FALSE(split.isVisible());
    EXPECT_EQ(lineCount(list), 4) << "the list shows the part alone";
    click(in(&split, "CheckBoxSplit"));
    click(in(&split, "BitBtn1"));
    ASSERT_FALSE(doc.splitActive());

    TimeCorrectionDialog& time = *b.app->timeCorrection();
    time.show();
    click(in(&time, "RadioGroupTime")->findChildren<QRadioButton*>().at(0));
    EXPECT_TRUE(in(&time, "PanelFixedTime")->isVisible());
    retype(in<QLineEdit>(&time, "Word_uSec"), "2");
    click(in(&time, "BitBtnModifyTC"));
    EXPECT_FALSE(time.isVisible());
    EXPECT_EQ(lineText(list, 1), "00:10:02,000 --> 00:10:04,000");

    PostOcrDialog& post = *b.app->postOcr();
    add(3600000, 3601000, {"''Yes'' lt is"});
    post.show();
    EXPECT_FALSE(in(&post, "RadioGroupCorrectIlLanguage")->isEnabled());
    click(in(&post, "CheckBoxCorrectIl"));
    EXPECT_TRUE(in(&post, "RadioGroupCorrectIlLanguage")->isEnabled());
    click(in(&post, "BitBtnCorrect"));
    EXPECT_FALSE(post.isVisible());
    EXPECT_EQ(lineText(list, 10), "\"Yes\" It is");
}

TEST(NumericFields, OnlyNumbersGetInAndAValueOutOfRangeIsPutRight) {
    auto paste = [](NumericEdit& f, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        f.selectAll();
        f.paste();
        return f.text().toStdString();
    };
    TWord_u word;
    word.setValMax(999);
    word.setText("");
    QTest::keyClicks(&word, "1a2-3 4");
    EXPECT_EQ(word.text(), "123");
    for (const char* bad : {"-5", " 7", "\xef\xbc\x92"})
        EXPECT_EQ(paste(word, QString::fromUtf8(bad)), "123") << bad;
    TInteger_u integer;
    integer.setValMin(-10);
    integer.setText("5");
    for (const char* bad : {"5-5", "--1"}) EXPECT_EQ(paste(integer, bad), "5") << bad;
    EXPECT_EQ(paste(integer, "-12"), "-12");
    UiDialogs dialogs;
    dialogs.setScripted(true);
    dialogs.answers = {Answer::Ok};
    integer.setDialogs(&dialogs);
    EXPECT_FALSE(integer.checkValue());
    EXPECT_EQ(integer.value(), -10);
    EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST_F(Dialogs, NewCharacterButtonsGiveTheirAnswersAndOkOnlyAStorableText) {
    NewCharacterDialog& d = *b.app->newCharacter();
    const Bitmap24 work(40, 30, 0x000000);
    GlyphQuestion q;
    q.box = {10, 5, 8, 20, 0, 0};
    q.lineBoxes = std::span<const CharBox>(&q.box, 1);
    q.workBitmap = &work;
    auto* text = in<QLineEdit>(&d, "EditText");
    dialogs.answers = {Answer::Ok};
    QTimer::singleShot(0, &d, [&] {
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible()) << "Escape made a choice";
        text->setText(QString::fromUtf8("x\xC5\x91")); // Windows-1252 has no byte for it
        click(in(&d, "BitBtn1"));
        EXPECT_TRUE(d.isVisible());
        text->setText(QString::fromUtf8("\xC3\xA9"));
        click(in(&d, "BitBtn1"));
    });
    GlyphAnswer a = d.ask(q, 0);
    EXPECT_EQ(a.action, GlyphAction::Learn);
    EXPECT_EQ(a.text, "\xE9");
    EXPECT_EQ(dialogs.asked.size(), 1u);
    const std::pair<const char*, GlyphAction> buttons[] = {
        {"ButtonSkipLine", GlyphAction::SkipLine},
        {"ButtonSkipSubPict", GlyphAction::SkipSubpicture},
        {"ButtonPause", GlyphAction::Pause},
        {"ButtonChangeColor", GlyphAction::ChangeColour}};
    for (const auto& [name, action] : buttons) {
        const char* button = name;
        QTimer::singleShot(0, &d, [&, button] {
            QTest::keyClicks(text, "x");
            click(in(&d, button));
        });
        a = d.ask(q, 0);
        EXPECT_EQ(std::pair(a.action, a.text), std::pair(action, std::string())) << button;
    }
}

// A save refuses the file the matrix was saved to.
TEST_F(Dialogs, TheMatrixEditorAndMenuChangeTheMatrixAndSavesRefuseAFileInUse) {
    CharMatrix& m = b.session().matrix();
    for (const char* t : {"b", "a", "c"}) {
        CharMatrixEntry e;
        e.Text = t, e.Width = 3, e.Height = 4;
        m.appendEntry(e);
    }
    MatrixEditor& e = *b.app->matrixEditor();
    e.rebuildList();
    auto* entries = in<QListWidget>(&e, "ListBoxMatrix");
    auto listed = [&] {
        std::vector<int> out;
        for (int r = 0; r < entries->count(); ++r)
            out.push_back(matrixItemEntry(entries->item(r)->text()));
        return out;
    };
    EXPECT_EQ(listed(), (std::vector<int>{2, 1, 3})) << "by text";
    entries->setCurrentRow(0); // "a", entry 2
    retype(in<QLineEdit>(&e, "EditText"), "z");
    click(in(&e, "ButtonModify"));
    EXPECT_EQ(m.entry(2).Text, "z");
    EXPECT_EQ(listed(), (std::vector<int>{1, 3, 2})) << "sorted again";
    dialogs.answers = {Answer::No, Answer::Yes, Answer::Cancel, Answer::Ok};
    click(in(&e, "ButtonDelete"));
    EXPECT_EQ(m.count(), 3);
    QTest::keyClick(entries, Qt::Key_Delete);
    EXPECT_EQ(m.count(), 2);

    b.main<QAction>("NewCharaterMatrix1")->trigger();
    EXPECT_EQ(m.count(), 2) << "cancelled";
    const auto file = b.folder / "c.qmx";
    dialogs.files = {file, file};
    b.main<QAction>("SaveCharacterMatrix1")->trigger();
    const auto saved = std::filesystem::file_size(file);
    add(1000, 2000, {"Hello"});
    in<QAction>(&list, "Saveas1")->trigger();
    EXPECT_NE(dialogs.asked.back().text.find("is the character matrix"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(file), saved);
}
