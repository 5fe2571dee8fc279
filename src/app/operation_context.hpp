#pragma once
// The one record of state that all commands and operations share: the
// selections, the loaded chip and its operation ranges, the flash image, the
// detail texts of the next report, the settings, the open port and the
// progress window of the running command, and the front end's interfaces.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/command_panel.hpp"
#include "app/file_chooser.hpp"
#include "app/progress_sink.hpp"
#include "app/sound_player.hpp"
#include "app/user_prompt.hpp"
#include "config/chip_definition.hpp"
#include "platform/clock.hpp"
#include "platform/language.hpp"
#include "platform/serial_device.hpp"

namespace quillon {

inline constexpr std::size_t kImageSize = 0x2D0000;  // 2,949,120 bytes

// Rate the port is opened at for a command before any download has set the
// control program's rate (TC326/TC327 may erase before a download).
inline constexpr std::uint32_t kInitialControlProgramBaud = 9600;

// The last outcome put to the result file, whether Report or a decoder in
// batch mode put it there.
struct LastReport {
    int code = 0;
    int severity = 0;
    std::string text;              // as composed for the result file
    bool resultFileWritten = true;
    bool recorded = false;         // false until something is put there
};

struct OperationContext : ChipDefinition, OperationRanges {
    OperationContext();
    ~OperationContext();
    OperationContext(const OperationContext&) = delete;
    OperationContext& operator=(const OperationContext&) = delete;

    // --- selections, exchanged with the main dialog's controls
    int chipIndex = 0;
    int clockIndex = 0;
    int mainFlashSelected = 1;
    int workFlashSelected = 1;
    std::string mainAreaText;
    std::string workAreaText;
    std::string hexFileName;
    // Entries of the target list (chip names in capital letters, file order)
    // and of the crystal list (the Clock labels as they stand).
    std::vector<std::string> targetList;
    std::vector<std::string> crystalList;

    // --- files
    std::string hexFilePath;
    std::string programDir;  // with a trailing separator
    std::string chipDefPath;

    // --- link
    std::uint8_t comPortIndex = 0;
    int portNumber = 0;
    std::uint32_t currentBaud = 0;
    std::uint32_t controlProgramBaud = kInitialControlProgramBaud;
    int portOpen = 0;
    std::string downloadFilePath;
    // The one open serial port (null when closed).
    std::unique_ptr<SerialDevice> comPortHandle;
    // A device path that replaces the [Ports] mapping (quillon-cli --port).
    std::string portPathOverride;

    // --- command state
    int downloaded = 0;
    std::unique_ptr<ProgressSink> progress;
    std::string progressText;
    TimeStamp operationStartTime;
    std::string detailText;
    std::string errorAddressText;
    std::string flashDataText;
    std::string hexDataText;
    std::vector<std::uint8_t> imageBuffer;  // kImageSize bytes, never resized
    int copyAsIntelHex = 0;
    int closing = 0;
    LastReport lastReport;

    // --- settings (Customize.ini)
    int soundEnabled = 0;
    int errorSoundEnabled = 0;
    int errorSoundType = 0;
    std::string errorWavePath = "<none>";
    int endSoundEnabled = 0;
    int endSoundType = 0;
    std::string endWavePath = "<none>";
    int toolTipsEnabled = 0;

    // --- process
    // Batch mode: started with at least one argument. `arguments` are the
    // arguments after the program name, options (--...) taken out.
    bool batchMode = false;
    std::vector<std::string> arguments;
    Language language = Language::English;

    // --- the outside world; never null (defaults do nothing / answer Cancel)
    Clock* clock;
    // Opens serial devices; front ends set OpenSystemSerialDevice, tests their
    // fakes. Empty: no port can be opened.
    SerialOpener openSerial;
    UserPrompt* prompt;
    CommandPanel* panel;
    SoundPlayer* sound;
    ProgressFactory* progressFactory;
    FileChooser* fileChooser;

    // The chip name as the target list holds it (empty when out of range).
    std::string SelectedChipName() const;
    // The crystal text of the selected entry (empty when out of range).
    std::string SelectedCrystalText() const;
};

// Closes the port when it is open; harmless when it is not.
void ClosePort(OperationContext& ctx);

// Back to the not-downloaded state: Erase only for TC326/TC327; Blank Check,
// Program & Verify, Read & Compare and Copy off; Download and Full Operation
// on; downloaded = 0. The area check boxes are left alone.
void ResetCommandButtons(OperationContext& ctx);

}  // namespace quillon
