#include "sim/simulator.hpp"

#include <signal.h>

#include <iostream>
#include <optional>

#include "config/chip_file.hpp"
#include "link/command_frame.hpp"
#include "platform/wire_trace.hpp"
#include "sim/boot_rom.hpp"
#include "sim/control_program.hpp"
#include "sim/device_link.hpp"
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

}  // namespace

int RunSimulator(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << SimUsage() << "Control-program faults:\n" << ControlProgramFaultHelp();
            return 0;
        }
        if (a == "--version" || a == "-V") {
            std::cout << "quillon-sim " << QUILLON_PACKAGE_VERSION << '\n';
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
    if (!ParseBootFaults(options.faults, boot.faults, error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }
    // The program folder is found as quillon-cli finds it, so that both meet
    // in the same CHIPDEF.INI without being told.
    ProgramFiles files;
    if (LocateChipDefinitionFile(options.programDir, files) == StartupFailure::PathTooLong) {
        std::cerr << "quillon-sim: the program folder's path is too long\n";
        return 2;
    }
    options.programDir = files.programDir;
    if (!LoadSimChip(options.programDir, options.chip, boot.chip, error)) {
        std::cerr << "quillon-sim: " << error << " (the program folder is " << files.why << ")\n";
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
        boot.log("program folder " + files.programDir + " (" + files.why + ")");
    }
    FlashModel flash(boot.chip.ranges, options.flashFile);
    if (!flash.Load(error)) {
        std::cerr << "quillon-sim: " << error << "\n";
        return 2;
    }

    auto line = PtyLine::Create(options.pace, error, options.latencyTimerMs);
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
