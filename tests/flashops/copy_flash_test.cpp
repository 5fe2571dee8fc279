// Copy: the lines of both formats, TC337's skipped window, and the output
// file on every ending.

#include "flashops/copy_flash.hpp"

#include <filesystem>

#include "config/catalog.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

class FixedChooser final : public FileChooser {
  public:
    std::optional<std::string> ChooseCopyFile(bool intelHex, std::string_view initial) override {
        askedIntelHex = intelHex;
        askedInitial = std::string(initial);
        return path;
    }
    std::optional<std::string> path;
    bool askedIntelHex = false;
    std::string askedInitial;
};

class RecordingFactory final : public ProgressFactory {
  public:
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override {
        createdWith = flags;
        if (fail) return nullptr;
        auto p = std::make_unique<RecordingProgress>();
        p->pressAlways = false;
        p->acknowledgeResults = true;
        p->pressAfterChecks = pressAfterChecks;
        last = p.get();
        return p;
    }
    RecordingProgress* last = nullptr;
    int createdWith = 0;
    int pressAfterChecks = 0;
    bool fail = false;
};

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
    void SetUp() override {
        OpenPortNow();
        chooser.path = t.dir.File("out.mhx");
        t.ctx.fileChooser = &chooser;
        t.ctx.progressFactory = &factory;
        t.ctx.hexFilePath = t.dir.File("in.mhx");
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
    std::string Output() { return t.dir.Read("out.mhx"); }

    FixedChooser chooser;
    RecordingFactory factory;
    std::vector<std::uint32_t> readAddresses;
};

TEST_F(CopyFlashTest, SRecordCopyOfOneRange) {
    SetRanges({{0x080000, 0x0801FF}});
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    EXPECT_FALSE(chooser.askedIntelHex);
    EXPECT_EQ(chooser.askedInitial, t.dir.File("in.mhx"));
    const auto lines = Lines(Output());
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines.front(), "S005000046575D");
    EXPECT_EQ(lines[1].substr(0, 10), "S214080000");
    EXPECT_EQ(lines[1].substr(10, 4), "0001");  // FlashByte(0x80000), FlashByte(0x80001)
    EXPECT_EQ(lines[32].substr(0, 10), "S2140801F0");
    EXPECT_EQ(lines.back(), "S804000000FB");
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCopied);
    ASSERT_NE(factory.last, nullptr);
    EXPECT_EQ(factory.createdWith, 14);
    EXPECT_EQ(factory.last->calls.front(), "SetButtons 14 centre title=Copy");
    EXPECT_EQ(factory.last->messages.front(), CatalogText(t.ctx.language, kMsgCopying));
}

TEST_F(CopyFlashTest, IntelHexCopyMarksEvery64KibPage) {
    t.ctx.copyAsIntelHex = 1;
    SetRanges({{0x080000, 0x09FFFF}});
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    EXPECT_TRUE(chooser.askedIntelHex);
    const auto lines = Lines(Output());
    ASSERT_EQ(lines.size(), 2u + 0x20000 / 16 + 1);
    EXPECT_EQ(lines.front(), ":020000040008F2");
    EXPECT_EQ(lines[1].substr(0, 9), ":10000000");
    const std::size_t page2 = 1 + 0x10000 / 16;
    EXPECT_EQ(lines[page2], ":020000040009F1");
    EXPECT_EQ(lines[page2 + 1].substr(0, 9), ":10000000");
    EXPECT_EQ(lines.back(), ":00000001FF");
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCopied);
}

TEST_F(CopyFlashTest, ARangeEndingMidLineEndsWithAShorterLine) {
    SetRanges({{0x080000, 0x080107}, {0x090000, 0x0901FF}});
    t.ctx.copyAsIntelHex = 1;
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    const auto lines = Lines(Output());
    // Range 1: record, 16 full lines and one of 8 bytes; range 2: record and 32 lines.
    ASSERT_EQ(lines.size(), 1u + 17 + 1 + 32 + 1);
    EXPECT_EQ(lines[17].substr(0, 9), ":08010000");
    EXPECT_EQ(lines[17].size(), 1u + 2 * (4 + 8 + 1));
    EXPECT_EQ(lines[18], ":020000040009F1");
}

TEST_F(CopyFlashTest, Tc337SkipsItsWindowAndTheBarStopsShort) {
    SelectChip("TC337");
    SetRanges({{0x000000, 0x07FFFF}});
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(readAddresses.size(), (0x40000u + 0x10000u) / 512);
    for (std::uint32_t a : readAddresses) ASSERT_TRUE(a < 0x40000 || a >= 0x70000) << a;
    EXPECT_EQ(factory.last->rangeHigh, 0x80000 / 512);
    EXPECT_EQ(factory.last->pos, (0x40000 + 0x10000) / 512);
    const std::string out = Output();
    EXPECT_EQ(out.find("S2140400"), std::string::npos);
    EXPECT_NE(out.find("S21403FFF0"), std::string::npos);
    EXPECT_NE(out.find("S214070000"), std::string::npos);
}

