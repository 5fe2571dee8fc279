#pragma once
// The virtual target's end of a pseudo-terminal.

#include <csignal>
#include <memory>
#include <string>

#include "sim/sim_line.hpp"

namespace quillon::sim {

class PtyLine : public SimLine {
  public:
    // Creates the pseudo-terminal; null with the reason on failure.
    static std::unique_ptr<PtyLine> Create(bool pace, std::string& error);

    // The device path the host opens.
    virtual const std::string& HostPath() const = 0;
    // Blocks until a host has the line open.
    virtual void WaitForHost() = 0;
    // With --pace, whether the host's bytes are paced too. Only while the
    // control program runs: a pseudo-terminal takes the host's write at once,
    // so its wait for the boot ROM's answer starts before a paced image
    // (4 KiB at 9600 baud: 4.3 s) would be through, unlike on a real line
    // where the write itself takes that time.
    virtual void PaceReceived(bool on) = 0;
};

// Ends every wait of the line at once and makes the host read as gone; safe
// to call from a signal handler (SIGTERM: stop, keeping the flash).
void RequestStop();
bool StopRequested();

}  // namespace quillon::sim
