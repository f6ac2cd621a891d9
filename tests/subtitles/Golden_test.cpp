#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

// Every output format saved from one document built to touch each rule, and
// compared byte for byte with a file checked by hand. Set
// MIRTAL_UPDATE_GOLDEN=1 to rewrite the files after a deliberate change.

namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(MIRTAL_TEST_DATA).parent_path() / "subtitles" / "golden";

class GoldenTest : public ::testing::Test {
protected:
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument doc{clock};
    TempDir dir;

    // Recognised text, as OCR leaves it.
    void textStore() {
        add(doc, "00:00:01,501", "00:00:03,250", {"Hello, I'm here."}, {160, 470, 559, 519});
        add(doc, "00:00:03,250", "00:00:05,500", {"a", "b", "c"}, {8, 400, 1024, 575});
        add(doc, "00:00:05,800", "00:00:07,999", {"Caf\xE9 \"quoted\"", "second line"},
            {5, 7, 99, 42});
        add(doc, "00:00:59,900", "00:01:00,040", {"Rounding up"}, {100, 450, 600, 500});
        add(doc, "00:01:00,040", "00:01:01,000", {"Four", "lines", "of", "text"},
            {100, 400, 600, 560});
        add(doc, "00:10:00,000", "00:10:02,500", {"At ten minutes"}, {120, 480, 580, 520});
        add(doc, "01:02:03,004", "00:00:00,000", {"Still open"}, {200, 500, 520, 530});
    }

    // Entries for saved pictures: the first line is the bitmap's name.
    void bitmapStore() {
        add(doc, "00:00:00,950", "00:00:03,000", {"sub000001.bmp"}, {160, 470, 559, 519});
        add(doc, "00:00:08,000", "00:00:10,000", {"sub000002.bmp"}, {100, 400, 619, 459});
        add(doc, "00:00:10,020", "00:01:00,000", {"sub000003.bmp"}, {96, 430, 623, 527});
        add(doc, "00:01:00,010", "00:10:00,000", {"sub000004.bmp"}, {0, 0, 1023, 9});
        add(doc, "00:10:01,990", "00:10:04,999", {"sub000005.bmp"}, {150, 440, 569, 509});
    }

    void check(TOutputFormat format, const std::string& name) {
        doc.setOutputFormat(format);
        doc.RefreshList();
        std::filesystem::path out = dir / name;
        ASSERT_TRUE(SaveDocumentTo(doc, out));
        std::string written = fileBytes(out);
        std::filesystem::path golden = kGolden / name;
        if (std::getenv("MIRTAL_UPDATE_GOLDEN")) {
            ASSERT_TRUE(writeFileAtomic(golden, written));
        }
        std::string expected = fileBytes(golden);
        if (written == expected) return;
        size_t at = 0;
        while (at < written.size() && at < expected.size() && written[at] == expected[at]) ++at;
        size_t from = written.rfind('\n', at) == std::string::npos ? 0 : written.rfind('\n', at);
        FAIL() << name << " differs at byte " << at << ":\n  written:  " << written.substr(from, 80)
               << "\n  expected: " << expected.substr(from, 80);
    }
};

} // namespace

TEST_F(GoldenTest, NativePlainWithIndexOffset) {
    textStore();
    doc.options().native.IndexOffset = 100;
    check(ofNative, "native.vtx");
}

TEST_F(GoldenTest, NativeExtended) {
    textStore();
    doc.options().native.ExtendedFormat = true;
    check(ofNative, "native_extended.vtx");
}

TEST_F(GoldenTest, NativeSplitWindowCutsAndShifts) {
    textStore();
    doc.setSplit({true, tc("00:00:05,000"), tc("00:01:00,000")});
    check(ofNative, "native_split.vtx");
}

TEST_F(GoldenTest, SubViewer) {
    textStore();
    SubViewerOptions& o = doc.options().subViewer;
    o.Title = "Film";
    o.Author = "Me";
    o.Delay = -250;
    check(ofSubViewer, "subviewer.sub");
}

TEST_F(GoldenTest, SubViewer2) {
    textStore();
    SubViewer2Options& o = doc.options().subViewer2;
    o.Title = "Film";
    o.Comment = "A comment";
    o.Delay = 10;
    o.CDTrack = 2;
    o.Font.Name = "Courier New";
    o.Font.PointSize = 20;
    o.Font.Underline = true;                // bold wins over underline
    o.Font.Color = makeColour(255, 255, 0); // yellow: 00FFFF in blue-green-red order
    check(ofSubViewer2, "subviewer2.sub");
}

// Always UTF-8 whatever the chosen encoding; "Caf\xE9" sits at the top, the
// last entry's rectangle is unknown.
TEST_F(GoldenTest, WebVttAndAss) {
    textStore();
    add(doc, "01:02:05,000", "01:02:06,995", {"<i>Tags</i> & <3 {braces}"});
    check(ofWebVtt, "webvtt.vtt");
    check(ofAss, "ass.ass");
}

TEST_F(GoldenTest, Sonic) {
    textStore();
    check(ofSonic, "sonic.txt");
}

TEST_F(GoldenTest, IAuthor) {
    bitmapStore();
    IAuthorOptions& o = doc.options().iauthor;
    o.Colors[2] = makeColour(255, 0, 0);
    o.Blend[2] = 8;
    o.MinInterval = 40;
    check(ofIAuthor, "iauthor.txt");
}

TEST_F(GoldenTest, IAuthorSplitWindowUsesTheStoredNextStart) {
    bitmapStore();
    doc.options().iauthor.MinInterval = 40;
    doc.setSplit({true, tc("00:00:09,000"), tc("00:01:00,000")});
    check(ofIAuthor, "iauthor_split.txt");
}

TEST_F(GoldenTest, PhilipsNtscDropFrameWithPalette) {
    bitmapStore();
    PhilipsOptions& o = doc.options().philips;
    o.Title = "My Title";
    o.FrameRate = 1;
    o.DropFrame = true;
    o.UseBmpColors = false;
    o.Colors[1] = makeColour(255, 255, 255);
    o.Colors[2] = makeColour(0, 0, 255);
    o.Colors[3] = makeColour(0, 255, 0);
    o.Contrast[3] = 9;
    check(ofPhilips, "philips.sub");
}
