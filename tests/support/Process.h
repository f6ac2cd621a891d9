#pragma once

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace mirtal::test {

// How a child ended and what it wrote to its report pipe (or, for a program,
// to its standard error).
struct ChildEnd {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
    std::string report;
};

inline std::string readAll(int fd) {
    std::string out;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, size_t(n));
    }
    return out;
}

// Waits for the child and notes how it ended.
inline void waitExit(pid_t pid, ChildEnd& end) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    end.exited = WIFEXITED(status);
    end.exitCode = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

inline ChildEnd waitChild(pid_t pid, int reportFd) {
    ChildEnd end;
    end.report = readAll(reportFd);
    ::close(reportFd);
    waitExit(pid, end);
    return end;
}

// Writes files no larger than `bytes` from here on: a longer write fails
// with EFBIG instead of killing the process, as on a full disk.
inline void limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
        bytes, bytes
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Runs `work` in a forked child. It writes its report with the given
// function; its return value is the exit code. The child never returns
// into the test framework.
inline ChildEnd
runInChild(const std::function<int(const std::function<void(const std::string&)>&)>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
        ::close(fds[0]);
        auto report = [fd = fds[1]](const std::string& text) {
            const char* p = text.data();
            size_t left = text.size();
            while (left > 0) {
                ssize_t n = ::write(fd, p, left);
                if (n <= 0) break;
                p += n;
                left -= size_t(n);
            }
        };
        int code = 99;
        try {
            code = work(report);
        } catch (...) {
            report("exception in child");
        }
        ::_exit(code);
    }
    ::close(fds[1]);
    return waitChild(pid, fds[0]);
}

// In a forked child: becomes `exe` with the arguments; exit status 97 when
// it cannot be started.
[[noreturn]] inline void execProgram(const std::string& exe, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {exe};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (std::string& a : argv) cargs.push_back(a.data());
    cargs.push_back(nullptr);
    ::execv(exe.c_str(), cargs.data());
    ::_exit(97);
}

// Runs mirtal-rip with the arguments, standard input from `stdinFile` (or
// /dev/null), standard output to `stdoutFile`; `beforeExec` runs in the
// child (limits, namespaces). The report is its standard error.
inline ChildEnd runProgram(const std::string& exe, const std::vector<std::string>& args,
                           const std::function<void()>& beforeExec = {},
                           const std::string& stdinFile = "/dev/null",
                           const std::string& stdoutFile = "/dev/null") {
    int err[2];
    if (::pipe(err) != 0) return {};
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
        ::close(err[0]);
        int in = ::open(stdinFile.c_str(), O_RDONLY);
        int out = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0) ::_exit(98);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err[1], 2);
        if (beforeExec) beforeExec();
        execProgram(exe, args);
    }
    ::close(err[1]);
    return waitChild(pid, err[0]);
}

// mirtal-rip with the arguments and standard output to `stdoutFile`; every
// line of its standard error goes to `onLine`, which may write answers to
// its standard input. The report is the whole standard error.
inline ChildEnd runConversation(const std::string& exe, const std::vector<std::string>& args,
                                const std::string& stdoutFile,
                                const std::function<void(const std::string&, FILE*)>& onLine) {
    std::signal(SIGPIPE, SIG_IGN); // a child that quits early must not end the test
    int in[2], err[2];
    if (::pipe(in) != 0 || ::pipe(err) != 0) return {};
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
        int out = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0) ::_exit(98);
        ::dup2(in[0], 0);
        ::dup2(out, 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], err[0], err[1], out}) ::close(fd);
        execProgram(exe, args);
    }
    ::close(in[0]);
    ::close(err[1]);
    FILE* answers = ::fdopen(in[1], "w");
    FILE* errors = ::fdopen(err[0], "r");
    ChildEnd end;
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t n = 0;
    while ((n = ::getline(&buffer, &capacity, errors)) > 0) {
        std::string line(buffer, size_t(n) - (buffer[n - 1] == '\n' ? 1 : 0));
        end.report += line + "\n";
        onLine(line, answers);
    }
    std::free(buffer);
    std::fclose(answers);
    std::fclose(errors);
    waitExit(pid, end);
    return end;
}

// The names in a folder other than `keep`: what a save left behind.
inline std::vector<std::string> otherEntries(const std::filesystem::path& folder,
                                             const std::string& keep) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != ".." && name != keep) out.push_back(name);
        }
        ::closedir(d);
    }
    return out;
}

} // namespace mirtal::test
