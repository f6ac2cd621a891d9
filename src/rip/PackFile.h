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
class PackFile {
public:
    PackFile() = default;
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;
    ~PackFile() { close(); }

    // Opens a regular file read-only; false with the reason in error().
    bool open(const std::filesystem::path& path);
    void close();
    uint64_t sizeBytes() const { return m_size; }
    bool seekPack(uint32_t index);
    // Reads one whole pack; false at a short read or error (reason in error()).
    bool readPack(std::span<uint8_t, kPackSize> pack);
    // The next whole pack in place, valid until the next call; null at a short
    // read or error (reason in error()).
    const uint8_t* nextPack();
    const std::string& error() const { return m_error; }

private:
    static constexpr size_t kBlockPacks = 128; // 256 KiB

    bool fill();

    int m_fd = -1;
    uint64_t m_size = 0;
    std::string m_error;
    std::unique_ptr<uint8_t[]> m_block;
    size_t m_blockFill = 0; // bytes in m_block
    size_t m_blockPos = 0;  // next byte to hand out
    bool m_eof = false;
};

} // namespace mirtal
