#include "Controls.h"
#include "LanguageBitmapSupport.h"
#include "ScriptedAnswers.h"
#include "settings/SettingsFile.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/ProgressionDialog.h"
#include "ui/RadioGroup.h"
#include "ui/SubtitlesWindow.h"
#include "ui/WidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

// A 100 x 40 subpicture at (200, 400): an outlined bar of text colour.
void paintSubpicture(Session& session) {
    Subpicture& sub = session.subpicture();
    ControlSequence cs;
    cs.X1 = 200;
    cs.Y1 = 400;
    cs.X2 = 299;
    cs.Y2 = 439;
    sub.Sequences = {cs};
    sub.SequenceCount = 1;
    sub.Width = 100;
    sub.Height = 40;
    sub.Bitmap.reset(100, 40, kDrawColor[0]);
    sub.Bitmap.fillRect(10, 10, 90, 30, kDrawColor[1]);
    sub.Bitmap.fillRect(12, 12, 88, 28, kDrawColor[2]);
}

QRadioButton* item(RadioGroup* group, int i) {
    return group->findChildren<QRadioButton*>()[i];
}

// What a user's choice in a combo box does: a new current item, then the
// activation.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

struct BitmapAdjust : ::testing::Test {
    ScratchFolder folder;
    std::unique_ptr<Application> app = makeApp(folder.path());
    Session& session = app->session();
    BitmapAdjustDialog& form = *app->bitmapAdjust();
    UiDialogs& dialogs = app->dialogs();
    std::vector<Rect> shown; // pictures sent to the main window's preview

    BitmapAdjust() {
        paintSubpicture(session);
        QObject::connect(&app->host(), &QtHost::pictureShown, &form,
                         [this](const QImage&, const Rect& r) { shown.push_back(r); });
    }
    ~BitmapAdjust() override { form.hide(); }
    void open() { form.show(); }
    template <typename T> T* get(const char* name) const { return control<T>(&form, name); }
    // The slot's controls on the Colors tab.
    QComboBox* dvdCode(int slot) const { return slotCombo("ComboBoxDVDColor", slot); }
    QComboBox* paletteIndex(int slot) const { return slotCombo("ComboBoxColorIndex", slot); }
    QComboBox* slotCombo(const std::string& name, int slot) const {
        return get<QComboBox>((name + std::to_string(slot)).c_str());
    }
};

} // namespace

TEST_F(BitmapAdjust, OpeningFillsEveryControlFromTheSettingsAndShowsTheComposedPicture) {
    BmpOutputSettings& s = session.bmpSettings();
    s.Cropping.MinX = 120;
    s.Cropping.XPosMode = 2;
    s.Colors.PresetColorPalIndex = 0;
    s.Colors.ColorPalIndex = {4, 5, 6, 7};
    s.Colors.BitPerPixel = 8;
    s.Colors.Color[1] = 0x00FF00;
    s.Positioning.Enabled = true;
    s.Positioning.YPosMode = 3;
    s.Positioning.SetTo.Y = 500;
    open();

    EXPECT_TRUE(session.pictureKept());
    EXPECT_EQ(get<QSpinBox>("SpinEditMinX")->value(), 120);
    EXPECT_EQ(get<RadioGroup>("RadioGroupHAlignment")->itemIndex(), 2);
    EXPECT_EQ(paletteIndex(2)->currentIndex(), 6);
    EXPECT_TRUE(paletteIndex(2)->isEnabled()); // "Free"
    EXPECT_EQ(get<QComboBox>("ComboBoxBitPerPixel")->currentIndex(), 1);
    EXPECT_EQ(swatchColour(get<QFrame>("PanelColor1")), 0x00FF00u);
    EXPECT_TRUE(get<QRadioButton>("RadioButtonTopSetTo")->isChecked());
    EXPECT_FALSE(get<QRadioButton>("RadioButtonLeftCenter")->isChecked());
    EXPECT_EQ(get<QSpinBox>("SpinEditTopPosition")->value(), 500);
    EXPECT_TRUE(get<QGroupBox>("GroupBoxTopPosition")->isEnabled());
    // Filling wrote nothing back: the settings are as they were given.
    EXPECT_EQ(s.Cropping.MinX, 120);
    EXPECT_EQ((s.Colors.ColorPalIndex), (std::array<uint8_t, 4>{4, 5, 6, 7}));
    // The picture is composed with them and shown at its output rectangle.
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(session.outputBitmap().width(), 120);
    EXPECT_EQ(session.outputBitmap().bitsPerPixel(), 8);
    EXPECT_EQ(shown.back().Y1, 500);
    EXPECT_EQ(shown.back(), session.outputRect());
    // The automatic colour order of this picture: background, text, outline.
    EXPECT_EQ(session.composer().DvdColorOrder()[0], 0);
    EXPECT_EQ(dvdCode(1)->currentIndex(), session.composer().DvdColorOrder()[1]);
}

