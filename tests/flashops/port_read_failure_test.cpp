// A port whose reads fail while an operation awaits a status (the adapter
// pulled out): the read failure is reported once, and nothing else is said
// about it, whichever operation and whichever wait it meets.

#include "config/catalog.hpp"
#include "flashops/block_read.hpp"
#include "flashops/erase.hpp"
#include "flashops/program_flash.hpp"
#include "flashops_fixture.hpp"

namespace quillon::testing {
namespace {

enum class Operation { ReadForCompare, ReadForCopy, Program, EraseWhole, EraseSectors };

struct FailingRead {
    const char* name;
    Operation operation;
    // The target's bytes before the port fails, and the read that fails
    // (1 is the first status read).
    Bytes before;
    int failingRead;
};

Bytes BlockWithoutSecondStatus() {
    Bytes b = ReadReply(Bytes(512, 0x5A));
    b.pop_back();
    return b;
}

class PortReadFailureTest : public FlashOpsTest, public ::testing::WithParamInterface<FailingRead> {
  protected:
    void SetUp() override {
        OpenPortNow();
        SetRanges({{0x080000, 0x0803FF}});
        Image(0x080000) = 0x12;
        chip.ranges.eraseAddress[0] = 0x080000;
        chip.ranges.eraseCount = 1;
    }
    void Run(Operation operation) {
        ReadBlockBuffer block{};
        switch (operation) {
            case Operation::ReadForCompare:
                EXPECT_EQ(ReadFlashBlock(link, op, dir.path(), 0x080000, 0, ReadPurpose::Compare,
                                         block),
                          BlockRead::Failed);
                break;
            case Operation::ReadForCopy:
                EXPECT_EQ(
                    ReadFlashBlock(link, op, dir.path(), 0x080000, 0, ReadPurpose::Copy, block),
                    BlockRead::Failed);
                break;
            case Operation::Program:
                EXPECT_FALSE(ProgramFlash(link, op, chip, image, timer, false));
                break;
            case Operation::EraseWhole:
                EXPECT_FALSE(EraseFlash(link, op, chip, timer, true, false));
                break;
            case Operation::EraseSectors:
                chip.ranges.wholeFlashSelected = 0;
                EXPECT_FALSE(EraseFlash(link, op, chip, timer, true, false));
                break;
        }
    }
};

TEST_P(PortReadFailureTest, IsToldOnceAsAReadError) {
    const FailingRead& c = GetParam();
    Progress();
    port().Queue(c.before);
    port().failReadsFrom = port().reads + c.failingRead;
    Run(c.operation);

    ASSERT_EQ(op.outcomes.size(), 1u) << "last told: " << op.LastCode();
    EXPECT_EQ(op.outcomes[0].code, kMsgPortReadError);
    EXPECT_EQ(op.outcomes[0].severity, kSeverityRedownload);
    EXPECT_FALSE(link.IsOpen());                    // a severe outcome closes the port
    EXPECT_EQ(port().reads, port().failReadsFrom);  // not polled again
}

INSTANTIATE_TEST_SUITE_P(
    EachWait, PortReadFailureTest,
    ::testing::Values(
        FailingRead{"compare_first_status", Operation::ReadForCompare, {}, 1},
        FailingRead{"compare_second_status", Operation::ReadForCompare, BlockWithoutSecondStatus(), 3},
        FailingRead{"copy_first_status", Operation::ReadForCopy, {}, 1},
        FailingRead{"copy_second_status", Operation::ReadForCopy, BlockWithoutSecondStatus(), 3},
        FailingRead{"program_first_status", Operation::Program, {}, 1},
        FailingRead{"program_second_status", Operation::Program, {kStatusOk}, 2},
        FailingRead{"erase_whole_flash", Operation::EraseWhole, {}, 1},
        FailingRead{"erase_sectors", Operation::EraseSectors, {}, 1}),
    [](const ::testing::TestParamInfo<FailingRead>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::testing
