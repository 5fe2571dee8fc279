#pragma once
// The main dialog's controls as a map of states.

#include <map>
#include <string>
#include <vector>

#include "app/command_panel.hpp"

namespace quillon::testing {

class RecordingPanel final : public CommandPanel {
public:
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    void SetControlText(int id, std::string_view text) override { texts[id] = std::string(text); }
    void FocusControl(int id) override { focused = id; }
    void ExchangeToControls() override { ++toControls; }
    void ExchangeFromControls() override { ++fromControls; }
    void RepaintNow() override { ++repaints; }
    void SetHexFileTip(std::string_view path) override { hexFileTip = std::string(path); }

    bool IsEnabled(int id) const {
        auto it = enabled.find(id);
        return it != enabled.end() && it->second;
    }

    std::map<int, bool> enabled;
    std::map<int, std::string> texts;
    int focused = 0;
    int toControls = 0;
    int fromControls = 0;
    int repaints = 0;
    std::string hexFileTip;
};

}  // namespace quillon::testing
