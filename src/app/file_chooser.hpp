#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The save-file dialog of Copy (an argument in the console front end).
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // nullopt when the user cancelled.
    virtual std::optional<std::string> ChooseCopyFile(bool intelHex, std::string_view initialPath) = 0;
};

}  // namespace quillon
