#include "rip/Subpicture.h"

#include "base/ByteReader.h"

#include <algorithm>

namespace mirtal {

namespace {

// Reads the control sequence at `o`; its commands end at 0xFF or `limit`.
void parseSequence(std::span<const uint8_t> spu, size_t o, size_t limit, ControlSequence& seq) {
    seq.DelayMs = uint32_t(be16At(spu, o)) * 1024 / 90;
    seq.NextOffset = be16At(spu, o + 2);
    seq.Command = 1;
    seq.Forced = false;
    size_t c = o + 4;
    while (c < limit) {
        uint8_t cmd = spu[c++];
        switch (cmd) {
        case 0x00:
            seq.Command = 1;
            seq.Forced = true;
            break;
        case 0x01:
            seq.Command = 1;
            break;
        case 0x02:
            seq.Command = 2;
            break;
        case 0x03:
        case 0x04:
            c += 2;
            break;
        case 0x05: {
            uint8_t b0 = byteAt(spu, c), b1 = byteAt(spu, c + 1), b2 = byteAt(spu, c + 2);
            uint8_t b3 = byteAt(spu, c + 3), b4 = byteAt(spu, c + 4), b5 = byteAt(spu, c + 5);
            seq.X1 = uint32_t(b0) * 16 + (b1 >> 4);
            seq.X2 = uint32_t(b1 & 15) * 256 + b2;
            seq.Y1 = uint32_t(b3) * 16 + (b4 >> 4);
            seq.Y2 = uint32_t(b4 & 15) * 256 + b5;
            c += 6;
            break;
        }
        case 0x06:
            seq.TopFieldOffset = be16At(spu, c);
            seq.BottomFieldOffset = be16At(spu, c + 2);
            c += 4;
            break;
        case 0x07:
            c += std::max<size_t>(be16At(spu, c), 2);
            break;
        case 0xFF:
            return;
        default:
            break;
        }
    }
}

// Where the commands of the sequence at `o` must end.
size_t sequenceLimit(std::span<const uint8_t> spu, size_t o, size_t limit) {
    uint16_t next = be16At(spu, o + 2);
    return next > o ? std::min<size_t>(limit, next) : limit;
}

void parseControlSequences(std::span<const uint8_t> spu, Subpicture& out) {
    size_t size = be16At(spu, 0);
    size_t limit = std::min(size, spu.size());
    size_t o = be16At(spu, 2);
    out.Sequences.clear();
    ControlSequence work;
    for (;;) {
        // A sequence's commands cannot run into the next one: this keeps the
        // work linear however the chain is laid out.
        parseSequence(spu, o, sequenceLimit(spu, o, limit), work);
        out.Sequences.push_back(work);
        if (work.NextOffset <= o || out.Sequences.size() >= Subpicture::kMaxSequences) break;
        o = work.NextOffset;
    }
    out.SequenceCount = uint32_t(out.Sequences.size());
}

uint16_t clampDimension(uint32_t from, uint32_t to, uint16_t max) {
    uint16_t d = uint16_t(to - from + 1);
    if (d == 0) d = 1;
    return std::min(d, max);
}

// Run-length decoding of one field into every other line of the bitmap.
class FieldDecoder {
public:
    FieldDecoder(Bitmap24& bitmap, int firstRow) : m_bitmap(bitmap), m_row(firstRow) {
        for (int i = 0; i < 4; ++i) {
            m_colour[i][0] = blueOf(kDrawColour[i]);
            m_colour[i][1] = greenOf(kDrawColour[i]);
            m_colour[i][2] = redOf(kDrawColour[i]);
        }
    }

    void decode(std::span<const uint8_t> data) {
        const int height = m_bitmap.height();
        for (uint8_t byte : data) {
            if (m_row >= height) return; // nothing more can be drawn
            for (int shiftBits = 6; shiftBits >= 0; shiftBits -= 2) {
                if (unit(uint8_t((byte >> shiftBits) & 3))) break; // the line ended
            }
        }
    }

private:
    enum class State { Start, Short, Zeros, Value, LineEnd };

    // Feeds one 2-bit unit; true when a line ended, so that the rest of the
    // byte is skipped (every line begins on a whole byte).
    bool unit(uint8_t u) {
        switch (m_state) {
        case State::Start:
            if (u != 0) {
                m_len = u;
                m_state = State::Short;
            } else {
                m_shift = 4;
                m_state = State::Zeros;
            }
            return false;
        case State::Short:
            m_state = State::Start;
            return run(m_len, u);
        case State::Zeros:
            if (u == 0) {
                m_shift += 2;
                if (m_shift == 16) m_state = State::LineEnd;
            } else {
                m_len = uint32_t(u) << (m_shift - 2);
                m_state = State::Value;
            }
            return false;
        case State::Value:
            if (m_shift == 2) {
                m_state = State::Start;
                return run(m_len, u);
            }
            m_shift -= 2;
            m_len |= uint32_t(u) << (m_shift - 2);
            return false;
        case State::LineEnd:
            m_state = State::Start;
            return run(uint32_t(m_bitmap.width() - m_x), u);
        }
        return false;
    }

