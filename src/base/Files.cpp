#include "base/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirtal {

std::string systemErrorText(int err) { return std::strerror(err); }

namespace {

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return true;
}

} // namespace

FileResult writeFileAtomic(const fs::path& path, std::string_view bytes) {
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    // The temporary file is named after the file, cut so that a name as long
    // as the file system allows still leaves room for the dot and the suffix.
    std::string base = path.filename().string();
    constexpr size_t kTempNameRoom = NAME_MAX - std::char_traits<char>::length("..XXXXXX");
    if (base.size() > kTempNameRoom) base.resize(kTempNameRoom);
    std::string tmpl = (folder / ("." + base + ".XXXXXX")).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return FileResult::failure("Cannot write " + path.string() + ": " + systemErrorText(errno));
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(name.data());
        return FileResult::failure("Cannot write " + path.string() + ": " + systemErrorText(err));
    };
    // Keep the permissions of a file we replace; new files get the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (!writeAll(fd, bytes)) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(name.data());
        return FileResult::failure("Cannot write " + path.string() + ": " + systemErrorText(err));
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(name.data());
        return FileResult::failure("Cannot write " + path.string() + ": " + systemErrorText(err));
    }
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {};
}

std::optional<std::string> readWholeFile(const fs::path& path, std::string* error, uint64_t maxBytes) {
    auto setError = [&](const std::string& e) {
        if (error) *error = e;
    };
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        setError("Cannot open " + path.string() + ": " + systemErrorText(errno));
        return std::nullopt;
    }
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            setError("Cannot read " + path.string() + ": " + systemErrorText(errno));
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        if (out.size() + size_t(n) > maxBytes) {
            setError("File too large: " + path.string());
            ::close(fd);
            return std::nullopt;
        }
        out.append(buf, size_t(n));
    }
    ::close(fd);
    return out;
}

static char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool lessIgnoreCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = (unsigned char)lowerAscii(a[i]), cb = (unsigned char)lowerAscii(b[i]);
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

bool wildcardMatchIgnoreCase(std::string_view p, std::string_view s) {
    size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == '?' || lowerAscii(p[pi]) == lowerAscii(s[si]))) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

std::vector<fs::path> listFilesMatching(const fs::path& folder, std::string_view pattern) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (!it->is_regular_file(ec2)) continue;
        std::string name = it->path().filename().string();
        if (wildcardMatchIgnoreCase(pattern, name)) out.push_back(it->path());
    }
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) {
        std::string na = a.filename().string(), nb = b.filename().string();
        if (lessIgnoreCase(na, nb)) return true;
        if (lessIgnoreCase(nb, na)) return false;
        return na < nb;
    });
    return out;
}

} // namespace mirtal
