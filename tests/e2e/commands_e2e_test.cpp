// The main dialog's commands one by one through the controller, against
// quillon-sim over a pseudo-terminal: the standalone commands chained after
// one download (Copy in both formats read back and compared with the flash),
// a plain Download that the security chip answers with 0x14, a port that
// cannot be opened, and a progress window that cannot be made.

#include <gtest/gtest.h>

#include <algorithm>

#include "config/catalog.hpp"
#include "app/controller.hpp"
#include "app/decode_step.hpp"
#include "e2e/controller_host.hpp"
#include "image/flash_image.hpp"

namespace quillon::testing {
namespace {

std::string Text(int id) {
    return CatalogText(Language::English, id);
}

void ExpectCommandEnded(const ControllerHost& host) {
    EXPECT_EQ(host.factory.live, 0) << "the progress window is destroyed";
    EXPECT_EQ(host.ctx.progress, nullptr);
    EXPECT_FALSE(host.ctx.link.IsOpen()) << "the port is closed";
    EXPECT_EQ(host.t.device, nullptr);
}

bool HasCall(const RecordingProgress& window, const std::string& call) {
    return std::find(window.calls.begin(), window.calls.end(), call) != window.calls.end();
}

TEST(CommandsE2E, StandaloneCommandsChainedAfterOneDownload) {
    ControllerHost host("TC370");
    host.t.dir.Write("TIMETEST.TXT", "");
    const TargetData data = {{0x00000, Pattern(0x200, 1)}, {0x12340, Pattern(0x40, 2)}};
    host.UseHexFile("app.mhx", SRecordsOf(data));
    host.PrefillFlash({{0x30000, Pattern(0x10, 3)}});
    ASSERT_TRUE(host.StartSim());

    struct Step {
        void (*command)(OperationContext&);
        const char* title;
        int code;
        const char* logKey;
    };
    const Step steps[] = {
        {&OnDownload, "SetTitle Download", kMsgDownloaded, "DOWNLOAD="},
        {&OnErase, "SetTitle Erase", kMsgErased, "ERACE="},
        {&OnBlankCheck, "SetTitle Blank Check", kMsgBlank, "BLANK="},
        {&OnProgramVerify, "SetTitle Program", kMsgProgrammed, "PROGRAM="},
        {&OnReadCompare, "SetTitle Read & Compare", kMsgIdentical, "READ="},
    };
    int opens = 0;
    for (const Step& step : steps) {
        const std::size_t windows = host.factory.windows.size();
        step.command(host.ctx);
        SCOPED_TRACE(step.title);
        EXPECT_EQ(host.ctx.lastReport.code, step.code) << host.ctx.lastReport.text;
        EXPECT_EQ(host.ctx.lastReport.severity, 0);
        ExpectCommandEnded(host);
        EXPECT_EQ(host.ctx.downloaded, 1) << "the download carries over";
        ASSERT_EQ(host.factory.windows.size(), windows + 1);
        EXPECT_TRUE(HasCall(*host.factory.windows.back().rec, step.title));
        EXPECT_EQ(host.factory.windows.back().rec->message, Text(step.code));
        EXPECT_NE(host.t.dir.Read("TIMETEST.TXT").find(step.logKey), std::string::npos);
        EXPECT_GT(host.t.opens, opens) << "each command opens the port again";
        opens = host.t.opens;
    }
    EXPECT_EQ(host.factory.windows[0].flags, 8) << "Download: bar only";
    EXPECT_EQ(host.factory.windows[1].flags, 13);
    EXPECT_EQ(host.t.prompt.asked.size(), 1u) << "one reset prompt, for the download";

    // Copy in both formats; each file decodes to what the flash holds.
    const std::string copies[] = {host.t.dir.File("copy.mhx"), host.t.dir.File("copy.hex")};
    for (int intelHex : {0, 1}) {
        host.ctx.copyAsIntelHex = intelHex;
        host.chooser.path = copies[intelHex];
        OnCopy(host.ctx);
        EXPECT_EQ(host.ctx.lastReport.code, kMsgCopied) << host.ctx.lastReport.text;
        ExpectCommandEnded(host);
    }
    EXPECT_NE(host.t.dir.Read("TIMETEST.TXT").find("COPY="), std::string::npos);
    EXPECT_EQ(host.t.dir.Read("copy.mhx").rfind("S", 0), 0u);
    EXPECT_EQ(host.t.dir.Read("copy.hex").rfind(":", 0), 0u);

    // The flash is no longer blank: an information, and still downloaded.
    OnBlankCheck(host.ctx);
    EXPECT_EQ(host.ctx.lastReport.code, kMsgNotErased);
    EXPECT_EQ(host.ctx.downloaded, 1);
    ExpectCommandEnded(host);

    // Another crystal drops the download; the area boxes stay disabled.
    host.ctx.clockIndex = 1;
    OnSelchangeCrystal(host.ctx);
    EXPECT_EQ(host.ctx.downloaded, 0);
    for (int id : {kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy}) {
        EXPECT_FALSE(host.t.panel.IsEnabled(id)) << id;
    }
    EXPECT_FALSE(host.t.panel.IsEnabled(kIdMainFlash));
    EXPECT_TRUE(host.t.panel.IsEnabled(kIdDownload));

    const std::string flash = host.StopSimAndReadFlash();
    std::string why;
    EXPECT_TRUE(host.FlashHolds(flash, data, why)) << why;
    for (const std::string& copy : copies) {
        host.ctx.hexFilePath = copy;
        ASSERT_TRUE(DecodeHexFile(host.ctx, false, 0x00)) << copy;
        for (std::uint32_t a = 0; a <= 0x3FFFF; ++a) {
            if (host.ctx.image.bytes[a] != static_cast<std::uint8_t>(flash[a])) {
                ADD_FAILURE() << copy << " differs from the flash at " << a;
                break;
            }
        }
    }
}

// A board whose RTS holds it in reset, reset by the README's sequence: the
// commands after the download open the port again and must leave it out of
// reset, or the control program is gone and the next command times out.
TEST(CommandsE2E, CommandsAfterADownloadBySequenceKeepTheBoardOutOfReset) {
    ControllerHost host("TC370");
    host.t.board.wired = true;
    host.ctx.request.resetSequence = "DTR=0,RTS=1,WAIT=100,RTS=0";  // as --reset-sequence
    const TargetData data = {{0x00000, Pattern(0x200, 4)}};
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(host.StartSim());

    for (auto command : {&OnDownload, &OnProgramVerify, &OnReadCompare}) command(host.ctx);
    EXPECT_EQ(host.ctx.lastReport.code, kMsgIdentical) << host.ctx.lastReport.text;
    EXPECT_FALSE(host.t.board.lost) << "a command reset the board after the download";
    EXPECT_EQ(host.t.opens, 3);
    EXPECT_TRUE(host.t.prompt.asked.empty()) << "the sequence replaces the question";
    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

// The run sequence starts the new firmware after a good Program & Verify:
// on a board wired for it the lines follow it, and the control program is
// gone; a port without the lines says the firmware was not started.
TEST(CommandsE2E, TheRunSequenceStartsTheNewFirmwareOrSaysWhyNot) {
    for (const bool wired : {true, false}) {
        ControllerHost host("TC370");
        host.t.board.wired = wired;
        host.ctx.request.runSequence = "DTR=1,RTS=1,WAIT=20,RTS=0";
        host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x100, 6)}}));
        ASSERT_TRUE(host.StartSim());
        OnDownload(host.ctx);
        OnProgramVerify(host.ctx);
        const StepRecord& last = host.ctx.journal.Steps().back();
        EXPECT_EQ(last.name, "run sequence");
        EXPECT_EQ(last.ok, wired);
        if (wired) {
            EXPECT_EQ(host.ctx.lastReport.code, kMsgProgrammed);
            ASSERT_GE(host.t.board.lines.size(), 2u);
            EXPECT_TRUE(host.t.board.lines.back().dtr);
            EXPECT_FALSE(host.t.board.lines.back().rts);
            EXPECT_EQ(host.ctx.downloaded, 0) << "the board runs its firmware now";
        } else {
            EXPECT_EQ(host.ctx.lastReport.code, kMsgCannotChangePortSetting);
            EXPECT_NE(host.ctx.lastReport.text.find("no DTR/RTS lines for the run sequence"),
                      std::string::npos)
                << host.ctx.lastReport.text;
        }
    }
}

