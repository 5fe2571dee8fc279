#pragma once
// The virtual target's line in memory: the host's bytes are queued before the
// target runs, and the host "goes away" once the target has read them all, so
// a control program under test serves the script and returns.

#include <cstdint>
#include <deque>
#include <vector>

#include "sim/sim_line.hpp"

namespace quillon::testing {

class MemorySimLine final : public sim::SimLine {
  public:
    void Send(const std::vector<std::uint8_t>& bytes) {
        fromHost.insert(fromHost.end(), bytes.begin(), bytes.end());
    }

    bool ReadByte(std::uint8_t& byte, int) override {
        if (fromHost.empty()) return false;
        byte = fromHost.front();
        fromHost.pop_front();
        return true;
    }
    void Write(const std::uint8_t* data, std::size_t n) override {
        toHost.insert(toHost.end(), data, data + n);
    }
    std::uint32_t HostBaud() override { return baud; }
    bool HostGone() override { return fromHost.empty(); }

    std::deque<std::uint8_t> fromHost;
    std::vector<std::uint8_t> toHost;
    std::uint32_t baud = 115200;
};

}  // namespace quillon::testing
