#include "ui/NumericEdit.h"
#include "ui/UiDialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace mirtal;

namespace {

struct Fields {
    UiDialogs dialogs;
    Fields() {
        dialogs.setScripted(true);
        dialogs.answers.assign(8, Answer::Ok);
    }
    std::string lastMessage() const {
        return dialogs.asked.empty() ? "" : dialogs.asked.back().text;
    }
};

} // namespace

TEST(NumericFields, WordFieldLimitsTypingToItsDigits) {
    TWord_u f;
    f.setValMax(999);
    f.setText("");
    QTest::keyClicks(&f, "1a2-3 4");
    EXPECT_EQ(f.text(), "123"); // letters, signs and blanks never get in; 3 digits at most
    EXPECT_EQ(f.toolTip(), "Entier entre 0 et 999");
}

TEST(NumericFields, EmptyWordFieldIsReportedAndSetToMinimum) {
    Fields t;
    TWord_u f;
    f.setDialogs(&t.dialogs);
    f.setValMax(999);
    f.setText("");
    EXPECT_FALSE(f.checkValue());
    EXPECT_EQ(t.lastMessage(), "Valeur comprise entre 0 et 999 attendue.");
    EXPECT_EQ(f.text(), "0");
    EXPECT_EQ(f.value(), 0);
}

TEST(NumericFields, WordAbove65535IsTooLarge) {
    Fields t;
    TWord_u f;
    f.setDialogs(&t.dialogs);
    f.setText("70000");
    EXPECT_FALSE(f.checkValue());
    EXPECT_EQ(t.lastMessage(), "Valeur trop grande : Valeur maximum = 65535");
    EXPECT_EQ(f.value(), 65535);
}

TEST(NumericFields, IntegerBelowMinimumAndLoneMinus) {
    Fields t;
    TInteger_u f;
    f.setDialogs(&t.dialogs);
    f.setValMin(-10);
    f.setValMax(45);
    f.setText("-12");
    EXPECT_FALSE(f.checkValue());
    EXPECT_EQ(t.lastMessage(), "Valeur trop petite : Valeur minimum = -10");
    EXPECT_EQ(f.value(), -10);
    size_t before = t.dialogs.asked.size();
    f.setText("-");
    EXPECT_TRUE(f.checkValue());
    EXPECT_EQ(t.dialogs.asked.size(), before) << "a lone minus reads as the minimum, silently";
    EXPECT_EQ(f.value(), -10);
    EXPECT_EQ(f.maxLength(), 3);
}

TEST(NumericFields, DefaultIntegerBoundsShowSixCharacters) {
    Fields t;
    TInteger_u f;
    f.setDialogs(&t.dialogs);
    f.setText("");
    f.checkValue();
    EXPECT_EQ(t.lastMessage(), "Valeur comprise entre -21474 et 214748 attendue.");
}

TEST(NumericFields, RangeNeverExcludesTheCurrentValue) {
    TWord_u f;
    f.setValue(20);
    f.setValMax(10);
    EXPECT_EQ(f.ValMax(), 20);
    f.setValMin(30);
    EXPECT_EQ(f.ValMin(), 20);
    f.setValue(5);
    EXPECT_EQ(f.value(), 20) << "writes are clamped into the range";
}

TEST(NumericFields, SilentCorrectionWithoutErrorMsg) {
    Fields t;
    TWord_u f;
    f.setDialogs(&t.dialogs);
    f.setErrorMsg(false);
    f.setValMax(59);
    f.setText("75");
    EXPECT_FALSE(f.checkValue());
    EXPECT_TRUE(t.dialogs.asked.empty());
    EXPECT_EQ(f.value(), 59);
}

// Pasting goes round the key filter: what is not a number never gets in,
// rather than showing until the field is left and then reading as the minimum.
TEST(NumericFields, PastedTextGetsInOnlyAsANumber) {
    auto paste = [](NumericEdit& f, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        f.selectAll();
        f.paste();
        return f.text().toStdString();
    };
    TWord_u word;
    word.setValMax(999);
    word.setText("5");
    for (const char* bad : {"De", "5-5", "-5", " 7", "1.5", "\xef\xbc\x92"})
        EXPECT_EQ(paste(word, QString::fromUtf8(bad)), "5") << bad;
    EXPECT_EQ(paste(word, "42"), "42");
    TInteger_u integer;
    integer.setText("5");
    for (const char* bad : {"De", "5-5", "--1", "1-"}) EXPECT_EQ(paste(integer, bad), "5") << bad;
    EXPECT_EQ(paste(integer, "-12"), "-12");
}
