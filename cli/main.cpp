#include "Commands.h"

#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mirtal::cli::CliIo io{std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1,
                          isatty(STDERR_FILENO) == 1};
    try {
        return mirtal::cli::runCli(arguments, io);
    } catch (const std::exception& e) {
        std::cerr << "mirtal-rip: " << e.what() << '\n';
        return mirtal::cli::kExitDataProblem;
    }
}
