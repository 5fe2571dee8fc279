// The TCS1/TCS2 download: RESET-button handshake and the two headers.

#include <gtest/gtest.h>

#include "config/catalog.hpp"
#include "link/download.hpp"
#include "link/serial_link.hpp"
#include "link_fixture.hpp"

namespace quillon::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TcsTest : ::testing::Test, LinkFixture {
    void SetUp() override {
        progress->pressAlways = false;
        progress->pressWhenOk = true;
    }

    // The header, image and run command the host sends after the 'F'.
    Bytes Exchange(const Bytes& image) {
        const auto n = static_cast<std::uint16_t>(image.size());
        return Cat({{0x01, 0x03, 0x00, 0xE0, 0x0F, 0x00, static_cast<std::uint8_t>(n),
                     static_cast<std::uint8_t>(n >> 8)},
                    image,
                    {0x01, 0x04, 0x00, 0xE0, 0x0F, 0x00},
                    {0xE8}});
    }
    // Everything the host wrote after its last 'V'.
    Bytes AfterPolls() {
        const auto& tx = line().tx;
        std::size_t i = 0;
        while (i < tx.size() && tx[i] == 'V') ++i;
        return Bytes(tx.begin() + static_cast<long>(i), tx.end());
    }
    std::size_t Polls() {
        std::size_t n = 0;
        while (n < line().tx.size() && line().tx[n] == 'V') ++n;
        return n;
    }
};

const Bytes kGoodReplies = {0xF1, 0x83, 0x12, 0x34, 0xF1, 0x84, 0x31, 0x31};

TEST_F(TcsTest, Tcs1AnswersAfterPollsAndTheImageGoesOutBehindItsHeader) {
    Chip("TC304");
    Bytes image = Program(20);
    image[2] = 0;
    // 250 ms wait, then polls of 160 ms each: the third read meets the 'F'.
    Bytes replies = {'F'};
    replies.insert(replies.end(), kGoodReplies.begin(), kGoodReplies.end());
    line().QueueAt(250 + 2 * 160 + 10, replies);

    ASSERT_TRUE(Download(false));

    EXPECT_EQ(Polls(), 3u);
    EXPECT_EQ(AfterPolls(), Exchange(image));
    // Header, image and run command each in one write.
    const auto& sizes = line().writeSizes;
    ASSERT_GE(sizes.size(), 4u);
    EXPECT_EQ(sizes[sizes.size() - 4], 8u);
    EXPECT_EQ(sizes[sizes.size() - 3], image.size());
    EXPECT_EQ(sizes[sizes.size() - 2], 6u);
    // 250 before the handshake, 10 after it, 250 before the header reply,
    // 250 + 250 around the rate change.
    EXPECT_EQ(clock.slept, 250u + 10u + 250u + 500u);
    EXPECT_TRUE(op.prompt.asked.empty()) << "the RESET button replaces the prompt";
    EXPECT_EQ(progress->steps, 7);
    EXPECT_EQ(progress->title, "7 / 7");
    EXPECT_EQ(progress->message, " Downloading");
    EXPECT_EQ(progress->icon, kIconNone);
    EXPECT_NE(std::find(progress->calls.begin(), progress->calls.end(),
                        "SetButtons 6 title=Special download sequence for TCS1 series"),
              progress->calls.end());
    EXPECT_NE(std::find(progress->calls.begin(), progress->calls.end(), "SetTitle Download"),
              progress->calls.end());
    EXPECT_EQ(link.controlProgramBaud(), 19200u);
}

