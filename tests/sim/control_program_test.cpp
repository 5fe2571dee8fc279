// The virtual target's control program, byte for byte as the host expects it.

#include "sim/control_program.hpp"

#include <gtest/gtest.h>

#include "link/control_commands.hpp"
#include "link/crc16.hpp"
#include "support/memory_sim_line.hpp"
#include "support/temp_dir.hpp"

namespace quillon::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::MemorySimLine;

Bytes Command(std::uint8_t command, std::uint32_t address) {
    auto a = EncodeAddress24(address);
    return {command, a[0], a[1], a[2]};
}

Bytes BlockWithCrc(Bytes block) {
    const std::uint16_t crc = Crc16(block.data(), block.size());
    block.push_back(static_cast<std::uint8_t>(crc >> 8));
    block.push_back(static_cast<std::uint8_t>(crc));
    return block;
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

class ControlProgramTest : public ::testing::Test {
  protected:
    ControlProgramTest() : flash({{0x080000, 0x08FFFF}, {0x0F0000, 0x0F3FFF}}, "") {
        settings.chip = "TC320";
        settings.eraseMs = 0;
        settings.blankCheckMs = 0;
    }
    int Run(const Bytes& host) {
        line.Send(host);
        return RunControlProgram(line, flash, settings);
    }
    MemorySimLine line;
    FlashModel flash;
    ControlProgramSettings settings;
};

TEST_F(ControlProgramTest, EraseSendsABusyByteEvery100MsThenOk) {
    settings.eraseMs = 200;
    flash.Set(0x080000, 0x12);
    flash.Set(0x0F0001, 0x34);
    EXPECT_EQ(Run(Command(0x38, 0x080000)), 0);
    EXPECT_EQ(line.toHost, (Bytes{'0', '0', '1'}));
    EXPECT_EQ(flash.Get(0x080000), 0xFF);
    EXPECT_EQ(flash.Get(0x0F0001), 0xFF);
}

TEST_F(ControlProgramTest, SectorEraseClearsOnlyTheRangeHoldingTheAddress) {
    flash.Set(0x080000, 0x12);
    flash.Set(0x0F0001, 0x34);
    Bytes host = Command(0x39, 0x0F0000);
    Bytes outside = Command(0x39, 0x0A0000);
    host.insert(host.end(), outside.begin(), outside.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '4'}));
    EXPECT_EQ(flash.Get(0x080000), 0x12);
    EXPECT_EQ(flash.Get(0x0F0001), 0xFF);
}

TEST_F(ControlProgramTest, EraseFaultAnswersTheChosenStatusAndErasesNothing) {
    for (const char* status : {"3", "4"}) {
        MemorySimLine fresh;
        flash.Set(0x080000, 0x12);
        settings.faults = {std::string("erase-fail=") + status};
        fresh.Send(Command(0x38, 0x080000));
        RunControlProgram(fresh, flash, settings);
        EXPECT_EQ(fresh.toHost, (Bytes{static_cast<std::uint8_t>(status[0])}));
        EXPECT_EQ(flash.Get(0x080000), 0x12);
    }
}

TEST_F(ControlProgramTest, BlankCheckOfARangeReportsTheFirstNonBlankAddressAndData) {
    flash.Set(0x080102, 0xA5);
    flash.Set(0x080104, 0x5A);
    Bytes host = Command(0x49, 0x080000);
    auto end = EncodeAddress24(0x090000);  // exclusive
    host.insert(host.end(), end.begin(), end.end());
    Bytes blankRange = Command(0x49, 0x0F0000);
    auto end2 = EncodeAddress24(0x0F4000);
    blankRange.insert(blankRange.end(), end2.begin(), end2.end());
    host.insert(host.end(), blankRange.begin(), blankRange.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'4', 0x00, 0x08, 0x01, 0x02, 0xA5, 0xFF, 0x5A, 0xFF, 0x00, '1'}));
}

TEST_F(ControlProgramTest, WholeBlankCheckLooksAtEveryRange) {
    Run(Command(0x48, 0x080000));
    flash.Set(0x0F3FFF, 0x00);
    MemorySimLine second;
    second.Send(Command(0x48, 0x080000));
    RunControlProgram(second, flash, settings);
    EXPECT_EQ(line.toHost, (Bytes{'1'}));
    EXPECT_EQ(second.toHost, (Bytes{'4', 0x00, 0x0F, 0x3F, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00}));
}

