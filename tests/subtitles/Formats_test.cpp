#include "SubtitleTestSupport.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/SubViewer2Format.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(MIRTAL_TEST_DATA).parent_path() / "subtitles" / "golden";

struct Entry {
    const char* start;
    const char* stop;
    std::vector<std::string> lines;
    Rect rect = {};
};

// Recognised text, as OCR leaves it, built to touch each rule of the writers.
const std::vector<Entry> kText = {
    {"00:00:01,501", "00:00:03,250", {"Hello, I'm here."}, {160, 470, 559, 519}},
    {"00:00:03,250", "00:00:05,500", {"a", "b", "c"}, {8, 400, 1024, 575}},
    {"00:00:05,800", "00:00:07,999", {"Caf\xE9 \"quoted\"", "second line"}, {5, 7, 99, 42}},
    {"00:00:59,900", "00:01:00,040", {"Rounding up"}, {100, 450, 600, 500}},
    {"00:01:00,040", "00:01:01,000", {"Four", "lines", "of", "text"}, {100, 400, 600, 560}},
    {"00:10:00,000", "00:10:02,500", {"At ten minutes"}, {120, 480, 580, 520}},
    {"01:02:03,004", "00:00:00,000", {"Still open"}, {200, 500, 520, 530}},
};
// Entries for saved pictures: the first line is the bitmap's name.
const std::vector<Entry> kBitmaps = {
    {"00:00:00,950", "00:00:03,000", {"sub000001.bmp"}, {160, 470, 559, 519}},
    {"00:00:08,000", "00:00:10,000", {"sub000002.bmp"}, {100, 400, 619, 459}},
    {"00:00:10,020", "00:01:00,000", {"sub000003.bmp"}, {96, 430, 623, 527}},
    {"00:01:00,010", "00:10:00,000", {"sub000004.bmp"}, {0, 0, 1023, 9}},
    {"00:10:01,990", "00:10:04,999", {"sub000005.bmp"}, {150, 440, 569, 509}},
};

// Short sets for the options the sets above leave at their defaults.
const std::vector<Entry> kGaps = {{"00:00:01,501", "00:00:03,200", {"a"}},
                                  {"00:00:03,300", "00:00:05,000", {"b"}},
                                  {"00:00:59,900", "00:01:01,000", {"c"}},
                                  {"00:01:02,000", "00:01:03,000", {"a", "b", "c"}}};
const std::vector<Entry> kPicture = {
    {"00:01:02,345", "00:01:04,000", {"sub000001.bmp"}, {160, 470, 559, 519}}};
const std::vector<Entry> kMinute = {{"00:01:00,000", "00:01:01,999", {"Hello", "there"}}};

using Prepare = std::function<void(SubtitleDocument&)>;

std::string saved(SubtitleDocument& doc, TOutputFormat format, const std::vector<Entry>& entries,
                  const Prepare& setup, const std::filesystem::path& file) {
    for (const Entry& e : entries) add(doc, e.start, e.stop, e.lines, e.rect);
    if (setup) setup(doc);
    doc.setOutputFormat(format);
    doc.refreshList();
    EXPECT_TRUE(saveDocumentTo(doc, file));
    return readText(file);
}

} // namespace

