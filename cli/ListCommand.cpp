#include "Commands.h"

#include <ostream>

namespace mirtal::cli {

int runList(const Args&, CliIo& io) {
    io.err << "mirtal-rip: --list is being written\n";
    return kExitUsage;
}

} // namespace mirtal::cli