TEST_F(BitmapAdjust, EveryChangeRecomposesAndShowsThePicture) {
    open();
    shown.clear();
    get<QSpinBox>("SpinEditMinX")->setValue(200);
    EXPECT_EQ(session.bmpSettings().Cropping.MinX, 200);
    EXPECT_EQ(session.outputBitmap().width(), 200);
    ASSERT_EQ(shown.size(), 1u);

    item(get<RadioGroup>("RadioGroupHAlignment"), 0)->click();
    EXPECT_EQ(session.bmpSettings().Cropping.XPosMode, 0);
    get<QSpinBox>("SpinEditYShift")->setValue(-3);
    EXPECT_EQ(session.bmpSettings().Cropping.PosShift.Y, -3);

    get<QCheckBox>("CheckBoxAllowPositionChange")->setChecked(true);
    EXPECT_TRUE(get<QGroupBox>("GroupBoxLeftPosition")->isEnabled());
    get<QRadioButton>("RadioButtonLeftSetTo")->click();
    get<QSpinBox>("SpinEditLeftPosition")->setValue(700); // clamped to the frame: 720 - 200
    EXPECT_EQ(session.bmpSettings().Positioning.XPosMode, 3);
    EXPECT_EQ(session.outputRect().X1, 520);
    EXPECT_EQ(shown.back().X1, 520);
    EXPECT_EQ(shown.size(), 6u);
}

TEST_F(BitmapAdjust, UntickingCroppingDisablesItsControlsAndTickingAgainRestoresTheConstraints) {
    session.bmpSettings().Cropping.MinY = 90;
    open();
    get<QCheckBox>("CheckBoxAllowBmpCropping")->setChecked(false);
    EXPECT_FALSE(get<QGroupBox>("GroupBoxSizeConstraints")->isEnabled());
    EXPECT_FALSE(get<QFrame>("PanelAlignment")->isEnabled());
    EXPECT_FALSE(session.bmpSettings().Cropping.Enabled);
    EXPECT_EQ(session.outputBitmap().height(), 40); // the subpicture's own size
    get<QCheckBox>("CheckBoxAllowBmpCropping")->setChecked(true);
    EXPECT_TRUE(get<QGroupBox>("GroupBoxSizeConstraints")->isEnabled());
    EXPECT_EQ(session.bmpSettings().Cropping.MinY, 90);
    EXPECT_EQ(session.outputBitmap().height(), 90);
}

