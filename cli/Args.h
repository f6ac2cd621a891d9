#pragma once

#include "base/TextCodec.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirtal::cli {

// One option any command may take. Every option of every command is listed in
// the one table of Args.cpp, so that --help shows them all and a misspelt
// option is refused instead of being taken for an input file.
struct OptionSpec {
    std::string_view name;      // "--matrix"
    std::string_view shortName; // "-o", or empty
    std::string_view valueName; // "FILE"; empty for a flag without a value
    std::string_view help;
};

std::span<const OptionSpec> optionTable();
const OptionSpec* findOption(std::string_view name);

// The parsed command line: the command, the options in the order given (a
// short name is stored under the long name) and the input paths.
struct Args {
    std::string command; // e.g. "--list"; empty when none was given
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> inputs;

    bool has(std::string_view name) const;
    // The value of the last occurrence of the option.
    std::optional<std::string> value(std::string_view name) const;
    std::vector<std::string> values(std::string_view name) const;
};

// Parses argv[1..]. Options take their value as "--name VALUE" or
// "--name=VALUE"; "--" makes everything after it an input. A command is any
// name of the command table (Commands.h). On failure returns false with a
// message in `error`.
bool parseArgs(std::span<const std::string> arguments, Args& out, std::string& error);

// --encoding (or another option of the same values), when given; false with
// a message for an unknown name.
bool parseEncoding(const Args& args, std::optional<TextEncoding>& out, std::string& error,
                   std::string_view name = "--encoding");

} // namespace mirtal::cli
