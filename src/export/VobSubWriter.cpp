#include "export/VobSubWriter.h"

#include <algorithm>
#include <cstdio>

namespace mirtal {

namespace {

constexpr size_t kPack = 2048;
constexpr size_t kPackHeader = 14;
constexpr size_t kPesHead = 9; // start code, length, flags, header data length
constexpr size_t kPtsBytes = 5;
constexpr uint8_t kSubstream = 0x20; // "index: 0"
constexpr uint32_t kMuxRate = 25200; // 10.08 Mbit/s in units of 50 bytes/s, as on DVDs

void put(std::string& out, std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) out += char(uint8_t(b));
}

void packHeader(std::string& out, uint64_t scr) {
    put(out, {0x00, 0x00, 0x01, 0xBA, unsigned(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)),
              unsigned(scr >> 20), unsigned(((scr >> 12) & 0xF8) | 0x04 | ((scr >> 13) & 0x03)),
              unsigned(scr >> 5), unsigned(((scr << 3) & 0xF8) | 0x04), 0x01, kMuxRate >> 14,
              kMuxRate >> 6, ((kMuxRate << 2) & 0xFC) | 0x03, 0xF8});
}

std::string hms(int64_t ms) {
    char t[32];
    std::snprintf(t, sizeof t, "%02lld:%02lld:%02lld:%03lld", (long long)(ms / 3600000),
                  (long long)(ms / 60000 % 60), (long long)(ms / 1000 % 60),
                  (long long)(ms % 1000));
    return t;
}

} // namespace

void VobSubWriter::clear() {
    m_sub.clear();
    m_entries.clear();
}

void VobSubWriter::add(std::span<const uint8_t> spu, int64_t startMs) {
    const uint64_t pts = uint64_t(std::max<int64_t>(0, startMs)) * 90;
    m_entries.push_back({startMs, m_sub.size()});
    size_t done = 0;
    bool first = true;
    do {
        const size_t head = kPackHeader + kPesHead + (first ? kPtsBytes : 0) + 1;
        const size_t chunk = std::min(spu.size() - done, kPack - head);
        size_t left = kPack - head - chunk;
        // Fewer bytes than a padding packet needs go into the PES header as stuffing.
        const size_t stuffing = left < 6 ? left : 0;
        left -= stuffing;
        packHeader(m_sub, pts);
        const size_t pesLength = 3 + (first ? kPtsBytes : 0) + stuffing + 1 + chunk;
        put(m_sub, {0x00, 0x00, 0x01, 0xBD, unsigned(pesLength >> 8), unsigned(pesLength), 0x81,
                    first ? 0x80u : 0x00u, unsigned((first ? kPtsBytes : 0) + stuffing)});
        if (first)
            put(m_sub,
                {unsigned(0x21 | ((pts >> 29) & 0x0E)), unsigned(pts >> 22),
                 unsigned((pts >> 14) | 0x01), unsigned(pts >> 7), unsigned((pts << 1) | 0x01)});
        m_sub.append(stuffing, char(0xFF));
        m_sub += char(kSubstream);
        m_sub.append(reinterpret_cast<const char*>(spu.data() + done), chunk);
        if (left > 0) {
            put(m_sub, {0x00, 0x00, 0x01, 0xBE, unsigned((left - 6) >> 8), unsigned(left - 6)});
            m_sub.append(left - 6, char(0xFF));
        }
        done += chunk;
        first = false;
    } while (done < spu.size());
}

std::string VobSubWriter::indexText(const VobSubTrack& track) const {
    char line[160];
    std::string out = "# VobSub index file, v7 (do not modify this line!)\n"
                      "# Written by Mirtal: the subpicture units as they were on the disc.\n\n";
    std::snprintf(line, sizeof line, "size: %dx%d\n", track.width, track.height);
    out += line;
    out += "org: 0, 0\nscale: 100%, 100%\nalpha: 100%\nsmooth: OFF\nfadein/out: 0, 0\n"
           "align: OFF at LEFT TOP\ntime offset: 0\nforced subs: OFF\npalette: ";
    for (size_t k = 0; k < track.palette.size(); ++k) {
        std::snprintf(line, sizeof line, "%s%06x", k ? ", " : "",
                      unsigned(track.palette[k] & 0xFFFFFF));
        out += line;
    }
    out += "\ncustom colors: OFF, tridx: 0000, colors: 000000, 000000, 000000, 000000\n\n"
           "langidx: 0\n\nid: " +
           (track.language.empty() ? std::string("--") : track.language) + ", index: 0\n";
    for (const Entry& e : m_entries) {
        std::snprintf(line, sizeof line, "timestamp: %s, filepos: %09llx\n", hms(e.startMs).c_str(),
                      (unsigned long long)e.filePos);
        out += line;
    }
    return out;
}

Result VobSubWriter::save(const fs::path& name, const VobSubTrack& track) const {
    fs::path sub = name, idx = name;
    sub += ".sub";
    idx += ".idx";
    if (Result r = writeFileAtomic(sub, m_sub); !r) return r;
    return writeFileAtomic(idx, indexText(track));
}

} // namespace mirtal
