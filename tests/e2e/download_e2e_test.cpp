// The download and the security unlock over a real pseudo-terminal against
// quillon-sim, one chip of each group, with the real protocol delays.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>

#include "app/chip_selection.hpp"
#include "app/download_command.hpp"
#include "config/catalog.hpp"
#include "config/chip_file.hpp"
#include "e2e/live_session.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/security_unlock.hpp"
#include "link/serial_link.hpp"
#include "platform/serial_device.hpp"
#include "platform/terminal_rate.hpp"
#include "support/sim_process.hpp"

namespace quillon::testing {
namespace {

struct Host {
    explicit Host(const std::string& chip, int crystal = 0) {
        CopyExamplesTo(t.dir.path());
        progress = &t.OpenProgress();
        // The RESET-button handshake polls Cancel: only results get their Ok.
        progress->pressAlways = false;
        progress->pressWhenOk = true;
        EXPECT_EQ(ListChipSections(t.ctx.chipDefPath, t.ctx.targetList), StartupFailure::None);
        const auto it = std::find(t.ctx.targetList.begin(), t.ctx.targetList.end(), chip);
        EXPECT_NE(it, t.ctx.targetList.end()) << chip;
        t.ctx.chipIndex = static_cast<int>(it - t.ctx.targetList.begin());
        LoadSelectedChip(t.ctx);
        t.ctx.clockIndex = crystal;
    }
    void Connect(const SimProcess& sim) {
        ASSERT_TRUE(sim.ok()) << sim.error();
        t.UsePort(sim.path());
    }
    std::vector<std::string> SimArgs(const std::string& chip) {
        return {"--program-dir", t.dir.path(), "--chip", chip};
    }
    // The download as the Download button runs it, on the port opened here.
    bool Download(bool fullOperation = false) {
        DownloadOptions options;
        options.fullOperation = fullOperation;
        options.askForReset = t.ctx.request.askForReset;
        options.stepText = " Downloading";
        return DownloadControlProgram(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.timer, options);
    }
    Link& link() { return t.ctx.link; }
    const std::string& LastText() const { return t.ctx.lastReport.text; }

    LiveSession t;
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

    ASSERT_TRUE(host.Download()) << host.LastText() << "\n" << host.t.dir.Read("sim.log");
    EXPECT_EQ(host.link().controlProgramBaud(), c.fastRate);
    EXPECT_EQ(host.link().currentBaud(), c.fastRate);
    EXPECT_EQ(host.t.LineRate(), c.fastRate);
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
    ASSERT_EQ(UnlockSelectedChip(host.t.ctx, false), UnlockResult::GoOn) << host.LastText();
    ASSERT_TRUE(host.Download()) << host.LastText();
    EXPECT_EQ(host.t.LineRate(), 19200u);
    EXPECT_EQ(host.t.prompt.asked.size(), 1u) << "one reset prompt for both steps";
}

TEST(SecurityE2E, WrongKeyIsACryptError) {
    Host host("TC326");
    auto args = host.SimArgs("TC326");
    args.insert(args.end(), {"--key", "5A,A5,12,34,56,78,9A,00"});
    SimProcess sim(args);
    host.Connect(sim);
    EXPECT_EQ(UnlockSelectedChip(host.t.ctx, false), UnlockResult::Stopped);
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
    ASSERT_EQ(UnlockSelectedChip(host.t.ctx, true), UnlockResult::EraseFirst);
    // The burn-in erase as Full Operation runs it, on the open port.
    Link& link = host.link();
    Operator& op = host.t.ctx.op;
    ASSERT_TRUE(WriteByte(link, op, kBootCommand));
    ASSERT_TRUE(WaitAck(link, op, 3, kBootCommand, 0x20));
    ASSERT_TRUE(SendCommandFrame(link, op, kBurnInEraseCommand, 0, 0x100000));
    std::uint8_t byte = 0;
    int fillers = 0;
    for (int reads = 0; reads < 100 && (byte = ReadByte(link, op)) != '!'; ++reads) {
        if (byte == 0x20) ++fillers;
    }
    EXPECT_EQ(byte, '!');
    EXPECT_GT(fillers, 0);
    ASSERT_TRUE(host.Download(true)) << host.LastText();
}

TEST(LinkE2E, OneSimulatorServesOneHostAfterAnother) {
    Host first("TC370");
    SimProcess sim(first.SimArgs("TC370"));
    first.Connect(sim);
    ASSERT_TRUE(first.Download()) << first.LastText();
    first.link().Close();

    // The control program goes on running while the port is closed: the
    // next command reopens it at the control program's rate.
    Outcome failure;
    ASSERT_TRUE(first.link().Open(first.link().controlProgramBaud(), failure)) << failure.detail;
    ASSERT_TRUE(WriteByte(first.link(), first.t.ctx.op, kRateCheckByte));
    EXPECT_TRUE(WaitAck(first.link(), first.t.ctx.op, 3, 0x30, 0x30)) << first.LastText();
    first.link().Close();

    // After a reset, a new download meets the boot ROM again.
    Host second("TC370");
    second.Connect(sim);
    ASSERT_TRUE(second.Download()) << second.LastText();
    second.link().Close();
    EXPECT_EQ(sim.Stop(), 0) << "SIGTERM ends the simulator cleanly";
}

TEST(LinkE2E, SilentBootRomTimesOutAndAWrongReplyIsNamed) {
    {
        Host host("TC370");
        auto args = host.SimArgs("TC370");
        args.insert(args.end(), {"--fault", "silent:boot"});
        SimProcess sim(args);
        host.Connect(sim);
        EXPECT_FALSE(host.Download());
        EXPECT_EQ(host.t.ctx.lastReport.code, kMsgTimeout);
    }
    {
        Host host("TC370");
        auto args = host.SimArgs("TC370");
        args.insert(args.end(), {"--fault", "wrong:image=07"});
        SimProcess sim(args);
        host.Connect(sim);
        EXPECT_FALSE(host.Download());
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
    EXPECT_FALSE(host.Download());
    EXPECT_EQ(host.t.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_NE(host.t.ctx.lastReport.text.find("MCU : 0FH"), std::string::npos);
}

TEST(LinkE2E, DeviceThatIsNotThereIsNamedInTheReport) {
    Host host("TC370");
    host.t.UsePort("/dev/quillon-absent");
    EXPECT_FALSE(OpenPortAtBootBaud(host.link(), host.t.ctx.op, host.t.ctx.Setup()));
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
        ASSERT_TRUE(host.Download());
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
