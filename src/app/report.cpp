#include "app/report.hpp"

#include "app/catalog.hpp"
#include "config/result_file.hpp"

namespace quillon {

namespace {

constexpr const char* kReportCaption = "Flash Memory Writer";

int IconForSeverity(int severity) {
    if (severity == kSeverityInfo) return kIconInformation;
    if (severity == kSeverityError) return kIconExclamation;
    return kIconError;
}

void AppendDetail(std::string& text, const char* label, std::string& field) {
    if (field.empty()) return;
    text += label;
    text += field;
    field.clear();
}

void ShowInMessageBox(OperationContext& ctx, const std::string& text, PromptIcon icon) {
    ctx.prompt->Ask(PromptRequest{text, kReportCaption, PromptButtons::Ok, icon,
                                  PromptOwner::MainDialog});
}

}  // namespace

void WaitForProgressButton(OperationContext& ctx) {
    if (!ctx.progress) return;
    while (ctx.progress->CheckCancel() == 0) ctx.clock->SleepMs(10);
}

int Report(OperationContext& ctx, int code, int severity, int sound) {
    std::string text = CatalogText(ctx.language, code);
    const bool isError = severity >= kSeverityError && severity <= kSeverityRedownloadData;
    if (isError) {
        if (ctx.batchMode) {
            text = ctx.detailText + text + "\n";
        } else {
            text = "ERROR !!    " + ctx.detailText + "\r\n" + text;
        }
    }
    // A detail line belongs to this report only, information included.
    ctx.detailText.clear();
    AppendDetail(text, "\r\n ErrorAddress : ", ctx.errorAddressText);
    AppendDetail(text, "\r\n Flash      : ", ctx.flashDataText);
    AppendDetail(text, "\r\n HexFile   : ", ctx.hexDataText);

    const bool written = WriteResultFile(ctx.programDir, code, text);
    ctx.lastReport = LastReport{code, severity, text, written, true};

    if (!ctx.batchMode) {
        if (ctx.progress) {
            ctx.progress->SetButtons(13, false, std::nullopt);
            ctx.progress->SetIcon(IconForSeverity(severity));
            ctx.progress->SetMessage(text);
            PlayResultSound(ctx, sound);
            WaitForProgressButton(ctx);
        } else {
            PlayResultSound(ctx, sound);
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
                WaitForProgressButton(ctx);
            } else {
                ShowInMessageBox(ctx, redo, PromptIcon::Exclamation);
            }
        }
        ResetCommandButtons(ctx);
        ctx.panel->FocusControl(kIdTargetList);
        ctx.panel->ExchangeToControls();
        ctx.panel->RepaintNow();
        ClosePort(ctx);
    }
    return 0;
}

void PlayResultSound(OperationContext& ctx, int sound) {
    if (ctx.soundEnabled == 0) return;
    int enabled = 0;
    int type = 0;
    const std::string* path = nullptr;
    if (sound == kSoundError) {
        enabled = ctx.errorSoundEnabled;
        type = ctx.errorSoundType;
        path = &ctx.errorWavePath;
    } else if (sound == kSoundEnd) {
        enabled = ctx.endSoundEnabled;
        type = ctx.endSoundType;
        path = &ctx.endWavePath;
    } else {
        return;
    }
    if (enabled == 0) return;
    if (type != 0) {
        ctx.sound->Beep();
        return;
    }
    ctx.sound->Stop();
    if (*path != "<none>") ctx.sound->PlayFile(*path);
}

}  // namespace quillon
