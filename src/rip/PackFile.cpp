#include "rip/PackFile.h"

#include "base/Files.h"

#include <cerrno>
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
    return true;
}

bool PackFile::readPack(std::span<uint8_t, kPackSize> pack) {
    size_t got = 0;
    while (got < kPackSize) {
        ssize_t r = ::read(m_fd, pack.data() + got, kPackSize - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            m_error = systemErrorText(errno);
            return false;
        }
        if (r == 0) {
            m_error = "the file ends inside a pack";
            return false;
        }
        got += size_t(r);
    }
    return true;
}

} // namespace mirtal
