// The key exchange of TC326/TC327 before their download.

#include "link/security_unlock.hpp"

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link/command_frame.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct UnlockTest : ::testing::Test, LinkFixture {
    void SetUp() override { Chip("TC326", "SecurityFile=key.txt\r\n"); }
    // The fixture's first range starts at 0x10000.
    void Key(const std::string& text) { dir.Write("key.txt", text); }
};

TEST_F(UnlockTest, OtherChipsGoOnAtOnce) {
    LinkFixture f;
    f.Chip("TC370", "SecurityFile=key.txt\r\n");
    EXPECT_EQ(f.Unlock(false), UnlockResult::GoOn);
    EXPECT_TRUE(f.op.prompt.asked.empty());
    EXPECT_TRUE(f.opener.paths.empty());
    EXPECT_TRUE(f.progress->calls.empty());
}

TEST_F(UnlockTest, KeyGoesOutAfterTheBootCommandAndIsAccepted) {
    Key("0x10000,7,\r\n 1, 2, 3, 0x1F4, 5, 6, 7\r\n");
    line().Queue({0x11, 0x11, 0x00, 0x00, 0x11});
    EXPECT_EQ(Unlock(false), UnlockResult::GoOn);
    const CommandFrame frame = EncodeCommandFrame(0x10, 0x10001, 7);
    Bytes expected = {0x18};
    expected.insert(expected.end(), frame.begin(), frame.end());
    const Bytes key = {1, 2, 3, 0xF4, 5, 6, 7};
    expected.insert(expected.end(), key.begin(), key.end());
    expected.push_back(Sum8(key));
    EXPECT_EQ(line().tx, expected);
    ASSERT_EQ(op.prompt.asked.size(), 1u);
    EXPECT_EQ(op.prompt.asked[0].caption, "flash");
    EXPECT_EQ(line().purges, 1);
    EXPECT_EQ(progress->message, "Security Checking");
    EXPECT_EQ(progress->rangeHigh, 1);
    EXPECT_EQ(line().baudHistory, (std::vector<std::uint32_t>{9600}));
    EXPECT_TRUE(link.IsOpen()) << "left open for the download";
}

TEST_F(UnlockTest, CancelledPromptSendsNothing) {
    Key("10000,7,1,2,3,4,5,6,7");
    op.prompt.answers.push_back(PromptAnswer::Cancel);
    EXPECT_EQ(Unlock(true), UnlockResult::Stopped);
    EXPECT_EQ(op.prompt.asked.size(), 1u);
    EXPECT_TRUE(line().tx.empty());
    EXPECT_EQ(progress->message, "Full Operation - Security Checking");
    EXPECT_EQ(op.step, "Full Operation - Security Checking") << "a stop names its step";
}

TEST_F(UnlockTest, EraseFirstVerdictIsReturnedWithoutAReport) {
    Key("10000,7,1,2,3,4,5,6,7");
    line().Queue({0x11, 0x11, 0x14});
    EXPECT_EQ(Unlock(true), UnlockResult::EraseFirst);
    EXPECT_TRUE(op.outcomes.empty());
}

TEST_F(UnlockTest, OtherVerdictsAndSilence) {
    Key("10000,7,1,2,3,4,5,6,7");
    line().Queue({0x11, 0x11, 0x22});
    EXPECT_EQ(Unlock(false), UnlockResult::Stopped);
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 1);
    EXPECT_NE(op.Last().detail.find("CRYPT ERROR : 22H"), std::string::npos);

    LinkFixture f;
    f.Chip("TC327", "SecurityFile=key.txt\r\n");
    f.dir.Write("key.txt", "10000,7,1,2,3,4,5,6,7");
    f.line().Queue({0x11, 0x11});
    EXPECT_EQ(f.Unlock(false), UnlockResult::Stopped);
    EXPECT_EQ(f.op.LastCode(), kMsgTimeout);
}

