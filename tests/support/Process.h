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

// How a child ended and what it wrote to its report pipe (a program: its stderr).
struct ChildEnd {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
    std::string report;
};

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
    char buf[4096];
    for (ssize_t n; (n = ::read(reportFd, buf, sizeof buf)) != 0;) {
        if (n > 0)
            end.report.append(buf, size_t(n));
        else if (errno != EINTR)
            break;
    }
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

// Runs `work` in a forked child, which reports with the given function and
// exits with its return value, never returning into the test framework.
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
            for (size_t at = 0; at < text.size();) {
                ssize_t n = ::write(fd, text.data() + at, text.size() - at);
                if (n <= 0) break;
                at += size_t(n);
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
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(exe.c_str(), argv.data());
    ::_exit(97);
}

// mirtal-rip with standard input and output on the files; `beforeExec` runs
// in the child (limits, namespaces). The report is its standard error.
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

// mirtal-rip, every line of its standard error to `onLine`, which may write
// answers to its standard input. The report is the whole standard error.
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
