#include "app/version_label.hpp"

#include <cstdio>

namespace quillon {

std::string VersionLabel(unsigned /*major*/, unsigned minor, unsigned /*patch*/, unsigned tweak,
                         bool prerelease) {
    // Each part is a 16-bit number in the version resource this mirrors.
    minor &= 0xFFFFu;
    tweak &= 0xFFFFu;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "V%02u,L%02u", minor, tweak / 100);
    std::string label = buffer;
    if (prerelease) {
        std::snprintf(buffer, sizeof buffer, " b%02u", tweak % 100);
        label += buffer;
    }
    return label;
}

std::string PackageVersion() {
    return std::to_string(QUILLON_VERSION_MAJOR) + "." + std::to_string(QUILLON_VERSION_MINOR) +
           "." + std::to_string(QUILLON_VERSION_PATCH) + "." +
           std::to_string(QUILLON_VERSION_TWEAK);
}

std::string AboutVersionLine() { return BuildVersionLabel() + " (" + PackageVersion() + ")"; }

std::string VersionLine(const std::string& program) {
    return program + " " + PackageVersion() + " (" + BuildVersionLabel() + ")";
}

std::string BuildVersionLabel() {
    return VersionLabel(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH,
                        QUILLON_VERSION_TWEAK, QUILLON_PRERELEASE != 0);
}

}  // namespace quillon
