#include "app/report.hpp"

#include "config/catalog.hpp"
#include "config/result_file.hpp"

namespace quillon {

namespace {

constexpr const char* kReportCaption = "Flash Memory Writer";

int IconForSeverity(int severity) {
    if (severity == kSeverityInfo) return kIconInformation;
    if (severity == kSeverityError) return kIconExclamation;
    return kIconError;
}

void AppendDetail(std::string& text, const char* label, const std::string& field) {
    if (field.empty()) return;
    text += label;
    text += field;
}

void ShowInMessageBox(OperationContext& ctx, const std::string& text, PromptIcon icon) {
    ctx.frontEnd.prompt->Ask(PromptRequest{text, kReportCaption, PromptButtons::Ok, icon,
                                           PromptOwner::MainDialog});
}

// The catalog text with the banner of an error and the detail lines.
std::string ComposeReport(const Outcome& o, Language language, bool batchMode) {
    std::string text = CatalogText(language, o.code);
    const bool isError = o.severity >= kSeverityError && o.severity <= kSeverityRedownloadData;
    if (isError) {
        text = batchMode ? o.detail + text + "\n" : "ERROR !!    " + o.detail + "\r\n" + text;
    }
    AppendDetail(text, "\r\n ErrorAddress : ", o.errorAddress);
    AppendDetail(text, "\r\n Flash      : ", o.flashData);
    AppendDetail(text, "\r\n HexFile   : ", o.hexData);
    return text;
}

}  // namespace

void Report(OperationContext& ctx, int code, int severity, int sound) {
    Outcome o;
    o.code = code;
    o.severity = severity;
    o.sound = sound;
    Report(ctx, o);
}

void Report(OperationContext& ctx, const Outcome& outcome) {
    const int severity = outcome.severity;
    const std::string text = ComposeReport(outcome, ctx.language, ctx.batchMode);
    const bool written =
        !ctx.writesResultFile || WriteResultFile(ctx.programDir, outcome.code, text);
    ctx.lastReport = LastReport{outcome.code, severity, text, written, true};
    ++ctx.reportCount;

    SoundPlayer& player = *ctx.frontEnd.sound;
    if (!ctx.batchMode) {
        if (ctx.progress) {
            ctx.progress->SetButtons(13, false, std::nullopt);
            ctx.progress->SetIcon(IconForSeverity(severity));
            ctx.progress->SetMessage(text);
            PlayResultSound(player, ctx.sound, outcome.sound);
            WaitForProgressButton(ctx.op, ctx.clock);
        } else {
            PlayResultSound(player, ctx.sound, outcome.sound);
            ShowInMessageBox(ctx, text,
                             severity == kSeverityInfo ? PromptIcon::Information
                                                       : PromptIcon::Exclamation);
        }
    }

    if (severity == kSeverityRedownload || severity == kSeverityRedownloadData) {
        const std::string redo = CatalogText(ctx.language, kMsgRedoDownload);
        if (!ctx.batchMode) {
            if (ctx.progress) {
                ctx.progress->SetMessage(redo);
                WaitForProgressButton(ctx.op, ctx.clock);
            } else {
                ShowInMessageBox(ctx, redo, PromptIcon::Exclamation);
            }
        }
        ResetCommandButtons(ctx);
        CommandPanel& panel = *ctx.frontEnd.panel;
        panel.FocusControl(kIdTargetList);
        panel.ExchangeToControls();
        panel.RepaintNow();
        ClosePort(ctx);
    }
}

void PlayResultSound(SoundPlayer& player, const SoundSettings& settings, int sound) {
    if (settings.soundEnabled == 0) return;
    int enabled = 0;
    int type = 0;
    const std::string* path = nullptr;
    if (sound == kSoundError) {
        enabled = settings.errorSoundEnabled;
        type = settings.errorSoundType;
        path = &settings.errorWavePath;
    } else if (sound == kSoundEnd) {
        enabled = settings.endSoundEnabled;
        type = settings.endSoundType;
        path = &settings.endWavePath;
    } else {
        return;
    }
    if (enabled == 0) return;
    if (type != 0) {
        player.Beep();
        return;
    }
    player.Stop();
    if (*path != "<none>") player.PlayFile(*path);
}

}  // namespace quillon
