#pragma once

#include "CliHost.h"
#include "Commands.h"
#include "rip/Session.h"

namespace mirtal::cli {

// Ticks the session's job until it is finished, as the main window's timer
// would, but without waiting between ticks. Returns kExitOk, or
// kExitDataProblem when warnings were shown or the job could not finish (a
// refused bad pack, a file gone, a pause nobody can lift), said on stderr.
int runJobToEnd(Session& session, CliHost& host, CliIo& io);

} // namespace mirtal::cli
