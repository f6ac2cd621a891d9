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
    return msToTimeCode(int64_t(timeCodeToMs(tc)) + ms);
}

} // namespace

Demuxer::Demuxer() {}

PackKind Demuxer::processPack(std::span<const uint8_t, kPackSize> pack, uint32_t filePos,
                              uint8_t streamId, RipDisplay& display,
                              uint32_t& subpictureStartPack) {
    m_nextUnit.reset();
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
                readNextUnit(pack, end + 6 + be16At(pack, end + 4));
                return PackKind::Navigation;
            }
        } else if (code == kPrivateStream1) {
            const uint8_t substream = byteAt(pack, at + 9 + byteAt(pack, at + 8));
            if (substream >= 0x20 && substream <= 0x3F) ++m_substreamPackets[substream - 0x20];
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
    m_currentScr = scr;
    if (m_rebaseOnNextPack) {
        int64_t t = int64_t(timeCodeToMs(m_lastTimeCode)) * 90;
        m_timeOffset = scr < t ? msToTimeCode((t - scr) / 90) : TTimeCode{};
        m_previousScr = 0;
        m_scrStep = 0;
        m_rebaseOnNextPack = false;
    }
    if (scr == 0) {
        // The clock restarted (a new program chain): continue the time line
        // one step after the last pack before the restart.
        m_previousScr = int32_t(uint32_t(m_previousScr) + m_scrStep);
        m_timeOffset = addMs(m_timeOffset, m_previousScr / 90);
    } else if (scr >= m_previousScr) {
        m_scrStep = uint16_t(uint32_t(scr) - uint32_t(m_previousScr));
    }
    m_previousScr = scr;
}

CellTime Demuxer::addCellTimes(CellTime a, CellTime b) const {
    CellTime r;
    int carry = 0;
    int f = a.Frame + b.Frame;
    if (f > m_maxFrame) {
        f -= m_maxFrame + 1;
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
// The search information of the DSI packet at `dsi`: the end of this unit
// (its general information's third field) and the next unit (after the
// seamless playback, angle and forward search tables).
void Demuxer::readNextUnit(std::span<const uint8_t, kPackSize> pack, size_t dsi) {
    constexpr size_t kData = 7, kUnitEnd = 8, kNextUnit = 314;
    constexpr uint32_t kAddress = 0x3FFFFFFF; // all ones: the cell ends here
    if (dsi + kData + kNextUnit + 4 > kPackSize) return;
    const uint32_t last = be32At(pack, dsi + kData + kUnitEnd);
    const uint32_t next = be32At(pack, dsi + kData + kNextUnit) & kAddress;
    if (next != kAddress && next > last) m_nextUnit = NextUnit{last, next};
}

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
    if (m_frameRate == 1) {
        if (frames >= 0xC0) {
            m_frameRate = 3000;
            m_frameFlagBits = 0xC0;
            m_maxFrame = 29;
            display.standard = VideoStandard::Ntsc;
        } else {
            m_frameRate = 2500;
            m_frameFlagBits = 0x40;
            m_maxFrame = 24;
            display.standard = VideoStandard::Pal;
        }
    }
    m_previousCell = m_cell;
    m_cell = {bcd(byteAt(pack, cell)), bcd(byteAt(pack, cell + 1)), bcd(byteAt(pack, cell + 2)),
              bcd(uint8_t(frames - m_frameFlagBits))};
    if (m_cell.key() < m_previousCell.key()) {
        m_chapterBase = addCellTimes(m_navTime, CellTime{0, 0, 0, m_frameStep});
        ++m_chapterCount;
        display.chapters = m_chapterCount;
    } else if (m_cell.Sec == m_previousCell.Sec) {
        m_frameStep = uint8_t(m_cell.Frame - m_previousCell.Frame);
    }
    m_navTime = addCellTimes(m_chapterBase, m_cell);
    TTimeCode nav;
    nav.Hour = m_navTime.Hour;
    nav.Min = m_navTime.Min;
    nav.Sec = m_navTime.Sec;
    nav.MSec = uint16_t(uint32_t(m_navTime.Frame) * 100000 / m_frameRate);
    display.navigationTime = nav;
    display.streamTime = currentStreamTime();
}

PackKind Demuxer::readSubtitle(std::span<const uint8_t, kPackSize> pack, size_t at,
                               uint32_t filePos, uint32_t& subpictureStartPack) {
    size_t hdrLen = byteAt(pack, at + 8);
    size_t p = at + 10 + hdrLen;
    int64_t declared = int64_t(be16At(pack, at + 4)) - int64_t(hdrLen) - 4;
    size_t n = declared > 0 ? size_t(declared) : 0;
    if (m_spuFill == 0) {
        m_spuSize = be16At(pack, p);
        subpictureStartPack = filePos - 1;
        // Without a PTS in its first packet the unit is timed by its pack.
        int64_t ticks = m_currentScr;
        if (byteAt(pack, at + 7) & 0x80) ticks = readPts(pack, at + 9);
        m_spuStartTime = streamTime(ticks);
    }
    // Copy only what lies inside the pack and fits the buffer.
    size_t inPack = p < kPackSize ? kPackSize - p : 0;
    size_t room = kSpuBufferSize - m_spuFill;
    size_t copy = std::min({n, inPack, room});
    std::memcpy(m_spuBuffer.data() + m_spuFill, pack.data() + p, copy);
    m_spuFill += uint32_t(copy);
    size_t end = p + n;
    bool paddingFollows = end <= kPackSize - 6 && be32At(pack, end) == kPaddingStream;
    // An SPU too big for the buffer is cut there and handed on as it is.
    bool bufferFull = m_spuFill == kSpuBufferSize;
    // Nothing gathered yet is no subpicture: the next packet starts one afresh.
    if (m_spuFill == 0) return PackKind::Subtitle;
    if (paddingFollows || m_spuFill >= m_spuSize || bufferFull) return PackKind::SpuComplete;
    return PackKind::Subtitle;
}

void Demuxer::resetTimeBase(RipDisplay& display) {
    m_rebaseOnNextPack = true;
    m_lastTimeCode = {};
    m_navTime = m_chapterBase = m_cell = {};
    m_chapterCount = 1;
    display.chapters = 0;
    m_frameStep = 0;
    m_currentScr = m_previousScr = 0;
    m_scrStep = 0;
}

TTimeCode Demuxer::currentStreamTime() const {
    return streamTime(m_currentScr);
}

// Times before the first video frame (a subtitle muxed ahead of it) are
// shown at zero.
TTimeCode Demuxer::streamTime(int64_t ticks) const {
    if (m_videoStartMs == 0) return addMs(m_timeOffset, ticks / 90);
    const int64_t ms = int64_t(timeCodeToMs(m_timeOffset)) + ticks / 90 - m_videoStartMs;
    return msToTimeCode(std::max<int64_t>(ms, 0));
}

std::optional<int32_t> Demuxer::packClock(std::span<const uint8_t, kPackSize> pack) {
    if (be32At(pack, 0) != kPackStartCode) return std::nullopt;
    return readScr(pack);
}

std::optional<uint32_t> Demuxer::videoPts(std::span<const uint8_t, kPackSize> pack) {
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

void Demuxer::startJob() {
    m_substreamPackets = {};
    if (m_navTime.key() > 0) m_spuFill = 0;
    m_frameStep = 0;
    m_frameRate = 1;
}

} // namespace mirtal
