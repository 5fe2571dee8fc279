// The standard download through the boot ROM's command frames.

#include "link/download.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "platform/system_paths.hpp"
#include "link/command_frame.hpp"
#include "link/control_program_file.hpp"
#include "link/serial_link.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t command, std::uint32_t address, std::uint32_t length) {
    const CommandFrame f = EncodeCommandFrame(command, address, length);
    return Bytes(f.begin(), f.end());
}

struct DownloadTest : ::testing::Test, LinkFixture {
    // The image as it goes out: byte 2 replaced by the crystal index.
    Bytes Patched(Bytes image, int crystal) {
        image[2] = static_cast<std::uint8_t>(crystal);
        return image;
    }
    // The whole standard exchange of a chip with image acknowledgement.
    Bytes StandardStream(const Bytes& image, std::uint8_t runByte) {
        return Cat({{0x18},
                    Frame(0x00, kLoad, static_cast<std::uint32_t>(image.size())),
                    image,
                    {Sum8(image)},
                    {0x18},
                    Frame(runByte, 0, 0),
                    {0xE8}});
    }
};

TEST_F(DownloadTest, PlainChipSendsTheStandardStreamAndSwitchesToBaud2) {
    Chip("TC370", "Baud2=38400,57600\r\n");
    const Bytes image = Patched(Program(16), 0);
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});

    ASSERT_TRUE(Download(false));

    EXPECT_EQ(line().tx, StandardStream(image, 0x40));
    EXPECT_EQ(line().baudHistory, (std::vector<std::uint32_t>{9600, 38400}));
    EXPECT_EQ(link.currentBaud(), 38400u);
    EXPECT_EQ(link.controlProgramBaud(), 38400u);
    EXPECT_EQ(progress->rangeHigh, 7);
    EXPECT_EQ(progress->steps, 7);
    EXPECT_EQ(progress->flags, 8);
    // The mandated waits: 250 ms before and after the rate change.
    EXPECT_EQ(clock.slept, 500u);
    ASSERT_EQ(op.prompt.asked.size(), 1u);
    EXPECT_EQ(op.prompt.asked[0].text,
              "Please reset the microcontroller on userboard.\nThen push OK button.");
    EXPECT_EQ(op.prompt.asked[0].caption, "flash");
    EXPECT_EQ(op.prompt.asked[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(op.prompt.asked[0].owner, PromptOwner::Progress);
    EXPECT_EQ(line().purges, 1);
    EXPECT_EQ(op.LastCode(), 0) << "success is the caller's to report";
    EXPECT_TRUE(link.IsOpen()) << "the port stays open";
}

TEST_F(DownloadTest, ResetSequenceReplacesThePromptAndNoResetRunsNothing) {
    for (const bool reset : {true, false}) {
        LinkFixture f;
        f.Chip("TC370");
        const Bytes image = Patched(f.Program(16), 0);
        f.line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
        f.link.SetResetSequence({{{ResetStep::Kind::Dtr, 0}, {ResetStep::Kind::Wait, 100}}});
        f.askForReset = reset;
        std::pair<std::size_t, int> atFirstByte;  // lines set, purges
        f.line().onWrite = [&](ScriptedSerial& s, const std::uint8_t*, std::size_t) {
            if (s.writes == 1) atFirstByte = {s.modemLineCalls.size(), s.purges};
        };
        ASSERT_TRUE(f.Download(false)) << reset;
        EXPECT_TRUE(f.op.prompt.asked.empty()) << reset;
        EXPECT_EQ(f.line().tx, StandardStream(image, 0x40)) << reset;
        EXPECT_EQ(atFirstByte, std::make_pair(std::size_t{reset ? 1u : 0u}, 1));
        EXPECT_EQ(f.clock.slept, reset ? 600u : 500u);
    }
}

TEST_F(DownloadTest, RunFrameCommandByChipGroup) {
    for (const char* chip : {"TC337", "MYCHIP"}) {
        LinkFixture f;
        f.Chip(chip);
        const Bytes image = Patched(f.Program(8), 0);
        f.line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
        ASSERT_TRUE(f.Download(false)) << chip;
        EXPECT_EQ(f.line().tx, StandardStream(image, std::string(chip) == "TC337" ? 0xC0 : 0x40))
            << chip;
        // No Baud2: twice the boot rate.
        EXPECT_EQ(f.link.controlProgramBaud(), 19200u);
    }
}

TEST_F(DownloadTest, IdentificationFrameChipTakesEightSteps) {
    Chip("TC301");
    const Bytes image = Patched(Program(8), 0);
    line().Queue({0x11, 0xE1, 0x01, 0x01, 0x11, 0x31, 0x31});
    ASSERT_TRUE(Download(false));
    const Bytes expected = Cat({{0x18},
                                {0xE0, 0xF0, 0x37, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07},
                                Frame(0x00, kLoad, 8),
                                image,
                                {Sum8(image)},
                                {0x18},
                                Frame(0xC0, 0, 0),
                                {0xE8}});
    EXPECT_EQ(line().tx, expected);
    EXPECT_EQ(progress->rangeHigh, 8);
    EXPECT_EQ(progress->steps, 8);
}

TEST_F(DownloadTest, UnacknowledgedImageChipIsAskedForTheResetButGetsNoRunFrame) {
    Chip("TC328");
    const Bytes image = Patched(Program(8), 0);
    line().Queue({0x11, 0x01, 0x31, 0x31});
    ASSERT_TRUE(Download(false));
    EXPECT_EQ(line().tx, Cat({{0x18}, Frame(0x00, kLoad, 8), image, {Sum8(image)}, {0xE8}}));
    EXPECT_EQ(op.prompt.asked.size(), 1u);
    EXPECT_EQ(progress->steps, 7);
}

TEST_F(DownloadTest, SecurityChipGoesOnWithoutPromptOrPurge) {
    Chip("TC326");
    const Bytes image = Patched(Program(8), 0);
    ASSERT_TRUE(OpenNow(9600));  // left open by the security step
    line().Queue({0x11, 0x01, 0x31, 0x31});
    ASSERT_TRUE(Download(false));
    EXPECT_TRUE(op.prompt.asked.empty());
    EXPECT_EQ(line().purges, 0);
    EXPECT_EQ(line().tx, Cat({{0x18}, Frame(0x00, kLoad, 8), image, {Sum8(image)}, {0xE8}}));
}

TEST_F(DownloadTest, CrystalVariantFileIsSentWithByteTwoPatched) {
    Chip("TC370");
    Crystal(1);
    // Only the variant exists: the plain file is never needed.
    const Bytes variant = Program(8, "ctrl.bin-20MHz");
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    ASSERT_TRUE(Download(false));
    const Bytes sent = Patched(variant, 1);
    EXPECT_EQ(line().tx, StandardStream(sent, 0x40));
    EXPECT_NE(Sum8(sent), Sum8(variant)) << "the sum is taken over the patched image";
    EXPECT_EQ(dir.Read("ctrl.bin-20MHz"), std::string(variant.begin(), variant.end()))
        << "the file itself is unchanged";
    EXPECT_EQ(line().baudHistory.front(), 19200u);
    EXPECT_EQ(link.controlProgramBaud(), 38400u);
}

TEST(ControlProgramFile, VariantChoice) {
    TempDir dir;
    dir.Write("a.bin", "xyz");
    dir.Write("a.bin-10MHz", "xyz");
    dir.Write("-10MHz", "xyz");
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), "a.bin", "10MHz"), "a.bin-10MHz");
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), "a.bin", "20MHz"), "a.bin");
    // An empty DownloadFile still finds "-<crystal>".
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), "", "10MHz"), "-10MHz");
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), "", "20MHz"), "");
    // A crystal text longer than 15 characters means no variant.
    dir.Write("a.bin-1234567890123456", "xyz");
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), "a.bin", "1234567890123456"), "a.bin");
    const std::size_t longest = kMaxPathLength - 1;
    EXPECT_EQ(ChooseControlProgramFile(dir.path(), std::string(longest, 'a'), "1"),
              std::string(longest, 'a'));
}

