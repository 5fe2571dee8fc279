// The flash operations over a real pseudo-terminal against quillon-sim, after
// a real download: programming a multi-range image, reading and comparing
// it, copying it out in both formats and decoding the copies, and each of the
// control program's fault options.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "config/catalog.hpp"
#include "config/chip_file.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/copy_flash.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "flashops/read_compare.hpp"
#include "image/flash_image.hpp"
#include "link/download.hpp"
#include "link/serial_link.hpp"
#include "support/sim_process.hpp"
#include "support/test_context.hpp"

namespace quillon::testing {
namespace {

class PathChooser final : public FileChooser {
  public:
    std::optional<std::string> ChooseCopyFile(bool, std::string_view) override { return path; }
    std::string path;
};

// Copy makes its own progress window; this one acknowledges every result.
class AcknowledgingFactory final : public ProgressFactory {
  public:
    std::unique_ptr<ProgressSink> CreateProgress(int) override {
        auto p = std::make_unique<RecordingProgress>();
        p->pressAlways = false;
        p->pressWhenOk = true;
        return p;
    }
};

// TC337: two areas, 0x00000-0x3FFFF and 0x80000-0xBFFFF.
constexpr const char* kChip = "TC337";

struct FlashHost {
    FlashHost() {
        CopyExamplesTo(t.dir.path());
        t.ctx.clock = &SystemClock();
        t.ctx.openSerial = OpenSystemSerialDevice;
        t.ctx.fileChooser = &chooser;
        t.ctx.progressFactory = &factory;
        progress = &t.OpenProgress();
        progress->pressAlways = false;
        progress->pressWhenOk = true;
        EXPECT_EQ(ListChipSections(t.ctx), StartupFailure::None);
        const auto it = std::find(t.ctx.targetList.begin(), t.ctx.targetList.end(), kChip);
        EXPECT_NE(it, t.ctx.targetList.end());
        t.ctx.chipIndex = static_cast<int>(it - t.ctx.targetList.begin());
        LoadChipDefinition(t.ctx);
        t.ctx.clockIndex = 1;
        EXPECT_TRUE(BuildOperationRanges(t.ctx));
    }

    // Starts the simulator with these control-program faults and downloads.
    bool Start(const std::vector<std::string>& faults = {}, bool pace = false) {
        std::vector<std::string> args{"--program-dir", t.dir.path(), "--chip",
                                      kChip,           "--flash",    t.dir.File("flash.bin")};
        if (pace) args.push_back("--pace");
        for (const auto& f : faults) args.insert(args.end(), {"--fault", f});
        sim.emplace(args, t.dir.File("sim.log"));
        if (!sim->ok()) {
            ADD_FAILURE() << sim->error();
            return false;
        }
        t.ctx.portPathOverride = sim->path();
        if (!DownloadControlProgram(t.ctx, false)) {
            ADD_FAILURE() << t.ctx.lastReport.text << "\n" << t.dir.Read("sim.log");
            return false;
        }
        t.ctx.downloaded = 1;
        return true;
    }

    // Some blocks of both ranges hold data; the rest stay erased.
    void FillImage() {
        std::fill(t.ctx.imageBuffer.begin(), t.ctx.imageBuffer.end(), 0xFF);
        for (int r = 0; r < t.ctx.rangeCount; ++r) {
            for (std::uint32_t a = t.ctx.rangeStart[r]; a <= t.ctx.rangeEnd[r]; ++a) {
                if ((a / 512) % 5 == 3) continue;  // an erased block now and then
                t.ctx.imageBuffer[a - t.ctx.rangeStart[0]] =
                    static_cast<std::uint8_t>((a * 31) ^ (a >> 9));
            }
        }
    }

    int LastCode() const { return t.ctx.lastReport.code; }

    TestContext t;
    PathChooser chooser;
    AcknowledgingFactory factory;
    RecordingProgress* progress = nullptr;
    std::optional<SimProcess> sim;
};

TEST(FlashOpsE2E, ProgramCompareCopyAndDecodeBothFormats) {
    FlashHost host;
    ASSERT_TRUE(host.Start());
    OperationContext& ctx = host.t.ctx;

    EXPECT_EQ(ProbeBlankWholeFlash(ctx), kProbeBlank);
    host.FillImage();
    const std::vector<std::uint8_t> image = ctx.imageBuffer;
    ASSERT_EQ(ProgramFlash(ctx, false), 0) << ctx.lastReport.text;
    EXPECT_EQ(host.LastCode(), kMsgProgrammed);

    ReadAndCompare(ctx);
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << ctx.lastReport.text;

    for (int intelHex : {0, 1}) {
        ctx.copyAsIntelHex = intelHex;
        host.chooser.path = host.t.dir.File(intelHex ? "copy.hex" : "copy.mhx");
        CopyFlash(ctx);
        ASSERT_EQ(host.LastCode(), kMsgCopied) << ctx.lastReport.text;
        ASSERT_TRUE(host.t.dir.Exists(intelHex ? "copy.hex" : "copy.mhx"));

        std::fill(ctx.imageBuffer.begin(), ctx.imageBuffer.end(), 0x00);
        ctx.hexFilePath = host.chooser.path;
        ASSERT_EQ(DecodeHexFile(ctx, false, 0xFF), 1) << ctx.lastReport.text;
        const std::size_t used = ctx.rangeEnd[ctx.rangeCount - 1] + 1 - ctx.rangeStart[0];
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + used, ctx.imageBuffer.begin()))
            << (intelHex ? "Intel HEX" : "S-record") << " copy decodes to other bytes";
        ASSERT_EQ(OpenPort(ctx, ctx.comPortIndex + 1, ctx.controlProgramBaud), 0);
    }

