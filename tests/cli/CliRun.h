#pragma once

#include "Commands.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace mirtal::test {

inline const std::filesystem::path kData = MIRTAL_TEST_DATA;

inline std::string fixture(const std::string& name) {
    return (kData / name).string();
}

inline std::filesystem::path discFile(const std::string& disc, const std::string& file) {
    return kData / "discs" / disc / "VIDEO_TS" / file;
}

struct CliRun {
    int status = -1;
    std::string out, err;
};

// mirtal-rip's commands in this process, `typed` on its standard input.
inline CliRun ripHere(const std::vector<std::string>& args, const std::string& typed = {},
                      bool terminal = false) {
    std::istringstream in(typed);
    std::ostringstream out, err;
    cli::CliIo io{in, out, err, terminal};
    CliRun r;
    r.status = cli::runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The subpicture lines of --list and --action show, without the '#' lines.
inline std::vector<std::string> rowsOf(const std::string& out) {
    std::vector<std::string> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    return rows;
}

inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

inline bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace mirtal::test
