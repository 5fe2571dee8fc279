#pragma once

#include <string>
#include <vector>

#include "app/sound_player.hpp"

namespace quillon::testing {

class RecordingSound final : public SoundPlayer {
public:
    void Beep() override { events.push_back("beep"); }
    void PlayFile(std::string_view path) override { events.push_back("play " + std::string(path)); }
    void Stop() override { events.push_back("stop"); }
    std::vector<std::string> events;
};

}  // namespace quillon::testing
