#include "AppTestSupport.h"
#include "ui/JpegImage.h"
#include "ui/RadioGroup.h"
#include "ui/WidgetSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

// A standalone main window with its own settings, dialogs and catalogue.
struct WindowBench {
    PreviewSettings preview;
    UiDialogs dialogs;
    MessageCatalogue catalogue;
    TempFolder folder;
    MainWindow w{preview, dialogs, catalogue, folder.path()};
    WindowBench() {
        dialogs.setScripted(true);
        QLocale::setDefault(QLocale::c());
    }
};

QImage picture(int w, int h, QColor c = Qt::white) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A baseline JPEG of one colour, written with libjpeg.
void writeJpeg(const std::filesystem::path& file, int w, int h, QColor c) {
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[size_t(x) * 3] = uchar(c.red());
        row[size_t(x) * 3 + 1] = uchar(c.green());
        row[size_t(x) * 3 + 2] = uchar(c.blue());
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(out);
}

bool near(QRgb a, QColor b) {
    return std::abs(qRed(a) - b.red()) < 6 && std::abs(qGreen(a) - b.green()) < 6 &&
           std::abs(qBlue(a) - b.blue()) < 6;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint global, Qt::MouseButtons buttons,
               ulong time = 0) {
    const QPointF local = w->mapFromGlobal(global);
    QMouseEvent e(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    e.setTimestamp(time);
    QCoreApplication::sendEvent(w, &e);
}

QString ratioText(MainWindow& w) {
    return control<QFrame>(&w, "PanelRatio")->findChild<QLabel*>()->text();
}

QString labelText(MainWindow& w, const char* name) {
    return control<QLabel>(&w, name)->text();
}

} // namespace

// What the user sees of a window that has shown nothing yet.
TEST(MainWindow, StartsIdleAtItsSizeWithTheOptionsHidden) {
    WindowBench b;
    MainWindow& w = b.w;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(w.size(), QSize(743, 686).boundedTo(screen));
    EXPECT_FALSE(control<QPushButton>(&w, "ButtonPause")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(&w, "Button1")->isVisibleTo(&w));
    EXPECT_FALSE(control<QPushButton>(&w, "ButtonStop")->isVisibleTo(&w));
    EXPECT_TRUE(control<QCheckBox>(&w, "CheckBoxShowSubPict")->isChecked());
    EXPECT_FALSE(control<QFrame>(&w, "PanelPreviewCfg")->isVisibleTo(&w));
    EXPECT_EQ(ratioText(w), "1.4:1");
    EXPECT_FALSE(control<QMenu>(&w, "Output1")->menuAction()->isVisible());
}

TEST(Preview, ZoomScalesThePictureAndItsTruePosition) {
    WindowBench b;
    MainWindow& w = b.w;
    PreviewPane& p = previewOf(w);
    w.setUpPreview(); // 100 %
    EXPECT_EQ(p.bevel()->size(), QSize(724, 580));
    EXPECT_EQ(p.background()->size(), QSize(720, 576));
    const QPoint origin = p.bevel()->pos() + QPoint(2, 2);
    w.showPicture(picture(100, 50), Rect{200, 400, 299, 449});
    EXPECT_EQ(p.image()->geometry(), QRect(origin + QPoint(200, 400), QSize(100, 50)));
    EXPECT_EQ(labelText(w, "LabelX1"), "200");
    EXPECT_EQ(labelText(w, "LabelY2"), "449");
    EXPECT_EQ(labelText(w, "LabelWidth"), "100");
    EXPECT_EQ(labelText(w, "LabelHeight"), "50");

    control<QSpinBox>(&w, "SpinEditZoom")->setValue(50);
    EXPECT_EQ(p.bevel()->size(), QSize(364, 292));
    EXPECT_EQ(p.image()->geometry(), QRect(origin + QPoint(100, 200), QSize(50, 25)));
    EXPECT_EQ(p.image()->pixmap().size(), QSize(50, 25));

    b.preview.AtTruePos = false;
    w.showPicture(picture(100, 50), Rect{200, 400, 299, 449});
    EXPECT_EQ(p.image()->pos(), origin) << "without the true position, the frame's top-left corner";
    // The OCR dialogs show their pictures with an empty rectangle.
    w.showPicture(picture(30, 20), Rect{});
    EXPECT_EQ(labelText(w, "LabelX2"), "0");
    EXPECT_EQ(labelText(w, "LabelWidth"), "30");
}

