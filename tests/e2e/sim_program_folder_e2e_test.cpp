// quillon-sim finds its program folder as quillon-cli does (the order itself
// is program_folder_test's): installed as <prefix>/bin with its files in
// <prefix>/share/quillon, on a fresh account it sets up the per-user folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/child_process.hpp"
#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

// quillon-sim in an installed layout: a hard link where the file system
// allows one (the program finds its prefix through its own path), else a copy.
std::string InstallSimInto(const TempDir& dir) {
    fs::create_directories(dir.File("usr/bin"));
    CopyExamplesTo(dir.File("usr/share/quillon"));
    const std::string sim = dir.File("usr/bin/quillon-sim");
    std::error_code ec;
    fs::create_hard_link(std::string(QUILLON_BIN_DIR) + "/quillon-sim", sim, ec);
    if (ec) fs::copy_file(std::string(QUILLON_BIN_DIR) + "/quillon-sim", sim);
    return sim;
}

TEST(SimProgramFolderTest, AFreshAccountGetsThePerUserFolder) {
    TempDir dir;
    const std::string sim = InstallSimInto(dir);
    ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    ::unsetenv("QUILLON_HOME");
    const ChildResult run = RunChild(sim, {"--chip", "NOSUCH"});
    EXPECT_NE(
        run.err.find("no complete section [NOSUCH] in " + dir.File("config/quillon/CHIPDEF.INI") +
                     " (the program folder is the per-user folder, set up now from " +
                     dir.File("usr/share/quillon") + ")"),
        std::string::npos)
        << run.err;
    SimProcess running({"--chip", "TC370"});
    EXPECT_TRUE(running.ok()) << running.error();
    EXPECT_TRUE(dir.Exists("config/quillon/hex/demo.mhx"));
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace quillon::testing
