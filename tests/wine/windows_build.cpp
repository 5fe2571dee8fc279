#include "wine/windows_build.hpp"

#include <cstdlib>
#include <filesystem>

namespace quillon::testing {

WindowsBuild::WindowsBuild() {
    const char* dir = std::getenv("QUILLON_WINDOWS_BUILD");
    if (dir == nullptr || *dir == '\0') {
        error_ = "QUILLON_WINDOWS_BUILD names no Windows build (scripts/test-windows sets it)";
        return;
    }
    dir_ = std::filesystem::absolute(dir).lexically_normal().string();
    prefix_ = dir_ + "/wineprefix";
    if (!std::filesystem::exists(Program("quillon-cli"))) {
        error_ = Program("quillon-cli") + " is missing: build the windows preset first";
    }
}

std::string WindowsBuild::Program(const std::string& name) const {
    return dir_ + "/bin/" + name + ".exe";
}

std::string WindowsBuild::ComPortLink(int n) const {
    return prefix_ + "/dosdevices/com" + std::to_string(n);
}

ChildResult WindowsBuild::Run(const std::string& name, const std::vector<std::string>& args,
                              const std::string& input, int limitSeconds) const {
    std::vector<std::string> all{prefix_, Program(name)};
    all.insert(all.end(), args.begin(), args.end());
    return RunChild(std::string(QUILLON_SOURCE_DIR) + "/scripts/wine-run", all, input,
                    limitSeconds);
}

std::string WinePath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace quillon::testing
