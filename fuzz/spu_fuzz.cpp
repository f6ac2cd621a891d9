// The subpicture decoder on raw SPU bytes.
#include "FuzzInput.h"
#include "rip/Subpicture.h"

using namespace mirtal;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Subpicture sub; // kept across decodes, as the rip keeps it
    decodeSpu(std::span<const uint8_t>(data, size), sub);
    if (sub.SequenceCount < 1 || sub.SequenceCount > sub.Sequences.size())
        fuzz::broken("sequence count");
    if (sub.Bitmap.width() != sub.Width || sub.Bitmap.height() != sub.Height)
        fuzz::broken("bitmap size");
    (void)sub.rect();
    (void)sub.last();
    (void)subpictureDisplayTimes(sub, TTimeCode{});
    (void)isDisplayable(sub);
    return 0;
}
