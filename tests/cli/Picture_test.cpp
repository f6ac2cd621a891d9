#include "Commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace mirtal::cli;
namespace fs = std::filesystem;

namespace {

const fs::path kData = MIRTAL_TEST_DATA;
const fs::path kPal = kData / "discs" / "pal_en";
const fs::path kVob = kPal / "VIDEO_TS" / "VTS_01_1.VOB";

#define REQUIRE_FIXTURE(path)                                                                      \
    if (!fs::exists(path)) GTEST_SKIP() << "fixture missing: " << (path)

struct Scratch {
    fs::path path;
    Scratch() {
        std::string t = (fs::temp_directory_path() / "mirtal-pict-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome rip(std::vector<std::string> args, const std::string& input = {}, bool terminal = false) {
    std::istringstream in(input);
    std::ostringstream out, err;
    CliIo io{in, out, err, terminal};
    args.insert(args.begin(), "--action");
    Outcome r;
    r.status = runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Rows of a tab-separated fixture table as numbers, by column name.
std::vector<std::map<std::string, int64_t>> table(const fs::path& path) {
    std::vector<std::map<std::string, int64_t>> rows;
    std::istringstream lines(slurp(path));
    std::string line, cell;
    std::vector<std::string> names;
    for (bool header = true; std::getline(lines, line); header = false) {
        std::istringstream cells(line);
        std::map<std::string, int64_t> row;
        for (size_t i = 0; std::getline(cells, cell, '\t'); ++i) {
            if (header)
                names.push_back(cell);
            else if (i < names.size())
                row[names[i]] = std::strtoll(cell.c_str(), nullptr, 10);
        }
        if (!header) rows.push_back(row);
    }
    return rows;
}

// HH:MM:SS:FF at 25 frames per second, frames from hundredths of a second.
std::string palFrameCode(int64_t ms) {
    char s[32];
    std::snprintf(s, sizeof s, "%02lld:%02lld:%02lld:%02lld", (long long)(ms / 3600000 % 100),
                  (long long)(ms / 60000 % 60), (long long)(ms / 1000 % 60),
                  (long long)(ms % 1000 / 10 * 2500 / 10000));
    return s;
}

// What a BMP file holds, read straight from its bytes.
struct BmpInfo {
    int width = -1, height = -1, bpp = 0, colours = 0;
    std::array<int, 16> counts{}; // pixels per palette index
};

BmpInfo readBmp(const fs::path& path) {
    std::string b = slurp(path);
    auto u = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(b[at + size_t(i)]);
        return v;
    };
    BmpInfo info;
    if (b.size() < 54 || b.compare(0, 2, "BM") != 0 || u(2, 4) != b.size()) return info;
    info.width = int(u(18, 4));
    info.height = int(u(22, 4));
    info.bpp = int(u(28, 2));
    info.colours = int(u(46, 4));
    const size_t stride = (size_t(info.width) * size_t(info.bpp) + 31) / 32 * 4;
    if (u(10, 4) + stride * size_t(info.height) != b.size()) return BmpInfo{};
    for (int y = 0; y < info.height; ++y)
        for (int x = 0; x < info.width; ++x) {
            uint8_t byte = uint8_t(b[u(10, 4) + size_t(y) * stride + size_t(x * info.bpp / 8)]);
            int index = info.bpp == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 15);
            ++info.counts[size_t(index & 15)];
        }
    return info;
}

std::string shell(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Every unit of stream 0x20 as ffmpeg's parser assembles it, from the hex
// dump of ffprobe -show_data.
std::vector<std::string> ffprobeUnits(const std::string& input) {
    std::istringstream lines(shell("ffprobe -v error -select_streams '#0x20' -show_packets "
                                   "-show_data -show_entries packet=data '" +
                                   input + "' 2>/dev/null"));
    std::vector<std::string> units;
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "[PACKET]") units.emplace_back();
        if (units.empty() || line.size() < 10 || line[8] != ':') continue;
        std::string hex = line.substr(10, line.find("  ", 10) - 10);
        hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            units.back() += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return units;
}

bool haveTool(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(PictureRip, BmpFilesAndPhilipsListAgreeWithEachOtherAndTheTruth) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    fs::create_directory(dir.path / "pics");
    std::string cmd = "cd '" + dir.path.string() + "' && '" + MIRTAL_RIP_EXE +
                      "' --action bmp --prefix pics/sub --timing --format philips -o list.sub '" +
                      kVob.string() + "' </dev/null >out.txt 2>err.txt";
    int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    ASSERT_EQ(WEXITSTATUS(raw), 0) << slurp(dir.path / "err.txt");

    std::string list = slurp(dir.path / "list.sub");
    ASSERT_NE(list.find("FRAMERATE\tPAL\r\n"), std::string::npos);
    std::istringstream lines(list.substr(list.find("[LIST]\r\n") + 8));
    auto truth = table(kPal / "subs_s0.tsv");
    auto scan = table(kPal / "spuscan_s0.tsv");
    ASSERT_EQ(truth.size(), 46u);
    ASSERT_EQ(std::distance(fs::directory_iterator(dir.path / "pics"), {}), 46);
    std::string expectedIdentify;
    for (size_t i = 0; i < truth.size(); ++i) {
        SCOPED_TRACE("unit " + std::to_string(i));
        std::string name, start, stop;
        int w = 0, h = 0, x = 0, y = 0;
        ASSERT_TRUE(lines >> name >> start >> stop >> w >> h >> x >> y);
        char expectedName[32];
        std::snprintf(expectedName, sizeof expectedName, "sub%06zu.bmp", i + 1);
        EXPECT_EQ(name, expectedName);
        EXPECT_EQ(start, palFrameCode(truth[i]["start_ms"]));
        EXPECT_EQ(stop, palFrameCode(truth[i]["stop_ms"]));

        BmpInfo bmp = readBmp(dir.path / "pics" / name);
        EXPECT_EQ(bmp.width, w);
        EXPECT_EQ(bmp.height, h);
        EXPECT_EQ(bmp.bpp, 4);
        EXPECT_EQ(bmp.colours, 16);
        // Default composition: the visible text grown to 16 x 50 and to steps
        // of 8 and 2, centred, so the text keeps its place on the frame.
        int64_t vw = truth[i]["vis_w"], vh = truth[i]["vis_h"];
        int64_t W = (std::max<int64_t>(vw, 16) + 7) / 8 * 8,
                H = (std::max<int64_t>(vh, 50) + 1) / 2 * 2;
        EXPECT_EQ(w, W);
        EXPECT_EQ(h, H);
        EXPECT_EQ(x, truth[i]["vis_x"] - (W - vw) / 2);
        EXPECT_EQ(y, truth[i]["vis_y"] - (H - vh) / 2);
        // The detected order puts the fill in the font slot and the outline
        // in the outline slot.
        EXPECT_EQ(bmp.counts[1], scan[i]["n2"]);
        EXPECT_EQ(bmp.counts[2], scan[i]["n1"]);
        EXPECT_EQ(bmp.counts[0] + bmp.counts[1] + bmp.counts[2], w * h);
        expectedIdentify += name + " " + std::to_string(w) + " " + std::to_string(h) + "\n";
    }
    // ImageMagick reads the files as we do.
    if (haveTool("identify")) {
        EXPECT_EQ(
            shell("cd '" + dir.path.string() + "/pics' && identify -format '%f %w %h\\n' *.bmp"),
            expectedIdentify);
    }
}

TEST(PictureRip, SupFilesAreTheUnitsByteForByteAcrossAFileCut) {
    if (!haveTool("ffprobe")) GTEST_SKIP() << "ffprobe missing";
    const fs::path split = kData / "discs" / "split" / "VIDEO_TS";
    REQUIRE_FIXTURE(split / "VTS_01_2.VOB");
    for (auto [input, probe] : {std::pair{kVob, kVob.string()},
                                std::pair{split, "concat:" + (split / "VTS_01_1.VOB").string() +
                                                     "|" + (split / "VTS_01_2.VOB").string()}}) {
        SCOPED_TRACE(input);
        Scratch dir;
        Outcome r = rip({"sup", "--prefix", dir / "u", input.string()});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        std::vector<std::string> units = ffprobeUnits(probe);
        ASSERT_GE(units.size(), 40u);
        ASSERT_EQ(std::distance(fs::directory_iterator(dir.path), {}),
                  std::ptrdiff_t(units.size()));
        for (size_t i = 0; i < units.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "u%06zu.sup", i + 1);
            std::string sup = slurp(dir.path / name);
            ASSERT_GE(sup.size(), 2u) << name;
            EXPECT_EQ(sup.size(), size_t(uint8_t(sup[0]) << 8 | uint8_t(sup[1]))) << name;
            EXPECT_TRUE(sup == units[i]) << name;
        }
    }
}

TEST(PictureRip, SupTimingListsEachUnitWithItsOwnDisplayArea) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    Outcome r = rip(
        {"sup", "-p", dir / "u", "--timing", "--format", "iauthor", "--date", "D", kVob.string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.rfind("*******IAUTHOR OGT GENERATED BY MIRTAL 0.93b on D\r\n", 0), 0u);
    auto scan = table(kPal / "spuscan_s0.tsv");
    size_t at = 0;
    for (size_t i = 0; i < scan.size(); ++i) {
        char block[128];
        std::snprintf(block, sizeof block, "BMPFILE: u%06zu.sup\r\n", i + 1);
        at = r.out.find(block, at);
        ASSERT_NE(at, std::string::npos) << block;
        std::snprintf(block, sizeof block, " region %lld, %lld to %lld, %lld\r\n",
                      (long long)scan[i]["x1"], (long long)scan[i]["y1"], (long long)scan[i]["x2"],
                      (long long)scan[i]["y2"]);
        EXPECT_LT(r.out.find(block, at), r.out.find("Finished", at)) << block;
    }
}

// The I-Author preset's OK turns the list into its script, which needs the
// picture coordinates: a native list written afterwards keeps them, as it
// does when the windows convert back to native.
TEST(PictureRip, NativeListAfterTheIAuthorPresetKeepsTheCoordinates) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    auto scan = table(kPal / "spuscan_s0.tsv");
    Outcome kept = rip({"bmp", "-p", dir / "a", "--timing", "-f", "native", kVob.string()});
    ASSERT_EQ(kept.status, kExitOk) << kept.err;
    const std::string firstTimes = kept.out.substr(3, 29);
    EXPECT_EQ(kept.out.substr(0, 3), "1\r\n");
    char coordinates[64];
    std::snprintf(coordinates, sizeof coordinates, "  X1:%03lld X2:", (long long)scan[0]["x1"]);
    EXPECT_EQ(kept.out.substr(32, 11), std::string(coordinates).substr(0, 11)) << kept.out;
    EXPECT_EQ(kept.out.find("\r\na000001.bmp\r\n"), 61u) << kept.out.substr(0, 80);