TEST_F(ControlProgramTest, ProgramBlockIsAcceptedWrittenAndVerified) {
    const Bytes data = Pattern(512, 3);
    Bytes host = Command(0x08, 0x080200);
    Bytes block = BlockWithCrc(data);
    host.insert(host.end(), block.begin(), block.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '1'}));
    for (std::size_t i = 0; i < data.size(); ++i) ASSERT_EQ(flash.Get(0x080200 + i), data[i]) << i;
    EXPECT_EQ(flash.Get(0x080400), 0xFF);
}

TEST_F(ControlProgramTest, ProgrammingOverDataFailsItsVerifyWithDetails) {
    flash.Set(0x080004, 0x0F);  // bits that programming cannot set again
    Bytes data(512, 0xFF);
    data[4] = 0xF0;
    data[5] = 0x11;
    Bytes host = Command(0x08, 0x080000);
    Bytes block = BlockWithCrc(data);
    host.insert(host.end(), block.begin(), block.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '4', 0x00, 0x08, 0x00, 0x04, 0xF0, 0x11, 0x00, 0x11, 0x00}));
}

TEST_F(ControlProgramTest, ADamagedBlockIsAnsweredWithACrcError) {
    Bytes host = Command(0x08, 0x080000);
    Bytes block = BlockWithCrc(Pattern(512, 1));
    block[10] ^= 0x01;
    host.insert(host.end(), block.begin(), block.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '5'}));
    EXPECT_EQ(flash.Get(0x080000), 0xFF);
}

TEST_F(ControlProgramTest, CrcFaultHitsTheChosenBlockOnceAndTheRepeatSucceeds) {
    settings.faults = {"crc-error-block=2"};
    Bytes host;
    for (std::uint32_t a : {0x080000u, 0x080200u, 0x080200u, 0x080400u}) {
        Bytes c = Command(0x08, a);
        Bytes b = BlockWithCrc(Pattern(512, static_cast<std::uint8_t>(a >> 8)));
        host.insert(host.end(), c.begin(), c.end());
        host.insert(host.end(), b.begin(), b.end());
    }
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '1', '1', '5', '1', '1', '1', '1'}));
    EXPECT_EQ(flash.Get(0x080200), 0x02);
}

TEST_F(ControlProgramTest, VerifyFaultSendsTheGivenDetailsAndWritesNothing) {
    settings.faults = {"verify-fail=080010:1234:FFFF"};
    Bytes host = Command(0x08, 0x080000);
    Bytes block = BlockWithCrc(Pattern(512, 9));
    host.insert(host.end(), block.begin(), block.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '4', 0x00, 0x08, 0x00, 0x10, 0x12, 0x34, 0xFF, 0xFF, 0x00}));
    EXPECT_EQ(flash.Get(0x080000), 0xFF);
}

TEST_F(ControlProgramTest, EightKibBlocksForTc371) {
    settings.chip = "TC371";
    const Bytes data = Pattern(8192, 5);
    Bytes host = Command(0x08, 0x080000);
    Bytes block = BlockWithCrc(data);
    host.insert(host.end(), block.begin(), block.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1', '1'}));
    EXPECT_EQ(flash.Get(0x080000 + 8191), data[8191]);
}

TEST_F(ControlProgramTest, ReadBlockSendsDataCrcAndSecondStatus) {
    const Bytes data = Pattern(512, 11);
    for (std::size_t i = 0; i < data.size(); ++i) flash.Set(0x080400 + i, data[i]);
    Run(Command(0x28, 0x080400));
    ASSERT_EQ(line.toHost.size(), 516u);
    EXPECT_EQ(line.toHost.front(), '1');
    EXPECT_EQ(line.toHost.back(), '1');
    EXPECT_TRUE(std::equal(data.begin(), data.end(), line.toHost.begin() + 1));
    EXPECT_EQ(Crc16(line.toHost.data() + 1, 514), 0);
}

TEST_F(ControlProgramTest, ReadCrcFaultSpoilsTheChosenBlockOnce) {
    settings.faults = {"read-crc-block=2"};
    Bytes host;
    for (int i = 0; i < 3; ++i) {
        Bytes c = Command(0x28, 0x080000);
        host.insert(host.end(), c.begin(), c.end());
    }
    Run(host);
    ASSERT_EQ(line.toHost.size(), 3 * 516u);
    EXPECT_EQ(Crc16(line.toHost.data() + 1, 514), 0);
    EXPECT_NE(Crc16(line.toHost.data() + 516 + 1, 514), 0);
    EXPECT_EQ(Crc16(line.toHost.data() + 2 * 516 + 1, 514), 0);
}

TEST_F(ControlProgramTest, NoiseDamagesEveryKthBlockOnTheLine) {
    settings.faults = {"noise=2"};
    Bytes host;
    for (int i = 0; i < 4; ++i) {
        Bytes c = Command(0x28, 0x080000);
        host.insert(host.end(), c.begin(), c.end());
    }
    Run(host);
    ASSERT_EQ(line.toHost.size(), 4 * 516u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Crc16(line.toHost.data() + i * 516 + 1, 514) != 0, i % 2 == 1) << i;
    }
}