TEST_F(UnlockTest, VerdictWaitIsStrictlyOver3000Ms) {
    Key("10000,7,1,2,3,4,5,6,7");
    line().Queue({0x11, 0x11});
    // The verdict wait starts when the key's sum has gone out.
    line().onWrite = [this](ScriptedSerial& s, const std::uint8_t*, std::size_t) {
        if (s.tx.size() == 1 + 10 + 7 + 1) s.QueueAt(clock.elapsedMs + 3000, {0x11});
    };
    EXPECT_EQ(Unlock(false), UnlockResult::GoOn);

    LinkFixture f;
    f.Chip("TC326", "SecurityFile=key.txt\r\n");
    f.dir.Write("key.txt", "10000,7,1,2,3,4,5,6,7");
    f.line().Queue({0x11, 0x11});
    f.line().onWrite = [&f](ScriptedSerial& s, const std::uint8_t*, std::size_t) {
        if (s.tx.size() == 1 + 10 + 7 + 1) s.QueueAt(f.clock.elapsedMs + 3001, {0x11});
    };
    EXPECT_EQ(f.Unlock(false), UnlockResult::Stopped);
    EXPECT_EQ(f.op.LastCode(), kMsgTimeout);
}

TEST_F(UnlockTest, WrongKeyFrameReplyIsACryptError) {
    Key("10000,7,1,2,3,4,5,6,7");
    line().Queue({0x11, 0x13});
    EXPECT_EQ(Unlock(false), UnlockResult::Stopped);
    EXPECT_NE(op.Last().detail.find("CRYPT ERROR : 13H"), std::string::npos);
    EXPECT_EQ(line().tx.size(), 11u) << "no key bytes after a refused frame";
}

TEST_F(UnlockTest, FileFaultsAreReportedBeforeAnythingIsSent) {
    struct Case {
        const char* text;
        int code;
    };
    for (const Case& c :
         {Case{"FFFF,7,1,2,3,4,5,6,7", kMsgIllegalSecurityFile},
          Case{"10000,6,1,2,3,4,5,6", kMsgKeyTooShort}, Case{"10000,FF,1", kMsgKeyTooLong},
          Case{"10000,7,1,2,3,4,5,6", kMsgIllegalSecurityFile},
          Case{"10000", kMsgIllegalSecurityFile}}) {
        LinkFixture f;
        f.Chip("TC326", "SecurityFile=key.txt\r\n");
        f.dir.Write("key.txt", c.text);
        EXPECT_EQ(f.Unlock(false), UnlockResult::Stopped) << c.text;
        EXPECT_EQ(f.op.LastCode(), c.code) << c.text;
        EXPECT_EQ(f.op.Last().severity, 2);
        EXPECT_TRUE(f.line().tx.empty()) << c.text;
    }
}

TEST_F(UnlockTest, MissingKeyFileAndMissingEntry) {
    EXPECT_EQ(Unlock(false), UnlockResult::Stopped);
    EXPECT_EQ(op.LastCode(), kMsgCannotOpenKeyFile);

    LinkFixture f;
    f.Chip("TC326");
    EXPECT_EQ(f.Unlock(false), UnlockResult::Stopped);
    ASSERT_EQ(f.op.prompt.asked.size(), 1u);
    EXPECT_EQ(f.op.prompt.asked[0].text, "security file error");
    EXPECT_EQ(f.op.prompt.asked[0].owner, PromptOwner::MainDialog);
    EXPECT_TRUE(f.opener.paths.empty());
}

TEST_F(UnlockTest, AFailedReadInTheVerdictWaitIsReportedOnce) {
    Key("10000,7,1,2,3,4,5,6,7");
    line().Queue({0x11, 0x11});
    line().onWrite = [](ScriptedSerial& s, const std::uint8_t*, std::size_t) {
        if (s.tx.size() == 1 + 10 + 7 + 1) s.failReads = true;
    };
    EXPECT_EQ(Unlock(false), UnlockResult::Stopped);
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(line().reads, 3);
}

}  // namespace
}  // namespace quillon::testing