TEST_F(CopyFlashTest, CancelLeavesNoFileAndAnExistingOneUntouched) {
    SetRanges({{0x080000, 0x0803FF}});
    AnswerFromFlash();
    factory.pressAfterChecks = 1;  // before the first block
    CopyFlashToFile(t.ctx);
    EXPECT_TRUE(port().tx.empty());
    EXPECT_FALSE(t.dir.Exists("out.mhx"));
    EXPECT_EQ(factory.last->message, CatalogText(t.ctx.language, kMsgCanceled));

    t.dir.Write("out.mhx", "old contents");
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(Output(), "old contents");
    EXPECT_EQ(t.ctx.lastReport.code, 0);
    // No temporary file left in the folder either.
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(t.dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(CopyFlashTest, CancelWhileTheBlockIsAwaitedIsACancelAndLeavesNoFile) {
    SetRanges({{0x080000, 0x0803FF}});
    port().QueueAt(2000, {kStatusOk});
    factory.pressAfterChecks = 3;  // during the first status wait
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(factory.last->message, CatalogText(t.ctx.language, kMsgCanceled));
    EXPECT_EQ(t.ctx.lastReport.code, 0);
    EXPECT_FALSE(t.dir.Exists("out.mhx"));
}

TEST_F(CopyFlashTest, CancelDuringTheSecondStatusWaitIsACancel) {
    SetRanges({{0x080000, 0x0803FF}});
    Bytes reply = ReadReply(Bytes(512, 0x11));
    reply.pop_back();
    port().Queue(reply);
    port().QueueAt(3000, {kStatusOk});
    factory.pressAfterChecks = 4;
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(factory.last->message, CatalogText(t.ctx.language, kMsgCanceled));
    EXPECT_EQ(t.ctx.lastReport.code, 0);
    EXPECT_FALSE(t.dir.Exists("out.mhx"));
}

TEST_F(CopyFlashTest, AFailedReadoutLeavesAnExistingFileUntouched) {
    SetRanges({{0x080000, 0x0803FF}});
    t.dir.Write("out.mhx", "old contents");
    port().Queue(ReadReply(Bytes(512, 0x11)));
    port().Queue({kStatusFailed});
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgReadError);
    EXPECT_EQ(Output(), "old contents");
}

TEST_F(CopyFlashTest, TheNewFileReplacesTheOldOnlyOnSuccess) {
    SetRanges({{0x080000, 0x0801FF}});
    t.dir.Write("out.mhx", "old contents");
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(Output().substr(0, 14), "S005000046575D");
}

TEST_F(CopyFlashTest, AFileThatCannotBeCreatedStopsBeforeAnyCommand) {
    SetRanges({{0x080000, 0x0801FF}});
    chooser.path = t.dir.File("no-such-folder/out.mhx");
    CopyFlashToFile(t.ctx);
    EXPECT_TRUE(port().tx.empty());
    ASSERT_FALSE(t.prompt.asked.empty());
    EXPECT_EQ(t.prompt.asked.back().text, "ERROR : OPEN FILE ERROR");
    EXPECT_EQ(t.prompt.asked.back().caption, "Flash Memory Writer");
    EXPECT_EQ(t.prompt.asked.back().owner, PromptOwner::MainDialog);
    EXPECT_EQ(t.ctx.progress, nullptr);
}

TEST_F(CopyFlashTest, AFileThatCannotTakeItsPlaceIsAWriteError) {
    SetRanges({{0x080000, 0x0801FF}});
    // A folder stands where the file should go.
    std::filesystem::create_directory(t.dir.File("out.mhx"));
    t.dir.Write("out.mhx/keep", "x");
    AnswerFromFlash();
    CopyFlashToFile(t.ctx);
    ASSERT_FALSE(t.prompt.asked.empty());
    EXPECT_EQ(t.prompt.asked.back().text, "ERROR : WRITE FILE ERROR");
    EXPECT_EQ(t.prompt.asked.back().owner, PromptOwner::Progress);
    EXPECT_NE(t.ctx.lastReport.code, kMsgCopied);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(t.dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // the folder only: no temporary file left
}

TEST_F(CopyFlashTest, CancelledDialogOrMissingWindowEndsQuietly) {
    SetRanges({{0x080000, 0x0801FF}});
    chooser.path.reset();
    CopyFlashToFile(t.ctx);
    EXPECT_EQ(factory.createdWith, 0);
    chooser.path = t.dir.File("out.mhx");
    factory.fail = true;
    CopyFlashToFile(t.ctx);
    EXPECT_TRUE(port().tx.empty());
    EXPECT_FALSE(t.dir.Exists("out.mhx"));
    EXPECT_EQ(t.ctx.lastReport.code, 0);
}

TEST_F(CopyFlashTest, CopyCommandOpensAtTheControlProgramRateAndClosesAfter) {
    SetRanges({{0x080000, 0x0801FF}});
    t.ctx.controlProgramBaud = 250000;
    ClosePort(t.ctx);
    AnswerFromFlash();
    CopyFlash(t.ctx);
    EXPECT_EQ(port().baudHistory.back(), 250000u);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCopied);
    EXPECT_EQ(t.ctx.comPortHandle, nullptr);
    EXPECT_EQ(t.ctx.progress, nullptr);

    opener.failOpen = true;
    CopyFlash(t.ctx);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCannotOpenPort);
}

}  // namespace
}  // namespace quillon::testing
