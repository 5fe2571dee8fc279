#include "link/security_unlock.hpp"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "config/key_file.hpp"
#include "link/board_reset.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"
#include "link/serial_link.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

constexpr std::uint32_t kVerdictWaitMs = 3000;

enum class KeyFileRead { Ok, CannotOpen, NoMemory, ReadFailed };

KeyFileRead ReadKeyFile(const std::string& path, std::string& text) {
    if (DirectoryExists(path)) return KeyFileRead::CannotOpen;
    std::FILE* file = OpenFile(path, "rb");
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
UnlockResult WaitForVerdict(Link& link, Operator& op) {
    Clock& clock = link.clock();
    const std::uint32_t start = clock.TickMs();
    while (true) {
        std::uint8_t byte = 0;
        const long got = link.Read(&byte, 1);
        if (got < 0) {
            // Told once: the port is closed now, polling it would only tell
            // the same failure again until the time-out.
            op.Tell(Failure(kMsgPortReadError, kSeverityRedownload));
            return UnlockResult::Stopped;
        }
        // As in WaitAck: the time is taken after the read, and a byte that
        // comes too late is a time-out all the same.
        const std::uint32_t now = clock.TickMs();
        const std::uint32_t elapsed = now >= start ? now - start : now;
        if (elapsed > kVerdictWaitMs) {
            op.Tell(Failure(kMsgTimeout, kSeverityError));
            return UnlockResult::Stopped;
        }
        if (got == 1 && byte != 0) {
            if (byte == kKeyAccepted) return UnlockResult::GoOn;
            if (byte == kKeyEraseFirst) return UnlockResult::EraseFirst;
            char detail[32];
            std::snprintf(detail, sizeof detail, "CRYPT ERROR : %02XH", byte);
            op.Tell(Failure(kMsgDownloadError, kSeverityError, detail));
            return UnlockResult::Stopped;
        }
    }
}

}  // namespace

UnlockResult UnlockSecurity(Link& link, Operator& op, const ChipSetup& chip, bool fullOperation,
                            const FirstRangeStart& firstRangeStart) {
    if (!IsSecurityChip(chip.name)) return UnlockResult::GoOn;
    ShowStep(op, fullOperation ? "Full Operation - Security Checking" : "Security Checking");
    if (ProgressSink* p = op.Progress()) {
        p->SetButtons(kProgressBarEnabled, false, std::nullopt);
        p->Reset(0, 1, 1, 0);
    }
    const std::string keyFile = chip.Key("SecurityFile", 260);
    if (keyFile.empty()) {
        op.Ask({"security file error", "Flash Memory Writer", PromptButtons::Ok, PromptIcon::None,
                PromptOwner::MainDialog});
        return UnlockResult::Stopped;
    }
    if (!link.IsOpen() && !OpenPortAtBootBaud(link, op, chip)) return UnlockResult::Stopped;
    if (!ResetBoard(link, op)) return UnlockResult::Stopped;
    link.Purge();
    return SendSecurityKey(link, op, chip.programDir, keyFile, firstRangeStart);
}

UnlockResult SendSecurityKey(Link& link, Operator& op, const std::string& programDir,
                             const std::string& keyFilePath,
                             const FirstRangeStart& firstRangeStart) {
    std::string text;
    switch (ReadKeyFile(JoinPath(programDir, keyFilePath), text)) {
        case KeyFileRead::Ok:
            break;
        case KeyFileRead::CannotOpen:
            op.Tell(Failure(kMsgCannotOpenKeyFile, kSeverityRedownload));
            return UnlockResult::Stopped;
        case KeyFileRead::NoMemory:
            op.Tell(Failure(kMsgNoMemory, kSeverityRedownload));
            return UnlockResult::Stopped;
        case KeyFileRead::ReadFailed:
            op.Tell(Failure(kMsgFileAccessError, kSeverityRedownload));
            return UnlockResult::Stopped;
    }

    std::uint32_t rangeStart = 0;
    if (!firstRangeStart || !firstRangeStart(rangeStart)) return UnlockResult::Stopped;
    SecurityKey key;
    if (int fault = 0; !ParseSecurityKey(text, rangeStart, key, fault)) {
        op.Tell(Failure(fault, kSeverityRedownload));
        return UnlockResult::Stopped;
    }

    link.Mark("security key");
    if (!WriteByte(link, op, kBootCommand)) return UnlockResult::Stopped;
    if (!WaitAck(link, op, 3, kBootCommand, kBootCommand)) return UnlockResult::Stopped;
    if (!SendCommandFrame(link, op, kKeyCommand, key.address + 1,
                          static_cast<std::uint32_t>(key.bytes.size()))) {
        return UnlockResult::Stopped;
    }
    std::uint8_t sum = 0;
    for (std::uint8_t byte : key.bytes) {
        if (!WriteByte(link, op, byte)) return UnlockResult::Stopped;
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    if (!WriteByte(link, op, sum)) return UnlockResult::Stopped;
    return WaitForVerdict(link, op);
}

}  // namespace quillon
