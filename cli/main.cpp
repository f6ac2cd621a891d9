#include "Commands.h"
#include "LineBuffer.h"

#include <cerrno>
#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void writeToStandardError(std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.remove_prefix(size_t(n));
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mirtal::cli::LineBuffer errorLines(writeToStandardError);
    std::ostream err(&errorLines);
    mirtal::cli::CliIo io{std::cin, std::cout, err, isatty(STDIN_FILENO) == 1,
                          isatty(STDERR_FILENO) == 1};
    try {
        return mirtal::cli::runCli(arguments, io);
    } catch (const std::exception& e) {
        err << "mirtal-rip: " << e.what() << '\n';
        return mirtal::cli::kExitDataProblem;
    }
}
