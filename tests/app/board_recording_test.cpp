// A session's runs in the station's record, over the in-memory store: the
// rework number, a compare without one, a place outside the areas, and the
// desktop program's one run per command. (Numbers taken, refused and
// spooled are proven end to end.)

#include "app/board_recording.hpp"

#include <gtest/gtest.h>

#include "app/command_sequence.hpp"
#include "app/operation_context.hpp"
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
        std::optional<SerialPlacement> placement;
        if (serial) {
            SerialPlacement s;
            std::string error;
            ASSERT_TRUE(ParseSerialPlacement(serial, s, error)) << error;
            placement = s;
        }
        auto records = records_;
        t.ctx.records.station = std::make_shared<StationRecords>(
            [records](std::string&) { return std::make_unique<MemoryRecordStore>(records); }, "st1",
            t.dir.path(), placement);
        t.ctx.records.serialWanted = serial != nullptr;
    }

    TestContext t;
    std::shared_ptr<MemoryRecords> records_ = std::make_shared<MemoryRecords>();
};

TEST_F(BoardRecordingTest, ReworkUsesTheBoardsOwnNumberAndACompareNeedsOne) {
    Keep("1FF0:u32be");
    t.ctx.records.serialValue = 77;
    ASSERT_TRUE(PrepareBoardImage(t.ctx, false));
    EXPECT_EQ(t.ctx.image.bytes[0xFF3], 77);  // u32be at 1FF0 of an image from 1000
    EXPECT_TRUE(records_->runs.empty());  // no number taken
    // The run's one number serves its compare too; the next run without
    // the number cannot compare.
    t.ctx.records.serialValue.reset();
    ASSERT_TRUE(PrepareBoardImage(t.ctx, false));
    EXPECT_EQ(FinishBoardRun(t.ctx, true, "OK").serial, std::optional<std::uint64_t>(77));
    EXPECT_FALSE(PrepareBoardImage(t.ctx, false));
    EXPECT_NE(t.ctx.lastReport.text.find("--serial-value"), std::string::npos);
    // A place outside the areas is refused before a number is taken.
    Keep("3000:u32be");
    EXPECT_FALSE(PrepareBoardImage(t.ctx, true));
    ASSERT_EQ(records_->runs.size(), 1u);  // the rework run alone
    EXPECT_FALSE(records_->runs.begin()->second.serialTaken);
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
