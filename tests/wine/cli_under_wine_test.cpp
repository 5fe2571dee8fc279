// quillon-cli.exe of the Windows build, run by Wine as a user runs it on
// Windows, against the native quillon-sim: the simulator's pseudo-terminal is
// the Wine prefix's COM5, so every byte passes through the Win32 serial code
// and Wine's serial layer. The program's exit status, its console output and
// the files it leaves are checked as on POSIX.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/decode_step.hpp"
#include "config/catalog.hpp"
#include "e2e/controller_host.hpp"
#include "wine/windows_build.hpp"

namespace quillon::testing {
namespace {

constexpr int kComPort = 5;

// Console text as the tests compare it: the C library of a Windows console
// program ends its lines with CR LF.
std::string WithLf(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

class CliUnderWine : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(windows.ok()) << windows.error(); }
    void TearDown() override { unsetenv("QUILLON_LANG"); }

    bool StartSim(std::vector<std::string> extra = {}) {
        extra.insert(extra.end(), {"--link", windows.ComPortLink(kComPort)});
        return host.StartSim(extra);
    }
    // quillon-cli.exe --program-dir DIR ARGS... under Wine.
    ChildResult Cli(const std::vector<std::string>& args, const std::string& programDir = "") {
        std::vector<std::string> all{"--program-dir",
                                     WinePath(programDir.empty() ? host.t.dir.path() : programDir)};
        all.insert(all.end(), args.begin(), args.end());
        return windows.Run("quillon-cli", all);
    }
    std::string Hex() const { return WinePath(host.ctx.hexFilePath); }

    // The copy decoded over the chip's ranges equals the simulator's flash,
    // byte for byte.
    void ExpectCopyHoldsTheFlash(const std::string& copyPath) {
        const std::string flash = host.StopSimAndReadFlash();
        host.ctx.hexFilePath = copyPath;
        ASSERT_TRUE(DecodeHexFile(host.ctx, false, 0x00)) << host.ctx.lastReport.text;
        std::size_t compared = 0;
        const auto& image = host.ctx.image.bytes;
        for (std::uint32_t address = 0; address < image.size(); ++address) {
            const long long at = host.FlashOffset(address);
            if (at < 0) continue;
            ASSERT_EQ(static_cast<std::uint8_t>(flash.at(static_cast<std::size_t>(at))),
                      image[address])
                << "at 0x" << std::hex << address;
            ++compared;
        }
        EXPECT_EQ(compared, flash.size());
    }

    WindowsBuild windows;
    ControllerHost host{"TC370"};
    TargetData data{{0x00000, Pattern(0x300, 4)}, {0x2A000, Pattern(0x80, 5)}};
};

TEST_F(CliUnderWine, BatchFullOperationThenReadCompareAndCopyOnTheSameBoard) {
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(StartSim());
    const ChildResult batch = Cli({Hex(), "com5", "no_reset"});
    EXPECT_EQ(batch.status, 0) << batch.out << batch.err;
    EXPECT_EQ(batch.out, "OK\r\n");
    EXPECT_EQ(host.ResultFile(), "OK");
    EXPECT_NE(batch.err.find("Full Operation -  Programming"), std::string::npos) << batch.err;

    const ChildResult compare =
        Cli({"--port", "com5", "--hex", Hex(), "--no-reset", "--download", "--read-compare"});
    EXPECT_EQ(compare.status, 0) << compare.out << compare.err;
    EXPECT_NE(WithLf(compare.err).find(CatalogText(Language::English, kMsgIdentical)),
              std::string::npos)
        << compare.err;

    const std::string copy = host.t.dir.File("copy.hex");
    const ChildResult copied =
        Cli({"--port", "com5", "--no-reset", "--download", "--copy-ihex", WinePath(copy)});
    EXPECT_EQ(copied.status, 0) << copied.out << copied.err;
    const std::string text = host.t.dir.Read("copy.hex");
    EXPECT_EQ(text.substr(0, 17), ":020000040000FA\r\n");
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.t.dir.Read("flash.bin"), data, why)) << why;
    ExpectCopyHoldsTheFlash(copy);
}

TEST_F(CliUnderWine, TargetSilentAfterTheDownloadIsATimeoutWithThePortReleased) {
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(StartSim({"--fault", "silence-after=48"}));
    const ChildResult r = Cli({Hex(), "com5", "no_reset"});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    const std::string timeout = CatalogText(Language::English, kMsgTimeout);
    const std::string result = host.ResultFile();
    EXPECT_EQ(result.rfind("NG\r\n", 0), 0u) << result;
    EXPECT_NE(result.find(timeout), std::string::npos) << result;
    EXPECT_EQ(WithLf(r.out).rfind("NG\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find("\r\r"), std::string::npos) << "one CR LF per line end";

    // The port was closed: the next run opens it and the target serves it.
    const ChildResult again = Cli({"--port", "com5", "--no-reset", "--download"});
    EXPECT_EQ(again.status, 0) << again.out << again.err;
    EXPECT_NE(WithLf(again.err).find(CatalogText(Language::English, kMsgDownloaded)),
              std::string::npos)
        << again.err;
}

TEST_F(CliUnderWine, JapaneseMessagesAndAFolderNamedInKanaWork) {
    // "プログラム ü": no ANSI code page holds both.
    const std::string folder = host.t.dir.File(
        "\xE3\x83\x97\xE3\x83\xAD\xE3\x82\xB0\xE3\x83\xA9\xE3\x83\xA0 \xC3\xBC/");
    std::filesystem::create_directory(folder);
    CopyExamplesTo(folder);
    ASSERT_TRUE(StartSim());
    setenv("QUILLON_LANG", "ja", 1);
    const std::string copy = folder + "\xE3\x82\xB3\xE3\x83\x94\xE3\x83\xBC.hex";  // コピー.hex
    const ChildResult r = Cli(
        {"--port", "com5", "--chip", "TC370", "--no-reset", "--download", "--copy-ihex",
         WinePath(copy)},
        folder);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    for (int code : {kMsgDownloaded, kMsgCopied}) {
        EXPECT_NE(WithLf(r.err).find(CatalogText(Language::Japanese, code)), std::string::npos)
            << code << "\n"
            << r.err;
    }
    EXPECT_TRUE(std::filesystem::exists(copy));
    ExpectCopyHoldsTheFlash(copy);
}

}  // namespace
}  // namespace quillon::testing