    Outcome plain =
        rip({"bmp", "-p", dir / "b", "--timing", "-f", "native", "--no-extended", kVob.string()});
    EXPECT_EQ(plain.out.rfind("1\r\n" + firstTimes + "\r\nb000001.bmp\r\n", 0), 0u)
        << plain.out.substr(0, 80);

    // The Philips preset does not touch the native format's option; the
    // settings file's value stands, and so do the other format options.
    std::ofstream(dir / "philips.ini") << "[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n"
                                       << "[MIRTAL OUTPUT]\r\nExtended=0\r\n";
    Outcome philips = rip({"bmp", "-p", dir / "c", "--timing", "--settings", dir / "philips.ini",
                           "-f", "native", "--index-offset", "9", kVob.string()});
    EXPECT_EQ(philips.out.rfind("10\r\n" + firstTimes + "\r\nc000001.bmp\r\n", 0), 0u)
        << philips.out.substr(0, 80);
}

TEST(PictureShow, OneLinePerPictureAndStopsOnlyWhenAsked) {
    REQUIRE_FIXTURE(kVob);
    auto truth = table(kPal / "subs_s0.tsv");
    auto pictureLines = [](const std::string& out) {
        std::vector<std::string> rows;
        std::istringstream lines(out);
        for (std::string l; std::getline(lines, l);)
            if (!l.empty() && l[0] != '#') rows.push_back(l);
        return rows;
    };
    Outcome plain = rip({"show", kVob.string()});
    EXPECT_EQ(plain.status, kExitOk) << plain.err;
    auto rows = pictureLines(plain.out);
    ASSERT_EQ(rows.size(), truth.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        std::istringstream f(rows[i]);
        size_t n = 0;
        std::string start, stop;
        int x1, y1, x2, y2, w, h;
        f >> n >> start >> stop >> x1 >> y1 >> x2 >> y2 >> w >> h;
        EXPECT_EQ(n, i + 1);
        int64_t ms = truth[i]["start_ms"];
        char expected[64];
        std::snprintf(expected, sizeof expected, "00:%02lld:%02lld,%03lld", (long long)ms / 60000,
                      (long long)ms / 1000 % 60, (long long)ms % 1000);
        EXPECT_EQ(start, expected);
        EXPECT_EQ(x2 - x1 + 1, w);
        EXPECT_EQ(y2 - y1 + 1, h);
    }

    // At a terminal: Enter goes on, s stops no more, p stops the job.
    Outcome asked = rip({"show", "--ask", kVob.string()}, "\n\ns\n", true);
    EXPECT_EQ(pictureLines(asked.out), rows);
    size_t prompts = 0;
    for (size_t at = 0; (at = asked.err.find("Enter: next", at)) != std::string::npos; ++at)
        ++prompts;
    EXPECT_EQ(prompts, 3u);
    Outcome stopped = rip({"show", "--ask", kVob.string()}, "x\np\n", true);
    EXPECT_EQ(stopped.status, kExitDataProblem) << stopped.err;
    EXPECT_EQ(pictureLines(stopped.out).size(), 1u);
    EXPECT_NE(stopped.err.find("stopped as asked after subpicture 1"), std::string::npos);
    Outcome unattended = rip({"show", "--ask", kVob.string()}, "p\n", false);
    EXPECT_EQ(pictureLines(unattended.out), rows);
    EXPECT_NE(unattended.err.find("(no terminal) --ask: no stop"), std::string::npos);
}

