// The virtual target's boot ROM, driven through an in-memory line.

#include "sim/boot_rom.hpp"

#include <gtest/gtest.h>

#include <deque>

#include "link/command_frame.hpp"
#include "sim/sim_options.hpp"

namespace quillon::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The host's side as a script: each byte arrives with the rate the host has
// set at that moment. When the script ends, the host has gone.
class ScriptLine final : public SimLine {
  public:
    void Send(const Bytes& bytes, std::uint32_t baud = 9600) {
        for (auto b : bytes) script.push_back({b, baud});
    }
    bool ReadByte(std::uint8_t& byte, int) override {
        if (script.empty()) return false;
        byte = script.front().first;
        baud = script.front().second;
        script.pop_front();
        return true;
    }
    void Write(const std::uint8_t* data, std::size_t n) override {
        out.insert(out.end(), data, data + n);
    }
    std::uint32_t HostBaud() override { return baud; }
    bool HostGone() override { return script.empty(); }

    std::deque<std::pair<std::uint8_t, std::uint32_t>> script;
    std::uint32_t baud = 9600;
    Bytes out;
};

Bytes Frame(std::uint8_t command, std::uint32_t address, std::uint32_t length) {
    const CommandFrame f = EncodeCommandFrame(command, address, length);
    return Bytes(f.begin(), f.end());
}

std::uint8_t Sum(const Bytes& bytes) {
    unsigned s = 0;
    for (auto b : bytes) s += b;
    return static_cast<std::uint8_t>(s);
}

constexpr std::uint32_t kLoad = 0xFE000;

struct BootRomTest : ::testing::Test {
    BootRomTest() : flash({{0, 0xFFFF}}, "") {}

    void Play(const std::string& chip) {
        settings.chip.name = chip;
        settings.chip.loadAddress = kLoad;
        settings.chip.bootRates = {9600, 19200};
        settings.chip.fastRates = {38400, 57600};
        settings.burnInEraseMs = 0;
        outcome = RunBootRom(line, flash, settings, memory);
    }
    Bytes Image(std::uint8_t crystal) { return {0xAA, 0xBB, crystal, 0x01, 0x02}; }
    // The host's image frame, image and sum.
    void SendImage(const Bytes& image, std::uint32_t baud = 9600) {
        line.Send(Frame(0x00, kLoad, static_cast<std::uint32_t>(image.size())), baud);
        line.Send(image, baud);
        line.Send({Sum(image)}, baud);
    }

    ScriptLine line;
    FlashModel flash;
    BootSettings settings;
    BootMemory memory;
    BootOutcome outcome = BootOutcome::HostGone;
};

TEST_F(BootRomTest, StandardBootAnswersEveryStepAndTheRateCheckAtTheNewRate) {
    line.Send({0x18});
    SendImage(Image(0));
    line.Send({0x18});
    line.Send(Frame(0x40, 0, 0));
    line.Send({0xE8}, 38400);
    Play("TC370");
    EXPECT_EQ(outcome, BootOutcome::Running);
    EXPECT_EQ(line.out, (Bytes{0x11, 0x01, 0x01, 0x11, 0x31, 0x31}));
}

TEST_F(BootRomTest, RateCheckAtTheOldRateIsNotAnswered) {
    line.Send({0x18});
    SendImage(Image(1), 19200);
    line.Send({0x18});
    line.Send(Frame(0x40, 0, 0));
    line.Send({0xE8}, 19200 * 2);  // twice Baud, but this chip's Baud2 says 57600
    Play("TC370");
    EXPECT_EQ(outcome, BootOutcome::HostGone);
    EXPECT_EQ(line.out, (Bytes{0x11, 0x01, 0x01, 0x11, 0x31}));
}

TEST_F(BootRomTest, IdentificationFrameAndTheC0RunFrame) {
    line.Send({0x18});
    line.Send(Frame(0xE0, 0xF0370000, 0));
    SendImage(Image(0));
    line.Send({0x18});
    line.Send(Frame(0xC0, 0, 0));
    line.Send({0xE8}, 38400);
    Play("TC301");
    EXPECT_EQ(outcome, BootOutcome::Running);
    EXPECT_EQ(line.out, (Bytes{0x11, 0xE1, 0x01, 0x01, 0x11, 0x31, 0x31}));
}

