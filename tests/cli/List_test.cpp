#include "Commands.h"

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

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Outcome listRun(std::vector<std::string> args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    CliIo io{in, out, err, false};
    args.insert(args.begin(), "--list");
    Outcome r;
    r.status = runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

struct Listed {
    uint32_t number;
    int64_t startMs, stopMs;
    int x1, y1, x2, y2;
    size_t bytes;
};

int64_t ms(const std::string& tc) {
    int h, m, s, f;
    if (std::sscanf(tc.c_str(), "%d:%d:%d,%d", &h, &m, &s, &f) != 4) return -1;
    return ((h * 60LL + m) * 60 + s) * 1000 + f;
}

std::vector<Listed> parse(const std::string& out) {
    std::vector<Listed> rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        Listed l{};
        std::string start, stop;
        f >> l.number >> start >> stop >> l.x1 >> l.y1 >> l.x2 >> l.y2 >> l.bytes;
        l.startMs = ms(start);
        l.stopMs = ms(stop);
        rows.push_back(l);
    }
    return rows;
}

// Rows of a tab-separated fixture table, by column name.
std::vector<std::map<std::string, std::string>> table(const fs::path& path) {
    std::vector<std::map<std::string, std::string>> rows;
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> names;
    auto split = [](const std::string& s) {
        std::vector<std::string> cells;
        std::istringstream f(s);
        std::string c;
        while (std::getline(f, c, '\t')) cells.push_back(c);
        return cells;
    };
    if (std::getline(in, line)) names = split(line);
    while (std::getline(in, line)) {
        auto cells = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < names.size() && i < cells.size(); ++i) row[names[i]] = cells[i];
        rows.push_back(row);
    }
    return rows;
}

fs::path disc(const std::string& name) {
    return kData / "discs" / name / "VIDEO_TS";
}

// The start of every subtitle of an SRT file, in ms.
std::vector<int64_t> srtStarts(const fs::path& srt) {
    std::vector<int64_t> starts;
    std::ifstream in(srt);
    for (std::string line; std::getline(in, line);)
        if (line.find(" --> ") != std::string::npos) starts.push_back(ms(line.substr(0, 12)));
    return starts;
}

// A key=value line of a fixture's facts file.
std::string fact(const fs::path& file, const std::string& key) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

#define REQUIRE_FIXTURE(path)                                                                      \
    if (!fs::exists(path)) GTEST_SKIP() << "fixture missing: " << (path)

void expectMatchesTruth(const std::vector<Listed>& rows, const fs::path& subs,
                        const fs::path& scan) {
    auto truth = table(subs);
    auto ours = table(scan);
    ASSERT_FALSE(truth.empty());
    ASSERT_EQ(rows.size(), truth.size()) << subs;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(subs.string() + " row " + std::to_string(i));
        EXPECT_EQ(rows[i].number, i + 1);
        EXPECT_NEAR(rows[i].startMs, std::stoll(truth[i]["start_ms"]), 1);
        EXPECT_NEAR(rows[i].stopMs, std::stoll(truth[i]["stop_ms"]), 1);
        EXPECT_EQ(rows[i].bytes, std::stoul(truth[i]["size"]));
        EXPECT_EQ(rows[i].x1, std::stoi(ours[i]["x1"]));
        EXPECT_EQ(rows[i].y1, std::stoi(ours[i]["y1"]));
        EXPECT_EQ(rows[i].x2, std::stoi(ours[i]["x2"]));
        EXPECT_EQ(rows[i].y2, std::stoi(ours[i]["y2"]));
    }
}

} // namespace