TEST_F(DownloadTest, EmptyDownloadFileUsesTheHyphenCrystalFileOrFailsWith207) {
    // An empty value makes the section incomplete for the list; select it anyway.
    Chip("TC370", "", "10MHz,20MHz", "9600,19200", "");
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgCannotOpenDownloadFile);
    EXPECT_EQ(op.Last().severity, 2);
    EXPECT_TRUE(line().tx.empty());

    const Bytes image = Patched(Program(8, "-10MHz"), 0);
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    EXPECT_TRUE(Download(false));
    EXPECT_EQ(line().tx, StandardStream(image, 0x40));  // "-10MHz" went out
}

TEST_F(DownloadTest, ShortOrMissingFilesAreRefusedBeforeAnythingIsSent) {
    Chip("TC370");
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgCannotOpenDownloadFile);

    dir.Write("ctrl.bin", "ab");
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgFileAccessError);
    EXPECT_NE(op.Last().detail.find("holds 2 bytes"), std::string::npos)
        << op.Last().detail;
    EXPECT_TRUE(line().tx.empty());
    EXPECT_TRUE(opener.paths.empty()) << "the port is not even opened";
}

TEST_F(DownloadTest, RateListWithoutAnItemForTheCrystalIsRefusedByName) {
    Chip("TC370", "", "10MHz,20MHz,40MHz");
    Program(8);
    Crystal(2);
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 2);
    EXPECT_NE(op.Last().detail.find("Baud"), std::string::npos);
    EXPECT_NE(op.Last().detail.find("40MHz"), std::string::npos);
    EXPECT_TRUE(opener.paths.empty());

    LinkFixture f;
    f.Chip("TC370", "Baud2=38400\r\n");
    f.Program(8);
    f.Crystal(1);
    EXPECT_FALSE(f.Download(false));
    EXPECT_NE(f.op.Last().detail.find("Baud2"), std::string::npos);
    EXPECT_NE(f.op.Last().detail.find("20MHz"), std::string::npos);
    EXPECT_TRUE(f.line().tx.empty());
}

