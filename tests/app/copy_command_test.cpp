// The Copy button: the save dialog in the format the button shows, a
// progress window of its own, the port opened at the control program's rate
// and closed afterwards, and nothing done when the dialog is cancelled or no
// window can be made.

#include "app/copy_command.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link/control_commands.hpp"
#include "link/crc16.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::RecordingProgress;
using testing::ScriptedSerial;
using testing::TestContext;

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
        last = p.get();
        return p;
    }
    RecordingProgress* last = nullptr;
    int createdWith = 0;
    bool fail = false;
};

class CopyCommandTest : public ::testing::Test {
  protected:
    CopyCommandTest() {
        t.ctx.frontEnd.files = &chooser;
        t.ctx.frontEnd.progress = &factory;
        t.ctx.hexFilePath = t.dir.File("in.mhx");
        t.ctx.targetList = {"TC320"};
        t.ctx.ranges.rangeStart[0] = 0x080000;
        t.ctx.ranges.rangeEnd[0] = 0x0803FF;
        t.ctx.ranges.rangeCount = 1;
        chooser.path = t.dir.File("out.mhx");
        // A target that answers every read command with a block of 0x5A.
        t.port().onWrite = [](ScriptedSerial& s, const std::uint8_t* d, std::size_t n) {
            if (n != 4 || d[0] != kCmdReadBlock) return;
            std::vector<std::uint8_t> reply{kStatusOk};
            reply.insert(reply.end(), 512, 0x5A);
            const std::uint16_t crc = Crc16(reply.data() + 1, 512);
            reply.push_back(static_cast<std::uint8_t>(crc >> 8));
            reply.push_back(static_cast<std::uint8_t>(crc));
            reply.push_back(kStatusOk);
            s.Queue(reply);
        };
    }
    TestContext t;
    FixedChooser chooser;
    RecordingFactory factory;
};

TEST_F(CopyCommandTest, CopiesInItsOwnWindowAtTheControlProgramRateAndClosesAfter) {
    t.ctx.link.SetControlProgramBaud(250000);
    t.ctx.copyAsIntelHex = 1;
    OnCopy(t.ctx);
    EXPECT_TRUE(chooser.askedIntelHex);
    EXPECT_EQ(chooser.askedInitial, t.dir.File("in.mhx"));
    EXPECT_EQ(factory.createdWith, 14);
    ASSERT_NE(factory.last, nullptr);
    EXPECT_EQ(t.port().baudHistory.back(), 250000u);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCopied);
    EXPECT_TRUE(t.dir.Exists("out.mhx"));
    EXPECT_FALSE(t.ctx.link.IsOpen());
    EXPECT_EQ(t.ctx.progress, nullptr);
}

TEST_F(CopyCommandTest, WindowShowsCopyingOverTheBlocksOfTheRanges) {
    // The window is gone when the command ends: watch it while it is there.
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    int rangeHigh = 0;
    t.port().onWrite = [&](ScriptedSerial&, const std::uint8_t*, std::size_t) {
        calls = factory.last->calls;
        messages = factory.last->messages;
        rangeHigh = factory.last->rangeHigh;
    };
    OnCopy(t.ctx);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "SetButtons 14 centre title=Copy");
    EXPECT_EQ(messages.front(), CatalogText(t.ctx.language, kMsgCopying));
    EXPECT_EQ(rangeHigh, 2);
}

TEST_F(CopyCommandTest, CancelledDialogOrMissingWindowEndsQuietly) {
    chooser.path.reset();
    OnCopy(t.ctx);
    EXPECT_EQ(factory.createdWith, 0);
    chooser.path = t.dir.File("out.mhx");
    factory.fail = true;
    OnCopy(t.ctx);
    EXPECT_TRUE(t.port().tx.empty());
    EXPECT_FALSE(t.dir.Exists("out.mhx"));
    EXPECT_FALSE(t.ctx.lastReport.recorded);
    EXPECT_FALSE(t.ctx.link.IsOpen());
}

TEST_F(CopyCommandTest, APortThatDoesNotOpenIsReportedAndNothingIsAsked) {
    t.opener.failOpen = true;
    OnCopy(t.ctx);
    EXPECT_EQ(t.ctx.lastReport.code, kMsgCannotOpenPort);
    EXPECT_EQ(factory.createdWith, 0);
}

TEST_F(CopyCommandTest, AFileThatCannotBeCreatedClosesTheWindowBeforeAnyCommand) {
    chooser.path = t.dir.File("no-such-folder/out.mhx");
    OnCopy(t.ctx);
    EXPECT_TRUE(t.port().tx.empty());
    EXPECT_EQ(t.ctx.progress, nullptr);
    ASSERT_FALSE(t.prompt.asked.empty());
    EXPECT_EQ(t.prompt.asked.back().text, "ERROR : OPEN FILE ERROR");
}

}  // namespace
}  // namespace quillon
