#include "../settings/TempFolder.h"
#include "Commands.h"
#include "DiscTruth.h"
#include "FakeHost.h"
#include "JobInput.h"
#include "ocr/MatrixFile.h"
#include "rip/Session.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;
using namespace mirtal::test;
namespace fs = std::filesystem;

namespace {

const fs::path kData = MIRTAL_TEST_DATA;
const fs::path kPairs = kData / "vobsub";
const fs::path kTwoStreamVob = kData / "discs" / "pal_en_fr" / "VIDEO_TS" / "VTS_01_1.VOB";

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    cli::CliIo io{in, out, err, false};
    Outcome r;
    r.status = cli::runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The subpicture lines of --list (number, times, area, size), without the
// '#' lines that name the input.
std::vector<std::string> listed(std::vector<std::string> args) {
    args.insert(args.begin(), "--list");
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rows;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    return rows;
}

std::string field(const std::string& row, int n) {
    std::istringstream f(row);
    std::string s;
    for (int i = 0; i <= n; ++i) f >> s;
    return s;
}

// A matrix that reads every glyph of stream `stream` of pal_en_fr, learned
// from the disc's ground truth.
CharMatrix trainedMatrix(int stream, int32_t spaceWidth, uint8_t maxCharDiffHeight) {
    DiscTruth truth("pal_en_fr", stream);
    FakeHost host;
    MessageCatalogue catalogue;
    FixedBannerClock clock("");
    Session session(host, catalogue, clock);
    session.ocrSettings().SpaceWidth = session.ocrSettings().ItaSpaceWidth = spaceWidth;
    session.ocrSettings().MaxCharDiffHeight = maxCharDiffHeight;
    session.chooseStream(uint8_t(0x20 + stream));
    host.glyphResponder = [&](const GlyphQuestion& q) {
        return GlyphAnswer{GlyphAction::Learn,
                           truth.answer(q.startMs, q.line, q.charIndex, q.lineBoxes)};
    };
    JobSetup setup;
    setup.files = {kTwoStreamVob};
    setup.action = kActionOcr;
    EXPECT_TRUE(session.startJob(setup));
    while (!session.job().finished() && !session.job().Paused) session.tick();
    EXPECT_TRUE(session.job().finished());
    return session.matrix();
}

} // namespace

// Pairs written by ffmpeg (into Matroska) and mkvextract, one per stream of
// the disc: the same subpictures at the same times as the VOB, each pair's
// only stream named by its .idx.
TEST(VobSubInput, IndependentlyWrittenPairsListLikeTheVob) {
    const auto en = listed({kTwoStreamVob.string()});
    const auto fr = listed({"--stream", "2", kTwoStreamVob.string()});
    ASSERT_EQ(en.size(), 42u);
    ASSERT_EQ(fr.size(), 42u);
    EXPECT_EQ(listed({(kPairs / "pal_en_fr.en.idx").string()}), en);
    EXPECT_EQ(listed({(kPairs / "pal_en_fr.fr.sub").string()}), fr);
    EXPECT_EQ(listed({"--stream", "fr", (kPairs / "pal_en_fr.fr.idx").string()}), fr);

    const Outcome names = run({"--list", (kPairs / "pal_en_fr.fr.sub").string()});
    EXPECT_NE(names.out.find("# " + (kPairs / "pal_en_fr.fr.idx").string() + "\n#   1  - French\n"),
              std::string::npos)
        << names.out;
    EXPECT_NE(names.out.find("# stream 1 (substream 0x20): French"), std::string::npos);
}

// Our own pair holds both streams with every PTS zero, its .idx entries
// shifted by a "delay:" and written with CR LF: only the index can time it.
TEST(VobSubInput, WithoutUsablePtsTheIndexTimesTheSubpictures) {
    const fs::path idx = kPairs / "nopts.idx";
    EXPECT_EQ(listed({idx.string()}), listed({kTwoStreamVob.string()}));
    EXPECT_EQ(listed({"--stream", "fr", (kPairs / "nopts.sub").string()}),
              listed({"--stream", "2", kTwoStreamVob.string()}));

    // The same .sub read as a plain VOB: every start is the zero PTS.
    TempFolder dir;
    fs::copy_file(kPairs / "nopts.sub", dir / "nopts.vob");
    const auto plain = listed({(dir / "nopts.vob").string()});
    ASSERT_EQ(plain.size(), 42u);
    for (const std::string& row : plain) EXPECT_EQ(field(row, 1), "00:00:00,000") << row;
}

