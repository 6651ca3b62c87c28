// A fresh folder for a test's sockets and files, and a program the test runs
// as its own process with its input and output kept in files there.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillon::testing {

// The whole text of a file; empty when there is none.
inline std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Removed with all it holds at the end. A test without its folder cannot
// run, so failing to make one aborts rather than fall back on a shared one.
struct Folder {
    Folder() {
        char pattern[] = "/tmp/quillon-test-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            std::abort();
        path = pattern;
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// Standard input from the file tag.in holding input, output and error in
// tag.out and tag.err. It runs in a process group of its own, so that
// whatever it starts ends with it: killed at the end if still there.
struct TestProcess {
    TestProcess(const Folder& folder, const std::string& tag, std::vector<std::string> arguments,
                const std::string& input = "")
        : out(folder / tag + ".out"), err(folder / tag + ".err") {
        const std::string in = folder / tag + ".in";
        std::ofstream(in) << input;
        pid = ::fork();
        if (pid != 0)
            return;
        ::setpgid(0, 0);
        if (!std::freopen(in.c_str(), "r", stdin) || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr))
            ::_exit(127);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;
    ~TestProcess() {
        if (pid > 0 && ::kill(-pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
    // The exit status, 128 + the signal that ended it, or -1 while it is
    // still running after timeoutMs.
    int exitStatus(int timeoutMs = 60000) {
        for (int waited = 0; pid > 0 && waited < timeoutMs; waited += 10) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    std::string out, err; // the paths of the files
    pid_t pid = -1;
};

} // namespace quillon::testing
