#include "rip/Demuxer.h"

#include "base/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace mirtal {

namespace {

constexpr uint32_t kPackStartCode = 0x000001BA;
constexpr uint32_t kSystemHeader = 0x000001BB;
constexpr uint32_t kPrivateStream1 = 0x000001BD;
constexpr uint32_t kPaddingStream = 0x000001BE;
constexpr uint32_t kPrivateStream2 = 0x000001BF;
constexpr size_t kPackHeaderSize = 14;

uint8_t bcd(uint8_t x) {
    return uint8_t((x >> 4) * 10 + (x & 15));
}

// SCR base bits 31..0 of an MPEG-2 pack header, as a signed tick count.
int32_t readScr(std::span<const uint8_t, kPackSize> p) {
    uint32_t v = uint32_t((p[4] >> 3) & 3) << 30 | uint32_t(p[4] & 3) << 28 | uint32_t(p[5]) << 20 |
                 uint32_t(p[6] >> 3) << 15 | uint32_t(p[6] & 3) << 13 | uint32_t(p[7]) << 5 |
                 uint32_t(p[8] >> 3);
    return int32_t(v);
}

uint32_t readPts(std::span<const uint8_t, kPackSize> p, size_t at) {
    return uint32_t((byteAt(p, at) >> 1) & 7) << 30 | uint32_t(be16At(p, at + 1) >> 1) << 15 |
           uint32_t(be16At(p, at + 3) >> 1);
}

TTimeCode addMs(TTimeCode tc, int64_t ms) {
    return MsToTimeCode(int64_t(TimeCodeToMs(tc)) + ms);
}

} // namespace

Demuxer::Demuxer() {}

PackKind Demuxer::ProcessPack(std::span<const uint8_t, kPackSize> pack, uint32_t filePos,
                              uint8_t streamId, RipDisplay& display,
                              uint32_t& subpictureStartPack) {
    if (be32At(pack, 0) != kPackStartCode) return PackKind::BadHeader;
    updateClock(readScr(pack));
    // Authored discs hold one packet at 14; other muxers put a system header
    // in front of ordinary packets or several packets in one pack, so every
    // packet is walked by its start code and length.
    size_t at = kPackHeaderSize + (pack[13] & 7);
    PackKind kind = PackKind::Other;
    while (at + 6 <= kPackSize) {
        const uint32_t code = be32At(pack, at);
        if (code >> 8 != 1) break;
        const size_t end = at + 6 + be16At(pack, at + 4);
        if (code == kSystemHeader) {
            if (isNavigation(pack, end)) {
                readNavigation(pack, end, display);
                return PackKind::Navigation;
            }
        } else if (code == kPrivateStream1) {
            const uint8_t substream = byteAt(pack, at + 9 + byteAt(pack, at + 8));
            if (substream >= 0x20 && substream <= 0x3F) ++SubstreamPackets[substream - 0x20];
            if (substream == streamId) {
                kind = readSubtitle(pack, at, filePos, subpictureStartPack);
                if (kind == PackKind::SpuComplete) return kind;
            }
        }
        at = end;
    }
    return kind;
}

void Demuxer::updateClock(int32_t scr) {
    CurrentScr = scr;
    if (RebaseOnNextPack) {
        int64_t t = int64_t(TimeCodeToMs(LastTimeCode)) * 90;
        TimeOffset = scr < t ? MsToTimeCode((t - scr) / 90) : TTimeCode{};
        PreviousScr = 0;
        ScrStep = 0;
        RebaseOnNextPack = false;
    }
    if (scr == 0) {
        // The clock restarted (a new program chain): continue the time line
        // one step after the last pack before the restart.
        PreviousScr = int32_t(uint32_t(PreviousScr) + ScrStep);
        TimeOffset = addMs(TimeOffset, PreviousScr / 90);
    } else if (scr >= PreviousScr) {
        ScrStep = uint16_t(uint32_t(scr) - uint32_t(PreviousScr));
    }
    PreviousScr = scr;
}

CellTime Demuxer::addCellTimes(CellTime a, CellTime b) const {
    CellTime r;
    int carry = 0;
    int f = a.Frame + b.Frame;
    if (f > MaxFrame) {
        f -= MaxFrame + 1;
        carry = 1;
    }
    int s = a.Sec + b.Sec + carry;
    carry = 0;
    if (s > 59) {
        s -= 60;
        carry = 1;
    }
    int m = a.Min + b.Min + carry;
    carry = 0;
    if (m > 59) {
        m -= 60;
        carry = 1;
    }
    r.Hour = uint8_t(a.Hour + b.Hour + carry);
    r.Min = uint8_t(m);
    r.Sec = uint8_t(s);
    r.Frame = uint8_t(f);
    return r;
}

// The PCI and DSI packets (private stream 2, substreams 0 and 1) follow the
// system header of a navigation pack; other muxers write system headers in
// front of ordinary packets too.
bool Demuxer::isNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci) {
    if (pci + 7 > kPackSize || be32At(pack, pci) != kPrivateStream2 || pack[pci + 6] != 0)
        return false;
    const size_t dsi = pci + 6 + be16At(pack, pci + 4);
    return dsi + 7 <= kPackSize && be32At(pack, dsi) == kPrivateStream2 && pack[dsi + 6] == 1;
}

