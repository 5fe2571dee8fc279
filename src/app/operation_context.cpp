#include "app/operation_context.hpp"

#include "config/chip_groups.hpp"

namespace quillon {

namespace {

// Stand-ins used until a front end plugs in its own: they show nothing and
// answer every question with its negative (Cancel/No), so that nothing waits.
class NoPrompt final : public UserPrompt {
public:
    PromptAnswer Ask(const PromptRequest& request) override {
        switch (request.buttons) {
            case PromptButtons::Ok: return PromptAnswer::Ok;
            case PromptButtons::OkCancel: return PromptAnswer::Cancel;
            case PromptButtons::YesNo: return PromptAnswer::No;
        }
        return PromptAnswer::Cancel;
    }
};

class NoPanel final : public CommandPanel {
public:
    void EnableControl(int, bool) override {}
    void SetControlText(int, std::string_view) override {}
    void FocusControl(int) override {}
    void ExchangeToControls() override {}
    void ExchangeFromControls() override {}
    void RepaintNow() override {}
    void SetHexFileTip(std::string_view) override {}
};

class NoSound final : public SoundPlayer {
public:
    void Beep() override {}
    void PlayFile(std::string_view) override {}
    void Stop() override {}
};

class NoProgressFactory final : public ProgressFactory {
public:
    std::unique_ptr<ProgressSink> CreateProgress(int) override { return nullptr; }
};

class NoFileChooser final : public FileChooser {
public:
    std::optional<std::string> ChooseCopyFile(bool, std::string_view) override {
        return std::nullopt;
    }
};

NoPrompt gNoPrompt;
NoPanel gNoPanel;
NoSound gNoSound;
NoProgressFactory gNoProgressFactory;
NoFileChooser gNoFileChooser;

}  // namespace

OperationContext::OperationContext()
    : imageBuffer(kImageSize, 0xFF),
      clock(&SystemClock()),
      prompt(&gNoPrompt),
      panel(&gNoPanel),
      sound(&gNoSound),
      progressFactory(&gNoProgressFactory),
      fileChooser(&gNoFileChooser) {}

OperationContext::~OperationContext() = default;

std::string OperationContext::SelectedChipName() const {
    if (chipIndex < 0 || static_cast<std::size_t>(chipIndex) >= targetList.size()) return {};
    return targetList[static_cast<std::size_t>(chipIndex)];
}

std::string OperationContext::SelectedCrystalText() const {
    if (clockIndex < 0 || static_cast<std::size_t>(clockIndex) >= crystalList.size()) return {};
    return crystalList[static_cast<std::size_t>(clockIndex)];
}

void ClosePort(OperationContext& ctx) { ctx.comPortHandle.reset(); }

void ResetCommandButtons(OperationContext& ctx) {
    const std::string chip = ctx.SelectedChipName();
    ctx.panel->EnableControl(kIdErase, IsSecurityChip(chip));
    ctx.panel->EnableControl(kIdBlankCheck, false);
    ctx.panel->EnableControl(kIdProgramVerify, false);
    ctx.panel->EnableControl(kIdReadCompare, false);
    ctx.panel->EnableControl(kIdCopy, false);
    ctx.panel->EnableControl(kIdDownload, true);
    ctx.panel->EnableControl(kIdFullOperation, true);
    ctx.downloaded = 0;
}

}  // namespace quillon
