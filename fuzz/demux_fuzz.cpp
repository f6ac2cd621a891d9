// Pack sequences through PackFile and the demultiplexer; every completed SPU
// goes on through the subpicture decoder as a rip would hand it on.
#include "FuzzInput.h"
#include "rip/Demuxer.h"
#include "rip/PackFile.h"
#include "rip/Subpicture.h"

#include <cstring>

using namespace mirtal;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the subpicture stream (substream 0x20..0x3F),
    // whether the clock is reset between the two passes and whether the packs
    // are read at their natural length, as in a VobSub .sub.
    const uint8_t control = data[0];
    const uint8_t streamId = uint8_t(0x20 + (control & 0x1F));
    fuzz::MemoryFile file(data + 1, size - 1);

    PackFile packs;
    if (!packs.open(file.path(), (control & 0x80) != 0)) return 0;
    if (packs.sizeBytes() != size - 1) fuzz::broken("PackFile size");

    static Subpicture sub; // one instance across decodes, as in a rip
    Demuxer demuxer;
    RipDisplay display;
    demuxer.startJob();
    // Two passes over the file: the second one meets a clock and an SPU
    // buffer left over from the first, as the next file of a job does.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            if (control & 0x20) demuxer.resetTimeBase(display);
            if (control & 0x40) demuxer.markRebase();
            if (!packs.seekPack(0)) return 0;
        }
        uint32_t filePos = 0;
        while (const uint8_t* p = packs.nextPack()) {
            ++filePos;
            uint32_t startPack = 0;
            std::span<const uint8_t, kPackSize> pack(p, kPackSize);
            PackKind kind = demuxer.processPack(pack, filePos, streamId, display, startPack);
            if (demuxer.spu().size() > kSpuBufferSize) fuzz::broken("SPU fill past the buffer");
            if (kind == PackKind::SpuComplete) {
                decodeSpu(demuxer.spu(), sub);
                (void)subpictureDisplayTimes(sub, demuxer.spuStartTime());
                (void)isDisplayable(sub);
                demuxer.clearSpu();
            }
            (void)demuxer.currentStreamTime();
        }
    }
    return 0;
}