TEST(PictureRip, UnwritablePictureStopsTheJobNamingTheFileAndKeepsTheOldList) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    fs::create_directory(dir.path / "sub000003.bmp"); // in the way of the third picture
    std::ofstream(dir / "list.txt") << "old list";
    Outcome r =
        rip({"bmp", "--prefix", dir / "sub", "--timing", "-o", dir / "list.txt", kVob.string()});
    EXPECT_EQ(r.status, kExitDataProblem);
    EXPECT_NE(r.err.find("Cannot write " + (dir / "sub000003.bmp") + ": Is a directory"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("stopped in " + kVob.string() + " at subpicture 3"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "sub000002.bmp"));
    EXPECT_FALSE(fs::exists(dir / "sub000004.bmp"));
    EXPECT_EQ(slurp(dir / "list.txt"), "old list");
}

TEST(PictureRip, SettingsAndProfilesShapeThePicturesAndChooseTheScript) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    std::ofstream(dir / "free.ini")
        << "[BMP OUT COLOR]\r\nBitPerPixel=8\r\nPresetColorPalIndex=0\r\n"
        << "[PHILIPS OUTPUT]\r\nFrameRate=1\r\n[IAUTHOR OUTPUT]\r\nBlend_0=99\r\n";
    std::ofstream(dir / "uncut.ini") << "[BMP OUT CROPPING]\r\nEnabled=0\r\n"
                                     << "[BMP OUT COLOR]\r\nPresetColorPalIndex=2\r\n";
    auto scan = table(kPal / "spuscan_s0.tsv");

    // Without a preset of its own the list is the default preset's script.
    Outcome byDefault = rip({"bmp", "-p", dir / "a", "--timing", kVob.string()});
    EXPECT_EQ(byDefault.out.rfind("*******IAUTHOR OGT", 0), 0u) << byDefault.err;

    Outcome free =
        rip({"bmp", "-p", dir / "b", "--timing", "--settings", dir / "free.ini", kVob.string()});
    EXPECT_EQ(free.status, kExitOk) << free.err;
    EXPECT_NE(free.err.find("warning: " + dir / "free.ini" + ": [IAUTHOR OUTPUT] Blend_0=99"),
              std::string::npos)
        << free.err;
    EXPECT_EQ(free.out.rfind("1\r\n00:00:01,740 --> 00:00:03,093\r\nb000001.bmp\r\n", 0), 0u)
        << free.out.substr(0, 80);
    EXPECT_EQ(readBmp(dir / "b000001.bmp").bpp, 8);
    Outcome ntsc = rip({"bmp", "-p", dir / "c", "--timing", "--settings", dir / "free.ini", "-f",
                        "philips", "--title", "Film", kVob.string()});
    EXPECT_NE(ntsc.out.find("TITLE\t\tFilm\r\nFRAMERATE\tNTSC\r\nDROPFRAME\tYES\r\n"),
              std::string::npos);

    // The profile replaces every bitmap section of the settings file.
    Outcome uncut = rip({"bmp", "-p", dir / "d", "--timing", "--settings", dir / "free.ini",
                         "--profile", dir / "uncut.ini", kVob.string()});
    EXPECT_EQ(uncut.out.rfind("# PHILIPS SVCD DESIGNER", 0), 0u) << uncut.err;
    BmpInfo first = readBmp(dir / "d000001.bmp");
    EXPECT_EQ(first.bpp, 4);
    EXPECT_EQ(first.width, scan[0]["x2"] - scan[0]["x1"] + 1);
    EXPECT_EQ(first.height, scan[0]["y2"] - scan[0]["y1"] + 1);
}