TEST_F(ControlProgramTest, SilenceAfterACommandAnswersNothingMore) {
    settings.faults = {"silence-after=28"};
    Bytes host = Command(0x48, 0x080000);
    Bytes read = Command(0x28, 0x080000);
    host.insert(host.end(), read.begin(), read.end());
    host.insert(host.end(), {0x48, 0x00, 0x00, 0x08});
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'1'}));
}

TEST_F(ControlProgramTest, BlocksOutsideTheFlashAreRefused) {
    Bytes host = Command(0x28, 0x0A0000);
    Bytes program = Command(0x08, 0x0A0000);
    host.insert(host.end(), program.begin(), program.end());
    Run(host);
    EXPECT_EQ(line.toHost, (Bytes{'4', '4'}));
}

TEST_F(ControlProgramTest, FaultTextsOfOursMustParseOthersAreLeftAlone) {
    settings.faults = {"boot-silence", "erase-fail=5"};
    EXPECT_NE(Run({}), 0);
    settings.faults = {"verify-fail=80000:12345:0"};
    EXPECT_NE(Run({}), 0);
    settings.faults = {"boot-silence", "noise=3"};
    EXPECT_EQ(Run({}), 0);
}

TEST_F(ControlProgramTest, ABootRomByteEndsTheControlProgramAndIsHandedBack) {
    line.Send({0x48, 0x00, 0x00, 0x08, 0x18, 0x28});
    std::optional<std::uint8_t> handBack;
    EXPECT_EQ(RunControlProgram(line, flash, settings, &handBack), 0);
    EXPECT_EQ(line.toHost, (Bytes{'1'}));
    EXPECT_EQ(handBack, std::optional<std::uint8_t>(0x18));
    EXPECT_EQ(line.fromHost.size(), 1u);  // the rest is the boot ROM's
}

TEST_F(ControlProgramTest, TheRateCheckOfADownloadIsAnswered) {
    Run({0xE8});
    EXPECT_EQ(line.toHost, (Bytes{0x31}));
}

TEST(ControlProgramFlashFile, ProgrammedDataIsSavedWhenTheHostGoesAway) {
    testing::TempDir dir;
    const std::string path = dir.File("flash.bin");
    {
        FlashModel flash({{0x080000, 0x0803FF}}, path);
        std::string error;
        ASSERT_TRUE(flash.Load(error)) << error;
        MemorySimLine line;
        Bytes host = Command(0x08, 0x080200);
        Bytes block = BlockWithCrc(Pattern(512, 77));
        host.insert(host.end(), block.begin(), block.end());
        line.Send(host);
        ControlProgramSettings settings;
        settings.chip = "TC320";
        RunControlProgram(line, flash, settings);
    }
    FlashModel reloaded({{0x080000, 0x0803FF}}, path);
    std::string error;
    ASSERT_TRUE(reloaded.Load(error)) << error;
    EXPECT_EQ(reloaded.Get(0x080200), 77);
    EXPECT_EQ(reloaded.Get(0x080000), 0xFF);
}

}  // namespace
}  // namespace quillon::sim
