// Throughput of a text rip with a trained matrix on real subpictures: the
// units of a disc's stream are read once, a matrix is trained on them (every
// unknown glyph named once), then every unit is decoded, cropped, segmented
// and matched again and again. The figure is the best pass in processor
// time of this process, the machine being shared; the baseline in the same
// run is decoding alone.
//
//   ocr_rip_bench [VOB or VIDEO_TS folder] [passes] [stream 1..32] [auto]
//
// With "auto" the space widths are chosen from each pass's gaps.
//
// Without a path: the large benchmark VOB when it exists, else the fixture
// disc pal_en.
#include "base/Files.h"
#include "ocr/OcrDriver.h"
#include "rip/Session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace mirtal;
namespace fs = std::filesystem;

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Collects the raw units as the show-only action meets them; nothing is asked.
class UnitCollector : public SubpictureActions, public SubtitleSink {
public:
    std::vector<std::vector<uint8_t>> units;

    void recognise(RipEngine&, const SubpictureEvent&) override {}
    Result saveBitmap(RipEngine&, const SubpictureEvent&) override { return {}; }
    void show(RipEngine&, const SubpictureEvent& e) override {
        units.emplace_back(e.spu.begin(), e.spu.end());
    }
    int count() const override { return 0; }
    TTimeCode lastStop() const override { return {}; }
    void closeLast(TTimeCode) override {}
    void add(const std::vector<std::string>&, TTimeCode, TTimeCode, const Rect&) override {}
};

class QuietHost : public Host {
public:
    int asked = 0;
    bool learning = true;
    Answer ask(MessageKind, Buttons, const std::string& text) override {
        throw std::runtime_error(text);
    }
    std::optional<fs::path> chooseOpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<fs::path> chooseSaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override { return guess; }
    // Every new shape gets a name of its own.
    GlyphAnswer askGlyph(const GlyphQuestion& q) override {
        ++asked;
        if (!learning) return {GlyphAction::SkipSubpicture, {}};
        return {GlyphAction::Learn, "g" + std::to_string(q.symbolIndex)};
    }
    bool adjustBitmap() override { return true; }
    ProgressionChoice waitAtProgression() override { return ProgressionChoice::NoStop; }
    void processEvents() override {}
    uint32_t tickMs() override { return 0; }
    void displayChanged(const RipDisplay&) override {}
    void showPicture(const Bitmap24&, const Rect&) override {}
    void showPicture(const PaletteBitmap&, const Rect&) override {}
};

std::vector<fs::path> vobsOf(const fs::path& input) {
    if (!fs::is_directory(input)) return {input};
    std::vector<fs::path> vobs;
    for (const fs::path& p : listFilesMatching(input, "VTS_??_?.VOB"))
        if (p.filename().string()[7] != '0') vobs.push_back(p);
    return vobs;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path large = "/tmp/mirtal-large-vob/disc/VIDEO_TS/VTS_01_1.VOB";
    fs::path input = argc > 1 ? fs::path(argv[1])
                     : fs::exists(large)
                         ? large
                         : fs::path(MIRTAL_TEST_DATA) / "discs" / "pal_en" / "VIDEO_TS";
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int stream = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 32) : 1;
    const bool autoSpace = argc > 4 && std::string(argv[4]) == "auto";

    QuietHost host;
    MessageCatalogue catalogue;
    UnitCollector collector;
    {
        Session reader(host, catalogue, collector, &collector);
        reader.chooseStream(uint8_t(0x1F + stream));
        JobSetup setup;
        setup.files = vobsOf(input);
        setup.action = kActionShow;
        reader.engine().job().NoStop = true;
        if (!reader.engine().startJob(setup)) {
            std::fprintf(stderr, "ocr_rip_bench: no VOB in %s\n", input.c_str());
            return 2;
        }
        reader.engine().job().NoStop = true;
        while (!reader.job().finished()) reader.engine().tick();
    }
    if (collector.units.empty()) {
        std::fprintf(stderr, "ocr_rip_bench: no subpicture in stream %d of %s\n", stream,
                     input.c_str());
        return 2;
    }

    CharMatrix matrix;
    OcrSettings settings;
    settings.AutoSpaceWidth = autoSpace;
    OcrState state;
    OcrDriver driver(matrix, settings, state, host, host, catalogue);
    Subpicture sub;
    auto ocrPass = [&]() {
        long glyphs = 0;
        uint32_t number = 0;
        driver.startJob();
        for (const auto& unit : collector.units) {
            decodeSpu(unit, sub);
            if (!isDisplayable(sub)) continue;
            glyphs += driver.ocrSubpicture(sub.Bitmap, {++number, 0}).glyphs;
        }
        return glyphs;
    };
    auto decodePass = [&]() {
        long pixels = 0;
        for (const auto& unit : collector.units) {
            decodeSpu(unit, sub);
            pixels += sub.Bitmap.width();
        }
        return pixels;
    };
    // The best and the median pass.
    auto timed = [&](auto&& pass) {
        std::vector<double> t;
        for (int i = 0; i < passes; ++i) {
            const double t0 = CpuSeconds();
            pass();
            t.push_back(CpuSeconds() - t0);
        }
        std::sort(t.begin(), t.end());
        const size_t m = t.size();
        return std::pair(t.front(), m % 2 ? t[m / 2] : (t[m / 2 - 1] + t[m / 2]) / 2);
    };

    ocrPass(); // training: every new shape is named once
    const int trainingQuestions = host.asked;
    host.learning = false;
    host.asked = 0;
    const long glyphs = ocrPass();
    const auto [ocr, ocrMedian] = timed(ocrPass);
    const auto [decode, decodeMedian] = timed(decodePass);
    const double n = double(collector.units.size());
    std::printf("ocr_rip_bench: %s, stream %d: %zu subpictures, %ld glyphs; matrix of %d glyphs "
                "(%d questions in training, %d after)\n",
                input.c_str(), stream, collector.units.size(), glyphs, matrix.count(),
                trainingQuestions, host.asked);
    std::printf("  decode + crop + segment + match: %8.0f subpictures/s  (%.2f us per glyph; "
                "median %.0f/s)\n",
                n / ocr, ocr * 1e6 / double(std::max(glyphs, 1L)), n / ocrMedian);
    std::printf("  decode alone (baseline):         %8.0f subpictures/s  (median %.0f/s)\n",
                n / decode, n / decodeMedian);
    if (autoSpace)
        std::printf("  automatic space width: %d (from %d gaps)\n", driver.spaceWidth(),
                    driver.normalGaps().count());
    std::printf("  best and median of %d passes, processor time of this process\n", passes);
    return host.asked == 0 ? 0 : 1;
}
