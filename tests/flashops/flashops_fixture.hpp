#pragma once
// An operation context with its port open on a scripted serial device at the
// control program's time-outs, a chip selected, and helpers to play the
// control program's replies.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/operation_context.hpp"
#include "link/control_commands.hpp"
#include "link/crc16.hpp"
#include "link/serial_link.hpp"
#include "support/scripted_serial.hpp"
#include "support/test_context.hpp"

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;

class FlashOpsTest : public ::testing::Test {
  protected:
    FlashOpsTest() : opener(t.clock) {
        t.ctx.openSerial = opener.Opener();
        t.ctx.targetList = {"TC320", "TC326", "TC337", "TC371"};
        SelectChip("TC320");
    }

    void SelectChip(const std::string& chip) {
        for (std::size_t i = 0; i < t.ctx.targetList.size(); ++i) {
            if (t.ctx.targetList[i] == chip) t.ctx.chipIndex = static_cast<int>(i);
        }
    }
    void OpenPortNow() { ASSERT_EQ(OpenPort(t.ctx, 1, 115200), 0); }
    void SetRanges(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> ranges) {
        int i = 0;
        for (auto [start, end] : ranges) {
            t.ctx.rangeStart[i] = start;
            t.ctx.rangeEnd[i] = end;
            ++i;
        }
        t.ctx.rangeCount = i;
        t.ctx.rangesBuilt = true;
    }
    // The image byte of target address a (the image begins at the first range).
    std::uint8_t& Image(std::uint32_t a) { return t.ctx.imageBuffer[a - t.ctx.rangeStart[0]]; }
    // A progress window whose user never cancels but acknowledges every
    // result ("Ok").
    RecordingProgress& Progress() {
        RecordingProgress& p = t.OpenProgress();
        p.pressAlways = false;
        p.acknowledgeResults = true;
        return p;
    }
    ScriptedSerial& port() { return opener.device; }
    bool TimingLogHas(const std::string& key) {
        return t.dir.Read("TIMETEST.TXT").find(key + "=") != std::string::npos;
    }

    TestContext t;
    ScriptedOpener opener;
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
