#pragma once

#include "rip/Demuxer.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace mirtal {

// A VOB file read one 2048-byte pack at a time, without read-ahead.
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
    const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
    std::string m_error;
};

} // namespace mirtal
