// The program's dialogs on their own: what their controls enable and that
// their buttons reach the engine, whose rules are tested where they live.
#include "AppTestSupport.h"

#include <QSignalSpy>

using namespace mirtal;
using namespace mirtal::test;

namespace {

void click(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->click();
    else
        QTest::mouseClick(w, Qt::LeftButton);
}
void retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}
void radio(QWidget* group, int i) {
    click(group->findChildren<QRadioButton*>().at(i));
}

struct Dialogs : ::testing::Test {
    AppBench b;
    Session& session = b.session();
    SubtitleDocument& doc = session.document();
    UiDialogs& dialogs = b.dialogs();
    SubtitlesWindow& list = *b.app->subtitlesWindow();

    void add(int startMs, int stopMs, std::vector<std::string> lines) {
        doc.AddSubtitle(lines, true, MsToTimeCode(startMs), MsToTimeCode(stopMs), {});
    }
    template <typename T = QWidget> T* in(QWidget* d, const char* name) {
        return control<T>(d, name);
    }
    // The selected line once the list has caught up with the document.
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
    EXPECT_EQ(doc.NbSubTitle(), 3) << "No keeps the text";
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

TEST_F(Dialogs, OutputFormatConvertsOnlyOnConvertAndItsBoxesFollowTheirChoices) {
    OutputFormatDialog& d = *b.app->outputFormat();
    add(1000, 2000, {"sub000001.bmp"});
    d.show();
    EXPECT_FALSE(in(&d, "CheckBoxPhilipsDropFrame")->isEnabled()) << "PAL";
    in<QComboBox>(&d, "ComboBoxPhilipsFrameRate")->setCurrentIndex(1);
    EXPECT_TRUE(in(&d, "CheckBoxPhilipsDropFrame")->isEnabled());
    in<QCheckBox>(&d, "CheckBoxPhilipsUseBmpColor")->click();
    click(in(&d, "BitBtn1")); // Cancel: nothing stored
    EXPECT_EQ(doc.OutputFormat(), ofNative);
    EXPECT_TRUE(doc.options().philips.UseBmpColors);

    d.show();
    EXPECT_EQ(in<QComboBox>(&d, "ComboBoxPhilipsFrameRate")->currentIndex(), 0);
    in<QTabWidget>(&d, "PageControlMirtal")->setCurrentIndex(ofSubViewer);
    click(in(&d, "BitBtnConvert"));
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(doc.OutputFormat(), ofSubViewer);
    EXPECT_EQ(lineText(list, 0), "[TITLE]") << "the list shows the new format";
}

// Split, time correction and post-OCR: a box enables its controls, a field
// out of range is refused with the dialog left open, the list shows the result.
TEST_F(Dialogs, SplitTimeAndPostOcrEnableTheirControlsCheckTheirFieldsAndChangeTheList) {
    SplitDialog& split = *b.app->split();
    add(600000, 602000, {"At 10 min"});
    add(1800000, 1802000, {"At 30 min"});
    split.show();
    EXPECT_FALSE(in(&split, "PanelStartSplit")->isEnabled());
    click(in(&split, "CheckBoxSplit"));
    EXPECT_TRUE(in(&split, "PanelStartSplit")->isEnabled());
    in<TWord_u>(&split, "Word_uMin1")->setText("20");
    dialogs.answers = {Answer::Ok, Answer::Ok};
    click(in(&split, "BitBtn1"));
    EXPECT_TRUE(split.isVisible()) << "stop before start";
    EXPECT_FALSE(doc.SplitActive());
    in<TWord_u>(&split, "Word_uHour2")->setText("1");
    click(in(&split, "BitBtn1"));
    EXPECT_FALSE(split.isVisible());
    EXPECT_EQ(lineCount(list), 4) << "the list shows the part alone";
    click(in(&split, "CheckBoxSplit"));
    click(in(&split, "BitBtn1"));
    ASSERT_FALSE(doc.SplitActive());

    TimeCorrectionDialog& time = *b.app->timeCorrection();
    doc.setModified(false);
    time.show();
    radio(in(&time, "RadioGroupTime"), 0);
    EXPECT_TRUE(in(&time, "PanelFixedTime")->isVisible());
    retype(in<TWord_u>(&time, "Word_uMin"), "75");
    click(in(&time, "BitBtnModifyTC"));
    EXPECT_TRUE(time.isVisible()) << "a field out of range is put right first";
    EXPECT_EQ(in<TWord_u>(&time, "Word_uMin")->text(), "59");
    EXPECT_FALSE(doc.Modified());
    retype(in<TWord_u>(&time, "Word_uMin"), "0");
    retype(in<TWord_u>(&time, "Word_uSec"), "2");
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
        {"ButtonChangeColor", GlyphAction::ChangeColor}};
    for (auto [button, action] : buttons) {
        QTimer::singleShot(0, &d, [&, button] {
            QTest::keyClicks(text, "x");
            click(in(&d, button));
        });
        a = d.ask(q, 0);
        EXPECT_EQ(std::pair(a.action, a.text), std::pair(action, std::string())) << button;
    }
}

