#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

std::string SRec2(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{
        static_cast<std::uint8_t>(data.size() + 4), static_cast<std::uint8_t>(address >> 16),
        static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : bytes) sum += b;
    bytes.push_back(static_cast<std::uint8_t>(~sum));
    std::string line = "S2";
    char pair[3];
    for (auto b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line + "\r\n";
}

class CliCommandsTest : public ::testing::Test {
  protected:
    CliCommandsTest() {
        // TC100: two ranges with a gap; TC200: one range of 10000 hex bytes.
        dir.Write(
            "CHIPDEF.INI",
            "[TC100]\r\nDownloadFile=A.BIN\r\nLoadAddress=0\r\nStartAddress=80000,80200\r\n"
            "EndAddress=800FF,802FF\r\nFlashSize=1\r\nClock=10MHz,20MHz\r\nBaud=9600,19200\r\n"
            "FlashArea=1\r\n"
            "[TC200]\r\nDownloadFile=B.BIN\r\nLoadAddress=0\r\nStartAddress=80000\r\n"
            "EndAddress=8FFFF\r\nFlashSize=1\r\nClock=10MHz\r\nBaud=9600\r\n");
    }
    int Run(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"--program-dir", dir.path()});
        out.str("");
        err.str("");
        std::istringstream in(input);
        return RunCli(args, out, err, in);
    }

    TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliCommandsTest, ChecksumPrintsFourDigitsOfTheSelectedChip) {
    dir.Write("a.mhx", SRec2(0x80010, {0x20, 0x0A}) + SRec2(0x80100, {0x55}));
    EXPECT_EQ(Run({"--chip", "tc200", "--checksum", "00", dir.File("a.mhx")}), kExitOk);
    EXPECT_EQ(out.str(), "007F\n");
    // Lower case is taken as the dialog's field takes it.
    EXPECT_EQ(Run({"--chip", "TC200", "--checksum", "ff", dir.File("a.mhx")}), kExitOk);
    // 10000 hex bytes of FF sum to 0; three of them replaced by 20, 0A, 55.
    EXPECT_EQ(out.str(), "FD82\n");
    // TC100 does not count the byte in its gap at 80100.
    EXPECT_EQ(Run({"--chip", "TC100", "--checksum", "00", dir.File("a.mhx")}), kExitOk);
    EXPECT_EQ(out.str(), "002A\n");
    EXPECT_FALSE(dir.Exists("DATAFILE.TXT"));  // selecting by option writes nothing
}

TEST_F(CliCommandsTest, ChipComesFromDatafileWhenNotGiven) {
    dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nRATE=0\r\n");
    dir.Write("a.mhx", SRec2(0x80100, {0x01}));
    EXPECT_EQ(Run({"--checksum", "00", dir.File("a.mhx")}), kExitOk);  // TC200 counts 80100
    EXPECT_EQ(out.str(), "0001\n");
}

TEST_F(CliCommandsTest, DecodeFailuresPrintTheDecodersMessageAndExitNonZero) {
    dir.Write("far.hex", ":020000040009F1\r\n:0100000001FE\r\n");
    EXPECT_EQ(Run({"--checksum", "FF", dir.File("far.hex")}), kExitFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("IntelHex format decoder: address error in 2"), std::string::npos)
        << err.str();

    dir.Write("empty.mhx", "");
    EXPECT_EQ(Run({"--checksum", "FF", dir.File("empty.mhx")}), kExitFailed);
    EXPECT_NE(err.str().find("HexFile decoder: This file is NULL"), std::string::npos) << err.str();

    EXPECT_EQ(Run({"--checksum", "FF", dir.File("missing.mhx")}), kExitFailed);
    EXPECT_NE(err.str().find("HexFile decoder: file open error"), std::string::npos) << err.str();

    dir.Write("bad.mhx", SRec2(0x80000, {1}) + "S4\r\n");
    EXPECT_EQ(Run({"--decode", dir.File("bad.mhx"), dir.File("out.bin")}), kExitFailed);
    EXPECT_NE(err.str().find("S format decoder: S-format error in 2"), std::string::npos)
        << err.str();
    EXPECT_FALSE(dir.Exists("out.bin"));
}

TEST_F(CliCommandsTest, BadFillSetUpOrChipIsAUsageErrorWithoutDecoding) {
    dir.Write("bad.mhx", "S4\r\n");
    EXPECT_EQ(Run({"--checksum", "F", dir.File("bad.mhx")}), kExitUsage);
    EXPECT_EQ(Run({"--checksum", "FG", dir.File("bad.mhx")}), kExitUsage);
    EXPECT_EQ(Run({"--checksum", "FFF", dir.File("bad.mhx")}), kExitUsage);
    EXPECT_EQ(err.str().find("S format decoder"), std::string::npos);
    EXPECT_EQ(Run({"--chip", "TC999", "--checksum", "FF", dir.File("bad.mhx")}), kExitUsage);
    EXPECT_NE(err.str().find("chips: TC100, TC200"), std::string::npos) << err.str();
    EXPECT_EQ(
        Run({"--chip", "TC100", "--crystal", "30MHz", "--checksum", "FF", dir.File("bad.mhx")}),
        kExitUsage);
    EXPECT_NE(err.str().find("crystals: 10MHz, 20MHz"), std::string::npos) << err.str();

    out.str("");
    err.str("");
    std::istringstream in;
    TempDir empty;
    EXPECT_EQ(RunCli({"--program-dir", empty.path(), "--checksum", "FF", "x.mhx"}, out, err, in),
              kExitUsage);
    EXPECT_NE(err.str().find("REGIST FAILED!"), std::string::npos) << err.str();
}

