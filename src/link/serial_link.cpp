#include "link/serial_link.hpp"

#include <cstdio>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/user_settings.hpp"
#include "link/command_frame.hpp"

namespace quillon {

namespace {

std::string HexByteText(const char* format, std::uint8_t byte) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, byte);
    return buffer;
}

// One byte from the port; `failed` tells a failed read (already reported
// as 218) from silence.
std::uint8_t ReadOneByte(OperationContext& ctx, bool& failed) {
    failed = false;
    std::uint8_t cell = 0;
    std::size_t got = 0;
    if (!ctx.comPortHandle || !ctx.comPortHandle->Read(&cell, 1, got)) {
        failed = true;
        Report(ctx, kMsgPortReadError, kSeverityRedownload, kSoundError);
        return 0;
    }
    return got == 1 ? cell : 0;
}

}  // namespace

int OpenPort(OperationContext& ctx, int portNumber, std::uint32_t baud) {
    ClosePort(ctx);
    ctx.portOpen = 0;

    const std::string path = ctx.portPathOverride.empty()
                                  ? ComPortDevicePath(ctx.programDir, portNumber)
                                  : ctx.portPathOverride;
    std::string why;
    std::unique_ptr<SerialDevice> device;
    if (ctx.openSerial) {
        device = ctx.openSerial(path, why);
    } else {
        why = "no serial devices on this system";
    }
    if (!device) {
        // The reason becomes the report's detail line.
        ctx.detailText = why.empty() ? "cannot open " + path : why;
        return kMsgCannotOpenPort;
    }
    ctx.comPortHandle = std::move(device);
    SerialDevice& port = *ctx.comPortHandle;

    SerialTimeouts timeouts;
    if (!port.GetTimeouts(timeouts)) return kMsgCannotGetPortInfo;
    timeouts.readIntervalTimeout = kPortTimeoutMs;
    timeouts.readTotalTimeoutMultiplier = kPortTimeoutMs;
    timeouts.readTotalTimeoutConstant = kPortTimeoutMs;
    timeouts.writeTotalTimeoutMultiplier = kPortTimeoutMs;
    timeouts.writeTotalTimeoutConstant = kPortTimeoutMs;
    if (!port.SetTimeouts(timeouts)) return kMsgCannotChangePortSetting;

    LineSettings settings;
    if (!port.GetLineSettings(settings)) return kMsgCannotGetPortInfo;
    settings.baudRate = baud;
    settings.byteSize = 8;
    settings.parity = Parity::None;
    settings.stopBits = StopBits::One;
    settings.fBinary = true;
    settings.fParity = true;
    settings.fOutxCtsFlow = false;
    settings.fOutxDsrFlow = false;
    settings.fDtrControl = DtrControl::Enable;
    settings.fRtsControl = RtsControl::Enable;
    settings.fOutX = false;
    settings.fInX = false;
    if (!port.SetLineSettings(settings)) return kMsgCannotChangePortSetting;

    ctx.portNumber = portNumber;
    ctx.currentBaud = baud;
    ctx.portOpen = 1;
    return 0;
}

bool WriteByte(OperationContext& ctx, std::uint8_t byte) {
    std::size_t written = 0;
    if (!ctx.comPortHandle || !ctx.comPortHandle->Write(&byte, 1, written)) {
        Report(ctx, kMsgPortWriteError, kSeverityRedownloadData, kSoundError);
        return false;
    }
    return true;
}

std::uint8_t ReadByte(OperationContext& ctx) {
    bool failed = false;
    return ReadOneByte(ctx, failed);
}

bool WaitAck(OperationContext& ctx, unsigned seconds, std::uint8_t command, std::uint8_t kind) {
    const std::uint32_t start = ctx.clock->TickMs();
    const std::uint64_t limit = static_cast<std::uint64_t>(seconds) * 1000;
    std::uint8_t reply = 0;
    while (reply == 0) {
        bool failed = false;
        reply = ReadOneByte(ctx, failed);
        // A failed read has been reported and closed the port: polling on
        // would only report it again until the time-out.
        if (failed) return true;
        const std::uint32_t now = ctx.clock->TickMs();
        const std::uint32_t elapsed = now >= start ? now - start : now;
        if (elapsed > limit) {
            Report(ctx, kMsgTimeout, kSeverityError, kSoundError);
            return true;
        }
    }
    if (reply == AckFor(command)) return false;

    int code = kMsgDownloadError;
    const char* format = "MCU : %02XH";
    if (kind == 0x10) {
        format = "CRYPT ERROR : %02XH";
    } else if (kind == 0x20) {
        code = kMsgEraseError;
    }
    ctx.detailText = HexByteText(format, reply);
    Report(ctx, code, kSeverityError, kSoundError);
    return true;
}

int SendCommandFrame(OperationContext& ctx, std::uint8_t command, std::uint32_t address,
                     std::uint32_t length) {
    for (std::uint8_t byte : EncodeCommandFrame(command, address, length)) {
        if (!WriteByte(ctx, byte)) return 1;
    }
    return WaitAck(ctx, 3, command, command) ? 1 : 0;
}

void PurgePort(OperationContext& ctx) {
    if (ctx.comPortHandle) ctx.comPortHandle->Purge(true, true);
}

void PurgeReceive(OperationContext& ctx) {
    if (ctx.comPortHandle) ctx.comPortHandle->Purge(false, true);
}

bool WriteBytes(OperationContext& ctx, const std::uint8_t* data, std::size_t n) {
    std::size_t written = 0;
    return ctx.comPortHandle && ctx.comPortHandle->Write(data, n, written);
}

long ReadBytes(OperationContext& ctx, std::uint8_t* buffer, std::size_t n) {
    std::size_t got = 0;
    if (!ctx.comPortHandle || !ctx.comPortHandle->Read(buffer, n, got)) return -1;
    return static_cast<long>(got);
}

std::uint32_t TakeLineErrors(OperationContext& ctx) {
    std::uint32_t errors = 0;
    if (ctx.comPortHandle && !ctx.comPortHandle->ClearErrors(errors)) return 0;
    return errors;
}

}  // namespace quillon