TEST(Preview, AutomaticZoomFollowsTheWindowSize) {
    EXPECT_EQ(PreviewPane::autoZoom(743, 686), 1000);
    EXPECT_EQ(PreviewPane::autoZoom(20, 686), 1) << "narrower than 24 pixels";
    EXPECT_EQ(PreviewPane::autoZoom(743, 100), 1);
    EXPECT_EQ(PreviewPane::autoZoom(383, 686), 500);

    WindowBench b;
    b.w.show();
    b.preview.AutoZoom = true;
    b.w.resize(383, 686);
    EXPECT_EQ(b.preview.Zoom, PreviewPane::autoZoom(b.w.width(), b.w.height()));
    EXPECT_EQ(previewOf(b.w).zoom(), b.preview.Zoom);
    const int fitted = b.preview.Zoom;
    b.preview.AutoZoom = false;
    b.w.resize(900, 800);
    EXPECT_EQ(previewOf(b.w).zoom(), fitted) << "only the automatic zoom follows the window";
}

TEST(Preview, FreeRatioTextAndDrawnBands) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(PreviewPane::freeRatioText(85), "1.77:1");
    EXPECT_EQ(PreviewPane::freeRatioText(94), "1.86:1");
    EXPECT_EQ(PreviewPane::freeRatioText(135), "2.35:1");
    EXPECT_EQ(PreviewPane::freeRatioText(30), "1.4:1");
    EXPECT_EQ(PreviewPane::freeRatioText(0), "1.25:1");
    EXPECT_EQ(PreviewPane::freeRatioText(288), "*");
    QLocale::setDefault(QLocale(QLocale::French));
    EXPECT_EQ(PreviewPane::freeRatioText(85), "1,77:1") << "the user's decimal separator";
    QLocale::setDefault(QLocale::c());

    PreviewPane p;
    PreviewSettings s;
    const QColor border = toQColor(s.BorderColor), inner = toQColor(s.InnerColor);
    s.BackMode = 1;
    s.AspectRatioMode = 1; // 94 rows
    ASSERT_TRUE(p.setUpBackground(s));
    const QImage& bands = p.backgroundImage();
    ASSERT_EQ(bands.size(), QSize(720, 576));
    EXPECT_EQ(bands.pixelColor(10, 93), border);
    EXPECT_EQ(bands.pixelColor(10, 94), inner);
    EXPECT_EQ(bands.pixelColor(719, 481), inner);
    EXPECT_EQ(bands.pixelColor(0, 482), border);
    EXPECT_TRUE(p.background()->isVisibleTo(&p));

    s.BackMode = 2;
    s.FreeAspectRatio = 288;
    p.setUpBackground(s);
    EXPECT_EQ(p.backgroundImage().pixelColor(0, 287), border);
    EXPECT_EQ(p.backgroundImage().pixelColor(0, 288), border)
        << "288 paints it all in the border colour";
    s.FreeAspectRatio = 0;
    p.setUpBackground(s);
    EXPECT_EQ(p.backgroundImage().pixelColor(5, 0), inner);
    EXPECT_EQ(p.backgroundImage().pixelColor(5, 575), inner);

    s.BackMode = 0;
    p.setUpBackground(s);
    EXPECT_FALSE(p.background()->isVisibleTo(&p));
}

