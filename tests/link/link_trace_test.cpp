// The link's wire trace: one line per write and per read that brought bytes,
// the port's events and the steps, in the order they happened.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "link/link.hpp"
#include "platform/wire_trace.hpp"
#include "support/scripted_link.hpp"

namespace quillon::testing {
namespace {

struct LinkTraceTest : ::testing::Test, ScriptedLink {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(trace.Open(dir.File("wire.trace"), error)) << error;
        link.SetPort(PortName{1, "/dev/ttyTRACE"}, dir.path());
        link.SetTrace(&trace);
    }
    // The trace's lines without their times; each time checked for its form.
    std::vector<std::string> Lines() {
        trace.Flush();
        std::vector<std::string> lines;
        std::istringstream in(dir.Read("wire.trace"));
        static const std::regex timed("^[0-9]+\\.[0-9]{6} (.*)$");
        std::string line;
        std::getline(in, line);  // the header
        while (std::getline(in, line)) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(line, m, timed)) << line;
            lines.push_back(m.size() > 1 ? m[1].str() : line);
        }
        return lines;
    }
    WireTrace trace;
};

TEST_F(LinkTraceTest, RecordsEveryTransferAndEventOfThePortInOrder) {
    Outcome failure;
    ASSERT_TRUE(link.Open(9600, failure));
    link.Mark("download");
    const std::uint8_t command[] = {0x18, 0x00, 0x2A};
    ASSERT_TRUE(link.Write(command, sizeof command));
    // Two writes close together are still two transfers.
    ASSERT_TRUE(link.Write(command, 1));
    opener.device.Queue({0x11, 0xFE});
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(link.Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(link.Read(buffer, 1), 0);  // brought nothing: no line
    EXPECT_EQ(link.ChangeRate(115200), 0);
    link.Purge();
    link.PurgeReceive();
    opener.device.lineErrors = {0, kLineErrorFrame | kLineErrorOverrun};
    EXPECT_EQ(link.TakeLineErrors(), 0u);
    EXPECT_EQ(link.TakeLineErrors(), 0x0Au);
    link.Mark("program", 0x200);
    link.Close();
    link.Close();  // already closed: nothing more

    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "# opened /dev/ttyTRACE at 9600, DTR=1 RTS=1",
                           "# step download",
                           "TX 18 00 2A",
                           "TX 18",
                           "RX 11 FE",
                           "# rate 115200",
                           "# purge",
                           "# purge receive",
                           "# line errors 0x0A",
                           "# step program 0x000200",
                           "# closed",
                       }));
}

TEST_F(LinkTraceTest, RecordsOnlyWhatCrossedTheLine) {
    Outcome failure;
    ASSERT_TRUE(link.Open(9600, failure));
    // A write that timed out part way: only what went out.
    opener.device.writeAtMost = 2;
    const std::uint8_t block[] = {0x41, 0x42, 0x43};
    (void)link.Write(block, sizeof block);
    opener.device.writeAtMost = -1;
    // A write the device refused put nothing on the line.
    opener.device.failWriteAfterBytes = 0;
    const std::uint8_t byte = 0x55;
    EXPECT_FALSE(link.Write(&byte, 1));
    opener.device.failReads = true;
    std::uint8_t in = 0;
    EXPECT_EQ(link.Read(&in, 1), -1);
    // Taken off the link: nothing more is recorded, not even the close.
    link.SetTrace(nullptr);
    opener.device.failWriteAfterBytes = -1;
    EXPECT_TRUE(link.Write(&byte, 1));
    link.Mark("erase");
    link.Close();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"# opened /dev/ttyTRACE at 9600, DTR=1 RTS=1", "TX 41 42"}));
}

}  // namespace
}  // namespace quillon::testing
