#pragma once
// A line with one byte already read: the virtual target looks at the first
// byte of a new host session to tell who must answer it.

#include <optional>

#include "sim/sim_line.hpp"

namespace quillon::sim {

class PushbackLine final : public SimLine {
  public:
    PushbackLine(SimLine& inner, std::uint8_t first) : inner_(inner), pending_(first) {}

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
