// The decode step of a command: its progress message, the ranges it builds
// when no download has fixed them, and where a decoder's failure is shown
// (a box owned by the progress window or by nobody, or the result file in
// batch mode).

#include "app/decode_step.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/chip_selection.hpp"
#include "app/operation_context.hpp"
#include "config/chip_file.hpp"
#include "support/hex_records.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::IHex;
using testing::SRec;
using testing::TestContext;

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// One range, 1000-3FFF, as a download left it.
class DecodeStepTest : public ::testing::Test {
  protected:
    DecodeStepTest() {
        t.ctx.ranges.rangeStart[0] = 0x1000;
        t.ctx.ranges.rangeEnd[0] = 0x3FFF;
        t.ctx.ranges.rangeCount = 1;
        t.ctx.rangesBuilt = true;
        t.ctx.downloaded = 1;
    }
    bool Decode(const std::string& contents, const char* name = "file.mhx",
                bool fullOperation = false) {
        t.dir.Write(name, contents);
        t.ctx.hexFilePath = t.dir.File(name);
        return DecodeHexFile(t.ctx, fullOperation, 0xFF);
    }
    // The one message box shown, as "caption|text".
    std::string OnlyBox() const {
        if (t.prompt.asked.size() != 1) return "boxes: " + std::to_string(t.prompt.asked.size());
        return t.prompt.asked[0].caption + "|" + t.prompt.asked[0].text;
    }

    TestContext t;
};

TEST_F(DecodeStepTest, ShowsDecodingMessageAndHidesButtonAndBar) {
    auto& progress = t.OpenProgress();
    t.ctx.image.bytes.assign(kImageSize, 0x00);
    ASSERT_TRUE(Decode(Lines({SRec('1', 0x1002, {0x11})})));
    EXPECT_EQ(progress.calls.at(0), "SetButtons 0");
    EXPECT_EQ(progress.message, " Decoding HexFile");
    EXPECT_EQ(t.ctx.progressText, " Decoding HexFile");
    EXPECT_EQ(t.ctx.image.bytes[0x2], 0x11);
    EXPECT_EQ(t.ctx.image.bytes.back(), 0xFF);  // the session's image, filled
    EXPECT_TRUE(t.prompt.asked.empty());

    ASSERT_TRUE(Decode(Lines({SRec('1', 0x1000, {1})}), "f.mhx", true));
    EXPECT_EQ(progress.message, "Full Operation -  Decoding HexFile");
}

TEST_F(DecodeStepTest, AFileThatDoesNotOpenIsShownOrRecordedInBatchMode) {
    t.ctx.hexFilePath = t.dir.File("nothing.mhx");
    EXPECT_FALSE(DecodeHexFile(t.ctx, false, 0xFF));
    EXPECT_EQ(OnlyBox(), "HexFile decoder|file open error");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::None);
    EXPECT_FALSE(t.dir.Exists("MESSFILE.TXT"));

    t.prompt.asked.clear();
    t.ctx.batchMode = true;
    t.OpenProgress();
    t.ctx.hexFilePath = t.dir.path();  // a folder does not open either
    EXPECT_FALSE(DecodeHexFile(t.ctx, true, 0xFF));
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nfile open error HexFile decoder");
}

