#include "gui/win32/win32_files.hpp"

#include <commdlg.h>

#include <vector>

#include "platform/system_library_win32.hpp"

namespace quillon::gui::win32 {

namespace {

// The filter of a kind, pairs of name and pattern separated by NULs.
std::wstring FilterOf(FileKind kind) {
    std::wstring filter;
    switch (kind) {
        case FileKind::HexFile:
            filter = std::wstring(L"S format files (*.mhx *.cnv *.ahx)") + L'\0' +
                     L"*.mhx;*.cnv;*.ahx" + L'\0';
            break;
        case FileKind::IntelHexFile:
            filter = std::wstring(L"Intel Hex files (*.hex)") + L'\0' + L"*.hex" + L'\0';
            break;
        case FileKind::WaveFile:
            return std::wstring(L"Sound (*.wav)") + L'\0' + L"*.wav" + L'\0' + L'\0';
    }
    return filter + L"all files (*.*)" + L'\0' + L"*.*" + L'\0' + L'\0';
}

const wchar_t* ExtensionOf(FileKind kind) {
    switch (kind) {
        case FileKind::HexFile: return L"mhx";
        case FileKind::IntelHexFile: return L"hex";
        case FileKind::WaveFile: return L"wav";
    }
    return nullptr;
}

std::optional<std::string> Run(HWND owner, FileKind kind, const std::string& folder,
                               const std::string& initialName, bool save) {
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring initial = Wide(initialName);
    initial.copy(name.data(), std::min(initial.size(), name.size() - 1));
    const std::wstring filter = FilterOf(kind);
    const std::wstring start = Wide(folder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    ofn.lpstrDefExt = ExtensionOf(kind);
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    auto* dialog = save ? QUILLON_SYSTEM_FUNCTION(L"comdlg32.dll", GetSaveFileNameW)
                        : QUILLON_SYSTEM_FUNCTION(L"comdlg32.dll", GetOpenFileNameW);
    const BOOL chosen = dialog != nullptr && dialog(&ofn);
    if (!chosen) return std::nullopt;
    return Utf8(name.data());
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(HWND owner, FileKind kind, const std::string& folder) {
    return Run(owner, kind, folder, kind == FileKind::WaveFile ? "*.wav" : "", false);
}

std::optional<std::string> ChooseFileToSave(HWND owner, FileKind kind,
                                            const std::string& initialPath) {
    const std::size_t cut = initialPath.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : initialPath.substr(0, cut);
    const std::string name = cut == std::string::npos ? initialPath : initialPath.substr(cut + 1);
    return Run(owner, kind, folder, name, true);
}

std::optional<std::string> Win32FileChooser::ChooseCopyFile(bool intelHex,
                                                            std::string_view initialPath) {
    return ChooseFileToSave(owner_, intelHex ? FileKind::IntelHexFile : FileKind::HexFile,
                            std::string(initialPath));
}

}  // namespace quillon::gui::win32