TEST(ListFixtures, EveryDiscMatchesFfprobeTimes) {
    for (const char* name : {"pal_en", "pal_en_fr", "ntsc", "split"}) {
        fs::path ifo = disc(name) / "VTS_01_0.IFO";
        REQUIRE_FIXTURE(ifo);
        for (int k = 0;
             fs::exists(disc(name).parent_path() / ("subs_s" + std::to_string(k) + ".tsv")); ++k) {
            Outcome r = listRun({ifo.string(), "--stream", std::to_string(k + 1)});
            EXPECT_EQ(r.status, kExitOk) << name << ": " << r.err;
            EXPECT_TRUE(r.err.empty()) << r.err;
            fs::path base = disc(name).parent_path();
            expectMatchesTruth(parse(r.out), base / ("subs_s" + std::to_string(k) + ".tsv"),
                               base / ("spuscan_s" + std::to_string(k) + ".tsv"));
            // From the first video frame, as the film is played: the times
            // the subtitles were authored with, within one frame.
            auto rows = parse(
                listRun({ifo.string(), "--stream", std::to_string(k + 1), "--from-video-start"})
                    .out);
            auto srt =
                srtStarts(kData / fact(base / "disc.txt", "stream" + std::to_string(k) + "_srt"));
            ASSERT_EQ(rows.size(), srt.size()) << name;
            for (size_t i = 0; i < rows.size(); ++i)
                EXPECT_NEAR(rows[i].startMs, srt[i], 40) << name << " row " << i;
        }
    }
}

TEST(ListFixtures, TwoFileTitleLosesNothingAtTheCut) {
    REQUIRE_FIXTURE(disc("split") / "VTS_01_2.VOB");
    Outcome folder = listRun({disc("split").string()});
    Outcome files = listRun(
        {(disc("split") / "VTS_01_1.VOB").string(), (disc("split") / "VTS_01_2.VOB").string()});
    EXPECT_EQ(folder.status, kExitOk) << folder.err;
    auto rows = parse(folder.out);
    auto truth = table(disc("split").parent_path() / "subs_s0.tsv");
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows[16].bytes, std::stoul(truth[16]["size"])); // the unit cut in two
    EXPECT_EQ(parse(files.out).size(), 40u);
    EXPECT_NE(folder.out.find("2 files"), std::string::npos);
}

TEST(ListFixtures, StreamByLanguageIdOrNumberPicksTheSameStream) {
    fs::path ifo = disc("pal_en_fr") / "VTS_01_0.IFO";
    REQUIRE_FIXTURE(ifo);
    Outcome fr = listRun({ifo.string(), "--stream", "fr"});
    Outcome id = listRun({ifo.string(), "--stream", "0x21"});
    Outcome num = listRun({ifo.string(), "-s", "2"});
    Outcome upper = listRun({(disc("pal_en_fr") / "VTS_01_1.VOB").string(), "--stream=FR"});
    EXPECT_EQ(fr.status, kExitOk) << fr.err;
    EXPECT_EQ(fr.out, id.out);
    EXPECT_EQ(fr.out, num.out);
    EXPECT_EQ(parse(fr.out).size(), parse(upper.out).size());
    EXPECT_NE(fr.out.find("# stream 2 (substream 0x21): French"), std::string::npos);
    EXPECT_NE(fr.out.find("#   1  - English"), std::string::npos);
    fs::path base = disc("pal_en_fr").parent_path();
    expectMatchesTruth(parse(fr.out), base / "subs_s1.tsv", base / "spuscan_s1.tsv");
}

TEST(ListFixtures, WideTitleReadsEachStreamThroughItsProgramChain) {
    fs::path ifo = disc("wide") / "VTS_01_0.IFO";
    REQUIRE_FIXTURE(ifo);
    struct Case {
        std::vector<std::string> args;
        int substream; // K of the truth tables
        std::string header;
    };
    for (const Case& c : {
             Case{{"--stream", "fr"}, 2, "# stream 2 (substream 0x22, wide): French"},
             Case{{"-s", "1", "--view", "letterbox"},
                  1,
                  "# stream 1 (substream 0x21, letterbox): English"},
             Case{{"--stream", "0x23"}, 3, "# stream 2 (substream 0x23, letterbox): French"},
         }) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), ifo.string());
        Outcome r = listRun(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        EXPECT_NE(r.out.find(c.header), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("#   2  - French  wide 0x22  letterbox 0x23\n"), std::string::npos);
        const std::string k = std::to_string(c.substream);
        fs::path base = disc("wide").parent_path();
        expectMatchesTruth(parse(r.out), base / ("subs_s" + k + ".tsv"),
                           base / ("spuscan_s" + k + ".tsv"));
    }
}