TEST_F(DecodeStepTest, EmptyOrUnrecognisedFilesAreNamedOnlyWithAProgressWindow) {
    const std::string record = Lines({SRec('1', 0x1000, {1})});
    EXPECT_FALSE(Decode(""));
    EXPECT_FALSE(Decode("\r\n" + record));
    EXPECT_TRUE(t.prompt.asked.empty());

    t.OpenProgress();
    EXPECT_FALSE(Decode(""));
    EXPECT_EQ(OnlyBox(), "HexFile decoder|This file is NULL");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::Progress);
    EXPECT_EQ(t.prompt.asked[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(t.prompt.asked[0].icon, PromptIcon::None);
    t.prompt.asked.clear();
    EXPECT_FALSE(Decode("\n" + record));
    EXPECT_EQ(OnlyBox(), "HexFile decoder|auto-format detector error");
}

TEST_F(DecodeStepTest, SRecordErrorsBelongToNobodyTheProgressWindowOrTheResultFile) {
    const std::string bad = Lines({SRec('1', 0x1000, {0x42}), "S4"});
    EXPECT_FALSE(Decode(bad));
    EXPECT_EQ(OnlyBox(), "S format decoder|S-format error in 2");
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::None);

    t.prompt.asked.clear();
    t.OpenProgress();
    EXPECT_FALSE(Decode(bad));
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_EQ(t.prompt.asked[0].owner, PromptOwner::Progress);

    t.prompt.asked.clear();
    t.ctx.batchMode = true;
    EXPECT_FALSE(Decode(Lines({SRec('1', 0x1000, {0x42}), "", "Sx"})));
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nS format decoder S-format error in 3");
}

TEST_F(DecodeStepTest, IntelHexErrorsAreShownOnlyWithAProgressWindow) {
    const std::string bad = Lines({IHex(0, 0x1000, {1}), IHex(6, 0, {1})});
    t.OpenProgress();
    EXPECT_FALSE(Decode(bad, "a.hex"));
    EXPECT_EQ(OnlyBox(), "IntelHex format decoder|decode error in 2");
    EXPECT_EQ(t.prompt.asked.at(0).owner, PromptOwner::Progress);

    // Without the window nothing is shown; in batch mode nothing is recorded.
    t.ctx.progress.reset();
    t.ctx.batchMode = true;
    t.prompt.asked.clear();
    EXPECT_FALSE(Decode(bad, "a.hex"));
    EXPECT_TRUE(t.prompt.asked.empty());
    EXPECT_FALSE(t.dir.Exists("MESSFILE.TXT"));
}

TEST(DecodeBeforeAnyRangesTest, BuildsTheRangesOfTheSelectedChipFirstOrFailsWhenRefused) {
    TestContext t;
    t.dir.Write(
        "CHIPDEF.INI",
        "[TC100]\r\nDownloadFile=TC100.BIN\r\nLoadAddress=1000\r\nStartAddress=80000,A0000\r\n"
        "EndAddress=8FFFF,A00FF\r\nFlashSize=64K\r\nClock=10MHz\r\nBaud=9600\r\nFlashArea=1\r\n"
        "[HUGE]\r\nDownloadFile=H.BIN\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=3FFFFF\r\n"
        "FlashSize=4M\r\nClock=10MHz\r\nBaud=9600\r\n");
    ASSERT_EQ(ListChipSections(t.ctx.chipDefPath, t.ctx.targetList), StartupFailure::None);
    LoadSelectedChip(t.ctx);
    ASSERT_FALSE(t.ctx.rangesBuilt);
    t.dir.Write("f.mhx", Lines({SRec('2', 0xA00FF, {0x12})}));
    t.ctx.hexFilePath = t.dir.File("f.mhx");
    ASSERT_TRUE(DecodeHexFile(t.ctx, false, 0xFF));
    EXPECT_TRUE(t.ctx.rangesBuilt);
    EXPECT_EQ(t.ctx.ranges.rangeCount, 2);
    EXPECT_EQ(t.ctx.image.bytes[0xA00FF - 0x80000], 0x12);

    // A chip whose ranges leave the image is refused before the file is read.
    t.ctx.chipIndex = 1;
    LoadSelectedChip(t.ctx);
    EXPECT_FALSE(DecodeHexFile(t.ctx, false, 0xFF));
    EXPECT_FALSE(t.ctx.rangesBuilt);
    ASSERT_EQ(t.prompt.asked.size(), 1u);
    EXPECT_NE(t.prompt.asked[0].caption, "S format decoder");
}

}  // namespace
}  // namespace quillon
