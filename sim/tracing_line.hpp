#pragma once
// The virtual target's line with a wire trace of everything that crosses it,
// written from the target's side in the host's format (TX: what the host
// sent, RX: what the target answered), and the host's rate changes.

#include <cstdint>
#include <string>

#include "platform/wire_trace.hpp"
#include "sim/sim_line.hpp"

namespace quillon::sim {

class TracingLine final : public SimLine {
  public:
    TracingLine(SimLine& inner, WireTrace& trace) : inner_(inner), trace_(trace) {
        // The target reads a byte at a time: a burst of them is one transfer.
        trace_.mergeWithinUs = 2000;
    }

    bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
        if (!inner_.ReadByte(byte, timeoutMs)) return false;
        NoteRate();
        trace_.Bytes(WireDirection::HostToTarget, &byte, 1);
        return true;
    }
    void Write(const std::uint8_t* data, std::size_t n) override {
        NoteRate();
        trace_.Bytes(WireDirection::TargetToHost, data, n);
        inner_.Write(data, n);
    }
    std::uint32_t HostBaud() override { return inner_.HostBaud(); }
    bool HostGone() override { return inner_.HostGone(); }

  private:
    void NoteRate() {
        const std::uint32_t baud = inner_.HostBaud();
        if (baud == baud_) return;
        baud_ = baud;
        trace_.Event("rate " + std::to_string(baud));
    }

    SimLine& inner_;
    WireTrace& trace_;
    std::uint32_t baud_ = 0;
};

}  // namespace quillon::sim
