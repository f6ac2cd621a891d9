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
    // first packet of an SPU. What navigation packs tell goes into `display`.
    PackKind processPack(std::span<const uint8_t, kPackSize> pack, uint32_t filePos,
                         uint8_t streamId, RipDisplay& display, uint32_t& subpictureStartPack);

    // The job dialog's Reset button (and its creation at program start):
    // the next pack re-anchors the time line at 00:00:00,000.
    void resetTimeBase(RipDisplay& display);
    // The job dialog's Last TimeCode: where the time line re-anchors.
    TTimeCode lastTimeCode() const { return m_lastTimeCode; }
    void setLastTimeCode(TTimeCode time) { m_lastTimeCode = time; }
    // A Last TimeCode field changed: the next pack re-anchors the time line.
    void markRebase() { m_rebaseOnNextPack = true; }
    // Both: the next pack re-anchors the time line at `time`.
    void restartTimeLineAt(TTimeCode time) {
        m_lastTimeCode = time;
        m_rebaseOnNextPack = true;
    }
    // The next pack begins a new time line (after a reset or a change of
    // Last TimeCode); a job that continues a time line keeps its reference.
    bool rebasePending() const { return m_rebaseOnNextPack; }
    // Taken from every stream time so that the first video frame is at zero
    // (what a player of the remuxed film shows); 0 keeps the stream clock.
    void setVideoStartMs(int64_t ms) { m_videoStartMs = ms; }
    // TimeOffset + CurrentScr div 90 milliseconds.
    TTimeCode currentStreamTime() const;
    // The resets done when a job starts.
    void startJob();
    // The PTS of the first video packet of the pack that has one.
    static std::optional<uint32_t> videoPts(std::span<const uint8_t, kPackSize> pack);
    // Where the navigation pack last read says its unit ends and the next
    // unit of its own angle begins, in packs from the navigation pack; none
    // after any other pack, or where it names no next unit (a cell's end).
    struct NextUnit {
        uint32_t lastPack = 0;
        uint32_t next = 0;
    };
    std::optional<NextUnit> nextUnit() const { return m_nextUnit; }
    // The clock (SCR) of a pack; none when it is no pack.
    static std::optional<int32_t> packClock(std::span<const uint8_t, kPackSize> pack);

    // The SPU gathered so far (complete after processPack said SpuComplete).
    std::span<const uint8_t> spu() const { return {m_spuBuffer.data(), m_spuFill}; }
    bool assemblingSpu() const { return m_spuFill != 0; }
    // After the completed SPU has been handed on; its bytes stay in the buffer.
    void clearSpu() { m_spuFill = 0; }
    TTimeCode spuStartTime() const { return m_spuStartTime; }
    // A VobSub index times the SPU just begun: `startMs` on the time line.
    void timeSpuFromIndex(int64_t startMs) {
        m_spuStartTime = msToTimeCode(int64_t(timeCodeToMs(m_timeOffset)) + startMs);
    }

    // Packets of each subpicture stream 0x20..0x3F seen since the job began:
    // a job that found nothing in its stream can name the streams that have some.
    const std::array<uint32_t, 32>& substreamPackets() const { return m_substreamPackets; }

    // The clock and the navigation time, for whoever checks them.
    TTimeCode timeOffset() const { return m_timeOffset; }
    int32_t currentScr() const { return m_currentScr; }
    uint16_t scrStep() const { return m_scrStep; }
    uint16_t frameRate() const { return m_frameRate; } // 3000, 2500, or 1 before the first
    CellTime cell() const { return m_cell; }
    CellTime navTime() const { return m_navTime; }
    uint8_t frameStep() const { return m_frameStep; }
    uint16_t chapterCount() const { return m_chapterCount; }

private:
    void updateClock(int32_t scr);
    static bool isNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci);
    void readNextUnit(std::span<const uint8_t, kPackSize> pack, size_t dsi);
    void readNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci, RipDisplay& display);
    PackKind readSubtitle(std::span<const uint8_t, kPackSize> pack, size_t at, uint32_t filePos,
                          uint32_t& subpictureStartPack);
    CellTime addCellTimes(CellTime a, CellTime b) const;
    TTimeCode streamTime(int64_t ticks) const;

    std::array<uint32_t, 32> m_substreamPackets{};

    std::optional<NextUnit> m_nextUnit;

    // SPU assembly.
    std::array<uint8_t, kSpuBufferSize> m_spuBuffer{};
    uint32_t m_spuFill = 0; // 0..65536: a cut SPU may fill the whole buffer
    uint16_t m_spuSize = 0;
    TTimeCode m_spuStartTime;

    // Stream clock.
    TTimeCode m_lastTimeCode;
    TTimeCode m_timeOffset;
    int32_t m_currentScr = 0;
    int32_t m_previousScr = 0;
    uint16_t m_scrStep = 0;
    bool m_rebaseOnNextPack = true;
    // Part of the time line: a job continuing it keeps it.
    int64_t m_videoStartMs = 0;

    // Navigation time (display only).
    uint16_t m_frameRate = 1;
    uint8_t m_frameFlagBits = 0x40;
    uint8_t m_maxFrame = 24;
    CellTime m_cell, m_previousCell, m_chapterBase, m_navTime;
    uint8_t m_frameStep = 0;
    uint16_t m_chapterCount = 1;
};

} // namespace mirtal
