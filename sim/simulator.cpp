#include "sim/simulator.hpp"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "link/command_frame.hpp"
#include "sim/boot_rom.hpp"
#include "sim/control_program.hpp"
#include "sim/pty_line.hpp"
#include "sim/pushback_line.hpp"
#include "sim/sim_options.hpp"

namespace quillon::sim {

namespace {

void OnStopSignal(int) {
    RequestStop();
}

// SIGTERM and SIGINT end the simulator cleanly, with its flash file saved.
void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

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
    if (!options.linkPath.empty()) {
        unlink(options.linkPath.c_str());
        if (symlink(line->HostPath().c_str(), options.linkPath.c_str()) != 0) {
            std::cerr << "quillon-sim: cannot place the link " << options.linkPath << "\n";
            return 1;
        }
    }
    InstallStopSignals();
    // The first line of output is the device path: scripts and tests read it.
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
    while (!StopRequested()) {
        line->WaitForHost();
        std::uint8_t first = 0;
        if (!line->ReadByte(first, -1)) continue;
        if (boot.log) boot.log("host connected");
        std::optional<std::uint8_t> next = first;
        while (next && !StopRequested()) {
            PushbackLine session(*line, *next);
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
    }
    // Stopped (SIGTERM, SIGINT): whatever was programmed stays in the file.
    flash.Save();
    return 0;
}

}  // namespace quillon::sim
