#include "support/sim_process.hpp"

#include <gtest/gtest.h>

#include "platform/paths.hpp"

#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace quillon::testing {

SimProcess::SimProcess(const std::vector<std::string>& args, const std::string& logPath) {
    int out[2];
    if (pipe(out) != 0) {
        error_ = "pipe failed";
        return;
    }
    const std::string program = std::string(QUILLON_BIN_DIR) + "/quillon-sim";
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (auto& a : argv) cargs.push_back(a.data());
    cargs.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const int err = open(logPath.empty() ? "/dev/null" : logPath.c_str(),
                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execv(program.c_str(), cargs.data());
        _exit(127);
    }
    close(out[1]);
    stdoutFd_ = out[0];
    if (pid_ < 0) {
        error_ = "fork failed";
        return;
    }
    std::string line;
    while (true) {
        pollfd p{stdoutFd_, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) {
            error_ = "quillon-sim printed no device path within 10 s";
            return;
        }
        char c = 0;
        if (read(stdoutFd_, &c, 1) != 1) {
            error_ = "quillon-sim ended before printing its device path (" + line + ")";
            return;
        }
        if (c == '\n') break;
        line += c;
    }
    path_ = line;
}

int SimProcess::Stop(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal == 0 ? SIGTERM : signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SimProcess::~SimProcess() {
    Stop();
    if (stdoutFd_ >= 0) close(stdoutFd_);
}

}  // namespace quillon::testing

#endif

namespace quillon::testing {

std::string CopyExamplesTo(const std::string& dir) {
    if (!CopyFolderContents(std::string(QUILLON_SOURCE_DIR) + "/examples", dir, true)) {
        ADD_FAILURE() << "cannot copy the examples to " << dir;
    }
    return dir;
}

}  // namespace quillon::testing