TEST(ListFixtures, TimeCodeContinuesTheTimeLine) {
    fs::path vob = disc("pal_en") / "VTS_01_1.VOB";
    REQUIRE_FIXTURE(vob);
    auto plain = parse(listRun({vob.string()}).out);
    Outcome shifted = listRun({vob.string(), "--time-code", "01:00:00,250"});
    auto rows = parse(shifted.out);
    ASSERT_EQ(rows.size(), plain.size());
    ASSERT_FALSE(rows.empty());
    // The first pack has SCR 0, so every time moves by the Last TimeCode.
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].startMs, plain[i].startMs + 3'600'250);
        EXPECT_EQ(rows[i].stopMs, plain[i].stopMs + 3'600'250);
    }
    // A job that continues a time line keeps it, whatever its reference.
    EXPECT_EQ(listRun({vob.string(), "--time-code", "01:00:00,250", "--from-video-start"}).out,
              shifted.out);
}

// Streams as other muxers and converters write them list as the disc they
// were made from.
TEST(ListVariants, OtherWritersListAsTheirSource) {
    const fs::path v = kData / "variants";
    REQUIRE_FIXTURE(v / "ffmpeg.vob");
    // ffmpeg's VOB muxer: system headers in front of ordinary packs.
    for (int k = 0; k < 2; ++k) {
        auto rows = parse(listRun({(v / "ffmpeg.vob").string(), "-s", std::to_string(k + 1)}).out);
        auto truth =
            table(disc("pal_en_fr").parent_path() / ("subs_s" + std::to_string(k) + ".tsv"));
        ASSERT_EQ(std::to_string(rows.size()),
                  fact(v / "ffmpeg.txt", "stream" + std::to_string(k) + "_count"));
        // The re-encoder rounds the stop delay down: only the starts are the disc's.
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_NEAR(rows[i].startMs, std::stoll(truth[i]["start_ms"]), 1) << k << " " << i;
    }
    // First packets without a PTS (timed by their pack) and stuffed pack headers.
    std::istringstream expected(readFile(v / "unstamped.txt"));
    auto rows = parse(listRun({(v / "unstamped.vob").string()}).out);
    for (const Listed& row : rows) {
        int64_t start = -1;
        expected >> start;
        EXPECT_EQ(row.startMs, start) << row.number;
    }
    EXPECT_EQ(rows.size(), 7u);
    // A VobSub .sub whose packs have their natural length.
    const Outcome unpadded = listRun({(v / "unpadded.idx").string()});
    const Outcome padded = listRun({(kData / "vobsub" / "pal_en_fr.en.idx").string()});
    EXPECT_EQ(unpadded.status, kExitOk) << unpadded.err;
    EXPECT_EQ(parse(unpadded.out).size(), 42u);
    EXPECT_EQ(unpadded.out.substr(unpadded.out.find("#    number")),
              padded.out.substr(padded.out.find("#    number")));
}

TEST(ListVariants, DamagedOrMissingPicturesAreReportedAndTheJobIsIncomplete) {
    const fs::path v = kData / "variants";
    REQUIRE_FIXTURE(v / "damaged.vob");
    fs::path empty = fs::temp_directory_path() / ("mirtal-empty-" + std::to_string(::getpid()));
    fs::create_directories(empty);
    fs::copy_file(v / "cut.idx", empty / "cut.idx", fs::copy_options::overwrite_existing);
    std::ofstream(empty / "cut.sub").close();
    struct Case {
        fs::path input;
        size_t listed;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {v / "damaged.vob",
         2,
         {"Subpicture 2 at 00:00:03,400 skipped: its control offset lies outside it",
          "Subpicture 3 at 00:00:05,910 skipped: its size field is 0",
          "Subpicture 4 at 00:00:09,200 skipped: its size field says more",
          "Subpicture 5 at 00:00:12,120 skipped: its display area is inverted",
          "Subpicture 6 at 00:00:15,810 skipped: its display area lies outside the frame",
          "# total: 2 subpictures, 5 damaged (skipped)"}},
        {v / "cut.idx", 30, {"12 of the 42 subpictures that its index lists are not in cut.sub"}},
        {empty / "cut.idx", 0, {"42 of the 42 subpictures"}},
    };
    for (const Case& c : cases) {
        const Outcome r = listRun({c.input.string()});
        EXPECT_EQ(r.status, kExitDataProblem) << c.input;
        EXPECT_EQ(parse(r.out).size(), c.listed) << c.input;
        for (const std::string& m : c.messages)
            EXPECT_NE((r.err + r.out).find(m), std::string::npos) << m << "\n" << r.err;
    }
    // No blank pictures for the damaged units: their numbers stay unused.
    std::istringstream in;
    std::ostringstream out, err;
    CliIo io{in, out, err, false};
    EXPECT_EQ(runCli(std::vector<std::string>{"--action", "bmp", "--prefix", (empty / "p").string(),
                                              (v / "damaged.vob").string()},
                     io),
              kExitDataProblem);
    EXPECT_NE(err.str().find("5 damaged (skipped), 2 pictures written"), std::string::npos)
        << err.str();
    EXPECT_TRUE(fs::exists(empty / "p000007.bmp"));
    EXPECT_FALSE(fs::exists(empty / "p000002.bmp"));
    fs::remove_all(empty);
}

