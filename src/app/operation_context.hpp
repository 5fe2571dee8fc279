#pragma once
// The records of one session of the main dialog (or of quillon-cli): the
// selections made in the dialog's controls, the loaded chip and its
// operation ranges, the flash image, the serial link, the settings, the
// running command's progress window, and the front end. The controller's
// commands work on it; the operations below the application are handed only
// the records they use.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/front_end.hpp"
#include "app/request.hpp"
#include "app/session_operator.hpp"
#include "app/step_journal.hpp"
#include "config/chip_definition.hpp"
#include "config/chip_setup.hpp"
#include "config/timing_log.hpp"
#include "config/user_settings.hpp"
#include "image/flash_image.hpp"
#include "link/link.hpp"
#include "platform/clock.hpp"
#include "platform/language.hpp"
#include "platform/progress_sink.hpp"
#include "platform/serial_device.hpp"
#include "platform/wire_trace.hpp"

namespace quillon {

// The last outcome put to the result file, whether a report or a decoder in
// batch mode put it there.
struct LastReport {
    int code = 0;
    int severity = 0;
    std::string text;              // as composed for the result file
    bool resultFileWritten = true;
    bool recorded = false;         // false until something is put there
};

struct OperationContext {
    // `clock` times every wait; `openSerial` opens the serial devices (the
    // system's, or a test's fakes).
    explicit OperationContext(Clock& clock = SystemClock(),
                              SerialOpener openSerial = OpenSystemSerialDevice);
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
    std::string hexFilePath;

    // --- files
    std::string programDir;  // with a trailing separator
    std::string chipDefPath;
    std::string programDirWhy;  // why the program folder is that one

    // --- the loaded chip, and the ranges of the areas ticked
    ChipDefinition chip;
    OperationRanges ranges;
    // Set once the ranges have been built for the loaded chip; cleared when
    // another chip is loaded.
    bool rangesBuilt = false;

    // --- the decoded hex file
    FlashImage image;
    // The file last decoded with fill 0xFF and the 16-bit sum of that image
    // over its ranges: what was sent, whatever the file on disk says later.
    std::string decodedHexPath;
    std::optional<std::uint16_t> decodedChecksum;
    int decodeFailedLine = 0;  // the line the last decode stopped at (0: none, or the file's)

    // --- the serial link, and its wire trace when one was asked for (declared
    // first, so that it outlives the link that writes to it)
    std::unique_ptr<WireTrace> trace;
    Link link;
    int comPortIndex = 0;  // COM1 is 0

    // --- command state
    int downloaded = 0;
    std::unique_ptr<ProgressSink> progress;
    std::string progressText;  // the step now running
    bool cancelled = false;    // the user cancelled it (an unattended run's ending)
    OperationTimer timer;
    int copyAsIntelHex = 0;
    int closing = 0;
    LastReport lastReport;
    int reportCount = 0;  // reports made in this session
    StepJournal journal;  // the steps run, for quillon-cli --json
    // A board of a gang leaves MESSFILE.TXT to the gang, which puts every
    // board's outcome there at the end.
    bool writesResultFile = true;

    // --- settings (Customize.ini)
    SoundSettings sound;
    int toolTipsEnabled = 0;

    // --- what the user asked for at start-up
    Request request;
    bool batchMode = false;
    Language language = Language::English;

    // --- the outside world
    Clock& clock;
    FrontEnd frontEnd;
    // What the link and the operations meet as the user.
    SessionOperator op;

    // The chip name as the target list holds it (empty when out of range).
    std::string SelectedChipName() const;
    // The crystal text of the selected entry (empty when out of range).
    std::string SelectedCrystalText() const;
    // The selected chip on its crystal, with the ranges built last, as the
    // operations take it.
    ChipSetup Setup() const;
};

// Closes the port when it is open; harmless when it is not.
void ClosePort(OperationContext& ctx);

// Back to the not-downloaded state: Erase only for TC326/TC327; Blank Check,
// Program & Verify, Read & Compare and Copy off; Download and Full Operation
// on; downloaded = 0. The area check boxes are left alone.
void ResetCommandButtons(OperationContext& ctx);

}  // namespace quillon
