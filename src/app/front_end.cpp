#include "app/front_end.hpp"

#include <optional>
#include <string>

namespace quillon {

namespace {

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

FrontEnd::FrontEnd()
    : prompt(&gNoPrompt),
      progress(&gNoProgressFactory),
      sound(&gNoSound),
      panel(&gNoPanel),
      files(&gNoFileChooser) {}

}  // namespace quillon
