#include "link/security_unlock.hpp"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_file.hpp"
#include "config/chip_groups.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/key_file.hpp"
#include "link/serial_link.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr std::uint32_t kVerdictWaitMs = 3000;

enum class KeyFileRead { Ok, CannotOpen, NoMemory, ReadFailed };

KeyFileRead ReadKeyFile(const std::string& path, std::string& text) {
    if (DirectoryExists(path)) return KeyFileRead::CannotOpen;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return KeyFileRead::CannotOpen;
    KeyFileRead result = KeyFileRead::Ok;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        result = KeyFileRead::ReadFailed;
    } else {
        try {
            text.assign(static_cast<std::size_t>(size), '\0');
            if (std::fread(text.data(), 1, text.size(), file) != text.size()) {
                result = KeyFileRead::ReadFailed;
            }
        } catch (const std::bad_alloc&) {
            result = KeyFileRead::NoMemory;
        }
    }
    std::fclose(file);
    return result;
}

// The chip's verdict on the key: the first non-zero byte within 3000 ms.
int WaitForVerdict(OperationContext& ctx) {
    const std::uint32_t start = ctx.clock->TickMs();
    while (true) {
        std::uint8_t byte = 0;
        const long got = ReadBytes(ctx, &byte, 1);
        if (got < 0) {
            // Reported once: the port is closed now, polling it would only
            // report the same failure again until the time-out.
            Report(ctx, kMsgPortReadError, kSeverityRedownload, kSoundError);
            return kUnlockStopped;
        }
        // As in WaitAck: the time is taken after the read, and a byte that
        // comes too late is a time-out all the same.
        const std::uint32_t now = ctx.clock->TickMs();
        const std::uint32_t elapsed = now >= start ? now - start : now;
        if (elapsed > kVerdictWaitMs) {
            Report(ctx, kMsgTimeout, kSeverityError, kSoundError);
            return kUnlockStopped;
        }
        if (got == 1 && byte != 0) {
            if (byte == kKeyAccepted) return kUnlockGoOn;
            if (byte == kKeyEraseFirst) return kUnlockEraseFirst;
            char detail[32];
            std::snprintf(detail, sizeof detail, "CRYPT ERROR : %02XH", byte);
            ctx.detailText = detail;
            Report(ctx, kMsgDownloadError, kSeverityError, kSoundError);
            return kUnlockStopped;
        }
    }
}

// The first range start the key address is checked against; the ranges are
// built now when no command has built them yet.
bool FirstRangeStart(OperationContext& ctx, std::uint32_t& start) {
    if (!EnsureOperationRanges(ctx)) return false;
    start = ctx.rangeStart[0];
    return true;
}

}  // namespace

int UnlockSecurity(OperationContext& ctx, bool fullOperation) {
    if (!IsSecurityChip(ctx.SelectedChipName())) return kUnlockGoOn;
    if (ctx.progress) {
        ctx.progress->SetMessage(fullOperation ? "Full Operation - Security Checking"
                                               : "Security Checking");
        ctx.progress->SetButtons(kProgressBarEnabled, false, std::nullopt);
        ctx.progress->Reset(0, 1, 1, 0);
    }
    const std::string keyFile = ChipString(ctx, "SecurityFile", 260);
    if (keyFile.empty()) {
        ctx.prompt->Ask({"security file error", "Flash Memory Writer", PromptButtons::Ok,
                         PromptIcon::None, PromptOwner::MainDialog});
        return kUnlockStopped;
    }
    if (!ctx.comPortHandle && !OpenPortAtBootBaud(ctx)) return kUnlockStopped;
    const PromptAnswer answer = ctx.prompt->Ask(
        {"Please reset the microcontroller on userboard.\nThen push OK button.", "flash",
         PromptButtons::OkCancel, PromptIcon::Information, PromptOwner::Progress});
    if (!IsAffirmative(answer)) return kUnlockStopped;
    PurgePort(ctx);
    return SendSecurityKey(ctx, keyFile);
}

int SendSecurityKey(OperationContext& ctx, const std::string& keyFilePath) {
    std::string text;
    switch (ReadKeyFile(JoinPath(ctx.programDir, keyFilePath), text)) {
        case KeyFileRead::Ok:
            break;
        case KeyFileRead::CannotOpen:
            Report(ctx, kMsgCannotOpenKeyFile, kSeverityRedownload, kSoundError);
            return kUnlockStopped;
        case KeyFileRead::NoMemory:
            Report(ctx, kMsgNoMemory, kSeverityRedownload, kSoundError);
            return kUnlockStopped;
        case KeyFileRead::ReadFailed:
            Report(ctx, kMsgFileAccessError, kSeverityRedownload, kSoundError);
            return kUnlockStopped;
    }

    std::uint32_t firstRangeStart = 0;
    if (!FirstRangeStart(ctx, firstRangeStart)) return kUnlockStopped;
    SecurityKey key;
    if (const int code = ParseSecurityKey(text, firstRangeStart, key); code != 0) {
        Report(ctx, code, kSeverityRedownload, kSoundError);
        return kUnlockStopped;
    }

    if (!WriteByte(ctx, kBootCommand)) return kUnlockStopped;
    if (WaitAck(ctx, 3, kBootCommand, kBootCommand)) return kUnlockStopped;
    if (SendCommandFrame(ctx, kKeyCommand, key.address + 1,
                         static_cast<std::uint32_t>(key.bytes.size())) != 0) {
        return kUnlockStopped;
    }
    std::uint8_t sum = 0;
    for (std::uint8_t byte : key.bytes) {
        if (!WriteByte(ctx, byte)) return kUnlockStopped;
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    if (!WriteByte(ctx, sum)) return kUnlockStopped;
    return WaitForVerdict(ctx);
}

}  // namespace quillon
