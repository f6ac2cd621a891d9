#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirtal {

namespace fs = std::filesystem;

// Outcome of a file operation: ok, or a message naming the file and the reason.
struct FileResult {
    bool ok = true;
    std::string error;
    int errorNumber = 0; // the errno behind it, where there is one
    static FileResult failure(std::string msg, int err = 0) { return {false, std::move(msg), err}; }
    explicit operator bool() const { return ok; }
};

// Writes the bytes to a temporary file in the same folder, flushes it to disk
// and renames it over `path`: the old file stays whole if anything fails.
FileResult writeFileAtomic(const fs::path& path, std::string_view bytes);
// The same for a file that must not exist yet: an existing one (even one
// made by someone else while we write) is left alone and the result says
// so, with EEXIST's text.
FileResult writeNewFileAtomic(const fs::path& path, std::string_view bytes);

// Reads a whole file, refusing files larger than maxBytes.
std::optional<std::string> readWholeFile(const fs::path& path, std::string* error = nullptr,
                                         uint64_t maxBytes = 64ull << 20);

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
