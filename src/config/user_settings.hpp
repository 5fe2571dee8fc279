#pragma once
// Customize.ini (COM port, sounds, tooltips) and DATAFILE.TXT (the last chip,
// crystal and hex file), and the batch-mode arguments.

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct OperationContext;

void ReadCustomSettings(OperationContext& ctx);
void ReadRecentSettings(OperationContext& ctx);
void WriteRecentSettings(OperationContext& ctx);

// Property-page writers.
void WriteComPageSettings(const std::string& programDir, int selectedIndex);
struct SoundPageSettings {
    int soundEnabled = 0;
    int errorSoundEnabled = 0;
    int errorSoundType = 0;
    std::string errorWavePath = "<none>";
    int endSoundEnabled = 0;
    int endSoundType = 0;
    std::string endWavePath = "<none>";
};
// Writes the short forms of the wave paths (or "<none>") and puts what it
// wrote back into `settings`.
void WriteSoundPageSettings(const std::string& programDir, SoundPageSettings& settings);
void WriteToolPageSettings(const std::string& programDir, int toolTipsEnabled);

// "Command  to  COM%d" with comPortIndex + 1.
std::string CommandGroupCaption(int comPortIndex);

// Batch arguments: the COM port index from "com1".."com8" in argument 2 or 3
// (any case), or -1 when neither names one.
int BatchComPortIndex(const std::vector<std::string>& arguments);
// Whether the download asks for the reset, by the arguments: at most one
// argument asks; otherwise the first "reset" (asks) or "no_reset" (does not)
// from argument 2 on decides, and neither asks.
bool ArgumentsAskForReset(const std::vector<std::string>& arguments);

// The device path of COM port n (1-based): the [Ports] COMn key of
// Customize.ini, else /dev/ttyS<n-1> on Linux and \\.\COMn on Windows.
std::string ComPortDevicePath(const std::string& programDir, int portNumber);

}  // namespace quillon
