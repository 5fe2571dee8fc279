#pragma once
// Customize.ini (COM port, sounds, tooltips, the board's reset sequence) and
// DATAFILE.TXT (the last chip, crystal and hex file).

#include <string>

#include "config/reset_sequence.hpp"

namespace quillon {

// The result sounds: on or off as a whole, and for errors and for a completed
// step each: on or off, a wave file (type 0) or the system beep (type 1).
struct SoundSettings {
    int soundEnabled = 0;
    int errorSoundEnabled = 0;
    int errorSoundType = 0;
    std::string errorWavePath = "<none>";
    int endSoundEnabled = 0;
    int endSoundType = 0;
    std::string endWavePath = "<none>";
};

struct CustomSettings {
    int comPortIndex = 0;  // COM1 is 0; a value that does not fit a byte reads as 0
    SoundSettings sound;
    int toolTipsEnabled = 0;
};

struct RecentSettings {
    int chipIndex = 0;  // never negative
    int clockIndex = 0;
    std::string hexFilePath;
};

CustomSettings ReadCustomSettings(const std::string& programDir);
// [Reset] Sequence= as the file holds it, unchecked (empty: none), so that
// a malformed one can be shown as it stands; ParseResetSequence reads it.
std::string ReadResetSequenceSetting(const std::string& programDir);
// [Reset] RunSequence=: the DTR/RTS steps that start the new firmware after
// a successful programming, in the same text form.
std::string ReadRunSequenceSetting(const std::string& programDir);
RecentSettings ReadRecentSettings(const std::string& programDir);
// Negative indices are written as 0.
void WriteRecentSettings(const std::string& programDir, const RecentSettings& recent);

// Property-page writers.
void WriteComPageSettings(const std::string& programDir, int selectedIndex);
// Writes the short forms of the wave paths (or "<none>") and puts what it
// wrote back into `settings`.
void WriteSoundPageSettings(const std::string& programDir, SoundSettings& settings);
void WriteToolPageSettings(const std::string& programDir, int toolTipsEnabled);
// [Reset] Sequence= in its text form (the empty sequence: none); false when
// the file could not be written.
[[nodiscard]] bool WriteResetSequenceSetting(const std::string& programDir,
                                             const ResetSequence& sequence);

// "Command  to  COM%d" with comPortIndex + 1.
std::string CommandGroupCaption(int comPortIndex);

}  // namespace quillon