TEST(Preview, LoadedBackgroundsBmpAndJpegAndFilesThatFail) {
    WindowBench b;
    PreviewPane& p = previewOf(b.w);
    const auto bmp = b.folder / "back.bmp";
    ASSERT_TRUE(
        picture(64, 48, QColor(10, 200, 30)).save(QString::fromStdString(bmp.string()), "BMP"));
    const auto jpg = b.folder / "back.jpg";
    writeJpeg(jpg, 1600, 1200, QColor(200, 40, 90));

    PreviewSettings s;
    s.BackMode = 3;
    s.BackImageName = bmp.string();
    ASSERT_TRUE(p.setUpBackground(s));
    EXPECT_EQ(p.backgroundImage().size(), QSize(64, 48));
    EXPECT_TRUE(near(p.backgroundImage().pixel(3, 3), QColor(10, 200, 30)));

    s.BackImageName = jpg.string();
    ASSERT_TRUE(p.setUpBackground(s));
    // Decoded at half size: still more than the frame it is stretched to.
    EXPECT_EQ(p.backgroundImage().size(), QSize(800, 600));
    EXPECT_TRUE(near(p.backgroundImage().pixel(400, 300), QColor(200, 40, 90)));

    s.BackImageName = (b.folder / "gone.jpg").string();
    EXPECT_TRUE(p.setUpBackground(s)) << "a missing file is skipped silently";
    EXPECT_EQ(p.backgroundImage().size(), QSize(800, 600)) << "the previous picture stays";

    // Damaged files: a cut JPEG and noise under a BMP name.
    auto bytes = readText(jpg);
    writeText(b.folder / "cut.jpg", bytes.substr(0, 100));
    writeText(b.folder / "cutdata.jpg", bytes.substr(0, 700));
    writeText(b.folder / "noise.bmp", std::string(5000, '\x5a'));
    QString error;
    s.BackImageName = (b.folder / "cut.jpg").string();
    EXPECT_FALSE(p.setUpBackground(s, &error));
    EXPECT_FALSE(error.isEmpty());
    // Cut inside the picture data: libjpeg gives what is there, grey below.
    s.BackImageName = (b.folder / "cutdata.jpg").string();
    EXPECT_TRUE(p.setUpBackground(s));
    EXPECT_EQ(p.backgroundImage().size(), QSize(800, 600));
    s.BackImageName = (b.folder / "noise.bmp").string();
    EXPECT_FALSE(p.setUpBackground(s));
    EXPECT_EQ(p.backgroundImage().size(), QSize(800, 600));

    // A header that claims a giant picture is refused before any allocation.
    std::string huge = bytes;
    const size_t sof = huge.find("\xFF\xC0", 0, 2);
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\xFF', huge[sof + 6] = '\xF0'; // height 65520
    huge[sof + 7] = '\xFF', huge[sof + 8] = '\xF0'; // width 65520
    EXPECT_TRUE(decodeJpeg(QByteArray::fromStdString(huge), &error).isNull());
}

TEST(DisplayOptions, FillingThePanelWritesNothingBack) {
    WindowBench b;
    MainWindow& w = b.w;
    b.preview.Zoom = 1234;
    b.preview.BackMode = 3;
    b.preview.AspectRatioMode = 2;
    b.preview.FreeAspectRatio = 85;
    b.preview.AtTruePos = false;
    const PreviewSettings before = b.preview;
    w.setUpPreview();
    EXPECT_EQ(previewOf(w).zoom(), 1234);
    auto* options = control<QPushButton>(&w, "ButtonPreviewOption");
    QTest::mouseClick(options, Qt::LeftButton);
    EXPECT_TRUE(control<QFrame>(&w, "PanelPreviewCfg")->isVisibleTo(&w));
    EXPECT_EQ(control<QSpinBox>(&w, "SpinEditZoom")->value(), 123);
    EXPECT_EQ(control<RadioGroup>(&w, "RadioGroupPreviewBack")->itemIndex(), 3);
    EXPECT_EQ(control<QComboBox>(&w, "ComboBoxAspectRatio")->currentIndex(), 2);
    EXPECT_EQ(ratioText(w), "1.77:1");
    EXPECT_FALSE(control<QCheckBox>(&w, "CheckBoxTruePos")->isChecked());
    EXPECT_EQ(b.preview, before) << "the change events of the filling wrote back";
    control<QCheckBox>(&w, "CheckBoxTruePos")->setChecked(true);
    EXPECT_TRUE(b.preview.AtTruePos) << "filled, the options write back again";
    QTest::mouseClick(options, Qt::LeftButton);
    EXPECT_FALSE(control<QFrame>(&w, "PanelPreviewCfg")->isVisibleTo(&w));
}

