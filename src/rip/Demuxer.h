#pragma once

#include "rip/RipDisplay.h"
#include "subtitles/TimeCode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace mirtal {

constexpr size_t kPackSize = 2048;
constexpr size_t kSpuBufferSize = 65536;

enum class PackKind {
    BadHeader,   // no pack start code: the caller asks whether to go on
    Navigation,  // system header (navigation pack)
    Subtitle,    // a packet of the chosen subpicture stream, SPU still incomplete
    SpuComplete, // a packet of the chosen stream that completed the SPU
    Other,       // anything else (video, audio, other substreams)
};

// Elapsed time of a navigation cell: hours, minutes, seconds, frames (binary).
struct CellTime {
    uint8_t Hour = 0, Min = 0, Sec = 0, Frame = 0;
    uint32_t key() const { return uint32_t(Hour) << 24 | uint32_t(Min) << 16 | Sec << 8 | Frame; }
    bool operator==(const CellTime&) const = default;
};

// Examines one 2048-byte pack of a program stream at a time: keeps the
// stream clock (which carries the time line across files and jobs), the
// navigation time shown for information, and gathers the packets of one
// subpicture stream into the SPU buffer. Whatever the lengths in a packet
// claim, nothing outside the pack is read and nothing outside SpuBuffer is
// written; a pack is examined in place without allocating.
class Demuxer {
public:
    Demuxer();

    // `filePos` is the index of the next pack of the file (this pack's index
    // + 1). `subpictureStartPack` gets this pack's index when it holds the
    // first packet of an SPU. Labels of navigation packs go into `display`.
    PackKind ProcessPack(std::span<const uint8_t, kPackSize> pack, uint32_t filePos,
                         uint8_t streamId, RipDisplay& display, uint32_t& subpictureStartPack);

    // The job dialog's Reset button (and its creation at program start):
    // the next pack re-anchors the time line at 00:00:00,000.
    void ResetTimeBase(RipDisplay& display);
    // A Last TimeCode field changed: the next pack re-anchors the time line.
    void MarkRebase() { RebaseOnNextPack = true; }
    // TimeOffset + CurrentScr div 90 milliseconds.
    TTimeCode CurrentStreamTime() const;
    // The resets done when a job starts.
    void JobStart();
    // The PTS of the first video packet of the pack that has one.
    static std::optional<uint32_t> VideoPts(std::span<const uint8_t, kPackSize> pack);
    // After the completed SPU has been handed on; its bytes stay in the buffer.
    void ClearSpu() { SpuFill = 0; }
    std::span<const uint8_t> spu() const { return {SpuBuffer.data(), SpuFill}; }

    // Packets of each subpicture stream 0x20..0x3F seen since the job began:
    // a job that found nothing in its stream can name the streams that have some.
    std::array<uint32_t, 32> SubstreamPackets{};

    // SPU assembly.
    std::array<uint8_t, kSpuBufferSize> SpuBuffer{};
    uint32_t SpuFill = 0; // 0..65536: a cut SPU may fill the whole buffer
    uint16_t SpuSize = 0;
    TTimeCode SpuStartTime;

    // Stream clock.
    TTimeCode LastTimeCode; // the job dialog's Last TimeCode
    TTimeCode TimeOffset;
    int32_t CurrentScr = 0;
    int32_t PreviousScr = 0;
    uint16_t ScrStep = 0;
    bool RebaseOnNextPack = true;
    // Taken from every stream time so that the first video frame is at zero
    // (what a player of the remuxed film shows); 0 keeps the stream clock.
    // Part of the time line: a job continuing it keeps it.
    int64_t VideoStartMs = 0;

    // Navigation time (display only).
    uint16_t FrameRate = 1;
    uint8_t FrameFlagBits = 0x40;
    uint8_t MaxFrame = 24;
    CellTime Cell, PreviousCell, ChapterBase, NavTime;
    uint8_t FrameStep = 0;
    uint16_t ChapterCount = 1;

private:
    void updateClock(int32_t scr);
    static bool isNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci);
    void readNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci, RipDisplay& display);
    PackKind readSubtitle(std::span<const uint8_t, kPackSize> pack, size_t at, uint32_t filePos,
                          uint32_t& subpictureStartPack);
    CellTime addCellTimes(CellTime a, CellTime b) const;
    TTimeCode streamTime(int64_t ticks) const;
};

} // namespace mirtal
