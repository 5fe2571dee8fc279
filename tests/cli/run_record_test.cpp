// The --json record: the document parses back to what the run held, whatever
// the names in it, and a record that cannot be written fails the run.

#include "cli/run_record.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_run.hpp"
#include "app/decode_step.hpp"
#include "app/operation_context.hpp"
#include "image/checksum.hpp"
#include "platform/paths.hpp"
#include "support/temp_dir.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using Json = nlohmann::json;
using testing::TempDir;

StepRecord Step(std::string name, std::int64_t seconds, int ms, std::int64_t durationMs,
                std::uint64_t bytes) {
    StepRecord s;
    s.name = std::move(name);
    s.start = TimeStamp{seconds, ms};
    s.durationMs = durationMs;
    s.bytes = bytes;
    return s;
}

RunRecord SampleRecord() {
    RunRecord record;
    record.chip = "TC370";
    record.crystal = "10MHz";
    record.hexFile = "/tmp/a \"quoted\"\nname \xE9.mhx";  // Latin-1 é: not UTF-8
    record.checksum = 0xC280;
    record.steps.push_back(Step("decode", 0, 5, 0, 0));
    StepRecord program = Step("program", 951782400, 999, 2000, 262144);
    program.reported = true;
    program.code = 13;
    program.severity = 1;
    program.ok = false;
    program.resultText = "NG\r\nProgram error";
    BoardRecord board{"COM3", "/dev/ttyUSB0", false, "Program error", {program}};
    record.boards.push_back(board);
    record.exitStatus = 1;
    return record;
}

TEST(RunRecordTest, ParsesBackWithTimesRatesAndOutcomes) {
    const Json doc = Json::parse(RunRecordJson(SampleRecord()));
    EXPECT_EQ(doc["chip"], "TC370");
    EXPECT_EQ(doc["crystal"], "10MHz");
    EXPECT_EQ(doc["hexFile"]["checksum"], "C280");
    EXPECT_EQ(doc["hexFile"]["path"], "/tmp/a \"quoted\"\nname \xEF\xBF\xBD.mhx");
    EXPECT_FALSE(doc["ok"]);
    EXPECT_EQ(doc["exitStatus"], 1);

    const Json& decode = doc["steps"][0];
    EXPECT_EQ(decode["start"], "1970-01-01T00:00:00.005Z");
    EXPECT_TRUE(decode["bytesPerSecond"].is_null()) << "no rate for a step of no time";
    EXPECT_TRUE(decode["outcome"].is_null());

    ASSERT_EQ(doc["boards"].size(), 1u);
    const Json& board = doc["boards"][0];
    EXPECT_EQ(board["port"], "COM3");
    EXPECT_EQ(board["device"], "/dev/ttyUSB0");
    const Json& program = board["steps"][0];
    EXPECT_EQ(program["start"], "2000-02-29T00:00:00.999Z");
    EXPECT_EQ(program["bytesPerSecond"], 131072);
    EXPECT_FALSE(program["ok"]);
    EXPECT_EQ(program["outcome"], (Json{{"code", 13}, {"severity", 1}, {"text", "NG\r\nProgram error"}}));
}

TEST(RunRecordTest, OkOnlyWithExitZeroAndEveryBoardOk) {
    RunRecord record = SampleRecord();
    record.boards[0].ok = true;
    record.exitStatus = 0;
    EXPECT_TRUE(Json::parse(RunRecordJson(record))["ok"]);
    record.boards.push_back(BoardRecord{"COM4", "/dev/ttyUSB1", false, "NG", {}});
    EXPECT_FALSE(Json::parse(RunRecordJson(record))["ok"]);
    record.boards.clear();
    EXPECT_FALSE(Json::parse(RunRecordJson(record))["ok"]) << "no board ran";
    record.hexFile.clear();
    EXPECT_TRUE(Json::parse(RunRecordJson(record))["hexFile"].is_null());
}

TEST(RunRecordTest, UnwritableRecordFailsAGoodRunAndLeavesNothing) {
    TempDir dir;
    std::ostringstream err;
    const std::string path = dir.File("missing/run.json");
    EXPECT_EQ(WriteRunRecord(path, SampleRecord(), kExitOk, err, err), kExitFailed);
    EXPECT_NE(err.str().find(path), std::string::npos);
    EXPECT_EQ(WriteRunRecord(path, SampleRecord(), kExitUsage, err, err), kExitUsage);
    EXPECT_EQ(WriteRunRecord(std::nullopt, SampleRecord(), kExitOk, err, err), kExitOk);

    EXPECT_EQ(WriteRunRecord(dir.File("run.json"), SampleRecord(), kExitOk, err, err), kExitOk);
    EXPECT_EQ(Json::parse(dir.Read("run.json"))["exitStatus"], 0);
}

// The record names the image that was sent: a build server that replaces or
// removes the file while the boards are programmed changes nothing in it.
TEST(RunRecordTest, TheChecksumIsTheDecodedImagesWhateverTheFileBecomes) {
    testing::TestContext t;
    t.ctx.ranges.rangeStart[0] = 0x1000;
    t.ctx.ranges.rangeEnd[0] = 0x1FFF;
    t.ctx.ranges.rangeCount = 1;
    t.ctx.rangesBuilt = true;
    t.ctx.downloaded = 1;
    t.dir.Write("app.mhx", "S1041000AA41\r\n");
    t.ctx.hexFilePath = t.dir.File("app.mhx");
    {
        JournalStep step(t.ctx, "decode");
        ASSERT_TRUE(step.Ended(DecodeHexFile(t.ctx, true, 0xFF)));
    }
    const std::uint16_t sent = SumOverRanges(t.ctx.ranges, t.ctx.image);
    t.dir.Write("app.mhx", "S1041000BB30\r\n");
    EXPECT_EQ(RecordOfRun(t.ctx, {&t.ctx.journal}).checksum, sent);
    ASSERT_TRUE(RemoveFile(t.dir.File("app.mhx")));
    const RunRecord record = RecordOfRun(t.ctx, {&t.ctx.journal});
    EXPECT_EQ(record.checksum, sent);
    EXPECT_EQ(record.hexFile, t.dir.File("app.mhx"));
}

}  // namespace
}  // namespace quillon
