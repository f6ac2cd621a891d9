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
        ASSERT_EQ(window.OpenMirtalFormat1Click(), FlowResult::Done);
        doc.setModified(false);
    }
    std::string start(int i) const { return TimeCodeToStr(doc.store().entry(i).Start); }
    std::string stop(int i) const { return TimeCodeToStr(doc.store().entry(i).Stop); }
    std::string text(int i, int line = 0) const { return doc.store().entry(i).Lines[size_t(line)]; }
    static void type(TWord_u* field, const QString& value) {
        field->selectAll();
        QTest::keyClicks(field, value);
    }
};

const char* const kThreeEntries = "1\r\n00:00:01,000 --> 00:00:01,800\r\nOne\r\n\r\n"
                                  "2\r\n00:00:02,000 --> 00:00:03,000\r\nTwo\r\n\r\n"
                                  "3\r\n00:00:05,000 --> 00:00:06,000\r\nThree\r\n\r\n";

} // namespace

TEST(TimeCorrectionDialog, MinusOffsetAnsweredYesThenNoStopsShiftingThere) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type(b.time.Word_uSec, "2");
    b.time.CheckBoxMinusOffset->setChecked(true);
    b.dialogs.answers = {Answer::Yes, Answer::No};
    QTest::mouseClick(b.time.BitBtnModifyTC, Qt::LeftButton);

    ASSERT_EQ(b.dialogs.asked.size(), 2u);
    EXPECT_EQ(b.dialogs.asked[0].text, "Warning : Time Code 00:00:01,000 will be reduced to "
                                       "00:00:00,000\rDo you want to continue ? ( No undo ! )");
    EXPECT_EQ(b.dialogs.asked[1].text.substr(0, 32), "Warning : Time Code 00:00:02,000");
    EXPECT_EQ(b.start(1), "00:00:00,000");
    EXPECT_EQ(b.stop(1), "00:00:00,000");  // clamped
    EXPECT_EQ(b.start(2), "00:00:02,000"); // No: this one and the rest keep their times
    EXPECT_EQ(b.start(3), "00:00:05,000");
    EXPECT_EQ(b.window.lineText(1), "00:00:00,000 --> 00:00:00,000");
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_FALSE(b.time.isVisible());
    EXPECT_EQ(b.time.lastReport().offset, StepResult::Declined);
    EXPECT_EQ(b.dialogs.unexpected, 0);
}

TEST(TimeCorrectionDialog, LaterStepsRunAfterTheOffsetIsDeclined) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type(b.time.Word_uSec, "3");
    b.time.CheckBoxMinusOffset->setChecked(true);
    b.time.CheckBoxSubDuration->setChecked(true);
    b.time.RadioGroupTime->findChildren<QRadioButton*>().at(0)->click(); // Fixed Time
    b.type(b.time.Word_uFixedDuration, "1500");
    b.type(b.time.Word_uMinInterval, "100");
    b.dialogs.answers = {Answer::No};
    QTest::mouseClick(b.time.BitBtnModifyTC, Qt::LeftButton);
    EXPECT_EQ(b.start(1), "00:00:01,000");
    EXPECT_EQ(b.stop(1), "00:00:01,900"); // limited by the next start, then 100 ms before it
    EXPECT_EQ(b.stop(2), "00:00:03,500");
    EXPECT_EQ(b.stop(3), "00:00:06,500");
}

TEST(TimeCorrectionDialog, ShowingResetsTimesButKeepsDurationSettings) {
    Bench b;
    b.time.show();
    EXPECT_TRUE(b.time.PanelProportionalTime->isVisible());
    EXPECT_FALSE(b.time.PanelFixedTime->isVisible());
    EXPECT_EQ(b.time.Word_uFixedDuration->text(), "4000");
    EXPECT_EQ(b.time.Word_uOffsetDuration->text(), "500");
    EXPECT_EQ(b.time.Word_uMsPerChar->text(), "50");
    b.type(b.time.Word_uMin, "5");
    b.type(b.time.Word_uMSecS, "250");
    b.type(b.time.Word_uMinInterval, "80");
    b.time.CheckBoxMinusStretch->setChecked(true);
    b.time.CheckBoxSubDuration->setChecked(true);
    b.time.RadioGroupTime->findChildren<QRadioButton*>().at(0)->click();
    EXPECT_TRUE(b.time.PanelFixedTime->isVisible());
    EXPECT_FALSE(b.time.PanelProportionalTime->isVisible());
    QTest::mouseClick(b.time.BitBtn1, Qt::LeftButton);

    b.time.show();
    EXPECT_EQ(b.time.Word_uMin->text(), "0");
    EXPECT_EQ(b.time.Word_uMSecS->text(), "0");
    EXPECT_FALSE(b.time.CheckBoxSubDuration->isChecked());
    EXPECT_TRUE(b.time.CheckBoxMinusStretch->isChecked());
    EXPECT_EQ(b.time.Word_uMinInterval->text(), "80");
    EXPECT_EQ(b.time.RadioGroupTime->itemIndex(), 0);

    b.type(b.time.Word_uHour, "1");
    QTest::mouseClick(b.time.ButtonResetOffset, Qt::LeftButton);
    EXPECT_EQ(b.time.Word_uHour->text(), "0");
}

