// Copy: the lines of both formats, TC337's skipped window, and the output
// file on every ending.

#include "flashops/copy_flash.hpp"

#include <filesystem>

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back(text.substr(at) + "<no line end>");
            break;
        }
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

class CopyFlashTest : public FlashOpsTest {
  protected:
    void SetUp() override { OpenPortNow(); }
    // The Copy window as the command opens it around the readout, its user
    // pressing Cancel at the given poll (0: never).
    RecordingProgress& CopyWindow(int pressAfterChecks = 0) {
        RecordingProgress& p = Progress();
        p.SetButtons(14, true, "Copy");
        p.pressAfterChecks = pressAfterChecks;
        return p;
    }
    CopyEnd Copy(bool intelHex = false, const std::string& name = "out.mhx") {
        return CopyFlashToFile(link, op, chip, timer, dir.File(name), intelHex);
    }
    // A target whose flash byte at address a is `(a >> 4) ^ a`, answering
    // every read command.
    void AnswerFromFlash() {
        port().onWrite = [this](ScriptedSerial& s, const std::uint8_t* d, std::size_t n) {
            if (n != 4 || d[0] != kCmdReadBlock) return;
            const std::uint32_t a = DecodeAddress24(d + 1);
            readAddresses.push_back(a);
            Bytes data(512);
            for (std::uint32_t i = 0; i < 512; ++i) data[i] = FlashByte(a + i);
            s.Queue(ReadReply(data));
        };
    }
    static std::uint8_t FlashByte(std::uint32_t a) {
        return static_cast<std::uint8_t>((a >> 4) ^ a);
    }
    std::string Output() { return dir.Read("out.mhx"); }
    int FolderEntries() {
        int entries = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            (void)e;
            ++entries;
        }
        return entries;
    }

    std::vector<std::uint32_t> readAddresses;
};

TEST_F(CopyFlashTest, SRecordCopyOfOneRange) {
    SetRanges({{0x080000, 0x0801FF}});
    CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(), CopyEnd::Copied);
    const auto lines = Lines(Output());
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines.front(), "S005000046575D");
    EXPECT_EQ(lines[1].substr(0, 10), "S214080000");
    EXPECT_EQ(lines[1].substr(10, 4), "0001");  // FlashByte(0x80000), FlashByte(0x80001)
    EXPECT_EQ(lines[32].substr(0, 10), "S2140801F0");
    EXPECT_EQ(lines.back(), "S804000000FB");
    EXPECT_EQ(op.LastCode(), kMsgCopied);
}

TEST_F(CopyFlashTest, IntelHexCopyMarksEvery64KibPage) {
    SetRanges({{0x080000, 0x09FFFF}});
    CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(true), CopyEnd::Copied);
    const auto lines = Lines(Output());
    ASSERT_EQ(lines.size(), 2u + 0x20000 / 16 + 1);
    EXPECT_EQ(lines.front(), ":020000040008F2");
    EXPECT_EQ(lines[1].substr(0, 9), ":10000000");
    const std::size_t page2 = 1 + 0x10000 / 16;
    EXPECT_EQ(lines[page2], ":020000040009F1");
    EXPECT_EQ(lines[page2 + 1].substr(0, 9), ":10000000");
    EXPECT_EQ(lines.back(), ":00000001FF");
    EXPECT_EQ(op.LastCode(), kMsgCopied);
}

TEST_F(CopyFlashTest, ARangeEndingMidLineEndsWithAShorterLine) {
    SetRanges({{0x080000, 0x080107}, {0x090000, 0x0901FF}});
    CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(true), CopyEnd::Copied);
    const auto lines = Lines(Output());
    // Range 1: record, 16 full lines and one of 8 bytes; range 2: record and 32 lines.
    ASSERT_EQ(lines.size(), 1u + 17 + 1 + 32 + 1);
    EXPECT_EQ(lines[17].substr(0, 9), ":08010000");
    EXPECT_EQ(lines[17].size(), 1u + 2 * (4 + 8 + 1));
    EXPECT_EQ(lines[18], ":020000040009F1");
}

TEST_F(CopyFlashTest, Tc337SkipsItsWindowAndTheBarStopsShort) {
    chip.name = "TC337";
    SetRanges({{0x000000, 0x07FFFF}});
    RecordingProgress& p = CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(), CopyEnd::Copied);
    EXPECT_EQ(readAddresses.size(), (0x40000u + 0x10000u) / 512);
    for (std::uint32_t a : readAddresses) ASSERT_TRUE(a < 0x40000 || a >= 0x70000) << a;
    EXPECT_EQ(p.pos, (0x40000 + 0x10000) / 512);
    const std::string out = Output();
    EXPECT_EQ(out.find("S2140400"), std::string::npos);
    EXPECT_NE(out.find("S21403FFF0"), std::string::npos);
    EXPECT_NE(out.find("S214070000"), std::string::npos);
}

