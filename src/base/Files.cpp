#include "base/Files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirtal {

std::string systemErrorText(int err) {
    return std::strerror(err);
}

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

// How a save leaves nothing behind when it is killed. The bytes go into an
// anonymous file (O_TMPFILE), which the kernel drops with the process, and
// get a name only once they are on disk: a kill before that leaves nothing.
// Where the file system has no anonymous files, a named temporary file is
// written instead (mkstemp). Either way a name exists for a while, so every
// temporary file is held under an exclusive flock() as long as it has a
// name (an anonymous one from before it gets one): the kernel lets go of the
// lock when its owner dies, however it dies, so a temporary file that nobody
// holds is one a dead save left, and the next save of the same file removes
// it. A lock is sounder than a process number, which can be reused or
// belong to another machine's process on a shared folder. The names are
// ours alone (".<name>.mirtal-XXXXXX"), so no file of the user's is ever
// taken for one.
constexpr std::string_view kTempMark = ".mirtal-";
constexpr size_t kTempRandom = 6;

// ".<name>.mirtal-": the name is cut so that a name as long as the file
// system allows still leaves room for the mark and the random part.
std::string tempPrefix(const fs::path& path) {
    std::string base = path.filename().string();
    const size_t room = NAME_MAX - 1 - kTempMark.size() - kTempRandom;
    if (base.size() > room) base.resize(room);
    return "." + base + std::string(kTempMark);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void removeStaleTemporaries(const fs::path& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() != prefix.size() + kTempRandom || !name.starts_with(prefix)) continue;
        const fs::path file = folder / std::string(name);
        const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {
        }, named{};
        // Ours to remove only while we hold it and the name is still that file.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(file.c_str(), &named) == 0 &&
            sameFile(held, named))
            ::unlink(file.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

std::string randomPart() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t bytes[kTempRandom];
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        const uint64_t t = uint64_t(::getpid()) * 0x9E3779B97F4A7C15ull ^ uint64_t(::clock());
        for (size_t i = 0; i < kTempRandom; ++i) bytes[i] = uint8_t(t >> (8 * i));
    }
    std::string s;
    for (uint8_t b : bytes) s += kChars[b % (sizeof kChars - 1)];
    return s;
}

// Gives the anonymous file behind fd the name `to`; 0 or the errno.
int linkAnonymous(int fd, const fs::path& to) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                          : errno;
}

// One save: the temporary file, anonymous or named, and its way to the target.
class AtomicSave {
public:
    AtomicSave(const fs::path& path, bool replace)
        : m_path(path), m_replace(replace), m_folder(path.parent_path()) {
        if (m_folder.empty()) m_folder = ".";
        m_prefix = tempPrefix(path);
    }
    ~AtomicSave() {
        if (!m_name.empty()) ::unlink(m_name.c_str());
        if (m_fd >= 0) ::close(m_fd);
    }

    // False when the file system has no anonymous files, or there is no
    // /proc to name one through (only a privileged process could do without).
    bool openAnonymous(mode_t mode) {
        if (::access("/proc/self/fd", X_OK) != 0) return false;
        const int fd = ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd < 0) return false;
        if (::flock(fd, LOCK_EX) != 0) {
            ::close(fd);
            return false;
        }
        m_fd = fd;
        return true;
    }

    int openNamed() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string tmpl = (m_folder / (m_prefix + "XXXXXX")).string();
            const int fd = ::mkstemp(tmpl.data());
            if (fd < 0) return errno;
            // A sweep may remove it before it is held: then start again.
            struct stat held {
            }, named{};
            if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &held) == 0 &&
                ::lstat(tmpl.c_str(), &named) == 0 && sameFile(held, named)) {
                m_fd = fd;
                m_name = tmpl;
                return 0;
            }
            ::close(fd);
        }
        return EEXIST;
    }

    int write(std::string_view bytes, mode_t mode) {
        ::fchmod(m_fd, mode);
        if (!writeAll(m_fd, bytes) || ::fsync(m_fd) != 0) return errno;
        return 0;
    }

    int publish() {
        if (m_name.empty()) {
            if (!m_replace) return linkAnonymous(m_fd, m_path);
            for (int attempt = 0;; ++attempt) {
                const fs::path name = m_folder / (m_prefix + randomPart());
                const int err = linkAnonymous(m_fd, name);
                if (err == 0) {
                    m_name = name;
                    break;
                }
                if (err != EEXIST || attempt == 100) return err;
            }
        } else if (!m_replace) {
            if (::link(m_name.c_str(), m_path.c_str()) != 0) return errno;
            return 0; // the destructor removes the temporary name
        }
        if (::rename(m_name.c_str(), m_path.c_str()) != 0) return errno;
        m_name.clear();
        return 0;
    }

    void syncFolder() const {
        const int dfd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd < 0) return;
        ::fsync(dfd);
        ::close(dfd);
    }

    const fs::path& folder() const { return m_folder; }
    const std::string& prefix() const { return m_prefix; }