    bool run(uint32_t len, uint8_t c) {
        const int width = m_bitmap.width();
        if (c != 0 && m_row < m_bitmap.height()) {
            int end = int(std::min<uint32_t>(uint32_t(m_x) + len, uint32_t(width)));
            uint8_t* p = m_bitmap.row(m_row) + size_t(m_x) * 3;
            const uint8_t* col = m_colour[c];
            for (int x = m_x; x < end; ++x, p += 3) {
                p[0] = col[0];
                p[1] = col[1];
                p[2] = col[2];
            }
        }
        if (uint32_t(m_x) + len >= uint32_t(width)) {
            m_x = 0;
            m_row += 2;
            return true;
        }
        m_x += int(len);
        return false;
    }

    Bitmap24& m_bitmap;
    int m_row;
    int m_x = 0;
    State m_state = State::Start;
    int m_shift = 0;
    uint32_t m_len = 0;
    uint8_t m_colour[4][3];
};

// The bytes from `from` for `length` bytes (16-bit), kept inside the SPU.
std::span<const uint8_t> fieldBytes(std::span<const uint8_t> spu, uint16_t from, uint16_t length) {
    if (from >= spu.size()) return {};
    return spu.subspan(from, std::min<size_t>(length, spu.size() - from));
}

} // namespace

Rect Subpicture::rect() const {
    const ControlSequence& s = first();
    return Rect{int32_t(s.X1), int32_t(s.Y1), int32_t(s.X2), int32_t(s.Y2)};
}

void decodeSpu(std::span<const uint8_t> spu, Subpicture& out, int frameWidth, int frameHeight) {
    parseControlSequences(spu, out);
    const ControlSequence& s = out.first();
    out.FrameWidth = frameWidth;
    out.FrameHeight = frameHeight;
    out.Width = clampDimension(s.X1, s.X2, uint16_t(frameWidth));
    out.Height = clampDimension(s.Y1, s.Y2, uint16_t(frameHeight));
    out.Bitmap.reset(out.Width, out.Height, kDrawColour[0]);
    uint16_t ctrl = be16At(spu, 2);
    uint16_t top = s.TopFieldOffset, bottom = s.BottomFieldOffset;
    FieldDecoder(out.Bitmap, 0).decode(fieldBytes(spu, top, uint16_t(bottom - top)));
    FieldDecoder(out.Bitmap, 1).decode(fieldBytes(spu, bottom, uint16_t(ctrl - bottom)));
}

bool startsForced(std::span<const uint8_t> spu) {
    const size_t limit = std::min<size_t>(be16At(spu, 0), spu.size());
    const size_t o = be16At(spu, 2);
    ControlSequence first;
    parseSequence(spu, o, sequenceLimit(spu, o, limit), first);
    return first.Forced;
}

const char* spuDamage(std::span<const uint8_t> spu, int frameWidth, int frameHeight) {
    const size_t size = be16At(spu, 0);
    if (size == 0) return "its size field is 0";
    if (size > spu.size()) return "its size field says more than it holds";
    const size_t ctrl = be16At(spu, 2);
    if (ctrl < 4 || ctrl + 4 > size) return "its control offset lies outside it";
    ControlSequence first;
    parseSequence(spu, ctrl, sequenceLimit(spu, ctrl, size), first);
    if (first.X2 < first.X1 || first.Y2 < first.Y1) return "its display area is inverted";
    if (first.X2 >= uint32_t(frameWidth) || first.Y2 >= uint32_t(frameHeight))
        return "its display area lies outside the frame";
    return nullptr;
}

DisplayTimes subpictureDisplayTimes(const Subpicture& sub, TTimeCode spuStartTime) {
    DisplayTimes t;
    int64_t base = timeCodeToMs(spuStartTime);
    t.start = msToTimeCode(base + sub.first().DelayMs);
    if (sub.SequenceCount >= 2 && sub.last().Command == 2)
        t.stop = msToTimeCode(base + sub.last().DelayMs);
    return t;
}

bool isDisplayable(const Subpicture& sub) {
    if (sub.first().Command != 1) return false;
    if (sub.SequenceCount >= 2 && sub.last().Command == 2)
        return uint64_t(sub.first().DelayMs) + 200 < sub.last().DelayMs;
    return true;
}

} // namespace mirtal