TEST(VobSubInput, DamagedOrIncompletePairsAreRefusedWithTheReason) {
    TempFolder dir;
    fs::copy_file(kPairs / "nopts.sub", dir / "a.sub");
    Outcome r = run({"--list", (dir / "a.sub").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no a.idx beside it"), std::string::npos) << r.err;

    std::string text = readText(kPairs / "nopts.idx");
    text.insert(text.find("timestamp: 00:00:03:630"), "timestamp: 00:00:0");
    writeText(dir / "a.idx", text);
    r = run({"--list", (dir / "a.idx").string()});
    EXPECT_EQ(r.status, 1); // the pair is there but damaged
    EXPECT_NE(r.err.find("is damaged, line 20: expected"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    // A stream code the index does not have.
    r = run({"--list", "--stream", "de", (kPairs / "nopts.idx").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

// The fixture's forced.txt gives the units whose start was made the forced
// start: only those are kept, numbered from 1, at their own times.
TEST(VobSubInput, ForcedOnlyKeepsTheForcedSubpictures) {
    const fs::path vob = kPairs / "forced.vob";
    std::istringstream units(readText(kPairs / "forced.txt"));
    std::vector<size_t> forced;
    for (size_t u; units >> u;) forced.push_back(u);
    ASSERT_EQ(forced, (std::vector<size_t>{0, 3, 6}));

    const auto all = listed({vob.string()});
    const auto kept = listed({"--forced-only", vob.string()});
    ASSERT_EQ(all.size(), 7u);
    ASSERT_EQ(kept.size(), forced.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(field(kept[i], 0), std::to_string(i + 1));
        EXPECT_EQ(kept[i].substr(6), all[forced[i]].substr(6));
    }
    const Outcome r = run({"--list", "--forced-only", vob.string()});
    EXPECT_NE(r.out.find("# total: 3 subpictures"), std::string::npos) << r.out;
    const Outcome none = run({"--list", "--forced-only", kTwoStreamVob.string()});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no forced subpictures in stream 1\n"), std::string::npos) << none.err;
}

// The OCR and the pictures of a pair against those of the VOB, with one
// matrix: the same file of subtitles, the same BMPs.
TEST(VobSubInput, OcrAndPicturesOfAPairAreThoseOfTheVob) {
    TempFolder dir;
    ASSERT_TRUE(SaveMatrixFile(dir / "fr.qmx", trainedMatrix(1, 9, 0)).ok);
    writeText(dir / "Mirtal.ini",
              "[OCR SETTING]\r\nSpaceWidth=9\r\nItaSpaceWidth=9\r\nMaxCharDiffHeight=0\r\n");
    auto ocr = [&](const std::vector<std::string>& input, const std::string& out) {
        std::vector<std::string> args = {"--action",
                                         "ocr",
                                         "--matrix",
                                         (dir / "fr.qmx").string(),
                                         "--settings",
                                         (dir / "Mirtal.ini").string(),
                                         "--no-ask",
                                         "--date",
                                         "x",
                                         "-o",
                                         (dir / out).string()};
        args.insert(args.end(), input.begin(), input.end());
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return readText(dir / out);
    };
    const std::string fromVob = ocr({"--stream", "2", kTwoStreamVob.string()}, "vob.vtx");
    EXPECT_NE(fromVob.find("Bienvenue"), std::string::npos) << fromVob;
    EXPECT_EQ(ocr({(kPairs / "pal_en_fr.fr.idx").string()}, "mkv.vtx"), fromVob);
    EXPECT_EQ(ocr({"--stream", "fr", (kPairs / "nopts.sub").string()}, "nopts.vtx"), fromVob);

    auto bmps = [&](const std::vector<std::string>& input, const std::string& prefix) {
        std::vector<std::string> args = {"--action", "bmp", "--prefix", (dir / prefix).string()};
        args.insert(args.end(), input.begin(), input.end());
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> pictures;
        for (int n = 1;; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "%06d.bmp", n);
            const fs::path picture = dir / (prefix + name);
            if (!fs::exists(picture)) break;
            pictures.push_back(readText(picture));
        }
        return pictures;
    };
    const auto vobPictures = bmps({"--stream", "2", kTwoStreamVob.string()}, "vob");
    EXPECT_EQ(vobPictures.size(), 42u);
    EXPECT_EQ(bmps({(kPairs / "pal_en_fr.fr.sub").string()}, "mkv"), vobPictures);
    // Pictures of a 1920x1080 frame are composed within it, not cut to the DVD's.
    EXPECT_EQ(bmps({(kData / "variants" / "hd.idx").string()}, "hd"),
              bmps({(kPairs / "pal_en_fr.en.idx").string()}, "en"));
}