void Demuxer::readNavigation(std::span<const uint8_t, kPackSize> pack, size_t pci,
                             RipDisplay& display) {
    // The cell elapsed time lies 24 bytes into the PCI, after its substream byte.
    const size_t cell = pci + 31;
    uint8_t frames = byteAt(pack, cell + 3);
    if (FrameRate == 1) {
        if (frames >= 0xC0) {
            FrameRate = 3000;
            FrameFlagBits = 0xC0;
            MaxFrame = 29;
            display.LabelFPS = "NTSC 30 Fps";
        } else {
            FrameRate = 2500;
            FrameFlagBits = 0x40;
            MaxFrame = 24;
            display.LabelFPS = "PAL 25 Fps";
        }
    }
    PreviousCell = Cell;
    Cell = {bcd(byteAt(pack, cell)), bcd(byteAt(pack, cell + 1)), bcd(byteAt(pack, cell + 2)),
            bcd(uint8_t(frames - FrameFlagBits))};
    if (Cell.key() < PreviousCell.key()) {
        ChapterBase = addCellTimes(NavTime, CellTime{0, 0, 0, FrameStep});
        ++ChapterCount;
        display.LabelChapters = std::to_string(ChapterCount);
    } else if (Cell.Sec == PreviousCell.Sec) {
        FrameStep = uint8_t(Cell.Frame - PreviousCell.Frame);
    }
    NavTime = addCellTimes(ChapterBase, Cell);
    TTimeCode nav;
    nav.Hour = NavTime.Hour;
    nav.Min = NavTime.Min;
    nav.Sec = NavTime.Sec;
    nav.MSec = uint16_t(uint32_t(NavTime.Frame) * 100000 / FrameRate);
    display.LabelTime = TimeCodeToStr(nav);
    display.LabelTime7 = TimeCodeToStr(CurrentStreamTime());
}

PackKind Demuxer::readSubtitle(std::span<const uint8_t, kPackSize> pack, size_t at,
                               uint32_t filePos, uint32_t& subpictureStartPack) {
    size_t hdrLen = byteAt(pack, at + 8);
    size_t p = at + 10 + hdrLen;
    int64_t declared = int64_t(be16At(pack, at + 4)) - int64_t(hdrLen) - 4;
    size_t n = declared > 0 ? size_t(declared) : 0;
    if (SpuFill == 0) {
        SpuSize = be16At(pack, p);
        subpictureStartPack = filePos - 1;
        // Without a PTS in its first packet the unit is timed by its pack.
        int64_t ticks = CurrentScr;
        if (byteAt(pack, at + 7) & 0x80) ticks = readPts(pack, at + 9);
        SpuStartTime = streamTime(ticks);
    }
    // Copy only what lies inside the pack and fits the buffer.
    size_t inPack = p < kPackSize ? kPackSize - p : 0;
    size_t room = kSpuBufferSize - SpuFill;
    size_t copy = std::min({n, inPack, room});
    std::memcpy(SpuBuffer.data() + SpuFill, pack.data() + p, copy);
    SpuFill += uint32_t(copy);
    size_t end = p + n;
    bool paddingFollows = end <= kPackSize - 6 && be32At(pack, end) == kPaddingStream;
    // An SPU too big for the buffer is cut there and handed on as it is.
    bool bufferFull = SpuFill == kSpuBufferSize;
    // Nothing gathered yet is no subpicture: the next packet starts one afresh.
    if (SpuFill == 0) return PackKind::Subtitle;
    if (paddingFollows || SpuFill >= SpuSize || bufferFull) return PackKind::SpuComplete;
    return PackKind::Subtitle;
}

void Demuxer::ResetTimeBase(RipDisplay& display) {
    RebaseOnNextPack = true;
    LastTimeCode = {};
    NavTime = ChapterBase = Cell = {};
    ChapterCount = 1;
    display.LabelChapters = "0";
    FrameStep = 0;
    CurrentScr = PreviousScr = 0;
    ScrStep = 0;
}

TTimeCode Demuxer::CurrentStreamTime() const {
    return streamTime(CurrentScr);
}

// Times before the first video frame (a subtitle muxed ahead of it) are
// shown at zero.
TTimeCode Demuxer::streamTime(int64_t ticks) const {
    if (VideoStartMs == 0) return addMs(TimeOffset, ticks / 90);
    const int64_t ms = int64_t(TimeCodeToMs(TimeOffset)) + ticks / 90 - VideoStartMs;
    return MsToTimeCode(std::max<int64_t>(ms, 0));
}

std::optional<uint32_t> Demuxer::VideoPts(std::span<const uint8_t, kPackSize> pack) {
    if (be32At(pack, 0) != kPackStartCode) return std::nullopt;
    size_t at = kPackHeaderSize + (pack[13] & 7);
    while (at + 6 <= kPackSize) {
        const uint32_t code = be32At(pack, at);
        if (code >> 8 != 1) break;
        if ((code & 0xF0) == 0xE0 && (byteAt(pack, at + 7) & 0x80)) return readPts(pack, at + 9);
        at += 6 + be16At(pack, at + 4);
    }
    return std::nullopt;
}

void Demuxer::JobStart() {
    SubstreamPackets = {};
    if (NavTime.key() > 0) SpuFill = 0;
    FrameStep = 0;
    FrameRate = 1;
}

} // namespace mirtal
