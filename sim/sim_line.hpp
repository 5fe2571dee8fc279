#pragma once
// The virtual target's end of the line: the pseudo-terminal as the target
// sees it (or an in-memory pipe in tests).

#include <cstddef>
#include <cstdint>

namespace quillon::sim {

class SimLine {
public:
    virtual ~SimLine() = default;
    // Reads one byte; false when none came within timeoutMs (negative: wait
    // until one comes or the host goes away) or the host went away.
    virtual bool ReadByte(std::uint8_t& byte, int timeoutMs) = 0;
    // Sends bytes to the host (paced at the host's rate when pacing is on).
    virtual void Write(const std::uint8_t* data, std::size_t n) = 0;
    // The rate the host has set on its side of the line.
    virtual std::uint32_t HostBaud() = 0;
    // The host has closed the line (no process holds it open).
    virtual bool HostGone() = 0;

    void WriteByte(std::uint8_t b) { Write(&b, 1); }
    // Reads exactly n bytes, each within timeoutMs of the previous one.
    bool ReadExact(std::uint8_t* buffer, std::size_t n, int timeoutMs) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!ReadByte(buffer[i], timeoutMs)) return false;
        }
        return true;
    }
};

}  // namespace quillon::sim
