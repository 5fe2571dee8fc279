#pragma once
// What the main dialog does, whatever draws it: its caption and tooltips, the
// start-up and the batch run, the hex file a user chooses or drops, the Copy
// button's format, running a command, and when the window may close. The Qt
// and Win32 views own one, bind their controls to the session it serves, and
// show what it says.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch_run.hpp"
#include "app/operation_context.hpp"
#include "config/user_settings.hpp"

namespace quillon::gui {

inline constexpr const char* kMainCaption = "Microcontroller with Flash Memory Programmer";
// The caption of every box the program shows on its own behalf.
inline constexpr const char* kBoxCaption = "flash";
inline constexpr const char* kHelpFileName = "flash_html.chm";
// The system-menu command of the About box.
inline constexpr int kAboutCommand = 16;
// The area fields of the main dialog hold this many characters at most.
inline constexpr std::size_t kAreaTextLimit = 7;

struct ToolTipEntry {
    int control;
    std::string text;
};

class MainDialog {
public:
    enum class Start { Ready, Failed, BatchDone };

    explicit MainDialog(OperationContext& ctx) : ctx_(ctx) {}

    // Start-up (chip list, selections, settings, buttons). Failed: the
    // message for a box captioned "flash" is in StartFailureText(); in
    // batch mode Full Operation has run and its outcome is BatchResult().
    Start StartUp();
    const std::string& StartFailureText() const { return startFailure_; }
    const BatchOutcome& BatchResult() const { return batch_; }

    // The controls' tips in the session's language, Hex File's included.
    std::vector<ToolTipEntry> ToolTips() const;
    // Hex File has two tips: what it is for, and the path of the file.
    std::string HexFileTip() const;
    bool ToolTipsShown() const { return ctx_.toolTipsEnabled == 1; }

    // A file chosen in the Open dialog, or dropped on the window, becomes
    // the hex file and is remembered in DATAFILE.TXT; a dropped folder or a
    // name that is not there is ignored (false).
    bool ChooseHexFile(const std::string& path);
    bool DropHexFile(const std::string& path);
    // The Open dialog has closed, with a file or without: the selections
    // are remembered either way.
    void OpenEnded(const std::optional<std::string>& chosen);
    // The folder the Open dialog starts in: the hex file's, or empty.
    std::string OpenFolder() const;

    // Right-click on Copy: S-records or Intel HEX; the button's new caption.
    std::string ToggleCopyFormat();
    std::string CopyCaption() const;

    // Runs a command of the controller; the window may not close meanwhile.
    void Run(void (*command)(OperationContext&));
    bool CommandRunning() const { return running_; }
    // Whether the window may close now (no command, no progress window);
    // when it may, the session is marked closing.
    bool Close();

    // The settings the sheet opens with.
    CustomSettings SheetSettings() const;

private:
    OperationContext& ctx_;
    std::string startFailure_;
    BatchOutcome batch_;
    bool running_ = false;
};

// A caption's mnemonic letter in capitals ("&Copy" -> 'C'); 0 when it has
// none ("&&" is a plain ampersand) or the letter is not ASCII.
char MnemonicOf(std::string_view caption);

// The text with its ASCII letters in capitals (Check SUM's fields).
std::string Capitals(std::string_view text);

}  // namespace quillon::gui