TEST_F(CopyFlashTest, CancelLeavesNoFileAndAnExistingOneUntouched) {
    SetRanges({{0x080000, 0x0803FF}});
    AnswerFromFlash();
    RecordingProgress& p = CopyWindow(1);  // before the first block
    EXPECT_EQ(Copy(), CopyEnd::Cancelled);
    EXPECT_TRUE(port().tx.empty());
    EXPECT_FALSE(dir.Exists("out.mhx"));
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));

    dir.Write("out.mhx", "old contents");
    CopyWindow(1);
    EXPECT_EQ(Copy(), CopyEnd::Cancelled);
    EXPECT_EQ(Output(), "old contents");
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_EQ(FolderEntries(), 1);  // no temporary file left in the folder either
}

TEST_F(CopyFlashTest, CancelWhileTheBlockIsAwaitedIsACancelAndLeavesNoFile) {
    SetRanges({{0x080000, 0x0803FF}});
    port().QueueAt(2000, {kStatusOk});
    RecordingProgress& p = CopyWindow(3);  // during the first status wait
    EXPECT_EQ(Copy(), CopyEnd::Cancelled);
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_FALSE(dir.Exists("out.mhx"));
}

TEST_F(CopyFlashTest, CancelDuringTheSecondStatusWaitIsACancel) {
    SetRanges({{0x080000, 0x0803FF}});
    Bytes reply = ReadReply(Bytes(512, 0x11));
    reply.pop_back();
    port().Queue(reply);
    port().QueueAt(3000, {kStatusOk});
    RecordingProgress& p = CopyWindow(4);
    EXPECT_EQ(Copy(), CopyEnd::Cancelled);
    EXPECT_EQ(p.message, CatalogText(op.language(), kMsgCanceled));
    EXPECT_TRUE(op.outcomes.empty());
    EXPECT_FALSE(dir.Exists("out.mhx"));
}

TEST_F(CopyFlashTest, AFailedReadoutLeavesAnExistingFileUntouched) {
    SetRanges({{0x080000, 0x0803FF}});
    dir.Write("out.mhx", "old contents");
    CopyWindow();
    port().Queue(ReadReply(Bytes(512, 0x11)));
    port().Queue({kStatusFailed});
    EXPECT_EQ(Copy(), CopyEnd::Failed);
    EXPECT_EQ(op.LastCode(), kMsgReadError);
    EXPECT_EQ(Output(), "old contents");
}

TEST_F(CopyFlashTest, TheNewFileReplacesTheOldOnlyOnSuccess) {
    SetRanges({{0x080000, 0x0801FF}});
    dir.Write("out.mhx", "old contents");
    CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(), CopyEnd::Copied);
    EXPECT_EQ(Output().substr(0, 14), "S005000046575D");
}

TEST_F(CopyFlashTest, AFileThatCannotBeCreatedStopsBeforeAnyCommand) {
    SetRanges({{0x080000, 0x0801FF}});
    CopyWindow();
    EXPECT_EQ(Copy(false, "no-such-folder/out.mhx"), CopyEnd::FileNotCreated);
    // A folder where the file should go is refused as soon.
    std::filesystem::create_directory(dir.File("taken.mhx"));
    EXPECT_EQ(Copy(false, "taken.mhx"), CopyEnd::FileNotCreated);
    EXPECT_TRUE(port().tx.empty());
    ASSERT_FALSE(op.prompt.asked.empty());
    EXPECT_EQ(op.prompt.asked.back().text, "ERROR : OPEN FILE ERROR");
    EXPECT_EQ(op.prompt.asked.back().caption, "Flash Memory Writer");
    EXPECT_EQ(op.prompt.asked.back().owner, PromptOwner::MainDialog);
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(CopyFlashTest, ADeviceThatRefusesTheBytesIsADiskFullError) {
    SetRanges({{0x080000, 0x0801FF}});
    // A site links the output to a device; the link is followed and the
    // device's refusal is the error, after the whole readout.
    std::filesystem::create_symlink("/dev/full", dir.File("out.mhx"));
    CopyWindow();
    AnswerFromFlash();
    EXPECT_EQ(Copy(), CopyEnd::FileNotWritten);
    ASSERT_FALSE(op.prompt.asked.empty());
    EXPECT_EQ(op.prompt.asked.back().text, "ERROR : DISK FULL ERROR");
    EXPECT_EQ(op.prompt.asked.back().owner, PromptOwner::Progress);
    EXPECT_NE(op.LastCode(), kMsgCopied);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("out.mhx")));
    EXPECT_EQ(FolderEntries(), 1);  // the link only: no temporary file left
}

}  // namespace
}  // namespace quillon::testing
