#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/crc_test_fault.hpp"
#include "config/result_file.hpp"
#include "config/timing_log.hpp"
#include "platform/profile_file.hpp"
#include "support/manual_clock.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::ManualClock;
using testing::TempDir;

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
    // A command that started now and ran for `ms` milliseconds.
    void Run(std::uint64_t ms) {
        timer.Restart();
        clock.Advance(ms);
    }
    void Write(int kind) { LogOperationTime(timer, dir.path(), chip, kind); }
    std::string Log() const { return dir.File("TIMETEST.TXT"); }
    TempDir dir;
    ManualClock clock;
    OperationTimer timer{clock};
    std::string chip = "TC350";
};

TEST_F(TimingLogTest, NothingIsWrittenOrCreatedWithoutTheFile) {
    Run(1200);
    Write(kLogBlank);
    EXPECT_FALSE(dir.Exists("TIMETEST.TXT"));
}

TEST_F(TimingLogTest, EmptyFileSwitchesTheLogOnForTodayAndTheChip) {
    dir.Write("TIMETEST.TXT", "");
    clock.stampBaseMs = 10'900;
    Run(1200);
    Write(kLogBlank);
    EXPECT_EQ(dir.Read("TIMETEST.TXT"), "[20261207 - TC350]\r\nBLANK=1.200\r\n");
}

TEST_F(TimingLogTest, EachKindHasItsKeyAndALaterRunReplacesItsValue) {
    dir.Write("TIMETEST.TXT", "");
    const char* keys[] = {"DOWNLOAD", "ERACE", "BLANK", "PROGRAM", "READ", "COPY", "AUTO"};
    for (int kind = kLogDownload; kind <= kLogAuto; ++kind) {
        Run(1000 + static_cast<std::uint64_t>(kind));
        Write(kind);
    }
    for (int kind = kLogDownload; kind <= kLogAuto; ++kind) {
        EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", keys[kind], ""),
                  "1.00" + std::to_string(kind));
    }
    Run(12045);
    Write(kLogErase);
    EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", "ERACE", ""), "12.045");
    EXPECT_EQ(ProfileString(Log(), "20261207 - TC350", "AUTO", ""), "1.006");
}

TEST_F(TimingLogTest, OtherKindsWriteNothing) {
    dir.Write("TIMETEST.TXT", "");
    Run(5);
    Write(7);
    Write(-1);
    EXPECT_EQ(dir.Read("TIMETEST.TXT"), "");
}

TEST_F(TimingLogTest, AnotherDayOrChipGetsItsOwnSectionAndTheOldOnesStay) {
    dir.Write("TIMETEST.TXT", "; my timings\r\n");
    Run(1);
    Write(kLogRead);
    chip = "TC301";
    clock.today = {2027, 1, 2};
    Run(2);
    Write(kLogRead);
    EXPECT_EQ(
        dir.Read("TIMETEST.TXT"),
        "; my timings\r\n[20261207 - TC350]\r\nREAD=0.001\r\n[20270102 - TC301]\r\nREAD=0.002\r\n");
}

// --- CRC test fault

TEST(CrcTestFaultTest, NeverWithoutTheFile) {
    TempDir dir;
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(CrcTestFault(dir.path()), 0);
}

TEST(CrcTestFaultTest, AboutOneBlockIn128WhileTheFileExists) {
    TempDir dir;
    dir.Write("CRCTEST.TXT", "");
    int faults = 0;
    const int draws = 128 * 400;
    for (int i = 0; i < draws; ++i) {
        int f = CrcTestFault(dir.path());
        ASSERT_TRUE(f == 0 || f == 1);
        faults += f;
    }
    // 400 expected; a fixed sequence, so the bounds only guard the rate.
    EXPECT_GT(faults, 300);
    EXPECT_LT(faults, 500);
    std::remove(dir.File("CRCTEST.TXT").c_str());
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(CrcTestFault(dir.path()), 0);
}

// --- result file

TEST(ResultFileTest, SuccessOfAFullOperationIsExactlyOk) {
    TempDir dir;
    dir.Write("MESSFILE.TXT", "NG\r\nan older and much longer message");
    ASSERT_TRUE(WriteResultFile(dir.path(), 306, "ignored text"));
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "OK");
}

TEST(ResultFileTest, AnyOtherCodeIsNgALineEndAndTheTextWithCrLfLineBreaks) {
    TempDir dir;
    ASSERT_TRUE(WriteResultFile(dir.path(), 0, "file open error HexFile decoder"));
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "NG\r\nfile open error HexFile decoder");
    ASSERT_TRUE(WriteResultFile(dir.path(), 307, "line one\nline two\r\nthree\n"));
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "NG\r\nline one\r\nline two\r\nthree\r\n");
    ASSERT_TRUE(WriteResultFile(dir.path(), 1, ""));
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "NG\r\n");
}

TEST(ResultFileTest, UnwritableFolderIsReportedAsAFailure) {
    EXPECT_FALSE(WriteResultFile("/nonexistent-quillon-dir/", 306, ""));
}

}  // namespace
}  // namespace quillon