TEST_F(BootRomTest, RefusesWrongChipByteWrongSumWrongCrystalAndWrongRunFrame) {
    line.Send({0x18});
    line.Send(Frame(0xE0, 0xF0380000, 0));  // TC302's byte, not TC301's
    Bytes broken = Frame(0x00, kLoad, 5);
    broken[9] ^= 0x40;
    line.Send(broken);
    SendImage(Image(1));  // crystal 1 while the host talks at crystal 0's rate
    Bytes badSum = Image(0);
    line.Send(Frame(0x00, kLoad, 5));
    line.Send(badSum);
    line.Send({static_cast<std::uint8_t>(Sum(badSum) + 1)});
    SendImage(Image(0));
    line.Send({0x18});
    line.Send(Frame(0x40, 0, 0));  // TC301 runs with 0xC0
    Play("TC301");
    EXPECT_EQ(outcome, BootOutcome::HostGone);
    EXPECT_EQ(line.out, (Bytes{0x11, 0xEF, 0x0F, 0x01, 0x0F, 0x01, 0x0F, 0x01, 0x01, 0x11}));
}

TEST_F(BootRomTest, GivenCrystalIsTheOnlyOneAccepted) {
    settings.crystal = 1;
    line.Send({0x18});
    SendImage(Image(0));
    SendImage(Image(1), 19200);
    Play("TC370");
    EXPECT_EQ(line.out, (Bytes{0x11, 0x01, 0x0F, 0x01, 0x01}));
}

TEST_F(BootRomTest, UnacknowledgedImageChipSendsTheReadyByteRightAfterTheImage) {
    line.Send({0x18});
    SendImage(Image(0));
    line.Send({0xE8}, 38400);
    Play("TC328");
    EXPECT_EQ(outcome, BootOutcome::Running);
    EXPECT_EQ(line.out, (Bytes{0x11, 0x01, 0x31, 0x31}));
}

TEST_F(BootRomTest, SecurityChipWantsItsKeyBeforeTheImage) {
    settings.key = SecurityKey{0x0, {1, 2, 3, 4, 5, 6, 7}};
    const Bytes key = {1, 2, 3, 4, 5, 6, 7};
    line.Send({0x18});
    line.Send(Frame(0x00, kLoad, 5));  // refused: still locked
    line.Send(Frame(0x10, 0x1, 7));
    Bytes wrong = key;
    wrong[6] = 8;
    line.Send(wrong);
    line.Send({Sum(wrong)});  // wrong key: 0x12
    line.Send({0x18});
    line.Send(Frame(0x10, 0x1, 7));
    line.Send(key);
    line.Send({Sum(key)});  // accepted
    line.Send({0x18});
    SendImage(Image(0));
    line.Send({0xE8}, 38400);
    Play("TC326");
    EXPECT_EQ(outcome, BootOutcome::Running);
    EXPECT_EQ(line.out, (Bytes{0x11, 0x0F, 0x11, 0x12, 0x11, 0x11, 0x11, 0x11, 0x01, 0x31, 0x31}));
}

TEST_F(BootRomTest, EraseFirstUntilTheBurnInEraseHasRun) {
    memory.eraseStillNeeded = true;
    flash.Set(0x100, 0x55);
    const Bytes key = {9, 9, 9, 9, 9, 9, 9};
    line.Send({0x18});
    line.Send(Frame(0x10, 0x1, 7));
    line.Send(key);
    line.Send({Sum(key)});
    line.Send({0x18});
    line.Send(Frame(0x20, 0x0, 0x100000));
    line.Send({0x18});
    SendImage(Image(0));
    line.Send({0xE8}, 38400);
    Play("TC327");
    EXPECT_EQ(outcome, BootOutcome::Running);
    EXPECT_EQ(line.out, (Bytes{0x11, 0x11, 0x14, 0x11, 0x21, 0x20, '!', 0x11, 0x01, 0x31, 0x31}));
    EXPECT_EQ(flash.Get(0x100), 0xFF);
    EXPECT_FALSE(memory.eraseStillNeeded);
}

TEST_F(BootRomTest, OtherChipsRefuseKeyAndBurnIn) {
    line.Send({0x18});
    line.Send(Frame(0x10, 0x1, 7));
    line.Send(Frame(0x20, 0x0, 0x100000));
    Play("TC370");
    EXPECT_EQ(line.out, (Bytes{0x11, 0x1F, 0x2F}));
}

