// quillon-sim --link PATH: the link to the pseudo-terminal lives exactly as
// long as the simulator, is never taken from a running one, and never
// replaces a file of the user's.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/sim_process.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {
namespace {

std::vector<std::string> SimArgs(const TempDir& dir) {
    return {"--program-dir", dir.path(), "--chip", "TC370", "--flash", dir.File("flash.bin"),
            "--link", dir.File("tty")};
}

TEST(SimLinkTest, GoesWithTheSimulatorWhateverSignalStopsIt) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir dir;
        CopyExamplesTo(dir.path());
        SimProcess sim(SimArgs(dir));
        ASSERT_TRUE(sim.ok()) << sim.error();
        EXPECT_EQ(std::filesystem::read_symlink(dir.File("tty")).string(), sim.path());
        EXPECT_EQ(sim.Stop(signal), 0);
        struct stat st {};
        EXPECT_NE(lstat(dir.File("tty").c_str(), &st), 0) << "the link is still there";
    }
}

TEST(SimLinkTest, ReplacesAStaleLinkButNeverAFile) {
    TempDir dir;
    CopyExamplesTo(dir.path());
    std::filesystem::create_symlink("/dev/pts/no-such-device", dir.File("tty"));
    {
        SimProcess sim(SimArgs(dir));
        ASSERT_TRUE(sim.ok()) << sim.error();
        EXPECT_EQ(std::filesystem::read_symlink(dir.File("tty")).string(), sim.path());
    }

    dir.Write("tty", "the user's notes");
    SimProcess refused(SimArgs(dir), dir.File("sim.log"));
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.Stop(), 2);
    EXPECT_EQ(dir.Read("tty"), "the user's notes");
    EXPECT_NE(dir.Read("sim.log").find("is not a symbolic link"), std::string::npos)
        << dir.Read("sim.log");
}

TEST(SimLinkTest, ARunningSimulatorKeepsItsLinkAKilledOneDoesNot) {
    namespace fs = std::filesystem;
    TempDir dir;
    CopyExamplesTo(dir.path());
    const std::string link = dir.File("tty");
    auto owner = std::make_unique<SimProcess>(SimArgs(dir));
    ASSERT_TRUE(owner->ok()) << owner->error();

    SimProcess second(SimArgs(dir), dir.File("sim.log"));
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(second.Stop(), 2);
    const std::string named = "pid " + std::to_string(owner->pid()) + " on " + owner->path();
    EXPECT_NE(dir.Read("sim.log").find(named), std::string::npos) << dir.Read("sim.log");
    EXPECT_EQ(fs::read_symlink(link).string(), owner->path());

    // Pointed elsewhere by the user, the link is no longer the simulator's to remove.
    fs::remove(link);
    fs::create_symlink("/dev/null", link);
    EXPECT_EQ(owner->Stop(), 0);
    EXPECT_EQ(fs::read_symlink(link).string(), "/dev/null");
    EXPECT_FALSE(dir.Exists(".tty.lock"));

    // A killed simulator leaves its link and lock file, but holds neither.
    owner = std::make_unique<SimProcess>(SimArgs(dir));
    ASSERT_TRUE(owner->ok()) << owner->error();
    owner->Stop(SIGKILL);
    SimProcess next(SimArgs(dir));
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_EQ(fs::read_symlink(link).string(), next.path());
}

}  // namespace
}  // namespace quillon::testing
