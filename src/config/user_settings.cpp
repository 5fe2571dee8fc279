#include "config/user_settings.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

namespace {

constexpr const char* kCustomizeFile = "Customize.ini";
constexpr const char* kRecentFile = "DATAFILE.TXT";
constexpr const char* kNoWaveFile = "<none>";
constexpr std::size_t kWavePathBuffer = 261;
constexpr std::size_t kHexPathBuffer = 260;
constexpr int kComPageButtons = 20;  // COM1 ... COM20
// Room for more than the parser takes, so that a cut-off value is refused as
// too long instead of read as a shorter sequence.
constexpr std::size_t kResetSequenceBuffer = 2 * kMaxResetSequenceText;

std::string CustomizePath(const std::string& programDir) {
    return JoinPath(programDir, kCustomizeFile);
}
std::string RecentPath(const std::string& programDir) {
    return JoinPath(programDir, kRecentFile);
}

// What the Sound page stores for a chosen wave file: its short form, or
// "<none>" when there is no such file.
std::string StoredWavePath(const std::string& chosen) {
    if (chosen.empty() || chosen == kNoWaveFile || DirectoryExists(chosen)) return kNoWaveFile;
    std::string shortPath = ShortPathName(chosen);
    return shortPath.empty() ? std::string(kNoWaveFile) : shortPath;
}

}  // namespace

std::string CommandGroupCaption(int comPortIndex) {
    return "Command  to  COM" + std::to_string(comPortIndex + 1);
}

CustomSettings ReadCustomSettings(const std::string& programDir) {
    const std::string path = CustomizePath(programDir);
    CustomSettings c;
    // The index is held in a byte; a hand-edited value that does not fit
    // falls back to COM1 instead of wrapping to some other port.
    const int index = ProfileInt(path, "Com", "Com", 0);
    c.comPortIndex = index < 0 || index > 255 ? 0 : index;
    c.sound.soundEnabled = ProfileInt(path, "Sound", "Sound", 0);
    c.sound.errorSoundEnabled = ProfileInt(path, "Sound", "ErrorEnable", 0);
    c.sound.errorSoundType = ProfileInt(path, "Sound", "ErrorType", 0);
    c.sound.errorWavePath =
        ProfileString(path, "Sound", "ErrorPass", kNoWaveFile, kWavePathBuffer);
    c.sound.endSoundEnabled = ProfileInt(path, "Sound", "EndEnable", 0);
    c.sound.endSoundType = ProfileInt(path, "Sound", "EndType", 0);
    c.sound.endWavePath = ProfileString(path, "Sound", "EndPass", kNoWaveFile, kWavePathBuffer);
    c.toolTipsEnabled = ProfileInt(path, "Tool", "ToolTips", 0);
    return c;
}

std::string ReadResetSequenceSetting(const std::string& programDir) {
    return ProfileString(CustomizePath(programDir), "Reset", "Sequence", "", kResetSequenceBuffer);
}

std::string ReadRunSequenceSetting(const std::string& programDir) {
    return ProfileString(CustomizePath(programDir), "Reset", "RunSequence", "",
                         kResetSequenceBuffer);
}

RecentSettings ReadRecentSettings(const std::string& programDir) {
    const std::string path = RecentPath(programDir);
    RecentSettings r;
    // Never written negative; a hand-edited one selects the first entry.
    r.chipIndex = std::max(0, ProfileInt(path, "Recent", "CPU", 0));
    r.clockIndex = std::max(0, ProfileInt(path, "Recent", "RATE", 0));
    r.hexFilePath = ProfileString(path, "Recent", "Write File", "", kHexPathBuffer);
    return r;
}

void WriteRecentSettings(const std::string& programDir, const RecentSettings& recent) {
    const std::string path = RecentPath(programDir);
    WriteProfileString(path, "Recent", "CPU", std::to_string(std::max(0, recent.chipIndex)));
    WriteProfileString(path, "Recent", "RATE", std::to_string(std::max(0, recent.clockIndex)));
    WriteProfileString(path, "Recent", "Write File", recent.hexFilePath);
}

void WriteComPageSettings(const std::string& programDir, int selectedIndex) {
    // No valid button: the empty text, which reads back as COM1.
    const bool valid = selectedIndex >= 0 && selectedIndex < kComPageButtons;
    WriteProfileString(CustomizePath(programDir), "Com", "Com",
                       valid ? std::to_string(selectedIndex) : std::string());
}

void WriteSoundPageSettings(const std::string& programDir, SoundSettings& settings) {
    const std::string path = CustomizePath(programDir);
    settings.errorWavePath = StoredWavePath(settings.errorWavePath);
    settings.endWavePath = StoredWavePath(settings.endWavePath);
    WriteProfileString(path, "Sound", "Sound", std::to_string(settings.soundEnabled));
    WriteProfileString(path, "Sound", "ErrorEnable", std::to_string(settings.errorSoundEnabled));
    WriteProfileString(path, "Sound", "ErrorType", std::to_string(settings.errorSoundType));
    WriteProfileString(path, "Sound", "ErrorPass", settings.errorWavePath);
    WriteProfileString(path, "Sound", "EndEnable", std::to_string(settings.endSoundEnabled));
    WriteProfileString(path, "Sound", "EndType", std::to_string(settings.endSoundType));
    WriteProfileString(path, "Sound", "EndPass", settings.endWavePath);
}

void WriteToolPageSettings(const std::string& programDir, int toolTipsEnabled) {
    WriteProfileString(CustomizePath(programDir), "Tool", "ToolTips",
                       std::to_string(toolTipsEnabled));
}

bool WriteResetSequenceSetting(const std::string& programDir, const ResetSequence& sequence) {
    return WriteProfileString(CustomizePath(programDir), "Reset", "Sequence",
                              FormatResetSequence(sequence));
}

}  // namespace quillon
