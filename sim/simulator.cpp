#include "sim/simulator.hpp"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "sim/boot_rom.hpp"
#include "sim/control_program.hpp"
#include "sim/pty_line.hpp"
#include "sim/pushback_line.hpp"
#include "sim/sim_options.hpp"

namespace quillon::sim {

int RunSimulator(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << SimUsage() << "Control program faults:\n" << ControlProgramFaultHelp();
            return 0;
        }
    }
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(args, options, error)) {
        std::cerr << "quillon-sim: " << error << "\n" << SimUsage();
        return 2;
    }
    BootSettings boot;
    if (!ControlProgramFaultsValid(options.faults)) return 2;
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
    // The first line of output is the device path: scripts and tests read it.
    std::cout << line->HostPath() << std::endl;

    ControlProgramSettings control;
    control.chip = boot.chip.name;
    control.faults = options.faults;
    control.eraseMs = options.eraseMs;
    control.blankCheckMs = options.blankCheckMs;
    control.verbose = options.verbose;
    control.pace = options.pace;

    BootMemory memory;
    memory.eraseStillNeeded = options.eraseFirst;
    // Closing the port does not reset a chip: once started, the control
    // program serves every later host until one talks to the boot ROM again.
    bool controlRunning = false;
    PushbackLine session(*line);
    while (true) {
        line->WaitForHost();
        if (boot.log) boot.log("host connected");
        while (true) {
            if (!controlRunning) {
                if (RunBootRom(session, flash, boot, memory) != BootOutcome::Running) break;
                if (boot.log) boot.log("control program running");
                controlRunning = true;
            }
            std::optional<std::uint8_t> handBack;
            RunControlProgram(session, flash, control, &handBack);
            if (!handBack) break;  // the host went away
            controlRunning = false;
            session.PushBack(*handBack);
        }
        session.Drop();
        if (boot.log) boot.log("host gone");
    }
}

}  // namespace quillon::sim
