#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "subtitles/TimeCode.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirtal {

struct ControlSequence {
    uint32_t DelayMs = 0; // from the SPU start time
    uint16_t NextOffset = 0;
    uint8_t Command = 1; // 1 = start display, 2 = stop display
    bool Forced = false; // the sequence holds the forced start command 0x00
    uint32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    uint16_t TopFieldOffset = 0, BottomFieldOffset = 0;
};

// The decoded subpicture unit: its control sequences (at least one) and its
// picture painted in kDrawColor. One instance is overwritten by every decode
// and keeps its storage, so decoding does not allocate once warmed up.
struct Subpicture {
    static constexpr uint32_t kMaxSequences = 65536;

    uint32_t SequenceCount = 0;
    std::vector<ControlSequence> Sequences; // SequenceCount entries, stream order
    uint16_t Width = 1;
    uint16_t Height = 1;
    // The video frame the display area lies in: the DVD's, or that of a
    // VobSub made from a high-definition source.
    int FrameWidth = kFrameWidth;
    int FrameHeight = kFrameHeight;
    Bitmap24 Bitmap; // Width x Height

    const ControlSequence& first() const { return Sequences.front(); }
    const ControlSequence& last() const { return Sequences[SequenceCount - 1]; }
    // The display rectangle handed on: that of the first sequence.
    Rect rect() const;
};

// Decodes the SPU bytes. Nothing outside `spu` is read, whatever its offsets
// say, and the work is linear in its size.
void decodeSpu(std::span<const uint8_t> spu, Subpicture& out, int frameWidth = kFrameWidth,
               int frameHeight = kFrameHeight);

struct DisplayTimes {
    TTimeCode start;
    TTimeCode stop; // zero while the stop is open (no stop command)
};

// True when the SPU's first control sequence starts the display with the
// forced start command (0x00): the subpicture is meant to be shown even when
// subtitles are off. Reads only the control sequence, not the picture.
bool startsForced(std::span<const uint8_t> spu);

// Why the unit cannot be drawn as it stands (its size field 0 or past its
// data, its control sequences outside it, its display area inverted or
// outside a `frameWidth` x `frameHeight` frame); null when it can be.
const char* spuDamage(std::span<const uint8_t> spu, int frameWidth, int frameHeight);

// Start and stop of a decoded SPU that began at `spuStartTime`.
DisplayTimes subpictureDisplayTimes(const Subpicture& sub, TTimeCode spuStartTime);

// Shown by a start command, and for more than 200 ms when a stop is given.
bool isDisplayable(const Subpicture& sub);

} // namespace mirtal
