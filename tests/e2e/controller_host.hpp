#pragma once
// The controller driven as the main dialog drives it, without a GUI, against
// quillon-sim over a pseudo-terminal: a program folder with the examples, the
// selected chip, a recording of every progress window (which acknowledges
// every result as a user would), and the simulator's flash file.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_chooser.hpp"
#include "app/progress_factory.hpp"
#include "e2e/live_session.hpp"
#include "platform/progress_sink.hpp"
#include "support/sim_process.hpp"

namespace quillon::testing {

// Bytes at target addresses; everything else is erased (0xFF).
using TargetData = std::map<std::uint32_t, std::vector<std::uint8_t>>;

// S-record text (S0, S2 lines of 16 bytes, S8) holding `data`.
std::string SRecordsOf(const TargetData& data);
// Intel HEX text (extended linear address records, 16-byte data records).
std::string IntelHexOf(const TargetData& data);
// `count` bytes of a pattern that differs with `seed` and never is all 0xFF.
std::vector<std::uint8_t> Pattern(std::size_t count, int seed);

// Every progress window the controller opened: its creation flags and what
// it was told, kept after the window is gone.
class TrackingFactory final : public ProgressFactory {
  public:
    struct Window {
        int flags = 0;
        std::shared_ptr<RecordingProgress> rec;
    };
    std::unique_ptr<ProgressSink> CreateProgress(int flags) override;

    std::vector<Window> windows;
    int live = 0;         // windows made and not yet destroyed
    bool refuse = false;  // the window cannot be made
    std::string interruptDuring;  // Ctrl-C in every window while its message holds this
    // Every SetMessage of every window, in order.
    std::vector<std::string> Messages() const;
    bool AnyMessageHas(const std::string& part) const;
};

class FileChooserStub final : public FileChooser {
  public:
    std::optional<std::string> ChooseCopyFile(bool, std::string_view) override { return path; }
    std::string path;
};

class ControllerHost {
  public:
    // Program folder with the examples, started up, `chip` and crystal selected.
    explicit ControllerHost(const std::string& chip, int crystal = 0);

    // Starts quillon-sim on this folder's CHIPDEF.INI and flash.bin, with
    // short erase and blank-check times and the given extra options.
    bool StartSim(const std::vector<std::string>& extra = {});
    // Stops the simulator (which saves its flash) and returns the flash file.
    std::string StopSimAndReadFlash();
    // The flash file before a start: every range erased, then `data` on top.
    void PrefillFlash(const TargetData& data);

    // The hex file of the commands: written here and selected.
    void UseHexFile(const std::string& name, const std::string& text);

    // Offset of a target address in the simulator's flash file, -1 outside.
    long long FlashOffset(std::uint32_t address) const;
    // True when the flash holds `data` and 0xFF everywhere else in `within`
    // (all of the flash when empty); `why` says where it differs.
    bool FlashHolds(const std::string& flash, const TargetData& data, std::string& why,
                    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& within = {}) const;

    std::string ResultFile() const { return t.dir.Read("MESSFILE.TXT"); }

    LiveSession t;
    OperationContext& ctx;
    TrackingFactory factory;
    FileChooserStub chooser;
    std::string chip;
    std::optional<SimProcess> sim;
    // The simulator's ranges (every area), in flash-file order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> simRanges;
};

}  // namespace quillon::testing
