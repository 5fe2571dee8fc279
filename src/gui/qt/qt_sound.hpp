#pragma once
// Result sounds: wave files played asynchronously, and the system beep.

#include <memory>

#include "app/sound_player.hpp"

class QSoundEffect;

namespace quillon::gui {

class QtSound final : public SoundPlayer {
public:
    QtSound();
    ~QtSound() override;
    void Beep() override;
    // Plays nothing while a sound is still playing, or when the file is
    // missing; never waits for the sound.
    void PlayFile(std::string_view path) override;
    void Stop() override;

private:
    std::unique_ptr<QSoundEffect> effect_;  // made at the first sound
};

}  // namespace quillon::gui
