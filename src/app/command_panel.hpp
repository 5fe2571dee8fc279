#pragma once
// The main dialog's controls as the core sees them: enabling, texts, focus
// and the data exchange between the controls and the operation context.

#include <string_view>

namespace quillon {

// Control identifiers of the main dialog.
enum ControlId : int {
    kIdHexFile = 1020,
    kIdVersion = 1027,
    kIdErase = 1035,
    kIdProgramVerify = 1036,
    kIdReadCompare = 1037,
    kIdCopy = 1038,
    kIdOpen = 1039,
    kIdBlankCheck = 1040,
    kIdFullOperation = 1041,
    kIdDownload = 1042,
    kIdSetEnvironment = 1043,
    kIdCheckSum = 1044,
    kIdTargetList = 1045,
    kIdCrystalList = 1046,
    kIdMainAreaText = 1047,
    kIdWorkAreaText = 1048,
    kIdCommandGroup = 1080,
    kIdMainFlash = 1085,
    kIdWorkFlash = 1086,
    kIdPicture = 1111,
    kIdHelp = 2000,
};

class CommandPanel {
public:
    virtual ~CommandPanel() = default;
    virtual void EnableControl(int id, bool enable) = 0;
    virtual void SetControlText(int id, std::string_view text) = 0;
    virtual void FocusControl(int id) = 0;
    // The context's values into the controls (and the lists' entries).
    virtual void ExchangeToControls() = 0;
    // The controls' values into the context.
    virtual void ExchangeFromControls() = 0;
    virtual void RepaintNow() = 0;
    // The second tooltip of the Hex File box, which shows the full path.
    virtual void SetHexFileTip(std::string_view path) = 0;
};

}  // namespace quillon
