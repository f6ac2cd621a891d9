#include "base/ByteReader.h"
#include "export/BmpFile.h"
#include "export/OutputBitmapComposer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;

namespace {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "mirtal-bmp-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        m_path = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

struct CommandOutput {
    int status = -1;
    std::string out;
};

// Runs a shell command and returns its standard output, bytes as they come.
CommandOutput run(const std::string& command) {
    CommandOutput r;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return r;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    r.status = ::pclose(p);
    return r;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}
Rgb rgbOf(Colour c) {
    return {redOf(c), greenOf(c), blueOf(c)};
}

// What ImageMagick makes of a BMP file: size, bits per pixel, colour map
// and every pixel.
struct MagickView {
    int width = 0, height = 0, depth = 0;
    std::string format;
    std::vector<Rgb> colormap;
    std::vector<Rgb> pixels; // row-major, top row first
};

MagickView readWithImageMagick(const fs::path& file) {
    MagickView v;
    CommandOutput id = run("identify -format '%w %h %z %m' " + quoted(file) + " 2>/dev/null");
    EXPECT_EQ(id.status, 0) << "identify failed on " << file;
    std::istringstream(id.out) >> v.width >> v.height >> v.depth >> v.format;

    CommandOutput verbose = run("identify -verbose " + quoted(file) + " 2>/dev/null");
    std::istringstream lines(verbose.out);
    std::string line;
    bool inMap = false;
    while (std::getline(lines, line)) {
        if (line.find("Colormap:") != std::string::npos) {
            inMap = true;
            continue;
        }
        if (!inMap) continue;
        int i, r, g, b;
        if (std::sscanf(line.c_str(), " %d: (%d,%d,%d)", &i, &r, &g, &b) != 4) break;
        v.colormap.push_back({r, g, b});
    }

    CommandOutput txt = run("convert " + quoted(file) + " -depth 8 txt:- 2>/dev/null");
    EXPECT_EQ(txt.status, 0) << "convert failed on " << file;
    v.pixels.assign(size_t(std::max(0, v.width * v.height)), {-1, -1, -1});
    std::istringstream px(txt.out);
    while (std::getline(px, line)) {
        int x, y, r, g, b;
        if (std::sscanf(line.c_str(), "%d,%d: (%d,%d,%d)", &x, &y, &r, &g, &b) != 5) continue;
        if (x >= 0 && y >= 0 && x < v.width && y < v.height)
            v.pixels[size_t(y * v.width + x)] = {r, g, b};
    }
    return v;
}

// The pixels as ffmpeg decodes them, top row first.
std::vector<Rgb> readWithFfmpeg(const fs::path& file) {
    CommandOutput r =
        run("ffmpeg -v error -i " + quoted(file) + " -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    EXPECT_EQ(r.status, 0) << "ffmpeg failed on " << file;
    std::vector<Rgb> px;
    for (size_t i = 0; i + 2 < r.out.size(); i += 3)
        px.push_back({uint8_t(r.out[i]), uint8_t(r.out[i + 1]), uint8_t(r.out[i + 2])});
    return px;
}

std::vector<Rgb> expectedPixels(const PaletteBitmap& b) {
    std::vector<Rgb> px;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) px.push_back(rgbOf(b.palette[b.index(x, y)]));
    return px;
}

// A picture of the given size with every subpicture code and distinct
// colours for all 16 palette entries.
PaletteBitmap sample(int width, int height, int bpp, std::array<uint8_t, 4> indexes) {
    Bitmap24 work(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) work.setPixel(x, y, kDrawColor[(x * 3 + y) % 4]);
    BmpOutputSettings s;
    s.Cropping.Enabled = false;
    s.Colors.BitPerPixel = uint8_t(bpp);
    s.Colors.Color = {0x302010, 0xD0E0F0, 0xFF0000, 0x7F7F7F};
    s.Colors.ColorPalIndex = indexes;
    s.Colors.UnusedColor = 0x00FF40;
    OutputBitmapComposer c;
    c.SetDvdColorOrder({0, 1, 2, 3});
    PaletteBitmap out;
    c.ComposeOutputBitmap(s, work, out, {0, 0, width - 1, height - 1});
    return out;
}

void expectReadersAgree(const PaletteBitmap& b, const fs::path& file) {
    ASSERT_TRUE(SaveBitmapFile(b, file).ok);
    MagickView v = readWithImageMagick(file);
    EXPECT_EQ(v.width, b.width());
    EXPECT_EQ(v.height, b.height());
    EXPECT_EQ(v.depth, b.bitsPerPixel());
    EXPECT_EQ(v.format, "BMP3");
    ASSERT_EQ(v.colormap.size(), 16u);
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(v.colormap[i], rgbOf(b.palette[i])) << "entry " << i;
    const std::vector<Rgb> expected = expectedPixels(b);
    EXPECT_EQ(v.pixels, expected);
    EXPECT_EQ(readWithFfmpeg(file), expected);
}

} // namespace

