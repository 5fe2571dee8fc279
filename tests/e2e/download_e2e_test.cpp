// The download and the security unlock over a real pseudo-terminal against
// quillon-sim, one chip of each group, with the real protocol delays.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>

#include "config/catalog.hpp"
#include "config/chip_file.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/security_unlock.hpp"
#include "link/serial_link.hpp"
#include "platform/serial_device.hpp"
#include "platform/terminal_rate.hpp"
#include "support/sim_process.hpp"
#include "support/test_context.hpp"

namespace quillon::testing {
namespace {

struct Host {
    explicit Host(const std::string& chip, int crystal = 0) {
        CopyExamplesTo(t.dir.path());
        t.ctx.clock = &SystemClock();
        t.ctx.openSerial = OpenSystemSerialDevice;
        t.ctx.progressText = " Downloading";
        progress = &t.OpenProgress();
        // The RESET-button handshake polls Cancel: only results get their Ok.
        progress->pressAlways = false;
        progress->pressWhenOk = true;
        EXPECT_EQ(ListChipSections(t.ctx), StartupFailure::None);
        const auto it = std::find(t.ctx.targetList.begin(), t.ctx.targetList.end(), chip);
        EXPECT_NE(it, t.ctx.targetList.end()) << chip;
        t.ctx.chipIndex = static_cast<int>(it - t.ctx.targetList.begin());
        LoadChipDefinition(t.ctx);
        t.ctx.clockIndex = crystal;
    }
    void Connect(const SimProcess& sim) {
        ASSERT_TRUE(sim.ok()) << sim.error();
        t.ctx.portPathOverride = sim.path();
    }
    // The rate the host's device is set to now, as the simulator sees it.
    std::uint32_t LineRate() {
        LineSettings s;
        if (!t.ctx.comPortHandle || !t.ctx.comPortHandle->GetLineSettings(s)) return 0;
        return s.baudRate;
    }
    std::vector<std::string> SimArgs(const std::string& chip) {
        return {"--program-dir", t.dir.path(), "--chip", chip};
    }

