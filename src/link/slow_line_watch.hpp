#pragma once
// Whether the blocks of a data transfer cross the line far more slowly than
// its rate allows. Over every few seconds of blocks, the time they took is
// set against the time their bytes need on the line; above one and a half
// times that, something holds each exchange up, most likely a USB serial
// adapter's latency timer (two waits a block of a stop-and-wait protocol).
// Only the blocks' own times count: a question asked between two blocks, or
// a block sent again, is not a slow line.

#include <cstdint>

namespace quillon {

class SlowLineWatch {
  public:
    static constexpr double kWindowMs = 5000;  // "several seconds"
    static constexpr double kSlowFactor = 1.5;

    // A block of `lineBytes` (both directions) at `baud` took `elapsedMs`.
    // True once: the first time a window of blocks ran that slowly.
    bool Block(std::uint32_t lineBytes, std::uint32_t baud, std::uint32_t elapsedMs) {
        if (told_ || baud == 0) return false;
        lineMs_ += lineBytes * 10000.0 / baud;  // ten bits a byte
        elapsedMs_ += elapsedMs;
        if (elapsedMs_ < kWindowMs) return false;
        told_ = elapsedMs_ > kSlowFactor * lineMs_;
        lineMs_ = elapsedMs_ = 0;
        return told_;
    }

  private:
    double lineMs_ = 0;
    double elapsedMs_ = 0;
    bool told_ = false;
};

}  // namespace quillon