TEST(DisplayOptions, ChangesChooseTheBackgroundAndTheZoom) {
    WindowBench b;
    MainWindow& w = b.w;
    w.setUpPreview();
    control<QPushButton>(&w, "ButtonPreviewOption")->click();
    control<QSpinBox>(&w, "SpinEditAspectRatio")->setValue(135);
    EXPECT_EQ(b.preview.BackMode, 2) << "the free background";
    EXPECT_EQ(b.preview.FreeAspectRatio, 135);
    EXPECT_EQ(ratioText(w), "2.35:1");
    EXPECT_EQ(previewOf(w).backgroundImage().pixelColor(0, 134), toQColor(b.preview.BorderColor));
    control<QComboBox>(&w, "ComboBoxAspectRatio")->setCurrentIndex(1);
    auto* background = control<RadioGroup>(&w, "RadioGroupPreviewBack");
    EXPECT_EQ(background->itemIndex(), 1);
    EXPECT_EQ(b.preview.BackMode, 1);
    EXPECT_EQ(b.preview.AspectRatioMode, 1);

    auto* zoom = control<QSpinBox>(&w, "SpinEditZoom");
    auto* autoZoom = control<QCheckBox>(&w, "CheckBoxAutoZoom");
    zoom->setValue(150);
    EXPECT_EQ(b.preview.Zoom, 1500);
    EXPECT_EQ(previewOf(w).bevel()->width(), 1500 * 720 / 1000 + 4);
    autoZoom->setChecked(true);
    EXPECT_TRUE(b.preview.AutoZoom);
    EXPECT_FALSE(zoom->isEnabled());
    EXPECT_EQ(b.preview.Zoom, PreviewPane::autoZoom(w.width(), w.height()));
    autoZoom->setChecked(false);
    EXPECT_TRUE(zoom->isEnabled());
    EXPECT_EQ(b.preview.Zoom, 1500) << "the zoom field is live again";

    control<QCheckBox>(&w, "CheckBoxTruePos")->setChecked(false);
    EXPECT_FALSE(b.preview.AtTruePos);
    background->findChildren<QRadioButton*>().at(0)->click();
    EXPECT_EQ(b.preview.BackMode, 0);
    EXPECT_FALSE(previewOf(w).background()->isVisibleTo(&w));
}

