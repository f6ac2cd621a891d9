// Throughput of the rip pipeline (pack reading, demultiplexing and decoding
// of every subpicture of stream 0x20) against plain loops that only read the
// same file, in 2048-byte packs and in the 256 KiB blocks the pipeline reads
// underneath, measured in the same run with the file in the page cache.
//
// Usage: demux_bench VOB [RUNS]   (RUNS defaults to 5; the best and the
// median run are printed, the best one counts for the ratios)

#include "base/MessageCatalogue.h"
#include "rip/Session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace mirtal;

namespace {

using Clock = std::chrono::steady_clock;

class QuietHost : public Host {
public:
    Answer ask(MessageKind, Buttons, const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return Answer::Yes;
    }
    std::optional<std::filesystem::path> chooseOpenFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<int> chooseTextColour(const Bitmap24&, int guess) override { return guess; }
    GlyphAnswer askGlyph(const GlyphQuestion&) override {
        return {GlyphAction::SkipSubpicture, {}};
    }
    bool adjustBitmap() override { return true; }
    ProgressionChoice waitAtProgression() override { return ProgressionChoice::NoStop; }
    void processEvents() override {}
    uint32_t tickMs() override {
        return uint32_t(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
                .count());
    }
    void displayChanged(const RipDisplay&) override {}
    void showPicture(const Bitmap24&, const Rect&) override {}
    void showPicture(const PaletteBitmap&, const Rect&) override {}
};

class NoSubtitles : public SubtitleSink {
public:
    int count() const override { return 0; }
    TTimeCode lastStop() const override { return {}; }
    void closeLast(TTimeCode) override {}
    void add(const std::vector<std::string>&, TTimeCode, TTimeCode, const Rect&) override {}
};

// The show-only action decodes every subpicture before calling this.
class CountDecoded : public SubpictureActions {
public:
    void recognise(RipEngine&, const SubpictureEvent&) override {}
    Result saveBitmap(RipEngine&, const SubpictureEvent&) override { return {}; }
    void show(RipEngine&, const SubpictureEvent& e) override {
        ++count;
        pixels += uint64_t(e.picture.Width) * e.picture.Height;
    }
    uint32_t count = 0;
    uint64_t pixels = 0;
};

double plainReadSeconds(const char* path, uint64_t& bytes, size_t chunk = 2048) {
    auto t0 = Clock::now();
    int fd = ::open(path, O_RDONLY);
    if (fd < 0) {
        std::perror(path);
        std::exit(1);
    }
    std::vector<unsigned char> buffer(chunk);
    unsigned char* pack = buffer.data();
    bytes = 0;
    unsigned sum = 0;
    for (;;) {
        ssize_t r = ::read(fd, pack, chunk);
        if (r <= 0) break;
        bytes += uint64_t(r);
        sum += pack[0];
    }
    ::close(fd);
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    if (sum == 0xFFFFFFFF) std::puts(""); // keeps the reads from being optimised away
    return s;
}

double pipelineSeconds(const char* path, uint32_t& subpictures, uint64_t& pixels) {
    QuietHost host;
    MessageCatalogue catalogue;
    NoSubtitles subtitles;
    CountDecoded actions;
    Session session(host, catalogue, subtitles, &actions);
    JobSetup setup;
    setup.files = {path};
    setup.action = kActionShow;
    auto t0 = Clock::now();
    session.engine().startJob(setup);
    while (!session.job().finished())
        if (session.engine().tick() == TickResult::Nothing) break;
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    subpictures = actions.count;
    pixels = actions.pixels;
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demux_bench VOB [RUNS]\n");
        return 2;
    }
    const char* path = argv[1];
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    uint64_t bytes = 0;
    plainReadSeconds(path, bytes); // warms the page cache
    std::vector<double> plain, blocks, pipeline;
    uint32_t subpictures = 0;
    uint64_t pixels = 0;
    for (int i = 0; i < runs; ++i) {
        plain.push_back(plainReadSeconds(path, bytes));
        blocks.push_back(plainReadSeconds(path, bytes, 256 * 1024));
        pipeline.push_back(pipelineSeconds(path, subpictures, pixels));
    }
    const double bestPlain = *std::min_element(plain.begin(), plain.end());
    const double bestBlocks = *std::min_element(blocks.begin(), blocks.end());
    const double bestPipeline = *std::min_element(pipeline.begin(), pipeline.end());
    double mib = double(bytes) / (1024.0 * 1024.0);
    std::printf("file: %s (%.1f MiB), %u subpictures decoded (%llu pixels), best of %d runs\n",
                path, mib, subpictures, static_cast<unsigned long long>(pixels), runs);
    std::printf("plain 2048-byte read loop: %.3f s  %.0f MiB/s  (median %.3f s)\n", bestPlain,
                mib / bestPlain, median(plain));
    std::printf("plain 256 KiB read loop:   %.3f s  %.0f MiB/s  (median %.3f s)\n", bestBlocks,
                mib / bestBlocks, median(blocks));
    std::printf("demux + decode pipeline:   %.3f s  %.0f MiB/s  (median %.3f s)\n", bestPipeline,
                mib / bestPipeline, median(pipeline));
    std::printf("ratio pipeline / plain 2048-byte read: %.3f\n", bestPipeline / bestPlain);
    std::printf("ratio pipeline / plain 256 KiB read:   %.3f\n", bestPipeline / bestBlocks);
    return 0;
}
