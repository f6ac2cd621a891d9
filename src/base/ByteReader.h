#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mirtal {

// Bounds-checked sequential reader over untrusted bytes. Reading past the end
// never touches memory outside the span: it yields zeros and marks the reader
// as failed, so a parser can check once at the end of a record.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : m_data(data) {}

    size_t position() const { return m_pos; }
    size_t size() const { return m_data.size(); }
    size_t remaining() const { return m_pos < m_data.size() ? m_data.size() - m_pos : 0; }
    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    void seek(size_t pos) {
        if (pos > m_data.size()) {
            m_failed = true;
            m_pos = m_data.size();
        } else {
            m_pos = pos;
        }
    }
    void skip(size_t n) { seek(n > remaining() ? m_data.size() + 1 : m_pos + n); }

    uint8_t u8() {
        if (remaining() < 1) return fail<uint8_t>();
        return m_data[m_pos++];
    }
    uint16_t u16be() {
        if (remaining() < 2) return fail<uint16_t>();
        uint16_t v = uint16_t(m_data[m_pos] << 8 | m_data[m_pos + 1]);
        m_pos += 2;
        return v;
    }
    uint32_t u32be() {
        if (remaining() < 4) return fail<uint32_t>();
        uint32_t v = uint32_t(m_data[m_pos]) << 24 | uint32_t(m_data[m_pos + 1]) << 16 |
                     uint32_t(m_data[m_pos + 2]) << 8 | m_data[m_pos + 3];
        m_pos += 4;
        return v;
    }
    uint16_t u16le() {
        if (remaining() < 2) return fail<uint16_t>();
        uint16_t v = uint16_t(m_data[m_pos] | m_data[m_pos + 1] << 8);
        m_pos += 2;
        return v;
    }
    uint32_t u32le() {
        if (remaining() < 4) return fail<uint32_t>();
        uint32_t v = uint32_t(m_data[m_pos]) | uint32_t(m_data[m_pos + 1]) << 8 |
                     uint32_t(m_data[m_pos + 2]) << 16 | uint32_t(m_data[m_pos + 3]) << 24;
        m_pos += 4;
        return v;
    }
    // Up to n bytes; fewer (and failure) when the data ends first.
    std::span<const uint8_t> bytes(size_t n) {
        if (remaining() < n) {
            auto rest = m_data.subspan(m_pos);
            m_pos = m_data.size();
            m_failed = true;
            return rest;
        }
        auto out = m_data.subspan(m_pos, n);
        m_pos += n;
        return out;
    }
    // A fixed-size text field: the bytes up to the first zero byte.
    std::string zeroPaddedString(size_t fieldSize) {
        auto field = bytes(fieldSize);
        size_t len = 0;
        while (len < field.size() && field[len] != 0) ++len;
        return std::string(reinterpret_cast<const char*>(field.data()), len);
    }

private:
    template <typename T> T fail() {
        m_failed = true;
        m_pos = m_data.size();
        return T{};
    }

    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    bool m_failed = false;
};

// Random-access big-endian reads that return 0 outside the data.
inline uint8_t byteAt(std::span<const uint8_t> d, size_t off) {
    return off < d.size() ? d[off] : 0;
}
inline uint16_t be16At(std::span<const uint8_t> d, size_t off) {
    return off + 1 < d.size() ? uint16_t(d[off] << 8 | d[off + 1]) : 0;
}
inline uint32_t be32At(std::span<const uint8_t> d, size_t off) {
    return off + 3 < d.size() ? uint32_t(d[off]) << 24 | uint32_t(d[off + 1]) << 16 |
                                    uint32_t(d[off + 2]) << 8 | d[off + 3]
                              : 0;
}

// Little-endian writer for our own binary files.
class ByteWriter {
public:
    void u8(uint8_t v) { m_out.push_back(char(v)); }
    void u16le(uint16_t v) {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void u32le(uint32_t v) {
        u16le(uint16_t(v));
        u16le(uint16_t(v >> 16));
    }
    void bytes(std::span<const uint8_t> b) {
        m_out.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    void text(const std::string& s) { m_out += s; }
    // The text cut to fieldSize bytes, then zero bytes up to fieldSize.
    void zeroPaddedString(const std::string& s, size_t fieldSize) {
        std::string f = s.substr(0, fieldSize);
        f.resize(fieldSize, '\0');
        m_out += f;
    }
    const std::string& data() const { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

} // namespace mirtal
