#pragma once

// Helpers shared by the fuzz targets.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace mirtal::fuzz {

// The input as an anonymous in-memory file, so that the readers that take a
// path read it exactly as they read a file on disc.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size) {
        m_fd = memfd_create("mirtal-fuzz", 0);
        if (m_fd < 0) std::abort();
        size_t done = 0;
        while (done < size) {
            ssize_t n = write(m_fd, data + done, size - done);
            if (n <= 0) std::abort();
            done += size_t(n);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    ~MemoryFile() { close(m_fd); }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd = -1;
};

// A property the code promises did not hold: stop with the reason.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

} // namespace mirtal::fuzz
