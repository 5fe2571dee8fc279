// A session's runs in the station's record, over the in-memory store: the
// number taken before anything is sent and written into the image, a store
// that cannot be reached refusing the run (nothing programmed without a
// recorded number) and keeping its record in the spool, the rework number,
// and the desktop program's one run per command.

#include "app/board_recording.hpp"

#include <gtest/gtest.h>

#include "app/command_sequence.hpp"
#include "app/operation_context.hpp"
#include "records/spool.hpp"
#include "support/memory_record_store.hpp"
#include "support/test_context.hpp"

namespace quillon {
namespace {

using testing::MemoryRecords;
using testing::MemoryRecordStore;
using testing::TestContext;

class BoardRecordingTest : public ::testing::Test {
  protected:
    BoardRecordingTest() {
        t.ctx.ranges.rangeStart[0] = 0x1000;
        t.ctx.ranges.rangeEnd[0] = 0x1FFF;
        t.ctx.ranges.rangeCount = 1;
        t.ctx.rangesBuilt = true;
        t.ctx.batchMode = true;
        t.ctx.writesResultFile = false;
    }
    void Keep(const char* serial) {
        std::optional<SerialSpec> spec;
        if (serial) {
            SerialSpec s;
            std::string error;
            ASSERT_TRUE(ParseSerialSpec(serial, s, error)) << error;
            spec = s;
        }
        auto records = records_;
        t.ctx.records.station = std::make_shared<StationRecords>(
            [records](std::string&) { return std::make_unique<MemoryRecordStore>(records); }, "st1",
            t.dir.path(), spec);
        t.ctx.records.serialWanted = serial != nullptr;
    }
    std::uint32_t ImageWord(std::uint32_t address) const {
        const auto& b = t.ctx.image.bytes;
        const std::size_t at = address - 0x1000;
        return std::uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    }

    TestContext t;
    std::shared_ptr<MemoryRecords> records_ = std::make_shared<MemoryRecords>();
};

TEST_F(BoardRecordingTest, ANumberIsTakenRecordedAndWrittenBeforeAnythingIsSent) {
    Keep("1FF0:u32be:500");
    ASSERT_TRUE(PrepareBoardImage(t.ctx, true));
    EXPECT_EQ(ImageWord(0x1FF0), 500u);
    ASSERT_EQ(records_->runs.size(), 1u);
    EXPECT_EQ(records_->runs.begin()->second.state, RunState::Unfinished);
    EXPECT_TRUE(t.port().tx.empty());

    const FinishedRun run = FinishBoardRun(t.ctx, true, "OK");
    EXPECT_EQ(run.fate, RecordFate::Stored);
    EXPECT_EQ(run.serial, std::optional<std::uint64_t>(500));
    ASSERT_EQ(records_->runs.size(), 1u);  // the same row, finished
    const BoardRun& stored = records_->runs.begin()->second;
    EXPECT_EQ(stored.state, RunState::Ok);
    EXPECT_EQ(stored.station, "st1");
    EXPECT_EQ(stored.serial, std::optional<std::uint64_t>(500));
    ASSERT_FALSE(stored.steps.empty());
    EXPECT_EQ(stored.steps[0].name, "serial number");
}

TEST_F(BoardRecordingTest, WithoutAReachableStoreTheBoardIsRefusedAndItsRecordSpooled) {
    Keep("1FF0:u32be");
    records_->down = true;
    EXPECT_FALSE(PrepareBoardImage(t.ctx, true));
    EXPECT_EQ(ImageWord(0x1FF0), 0xFFFFFFFFu);
    EXPECT_NE(t.ctx.lastReport.text.find("no serial number could be taken"), std::string::npos)
        << t.ctx.lastReport.text;
    const FinishedRun run = FinishBoardRun(t.ctx, false, t.ctx.lastReport.text);
    EXPECT_EQ(run.fate, RecordFate::Spooled);
    EXPECT_NE(run.note.find(kSpoolFileName), std::string::npos) << run.note;
    EXPECT_EQ(SpooledRuns(t.dir.path()), 1);

    // The next run that reaches the store moves the spool in first.
    records_->down = false;
    Keep(nullptr);
    (void)FinishBoardRun(t.ctx, true, "OK");
    EXPECT_EQ(SpooledRuns(t.dir.path()), 0);
    EXPECT_EQ(records_->runs.size(), 2u);
}

TEST_F(BoardRecordingTest, ReworkUsesTheBoardsOwnNumberAndACompareNeedsOne) {
    Keep("1FF0:u32be");
    t.ctx.records.serialValue = 77;
    ASSERT_TRUE(PrepareBoardImage(t.ctx, false));
    EXPECT_EQ(ImageWord(0x1FF0), 77u);
    EXPECT_TRUE(records_->runs.empty());  // no number taken

    t.ctx.records.serialValue.reset();
    EXPECT_FALSE(PrepareBoardImage(t.ctx, false));
    EXPECT_NE(t.ctx.lastReport.text.find("--serial-value"), std::string::npos);
    // A place outside the areas is refused before a number is taken.
    Keep("3000:u32be");
    EXPECT_FALSE(PrepareBoardImage(t.ctx, true));
    EXPECT_TRUE(records_->runs.empty());
}

TEST_F(BoardRecordingTest, TheDesktopProgramRecordsEachCommandThatRanAStep) {
    Keep(nullptr);
    t.ctx.records.perCommand = true;
    EndCommand(t.ctx);  // a command that ran no step
    EXPECT_TRUE(records_->runs.empty());
    {
        JournalStep step(t.ctx, "erase");
    }
    EndCommand(t.ctx);
    {
        JournalStep step(t.ctx, "blank check");
        step.Ended(false);
    }
    EndCommand(t.ctx);
    ASSERT_EQ(records_->runs.size(), 2u);
    int ng = 0;
    for (const auto& [key, run] : records_->runs) {
        ASSERT_EQ(run.steps.size(), 1u);
        ng += run.state == RunState::Ng ? 1 : 0;
    }
    EXPECT_EQ(ng, 1);
}

}  // namespace
}  // namespace quillon
