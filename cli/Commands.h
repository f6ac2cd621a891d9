#pragma once

#include "Args.h"

#include <iosfwd>
#include <span>
#include <string_view>

namespace mirtal::cli {

// The terminal as the commands see it; tests pass string streams.
struct CliIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
};

// Exit statuses of every command.
constexpr int kExitOk = 0;
constexpr int kExitDataProblem = 1; // damaged or unreadable input, reported on stderr
constexpr int kExitUsage = 2;       // bad command line or unusable input

using CommandFunction = int (*)(const Args& args, CliIo& io);

struct Command {
    std::string_view name;  // "--list"
    std::string_view usage; // "INPUT..."
    std::string_view help;
    CommandFunction run;
};

// A new command is a file of its own defining its run function, declared
// here, plus one line in the table of Commands.cpp.
int runList(const Args& args, CliIo& io);
int runListTitles(const Args& args, CliIo& io);
// --dvd-title all: the command once per title of the title set, each output
// named with _titleN; the worst exit status.
int runEveryTitle(const Args& args, CliIo& io);
int runDocument(const Args& args, CliIo& io);
int runPictures(const Args& args, CliIo& io);
int runOcr(const Args& args, CliIo& io);
// --action: ocr goes to runOcr, the picture actions to runPictures.
int runAction(const Args& args, CliIo& io);

std::span<const Command> commandTable();
const Command* findCommand(std::string_view name);

void printHelp(std::ostream& out);
// The whole program: parse, dispatch, exit status.
int runCli(std::span<const std::string> arguments, CliIo& io);

} // namespace mirtal::cli
