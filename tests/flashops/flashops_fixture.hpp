#pragma once
// A link open on a scripted serial device at the control program's time-outs,
// a chip on its operation ranges, a flash image, a recording operator, and
// helpers to play the control program's replies.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/flash_image.hpp"
#include "link/control_commands.hpp"
#include "link/crc16.hpp"
#include "support/scripted_link.hpp"

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;

class FlashOpsTest : public ::testing::Test, public ScriptedLink {
  protected:
    FlashOpsTest() { chip.name = "TC320"; }

    void OpenPortNow() {
        Outcome failure;
        ASSERT_TRUE(link.Open(115200, failure));
    }
    void SetRanges(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> ranges) {
        int i = 0;
        for (auto [start, end] : ranges) {
            chip.ranges.rangeStart[i] = start;
            chip.ranges.rangeEnd[i] = end;
            ++i;
        }
        chip.ranges.rangeCount = i;
    }
    // The image byte of target address a (the image begins at the first range).
    std::uint8_t& Image(std::uint32_t a) { return image.bytes[a - chip.ranges.rangeStart[0]]; }
    // A progress window whose user never cancels but acknowledges every
    // result ("Ok").
    RecordingProgress& Progress() { return op.OpenProgress(); }
    ScriptedSerial& port() { return opener.device; }
    bool TimingLogHas(const std::string& key) {
        return dir.Read("TIMETEST.TXT").find(key + "=") != std::string::npos;
    }

    FlashImage image;
};

// 512 data bytes, their CRC high byte first: a read block as the target sends it.
inline Bytes ReadReply(const Bytes& data, bool spoilCrc = false) {
    Bytes out{kStatusOk};
    out.insert(out.end(), data.begin(), data.end());
    std::uint16_t crc = Crc16(data.data(), data.size());
    if (spoilCrc) crc ^= 0x0100;
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    out.push_back(static_cast<std::uint8_t>(crc));
    out.push_back(kStatusOk);
    return out;
}

inline Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

}  // namespace quillon::testing
