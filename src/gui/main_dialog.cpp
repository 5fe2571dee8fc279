#include "gui/main_dialog.hpp"

#include <filesystem>
#include <system_error>

#include "app/command_panel.hpp"
#include "app/settings_files.hpp"
#include "app/startup.hpp"
#include "config/catalog.hpp"
#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon::gui {

namespace {

struct TipSource {
    int control;
    int catalogId;
};
constexpr TipSource kToolTips[] = {
    {kIdTargetList, 550},   {kIdCrystalList, 551},  {kIdFullOperation, 548},
    {kIdReadCompare, 546},  {kIdCopy, 547},         {kIdSetEnvironment, 549},
    {kIdOpen, 553},         {kIdDownload, 542},     {kIdErase, 543},
    {kIdBlankCheck, 544},   {kIdProgramVerify, 545}, {kIdMainAreaText, 555},
    {kIdWorkAreaText, 556},
};
constexpr int kHexFileTip = 554;

}  // namespace

MainDialog::Start MainDialog::StartUp() {
    const StartupFailure failure = quillon::StartUp(ctx_);
    if (failure != StartupFailure::None) {
        startFailure_ = StartupFailureText(failure);
        // Which folder was looked in, and why that one: the first thing a
        // user of an installed program needs to know.
        if (failure == StartupFailure::RegistFailed) {
            startFailure_ += "\n\n" + ctx_.chipDefPath + "\n(" + ctx_.programDirWhy + ")";
        }
        return Start::Failed;
    }
    ctx_.copyAsIntelHex = 0;
    if (!ctx_.batchMode) return Start::Ready;
    running_ = true;
    batch_ = RunBatch(ctx_);
    running_ = false;
    return Start::BatchDone;
}

std::vector<ToolTipEntry> MainDialog::ToolTips() const {
    std::vector<ToolTipEntry> tips;
    for (const TipSource& tip : kToolTips) {
        tips.push_back({tip.control, CatalogText(ctx_.language, tip.catalogId)});
    }
    tips.push_back({kIdHexFile, HexFileTip()});
    return tips;
}

std::string MainDialog::HexFileTip() const {
    std::string tip = CatalogText(ctx_.language, kHexFileTip);
    if (!ctx_.hexFilePath.empty()) tip += "\n" + ctx_.hexFilePath;
    return tip;
}

bool MainDialog::ChooseHexFile(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(PathFromUtf8(path), ec)) return false;
    ctx_.hexFilePath = path;
    ctx_.hexFileName = FileNamePart(path);
    SaveRecentSelection(ctx_);
    ctx_.frontEnd.panel->ExchangeToControls();
    return true;
}

bool MainDialog::DropHexFile(const std::string& path) { return ChooseHexFile(path); }

void MainDialog::OpenEnded(const std::optional<std::string>& chosen) {
    if (!chosen || !ChooseHexFile(*chosen)) SaveRecentSelection(ctx_);
}

std::string MainDialog::OpenFolder() const {
    if (ctx_.hexFilePath.empty()) return {};
    return Utf8FromPath(PathFromUtf8(ctx_.hexFilePath).parent_path());
}

std::string MainDialog::ToggleCopyFormat() {
    ctx_.copyAsIntelHex = ctx_.copyAsIntelHex ? 0 : 1;
    return CopyCaption();
}

std::string MainDialog::CopyCaption() const { return ctx_.copyAsIntelHex ? "&Copy_i" : "&Copy"; }

void MainDialog::Run(void (*command)(OperationContext&)) {
    // A command started from within a running one (a list changed while a
    // box of the first is open) waits for nothing; the flag stays with the
    // outer one.
    const bool outer = !running_;
    running_ = true;
    command(ctx_);
    if (outer) running_ = false;
}

bool MainDialog::Close() {
    // While a command runs, its operation still uses the progress window
    // and the port; the window closes once the command has ended.
    if (running_ || ctx_.progress) return false;
    ctx_.closing = 1;
    return true;
}

CustomSettings MainDialog::SheetSettings() const {
    CustomSettings settings;
    settings.comPortIndex = ctx_.comPortIndex;
    settings.sound = ctx_.sound;
    settings.toolTipsEnabled = ctx_.toolTipsEnabled;
    return settings;
}

char MnemonicOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const char c = caption[i + 1];
        if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    return 0;
}

std::string Capitals(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

}  // namespace quillon::gui
