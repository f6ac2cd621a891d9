#include "rip/PackFile.h"

#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirtal {

bool PackFile::open(const std::filesystem::path& path) {
    close();
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = systemErrorText(errno);
        return false;
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file";
        close();
        return false;
    }
    m_size = uint64_t(st.st_size);
    if (!m_block) m_block = std::make_unique<uint8_t[]>(kBlockPacks * kPackSize);
    m_blockFill = m_blockPos = 0;
    m_eof = false;
    return true;
}

void PackFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool PackFile::seekPack(uint32_t index) {
    if (lseek(m_fd, off_t(index) * off_t(kPackSize), SEEK_SET) < 0) {
        m_error = systemErrorText(errno);
        return false;
    }
    m_blockFill = m_blockPos = 0;
    m_eof = false;
    return true;
}

// Reads the next block; whatever is left of the previous one (a pack cut by
// a short read) moves to the front first.
bool PackFile::fill() {
    const size_t capacity = kBlockPacks * kPackSize;
    size_t left = m_blockFill - m_blockPos;
    if (left > 0 && m_blockPos > 0) std::memmove(m_block.get(), m_block.get() + m_blockPos, left);
    m_blockFill = left;
    m_blockPos = 0;
    while (m_blockFill < capacity && !m_eof) {
        ssize_t r = ::read(m_fd, m_block.get() + m_blockFill, capacity - m_blockFill);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            m_error = systemErrorText(errno);
            return false;
        }
        if (r == 0) {
            m_eof = true;
            break;
        }
        m_blockFill += size_t(r);
        if (m_blockFill % kPackSize == 0) break; // enough whole packs to go on
    }
    return true;
}

const uint8_t* PackFile::nextPack() {
    if (m_fd < 0) {
        m_error = "the file is not open";
        return nullptr;
    }
    if (m_blockFill - m_blockPos < kPackSize) {
        if (!fill()) return nullptr;
        if (m_blockFill - m_blockPos < kPackSize) {
            m_error = "the file ends inside a pack";
            return nullptr;
        }
    }
    const uint8_t* p = m_block.get() + m_blockPos;
    m_blockPos += kPackSize;
    return p;
}

bool PackFile::readPack(std::span<uint8_t, kPackSize> pack) {
    const uint8_t* p = nextPack();
    if (!p) return false;
    std::memcpy(pack.data(), p, kPackSize);
    return true;
}

} // namespace mirtal
