#include "platform/paths.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;


TEST(PathPartsTest, FileNameAndDirectoryPartsSplitAtEitherSeparator) {
    EXPECT_EQ(FileNamePart("C:\\work\\a.hex"), "a.hex");
    EXPECT_EQ(FileNamePart("/home/u/b.mhx"), "b.mhx");
    EXPECT_EQ(FileNamePart("plain.hex"), "plain.hex");
    EXPECT_EQ(FileNamePart("dir/"), "");
    EXPECT_EQ(DirectoryPart("/home/u/b.mhx"), "/home/u/");
    EXPECT_EQ(DirectoryPart("C:\\w\\a.hex"), "C:\\w\\");
    EXPECT_EQ(DirectoryPart("plain.hex"), "");
    EXPECT_EQ(JoinPath("/p/", "x.bin"), "/p/x.bin");
    EXPECT_EQ(JoinPath("/p", "x.bin"), std::string("/p") + kPathSeparator + "x.bin");
    EXPECT_EQ(JoinPath("/p/", "/abs/x.bin"), "/abs/x.bin");
    EXPECT_EQ(JoinPath("", "x.bin"), "x.bin");
}

TEST(FileQueriesTest, ExistenceSizeAndAttributesTellFilesFromFolders) {
    TempDir dir;
    dir.Write("f.txt", "12345");
    EXPECT_TRUE(FileExists(dir.File("f.txt")));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_FALSE(DirectoryExists(dir.File("f.txt")));
    EXPECT_TRUE(PathAttributesReadable(dir.File("f.txt")));
    EXPECT_TRUE(PathAttributesReadable(dir.path()));
    EXPECT_FALSE(PathAttributesReadable(dir.File("missing")));
    EXPECT_EQ(FileSize(dir.File("f.txt")).value_or(0), 5u);
    EXPECT_FALSE(FileSize(dir.File("missing")).has_value());
    EXPECT_EQ(ShortPathName(dir.File("f.txt")), dir.File("f.txt"));
    EXPECT_EQ(ShortPathName(dir.File("missing")), "");
}

TEST(WholeFileTest, AtomicWriteReplacesTheFileAndLeavesNothingElse) {
    TempDir dir;
    dir.Write("out.txt", "old contents that are longer");
    ASSERT_TRUE(WriteFileAtomically(dir.File("out.txt"), std::string("new\0bytes", 9)));
    EXPECT_EQ(ReadWholeFile(dir.File("out.txt")).value_or(""), std::string("new\0bytes", 9));
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(WholeFileTest, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("taken"));
    dir.Write("taken/inner", "x");
    // A non-empty folder of that name cannot be replaced by a file.
    EXPECT_FALSE(WriteFileAtomically(dir.File("taken"), "data"));
    EXPECT_TRUE(DirectoryExists(dir.File("taken")));
    EXPECT_EQ(dir.Read("taken/inner"), "x");
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/out.txt"), "data"));
    EXPECT_FALSE(ReadWholeFile(dir.File("missing.txt")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.path()).has_value());
}

}  // namespace
}  // namespace quillon
