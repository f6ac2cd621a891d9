#pragma once

#include "Args.h"
#include "subtitles/OutputOptions.h"
#include "subtitles/TimeCode.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace mirtal::cli {

// Option values: on failure a message naming the option.
struct OptionParser {
    const Args& args;
    std::string error;

    bool fail(const std::string& option, const std::string& why);
    bool integer(const char* option, int64_t min, int64_t max, int64_t& out);
    // [-]HH:MM:SS,mmm
    bool signedTime(const char* option, TTimeCode& tc, bool& minus);
    bool choice(const char* option, std::initializer_list<const char*> names, int& out);
    bool yesNo(const char* option, bool& out);
    // Four comma-separated values, colours as RRGGBB or numbers up to max.
    bool four(const char* option, bool colours, int64_t max, int64_t (&out)[4]);
    bool text(const char* option, std::string& out);
};

// --format and the options of the output format dialog's tabs, laid over
// `options`: what the command line does not name keeps the value it has
// (the settings file's, for the rips). `format` is left alone without
// --format.
bool parseFormatOptions(OptionParser& p, std::optional<TOutputFormat>& format,
                        OutputOptions& options);

} // namespace mirtal::cli
