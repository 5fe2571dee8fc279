#include "link/download.hpp"

#include <string>

#include "app/catalog.hpp"
#include "app/operation_context.hpp"
#include "app/report.hpp"
#include "config/chip_groups.hpp"
#include "config/user_settings.hpp"
#include "link/boot_rates.hpp"
#include "link/command_frame.hpp"
#include "link/control_program_file.hpp"
#include "link/download_steps.hpp"
#include "link/serial_link.hpp"

namespace quillon {

namespace {

constexpr const char* kResetPrompt =
    "Please reset the microcontroller on userboard.\nThen push OK button.";

bool AskForReset(OperationContext& ctx) {
    const PromptAnswer answer = ctx.prompt->Ask({kResetPrompt, "flash", PromptButtons::OkCancel,
                                                 PromptIcon::Information, PromptOwner::Progress});
    return IsAffirmative(answer);
}

// The boot ROM dialogue from the reset to the run frame (or, for the chips
// that do not acknowledge the image, to the end of the image).
bool RunStandardBoot(OperationContext& ctx, bool fullOperation, const std::string& chip,
                     const std::vector<std::uint8_t>& image) {
    // The security step has just asked for the reset and purged the port;
    // the boot ROM is waiting for the download now.
    if (!IsSecurityChip(chip)) {
        if (ArgumentsAskForReset(ctx.arguments) && !AskForReset(ctx)) return false;
        PurgePort(ctx);
    }
    if (fullOperation) ctx.operationStartTime = ctx.clock->Now();

    if (!WriteByte(ctx, kBootCommand)) return false;
    if (WaitAck(ctx, 1, kBootCommand, kBootCommand)) return false;
    StepDownloadProgress(ctx);

    if (const auto chipByte = IdentificationChipByte(chip)) {
        const std::uint32_t address = 0xF0000000u | (static_cast<std::uint32_t>(*chipByte) << 16);
        if (SendCommandFrame(ctx, kIdentifyCommand, address, 0) != 0) return false;
        StepDownloadProgress(ctx);
    }

    if (SendControlProgramImage(ctx, ctx.loadAddress, static_cast<std::uint32_t>(image.size()),
                                image) != 0) {
        return false;
    }
    if (IsUnacknowledgedImageChip(chip)) {
        StepDownloadProgress(ctx);
        return true;
    }
    if (!WriteByte(ctx, kBootCommand)) return false;
    if (WaitAck(ctx, 3, kBootCommand, kBootCommand)) return false;
    StepDownloadProgress(ctx);
    // The run frame starts the program; its first word is its ready byte.
    for (std::uint8_t byte : EncodeCommandFrame(RunFrameCommand(chip), 0, 0)) {
        if (!WriteByte(ctx, byte)) return false;
    }
    return true;
}

// The control program's ready byte, both sides to its rate, and its answer
// there.
bool FinishDownload(OperationContext& ctx, std::uint32_t fastRate) {
    if (WaitAck(ctx, 3, 0x30, 0x30)) return false;
    StepDownloadProgress(ctx);

    ctx.clock->SleepMs(250);
    LineSettings settings;
    if (!ctx.comPortHandle || !ctx.comPortHandle->GetLineSettings(settings)) {
        ClosePort(ctx);
        Report(ctx, kMsgCannotGetPortInfo, kSeverityRedownload, kSoundError);
        return false;
    }
    settings.baudRate = fastRate;
    if (!ctx.comPortHandle->SetLineSettings(settings)) {
        ClosePort(ctx);
        Report(ctx, kMsgCannotChangePortSetting, kSeverityRedownload, kSoundError);
        return false;
    }
    ctx.currentBaud = fastRate;
    ctx.controlProgramBaud = fastRate;
    StepDownloadProgress(ctx);

    ctx.clock->SleepMs(250);
    if (!WriteByte(ctx, kRateCheckByte)) return false;
    if (WaitAck(ctx, 3, 0x30, 0x30)) return false;
    StepDownloadProgress(ctx);
    return true;
}

}  // namespace

void StepDownloadProgress(OperationContext& ctx) {
    if (ctx.progress) ctx.progress->StepIt();
}

bool OpenPortAtBootBaud(OperationContext& ctx) {
    std::uint32_t rate = 0;
    if (!BootRate(ctx, rate)) return false;
    const int code = OpenPort(ctx, ctx.comPortIndex + 1, rate);
    if (code != 0) {
        ClosePort(ctx);
        Report(ctx, code, kSeverityRedownload, kSoundError);
        return false;
    }
    ctx.portOpen = 1;
    return true;
}

bool DownloadControlProgram(OperationContext& ctx, bool fullOperation) {
    const std::string chip = ctx.SelectedChipName();
    const int steps = IdentificationChipByte(chip) ? 8 : 7;
    if (ctx.progress) {
        ctx.progress->SetButtons(kProgressBarEnabled, false, std::nullopt);
        ctx.progress->Reset(0, steps, 1, 0);
    }

    std::vector<std::uint8_t> image;
    if (!ReadControlProgram(ctx, image)) return false;
    PatchCrystalIndex(image, ctx.clockIndex);
    StepDownloadProgress(ctx);

    // Every refusal of the chip's settings comes before the first byte goes out.
    std::uint32_t fastRate = 0;
    if (!ControlProgramRate(ctx, fastRate)) return false;
    const bool tcs1 = IsTcs1Chip(chip);
    const bool tcs2 = IsTcs2Chip(chip);
    if ((tcs1 || tcs2) && image.size() > kMaxTcsImage) {
        ctx.detailText = ctx.downloadFilePath + " holds " + std::to_string(image.size()) +
                         " bytes; the boot ROM of " + chip + " takes at most 65535";
        Report(ctx, kMsgDownloadError, kSeverityRedownload, kSoundError);
        return false;
    }

    if (!ctx.comPortHandle && !OpenPortAtBootBaud(ctx)) return false;
    StepDownloadProgress(ctx);

    const bool loaded = (tcs1 || tcs2)
                            ? RunTcsSequence(ctx, fullOperation, tcs2, ctx.loadAddress, image)
                            : RunStandardBoot(ctx, fullOperation, chip, image);
    if (!loaded) return false;
    return FinishDownload(ctx, fastRate);
}

int SendControlProgramImage(OperationContext& ctx, std::uint32_t address, std::uint32_t length,
                            const std::vector<std::uint8_t>& bytes) {
    // Never announce more than there is to send.
    if (length > bytes.size()) length = static_cast<std::uint32_t>(bytes.size());
    if (SendCommandFrame(ctx, kImageCommand, address, length) != 0) return 1;
    std::uint8_t sum = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!WriteByte(ctx, bytes[i])) return 1;
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    if (!WriteByte(ctx, sum)) return 1;
    if (IsUnacknowledgedImageChip(ctx.SelectedChipName())) return 0;
    return WaitAck(ctx, 3, kImageCommand, kImageCommand) ? 1 : 0;
}

}  // namespace quillon