TEST(BmpFile, IndependentReadersSeeSizeDepthPaletteAndPixels) {
    TempDir dir;
    // Widths 1..9 cover every row padding of both depths.
    for (int bpp : {4, 8}) {
        for (int w = 1; w <= 9; ++w) {
            SCOPED_TRACE("bpp " + std::to_string(bpp) + " width " + std::to_string(w));
            PaletteBitmap b = sample(w, 3, bpp,
                                     bpp == 4 ? std::array<uint8_t, 4>{0, 1, 2, 3}
                                              : std::array<uint8_t, 4>{3, 7, 12, 15});
            expectReadersAgree(
                b, dir.path() / ("p" + std::to_string(bpp) + "_" + std::to_string(w) + ".bmp"));
        }
    }
}

TEST(BmpFile, ComposedSubtitleSurvivesRoundTrip) {
    TempDir dir;
    Bitmap24 work(300, 80);
    work.fillRect(40, 20, 140, 50, kDrawColor[2]);
    work.fillRect(45, 25, 135, 45, kDrawColor[3]);
    work.frameRect(40, 20, 140, 50, kDrawColor[1]);
    BmpOutputSettings s;
    s.Colors.ColorPalIndex = {2, 9, 4, 11};
    OutputBitmapComposer c;
    c.SetDvdColorOrder({0, 3, 2, 1});
    PaletteBitmap out;
    c.ComposeOutputBitmap(s, work, out, {10, 400, 309, 479});
    ASSERT_EQ(out.width(), 104);
    expectReadersAgree(out, dir.path() / "film_000001.bmp");
}

TEST(BmpFile, HeaderFieldsFollowWindowsLayout) {
    for (int bpp : {4, 8}) {
        PaletteBitmap b = sample(5, 3, bpp, {0, 1, 2, 3});
        const std::string bytes = EncodeBitmapFile(b);
        std::span<const uint8_t> d(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ByteReader r(d);
        const uint32_t stride = bpp == 4 ? 4 : 8;
        EXPECT_EQ(r.u8(), 'B');
        EXPECT_EQ(r.u8(), 'M');
        EXPECT_EQ(r.u32le(), bytes.size());
        EXPECT_EQ(r.u32le(), 0u);
        EXPECT_EQ(r.u32le(), 14u + 40u + 64u);
        EXPECT_EQ(r.u32le(), 40u);
        EXPECT_EQ(r.u32le(), 5u);
        EXPECT_EQ(r.u32le(), 3u);
        EXPECT_EQ(r.u16le(), 1);
        EXPECT_EQ(r.u16le(), bpp);
        EXPECT_EQ(r.u32le(), 0u);
        EXPECT_EQ(r.u32le(), stride * 3);
        EXPECT_EQ(r.u32le(), 2835u);
        EXPECT_EQ(r.u32le(), 2835u);
        EXPECT_EQ(r.u32le(), 16u);
        EXPECT_EQ(r.u32le(), 0u);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(r.u8(), blueOf(b.palette[size_t(i)]));
            EXPECT_EQ(r.u8(), greenOf(b.palette[size_t(i)]));
            EXPECT_EQ(r.u8(), redOf(b.palette[size_t(i)]));
            EXPECT_EQ(r.u8(), 0);
        }
        EXPECT_EQ(r.remaining(), stride * 3);
        // Bottom row first; padding bytes are zero.
        auto firstStored = r.bytes(stride);
        for (size_t i = 0; i < size_t(b.rowBytes()); ++i) EXPECT_EQ(firstStored[i], b.row(2)[i]);
        for (size_t i = size_t(b.rowBytes()); i < stride; ++i) EXPECT_EQ(firstStored[i], 0);
        EXPECT_TRUE(r.ok());
    }
}

TEST(BmpFile, SaveReplacesExistingFile) {
    TempDir dir;
    const fs::path file = dir.path() / "a.bmp";
    ASSERT_TRUE(SaveBitmapFile(sample(40, 30, 8, {0, 1, 2, 3}), file).ok);
    PaletteBitmap small = sample(3, 2, 4, {0, 1, 2, 3});
    ASSERT_TRUE(SaveBitmapFile(small, file).ok);
    EXPECT_EQ(fs::file_size(file), EncodeBitmapFile(small).size());
    std::vector<fs::path> left;
    for (auto& e : fs::directory_iterator(dir.path())) left.push_back(e.path());
    EXPECT_EQ(left.size(), 1u) << "no temporary file is left behind";
}

TEST(BmpFile, FailedSaveNamesFileAndReason) {
    TempDir dir;
    const fs::path file = dir.path() / "missing" / "x.bmp";
    Result r = SaveBitmapFile(sample(3, 2, 4, {0, 1, 2, 3}), file);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(file.string()), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("No such file"), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(file));
}