TEST_F(CliCommandsTest, DecodeWritesTheRangesOneAfterTheOtherAndKeepsTheOldFileOnFailure) {
    dir.Write("a.mhx",
              SRec2(0x80000, {0x11}) + SRec2(0x800FF, {0x22, 0x33}) + SRec2(0x802FF, {0x44}));
    ASSERT_EQ(Run({"--chip", "TC100", "--decode", dir.File("a.mhx"), dir.File("out.bin")}), kExitOk)
        << err.str();
    const std::string bytes = dir.Read("out.bin");
    ASSERT_EQ(bytes.size(), 0x200u);
    EXPECT_EQ(bytes[0], '\x11');
    EXPECT_EQ(bytes[0xFF], '\x22');
    EXPECT_EQ(bytes[0x100], '\xFF');  // 80100 is in the gap: the second range starts at 80200
    EXPECT_EQ(bytes[0x1FF], '\x44');

    dir.Write("bad.mhx", SRec2(0x70000, {1}));
    EXPECT_EQ(Run({"--chip", "TC100", "--decode", dir.File("bad.mhx"), dir.File("out.bin")}),
              kExitFailed);
    EXPECT_EQ(dir.Read("out.bin"), bytes);

    // A folder that does not exist cannot take the file: found before any
    // work, a set-up failure naming the path and the system's reason.
    EXPECT_EQ(Run({"--chip", "TC100", "--decode", dir.File("a.mhx"), dir.File("no/such/out.bin")}),
              kExitUsage);
    EXPECT_NE(err.str().find("cannot write " + dir.File("no/such/out.bin") +
                             ": No such file or directory"),
              std::string::npos)
        << err.str();
}

TEST_F(CliCommandsTest, HelpGoesToStandardOutputAndNoCommandIsAUsageError) {
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("--checksum XX HEXFILE"), std::string::npos);
    EXPECT_EQ(Run({}), kExitUsage);
    EXPECT_NE(err.str().find("Usage:"), std::string::npos);
    EXPECT_EQ(Run({"--checksum"}), kExitUsage);
}

TEST_F(CliCommandsTest, CommandsNeedingTheControlProgramAreRefusedBeforeADownload) {
    // The dialog offers Blank Check only after a download; so does the console.
    EXPECT_EQ(Run({"--chip", "TC100", "--blank-check"}), kExitUsage);
    EXPECT_NE(err.str().find("--blank-check needs the control program"), std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"--chip", "TC100", "--copy", dir.File("out.mhx")}), kExitUsage);
    EXPECT_FALSE(dir.Exists("out.mhx"));
}

TEST_F(CliCommandsTest, ListShowsChipsAndCrystalsWithTheSelectionMarked) {
    EXPECT_EQ(Run({"--chip", "TC200", "--list"}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "  TC100: 10MHz 20MHz\n* TC200: *10MHz\n");
}

TEST_F(CliCommandsTest, ChecksumOfANamedFileLeavesTheSelectedHexFileForLaterCommands) {
    dir.Write("a.mhx", SRec2(0x80010, {0x20, 0x0A}));
    dir.Write("DATAFILE.TXT", "[Recent]\r\nCPU=1\r\nRATE=0\r\nWrite File=" + dir.File("sel.mhx") +
                                  "\r\n");
    dir.Write("sel.mhx", SRec2(0x80000, {0x01}));
    EXPECT_EQ(Run({"--checksum", "00", dir.File("a.mhx"), "--checksum", "00", dir.File("sel.mhx")}),
              kExitOk)
        << err.str();
    EXPECT_EQ(out.str(), "002A\n0001\n");
}

// The result file keeps the system's own text; the terminal learns the path
// and the reason, and the status says the set-up was wrong.
TEST_F(CliCommandsTest, BatchWithoutAHexFileRecordsTheFailureAndExitsNonZero) {
    EXPECT_EQ(Run({"--chip", "TC200", dir.File("missing.mhx"), "no_reset"}), kExitUsage);
    EXPECT_EQ(dir.Read("MESSFILE.TXT"), "NG\r\n No.101 Please set \"hex file\"\r\n");
    EXPECT_NE(out.str().find("NG\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("cannot read the hex file " + dir.File("missing.mhx") +
                             ": No such file or directory"),
              std::string::npos)
        << err.str();
}

}  // namespace
}  // namespace quillon
