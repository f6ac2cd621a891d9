#include "JobRunner.h"

#include <ostream>

namespace mirtal::cli {

int runJobToEnd(Session& session, CliHost& host, CliIo& io) {
    RipEngine& engine = session.engine();
    RipJob& job = session.job();
    while (!job.finished()) {
        TickResult r = engine.Timer1Timer();
        if (job.finished()) break;
        if (engine.halted()) {
            io.err << "mirtal-rip: stopped at the bad pack of "
                   << job.FileList[job.CurrentFile - 1].string() << '\n';
            return kExitDataProblem;
        }
        if (r == TickResult::MissingFile) {
            io.err << "mirtal-rip: file not found: " << job.FileList[job.CurrentFile - 1].string()
                   << '\n';
            return kExitDataProblem;
        }
        if (job.Paused && !job.Busy) {
            io.err << "mirtal-rip: the job paused in " << job.FileList[job.CurrentFile - 1].string()
                   << " at pack " << job.ContinuePack << " and cannot go on here\n";
            return kExitDataProblem;
        }
    }
    return host.warnings() > 0 ? kExitDataProblem : kExitOk;
}

} // namespace mirtal::cli