TEST(DisplayOptions, SwatchesAndTheBackgroundImageDialog) {
    WindowBench b;
    MainWindow& w = b.w;
    b.catalogue.FillMessageCatalogue();
    w.setUpPreview();
    control<QPushButton>(&w, "ButtonPreviewOption")->click();
    b.dialogs.colors.push_back(QColor(1, 2, 3));
    auto* border = control<QFrame>(&w, "PanelBorderColor");
    QTest::mouseClick(border, Qt::LeftButton);
    EXPECT_EQ(b.preview.BorderColor, makeColour(1, 2, 3));
    EXPECT_EQ(swatchColour(border), makeColour(1, 2, 3));
    b.dialogs.colors.push_back(std::nullopt); // cancelled: nothing changes
    QTest::mouseClick(control<QFrame>(&w, "PanelInnerColor"), Qt::LeftButton);
    EXPECT_EQ(b.preview.InnerColor, PreviewSettings{}.InnerColor);

    const auto jpg = b.folder / "photo.jpg";
    writeJpeg(jpg, 720, 576, QColor(0, 0, 250));
    b.dialogs.files.push_back(jpg);
    auto* loadImage = control<QPushButton>(&w, "ButtonImgBack");
    QTest::mouseClick(loadImage, Qt::LeftButton);
    ASSERT_EQ(b.dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& r = b.dialogs.fileRequests[0];
    EXPECT_EQ(r.title, "Load a Background Image");
    EXPECT_EQ(r.filter, "Image File (*.bmp;*.jpg)|*.bmp;*.jpg|All|*.*");
    EXPECT_EQ(r.initialFolder, b.folder.path()) << "the program folder while no image was chosen";
    EXPECT_EQ(b.preview.BackMode, 3);
    EXPECT_EQ(b.preview.BackImageName, jpg.string());
    EXPECT_EQ(control<RadioGroup>(&w, "RadioGroupPreviewBack")->itemIndex(), 3);
    EXPECT_TRUE(near(previewOf(w).backgroundImage().pixel(10, 10), QColor(0, 0, 250)));

    writeText(b.folder / "bad.jpg", "\xFF\xD8\xFF garbage");
    b.dialogs.files.push_back(b.folder / "bad.jpg");
    b.dialogs.answers.push_back(Answer::Ok);
    loadImage->click();
    EXPECT_EQ(b.dialogs.fileRequests[1].initialFolder, b.folder.path());
    EXPECT_EQ(b.dialogs.fileRequests[1].initialName, "photo.jpg");
    ASSERT_EQ(b.dialogs.asked.size(), 1u);
    EXPECT_NE(b.dialogs.asked[0].text.find("bad.jpg"), std::string::npos);
    EXPECT_TRUE(near(previewOf(w).backgroundImage().pixel(10, 10), QColor(0, 0, 250)))
        << "the old picture stays";
}

TEST(MainWindow, DraggingTheBodyMovesTheWindowUntilAPause) {
    WindowBench b;
    MainWindow& w = b.w;
    ulong now = 10000; // the events' own times
    w.move(100, 100);
    const QPoint start = w.pos();
    QWidget* body = control<QFrame>(&w, "Panel2");
    const QPoint g = body->mapToGlobal(QPoint(5, 5));
    sendMouse(body, QEvent::MouseButtonPress, g, Qt::LeftButton, now);
    now += 100;
    sendMouse(body, QEvent::MouseMove, g + QPoint(30, 20), Qt::LeftButton, now);
    EXPECT_EQ(w.pos(), start + QPoint(30, 20));
    now += 1999;
    sendMouse(body, QEvent::MouseMove, g + QPoint(40, 20), Qt::LeftButton, now);
    EXPECT_EQ(w.pos(), start + QPoint(40, 20));
    now += 2000;
    sendMouse(body, QEvent::MouseMove, g + QPoint(90, 90), Qt::LeftButton, now);
    EXPECT_EQ(w.pos(), start + QPoint(40, 20)) << "after two seconds still, moves no longer drag";
    sendMouse(body, QEvent::MouseButtonRelease, g, Qt::NoButton, now);
    // The preview picture takes part too.
    w.showPicture(picture(50, 20), Rect{10, 10, 59, 29});
    QWidget* image = previewOf(w).image();
    const QPoint gi = image->mapToGlobal(QPoint(2, 2));
    const QPoint before = w.pos();
    sendMouse(image, QEvent::MouseButtonPress, gi, Qt::LeftButton);
    sendMouse(image, QEvent::MouseMove, gi + QPoint(-7, 3), Qt::LeftButton);
    EXPECT_EQ(w.pos(), before + QPoint(-7, 3));
}

TEST(CloseFlow, UnsavedSubtitlesAskAndNoKeepsTheWindow) {
    AppBench b;
    b.session().document().AddSubtitle({"Hello"}, true, StrToTimeCode("00:00:01,000"),
                                       StrToTimeCode("00:00:02,000"), Rect{});
    ASSERT_TRUE(b.session().document().Modified());
    b.dialogs().answers.push_back(Answer::No);
    EXPECT_FALSE(b.mainWindow().close());
    EXPECT_TRUE(b.mainWindow().isVisible());
    EXPECT_EQ(b.lastMessage(), "Text NOT Saved !\rDo you really want to quit ?");
    EXPECT_EQ(b.dialogs().asked.back().kind, MessageKind::Confirmation);
    EXPECT_TRUE(b.app->subtitlesWindow()->isVisible()) << "No shows the Subtitles window";
    EXPECT_FALSE(std::filesystem::exists(b.app->settingsFile())) << "nothing saved";

    // A cancelled matrix prompt keeps the window without asking about the text.
    b.session().matrix().setModified(true);
    const size_t asked = b.dialogs().asked.size();
    b.dialogs().answers.push_back(Answer::Cancel);
    EXPECT_FALSE(b.mainWindow().close());
    EXPECT_EQ(b.dialogs().asked.size(), asked + 1);

    b.session().matrix().setModified(false);
    b.dialogs().answers.push_back(Answer::Yes);
    EXPECT_TRUE(b.mainWindow().close());
    EXPECT_FALSE(b.mainWindow().isVisible());
    EXPECT_TRUE(std::filesystem::exists(b.app->settingsFile()));
    EXPECT_EQ(b.dialogs().unexpected, 0);
}

TEST(CloseFlow, ARunningJobIsPausedBeforeTheSettingsAreWritten) {
    AppBench b;
    b.listAndCheck(discFolder("pal_en"));
    jobOption(*b.app, "CheckBoxPictTiming")->setChecked(false);
    ASSERT_TRUE(b.start(2, b.folder / "sup"));
    // The user closes the window while the loop dispatches events.
    bool closedInside = false;
    QObject::connect(&b.app->host(), &QtHost::pictureShown, &b.mainWindow(), [&] {
        if (b.session().job().TotalPictures == 3)
            QTimer::singleShot(0, &b.mainWindow(), [&] { closedInside = b.mainWindow().close(); });
    });
    b.runTicks(1);
    EXPECT_TRUE(closedInside);
    EXPECT_TRUE(b.session().job().Paused);
    EXPECT_FALSE(b.session().job().finished()) << "the job stopped at the pause";
    EXPECT_EQ(b.session().job().TotalPictures, 3u);
    EXPECT_TRUE(std::filesystem::exists(b.app->settingsFile()));
}
