#pragma once

#include <string_view>

namespace quillon {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Beep() = 0;
    // Plays a wave file asynchronously, without cutting off a sound in
    // progress; a missing or unplayable file plays nothing.
    virtual void PlayFile(std::string_view path) = 0;
    virtual void Stop() = 0;
};

}  // namespace quillon