private:
    fs::path m_path;
    bool m_replace;
    fs::path m_folder;
    std::string m_prefix;
    int m_fd = -1;
    std::string m_name; // the temporary file's name while it has one
};

// Keep the permissions of a file we replace; new files get the usual 0666 & ~umask.
mode_t modeFor(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

Result saveAtomic(const fs::path& path, std::string_view bytes, bool replace) {
    auto failure = [&](int err) {
        return Result::failure("Cannot write " + path.string() + ": " + systemErrorText(err), err);
    };
    const mode_t mode = modeFor(path);
    AtomicSave save(path, replace);
    removeStaleTemporaries(save.folder(), save.prefix());
    if (!save.openAnonymous(mode))
        if (int err = save.openNamed(); err != 0) return failure(err);
    if (int err = save.write(bytes, mode); err != 0) return failure(err);
    if (int err = save.publish(); err != 0) return failure(err);
    save.syncFolder();
    return {};
}

} // namespace

Result writeFileAtomic(const fs::path& path, std::string_view bytes) {
    return saveAtomic(path, bytes, true);
}

Result writeNewFileAtomic(const fs::path& path, std::string_view bytes) {
    return saveAtomic(path, bytes, false);
}

namespace {

const char* fileTypeProblem(mode_t mode) {
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "it is a folder";
    if (S_ISFIFO(mode)) return "it is a FIFO, not a regular file";
    if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
    return "not a regular file";
}

} // namespace

int openRegularFile(const fs::path& path, std::string& error) {
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; the type is
    // then checked on what was opened, so nothing can be swapped in between.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = systemErrorText(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = fileTypeProblem(st.st_mode);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string specialFileProblem(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    return path.string() + ": " + fileTypeProblem(st.st_mode);
}

namespace {

ValueResult<std::string> readFrom(const fs::path& path, uint64_t maxBytes, bool refuseLarger) {
    using Bytes = ValueResult<std::string>;
    std::string reason;
    int fd = openRegularFile(path, reason);
    if (fd < 0) return Bytes::failure("Cannot open " + path.string() + ": " + reason);
    std::string out;
    char buf[65536];
    for (;;) {
        const size_t want = refuseLarger
                                ? sizeof buf
                                : size_t(std::min<uint64_t>(sizeof buf, maxBytes - out.size()));
        if (want == 0) break;
        ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return Bytes::failure("Cannot read " + path.string() + ": " + systemErrorText(err),
                                  err);
        }
        if (n == 0) break;
        if (out.size() + size_t(n) > maxBytes) {
            ::close(fd);
            return Bytes::failure("File too large: " + path.string());
        }
        out.append(buf, size_t(n));
    }
    ::close(fd);
    return Bytes::of(std::move(out));
}

} // namespace

ValueResult<std::string> readWholeFile(const fs::path& path, uint64_t maxBytes) {
    return readFrom(path, maxBytes, true);
}

ValueResult<std::string> readFileStart(const fs::path& path, size_t bytes) {
    return readFrom(path, bytes, false);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ec1, ec2;
    const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec1), ec1);
    const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
    return !ec1 && !ec2 && ca == cb;
}

std::string outputClash(const fs::path& output, std::string_view outputRole,
                        std::span<const FileInUse> inUse) {
    for (const FileInUse& f : inUse)
        if (sameFile(output, f.path))
            return std::string(outputRole) + " " + output.string() + " is " + f.role + " " +
                   f.path.string() + ": choose another file";
    return {};
}

std::string pictureNameClash(const fs::path& prefix, std::string_view extension,
                             std::span<const FileInUse> inUse) {
    const fs::path folder = prefix.parent_path().empty() ? fs::path(".") : prefix.parent_path();
    const std::string start = prefix.filename().string();
    for (const FileInUse& f : inUse) {
        const std::string name = f.path.filename().string();
        if (name.size() < start.size() + 6 + extension.size() || !name.starts_with(start) ||
            !name.ends_with(extension))
            continue;
        const std::string_view digits(name.data() + start.size(),
                                      name.size() - start.size() - extension.size());
        if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
        const fs::path fileFolder =
            f.path.parent_path().empty() ? fs::path(".") : f.path.parent_path();
        if (sameFile(folder, fileFolder))
            return "--prefix " + prefix.string() + " would write over " + f.role + " " +
                   f.path.string() + ": choose another prefix";
    }
    return {};
}

static char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

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