TEST(CommandsE2E, PlainDownloadAnsweredEraseFirstIsACryptError) {
    ControllerHost host("TC326");
    ASSERT_TRUE(host.StartSim({"--key", "tc326.key", "--erase-first"}));

    OnDownload(host.ctx);

    EXPECT_EQ(host.ctx.lastReport.code, kMsgDownloadError);
    EXPECT_EQ(host.ctx.lastReport.severity, 1);
    EXPECT_EQ(host.ctx.lastReport.text,
              "ERROR !!    CRYPT ERROR : 14H\r\n" + Text(kMsgDownloadError));
    EXPECT_EQ(host.ResultFile(), "NG\r\n" + host.ctx.lastReport.text);
    EXPECT_EQ(host.ctx.downloaded, 0);
    EXPECT_FALSE(host.t.panel.IsEnabled(kIdBlankCheck));
    EXPECT_TRUE(host.t.panel.IsEnabled(kIdErase)) << "TC326 may erase before a download";
    ASSERT_EQ(host.factory.windows.size(), 1u);
    EXPECT_EQ(host.factory.windows[0].flags, 8);
    ExpectCommandEnded(host);
}

TEST(CommandsE2E, PortThatCannotBeOpenedEndsTheCommandAndTheDownloadedState) {
    ControllerHost host("TC370");
    ASSERT_TRUE(host.StartSim());
    OnDownload(host.ctx);
    ASSERT_EQ(host.ctx.lastReport.code, kMsgDownloaded) << host.ctx.lastReport.text;

    host.t.UsePort(host.t.dir.File("no-such-tty"));
    for (void (*command)(OperationContext&) : {&OnBlankCheck, &OnErase}) {
        host.ctx.downloaded = 1;
        const std::size_t windows = host.factory.windows.size();
        command(host.ctx);
        EXPECT_EQ(host.ctx.lastReport.code, kMsgCannotOpenPort);
        EXPECT_EQ(host.ctx.lastReport.severity, 2);
        EXPECT_NE(host.ctx.lastReport.text.find("no-such-tty"), std::string::npos)
            << host.ctx.lastReport.text;
        ASSERT_EQ(host.factory.windows.size(), windows + 1);
        // The error, then the request to download again, both acknowledged.
        const auto& messages = host.factory.windows.back().rec->messages;
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), Text(kMsgRedoDownload));
        ExpectCommandEnded(host);
        EXPECT_EQ(host.ctx.downloaded, 0);
        EXPECT_FALSE(host.t.panel.IsEnabled(kIdBlankCheck));
        EXPECT_EQ(host.t.panel.focused, kIdTargetList);
    }

    // A download that cannot open the port leaves the focus on the target list.
    host.t.panel.focused = 0;
    OnDownload(host.ctx);
    EXPECT_EQ(host.ctx.lastReport.code, kMsgCannotOpenPort);
    EXPECT_EQ(host.t.panel.focused, kIdTargetList);
    EXPECT_EQ(host.ctx.downloaded, 0);
    ExpectCommandEnded(host);
}

TEST(CommandsE2E, ProgressWindowThatCannotBeMadeEndsTheCommandSilently) {
    ControllerHost host("TC370");
    host.UseHexFile("app.mhx", SRecordsOf({{0x00000, Pattern(0x10, 1)}}));
    host.factory.refuse = true;
    for (void (*command)(OperationContext&) :
         {&OnDownload, &OnFullOperation, &OnErase, &OnProgramVerify}) {
        command(host.ctx);
    }
    EXPECT_EQ(host.ctx.lastReport.code, 0);
    EXPECT_EQ(host.t.opens, 0);
    EXPECT_TRUE(host.t.prompt.asked.empty());
    EXPECT_FALSE(host.t.dir.Exists("MESSFILE.TXT"));
}

}  // namespace
}  // namespace quillon::testing
