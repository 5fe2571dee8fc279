// Output paths that are not plain files: links, FIFOs, devices, folders.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/file_replacement.hpp"
#include "platform/paths.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

mode_t ModeOf(const std::string& path, bool follow = false) {
    struct stat st {};
    (follow ? ::stat : ::lstat)(path.c_str(), &st);
    return st.st_mode;
}

TEST(OutputFileTest, LinksAreFollowedAndStayLinks) {
    TempDir dir;
    dir.Write("real.json", "old record");
    fs::create_symlink(dir.File("real.json"), dir.File("link.json"));
    fs::create_symlink("elsewhere/new.json", dir.File("dangling.json"));
    fs::create_directory(dir.File("elsewhere"));
    ::chmod(dir.File("real.json").c_str(), 0600);

    ASSERT_TRUE(WriteFileAtomically(dir.File("link.json"), "new record"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("dangling.json"), "first"));
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("link.json"))));
    EXPECT_EQ(dir.Read("real.json"), "new record");
    EXPECT_EQ(ModeOf(dir.File("real.json")) & 0777, 0600u);  // the replaced file's mode
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("dangling.json"))));
    EXPECT_EQ(dir.Read("elsewhere/new.json"), "first");

    // Removing an output removes the file, never the link a site made.
    EXPECT_TRUE(RemoveOutputFile(dir.File("link.json")));
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("link.json"))));
    EXPECT_FALSE(dir.Exists("real.json"));
}

TEST(OutputFileTest, AFifoGetsTheWholeContentsInOneGoAndStaysAFifo) {
    TempDir dir;
    const std::string fifo = dir.File("record.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buffer[256];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, n);
        ::close(fd);
    });
    FileReplacement file;
    const bool written = file.Open(fifo) && file.Write("{\"ok\": ") && file.Write("true}\n") &&
                         file.Commit();
    reader.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(got, "{\"ok\": true}\n");
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
    EXPECT_FALSE(RemoveOutputFile(fifo));
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

TEST(OutputFileTest, DevicesAreWrittenAsTheyAreAndTheirFailuresAreErrors) {
    // /dev/full refuses every byte: a full disk that must not pass for a
    // written record, and a device that must stay one (also as root).
    FileReplacement full;
    ASSERT_TRUE(full.Open("/dev/full"));
    ASSERT_TRUE(full.Write("record"));
    EXPECT_FALSE(full.Commit());
    EXPECT_EQ(full.error(), FileWriteError::DiskFull);
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/full")));
    EXPECT_TRUE(WriteFileAtomically("/dev/null", "record"));
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));

    TempDir dir;
    fs::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("folder"), "record"));
    EXPECT_TRUE(fs::is_empty(dir.File("folder")));
}

TEST(OutputFileTest, SameFileSeesThroughLinksAndSpellings) {
    TempDir dir;
    dir.Write("app.mhx", "S0");
    fs::create_symlink(dir.File("app.mhx"), dir.File("alias.mhx"));
    EXPECT_TRUE(SameFile(dir.File("alias.mhx"), dir.File("app.mhx")));
    EXPECT_TRUE(SameFile(dir.File("x/../app.mhx"), dir.File("app.mhx")));
    EXPECT_TRUE(SameFile(dir.File("new.json"), dir.File("./new.json")));
    EXPECT_FALSE(SameFile(dir.File("new.json"), dir.File("app.mhx")));
}

}  // namespace
}  // namespace quillon
