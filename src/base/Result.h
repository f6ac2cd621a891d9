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

// Outcome of an operation that makes a value: the value, or what failed and
// why. Reads like a pointer to the value once checked.
template <class T> struct ValueResult : Result {
    T value{};

    static ValueResult of(T v) {
        ValueResult r;
        r.value = std::move(v);
        return r;
    }
    static ValueResult failure(std::string msg, int err = 0) {
        ValueResult r;
        r.ok = false;
        r.error = std::move(msg);
        r.errorNumber = err;
        return r;
    }
    T& operator*() { return value; }
    const T& operator*() const { return value; }
    T* operator->() { return &value; }
    const T* operator->() const { return &value; }
    // A failure is equal to no value.
    friend bool operator==(const ValueResult& r, const T& v) { return r.ok && r.value == v; }
};

} // namespace mirtal
