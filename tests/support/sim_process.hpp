#pragma once
// quillon-sim as a child process for end-to-end tests: started with the given
// options, its pseudo-terminal's path read from the first line it prints,
// stopped (SIGTERM, then reaped) when the object goes.

#include <string>
#include <vector>

namespace quillon::testing {

class SimProcess {
  public:
    // Starts QUILLON_BIN_DIR/quillon-sim with `args` and waits up to 10 s for
    // the device path. Its standard error goes to `logPath` when given.
    explicit SimProcess(const std::vector<std::string>& args, const std::string& logPath = "");
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ok() const { return !path_.empty(); }
    // The device path the host opens.
    const std::string& path() const { return path_; }
    int pid() const { return pid_; }
    // Why it did not start (empty when it did).
    const std::string& error() const { return error_; }
    // Stops the simulator now with `signal` (SIGTERM when 0); returns its
    // exit status (-1 when it did not exit normally).
    int Stop(int signal = 0);

  private:
    int pid_ = -1;
    int stdoutFd_ = -1;
    std::string path_;
    std::string error_;
};

// A fresh copy of examples/ (CHIPDEF.INI, control programs, key file) in a
// temporary program directory, so that result files land there.
std::string CopyExamplesTo(const std::string& dir);

}  // namespace quillon::testing
