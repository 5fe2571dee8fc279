#include "sim/simulator.hpp"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

#include "link/command_frame.hpp"
#include "platform/wire_trace.hpp"
#include "sim/boot_rom.hpp"
#include "sim/control_program.hpp"
#include "sim/pty_line.hpp"
#include "sim/pushback_line.hpp"
#include "sim/tracing_line.hpp"
#include "sim/sim_options.hpp"

namespace quillon::sim {

namespace {

void OnStopSignal(int) {
    RequestStop();
}

// SIGTERM, SIGINT and SIGHUP end the simulator cleanly, with its flash file
// saved and its link removed.
void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// The symbolic link to the pseudo-terminal, for as long as the simulator
// runs: a link left behind would point at a dead device.
class DeviceLink {
  public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    ~DeviceLink() {
        // Only a link that still points at this simulator's device goes: a
        // newer simulator may have taken the name over.
        if (path_.empty()) return;
        std::string target(4096, '\0');
        const ssize_t n = readlink(path_.c_str(), target.data(), target.size());
        if (n > 0 && target.compare(0, static_cast<std::size_t>(n), device_) == 0 &&
            static_cast<std::size_t>(n) == device_.size()) {
            unlink(path_.c_str());
        }
    }

    // Places the link; false with the reason. A file of that name that is
    // not a symbolic link is the user's and is never replaced.
    bool Place(const std::string& path, const std::string& device, std::string& error) {
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = path + " exists and is not a symbolic link; it is left as it is";
                return false;
            }
            unlink(path.c_str());
        }
        if (symlink(device.c_str(), path.c_str()) != 0) {
            error = "cannot place the link " + path + ": " + std::strerror(errno);
            return false;
        }
        path_ = path;
        device_ = device;
        return true;
    }

  private:
    std::string path_;
    std::string device_;
};

}  // namespace

int RunSimulator(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << SimUsage() << "Control-program faults:\n" << ControlProgramFaultHelp();
            return 0;
        }
    }
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(args, options, error)) {
        std::cerr << "quillon-sim: " << error << "\n" << SimUsage();
        return 2;
    }
    // Faults of the control program are checked now, not when a host comes.
    if (!ControlProgramFaultsValid(options.faults)) return 2;
    BootSettings boot;
    if (!ParseBootFaults(options.faults, boot.faults, error) ||
        !LoadSimChip(options.programDir, options.chip, boot.chip, error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }
    boot.crystal = options.crystal;
    if (!options.key.empty()) {
        boot.key = LoadSimKey(options.programDir, options.key, error);
        if (!boot.key) {
            std::cerr << "quillon-sim: " << error << "\n";
            return 2;
        }
    }
    if (options.verbose) {
        boot.log = [](const std::string& text) { std::cerr << "quillon-sim: " << text << "\n"; };
    }
    FlashModel flash(boot.chip.ranges, options.flashFile);
    if (!flash.Load(error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }

    auto line = PtyLine::Create(options.pace, error);
    if (!line) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 1;
    }
    // The handlers go in before the link exists, so that no stop signal can
    // end the process between the two and leave the link behind.
    InstallStopSignals();
    DeviceLink link;
    if (!options.linkPath.empty() && !link.Place(options.linkPath, line->HostPath(), error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }
    // The first line of output is the device path: scripts and tests read it.
    WireTrace trace;
    if (!options.traceFile.empty() && !trace.Open(options.traceFile, error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }
    TracingLine traced(*line, trace);
    SimLine& wire = trace.IsOpen() ? static_cast<SimLine&>(traced) : *line;
    std::cout << line->HostPath() << std::endl;

    ControlProgramSettings program;
    program.chip = boot.chip.name;
    program.faults = options.faults;
    program.eraseMs = options.eraseMs;
    program.blankCheckMs = options.blankCheckMs;
    program.verbose = options.verbose;
    program.pace = options.pace;

    BootMemory memory;
    memory.eraseStillNeeded = options.eraseFirst;
    // The control program keeps running while hosts come and go: each
    // command reopens the port. A new download starts with the board's
    // reset, which the first byte shows: the boot command or a TCS poll,
    // whether it opens a host session or comes within one.
    bool programRunning = false;
    bool traceCutTold = false;
    while (!StopRequested()) {
        line->WaitForHost();
        std::uint8_t first = 0;
        if (!wire.ReadByte(first, -1)) continue;
        if (boot.log) boot.log("host connected");
        std::optional<std::uint8_t> next = first;
        while (next && !StopRequested()) {
            PushbackLine session(wire, *next);
            const bool reset = *next == kBootCommand || *next == kTcsPoll;
            next.reset();
            if (!programRunning || reset) {
                programRunning = false;
                if (RunBootRom(session, flash, boot, memory) != BootOutcome::Running) break;
                programRunning = true;
                if (boot.log) boot.log("control program running");
            }
            // A fault option it cannot understand ends the simulator.
            if (RunControlProgram(session, flash, program, &next) != 0) return 2;
        }
        if (boot.log) boot.log("host gone");
        trace.Event("host gone");
        trace.Flush();
        if (trace.Failed() && !traceCutTold) {
            std::cerr << "quillon-sim: the trace " << options.traceFile
                      << " could not be written in full (is the disk full?)" << std::endl;
            traceCutTold = true;
        }
    }
    // Stopped (SIGTERM, SIGINT): whatever was programmed stays in the file.
    flash.Save();
    // A cut-off trace must not pass for a whole one.
    if (!trace.Close(error)) {
        if (!traceCutTold) std::cerr << "quillon-sim: " << error << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quillon::sim