// The editor sorts, modifies and deletes through its controls; the matrix
// menu asks before dropping changes and a save refuses the matrix's file.
TEST_F(Dialogs, TheMatrixEditorAndMenuChangeTheMatrixAndSavesRefuseAFileInUse) {
    CharMatrix& m = session.matrix();
    for (const char* t : {"b", "a", "c"}) {
        CharMatrixEntry e;
        e.Text = t, e.Width = 3, e.Height = 4;
        m.AppendEntry(e);
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
    EXPECT_EQ(m.Count(), 3);
    QTest::keyClick(entries, Qt::Key_Delete);
    EXPECT_EQ(m.Count(), 2);

    b.main<QAction>("NewCharaterMatrix1")->trigger();
    EXPECT_EQ(m.Count(), 2) << "cancelled";
    const auto file = b.folder / "c.qmx";
    dialogs.files = {file, file};
    b.main<QAction>("SaveCharacterMatrix1")->trigger();
    const auto saved = std::filesystem::file_size(file);
    add(1000, 2000, {"Hello"});
    in<QAction>(&list, "Saveas1")->trigger();
    EXPECT_NE(b.lastMessage().find("is the character matrix"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(file), saved);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(Dialogs, OcrSetupStoresCheckedFieldsOnOkAndDefaultsCannotBeCancelled) {
    OcrSetupDialog& d = *b.app->ocrSetup();
    OcrSettings& s = session.ocrSettings();
    s.Sensibility = 500;
    d.show();
    retype(in<QLineEdit>(&d, "Word_uSensibility"), "955");
    EXPECT_EQ(in<QSlider>(&d, "TrackBarSensibility")->value(), 955);
    retype(in<QLineEdit>(&d, "Integer_uDetectItaWidth"), "-11");
    dialogs.answers = {Answer::Ok};
    click(in(&d, "BitBtnOk"));
    EXPECT_TRUE(d.isVisible()) << "a field out of range keeps the dialog open";
    EXPECT_EQ(s.Sensibility, 500);
    click(in(&d, "BitBtnOk"));
    EXPECT_EQ(s.Sensibility, 955);
    EXPECT_EQ(s.DetectItaWidth, -10);
    d.show();
    retype(in<QLineEdit>(&d, "Word_uSensibility"), "700");
    click(in(&d, "BitBtnCancel"));
    EXPECT_EQ(s.Sensibility, 955);
    d.show();
    click(in(&d, "ButtonDefaultValues"));
    EXPECT_EQ(s, OcrSettings{});
    EXPECT_FALSE(in(&d, "BitBtnCancel")->isEnabled());
    click(in(&d, "BitBtnOk"));
}

TEST_F(Dialogs, BitmapAdjustRecomposesAtEveryChangeAndItsBoxesEnableTheirControls) {
    Subpicture& sub = session.subpicture(); // a 100 x 40 bar at (200, 400)
    sub.Sequences = {ControlSequence{}};
    sub.Sequences[0].X1 = 200, sub.Sequences[0].Y1 = 400;
    sub.Sequences[0].X2 = 299, sub.Sequences[0].Y2 = 439;
    sub.SequenceCount = 1, sub.Width = 100, sub.Height = 40;
    sub.Bitmap.reset(100, 40, kDrawColor[0]);
    sub.Bitmap.fillRect(10, 10, 90, 30, kDrawColor[1]);
    BitmapAdjustDialog& d = *b.app->bitmapAdjust();
    session.bmpSettings().Cropping.MinX = 120;
    int shown = 0;
    QObject::connect(&b.app->host(), &QtHost::pictureShown, &d, [&] { ++shown; });
    list.show();
    d.show();
    EXPECT_FALSE(list.isVisible()) << "the Subtitles window makes way";
    EXPECT_EQ(in<QSpinBox>(&d, "SpinEditMinX")->value(), 120);
    EXPECT_EQ(session.outputBitmap().width(), 120);
    const int before = shown;
    in<QSpinBox>(&d, "SpinEditMinX")->setValue(200);
    EXPECT_EQ(session.bmpSettings().Cropping.MinX, 200);
    EXPECT_EQ(session.outputBitmap().width(), 200);
    EXPECT_EQ(shown, before + 1);

    in<QCheckBox>(&d, "CheckBoxAllowBmpCropping")->setChecked(false);
    EXPECT_FALSE(in(&d, "GroupBoxSizeConstraints")->isEnabled());
    EXPECT_EQ(session.outputBitmap().width(), 100) << "the subpicture's own size";
    radio(in(&d, "RadioGroupPresetPaletteIndex"), 2); // Philips: indexes forced
    EXPECT_FALSE(in(&d, "ComboBoxColorIndex0")->isEnabled());
    radio(in(&d, "RadioGroupPresetPaletteIndex"), 0); // Free
    EXPECT_TRUE(in(&d, "ComboBoxColorIndex0")->isEnabled());
    click(in(&d, "ButtonSkipPict"));
    EXPECT_FALSE(session.pictureKept());
    EXPECT_TRUE(list.isVisible()) << "and comes back";
}
