// The program folder: which place wins, why, and the per-user folder set up
// from the installed files without ever overwriting the user's.

#include "platform/program_folder.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/paths.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::NativeSeparators;
using testing::TempDir;

class ProgramFolderTest : public ::testing::Test {
  protected:
    ProgramFolderTest() {
        for (const char* folder : {"exe", "share/ctrl"}) {
            std::filesystem::create_directories(dir.File(folder));
        }
        dir.Write("exe/quillon", "");
        dir.Write("share/CHIPDEF.INI", "[TC370]\r\n");
        dir.Write("share/ctrl/tc370.bin", "ctl");
        places.executableDir = dir.File("exe/");
        places.userFolder = dir.File("user/quillon");
        places.sharedData = dir.File("share");
    }
    ProgramFolder Choose() const {
        const std::optional<ProgramFolder> f = ChooseProgramFolder(places);
        EXPECT_TRUE(f.has_value());
        return f.value_or(ProgramFolder{});
    }
    TempDir dir;
    ProgramFolderPlaces places;
};

TEST_F(ProgramFolderTest, EachPlaceInItsTurn) {
    places.option = dir.File("given");
    places.environment = dir.File("home");
    ProgramFolder f = Choose();
    EXPECT_EQ(f.path, NativeSeparators(dir.File("given/")));
    EXPECT_EQ(f.Why(), "given with --program-dir");

    places.option.clear();
    f = Choose();
    EXPECT_EQ(f.path, NativeSeparators(dir.File("home/")));
    EXPECT_EQ(f.Why(), "given by QUILLON_HOME");

    // The program's own folder counts only when it holds CHIPDEF.INI...
    places.environment.clear();
    dir.Write("exe/CHIPDEF.INI", "");
    f = Choose();
    EXPECT_EQ(f.path, NativeSeparators(dir.File("exe/")));
    EXPECT_EQ(f.source, ProgramFolderSource::Executable);
    // ...unless the system has no per-user folder (Windows).
    std::filesystem::remove(dir.File("exe/CHIPDEF.INI"));
    ProgramFolderPlaces portable = places;
    portable.userFolder.clear();
    EXPECT_EQ(ChooseProgramFolder(portable)->path, NativeSeparators(dir.File("exe/")));
    EXPECT_FALSE(dir.Exists("user"));
}

TEST_F(ProgramFolderTest, PerUserFolderIsSetUpOnceFromTheInstalledFiles) {
    ProgramFolder f = Choose();
    EXPECT_EQ(f.path, NativeSeparators(dir.File("user/quillon/")));
    EXPECT_EQ(f.seededFrom, dir.File("share"));
    EXPECT_NE(f.Why().find("set up now from"), std::string::npos) << f.Why();
    EXPECT_EQ(dir.Read("user/quillon/CHIPDEF.INI"), "[TC370]\r\n");
    EXPECT_EQ(dir.Read("user/quillon/ctrl/tc370.bin"), "ctl");

    // The user's own edits and files stay as they are from then on.
    dir.Write("user/quillon/CHIPDEF.INI", "[MINE]\r\n");
    dir.Write("user/quillon/Customize.ini", "[Com]\r\nCom=3\r\n");
    dir.Write("share/ctrl/tc371.bin", "new");
    f = Choose();
    EXPECT_TRUE(f.seededFrom.empty());
    EXPECT_EQ(f.Why(), "the per-user folder");
    EXPECT_EQ(dir.Read("user/quillon/CHIPDEF.INI"), "[MINE]\r\n");
    EXPECT_FALSE(dir.Exists("user/quillon/ctrl/tc371.bin"));

    // Without CHIPDEF.INI it is set up again, and still nothing is replaced.
    std::filesystem::remove(dir.File("user/quillon/CHIPDEF.INI"));
    dir.Write("user/quillon/ctrl/tc370.bin", "edited");
    f = Choose();
    EXPECT_FALSE(f.seededFrom.empty());
    EXPECT_EQ(dir.Read("user/quillon/CHIPDEF.INI"), "[TC370]\r\n");
    EXPECT_EQ(dir.Read("user/quillon/ctrl/tc370.bin"), "edited");
    EXPECT_EQ(dir.Read("user/quillon/Customize.ini"), "[Com]\r\nCom=3\r\n");
}

// --where must not leave an empty folder behind when there is nothing to
// set it up from.
TEST_F(ProgramFolderTest, NothingInstalledCreatesNoPerUserFolder) {
    places.sharedData = dir.File("nothing-here");
    const ProgramFolder f = Choose();
    EXPECT_EQ(f.path, NativeSeparators(dir.File("user/quillon/")));
    EXPECT_TRUE(f.seededFrom.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("user/quillon")));
}

TEST_F(ProgramFolderTest, PathTooLongIsRefused) {
    places.option = std::string(5000, 'd');
    EXPECT_FALSE(ChooseProgramFolder(places).has_value());
}

}  // namespace
}  // namespace quillon
