#pragma once

#include <string>
#include <utility>

namespace mirtal {

// Outcome of an operation that can fail: ok, or a message saying what failed
// and why (naming the file, where there is one).
struct Result {
    bool ok = true;
    std::string error;
    int errorNumber = 0; // the errno behind it, where there is one
    static Result failure(std::string msg, int err = 0) { return {false, std::move(msg), err}; }
    explicit operator bool() const { return ok; }
};

} // namespace mirtal