TEST(ListBroken, TruncatedFileKeepsCompleteUnitsAndFails) {
    fs::path f = kData / "broken" / "truncated.vob";
    REQUIRE_FIXTURE(f);
    Outcome r = listRun({f.string()});
    EXPECT_EQ(r.status, kExitDataProblem);
    EXPECT_EQ(parse(r.out).size(), 2u);
    EXPECT_NE(r.err.find("Can't open file " + f.string() + " ,it might be crypted"),
              std::string::npos);
}

TEST(ListBroken, BadPackIsSkippedByDefaultOrStopsWithAnswerNo) {
    fs::path f = kData / "broken" / "bad_pack_start.vob";
    REQUIRE_FIXTURE(f);
    Outcome yes = listRun({f.string()});
    EXPECT_EQ(yes.status, kExitDataProblem);
    EXPECT_EQ(parse(yes.out).size(), 7u);
    EXPECT_NE(yes.err.find("Bad Packet Header at LBA: 130"), std::string::npos);
    EXPECT_NE(yes.err.find("answered yes"), std::string::npos);

    Outcome no = listRun({f.string(), "--answer", "no"});
    EXPECT_EQ(no.status, kExitDataProblem);
    EXPECT_LT(parse(no.out).size(), 7u);
    EXPECT_NE(no.err.find("stopped at the bad pack"), std::string::npos);
}

TEST(ListBroken, RandomBytesAndShortIfosGiveMessages) {
    fs::path random = kData / "broken" / "random_64k.bin";
    REQUIRE_FIXTURE(random);
    Outcome r = listRun({random.string()});
    EXPECT_EQ(r.status, kExitDataProblem);
    EXPECT_TRUE(parse(r.out).empty());
    EXPECT_NE(r.err.find("Bad Packet Header"), std::string::npos);

    // A short IFO beside the title's VOB: warned about, names read so far kept.
    fs::path tmp = fs::temp_directory_path() / ("mirtal-cli-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    fs::copy_file(kData / "broken" / "short604_VTS_01_0.IFO", tmp / "VTS_01_0.IFO",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(disc("pal_en_fr") / "VTS_01_1.VOB", tmp / "VTS_01_1.VOB",
                  fs::copy_options::overwrite_existing);
    Outcome s = listRun({(tmp / "VTS_01_0.IFO").string()});
    Outcome fr = listRun({(tmp / "VTS_01_0.IFO").string(), "--stream", "fr"});
    fs::remove_all(tmp);
    EXPECT_EQ(s.status, kExitDataProblem);
    EXPECT_NE(s.err.find("too short"), std::string::npos);
    EXPECT_NE(s.out.find("English"), std::string::npos);
    EXPECT_EQ(parse(s.out).size(), 42u);
    EXPECT_EQ(fr.status, kExitUsage); // its code was never read
}

