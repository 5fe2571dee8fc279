// quillon-sim finds its program folder as quillon-cli does: installed as
// <prefix>/bin with its files in <prefix>/share/quillon, a fresh account gets
// the per-user folder set up from them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

TEST(SimProgramFolderTest, ChosenAsQuillonCliChoosesIt) {
    TempDir dir;
    const std::string sim = InstallSimInto(dir);
    fs::create_directories(dir.File("given"));
    fs::create_directories(dir.File("home"));
    ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    struct Case {
        std::vector<std::string> args;
        const char* quillonHome;
        std::string said;
    };
    const Case cases[] = {
        {{"--program-dir", dir.File("given"), "--chip", "TC370"},
         "home",
         "no CHIPDEF.INI in " + dir.File("given/") +
             " (the program folder is given with --program-dir)"},
        {{"--chip", "TC370"},
         "home",
         "no CHIPDEF.INI in " + dir.File("home/") + " (the program folder is given by QUILLON_HOME)"},
        {{"--chip", "NOSUCH"},
         nullptr,
         "no complete section [NOSUCH] in " + dir.File("config/quillon/CHIPDEF.INI") +
             " (the program folder is the per-user folder, set up now from " +
             dir.File("usr/share/quillon") + ")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        if (c.quillonHome) {
            ::setenv("QUILLON_HOME", dir.File(c.quillonHome).c_str(), 1);
        } else {
            ::unsetenv("QUILLON_HOME");
        }
        const ChildResult run = RunChild(sim, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
    EXPECT_FALSE(dir.Exists("given/CHIPDEF.INI"));
    EXPECT_TRUE(dir.Exists("config/quillon/hex/demo.mhx"));

    // Once set up, the per-user folder serves a simulator started without a word of it.
    ::unsetenv("QUILLON_HOME");
    SimProcess running({"--chip", "TC370"});
    EXPECT_TRUE(running.ok()) << running.error();
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace quillon::testing
