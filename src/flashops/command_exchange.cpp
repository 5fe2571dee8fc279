#include "flashops/command_exchange.hpp"

#include <algorithm>
#include <cstdio>

#include "config/catalog.hpp"
#include "link/control_commands.hpp"

namespace quillon {

int WaitStatus(Link& link, Operator& op, int limitSeconds, bool pollCancel,
               const std::function<void(std::int64_t)>& onElapsed) {
    Clock& clock = link.clock();
    const std::int64_t start = clock.WallSeconds();
    std::int64_t elapsed = 0;
    std::uint8_t last = 0;
    while ((last == 0 || last == kStatusBusy) && elapsed <= limitSeconds) {
        std::uint8_t cell = 0;
        const long got = link.Read(&cell, 1);
        if (got < 0) {
            // A failing port fails every read: tell it once instead of once
            // per read until the limit.
            op.Tell(Failure(kMsgPortReadError, kSeverityRedownload));
            return kWaitLinkFailed;
        }
        last = got == 1 ? cell : 0;
        elapsed = clock.WallSeconds() - start;
        if (onElapsed) onElapsed(elapsed);
        if (pollCancel && PollCancel(op) == 1) return kWaitCancel;
    }
    if (link.WantsDetail() && elapsed > 0) {
        link.Detail("status " + HexDigits(std::string(1, static_cast<char>(last))) + " after " +
                    std::to_string(elapsed) + " s (limit " + std::to_string(limitSeconds) + " s)");
    }
    if (elapsed > limitSeconds) return kWaitTimeout;
    return last;
}

bool WriteCommand(Link& link, Operator& op, const std::uint8_t* bytes, std::size_t n) {
    // One port write for the whole command: each write waits until its
    // bytes have left, and a block command is sent thousands of times.
    if (link.Write(bytes, n)) return true;
    op.Tell(Failure(kMsgPortWriteError, kSeverityRedownloadData));
    return false;
}

bool SendAddressCommand(Link& link, Operator& op, std::uint8_t command, std::uint32_t address) {
    const auto a = EncodeAddress24(address);
    const std::uint8_t bytes[4] = {command, a[0], a[1], a[2]};
    return WriteCommand(link, op, bytes, sizeof bytes);
}

int SendBlockCommand(Link& link, Operator& op, std::uint32_t address, bool read) {
    if (!SendAddressCommand(link, op, read ? kCmdReadBlock : kCmdProgramBlock, address)) {
        return kBlockWriteFailed;
    }
    const int status = WaitStatus(link, op, 5, true);
    if (status == kWaitTimeout) return kBlockTimeout;
    if (status == kWaitCancel) return kBlockCancel;
    if (status == kWaitLinkFailed) return kBlockReadFailed;
    return status;
}

std::string ReadDetailBytes(Link& link, std::size_t n, std::size_t perRead) {
    std::string out;
    while (out.size() < n) {
        std::uint8_t buffer[16] = {};
        const std::size_t want = std::min({perRead, n - out.size(), sizeof buffer});
        const long got = link.Read(buffer, want);
        if (got > 0)
            out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
        if (got < static_cast<long>(want)) break;
    }
    return out;
}

std::string HexDigits(const std::string& bytes) {
    std::string out;
    char cell[3];
    for (unsigned char b : bytes) {
        std::snprintf(cell, sizeof cell, "%02X", b);
        out += cell;
    }
    return out;
}

bool AskCrcRetry(Operator& op, std::uint32_t address) {
    char text[64];
    std::snprintf(text, sizeof text, "CRC error detected in 0x%X\nretry?", address);
    const PromptAnswer answer = op.Ask(PromptRequest{
        text, "crc checking", PromptButtons::YesNo, PromptIcon::Question, PromptOwner::Progress});
    return answer == PromptAnswer::Yes;
}

std::string CrcErrorDetail(std::uint32_t address) {
    char text[48];
    std::snprintf(text, sizeof text, "CRC ERROR : 0x%X", address);
    return text;
}

void CancelEnding(Link& link, Operator& op, int blocksDone) {
    op.NoteCancel();
    SetBarPos(op, blocksDone);
    if (ProgressSink* p = op.Progress()) {
        p->SetMessage(CatalogText(op.language(), kMsgCanceled));
        p->SetButtonText("OK");
        // In batch mode there is nobody to press the button.
        if (!op.Unattended()) WaitForProgressButton(op, link.clock());
    }
    link.Purge();
}

}  // namespace quillon
