// The places of the program folder on POSIX: $QUILLON_HOME, the per-user
// folder of the XDG base directories, the installed layout beside the
// executable.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/paths.hpp"
#include "platform/program_folder.hpp"

namespace quillon {
namespace {

TEST(SystemProgramFolderPlacesTest, EnvironmentAndInstalledLayout) {
    ::setenv("QUILLON_HOME", "/opt/q", 1);
    ::setenv("XDG_CONFIG_HOME", "/home/u/.cfg", 1);
    ProgramFolderPlaces p = SystemProgramFolderPlaces("/given");
    EXPECT_EQ(p.option, "/given");
    EXPECT_EQ(p.environment, "/opt/q");
    EXPECT_EQ(p.userFolder, "/home/u/.cfg/quillon/");
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(p.executableDir, DirectoryPart(exe));
    EXPECT_EQ(p.sharedData,
              (std::filesystem::path(DirectoryPart(exe)).parent_path().parent_path() / "share" /
               "quillon")
                  .string());
    // A relative XDG_CONFIG_HOME is ignored, as other desktop programs ignore it.
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(SystemProgramFolderPlaces("").userFolder, "/home/u/.config/quillon/");
    ::unsetenv("QUILLON_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace quillon