// Every writer, saved whole and compared byte for byte with a file checked by
// hand. MIRTAL_UPDATE_GOLDEN=1 rewrites the files after a deliberate change.
TEST(Formats, EveryWriterGivesItsGoldenFile) {
    const struct {
        const char* golden;
        TOutputFormat format;
        const std::vector<Entry>& entries;
        Prepare setup;
    } cases[] = {
        {"native.vtx", ofNative, kText, [](auto& d) { d.options().native.IndexOffset = 100; }},
        {"native_extended.vtx", ofNative, kText,
         [](auto& d) { d.options().native.ExtendedFormat = true; }},
        {"native_split.vtx", ofNative, kText,
         [](auto& d) {
             d.setSplit({true, tc("00:00:05,000"), tc("00:01:00,000")});
         }},
        {"subviewer.sub", ofSubViewer, kText,
         [](auto& d) {
             SubViewerOptions& o = d.options().subViewer;
             o.Title = "Film", o.Author = "Me", o.Delay = -250;
         }},
        {"subviewer2.sub", ofSubViewer2, kText,
         [](auto& d) {
             SubViewer2Options& o = d.options().subViewer2;
             o.Title = "Film", o.Comment = "A comment", o.Delay = 10, o.CDTrack = 2;
             o.Font.Name = "Courier New", o.Font.PointSize = 20;
             o.Font.Underline = true;                // bold wins over underline
             o.Font.Color = makeColour(255, 255, 0); // 00FFFF in blue-green-red order
         }},
        // Always UTF-8; "Caf\xE9" sits at the top, the last rectangle is unknown.
        {"webvtt.vtt", ofWebVtt, kText,
         [](auto& d) { add(d, "01:02:05,000", "01:02:06,995", {"<i>Tags</i> & <3 {braces}"}); }},
        {"ass.ass", ofAss, kText,
         [](auto& d) { add(d, "01:02:05,000", "01:02:06,995", {"<i>Tags</i> & <3 {braces}"}); }},
        {"sonic.txt", ofSonic, kText, {}},
        {"iauthor.txt", ofIAuthor, kBitmaps,
         [](auto& d) {
             IAuthorOptions& o = d.options().iauthor;
             o.Colors[2] = makeColour(255, 0, 0), o.Blend[2] = 8, o.MinInterval = 40;
         }},
        // The split window uses the stored next start for the interval.
        {"iauthor_split.txt", ofIAuthor, kBitmaps,
         [](auto& d) {
             d.options().iauthor.MinInterval = 40;
             d.setSplit({true, tc("00:00:09,000"), tc("00:01:00,000")});
         }},
        {"philips.sub", ofPhilips, kBitmaps,
         [](auto& d) {
             PhilipsOptions& o = d.options().philips;
             o.Title = "My Title", o.FrameRate = 1, o.DropFrame = true, o.UseBmpColors = false;
             o.Colors[1] = makeColour(255, 255, 255), o.Colors[2] = makeColour(0, 0, 255);
             o.Colors[3] = makeColour(0, 255, 0), o.Contrast[3] = 9;
         }},
        // A clearing entry only where the rounded stop is before the next start.
        {"subviewer_rounded.sub", ofSubViewer, kGaps, {}},
        // Cut, the stop 03,200 is before the start 03,300 although both read 03.
        {"subviewer_cut.sub", ofSubViewer, kGaps,
         [](auto& d) { d.options().subViewer.RoundTC = d.options().subViewer.TwoLineMax = false; }},
        {"philips_bitmap_colours.sub", ofPhilips, kPicture, {}},
        {"philips_ntsc.sub", ofPhilips, kPicture,
         [](auto& d) { d.options().philips.FrameRate = 1, d.options().philips.DropFrame = false; }},
        // Numbered by store position at its own frame rate; drop-frame only counts with NTSC.
        {"sonic_pal.txt", ofSonic, kMinute,
         [](auto& d) {
             d.options().native.IndexOffset = 50, d.options().philips.FrameRate = 1;
             d.options().sonic = {.FrameRate = 0, .DropFrame = true};
         }},
        {"sonic_drop.txt", ofSonic, kMinute,
         [](auto& d) { d.options().sonic = {.FrameRate = 1, .DropFrame = true}; }},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        FixedBannerClock clock{"01/02/2003 04:05:06"};
        SubtitleDocument doc{clock};
        const std::string written = saved(doc, c.format, c.entries, c.setup, dir / c.golden);
        if (std::getenv("MIRTAL_UPDATE_GOLDEN")) writeFileAtomic(kGolden / c.golden, written);
        EXPECT_EQ(written, readText(kGolden / c.golden)) << c.golden;
    }
}

// Flags bold, italic, underline, strike-out, then the style they give.
TEST(Formats, SubViewer2FontStyleIsTheLastThatApplies) {
    for (const char* c : {"0000no", "1010bd", "1110it", "0001st", "0011ud"}) {
        FontSpec f;
        f.Color = makeColour(255, 0, 0);
        f.Bold = c[0] == '1', f.Italic = c[1] == '1', f.Underline = c[2] == '1';
        f.StrikeOut = c[3] == '1';
        EXPECT_EQ(SubViewer2Format::fontLine(f),
                  std::string("[COLF]&H0000FF,[STYLE]") + (c + 4) + ",[SIZE]18,[FONT]Arial");
    }
}
