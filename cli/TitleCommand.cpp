#include "Commands.h"
#include "JobInput.h"
#include "subtitles/TimeCode.h"

#include <cstdio>
#include <ostream>

namespace mirtal::cli {

namespace {

// FILE.ext -> FILE_titleN.ext; a picture prefix PATH -> PATH_titleN_.
std::string withTitle(const std::string& path, int title, bool prefix) {
    const std::string mark = "_title" + std::to_string(title);
    if (prefix) return path + mark + "_";
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == 0 ||
        dot == slash + 1)
        return path + mark;
    return path.substr(0, dot) + mark + path.substr(dot);
}

} // namespace

int runListTitles(const Args& args, CliIo& io) {
    JobInput input;
    std::string error;
    std::vector<Title> titles;
    if (!resolveInputs(args.inputs, input, error) || !titlesOfInput(input, titles, error)) {
        io.err << "mirtal-rip: " << error << '\n';
        return input.damaged ? kExitDataProblem : kExitUsage;
    }
    io.out << "# " << input.ifo->string() << "\n#  title  length        chapters  angles  cells\n";
    for (const Title& t : titles) {
        char line[96];
        std::snprintf(line, sizeof line, "%8d  %s  %8zu  %6d  %5zu\n", t.number,
                      timeCodeToStr(msToTimeCode(t.lengthMs)).c_str(), t.chapters.size(), t.angles,
                      t.cells.size());
        io.out << line << "#         chapters at";
        for (const TitleChapter& c : t.chapters)
            io.out << ' ' << timeCodeToStr(msToTimeCode(c.startMs));
        io.out << '\n';
    }
    return kExitOk;
}

int runEveryTitle(const Args& args, CliIo& io) {
    // The action word of --action is no input.
    const bool action = args.command == "--action";
    JobInput input;
    std::string error;
    std::vector<Title> titles;
    const std::vector<std::string> inputs(args.inputs.begin() + (action && !args.inputs.empty()),
                                          args.inputs.end());
    if (!resolveInputs(inputs, input, error) || !titlesOfInput(input, titles, error)) {
        io.err << "mirtal-rip: " << error << '\n';
        return input.damaged ? kExitDataProblem : kExitUsage;
    }
    int status = kExitOk;
    for (const Title& t : titles) {
        Args one = args;
        one.options.emplace_back("--dvd-title", std::to_string(t.number));
        for (auto [option, prefix] : {std::pair("--output", false), std::pair("--prefix", true)})
            if (auto value = args.value(option))
                one.options.emplace_back(option, withTitle(*value, t.number, prefix));
        if (args.command == "--list") io.out << "# title " << t.number << '\n';
        status = std::max(status, findCommand(args.command)->run(one, io));
    }
    return status;
}

} // namespace mirtal::cli