TEST(PictureUsage, BadCommandLinesAndInputsAreRefusedBeforeAnythingIsWritten) {
    REQUIRE_FIXTURE(kVob);
    Scratch dir;
    fs::create_directory(dir.path / "sub");
    std::ofstream(dir / "file") << "x";
    const std::string vob = kVob.string();
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    std::vector<Case> cases = {
        {{}, "--action needs bmp, sup, vobsub or show"},
        {{"text", vob}, "expected bmp, sup, vobsub or show"},
        {{"vobsub", vob}, "vobsub needs -o NAME"},
        {{"bmp", vob}, "needs --prefix PATH"},
        {{"bmp", "--prefix", dir / "none/p", vob}, "folder " + (dir / "none") + " does not exist"},
        {{"sup", "--prefix", dir / "file/p", vob}, "is not a folder"},
        {{"bmp", "--prefix", dir / "p", "-o", dir / "l.txt", vob}, "needs --timing"},
        {{"bmp", "--prefix", dir / "p", "--timing", "-o", dir / "none/l.txt", vob}, "-o: folder"},
        {{"bmp", "--prefix", dir / "p", "--timing", "-o", dir / "sub", vob}, "is a folder"},
        {{"bmp", "--prefix", dir / "p", "--timing", "-f", "vtt", vob}, "--format: expected"},
        {{"bmp", "--prefix", dir / "p", "--timing", "--blend", "1,2,3", vob}, "--blend: expected"},
        {{"show", "--timing", vob}, "writes no files"},
        {{"sup", "--prefix", dir / "p", "--ask", vob}, "--ask is for --action show"},
        {{"bmp", "--prefix", dir / "p", "--settings", dir / "no.ini", vob}, "no such file"},
        {{"bmp", "--prefix", dir / "p", "--profile", dir / "sub", vob}, "it is a folder"},
        {{"bmp", "--prefix", dir / "p", dir / "missing.vob"}, "not found"},
        {{"bmp", "--prefix", dir / "p", "--stream", "40", vob}, "1..32"},
        {{"bmp", "--prefix", dir / "p", "--time-code", "1:00", vob}, "HH:MM:SS,mmm"},
    };
    for (const Case& c : cases) {
        Outcome r = rip(c.args);
        EXPECT_EQ(r.status, kExitUsage) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.message << " / " << r.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 2); // sub and file only
}
