#pragma once
// The system's Open and Save dialogs: the hex file to program, Copy's output
// file, a wave file for a sound.

#include <optional>
#include <string>

#include "app/file_chooser.hpp"
#include "gui/win32/win32_text.hpp"

namespace quillon::gui::win32 {

enum class FileKind { HexFile, IntelHexFile, WaveFile };

// An existing file to open, starting in `folder` when it is given.
std::optional<std::string> ChooseFileToOpen(HWND owner, FileKind kind, const std::string& folder);
// A file to write, offered as `initialPath`; an existing one only when the
// user agrees to replace it.
std::optional<std::string> ChooseFileToSave(HWND owner, FileKind kind,
                                            const std::string& initialPath);

class Win32FileChooser final : public FileChooser {
public:
    explicit Win32FileChooser(HWND owner) : owner_(owner) {}
    std::optional<std::string> ChooseCopyFile(bool intelHex, std::string_view initialPath) override;

private:
    HWND owner_;
};

}  // namespace quillon::gui::win32
