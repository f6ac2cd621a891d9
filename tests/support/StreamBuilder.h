#pragma once

// Builders of synthetic program stream packs and subpicture units.

#include "rip/Demuxer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace mirtal::test {

using Pack = std::array<uint8_t, kPackSize>;
using Bytes = std::vector<uint8_t>;

inline void put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void put32(uint8_t* p, uint32_t v) {
    put16(p, v >> 16);
    put16(p + 2, v);
}

// A pack header with the SCR base bits 31..0 laid out as in MPEG-2.
inline Pack packHeader(uint32_t scr) {
    Pack p{};
    put32(p.data(), 0x000001BA);
    p[4] = uint8_t(0x44 | ((scr >> 30) & 3) << 3 | ((scr >> 28) & 3));
    p[5] = uint8_t(scr >> 20);
    p[6] = uint8_t(((scr >> 15) & 0x1F) << 3 | 0x04 | ((scr >> 13) & 3));
    p[7] = uint8_t(scr >> 5);
    p[8] = uint8_t((scr & 0x1F) << 3 | 0x04);
    p[9] = 0x01;
    p[13] = 0xF8;
    return p;
}

inline Pack elementPack(uint32_t scr, uint32_t startCode) {
    Pack p = packHeader(scr);
    put32(p.data() + 14, startCode);
    put16(p.data() + 18, 2048 - 20);
    return p;
}

inline Pack videoPack(uint32_t scr = 0) {
    return elementPack(scr, 0x000001E0);
}

// Navigation pack: a system header, the PCI and DSI packets (private stream 2),
// the PCI's cell elapsed time in BCD (frames byte with its frame-rate flags).
inline Pack navPack(uint32_t scr, uint8_t h, uint8_t m, uint8_t s, uint8_t frames) {
    Pack p = elementPack(scr, 0x000001BB);
    put16(p.data() + 18, 18);
    put32(p.data() + 38, 0x000001BF);
    put16(p.data() + 42, 980);
    put32(p.data() + 1024, 0x000001BF);
    put16(p.data() + 1028, 1018);
    p[1030] = 1;
    p[69] = h;
    p[70] = m;
    p[71] = s;
    p[72] = frames;
    return p;
}

inline void putPts(uint8_t* p, uint32_t pts) {
    p[0] = uint8_t(0x21 | ((pts >> 30) & 7) << 1);
    put16(p + 1, ((pts >> 15) & 0x7FFF) << 1 | 1);
    put16(p + 3, (pts & 0x7FFF) << 1 | 1);
}

// One private stream 1 packet of `streamId` carrying `payload`; with a PTS
// header (5 bytes) or none, and a padding packet after it if asked.
inline Pack subtitlePack(uint32_t scr, uint8_t streamId, const uint8_t* payload, size_t n,
                         bool withPts, uint32_t pts = 0, bool paddingAfter = false) {
    Pack p = packHeader(scr);
    put32(p.data() + 14, 0x000001BD);
    size_t hdrLen = withPts ? 5 : 0;
    put16(p.data() + 18, uint32_t(n + hdrLen + 4));
    p[20] = 0x81;
    p[21] = withPts ? 0x80 : 0;
    p[22] = uint8_t(hdrLen);
    if (withPts) putPts(p.data() + 23, pts);
    p[23 + hdrLen] = streamId;
    for (size_t i = 0; i < n; ++i) p[24 + hdrLen + i] = payload[i];
    size_t end = 24 + hdrLen + n;
    if (paddingAfter && end + 6 <= kPackSize) {
        put32(p.data() + end, 0x000001BE);
        put16(p.data() + end + 4, uint32_t(kPackSize - end - 6));
    }
    return p;
}

// The packs of one SPU: the first with a PTS, as many bytes per pack as fit.
inline std::vector<Pack> spuPacks(const Bytes& spu, uint8_t streamId, uint32_t pts, uint32_t scr,
                                  size_t firstMax = 2019, bool paddingAfterLast = true) {
    std::vector<Pack> out;
    size_t at = 0;
    bool first = true;
    while (at < spu.size()) {
        size_t room = first ? firstMax : 2024;
        size_t n = std::min(room, spu.size() - at);
        bool last = at + n == spu.size();
        out.push_back(
            subtitlePack(scr, streamId, spu.data() + at, n, first, pts, last && paddingAfterLast));
        at += n;
        first = false;
    }
    return out;
}

// A control sequence: its delay and its command bytes (0xFF is appended).
struct Sequence {
    uint16_t delay = 0;
    Bytes commands;
};

inline Bytes displayArea(int x1, int x2, int y1, int y2) {
    return {0x05,        uint8_t(x1 >> 4), uint8_t((x1 & 15) << 4 | x2 >> 8),
            uint8_t(x2), uint8_t(y1 >> 4), uint8_t((y1 & 15) << 4 | y2 >> 8),
            uint8_t(y2)};
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An SPU: header, fields, the sequences (the last pointing at itself); the
// field offsets (0x06) added to the first sequence.
inline Bytes makeSpu(const Bytes& top, const Bytes& bottom, std::vector<Sequence> seqs) {
    size_t ctrl = 4 + top.size() + bottom.size();
    Bytes fieldCmd = {0x06, 0, 4, uint8_t((4 + top.size()) >> 8), uint8_t(4 + top.size())};
    seqs.front().commands = fieldCmd + seqs.front().commands;
    Bytes out(ctrl, 0);
    std::copy(top.begin(), top.end(), out.begin() + 4);
    std::copy(bottom.begin(), bottom.end(), out.begin() + 4 + long(top.size()));
    size_t o = ctrl;
    for (size_t i = 0; i < seqs.size(); ++i) {
        size_t len = 4 + seqs[i].commands.size() + 1;
        size_t next = i + 1 < seqs.size() ? o + len : o;
        Bytes s(4);
        put16(s.data(), seqs[i].delay);
        put16(s.data() + 2, uint32_t(next));
        s = s + seqs[i].commands + Bytes{0xFF};
        out = out + s;
        o += len;
    }
    put16(out.data(), uint32_t(out.size()));
    put16(out.data() + 2, uint32_t(ctrl));
    return out;
}

// A plain subtitle: display area, start at delay 0 and stop at `stopDelay`
// (no stop sequence when stopDelay < 0).
inline Bytes simpleSpu(int stopDelay = 352, int x1 = 100, int x2 = 199, int y1 = 500,
                       int y2 = 509) {
    Bytes line = {0x00, 0x02};
    Bytes top, bottom;
    for (int y = y1; y <= y2; y += 2) top = top + line;
    for (int y = y1 + 1; y <= y2; y += 2) bottom = bottom + line;
    std::vector<Sequence> seqs{{0, displayArea(x1, x2, y1, y2) + Bytes{0x01}}};
    if (stopDelay >= 0) seqs.push_back({uint16_t(stopDelay), {0x02}});
    return makeSpu(top, bottom, seqs);
}

inline void writeVob(const std::filesystem::path& path, const std::vector<Pack>& packs) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    for (const Pack& p : packs) f.write(reinterpret_cast<const char*>(p.data()), kPackSize);
}

inline void append(std::vector<Pack>& to, const std::vector<Pack>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace mirtal::test
