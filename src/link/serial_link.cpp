#include "link/serial_link.hpp"

#include <cstdio>
#include <string>

#include "config/catalog.hpp"
#include "link/command_frame.hpp"

namespace quillon {

namespace {

std::string HexByteText(const char* format, std::uint8_t byte) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, byte);
    return buffer;
}

// One byte from the port; `failed` tells a failed read (already told as
// 218) from silence.
std::uint8_t ReadOneByte(Link& link, Operator& op, bool& failed) {
    std::uint8_t cell = 0;
    const long got = link.Read(&cell, 1);
    failed = got < 0;
    if (failed) {
        op.Tell(Failure(kMsgPortReadError, kSeverityRedownload));
        return 0;
    }
    return got == 1 ? cell : 0;
}

}  // namespace

bool WriteByte(Link& link, Operator& op, std::uint8_t byte) {
    if (link.Write(&byte, 1)) return true;
    op.Tell(Failure(kMsgPortWriteError, kSeverityRedownloadData));
    return false;
}

std::uint8_t ReadByte(Link& link, Operator& op) {
    bool failed = false;
    return ReadOneByte(link, op, failed);
}

bool WaitAck(Link& link, Operator& op, unsigned seconds, std::uint8_t command,
             std::uint8_t kind) {
    Clock& clock = link.clock();
    const std::uint32_t start = clock.TickMs();
    const std::uint64_t limit = static_cast<std::uint64_t>(seconds) * 1000;
    std::uint8_t reply = 0;
    while (reply == 0) {
        bool failed = false;
        reply = ReadOneByte(link, op, failed);
        // A failed read has been told and closed the port: polling on would
        // only tell it again until the time-out.
        if (failed) return false;
        const std::uint32_t now = clock.TickMs();
        const std::uint32_t elapsed = now >= start ? now - start : now;
        if (elapsed > limit) {
            op.Tell(Failure(kMsgTimeout, kSeverityError));
            return false;
        }
    }
    if (reply == AckFor(command)) return true;

    int code = kMsgDownloadError;
    const char* format = "MCU : %02XH";
    if (kind == 0x10) {
        format = "CRYPT ERROR : %02XH";
    } else if (kind == 0x20) {
        code = kMsgEraseError;
    }
    op.Tell(Failure(code, kSeverityError, HexByteText(format, reply)));
    return false;
}

bool SendCommandFrame(Link& link, Operator& op, std::uint8_t command, std::uint32_t address,
                      std::uint32_t length) {
    for (std::uint8_t byte : EncodeCommandFrame(command, address, length)) {
        if (!WriteByte(link, op, byte)) return false;
    }
    return WaitAck(link, op, 3, command, command);
}

}  // namespace quillon
