#pragma once
// The Windows build of Quillon as the native tests reach it: its programs run
// under Wine (scripts/wine-run) in the build's own prefix, whose dosdevices
// folder maps COM ports to pseudo-terminals. scripts/test-windows names the
// build in QUILLON_WINDOWS_BUILD.

#include <string>
#include <vector>

#include "support/child_process.hpp"

namespace quillon::testing {

class WindowsBuild {
  public:
    // From QUILLON_WINDOWS_BUILD; ok() false (and why in error()) without it.
    WindowsBuild();

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // bin/NAME.exe of the build, as a host path.
    std::string Program(const std::string& name) const;
    // Where Wine looks for COM port `n` (dosdevices/comN): a link to the
    // device placed here opens as \\.\COMn.
    std::string ComPortLink(int n) const;
    // Runs a program of the build under Wine; `input` is its standard input.
    ChildResult Run(const std::string& name, const std::vector<std::string>& args,
                    const std::string& input = "", int limitSeconds = 120) const;

  private:
    std::string dir_;
    std::string prefix_;
    std::string error_;
};

// A host path as a Windows program under Wine names it (Z: is the root).
std::string WinePath(const std::string& hostPath);

}  // namespace quillon::testing
