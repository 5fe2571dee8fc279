#pragma once
// Copy's save-file dialog on the command line: the file named after --copy.

#include <optional>
#include <string>

#include "app/file_chooser.hpp"

namespace quillon {

class CliFileChooser final : public FileChooser {
  public:
    std::optional<std::string> ChooseCopyFile(bool, std::string_view) override {
        if (path.empty()) return std::nullopt;
        return path;
    }
    std::string path;
};

}  // namespace quillon