    EXPECT_EQ(BlankCheck(ctx, false), kNotBlankOrFailed);
    EXPECT_EQ(host.LastCode(), kMsgNotErased);
    EXPECT_EQ(EraseFlash(ctx, false), 0) << ctx.lastReport.text;
    EXPECT_EQ(BlankCheck(ctx, false), kBlank) << ctx.lastReport.text;
}

TEST(FlashOpsE2E, ProgrammedFlashSurvivesASimulatorRestart) {
    FlashHost host;
    ASSERT_TRUE(host.Start());
    host.FillImage();
    ASSERT_EQ(ProgramFlash(host.t.ctx, false), 0) << host.t.ctx.lastReport.text;
    ClosePort(host.t.ctx);
    // The simulator saves its flash once the host has gone; wait for that
    // (bounded) before stopping it.
    const std::uint8_t first = host.t.ctx.imageBuffer[0];
    for (int i = 0; i < 200; ++i) {
        const std::string saved = host.t.dir.Read("flash.bin");
        if (!saved.empty() && static_cast<std::uint8_t>(saved[0]) == first) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    host.sim.reset();  // stopped; the flash file stays

    ASSERT_TRUE(host.Start());
    ReadAndCompare(host.t.ctx);
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.t.ctx.lastReport.text;
}

class FlashOpsFaultE2E : public ::testing::Test {
  protected:
    // Programs one block of data at the start of the second range.
    void ProgramOneBlock() {
        OperationContext& ctx = host.t.ctx;
        std::fill(ctx.imageBuffer.begin(), ctx.imageBuffer.end(), 0xFF);
        for (std::uint32_t i = 0; i < 512; ++i)
            ctx.imageBuffer[0x80000 + i] = static_cast<std::uint8_t>(i);
    }
    std::size_t Questions() {
        return static_cast<std::size_t>(
            std::count_if(host.t.prompt.asked.begin(), host.t.prompt.asked.end(),
                          [](const PromptRequest& r) { return r.caption == "crc checking"; }));
    }
    FlashHost host;
};

TEST_F(FlashOpsFaultE2E, APacedLineCarriesTheSameExchange) {
    ASSERT_TRUE(host.Start({}, true));
    ProgramOneBlock();
    EXPECT_EQ(ProgramFlash(host.t.ctx, false), 0) << host.t.ctx.lastReport.text;
    EXPECT_EQ(ProbeBlankWholeFlash(host.t.ctx), kProbeNotBlank);
    EXPECT_EQ(host.LastCode(), kMsgProgrammed);  // the probe reports nothing
}

TEST_F(FlashOpsFaultE2E, CrcErrorOnAProgramBlockIsRetriedOnYes) {
    ASSERT_TRUE(host.Start({"crc-error-block=1"}));
    ProgramOneBlock();
    EXPECT_EQ(ProgramFlash(host.t.ctx, false), 0) << host.t.ctx.lastReport.text;
    EXPECT_EQ(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, VerifyFailureCarriesItsDetails) {
    ASSERT_TRUE(host.Start({"verify-fail=80010:1234:1030"}));
    ProgramOneBlock();
    EXPECT_EQ(ProgramFlash(host.t.ctx, false), 1);
    EXPECT_EQ(host.LastCode(), kMsgProgramError);
    const std::string& text = host.t.ctx.lastReport.text;
    EXPECT_NE(text.find("ErrorAddress : 0x00080010"), std::string::npos) << text;
    EXPECT_NE(text.find("Flash      : 1030"), std::string::npos) << text;
    EXPECT_NE(text.find("HexFile   : 1234"), std::string::npos) << text;
}

TEST_F(FlashOpsFaultE2E, CorruptedReadBlockIsAskedAboutAndReadAgain) {
    ASSERT_TRUE(host.Start({"read-crc-block=3"}));
    ReadAndCompare(host.t.ctx);
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.t.ctx.lastReport.text;
    EXPECT_EQ(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, EraseFailureFour) {
    ASSERT_TRUE(host.Start({"erase-fail=4"}));
    EXPECT_EQ(EraseFlash(host.t.ctx, false), 1);
    EXPECT_EQ(host.LastCode(), kMsgEraseError);
    EXPECT_NE(host.t.ctx.lastReport.text.find("ERASE ERROR MCU : 34H"), std::string::npos);
}

TEST_F(FlashOpsFaultE2E, EraseFailureThreeReadsAsATimeout) {
    ASSERT_TRUE(host.Start({"erase-fail=3"}));
    EXPECT_EQ(EraseFlash(host.t.ctx, false), 1);
    EXPECT_EQ(host.LastCode(), kMsgTimeout);
}

TEST_F(FlashOpsFaultE2E, SilenceEndsInATimeout) {
    ASSERT_TRUE(host.Start({"silence-after=28"}));
    ReadAndCompare(host.t.ctx);
    EXPECT_EQ(host.LastCode(), kMsgTimeout);
}

TEST_F(FlashOpsFaultE2E, LineNoiseIsCaughtByTheCrc) {
    ASSERT_TRUE(host.Start({"noise=200"}));
    ReadAndCompare(host.t.ctx);
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.t.ctx.lastReport.text;
    EXPECT_GE(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, BatchModeGivesUpOnAPersistentCrcError) {
    ASSERT_TRUE(host.Start({"noise=1"}));
    host.t.ctx.batchMode = true;
    ProgramOneBlock();
    EXPECT_EQ(ProgramFlash(host.t.ctx, true), 1);
    EXPECT_EQ(host.LastCode(), kMsgProgramError);
    EXPECT_EQ(Questions(), 0u);
}

}  // namespace
}  // namespace quillon::testing