TEST_F(DownloadTest, EmptyBaud2CountsAsAbsent) {
    Chip("TC370", "Baud2=\r\n");
    Program(8);
    Crystal(1);
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    ASSERT_TRUE(Download(false));
    EXPECT_EQ(line().baudHistory, (std::vector<std::uint32_t>{19200, 38400}));
}

TEST_F(DownloadTest, ResetPromptIsAskedWhenTheRequestSaysSo) {
    for (bool ask : {true, false}) {
        LinkFixture f;
        f.Chip("TC370");
        f.Program(8);
        f.askForReset = ask;
        f.line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
        EXPECT_TRUE(f.Download(false));
        EXPECT_EQ(f.op.prompt.asked.size(), ask ? 1u : 0u);
        EXPECT_EQ(f.line().purges, 1) << "the purge comes with or without the prompt";
    }
}

TEST_F(DownloadTest, CancelledResetPromptSendsNothing) {
    Chip("TC370");
    Program(8);
    op.prompt.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(Download(false));
    EXPECT_TRUE(line().tx.empty());
    EXPECT_EQ(op.LastCode(), 0) << "no message";
}

TEST_F(DownloadTest, FirstBootReplyIsAwaitedOneSecondLaterOnesThree) {
    Chip("TC370");
    Program(8);
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgTimeout);
    // Silent reads of 160 ms: the first passing 1000 ms ends at 1120.
    EXPECT_EQ(clock.elapsedMs, 1120u);
    EXPECT_EQ(line().tx, Bytes{0x18});

    LinkFixture f;
    f.Chip("TC370");
    f.Program(8);
    f.line().Queue({0x11});
    EXPECT_FALSE(f.Download(false));
    EXPECT_EQ(f.op.LastCode(), kMsgTimeout);
    // The reply to 0x18 came at once; the frame's wait ends at the first
    // silent read past 3000 ms.
    EXPECT_EQ(f.clock.elapsedMs, 3040u) << "the frame's acknowledgement waits 3 s";
}

TEST_F(DownloadTest, WrongImageAcknowledgementNamesTheByte) {
    Chip("TC370");
    Program(8);
    line().Queue({0x11, 0x01, 0x05});
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 1);
    EXPECT_NE(op.Last().detail.find("MCU : 05H"), std::string::npos);
}

TEST_F(DownloadTest, FailedRateChangeClosesThePortWith211) {
    Chip("TC370");
    Program(8);
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    line().onWrite = [](ScriptedSerial& s, const std::uint8_t*, std::size_t) {
        // Refuse only the change away from the boot rate.
        s.failSetLineSettings = !s.baudHistory.empty();
    };
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgCannotChangePortSetting);
    EXPECT_EQ(op.Last().severity, 2);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.controlProgramBaud(), kInitialControlProgramBaud);
}

TEST_F(DownloadTest, FullOperationStampsTheStartWhenTheTargetIsFirstAddressed) {
    Chip("TC370");
    Program(8);
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    clock.Advance(1234);
    ASSERT_TRUE(Download(true));
    const TimeStamp expected{static_cast<std::int64_t>((clock.stampBaseMs + 1234) / 1000),
                             static_cast<int>((clock.stampBaseMs + 1234) % 1000)};
    EXPECT_EQ(timer.Start().seconds, expected.seconds);
    EXPECT_EQ(timer.Start().milliseconds, expected.milliseconds);

    LinkFixture f;
    f.Chip("TC370");
    f.Program(8);
    f.line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    ASSERT_TRUE(f.Download(false));
    EXPECT_EQ(f.timer.Start().seconds, 0) << "only Full Operation stamps it";
}

TEST_F(DownloadTest, NoProgressWindowIsNoProblem) {
    Chip("TC370");
    Program(8);
    op.progress.reset();
    line().Queue({0x11, 0x01, 0x01, 0x11, 0x31, 0x31});
    EXPECT_TRUE(Download(false));
}

}  // namespace
}  // namespace quillon::testing