TEST_F(BitmapAdjust, PresetsForceTheirIndexesAndDepthAndFreeKeepsThem) {
    session.bmpSettings().Colors.PresetColorPalIndex = 0;
    session.bmpSettings().Colors.ColorPalIndex = {7, 6, 5, 4};
    open();
    choose(paletteIndex(0), 9);
    EXPECT_EQ(session.bmpSettings().Colors.ColorPalIndex[0], 9);

    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 2)->click(); // Philips
    const BmpColors& c = session.bmpSettings().Colors;
    EXPECT_EQ(c.PresetColorPalIndex, 2);
    EXPECT_EQ((c.ColorPalIndex), (std::array<uint8_t, 4>{0, 1, 2, 3}));
    EXPECT_EQ(c.BitPerPixel, 8);
    EXPECT_EQ(get<QComboBox>("ComboBoxBitPerPixel")->currentIndex(), 1);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(paletteIndex(k)->currentIndex(), k);
        EXPECT_FALSE(paletteIndex(k)->isEnabled());
    }
    EXPECT_EQ(session.outputBitmap().bitsPerPixel(), 8);

    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 0)->click(); // Free
    EXPECT_EQ((c.ColorPalIndex), (std::array<uint8_t, 4>{0, 1, 2, 3}));
    EXPECT_EQ(c.BitPerPixel, 8);
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(paletteIndex(k)->isEnabled());

    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 1)->click(); // I-Author
    EXPECT_EQ(c.BitPerPixel, 4);
    EXPECT_EQ(session.outputBitmap().bitsPerPixel(), 4);
}

TEST_F(BitmapAdjust, APaletteIndexUsedByAnotherSlotIsRefused) {
    session.bmpSettings().Colors.PresetColorPalIndex = 0;
    open();
    choose(paletteIndex(0), 2); // slot 2 has it
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, MessageKind::Warning);
    EXPECT_EQ(dialogs.asked[0].text, "You can't select the same Palette Index twice !!");
    EXPECT_EQ(paletteIndex(0)->currentIndex(), 0);
    EXPECT_EQ((session.bmpSettings().Colors.ColorPalIndex), (std::array<uint8_t, 4>{0, 1, 2, 3}));

    choose(paletteIndex(3), 3); // its own index: nothing to refuse
    choose(paletteIndex(3), 12);
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(session.bmpSettings().Colors.ColorPalIndex[3], 12);
    EXPECT_EQ(session.outputBitmap().palette[12], session.bmpSettings().Colors.Color[3]);
    EXPECT_EQ(session.outputBitmap().palette[3], session.bmpSettings().Colors.UnusedColor);
}

TEST_F(BitmapAdjust, ChoosingADvdCodeSwapsItWithTheSlotThatHadIt) {
    open();
    session.composer().SetDvdColorOrder({0, 1, 2, 3});
    choose(dvdCode(1), 3); // "Font" set to 3
    EXPECT_EQ((session.composer().DvdColorOrder()), (DvdColorOrder{0, 3, 2, 1}));
    EXPECT_EQ(dvdCode(3)->currentIndex(), 1);
    EXPECT_EQ(session.composer().CompareColor()[1], kDrawColor[3]);
    EXPECT_EQ(session.composer().CompareColor()[3], kDrawColor[1]);

    choose(dvdCode(2), 2); // the code it already has
    EXPECT_EQ((session.composer().DvdColorOrder()), (DvdColorOrder{0, 3, 2, 1}));

    // An order that is not yet a permutation only changes the slot chosen.
    EXPECT_EQ((chooseDvdCode({0, 0, 0, 0}, 2, 3)), (DvdColorOrder{0, 0, 3, 0}));
    EXPECT_EQ((chooseDvdCode({3, 2, 1, 0}, 0, 0)), (DvdColorOrder{0, 2, 1, 3}));
}

TEST_F(BitmapAdjust, AutoSortColorsOrdersTheCodesOfThePictureAtHand) {
    open();
    session.composer().SetDvdColorOrder({3, 2, 1, 0});
    get<QPushButton>("ButtonAutoSortColor")->click();
    const DvdColorOrder order = session.composer().DvdColorOrder();
    EXPECT_EQ(order[0], 0); // the most pixels: background
    EXPECT_EQ(order[1], 2); // the text body
    EXPECT_EQ(order[2], 1); // its outline
    for (int k = 0; k < 4; ++k) EXPECT_EQ(dvdCode(k)->currentIndex(), order[size_t(k)]);
}

