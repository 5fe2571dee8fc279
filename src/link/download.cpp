#include "link/download.hpp"

#include <string>

#include "config/catalog.hpp"
#include "config/chip_groups.hpp"
#include "link/board_reset.hpp"
#include "link/boot_rates.hpp"
#include "link/command_frame.hpp"
#include "link/control_program_file.hpp"
#include "link/serial_link.hpp"
#include "link/tcs_download.hpp"

namespace quillon {

namespace {

// The boot ROM dialogue from the reset to the run frame (or, for the chips
// that do not acknowledge the image, to the end of the image).
bool RunStandardBoot(Link& link, Operator& op, const ChipSetup& chip, OperationTimer& timer,
                     const DownloadOptions& options, const std::vector<std::uint8_t>& image) {
    // The security step has just asked for the reset and purged the port;
    // the boot ROM is waiting for the download now.
    if (!IsSecurityChip(chip.name)) {
        if (options.askForReset && !ResetBoard(link, op)) return false;
        link.Purge();
    }
    if (options.fullOperation) timer.Restart();

    if (!WriteByte(link, op, kBootCommand)) return false;
    if (!WaitAck(link, op, 1, kBootCommand, kBootCommand)) return false;
    StepDownloadProgress(op);

    if (const auto chipByte = IdentificationChipByte(chip.name)) {
        const std::uint32_t address = 0xF0000000u | (static_cast<std::uint32_t>(*chipByte) << 16);
        if (!SendCommandFrame(link, op, kIdentifyCommand, address, 0)) return false;
        StepDownloadProgress(op);
    }

    if (!SendControlProgramImage(link, op, chip.name, chip.definition.loadAddress,
                                 static_cast<std::uint32_t>(image.size()), image)) {
        return false;
    }
    if (IsUnacknowledgedImageChip(chip.name)) {
        StepDownloadProgress(op);
        return true;
    }
    if (!WriteByte(link, op, kBootCommand)) return false;
    if (!WaitAck(link, op, 3, kBootCommand, kBootCommand)) return false;
    StepDownloadProgress(op);
    // The run frame starts the program; its first word is its ready byte.
    for (std::uint8_t byte : EncodeCommandFrame(RunFrameCommand(chip.name), 0, 0)) {
        if (!WriteByte(link, op, byte)) return false;
    }
    return true;
}

// The control program's ready byte, both sides to its rate, and its answer
// there.
bool FinishDownload(Link& link, Operator& op, std::uint32_t fastRate) {
    if (!WaitAck(link, op, 3, 0x30, 0x30)) return false;
    StepDownloadProgress(op);

    link.clock().SleepMs(250);
    if (const int code = link.ChangeRate(fastRate); code != 0) {
        link.Close();
        op.Tell(Failure(code, kSeverityRedownload));
        return false;
    }
    link.SetControlProgramBaud(fastRate);
    StepDownloadProgress(op);

    link.clock().SleepMs(250);
    if (!WriteByte(link, op, kRateCheckByte)) return false;
    if (!WaitAck(link, op, 3, 0x30, 0x30)) return false;
    StepDownloadProgress(op);
    return true;
}

}  // namespace

void StepDownloadProgress(Operator& op) { StepBar(op); }

bool OpenPortAtBootBaud(Link& link, Operator& op, const ChipSetup& chip) {
    std::uint32_t rate = 0;
    if (!BootRate(chip, op, rate)) return false;
    Outcome failure;
    if (!link.Open(rate, failure)) {
        op.Tell(failure);
        return false;
    }
    return true;
}

bool DownloadControlProgram(Link& link, Operator& op, const ChipSetup& chip,
                            OperationTimer& timer, const DownloadOptions& options) {
    const int steps = IdentificationChipByte(chip.name) ? 8 : 7;
    if (ProgressSink* p = op.Progress()) {
        p->SetButtons(kProgressBarEnabled, false, std::nullopt);
        p->Reset(0, steps, 1, 0);
    }

    std::vector<std::uint8_t> image;
    std::string file;
    if (!ReadControlProgram(chip, op, image, file)) return false;
    PatchCrystalIndex(image, chip.crystalIndex);
    StepDownloadProgress(op);

    // Every refusal of the chip's settings comes before the first byte goes out.
    std::uint32_t fastRate = 0;
    if (!ControlProgramRate(chip, op, fastRate)) return false;
    const bool tcs1 = IsTcs1Chip(chip.name);
    const bool tcs2 = IsTcs2Chip(chip.name);
    if ((tcs1 || tcs2) && image.size() > kMaxTcsImage) {
        op.Tell(Failure(kMsgDownloadError, kSeverityRedownload,
                        file + " holds " + std::to_string(image.size()) +
                            " bytes; the boot ROM of " + chip.name + " takes at most 65535"));
        return false;
    }

    if (!link.IsOpen() && !OpenPortAtBootBaud(link, op, chip)) return false;
    link.Mark("download");
    StepDownloadProgress(op);

    const bool loaded =
        (tcs1 || tcs2)
            ? RunTcsSequence(link, op, timer, TcsSequence{options.fullOperation, tcs2,
                                                          chip.definition.loadAddress,
                                                          options.stepText},
                             image)
            : RunStandardBoot(link, op, chip, timer, options, image);
    if (!loaded) return false;
    return FinishDownload(link, op, fastRate);
}

bool SendControlProgramImage(Link& link, Operator& op, const std::string& chip,
                             std::uint32_t address, std::uint32_t length,
                             const std::vector<std::uint8_t>& bytes) {
    // Never announce more than there is to send.
    if (length > bytes.size()) length = static_cast<std::uint32_t>(bytes.size());
    if (!SendCommandFrame(link, op, kImageCommand, address, length)) return false;
    std::uint8_t sum = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!WriteByte(link, op, bytes[i])) return false;
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    if (!WriteByte(link, op, sum)) return false;
    if (IsUnacknowledgedImageChip(chip)) return true;
    return WaitAck(link, op, 3, kImageCommand, kImageCommand);
}

}  // namespace quillon