TEST_F(TcsTest, Tcs1RefusesOnAFirstByteOtherThanF) {
    Chip("TC304");
    Program(20);
    line().QueueAt(250 + 160 + 10, {0x45, 'F'});
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(Polls(), 2u);
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 3);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(TcsTest, Tcs2PollsWithTenMillisecondTimeoutsAndRestoresThem) {
    Chip("TC310");
    Bytes image = Program(20);
    image[2] = 0;
    Bytes replies = {'F'};
    replies.insert(replies.end(), kGoodReplies.begin(), kGoodReplies.end());
    // Each silent pass takes 20 ms.
    line().QueueAt(5 * 20 + 5, replies);
    ASSERT_TRUE(Download(true));
    EXPECT_EQ(Polls(), 6u);
    EXPECT_EQ(AfterPolls(), Exchange(image));
    const auto& history = line().timeoutHistory;
    ASSERT_GE(history.size(), 3u);
    const SerialTimeouts& fast = history[history.size() - 2];
    EXPECT_EQ(fast.readIntervalTimeout, 80u);
    EXPECT_EQ(fast.readTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(fast.readTotalTimeoutConstant, 10u);
    EXPECT_EQ(fast.writeTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(fast.writeTotalTimeoutConstant, 10u);
    EXPECT_EQ(history.back().readTotalTimeoutConstant, 80u);
    EXPECT_EQ(history.back().writeTotalTimeoutMultiplier, 80u);
    EXPECT_NE(std::find(progress->calls.begin(), progress->calls.end(), "SetTitle Full Operation"),
              progress->calls.end());
    EXPECT_EQ(timer.Start().seconds,
              static_cast<std::int64_t>(clock.stampBaseMs / 1000))
        << "stamped when the handshake starts";
}

TEST_F(TcsTest, Tcs2IgnoresStrayBytesBeforeTheF) {
    Chip("TC310");
    Program(20);
    line().QueueAt(30, {0x3F});
    line().QueueAt(70, {0x7E});
    Bytes replies = {'F'};
    replies.insert(replies.end(), kGoodReplies.begin(), kGoodReplies.end());
    line().QueueAt(110, replies);
    EXPECT_TRUE(Download(false));
    EXPECT_EQ(op.LastCode(), 0);
}

TEST_F(TcsTest, Tcs2CancelAfterAStrayByteIsADownloadError) {
    Chip("TC310");
    Program(20);
    line().QueueAt(30, {0x3F});
    progress->pressAfterChecks = 5;
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 3);
    EXPECT_EQ(std::find(progress->messages.begin(), progress->messages.end(), "Download canceled"),
              progress->messages.end());
}

TEST_F(TcsTest, CancelWithNothingReceivedShowsDownloadCanceledUntilOk) {
    Chip("TC310");
    Program(20);
    progress->pressAfterChecks = 3;
    // The Ok press that ends the wait comes two checks later.
    int checksAtCancel = 0;
    line().onWrite = [&](ScriptedSerial&, const std::uint8_t*, std::size_t) {
        checksAtCancel = progress->cancelChecks;
    };
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(progress->message, "Download canceled");
    EXPECT_EQ(progress->flags, 5);
    EXPECT_EQ(op.LastCode(), 0) << "no report";
    EXPECT_GT(progress->cancelChecks, checksAtCancel) << "waited for the Ok";
    EXPECT_EQ(line().timeoutHistory.back().readTotalTimeoutConstant, 80u);
    EXPECT_TRUE(link.IsOpen()) << "the caller closes the port";
}

TEST_F(TcsTest, AThreeByteHeaderReplyIsADownloadError) {
    Chip("TC310");
    Program(20);
    line().QueueAt(30, {'F', 0xF1, 0x83, 0x00});
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_EQ(op.Last().severity, 3);
}

TEST_F(TcsTest, WrongRunReplyIsADownloadError) {
    Chip("TC304");
    Program(20);
    line().QueueAt(300, {'F', 0xF1, 0x83, 0x00, 0x00, 0xF1, 0x85});
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
}

TEST_F(TcsTest, ImageAbove65535BytesIsRefusedBeforeTheHandshake) {
    Chip("TC310");
    Program(65536);
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgDownloadError);
    EXPECT_NE(op.Last().detail.find("65535"), std::string::npos);
    EXPECT_TRUE(line().tx.empty());
}

TEST_F(TcsTest, TimeoutsThatCannotBeChangedEndTheDownloadSilently) {
    Chip("TC310");
    Program(20);
    ASSERT_TRUE(OpenNow(19200));
    line().failSetTimeouts = true;
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), 0);
    EXPECT_TRUE(line().tx.empty());
}

TEST_F(TcsTest, AFailedReadDuringTheHandshakeEndsIt) {
    Chip("TC310");
    Program(20);
    ASSERT_TRUE(OpenNow(19200));
    line().failReads = true;
    EXPECT_FALSE(Download(false));
    EXPECT_EQ(op.LastCode(), kMsgPortReadError);
    EXPECT_EQ(line().reads, 1);
}

}  // namespace
}  // namespace quillon::testing
