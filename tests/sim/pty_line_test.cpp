// The virtual target's pseudo-terminal, with the host's real serial device
// on the other end.

#include "sim/pty_line.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "platform/serial_device.hpp"

namespace quillon::sim {
namespace {

std::unique_ptr<SerialDevice> OpenHost(const std::string& path, std::uint32_t baud) {
    std::string error;
    auto host = OpenSystemSerialDevice(path, error);
    EXPECT_TRUE(host) << error;
    if (!host) return host;
    SerialTimeouts t{80, 80, 80, 80, 80};
    host->SetTimeouts(t);
    LineSettings s;
    s.baudRate = baud;
    EXPECT_TRUE(host->SetLineSettings(s));
    return host;
}

TEST(PtyLine, ServesOneHostAfterAnotherAndSeesTheirRates) {
    std::string error;
    auto line = PtyLine::Create(false, error);
    ASSERT_TRUE(line) << error;
    EXPECT_TRUE(line->HostGone()) << "nobody has opened it yet";

    for (std::uint32_t baud : {9600u, 250000u}) {
        auto host = OpenHost(line->HostPath(), baud);
        ASSERT_TRUE(host);
        line->WaitForHost();
        EXPECT_FALSE(line->HostGone());
        EXPECT_EQ(line->HostBaud(), baud);

        const std::uint8_t out[] = {0x18, 0x00, 0x0D};
        std::size_t n = 0;
        ASSERT_TRUE(host->Write(out, sizeof out, n));
        std::uint8_t got[3] = {};
        ASSERT_TRUE(line->ReadExact(got, 3, 1000));
        EXPECT_EQ(got[2], 0x0D);

        line->WriteByte(0x11);
        std::uint8_t reply = 0;
        ASSERT_TRUE(host->Read(&reply, 1, n));
        EXPECT_EQ(n, 1u);
        EXPECT_EQ(reply, 0x11);

        // Silence within a time-out is not a hang-up.
        std::uint8_t none = 0;
        EXPECT_FALSE(line->ReadByte(none, 20));
        EXPECT_FALSE(line->HostGone());

        host.reset();
        EXPECT_TRUE(line->HostGone());
        EXPECT_FALSE(line->ReadByte(none, -1)) << "a read ends when the host goes";
    }
}

TEST(PtyLine, PacedOutputArrivesWhole) {
    std::string error;
    auto line = PtyLine::Create(true, error);
    ASSERT_TRUE(line) << error;
    auto host = OpenHost(line->HostPath(), 115200);
    ASSERT_TRUE(host);
    line->WaitForHost();
    const std::uint8_t out[] = {0xF1, 0x83, 0x12, 0x34};
    line->Write(out, sizeof out);
    std::uint8_t got[4] = {};
    std::size_t n = 0;
    ASSERT_TRUE(host->Read(got, 4, n));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(got[3], 0x34);
}

// As through a USB adapter: a packet's 62 bytes go at once, the rest only
// once the latency timer has run out, which the target's next read sees to.
TEST(PtyLine, LatencyTimerHoldsWhatFallsShortOfAPacket) {
    std::string error;
    auto line = PtyLine::Create(false, error, 5);
    ASSERT_TRUE(line) << error;
    auto host = OpenHost(line->HostPath(), 115200);
    ASSERT_TRUE(host);
    line->WaitForHost();
    const std::vector<std::uint8_t> reply(70, 0x31);
    line->Write(reply.data(), reply.size());
    std::vector<std::uint8_t> got(reply.size());
    std::size_t first = 0, rest = 0;
    ASSERT_TRUE(host->Read(got.data(), got.size(), first));
    std::uint8_t none = 0;
    EXPECT_FALSE(line->ReadByte(none, 20));
    ASSERT_TRUE(host->Read(got.data() + first, got.size() - first, rest));
    EXPECT_EQ(first, 62u);
    EXPECT_EQ(got, reply);
}

}  // namespace
}  // namespace quillon::sim
