#pragma once
// A line that can take back one byte, so that a byte the control program did
// not recognise (the first byte of a new download) reaches the boot ROM.

#include <optional>

#include "sim/sim_line.hpp"

namespace quillon::sim {

class PushbackLine final : public SimLine {
  public:
    explicit PushbackLine(SimLine& inner) : inner_(inner) {}

    void PushBack(std::uint8_t byte) { pending_ = byte; }
    void Drop() { pending_.reset(); }

    bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
        if (pending_) {
            byte = *pending_;
            pending_.reset();
            return true;
        }
        return inner_.ReadByte(byte, timeoutMs);
    }
    void Write(const std::uint8_t* data, std::size_t n) override { inner_.Write(data, n); }
    std::uint32_t HostBaud() override { return inner_.HostBaud(); }
    bool HostGone() override { return !pending_ && inner_.HostGone(); }

  private:
    SimLine& inner_;
    std::optional<std::uint8_t> pending_;
};

}  // namespace quillon::sim
