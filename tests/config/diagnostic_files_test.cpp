#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/crc_test_fault.hpp"
#include "config/result_file.hpp"
#include "config/timing_log.hpp"
#include "platform/profile_file.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::TestContext;

// --- timing log

TEST(FormatElapsedTest, BorrowsASecondWhenTheMillisecondsUnderflow) {
    EXPECT_EQ(FormatElapsed({10, 900}, {12, 100}), "1.200");
    EXPECT_EQ(FormatElapsed({10, 100}, {12, 900}), "2.800");
    EXPECT_EQ(FormatElapsed({10, 100}, {10, 100}), "0.000");
    EXPECT_EQ(FormatElapsed({10, 999}, {11, 4}), "0.005");
    EXPECT_EQ(FormatElapsed({0, 0}, {3600, 45}), "3600.045");
}

class TimingLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        t.ctx.targetList = {"TC301", "TC350"};
        t.ctx.chipIndex = 1;
    }
    // A command that started now and ran for `ms` milliseconds.
    void Run(std::uint64_t ms) {
        t.ctx.operationStartTime = t.clock.Now();
        t.clock.Advance(ms);
    }
    std::string Log() const { return t.dir.File("TIMETEST.TXT"); }
    TestContext t;
};

TEST_F(TimingLogTest, NothingIsWrittenOrCreatedWithoutTheFile) {
    Run(1200);
    LogOperationTime(t.ctx, kLogBlank);
    EXPECT_FALSE(t.dir.Exists("TIMETEST.TXT"));
}

TEST_F(TimingLogTest, EmptyFileSwitchesTheLogOnForTodayAndTheChip) {
    t.dir.Write("TIMETEST.TXT", "");
    t.clock.stampBaseMs = 10'900;
    Run(1200);
    LogOperationTime(t.ctx, kLogBlank);
    EXPECT_EQ(t.dir.Read("TIMETEST.TXT"), "[20261207 - TC350]\r\nBLANK=1.200\r\n");
}

TEST_F(TimingLogTest, EachKindHasItsKeyAndALaterRunReplacesItsValue) {
    t.dir.Write("TIMETEST.TXT", "");
    const char* keys[] = {"DOWNLOAD", "ERACE", "BLANK", "PROGRAM", "READ", "COPY", "AUTO"};
    for (int kind = kLogDownload; kind <= kLogAuto; ++kind) {
        Run(1000 + static_cast<std::uint64_t>(kind));
        LogOperationTime(t.ctx, kind);
    }
    for (int kind = kLogDownload; kind <= kLogAuto; ++kind) {
        EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", keys[kind], ""),
                  "1.00" + std::to_string(kind));
    }
    Run(12045);
    LogOperationTime(t.ctx, kLogErase);
    EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", "ERACE", ""), "12.045");
    EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", "AUTO", ""), "1.006");
}

TEST_F(TimingLogTest, OtherKindsWriteNothing) {
    t.dir.Write("TIMETEST.TXT", "");
    Run(5);
    LogOperationTime(t.ctx, 7);
    LogOperationTime(t.ctx, -1);
    EXPECT_EQ(t.dir.Read("TIMETEST.TXT"), "");
}

TEST_F(TimingLogTest, AnotherDayOrChipGetsItsOwnSectionAndTheOldOnesStay) {
    t.dir.Write("TIMETEST.TXT", "; my timings\r\n");
    Run(1);
    LogOperationTime(t.ctx, kLogRead);
    t.ctx.chipIndex = 0;
    t.clock.today = {2027, 1, 2};
    Run(2);
    LogOperationTime(t.ctx, kLogRead);
    EXPECT_EQ(
        t.dir.Read("TIMETEST.TXT"),
        "; my timings\r\n[20261207 - TC350]\r\nREAD=0.001\r\n[20270102 - TC301]\r\nREAD=0.002\r\n");
}

// --- CRC test fault

TEST(CrcTestFaultTest, NeverWithoutTheFile) {
    TestContext t;
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(CrcTestFault(t.ctx.programDir), 0);
}

TEST(CrcTestFaultTest, AboutOneBlockIn128WhileTheFileExists) {
    TestContext t;
    t.dir.Write("CRCTEST.TXT", "");
    int faults = 0;
    const int draws = 128 * 400;
    for (int i = 0; i < draws; ++i) {
        int f = CrcTestFault(t.ctx.programDir);
        ASSERT_TRUE(f == 0 || f == 1);
        faults += f;
    }
    // 400 expected; a fixed sequence, so the bounds only guard the rate.
    EXPECT_GT(faults, 300);
    EXPECT_LT(faults, 500);
    std::remove(t.dir.File("CRCTEST.TXT").c_str());
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(CrcTestFault(t.ctx.programDir), 0);
}

// --- result file

TEST(ResultFileTest, SuccessOfAFullOperationIsExactlyOk) {
    TestContext t;
    t.dir.Write("MESSFILE.TXT", "NG\r\nan older and much longer message");
    ASSERT_TRUE(WriteResultFile(t.ctx.programDir, 306, "ignored text"));
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "OK");
}

TEST(ResultFileTest, AnyOtherCodeIsNgALineEndAndTheTextWithCrLfLineBreaks) {
    TestContext t;
    ASSERT_TRUE(WriteResultFile(t.ctx.programDir, 0, "file open error HexFile decoder"));
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nfile open error HexFile decoder");
    ASSERT_TRUE(WriteResultFile(t.ctx.programDir, 307, "line one\nline two\r\nthree\n"));
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\nline one\r\nline two\r\nthree\r\n");
    ASSERT_TRUE(WriteResultFile(t.ctx.programDir, 1, ""));
    EXPECT_EQ(t.dir.Read("MESSFILE.TXT"), "NG\r\n");
}

TEST(ResultFileTest, UnwritableFolderIsReportedAsAFailure) {
    EXPECT_FALSE(WriteResultFile("/nonexistent-quillon-dir/", 306, ""));
}

}  // namespace
}  // namespace quillon
