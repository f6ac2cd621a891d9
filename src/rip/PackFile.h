#pragma once

#include "rip/Demuxer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace mirtal {

// A VOB file handed out one 2048-byte pack at a time. Underneath it reads
// whole blocks of packs: one system call per pack would cost more than all
// the demultiplexing and decoding together.
//
// VOB files lie on the 2048-byte grid. A VobSub .sub may instead hold its
// packs at their natural length (the pack header and its packets, without
// padding): opened with `naturalLength`, each pack is as long as its header
// and packet lengths say, and is handed out padded with zeros to 2048 bytes.
class PackFile {
public:
    PackFile() = default;
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;
    ~PackFile() { close(); }

    // Opens a regular file read-only; false with the reason in error().
    bool open(const std::filesystem::path& path, bool naturalLength = false);
    void close();
    uint64_t sizeBytes() const { return m_size; }
    // To the pack of that index (counted in packs, whatever their length).
    bool seekPack(uint32_t index);
    // Where the pack last handed out began, and where the next one begins.
    uint64_t packOffset() const { return m_packOffset; }
    uint64_t nextOffset() const { return m_nextOffset; }
    bool atEnd() const { return m_nextOffset >= m_size; }
    // Reads one whole pack; false at a short read or error (reason in error()).
    bool readPack(std::span<uint8_t, kPackSize> pack);
    // The next whole pack in place, valid until the next call; null at a short
    // read or error (reason in error()).
    const uint8_t* nextPack();
    const std::string& error() const { return m_error; }

private:
    static constexpr size_t kBlockPacks = 128; // 256 KiB

    bool fill();
    size_t naturalLength(const uint8_t* p, size_t available) const;

    int m_fd = -1;
    uint64_t m_size = 0;
    std::string m_error;
    std::unique_ptr<uint8_t[]> m_block;
    size_t m_blockFill = 0; // bytes in m_block
    size_t m_blockPos = 0;  // next byte to hand out
    bool m_eof = false;
    bool m_natural = false;
    uint64_t m_packOffset = 0;
    uint64_t m_nextOffset = 0;
    std::unique_ptr<uint8_t[]> m_padded; // a natural-length pack, padded
};

} // namespace mirtal
