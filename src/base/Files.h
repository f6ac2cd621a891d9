#pragma once

#include "base/Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirtal {

namespace fs = std::filesystem;

// Writes the bytes to a temporary file in the same folder, flushes it to disk
// and renames it over `path`: the old file stays whole if anything fails.
Result writeFileAtomic(const fs::path& path, std::string_view bytes);
// The same for a file that must not exist yet: an existing one (even one
// made by someone else while we write) is left alone and the result says
// so, with EEXIST's text.
Result writeNewFileAtomic(const fs::path& path, std::string_view bytes);

// Opens a file read-only. A FIFO, a device or a folder is refused with a
// message instead of blocking in open() or read() until someone writes to
// it. Returns the descriptor (blocking, close-on-exec), or -1 and the
// reason in `reason`.
int openRegularFile(const fs::path& path, std::string& reason);

// Why the path is not a file to read ("is a FIFO", ...) without opening it;
// empty for a regular file or a path that does not exist.
std::string specialFileProblem(const fs::path& path);

// Reads a whole file, refusing files larger than maxBytes and special files.
ValueResult<std::string> readWholeFile(const fs::path& path, uint64_t maxBytes = 64ull << 20);
// Reads at most `bytes` from the start of a file; a shorter file gives less.
ValueResult<std::string> readFileStart(const fs::path& path, size_t bytes);

// The same file: device and inode when both exist, else the same absolute
// path with the dots resolved (an output not written yet).
bool sameFile(const fs::path& a, const fs::path& b);

// A file a job reads or keeps, with what it is to the user ("the matrix").
struct FileInUse {
    fs::path path;
    std::string role;
};

// The message refusing `output` (named by `outputRole`, e.g. "-o") when it is
// one of the files in use; empty when it is none of them.
std::string outputClash(const fs::path& output, std::string_view outputRole,
                        std::span<const FileInUse> inUse);

// The same for the numbered picture files prefix000001<ext>, prefix000002<ext>
// ...: a file in use in the prefix's folder whose name is the prefix's, six or
// more digits and the extension.
std::string pictureNameClash(const fs::path& prefix, std::string_view extension,
                             std::span<const FileInUse> inUse);

// Case-insensitive ASCII comparison and wildcard match ('*' and '?').
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool lessIgnoreCase(std::string_view a, std::string_view b);
bool wildcardMatchIgnoreCase(std::string_view pattern, std::string_view name);

// Regular files of a folder whose names match the pattern without regard to
// case, sorted by name without regard to case.
std::vector<fs::path> listFilesMatching(const fs::path& folder, std::string_view pattern);

// The system error text for errno.
std::string systemErrorText(int err);

} // namespace mirtal
