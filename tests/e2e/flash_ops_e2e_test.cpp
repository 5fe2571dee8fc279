// The flash operations over a real pseudo-terminal against quillon-sim, after
// a real download: programming a multi-range image, reading and comparing
// it, copying it out in both formats and decoding the copies, and each of the
// control program's fault options.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "app/chip_selection.hpp"
#include "app/copy_command.hpp"
#include "app/decode_step.hpp"
#include "config/catalog.hpp"
#include "config/chip_file.hpp"
#include "e2e/live_session.hpp"
#include "flashops/blank_check.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "flashops/read_compare.hpp"
#include "image/flash_image.hpp"
#include "link/download.hpp"
#include "support/sim_process.hpp"

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

// The session's records handed to the operations as the commands hand them.
struct FlashHost {
    FlashHost() {
        CopyExamplesTo(t.dir.path());
        t.ctx.frontEnd.files = &chooser;
        t.ctx.frontEnd.progress = &factory;
        progress = &t.OpenProgress();
        progress->pressAlways = false;
        progress->pressWhenOk = true;
        EXPECT_EQ(ListChipSections(t.ctx.chipDefPath, t.ctx.targetList), StartupFailure::None);
        const auto it = std::find(t.ctx.targetList.begin(), t.ctx.targetList.end(), kChip);
        EXPECT_NE(it, t.ctx.targetList.end());
        t.ctx.chipIndex = static_cast<int>(it - t.ctx.targetList.begin());
        LoadSelectedChip(t.ctx);
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
        t.UsePort(sim->path());
        DownloadOptions options;
        options.stepText = " Downloading";
        if (!DownloadControlProgram(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.timer, options)) {
            ADD_FAILURE() << t.ctx.lastReport.text << "\n" << t.dir.Read("sim.log");
            return false;
        }
        t.ctx.downloaded = 1;
        return true;
    }

    // Some blocks of both ranges hold data; the rest stay erased.
    void FillImage() {
        const OperationRanges& r = t.ctx.ranges;
        t.ctx.image.Fill(0xFF);
        for (int i = 0; i < r.rangeCount; ++i) {
            for (std::uint32_t a = r.rangeStart[i]; a <= r.rangeEnd[i]; ++a) {
                if ((a / 512) % 5 == 3) continue;  // an erased block now and then
                t.ctx.image.bytes[a - r.rangeStart[0]] =
                    static_cast<std::uint8_t>((a * 31) ^ (a >> 9));
            }
        }
    }

    bool Program(bool fullOperation = false) {
        return ProgramFlash(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.image, t.ctx.timer,
                            fullOperation);
    }
    void Compare() {
        (void)ReadAndCompare(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.image, t.ctx.timer);
    }
    bool Erase() {
        return EraseFlash(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.timer, true, false);
    }
    BlankCheckResult Blank() {
        return BlankCheck(t.ctx.link, t.ctx.op, t.ctx.Setup(), t.ctx.timer, false);
    }
    BlankProbeResult Probe() { return ProbeBlankWholeFlash(t.ctx.link, t.ctx.op, t.ctx.ranges); }

    int LastCode() const { return t.ctx.lastReport.code; }
    const std::string& LastText() const { return t.ctx.lastReport.text; }

    LiveSession t;
    PathChooser chooser;
    AcknowledgingFactory factory;
    RecordingProgress* progress = nullptr;
    std::optional<SimProcess> sim;
};

TEST(FlashOpsE2E, ProgramCompareCopyAndDecodeBothFormats) {
    FlashHost host;
    ASSERT_TRUE(host.Start());
    OperationContext& ctx = host.t.ctx;

    EXPECT_EQ(host.Probe(), BlankProbeResult::Blank);
    host.FillImage();
    const std::vector<std::uint8_t> image = ctx.image.bytes;
    ASSERT_TRUE(host.Program()) << host.LastText();
    EXPECT_EQ(host.LastCode(), kMsgProgrammed);

    host.Compare();
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.LastText();

    for (int intelHex : {0, 1}) {
        // The Copy button opens the port itself and closes it when done.
        ctx.copyAsIntelHex = intelHex;
        host.chooser.path = host.t.dir.File(intelHex ? "copy.hex" : "copy.mhx");
        OnCopy(ctx);
        ASSERT_EQ(host.LastCode(), kMsgCopied) << host.LastText();
        ASSERT_TRUE(host.t.dir.Exists(intelHex ? "copy.hex" : "copy.mhx"));
        EXPECT_FALSE(ctx.link.IsOpen());

        ctx.image.Fill(0x00);
        ctx.hexFilePath = host.chooser.path;
        ASSERT_TRUE(DecodeHexFile(ctx, false, 0xFF)) << host.LastText();
        const OperationRanges& r = ctx.ranges;
        const std::size_t used = r.rangeEnd[r.rangeCount - 1] + 1 - r.rangeStart[0];
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + used, ctx.image.bytes.begin()))
            << (intelHex ? "Intel HEX" : "S-record") << " copy decodes to other bytes";
        Outcome failure;
        ASSERT_TRUE(ctx.link.Open(ctx.link.controlProgramBaud(), failure)) << failure.detail;
    }

    EXPECT_EQ(host.Blank(), BlankCheckResult::NotBlankOrFailed);
    EXPECT_EQ(host.LastCode(), kMsgNotErased);
    EXPECT_TRUE(host.Erase()) << host.LastText();
    EXPECT_EQ(host.Blank(), BlankCheckResult::Blank) << host.LastText();
}