TEST_F(BitmapAdjust, SwatchesTakeThePickedColourAndCancelKeepsIt) {
    open();
    shown.clear();
    dialogs.colors.push_back(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(get<QFrame>("PanelColor1"), Qt::LeftButton);
    EXPECT_EQ(session.bmpSettings().Colors.Color[1], 0x563412u);
    EXPECT_EQ(session.outputBitmap().palette[1], 0x563412u);

    dialogs.colors.push_back(std::nullopt);
    QTest::mouseClick(get<QFrame>("PanelUnusedColor"), Qt::LeftButton);
    EXPECT_EQ(session.bmpSettings().Colors.UnusedColor, 0u);
    EXPECT_EQ(shown.size(), 2u); // recomposed after Cancel too

    dialogs.colors.push_back(QColor(0xFF, 0, 0));
    QTest::mouseClick(get<QFrame>("PanelUnusedColor"), Qt::LeftButton);
    EXPECT_EQ(session.outputBitmap().palette[15], 0x0000FFu);
}

TEST_F(BitmapAdjust, ProfileWithOnlyTheColorSectionResetsCroppingAndPositioning) {
    BmpOutputSettings& s = session.bmpSettings();
    s.Cropping = {false, 300, 100, 16, 4, 0, 2, {5, 6}};
    s.Positioning.Enabled = true;
    s.Positioning.XPosMode = 2;
    const auto profile = folder / "colours.ini";
    writeText(profile,
              "[BMP OUT COLOR]\r\nBitPerPixel=8\r\nColor_1=255\r\nPresetColorPalIndex=0\r\n"
              "ColorPalIndex_0=9\r\n");
    open();
    dialogs.files.push_back(profile);
    get<QPushButton>("ButtonLoadProfile")->click();

    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].initialFolder, app->settingsFolder());
    EXPECT_EQ(get<QLabel>("LabelCurrentProfile")->text(), "colours.ini");

    EXPECT_EQ(s.Cropping, BmpCropping{});
    EXPECT_EQ(s.Positioning, BmpPositioning{});
    EXPECT_EQ(s.Colors.BitPerPixel, 8);
    EXPECT_EQ(s.Colors.Color[1], 255u);
    EXPECT_EQ(s.Colors.ColorPalIndex[0], 9);
    EXPECT_TRUE(get<QCheckBox>("CheckBoxAllowBmpCropping")->isChecked());
    EXPECT_EQ(get<QSpinBox>("SpinEditMinX")->value(), 16);
    EXPECT_EQ(get<QSpinBox>("SpinEditMinY")->value(), 50);
    EXPECT_EQ(get<RadioGroup>("RadioGroupVAlignment")->itemIndex(), 1);
    EXPECT_FALSE(get<QCheckBox>("CheckBoxAllowPositionChange")->isChecked());
    EXPECT_FALSE(get<QGroupBox>("GroupBoxLeftPosition")->isEnabled());
    EXPECT_TRUE(get<QRadioButton>("RadioButtonLeftKeep")->isChecked());
    EXPECT_EQ(paletteIndex(0)->currentIndex(), 9);
    EXPECT_EQ(session.outputBitmap().bitsPerPixel(), 8);
    get<QSpinBox>("SpinEditMinX")->setValue(40);
    EXPECT_EQ(s.Cropping.MinX, 40) << "the controls are read again after the load";
}

