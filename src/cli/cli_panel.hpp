#pragma once
// The main dialog's buttons as the console keeps them: which commands the
// core has enabled, so that a command line asks for nothing the dialog would
// not offer in the same state.

#include <map>
#include <string_view>

#include "app/command_panel.hpp"

namespace quillon {

class CliPanel final : public CommandPanel {
  public:
    void EnableControl(int id, bool enable) override { enabled_[id] = enable; }
    void SetControlText(int, std::string_view) override {}
    void FocusControl(int) override {}
    void ExchangeToControls() override {}
    void ExchangeFromControls() override {}
    void RepaintNow() override {}
    void SetHexFileTip(std::string_view) override {}

    bool IsEnabled(int id) const {
        auto it = enabled_.find(id);
        return it != enabled_.end() && it->second;
    }

  private:
    std::map<int, bool> enabled_;
};

}  // namespace quillon
