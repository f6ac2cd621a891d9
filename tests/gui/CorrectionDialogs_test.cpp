#include "SubtitleWindowsTestSupport.h"
#include "ui/NumericEdit.h"
#include "ui/PostOcrDialog.h"
#include "ui/RadioGroup.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TimeCorrectionDialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

struct Bench : DocumentBench {
    SubtitlesWindow window{doc, dialogs, catalogue, settings};
    TimeCorrectionDialog time{doc, dialogs, catalogue};
    PostOcrDialog post{doc};

    // Reads a native file through File > Open, as the user would.
    void load(const std::string& text) {
        const auto file = folder / "loaded.vtx";
        writeText(file, text);
        dialogs.files.push_back(file);
        trigger(window, "OpenMirtalFormat1");
        ASSERT_GT(doc.NbSubTitle(), 0);
        doc.setModified(false);
    }
    std::string start(int i) const { return TimeCodeToStr(doc.store().entry(i).Start); }
    std::string stop(int i) const { return TimeCodeToStr(doc.store().entry(i).Stop); }
    std::string text(int i, int line = 0) const { return doc.store().entry(i).Lines[size_t(line)]; }
    void type(const char* field, const QString& value) {
        auto* f = control<TWord_u>(&time, field);
        f->selectAll();
        QTest::keyClicks(f, value);
    }
    QString fieldText(const char* field) { return control<TWord_u>(&time, field)->text(); }
    void tick(const char* box) { control<QCheckBox>(&time, box)->setChecked(true); }
    void click(const QDialog& dialog, const char* button) {
        QTest::mouseClick(control<QPushButton>(&dialog, button), Qt::LeftButton);
    }
    void chooseFixedTime() {
        control<RadioGroup>(&time, "RadioGroupTime")->findChildren<QRadioButton*>().at(0)->click();
    }
    bool panelShown(const char* name) { return control<QFrame>(&time, name)->isVisible(); }
};

const char* const kThreeEntries = "1\r\n00:00:01,000 --> 00:00:01,800\r\nOne\r\n\r\n"
                                  "2\r\n00:00:02,000 --> 00:00:03,000\r\nTwo\r\n\r\n"
                                  "3\r\n00:00:05,000 --> 00:00:06,000\r\nThree\r\n\r\n";

} // namespace

TEST(TimeCorrectionDialog, MinusOffsetAnsweredYesThenNoStopsShiftingThere) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type("Word_uSec", "2");
    b.tick("CheckBoxMinusOffset");
    b.dialogs.answers = {Answer::Yes, Answer::No};
    b.click(b.time, "BitBtnModifyTC");

    ASSERT_EQ(b.dialogs.asked.size(), 2u); // the first entry Yes, the second No
    EXPECT_EQ(b.start(1), "00:00:00,000");
    EXPECT_EQ(b.stop(1), "00:00:00,000");  // clamped
    EXPECT_EQ(b.start(2), "00:00:02,000"); // No: this one and the rest keep their times
    EXPECT_EQ(b.start(3), "00:00:05,000");
    EXPECT_EQ(lineText(b.window, 1), "00:00:00,000 --> 00:00:00,000");
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_FALSE(b.time.isVisible());
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(TimeCorrectionDialog, LaterStepsRunAfterTheOffsetIsDeclined) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type("Word_uSec", "3");
    b.tick("CheckBoxMinusOffset");
    b.tick("CheckBoxSubDuration");
    b.chooseFixedTime(); // Fixed Time
    b.type("Word_uFixedDuration", "1500");
    b.type("Word_uMinInterval", "100");
    b.dialogs.answers = {Answer::No};
    b.click(b.time, "BitBtnModifyTC");
    EXPECT_EQ(b.start(1), "00:00:01,000");
    EXPECT_EQ(b.stop(1), "00:00:01,900"); // limited by the next start, then 100 ms before it
    EXPECT_EQ(b.stop(2), "00:00:03,500");
    EXPECT_EQ(b.stop(3), "00:00:06,500");
}

TEST(TimeCorrectionDialog, ShowingResetsTimesButKeepsDurationSettings) {
    Bench b;
    b.time.show();
    EXPECT_TRUE(b.panelShown("PanelProportionalTime"));
    EXPECT_FALSE(b.panelShown("PanelFixedTime"));
    b.type("Word_uMin", "5");
    b.type("Word_uMSecS", "250");
    b.type("Word_uMinInterval", "80");
    b.tick("CheckBoxMinusStretch");
    b.tick("CheckBoxSubDuration");
    b.chooseFixedTime();
    EXPECT_TRUE(b.panelShown("PanelFixedTime"));
    EXPECT_FALSE(b.panelShown("PanelProportionalTime"));
    b.click(b.time, "BitBtn1");

    b.time.show();
    EXPECT_EQ(b.fieldText("Word_uMin"), "0");
    EXPECT_EQ(b.fieldText("Word_uMSecS"), "0");
    EXPECT_FALSE(control<QCheckBox>(&b.time, "CheckBoxSubDuration")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(&b.time, "CheckBoxMinusStretch")->isChecked());
    EXPECT_EQ(b.fieldText("Word_uMinInterval"), "80");
    EXPECT_EQ(control<RadioGroup>(&b.time, "RadioGroupTime")->itemIndex(), 0);

    b.type("Word_uHour", "1");
    b.click(b.time, "ButtonResetOffset");
    EXPECT_EQ(b.fieldText("Word_uHour"), "0");
}