TEST(FlashOpsE2E, ProgrammedFlashSurvivesASimulatorRestart) {
    FlashHost host;
    ASSERT_TRUE(host.Start());
    host.FillImage();
    ASSERT_TRUE(host.Program()) << host.LastText();
    host.t.ctx.link.Close();
    // The simulator saves its flash once the host has gone; wait for that
    // (bounded) before stopping it.
    const std::uint8_t first = host.t.ctx.image.bytes[0];
    for (int i = 0; i < 200; ++i) {
        const std::string saved = host.t.dir.Read("flash.bin");
        if (!saved.empty() && static_cast<std::uint8_t>(saved[0]) == first) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    host.sim.reset();  // stopped; the flash file stays

    ASSERT_TRUE(host.Start());
    host.Compare();
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.LastText();
}

class FlashOpsFaultE2E : public ::testing::Test {
  protected:
    // Programs one block of data at the start of the second range.
    void ProgramOneBlock() {
        FlashImage& image = host.t.ctx.image;
        image.Fill(0xFF);
        for (std::uint32_t i = 0; i < 512; ++i) image.bytes[0x80000 + i] = static_cast<std::uint8_t>(i);
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
    EXPECT_TRUE(host.Program()) << host.LastText();
    EXPECT_EQ(host.Probe(), BlankProbeResult::NotBlank);
    EXPECT_EQ(host.LastCode(), kMsgProgrammed);  // the probe reports nothing
}

TEST_F(FlashOpsFaultE2E, CrcErrorOnAProgramBlockIsRetriedOnYes) {
    ASSERT_TRUE(host.Start({"crc-error-block=1"}));
    ProgramOneBlock();
    EXPECT_TRUE(host.Program()) << host.LastText();
    EXPECT_EQ(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, VerifyFailureCarriesItsDetails) {
    ASSERT_TRUE(host.Start({"verify-fail=80010:1234:1030"}));
    ProgramOneBlock();
    EXPECT_FALSE(host.Program());
    EXPECT_EQ(host.LastCode(), kMsgProgramError);
    const std::string& text = host.LastText();
    EXPECT_NE(text.find("ErrorAddress : 0x00080010"), std::string::npos) << text;
    EXPECT_NE(text.find("Flash      : 1030"), std::string::npos) << text;
    EXPECT_NE(text.find("HexFile   : 1234"), std::string::npos) << text;
}

TEST_F(FlashOpsFaultE2E, CorruptedReadBlockIsAskedAboutAndReadAgain) {
    ASSERT_TRUE(host.Start({"read-crc-block=3"}));
    host.Compare();
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.LastText();
    EXPECT_EQ(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, EraseFailureFour) {
    ASSERT_TRUE(host.Start({"erase-fail=4"}));
    EXPECT_FALSE(host.Erase());
    EXPECT_EQ(host.LastCode(), kMsgEraseError);
    EXPECT_NE(host.LastText().find("ERASE ERROR MCU : 34H"), std::string::npos);
}

TEST_F(FlashOpsFaultE2E, EraseFailureThreeReadsAsATimeout) {
    ASSERT_TRUE(host.Start({"erase-fail=3"}));
    EXPECT_FALSE(host.Erase());
    EXPECT_EQ(host.LastCode(), kMsgTimeout);
}

TEST_F(FlashOpsFaultE2E, SilenceEndsInATimeout) {
    ASSERT_TRUE(host.Start({"silence-after=28"}));
    host.Compare();
    EXPECT_EQ(host.LastCode(), kMsgTimeout);
}

TEST_F(FlashOpsFaultE2E, LineNoiseIsCaughtByTheCrc) {
    ASSERT_TRUE(host.Start({"noise=200"}));
    host.Compare();
    EXPECT_EQ(host.LastCode(), kMsgIdentical) << host.LastText();
    EXPECT_GE(Questions(), 1u);
}

TEST_F(FlashOpsFaultE2E, BatchModeGivesUpOnAPersistentCrcError) {
    ASSERT_TRUE(host.Start({"noise=1"}));
    host.t.ctx.batchMode = true;
    ProgramOneBlock();
    EXPECT_FALSE(host.Program(true));
    EXPECT_EQ(host.LastCode(), kMsgProgramError);
    EXPECT_EQ(Questions(), 0u);
}

}  // namespace
}  // namespace quillon::testing
