#pragma once
// The result sounds through the system's player: a wave file played in the
// background (a sound still playing is not cut off by the next), or the
// system's beep.

#include "app/sound_player.hpp"

namespace quillon::gui::win32 {

class Win32Sound final : public SoundPlayer {
public:
    void Beep() override;
    void PlayFile(std::string_view path) override;
    void Stop() override;
};

}  // namespace quillon::gui::win32
