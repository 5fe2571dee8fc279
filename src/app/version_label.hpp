#pragma once
// The version label of the main dialog and the About box.

#include <string>

namespace quillon {

// "V%02d,L%02d" with the minor number and tweak / 100, then " b%02d" with
// tweak % 100 for a pre-release build: 0.1.0.3304 reads V01,L33 (b04).
std::string VersionLabel(unsigned major, unsigned minor, unsigned patch, unsigned tweak,
                         bool prerelease);

// The label of this build's own version.
std::string BuildVersionLabel();

// This build's package version, "0.1.0.100".
std::string PackageVersion();

// The About box's line: the version label, the package version beside it,
// "V01,L01 (0.1.0.100)".
std::string AboutVersionLine();

// What --version prints: "quillon-cli 0.1.0.100 (V01,L01)".
std::string VersionLine(const std::string& program);

}  // namespace quillon