TEST_F(BitmapAdjust, SavedProfileLoadsBackAndAFailedLoadChangesNothing) {
    open();
    get<QSpinBox>("SpinEditDivX")->setValue(16);
    get<QSpinBox>("SpinEditAddTopPos")->setValue(-7);
    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 2)->click();
    const BmpOutputSettings saved = session.bmpSettings();

    dialogs.files.push_back(folder / "mine"); // typed without the extension
    get<QPushButton>("ButtonSaveProfile")->click();
    EXPECT_EQ(get<QLabel>("LabelCurrentProfile")->text(), "mine.ini");
    BmpOutputSettings read;
    ASSERT_TRUE(LoadBmpOutputSettings(folder / "mine.ini", read));
    EXPECT_EQ(read, saved);

    session.bmpSettings() = BmpOutputSettings{};
    dialogs.files.push_back(folder / "mine.ini");
    get<QPushButton>("ButtonLoadProfile")->click();
    EXPECT_EQ(session.bmpSettings(), saved);
    EXPECT_EQ(get<QSpinBox>("SpinEditDivX")->value(), 16);

    // A folder is no profile: reported, and nothing changes.
    dialogs.answers.push_back(Answer::Ok);
    dialogs.files.push_back(folder.path());
    get<QPushButton>("ButtonLoadProfile")->click();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(session.bmpSettings(), saved);
    EXPECT_EQ(get<QLabel>("LabelCurrentProfile")->text(), "mine.ini");
}

TEST_F(BitmapAdjust, SaveCurrentBmpWritesTheComposedPicture) {
    open();
    dialogs.files.push_back(folder / "current");
    get<QPushButton>("ButtonSaveBMP")->click();
    const std::string bytes = readText(folder / "current.bmp");
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(uint8_t(bytes[18]), session.outputBitmap().width());

    dialogs.files.push_back(std::nullopt); // cancelled: nothing written, nothing asked
    get<QPushButton>("ButtonSaveBMP")->click();
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(BitmapAdjust, OkWithAnAuthoringPresetSwitchesTheOutputFormat) {
    open();
    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 2)->click();
    session.requestAdjustment();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(session.adjustmentDue());
    EXPECT_EQ(session.document().OutputFormat(), ofPhilips);

    open();
    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 1)->click();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(session.document().OutputFormat(), ofIAuthor);

    // Free leaves the format alone; the output format dialog's Convert runs
    // when its owner provides it.
    session.document().setOutputFormat(ofSubViewer);
    open();
    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 0)->click();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(session.document().OutputFormat(), ofSubViewer);
    open();
    item(get<RadioGroup>("RadioGroupPresetPaletteIndex"), 1)->click();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(session.document().OutputFormat(), ofIAuthor);
}

TEST_F(BitmapAdjust, TheSubtitlesWindowIsHiddenWhileOpenAndComesBack) {
    QWidget& subtitles = *app->subtitlesWindow();
    subtitles.show();
    open();
    EXPECT_FALSE(subtitles.isVisible());
    get<QPushButton>("ButtonSkipPict")->click();
    EXPECT_FALSE(session.pictureKept());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(subtitles.isVisible());

    subtitles.hide(); // hidden by the user meanwhile: stays hidden
    open();
    get<QPushButton>("BitBtn1")->click();
    EXPECT_FALSE(subtitles.isVisible());
}

TEST_F(BitmapAdjust, ReduceLeavesOnlyItsButtonAndRestoresTheTabShape) {
    open();
    auto* outline = get<QTimer>("Timer1");
    ASSERT_TRUE(outline->isActive());
    QMetaObject::invokeMethod(outline, "timeout");
    EXPECT_FALSE(form.mask().isEmpty());
    const QSize full = form.size();
    EXPECT_EQ(full, form.layout()->sizeHint()) << "what the texts need";

    get<QPushButton>("ButtonReduceWindow")->click();
    EXPECT_EQ(form.size(), QSize(30, 32));
    EXPECT_FALSE(get<QTabWidget>("PageControl1")->isVisible());
    EXPECT_TRUE(get<QPushButton>("ButtonReduceWindow")->isVisible());
    EXPECT_FALSE(get<QPushButton>("BitBtn1")->isVisible());
    EXPECT_TRUE(form.mask().isEmpty());

    get<QPushButton>("ButtonReduceWindow")->click();
    EXPECT_EQ(form.size(), full);
    EXPECT_TRUE(get<QTabWidget>("PageControl1")->isVisible());
    EXPECT_FALSE(form.mask().isEmpty());
}

