#include "rip/PackFile.h"

#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace mirtal {

bool PackFile::open(const std::filesystem::path& path, bool naturalLength) {
    close();
    m_fd = openRegularFile(path, m_error);
    if (m_fd < 0) return false;
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        m_error = systemErrorText(errno);
        close();
        return false;
    }
    m_size = uint64_t(st.st_size);
    if (!m_block) m_block = std::make_unique<uint8_t[]>(kBlockPacks * kPackSize);
    m_blockFill = m_blockPos = 0;
    m_eof = false;
    m_natural = naturalLength;
    if (m_natural && !m_padded) m_padded = std::make_unique<uint8_t[]>(kPackSize);
    m_packOffset = m_nextOffset = 0;
    return true;
}

void PackFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool PackFile::seekPack(uint32_t index) {
    const uint64_t target = m_natural ? 0 : uint64_t(index) * kPackSize;
    if (lseek(m_fd, off_t(target), SEEK_SET) < 0) {
        m_error = systemErrorText(errno);
        return false;
    }
    m_blockFill = m_blockPos = 0;
    m_eof = false;
    m_packOffset = m_nextOffset = target;
    // Packs of natural length are found only by reading those before them.
    if (m_natural)
        for (uint32_t i = 0; i < index; ++i)
            if (!nextPack()) return false;
    return true;
}

// The pack header with its stuffing and the packets that follow it, up to
// the first byte that starts no packet; at most one pack. Where that does
// not lead to the next pack but the 2048-byte grid does, the grid wins.
size_t PackFile::naturalLength(const uint8_t* p, size_t available) const {
    auto startCode = [&](size_t at) {
        return at + 4 <= available && p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1;
    };
    if (available < 14 || !startCode(0) || p[3] != 0xBA) return kPackSize;
    size_t at = 14 + (p[13] & 7);
    while (at + 6 <= available && startCode(at) && p[at + 3] != 0xBA) {
        size_t next = at + 6 + (size_t(p[at + 4]) << 8 | p[at + 5]);
        if (next > kPackSize) return kPackSize;
        at = next;
    }
    if (at >= kPackSize) return kPackSize;
    const bool nextPackAt = at == available || (startCode(at) && p[at + 3] == 0xBA);
    const bool gridPackAt =
        kPackSize >= available || (startCode(kPackSize) && p[kPackSize + 3] == 0xBA);
    return !nextPackAt && gridPackAt ? kPackSize : at;
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
    // Room for one pack and the start of the next, which tells a natural
    // length from the grid.
    const size_t wanted = m_natural ? kPackSize + 4 : kPackSize;
    if (m_blockFill - m_blockPos < wanted && !m_eof) {
        if (!fill()) return nullptr;
    }
    const size_t available = m_blockFill - m_blockPos;
    const uint8_t* p = m_block.get() + m_blockPos;
    size_t length = m_natural ? naturalLength(p, available) : kPackSize;
    if (available < length) {
        m_error = "the file ends inside a pack";
        return nullptr;
    }
    m_blockPos += length;
    m_packOffset = m_nextOffset;
    m_nextOffset += length;
    if (length == kPackSize) return p;
    std::memcpy(m_padded.get(), p, length);
    std::memset(m_padded.get() + length, 0, kPackSize - length);
    return m_padded.get();
}

bool PackFile::readPack(std::span<uint8_t, kPackSize> pack) {
    const uint8_t* p = nextPack();
    if (!p) return false;
    std::memcpy(pack.data(), p, kPackSize);
    return true;
}

} // namespace mirtal
