// Full Operation through the controller, as the main dialog's button runs it,
// against quillon-sim over a pseudo-terminal: the blank and the non-blank
// flash, the chip whose security answer asks for an erase first, a sector
// chip with only its work flash ticked, and the refusals before any window.

#include <gtest/gtest.h>

#include <algorithm>

#include "config/catalog.hpp"
#include "app/controller.hpp"
#include "e2e/controller_host.hpp"

namespace quillon::testing {
namespace {

std::string Step(int id) {
    return StepText(Language::English, id, true);
}
std::string Text(int id) {
    return CatalogText(Language::English, id);
}

// Data in three program blocks of TC370 (8 KiB each), the last at the top.
TargetData Tc370Data(int seed) {
    return {{0x00000, Pattern(0x300, seed)},
            {0x04100, Pattern(0x100, seed + 1)},
            {0x3FFF0, Pattern(0x10, seed + 2)}};
}

// What every command leaves behind: no window, the port closed.
void ExpectCommandEnded(const ControllerHost& host) {
    EXPECT_EQ(host.factory.live, 0) << "the progress window is destroyed";
    EXPECT_EQ(host.ctx.progress, nullptr);
    EXPECT_FALSE(host.ctx.link.IsOpen()) << "the port is closed";
    EXPECT_EQ(host.t.device, nullptr);
}

void ExpectDownloadedState(const ControllerHost& host) {
    const RecordingPanel& panel = host.t.panel;
    EXPECT_EQ(host.ctx.downloaded, 1);
    for (int id :
         {kIdErase, kIdBlankCheck, kIdProgramVerify, kIdReadCompare, kIdCopy, kIdFullOperation}) {
        EXPECT_TRUE(panel.IsEnabled(id)) << id;
    }
    for (int id : {kIdMainFlash, kIdMainAreaText, kIdWorkFlash, kIdWorkAreaText}) {
        EXPECT_FALSE(panel.IsEnabled(id)) << id;
    }
}

TEST(FullOperationE2E, BlankFlashIsProgrammedWithoutAnErase) {
    ControllerHost host("TC370");
    host.t.dir.Write("TIMETEST.TXT", "");
    host.t.dir.Write("MESSFILE.TXT", "NG\r\nan older outcome");
    const TargetData data = Tc370Data(1);
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(host.StartSim());

    OnFullOperation(host.ctx);

    EXPECT_EQ(host.ctx.lastReport.code, kMsgFullOperationOk) << host.ctx.lastReport.text;
    EXPECT_EQ(host.ResultFile(), "OK");
    ExpectCommandEnded(host);
    ExpectDownloadedState(host);

    ASSERT_EQ(host.factory.windows.size(), 1u);
    const RecordingProgress& window = *host.factory.windows[0].rec;
    EXPECT_EQ(host.factory.windows[0].flags, 13);
    EXPECT_EQ(window.calls.front(), "SetButtons 13 centre title=Full Operation");
    // Download, probe, program: no erase and no blank check on a blank flash.
    EXPECT_TRUE(host.factory.AnyMessageHas(Step(kMsgDownloading)));
    EXPECT_TRUE(host.factory.AnyMessageHas(Step(kMsgProgramming)));
    EXPECT_FALSE(host.factory.AnyMessageHas(Step(kMsgErasing)));
    EXPECT_FALSE(host.factory.AnyMessageHas(Step(kMsgBlankChecking)));
    // Exactly one result shown: the one of the whole operation.
    EXPECT_EQ(window.message, Text(kMsgFullOperationOk));
    EXPECT_EQ(std::count_if(window.calls.begin(), window.calls.end(),
                            [](const std::string& c) { return c.rfind("SetIcon", 0) == 0; }),
              1);
    ASSERT_EQ(host.t.prompt.asked.size(), 1u) << "the reset prompt";
    EXPECT_EQ(host.t.prompt.asked[0].caption, "flash");

    // The timing log has the whole operation, and nothing for its steps.
    const std::string log = host.t.dir.Read("TIMETEST.TXT");
    EXPECT_NE(log.find(" - TC370]"), std::string::npos) << log;
    EXPECT_NE(log.find("AUTO="), std::string::npos) << log;
    EXPECT_EQ(log.find("DOWNLOAD="), std::string::npos) << log;

    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

TEST(FullOperationE2E, NonBlankFlashIsErasedCheckedAndProgrammed) {
    ControllerHost host("TC370");
    // Old contents where the new image has data and where it has none.
    host.PrefillFlash({{0x00000, Pattern(0x400, 9)}, {0x20000, Pattern(0x20, 8)}});
    const TargetData data = Tc370Data(2);
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(host.StartSim());

    OnFullOperation(host.ctx);

    EXPECT_EQ(host.ctx.lastReport.code, kMsgFullOperationOk) << host.ctx.lastReport.text;
    EXPECT_EQ(host.ResultFile(), "OK");
    ExpectCommandEnded(host);
    const auto messages = host.factory.Messages();
    auto at = [&](const std::string& m) {
        return std::find_if(messages.begin(), messages.end(),
                            [&](const std::string& s) { return s.find(m) != std::string::npos; }) -
               messages.begin();
    };
    EXPECT_LT(at(Step(kMsgDownloading)), at(Step(kMsgErasing)));
    EXPECT_LT(at(Step(kMsgErasing)), at(Step(kMsgBlankChecking)));
    EXPECT_LT(at(Step(kMsgBlankChecking)), at(Step(kMsgProgramming)));
    EXPECT_LT(at(Step(kMsgProgramming)), static_cast<long>(messages.size()));
    EXPECT_FALSE(host.t.dir.Exists("TIMETEST.TXT")) << "the timing log is never created";

    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

TEST(FullOperationE2E, SecurityChipAskingForAnEraseIsErasedThroughTheBootRomFirst) {
    ControllerHost host("TC326");
    host.PrefillFlash({{0x10000, Pattern(0x40, 3)}});
    const TargetData data = {{0x00200, Pattern(0x200, 4)}, {0xFFE00, Pattern(0x20, 5)}};
    host.UseHexFile("app.mhx", SRecordsOf(data));
    ASSERT_TRUE(host.StartSim({"--key", "tc326.key", "--erase-first"}));

    OnFullOperation(host.ctx);

    EXPECT_EQ(host.ctx.lastReport.code, kMsgFullOperationOk) << host.ctx.lastReport.text << "\n"
                                                             << host.t.dir.Read("sim.log");
    EXPECT_EQ(host.ResultFile(), "OK");
    ExpectCommandEnded(host);
    ExpectDownloadedState(host);
    const auto messages = host.factory.Messages();
    auto at = [&](const std::string& m) {
        return std::find(messages.begin(), messages.end(), m) - messages.begin();
    };
    // Erase (through the boot ROM), download, blank check, program.
    EXPECT_LT(at(Step(kMsgErasing) + "(burnin)"), at(Step(kMsgDownloading)));
    EXPECT_LT(at(Step(kMsgDownloading)), at(Step(kMsgBlankChecking)));
    EXPECT_LT(at(Step(kMsgBlankChecking)), at(Step(kMsgProgramming)));
    EXPECT_LT(at(Step(kMsgProgramming)), static_cast<long>(messages.size()));

    std::string why;
    EXPECT_TRUE(host.FlashHolds(host.StopSimAndReadFlash(), data, why)) << why;
}

TEST(FullOperationE2E, SectorChipWithOnlyTheWorkFlashTickedLeavesTheMainFlashAlone) {
    ControllerHost host("TC350");
    const TargetData oldMain = {{0x10000, Pattern(0x100, 6)}};
    TargetData old = oldMain;
    old[0xF0100] = Pattern(0x80, 7);
    host.PrefillFlash(old);
    const TargetData work = {{0xF0000, Pattern(0x300, 8)}, {0xF1F00, Pattern(0x100, 9)}};
    host.UseHexFile("work.hex", IntelHexOf(work));
    host.ctx.mainFlashSelected = 0;
    host.ctx.workFlashSelected = 1;
    ASSERT_TRUE(host.StartSim());

    OnFullOperation(host.ctx);

    EXPECT_EQ(host.ctx.lastReport.code, kMsgFullOperationOk) << host.ctx.lastReport.text;
    EXPECT_EQ(host.ctx.ranges.wholeFlashSelected, 0);
    EXPECT_EQ(host.ctx.ranges.rangeCount, 1);
    EXPECT_EQ(host.ctx.ranges.rangeStart[0], 0xF0000u);
    EXPECT_TRUE(host.factory.AnyMessageHas(Step(kMsgErasing)));
    ExpectCommandEnded(host);

    const std::string flash = host.StopSimAndReadFlash();
    std::string why;
    EXPECT_TRUE(host.FlashHolds(flash, work, why, {{0xF0000, 0xF1FFF}})) << why;
    EXPECT_TRUE(host.FlashHolds(flash, oldMain, why, {{0x00000, 0x3FFFF}})) << why;
}

TEST(FullOperationE2E, MissingHexFileIsRefusedBeforeAnyWindowOrPort) {
    for (const std::string name : {"absent.mhx", ""}) {
        ControllerHost host("TC370");
        host.ctx.hexFilePath = name.empty() ? "" : host.t.dir.File(name);
        host.t.panel.enabled.clear();

        OnFullOperation(host.ctx);

        EXPECT_EQ(host.ctx.lastReport.code, kMsgSetHexFile);
        EXPECT_TRUE(host.factory.windows.empty());
        EXPECT_EQ(host.t.opens, 0);
        ASSERT_EQ(host.t.prompt.asked.size(), 1u);
        EXPECT_EQ(host.t.prompt.asked[0].caption, "Flash Memory Writer");
        EXPECT_EQ(host.t.prompt.asked[0].text, "ERROR !!    \r\n" + Text(kMsgSetHexFile));
        EXPECT_EQ(host.ResultFile(), "NG\r\nERROR !!    \r\n" + Text(kMsgSetHexFile));
        EXPECT_TRUE(host.t.panel.enabled.empty()) << "the buttons are left as they were";
    }
}

TEST(FullOperationE2E, NoAreaTickedShowsTheNoticeAndOpensNothing) {
    ControllerHost host("TC350");
    host.UseHexFile("app.mhx", SRecordsOf({{0xF0000, Pattern(0x10, 1)}}));
    host.ctx.downloaded = 1;
    host.ctx.mainFlashSelected = 0;
    host.ctx.workFlashSelected = 0;

    for (void (*command)(OperationContext&) : {&OnFullOperation, &OnDownload}) {
        host.t.prompt.asked.clear();
        command(host.ctx);
        ASSERT_EQ(host.t.prompt.asked.size(), 1u);
        EXPECT_EQ(host.t.prompt.asked[0].text, "Please Select the area of writing.");
        EXPECT_EQ(host.t.prompt.asked[0].caption, "flash");
        EXPECT_EQ(host.t.prompt.asked[0].icon, PromptIcon::Exclamation);
        EXPECT_TRUE(host.factory.windows.empty());
        EXPECT_EQ(host.t.opens, 0);
        EXPECT_EQ(host.ctx.downloaded, 0) << "the buttons were reset first";
        EXPECT_FALSE(host.t.panel.IsEnabled(kIdBlankCheck));
        EXPECT_TRUE(host.t.panel.IsEnabled(kIdFullOperation));
    }
}

}  // namespace
}  // namespace quillon::testing
