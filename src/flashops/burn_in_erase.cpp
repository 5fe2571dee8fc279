#include "flashops/burn_in_erase.hpp"

#include <cstdio>

#include "config/catalog.hpp"
#include "link/board_reset.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

constexpr std::uint32_t kOneMiB = 0x100000;
constexpr int kBurnInLimitSeconds = 90;
constexpr int kBurnInBarSteps = 32;
constexpr std::uint8_t kBurnInEndByte = 0x21;  // '!'
constexpr std::uint8_t kBurnInFiller = 0x20;   // sent while the erase runs

}  // namespace

int EraseThroughBootRom(Link& link, Operator& op, const ChipSetup& chip, std::uint32_t start,
                        bool fullOperation) {
    const std::uint32_t length = start < kOneMiB ? kOneMiB - start : 0;
    if (!fullOperation) {
        link.Close();
        if (!OpenPortAtBootBaud(link, op, chip)) return 0;
        if (!ResetBoard(link, op)) return 0;
        link.Purge();
    }

    if (!WriteByte(link, op, kBootCommand)) return -2;
    if (!WaitAck(link, op, 3, kBootCommand, kBurnInEraseCommand)) return -1;
    for (std::uint8_t byte : EncodeCommandFrame(kBurnInEraseCommand, start, length)) {
        if (!WriteByte(link, op, byte)) return -2;
    }
    if (!WaitAck(link, op, 3, kBurnInEraseCommand, kBurnInEraseCommand)) return -1;

    ShowButtons(op, 8);
    ResetBar(op, 0, kBurnInBarSteps);
    Clock& clock = link.clock();
    const std::int64_t began = clock.WallSeconds();
    std::int64_t elapsed = 0;
    std::int64_t shown = 0;
    std::uint8_t byte = 0;
    while ((byte == 0 || byte == kBurnInFiller) && elapsed <= kBurnInLimitSeconds) {
        std::uint8_t cell = 0;
        const long got = link.Read(&cell, 1);
        if (got < 0) {
            op.Tell(Failure(kMsgPortReadError, kSeverityRedownload));
            return -1;
        }
        byte = got == 1 ? cell : 0;
        elapsed = clock.WallSeconds() - began;
        if (elapsed != shown && elapsed < kBurnInBarSteps) {
            shown = elapsed;
            StepBar(op);
        }
    }
    if (elapsed > kBurnInLimitSeconds) {
        // Every other erase path reports its time-out; this one does too,
        // so that a silent board is never taken for a finished command.
        op.Tell(Failure(kMsgTimeout, kSeverityError));
        return 3;
    }
    if (byte == kBurnInEndByte) {
        SetBarPos(op, kBurnInBarSteps);
        return kBurnInDone;
    }
    char text[32];
    std::snprintf(text, sizeof text, "MCU : %02XH", byte);
    op.Tell(Failure(kMsgEraseError, kSeverityError, text));
    return -1;
}

}  // namespace quillon