TEST(TimeCorrectionDialog, FieldOutOfRangeIsPutRightBeforeAnythingChanges) {
    Bench b;
    b.load(kThreeEntries);
    b.time.show();
    b.type(b.time.Word_uMin, "75"); // minutes go to 59
    b.dialogs.answers = {Answer::Ok};
    EXPECT_FALSE(b.time.BitBtnModifyTCClick());
    EXPECT_EQ(b.lastQuestion(), "Valeur trop grande : Valeur maximum = 59");
    EXPECT_EQ(b.time.Word_uMin->text(), "59");
    EXPECT_EQ(b.start(1), "00:00:01,000");
    EXPECT_TRUE(b.time.isVisible());
}

TEST(TimeCorrectionDialog, StretchAndMinimumIntervalOnALoadedFile) {
    Bench b;
    b.load("1\r\n00:25:00,000 --> 00:25:02,000\r\nHalf\r\n\r\n"
           "2\r\n00:50:00,000 --> 00:50:02,000\r\nEnd\r\n\r\n");
    b.time.show();
    b.type(b.time.Word_uSecS, "5");
    b.time.CheckBoxMinusStretch->setChecked(true);
    QTest::mouseClick(b.time.BitBtnModifyTC, Qt::LeftButton);
    EXPECT_EQ(b.start(1), "00:24:57,500");
    EXPECT_EQ(b.start(2), "00:49:55,000");

    // A minus stretch beyond the whole file is refused; the durations still change.
    b.time.show();
    b.type(b.time.Word_uHourS, "2");
    b.time.CheckBoxSubDuration->setChecked(true); // proportional: 500 ms + 50 ms a character
    b.dialogs.answers = {Answer::Ok};
    QTest::mouseClick(b.time.BitBtnModifyTC, Qt::LeftButton);
    EXPECT_EQ(b.lastQuestion(), "You can't make a minus time Stretch with a time\rthat is larger "
                                "than the total file time !");
    EXPECT_EQ(b.start(2), "00:49:55,000");
    EXPECT_EQ(b.stop(1), "00:24:58,200");
    EXPECT_EQ(b.stop(2), "00:49:55,650");
    EXPECT_EQ(b.time.lastReport().stretch, StepResult::Refused);
}

TEST(TimeCorrectionDialog, EmptyStoreChangesNothingAndCloses) {
    Bench b;
    b.time.show();
    b.type(b.time.Word_uSec, "4");
    QTest::mouseClick(b.time.BitBtnModifyTC, Qt::LeftButton);
    EXPECT_FALSE(b.time.isVisible());
    EXPECT_TRUE(b.dialogs.asked.empty());
    EXPECT_FALSE(b.doc.Modified());
}

TEST(PostOcrDialog, LanguageChoiceOnlyWhileIlRepairIsTicked) {
    Bench b;
    b.post.show();
    EXPECT_EQ(b.post.windowTitle(), "Post OCR Correction");
    EXPECT_TRUE(b.post.CheckBoxCorrectTwiceAp->isChecked());
    EXPECT_FALSE(b.post.CheckBoxCorrectIl->isChecked());
    EXPECT_FALSE(b.post.RadioGroupCorrectIlLanguage->isEnabled());
    QTest::mouseClick(b.post.CheckBoxCorrectIl, Qt::LeftButton);
    EXPECT_TRUE(b.post.RadioGroupCorrectIlLanguage->isEnabled());
    b.post.CheckBoxCorrectIl->setFocus();
    QTest::keyClick(b.post.CheckBoxCorrectIl, Qt::Key_Space);
    EXPECT_FALSE(b.post.RadioGroupCorrectIlLanguage->isEnabled());
}

TEST(PostOcrDialog, RepairsQuotesAndIlOfALoadedFile) {
    Bench b;
    b.load("1\r\n00:00:01,000 --> 00:00:02,000\r\n''Yes'' and don't\r\nlt's mine\r\n\r\n"
           "2\r\n00:00:03,000 --> 00:00:04,000\r\nlf only\r\nand l said\r\n\r\n"
           "3\r\n00:00:05,000 --> 00:00:06,000\r\nund lch\r\n\r\n");
    b.post.show();
    QTest::mouseClick(b.post.CheckBoxCorrectIl, Qt::LeftButton);
    QTest::mouseClick(b.post.BitBtnCorrect, Qt::LeftButton);
    EXPECT_EQ(b.text(1, 0), "\"Yes\" and don't");
    EXPECT_EQ(b.text(1, 1), "It's mine");
    EXPECT_EQ(b.text(2, 0), "If only");
    EXPECT_EQ(b.text(2, 1), "and I said");
    EXPECT_EQ(b.text(3, 0), "und lch"); // English knows no rule J
    EXPECT_EQ(b.window.lineText(2), "\"Yes\" and don't");
    EXPECT_TRUE(b.doc.Modified());
    EXPECT_FALSE(b.post.isVisible());

    // German, chosen next time: the choice stays from one opening to the next.
    b.post.show();
    EXPECT_TRUE(b.post.CheckBoxCorrectIl->isChecked());
    b.post.RadioGroupCorrectIlLanguage->findChildren<QRadioButton*>().at(2)->click();
    QTest::mouseClick(b.post.BitBtnCorrect, Qt::LeftButton);
    EXPECT_EQ(b.text(3, 0), "und Ich");
}