    TestContext t;
    RecordingProgress* progress = nullptr;
};

struct ChipCase {
    const char* chip;
    int crystal;
    std::uint32_t fastRate;
    std::vector<std::string> faults;
};

class DownloadE2E : public ::testing::TestWithParam<ChipCase> {};

TEST_P(DownloadE2E, DownloadsAndSwitchesToTheControlProgramsRate) {
    const ChipCase& c = GetParam();
    Host host(c.chip, c.crystal);
    auto args = host.SimArgs(c.chip);
    for (const auto& f : c.faults) {
        args.push_back("--fault");
        args.push_back(f);
    }
    SimProcess sim(args, host.t.dir.File("sim.log"));
    host.Connect(sim);

    ASSERT_TRUE(DownloadControlProgram(host.t.ctx, false)) << host.t.ctx.lastReport.text << "\n"
                                                           << host.t.dir.Read("sim.log");
    EXPECT_EQ(host.t.ctx.controlProgramBaud, c.fastRate);
    EXPECT_EQ(host.t.ctx.currentBaud, c.fastRate);
    EXPECT_EQ(host.LineRate(), c.fastRate);
    EXPECT_EQ(host.progress->pos, host.progress->rangeHigh) << "every step taken";
}

INSTANTIATE_TEST_SUITE_P(
    OneChipOfEachGroup, DownloadE2E,
    ::testing::Values(ChipCase{"TC370", 0, 38400, {}},           // plain, Baud2
                      ChipCase{"TC370", 1, 57600, {}},           // crystal variant file
                      ChipCase{"TC371", 1, 38400, {}},           // empty Baud2: twice Baud
                      ChipCase{"TC350", 0, 19200, {}},           // sector table, run byte C0
                      ChipCase{"TC301", 0, 38400, {"zeros:3"}},  // identification frame
                      ChipCase{"TC328", 0, 19200, {}},           // no image acknowledgement
                      ChipCase{"TC337", 1, 38400, {}},           // run byte C0
                      ChipCase{"TC304", 0, 38400, {}},           // TCS1
                      ChipCase{"TC310", 1, 115200, {"stray:2"}}  // TCS2 with stray bytes
                      ),
    [](const auto& info) {
        return std::string(info.param.chip) + "_crystal" + std::to_string(info.param.crystal);
    });

TEST(SecurityE2E, KeyAcceptedThenDownload) {
    Host host("TC326");
    auto args = host.SimArgs("TC326");
    args.insert(args.end(), {"--key", "tc326.key"});
    SimProcess sim(args, host.t.dir.File("sim.log"));
    host.Connect(sim);
    ASSERT_EQ(UnlockSecurity(host.t.ctx, false), kUnlockGoOn) << host.t.ctx.lastReport.text;
    ASSERT_TRUE(DownloadControlProgram(host.t.ctx, false)) << host.t.ctx.lastReport.text;
    EXPECT_EQ(host.LineRate(), 19200u);
    EXPECT_EQ(host.t.prompt.asked.size(), 1u) << "one reset prompt for both steps";
}

TEST(SecurityE2E, WrongKeyIsACryptError) {
    Host host("TC326");
    auto args = host.SimArgs("TC326");
    args.insert(args.end(), {"--key", "5A,A5,12,34,56,78,9A,00"});
    SimProcess sim(args);
    host.Connect(sim);
    EXPECT_EQ(UnlockSecurity(host.t.ctx, false), kUnlockStopped);
    EXPECT_EQ(host.t.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_NE(host.t.ctx.lastReport.text.find("CRYPT ERROR : 12H"), std::string::npos)
        << host.t.ctx.lastReport.text;
}

TEST(SecurityE2E, EraseFirstThenBurnInEraseThenDownload) {
    Host host("TC326");
    auto args = host.SimArgs("TC326");
    args.insert(args.end(), {"--erase-first"});
    SimProcess sim(args);
    host.Connect(sim);
    ASSERT_EQ(UnlockSecurity(host.t.ctx, true), kUnlockEraseFirst);
    // The burn-in erase as Full Operation runs it, on the open port.
    ASSERT_TRUE(WriteByte(host.t.ctx, kBootCommand));
    ASSERT_FALSE(WaitAck(host.t.ctx, 3, kBootCommand, 0x20));
    ASSERT_EQ(SendCommandFrame(host.t.ctx, kBurnInEraseCommand, 0, 0x100000), 0);
    std::uint8_t byte = 0;
    int fillers = 0;
    for (int reads = 0; reads < 100 && (byte = ReadByte(host.t.ctx)) != '!'; ++reads) {
        if (byte == 0x20) ++fillers;
    }
    EXPECT_EQ(byte, '!');
    EXPECT_GT(fillers, 0);
    ASSERT_TRUE(DownloadControlProgram(host.t.ctx, true)) << host.t.ctx.lastReport.text;
}

TEST(LinkE2E, OneSimulatorServesOneHostAfterAnother) {
    Host first("TC370");
    SimProcess sim(first.SimArgs("TC370"));
    first.Connect(sim);
    ASSERT_TRUE(DownloadControlProgram(first.t.ctx, false)) << first.t.ctx.lastReport.text;
    ClosePort(first.t.ctx);

    // The control program goes on running while the port is closed: the
    // next command reopens it at the control program's rate.
    ASSERT_EQ(OpenPort(first.t.ctx, 1, first.t.ctx.controlProgramBaud), 0);
    ASSERT_TRUE(WriteByte(first.t.ctx, kRateCheckByte));
    EXPECT_FALSE(WaitAck(first.t.ctx, 3, 0x30, 0x30)) << first.t.ctx.lastReport.text;
    ClosePort(first.t.ctx);

    // After a reset, a new download meets the boot ROM again.
    Host second("TC370");
    second.Connect(sim);
    ASSERT_TRUE(DownloadControlProgram(second.t.ctx, false)) << second.t.ctx.lastReport.text;
    ClosePort(second.t.ctx);
    EXPECT_EQ(sim.Stop(), 0) << "SIGTERM ends the simulator cleanly";
}

TEST(LinkE2E, SilentBootRomTimesOutAndAWrongReplyIsNamed) {
    {
        Host host("TC370");
        auto args = host.SimArgs("TC370");
        args.insert(args.end(), {"--fault", "silent:boot"});
        SimProcess sim(args);
        host.Connect(sim);
        EXPECT_FALSE(DownloadControlProgram(host.t.ctx, false));
        EXPECT_EQ(host.t.ctx.lastReport.code, kMsgTimeout);
    }
    {
        Host host("TC370");
        auto args = host.SimArgs("TC370");
        args.insert(args.end(), {"--fault", "wrong:image=07"});
        SimProcess sim(args);
        host.Connect(sim);
        EXPECT_FALSE(DownloadControlProgram(host.t.ctx, false));
        EXPECT_EQ(host.t.ctx.lastReport.code, kMsgDownloadError);
        EXPECT_NE(host.t.ctx.lastReport.text.find("MCU : 07H"), std::string::npos);
    }
}

TEST(LinkE2E, WrongCrystalByteIsRefusedByTheTarget) {
    // The simulator is told crystal 1; the host selects crystal 0.
    Host host("TC370", 0);
    auto args = host.SimArgs("TC370");
    args.insert(args.end(), {"--crystal", "1"});
    SimProcess sim(args);
    host.Connect(sim);
    EXPECT_FALSE(DownloadControlProgram(host.t.ctx, false));
    EXPECT_EQ(host.t.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_NE(host.t.ctx.lastReport.text.find("MCU : 0FH"), std::string::npos);
}

TEST(LinkE2E, DeviceThatIsNotThereIsNamedInTheReport) {
    Host host("TC370");
    host.t.ctx.portPathOverride = "/dev/quillon-absent";
    EXPECT_FALSE(OpenPortAtBootBaud(host.t.ctx));
    EXPECT_EQ(host.t.ctx.lastReport.code, kMsgCannotOpenPort);
    EXPECT_NE(host.t.ctx.lastReport.text.find("/dev/quillon-absent"), std::string::npos);
}

// Not a check: the time a standard download of the 4 KiB control program
// takes, to be read off a run. Printed, never asserted.
TEST(LinkE2E, TimeOfAStandardDownloadOf4KiB) {
    for (bool pace : {false, true}) {
        Host host("TC370");
        auto args = host.SimArgs("TC370");
        if (pace) args.push_back("--pace");
        SimProcess sim(args);
        host.Connect(sim);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(DownloadControlProgram(host.t.ctx, false));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        std::cout << "[ measure  ] TC370 4096-byte download at 9600/38400"
                  << (pace ? " (paced)" : "") << ": " << ms
                  << " ms, of which 500 ms mandated waits\n";
    }
}

}  // namespace
}  // namespace quillon::testing