TEST(ListUsage, BadCommandLinesAreRefusedWithStatus2) {
    fs::path vob = disc("pal_en") / "VTS_01_1.VOB";
    fs::path wide = disc("wide") / "VTS_01_0.IFO";
    REQUIRE_FIXTURE(vob);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    std::vector<Case> cases = {
        {{}, "no input"},
        {{vob.string(), "--stream", "33"}, "1..32"},
        {{vob.string(), "--stream", "0x40"}, "0x20..0x3F"},
        {{vob.string(), "--stream", "de"}, "no stream with the language de"},
        {{(kData / "broken" / "random_64k.bin").string(), "--stream", "fr"}, "needs the title"},
        {{vob.string(), "--time-code", "1:00:00"}, "HH:MM:SS,mmm"},
        {{vob.string(), "--time-code", "00:61:00,000"}, "HH:MM:SS,mmm"},
        {{(kData / "nothing.vob").string()}, "not found"},
        {{(disc("pal_en") / "VIDEO_TS.IFO").string()}, "not a title set IFO"},
        {{vob.string(), "--no-such-option"}, "unknown option"},
        {{vob.string(), "--stream"}, "needs a value"},
        {{vob.string(), "--view", "wide"}, "needs a 16:9 title"},
        {{vob.string(), "--view", "tall"}, "is not wide, letterbox or panscan"},
        {{wide.string(), "--stream", "fr", "--view", "panscan"}, "has no panscan substream"},
        {{wide.string(), "--stream", "0x22", "--view", "wide"}, "give its number or language"},
    };
    for (const Case& c : cases) {
        Outcome r = listRun(c.args);
        EXPECT_EQ(r.status, kExitUsage) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(parse(r.out).empty());
    }
}

TEST(ListUsage, HelpDocumentsEveryOptionAndCommand) {
    std::istringstream in;
    std::ostringstream out, err;
    CliIo io{in, out, err, false};
    EXPECT_EQ(runCli(std::vector<std::string>{"--help"}, io), kExitOk);
    for (const OptionSpec& o : optionTable())
        EXPECT_NE(out.str().find(std::string(o.name)), std::string::npos) << o.name;
    for (const Command& c : commandTable())
        EXPECT_NE(out.str().find(std::string(c.name)), std::string::npos) << c.name;
    std::ostringstream err2;
    CliIo io2{in, out, err2, false};
    EXPECT_EQ(runCli(std::vector<std::string>{"x.vob"}, io2), kExitUsage);
    EXPECT_NE(err2.str().find("no command"), std::string::npos);
}

// 0 success, 1 a job that failed or is incomplete, 2 a bad command line or
// a refusal before starting: for every command, never a crash.
TEST(ListExecutable, EveryCommandExitsWithTheDocumentedStatus) {
    const fs::path dir = fs::temp_directory_path() / ("mirtal-exit-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string good = (disc("pal_en") / "VTS_01_1.VOB").string();
    const std::string broken = (kData / "broken" / "truncated.vob").string();
    const std::string vtx = (dir / "a.vtx").string(), p = (dir / "p").string();
    std::ofstream(vtx) << "1\r\n00:00:00,000 --> 00:00:01,000\r\nHello\r\n\r\n";
    std::ofstream(dir / "bad.qmx") << "not a matrix";
    const std::pair<std::vector<std::string>, int> runs[] = {
        {{"--list", good}, 0},
        {{"--list", broken}, 1},
        {{"--list", (kData / "broken" / "bad_pack_start.vob").string()}, 1},
        {{"--list", (kData / "broken" / "random_64k.bin").string()}, 1},
        {{"--list", (kData / "broken" / "short700_VTS_01_0.IFO").string()}, 2},
        {{"--convert", vtx}, 0},
        {{"--convert", vtx, "--stretch", "00:00:01,000"}, 1}, // the last start is zero
        {{"--convert", vtx, "--split", "1-2"}, 2},
        {{"--action", "show", good}, 0},
        {{"--action", "sup", "--prefix", p, broken}, 1},
        {{"--action", "bmp", good}, 2},
        {{"--action", "ocr", "--matrix", (dir / "m.qmx").string(), "--no-ask", good}, 0},
        {{"--action", "ocr", "--matrix", (dir / "bad.qmx").string(), good}, 1},
        {{"--action", "ocr", good}, 2},
    };
    for (const auto& [args, expected] : runs) {
        std::string cmd = std::string("'") + MIRTAL_RIP_EXE + "'";
        for (const std::string& a : args) cmd += " '" + a + "'";
        const int raw = std::system((cmd + " </dev/null >/dev/null 2>&1").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << cmd; // not killed by a signal
        EXPECT_EQ(WEXITSTATUS(raw), expected) << cmd;
    }
    fs::remove_all(dir);
}