TEST_F(BootRomTest, Tcs1HandshakeHeadersAndStart) {
    const Bytes image = Image(0);
    line.Send({'V', 'V', 'V', 'V'});  // the last one crossed the 'F'
    line.Send({0x01, 0x03, 0x00, 0xE0, 0x0F, 0x00, 0x05, 0x00});
    line.Send(image);
    line.Send({0x01, 0x04, 0x00, 0xE0, 0x0F, 0x00});
    line.Send({0xE8}, 38400);
    Play("TC304");
    EXPECT_EQ(outcome, BootOutcome::Running);
    const std::uint16_t sum = 0xAA + 0xBB + 0 + 1 + 2;
    EXPECT_EQ(line.out, (Bytes{'F', 0xF1, 0x83, static_cast<std::uint8_t>(sum),
                               static_cast<std::uint8_t>(sum >> 8), 0xF1, 0x84, 0x31, 0x31}));
}

TEST_F(BootRomTest, Tcs2StrayBytesBeforeTheAnswerAndAWrongHeader) {
    std::string error;
    ASSERT_TRUE(ParseBootFaults({"stray:2", "polls:1"}, settings.faults, error));
    line.Send({'V', 'V', 'V'});
    line.Send({0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00});  // wrong load address
    line.Send(Image(0));
    Play("TC310");
    EXPECT_EQ(outcome, BootOutcome::HostGone);
    EXPECT_EQ(line.out, (Bytes{0x3F, 0x3F, 'F', 0xF0}));
}

TEST_F(BootRomTest, FaultsSilenceWrongBytesAndZeros) {
    std::string error;
    ASSERT_TRUE(ParseBootFaults({"zeros:2", "wrong:image=05", "silent:ready", "crc:3"},
                                settings.faults, error))
        << error;
    line.Send({0x18});
    SendImage(Image(0));
    line.Send({0x18});
    line.Send(Frame(0x40, 0, 0));
    Play("TC370");
    EXPECT_EQ(line.out, (Bytes{0, 0, 0x11, 0, 0, 0x01, 0, 0, 0x05, 0, 0, 0x11}));
}

TEST(BootFaultsParse, RefusesMalformedBootFaultsAndLeavesOthers) {
    BootFaults f;
    std::string error;
    EXPECT_FALSE(ParseBootFaults({"silent:nowhere"}, f, error));
    EXPECT_NE(error.find("nowhere"), std::string::npos);
    EXPECT_FALSE(ParseBootFaults({"wrong:boot"}, f, error));
    EXPECT_FALSE(ParseBootFaults({"wrong:boot=1FF"}, f, error));
    EXPECT_FALSE(ParseBootFaults({"zeros:x"}, f, error));
    EXPECT_TRUE(ParseBootFaults({"verify:0x100", "busy:3"}, f, error));
    EXPECT_TRUE(f.silentAt.empty());
}

TEST(SimOptionsParse, OptionsAndTheirErrors) {
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(
        {"--chip", "TC370", "--crystal", "1", "--pace", "--fault", "silent:boot", "--fault",
         "crc:2", "--key", "a.key", "--erase-first", "--link", "/tmp/x", "--flash", "f.bin",
         "--latency-timer", "16"},
        o, error))
        << error;
    EXPECT_EQ(o.chip, "TC370");
    EXPECT_EQ(o.crystal, 1);
    EXPECT_TRUE(o.pace);
    EXPECT_TRUE(o.eraseFirst);
    EXPECT_EQ(o.latencyTimerMs, 16);
    EXPECT_EQ(o.faults, (std::vector<std::string>{"silent:boot", "crc:2"}));
    EXPECT_FALSE(ParseSimOptions({"--crystal", "x", "--chip", "A"}, o, error));
    for (const char* ms : {"0", "256", "x"}) {
        EXPECT_FALSE(ParseSimOptions({"--latency-timer", ms, "--chip", "A"}, o, error)) << ms;
    }
    EXPECT_FALSE(ParseSimOptions({"--bogus"}, o, error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
    SimOptions none;
    EXPECT_FALSE(ParseSimOptions({"--pace"}, none, error));
    EXPECT_NE(error.find("--chip"), std::string::npos);
    EXPECT_FALSE(ParseSimOptions({"--chip"}, none, error));
}

}  // namespace
}  // namespace quillon::sim