TEST(TimeCorrectionDialog, FieldOutOfRangeIsPutRightBeforeAnythingChanges) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type("Word_uMin", "75"); // minutes go to 59
    b.dialogs.answers = {Answer::Ok};
    b.click(b.time, "BitBtnModifyTC");
    EXPECT_EQ(b.lastQuestion(), "Valeur trop grande : Valeur maximum = 59");
    EXPECT_EQ(b.fieldText("Word_uMin"), "59");
    EXPECT_EQ(b.start(1), "00:00:01,000");
    EXPECT_TRUE(b.time.isVisible());
}

TEST(TimeCorrectionDialog, StretchAndMinimumIntervalOnALoadedFile) {
    Bench b;
    b.load("1\r\n00:25:00,000 --> 00:25:02,000\r\nHalf\r\n\r\n"
           "2\r\n00:50:00,000 --> 00:50:02,000\r\nEnd\r\n\r\n");
    b.time.show();
    b.type("Word_uSecS", "5");
    b.tick("CheckBoxMinusStretch");
    b.click(b.time, "BitBtnModifyTC");
    EXPECT_EQ(b.start(1), "00:24:57,500");
    EXPECT_EQ(b.start(2), "00:49:55,000");

    // A minus stretch beyond the whole file is refused; the durations still change.
    b.time.show();
    b.type("Word_uHourS", "2");
    // Proportional durations: 500 ms + 50 ms a character.
    b.tick("CheckBoxSubDuration");
    b.dialogs.answers = {Answer::Ok};
    b.click(b.time, "BitBtnModifyTC");
    EXPECT_EQ(b.dialogs.asked.size(), 1u); // refused, with a message
    EXPECT_EQ(b.start(2), "00:49:55,000");
    EXPECT_EQ(b.stop(1), "00:24:58,200");
    EXPECT_EQ(b.stop(2), "00:49:55,650");
}

TEST(TimeCorrectionDialog, EmptyStoreChangesNothingAndCloses) {
    Bench b;
    b.time.show();
    b.type("Word_uSec", "4");
    b.click(b.time, "BitBtnModifyTC");
    EXPECT_FALSE(b.time.isVisible());
    EXPECT_TRUE(b.dialogs.asked.empty());
    EXPECT_FALSE(b.doc.Modified());
}

TEST(PostOcrDialog, LanguageChoiceOnlyWhileIlRepairIsTicked) {
    Bench b;
    b.post.show();
    QCheckBox* il = control<QCheckBox>(&b.post, "CheckBoxCorrectIl");
    auto* language = control<RadioGroup>(&b.post, "RadioGroupCorrectIlLanguage");
    EXPECT_FALSE(il->isChecked());
    EXPECT_FALSE(language->isEnabled());
    QTest::mouseClick(il, Qt::LeftButton);
    EXPECT_TRUE(language->isEnabled());
    il->setFocus();
    QTest::keyClick(il, Qt::Key_Space);
    EXPECT_FALSE(language->isEnabled());
}

TEST(PostOcrDialog, RepairsQuotesAndIlOfALoadedFile) {
    Bench b;
    b.load("1\r\n00:00:01,000 --> 00:00:02,000\r\n''Yes'' and don't\r\nlt's mine\r\n\r\n"
           "2\r\n00:00:03,000 --> 00:00:04,000\r\nlf only\r\nand l said\r\n\r\n"
           "3\r\n00:00:05,000 --> 00:00:06,000\r\nund lch\r\n\r\n");
    b.post.show();
    QTest::mouseClick(control<QCheckBox>(&b.post, "CheckBoxCorrectIl"), Qt::LeftButton);
    b.click(b.post, "BitBtnCorrect");
    EXPECT_EQ(b.text(1, 0), "\"Yes\" and don't");
    EXPECT_EQ(b.text(1, 1), "It's mine");
    EXPECT_EQ(b.text(2, 0), "If only");
    EXPECT_EQ(b.text(2, 1), "and I said");
    EXPECT_EQ(b.text(3, 0), "und lch"); // English knows no rule J
    EXPECT_EQ(lineText(b.window, 2), "\"Yes\" and don't");
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_FALSE(b.post.isVisible());

    // German, chosen next time: the choice stays from one opening to the next.
    b.post.show();
    EXPECT_TRUE(control<QCheckBox>(&b.post, "CheckBoxCorrectIl")->isChecked());
    control<RadioGroup>(&b.post, "RadioGroupCorrectIlLanguage")
        ->findChildren<QRadioButton*>()
        .at(2)
        ->click();
    b.click(b.post, "BitBtnCorrect");
    EXPECT_EQ(b.text(3, 0), "und Ich");
}