TEST(BitmapAdjustOutline, TabHeadersOverARectangularBody) {
    const QRegion r = tabOutline(387, 229, 200);
    EXPECT_TRUE(r.contains(QPoint(10, 8)));   // on the tab headers
    EXPECT_FALSE(r.contains(QPoint(300, 8))); // beside them
    EXPECT_TRUE(r.contains(QPoint(300, 25))); // the body
    EXPECT_TRUE(r.contains(QPoint(386, 228)));
    EXPECT_FALSE(r.contains(QPoint(0, 1))); // the rounded corner
    // Header ends out of range give the full width.
    EXPECT_TRUE(tabOutline(387, 229, 100).contains(QPoint(380, 8)));
    EXPECT_TRUE(tabOutline(387, 229, 500).contains(QPoint(380, 8)));
}

// ---------------------------------------------------------------------------
// The dialog in the rip: BMP and show-only actions

namespace {

struct BitmapAdjustRip : ::testing::Test {
    ScratchFolder folder;
    std::unique_ptr<Application> app = makeApp(folder.path());
    Session& session = app->session();
    BitmapAdjustDialog& form = *app->bitmapAdjust();
    std::vector<bool> openings; // SavePicture as the dialog found it, per opening

    // Each opening is answered with the next button (the last one again when
    // asked more often), clicked once the dialog runs its own loop.
    std::unique_ptr<test::ScriptedAnswers> answers;

    void answerWith(std::vector<const char*> buttons) {
        if (!answers) answers = std::make_unique<test::ScriptedAnswers>(app->host());
        answers->onAdjustBitmap = [this, buttons] {
            QTimer::singleShot(0, [this, buttons] {
                openings.push_back(session.pictureKept());
                const size_t i = std::min(openings.size(), buttons.size()) - 1;
                control<QPushButton>(&form, buttons[i])->click();
            });
            return answers->windows.adjustBitmap();
        };
    }

    void run(uint8_t action) {
        JobSetup setup;
        setup.files = {fixtureVob("pal_en")};
        setup.action = action;
        setup.picturePrefix = (folder / "pic_").string();
        setup.withTimingAndPosition = true;
        const Result started = session.startJob(setup);
        ASSERT_TRUE(started) << started.error;
        for (int i = 0; i < 4 && !session.job().finished(); ++i) app->tick();
        ASSERT_TRUE(session.job().finished());
    }
};

} // namespace

TEST_F(BitmapAdjustRip, SkippedPictureWritesNothingAndTheDialogComesBackUntilOk) {
    answerWith({"ButtonSkipPict", "BitBtn1"});
    run(kActionBmp);
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(folder / "pic_000001.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "pic_000002.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "pic_000046.bmp"));
    EXPECT_FALSE(session.adjustmentDue());
    // One entry per saved picture, the skipped one left out.
    ASSERT_EQ(session.document().NbSubTitle(), 45);
    EXPECT_EQ(session.document().store().entry(1).Lines[0], "pic_000002.bmp");
}

TEST_F(BitmapAdjustRip, ShowOnlyAsksOnTheFirstPictureAndChangeColorsAsksAgain) {
    int waits = 0;
    test::ScriptedAnswers answers(app->host());
    answers.onWaitAtProgression = [&] {
        ++waits;
        return ProgressionChoice::Next;
    };
    answerWith({"BitBtn1", "BitBtn1"});
    run(kActionShow);
    EXPECT_EQ(openings.size(), 1u);
    EXPECT_EQ(waits, 46);

    // The progression controller's "Change Colors" on the last picture.
    session.requestAdjustment();
    control<QPushButton>(app->progression(), "ButtonChangeColor")->click();
    EXPECT_EQ(openings.size(), 2u);
    EXPECT_FALSE(session.adjustmentDue());
}
