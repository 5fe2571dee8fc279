#pragma once
// The virtual target's end of a pseudo-terminal.

#include <csignal>
#include <memory>
#include <string>

#include "sim/sim_line.hpp"

namespace quillon::sim {

class PtyLine : public SimLine {
  public:
    // Creates the pseudo-terminal; null with the reason on failure. With
    // `latencyTimerMs` above 0 the target's bytes reach the host as through
    // a USB serial adapter with that latency timer (see AdapterLatency):
    // bytes held past their time go at the line's next read or write, so
    // they are late only while the target neither reads nor writes.
    static std::unique_ptr<PtyLine> Create(bool pace, std::string& error,
                                           int latencyTimerMs = 0);

    // The device path the host opens.
    virtual const std::string& HostPath() const = 0;
    // Blocks until a host has the line open.
    virtual void WaitForHost() = 0;
};

// Ends every wait of the line at once and makes the host read as gone; safe
// to call from a signal handler (SIGTERM: stop, keeping the flash).
void RequestStop();
bool StopRequested();

}  // namespace quillon::sim
