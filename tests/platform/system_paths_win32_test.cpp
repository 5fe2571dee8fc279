// Files and folders on Windows named outside any ANSI code page (kana and a
// Latin letter together): the program's UTF-8 paths reach the wide-character
// calls unchanged, files replaced in such a folder keep CR LF and leave
// nothing behind, and the program folder is the executable's.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h names the system's own profile calls with these macros.
#undef WriteProfileString

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/file_replacement.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"
#include "platform/program_folder.hpp"
#include "platform/system_paths.hpp"
#include "platform/wide_text.hpp"
#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

// "Quillon フォルダ ü" in UTF-8 and as the system spells it.
const std::string kName = "Quillon \xE3\x83\x95\xE3\x82\xA9\xE3\x83\xAB\xE3\x83\x80 \xC3\xBC";
const std::wstring kWideName = L"Quillon \u30D5\u30A9\u30EB\u30C0 \u00FC";

// The bytes of a file, read with the system's own wide call.
std::string ReadWithSystem(const std::string& path) {
    HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
    std::string bytes(4096, '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

int EntriesIn(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(PathFromUtf8(folder)))
        ++n;
    return n;
}

class WidePathTest : public ::testing::Test {
  protected:
    WidePathTest() : folder(dir.File(kName) + "\\") {
        CreateDirectoryW(WideFromUtf8(dir.File(kName)).c_str(), nullptr);
    }
    TempDir dir;
    const std::string folder;
};

TEST_F(WidePathTest, NamesConvertBothWaysAndMalformedTextDoesNotFail) {
    EXPECT_EQ(PathFromUtf8(kName).native(), kWideName);
    EXPECT_EQ(Utf8FromPath(std::filesystem::path(kWideName)), kName);
    EXPECT_EQ(PathFromUtf8("a\xFF" "b").native(), L"a\uFFFDb");
    EXPECT_EQ(JoinPath("C:\\p\\", "D:\\abs.hex"), "D:\\abs.hex");
    EXPECT_EQ(JoinPath("C:\\p", "x.hex"), "C:\\p\\x.hex");
}

TEST_F(WidePathTest, SettingsFileInTheFolderIsWrittenReadAndReplacedWithCrLf) {
    ASSERT_TRUE(DirectoryExists(folder));
    const std::string ini = folder + "\xE8\xA8\xAD\xE5\xAE\x9A.ini";  // 設定.ini
    ASSERT_TRUE(WriteProfileString(ini, "Ports", "COM12", "\\\\.\\COM12"));
    ASSERT_TRUE(WriteProfileString(ini, "Ports", "COM3", "\\\\.\\COM3"));
    EXPECT_EQ(ProfileString(ini, "ports", "com12", ""), "\\\\.\\COM12");
    const std::string expected = "[Ports]\r\nCOM12=\\\\.\\COM12\r\nCOM3=\\\\.\\COM3\r\n";
    EXPECT_EQ(ReadWithSystem(ini), expected);
    EXPECT_TRUE(FileExists(ini));
    EXPECT_EQ(FileSize(ini).value_or(0), expected.size());
    EXPECT_EQ(EntriesIn(folder), 1) << "no temporary file left behind";

    std::FILE* file = OpenFile(ini, "rb");
    ASSERT_NE(file, nullptr);
    char first[8] = {};
    EXPECT_EQ(std::fread(first, 1, 7, file), 7u);
    std::fclose(file);
    EXPECT_STREQ(first, "[Ports]");

    EXPECT_TRUE(RemoveFile(ini));
    EXPECT_FALSE(FileExists(ini));
    EXPECT_FALSE(RemoveFile(ini));
}

TEST_F(WidePathTest, TwoReplacementsOfOneFileNeverShareATemporaryFile) {
    const std::string target = folder + "MESSFILE.TXT";
    FileReplacement first;
    FileReplacement second;
    ASSERT_TRUE(first.Open(target));
    ASSERT_TRUE(second.Open(target));
    EXPECT_NE(first.temporaryPath(), second.temporaryPath());
    EXPECT_EQ(DirectoryPart(first.temporaryPath()), folder);
    ASSERT_TRUE(first.Write("NG\r\n"));
    ASSERT_TRUE(second.Write("OK"));
    ASSERT_TRUE(first.Commit());
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(ReadWithSystem(target), "OK");
    EXPECT_EQ(EntriesIn(folder), 1);
}

TEST_F(WidePathTest, ReplacementRefusedByTheSystemKeepsTheOldFile) {
    const std::string target = folder + "DATAFILE.TXT";
    ASSERT_TRUE(WriteFileAtomically(target, "old\r\n"));
    // Another program holds the file open without letting it be replaced.
    HANDLE held = CreateFileW(WideFromUtf8(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileAtomically(target, "new\r\n"));
    CloseHandle(held);
    EXPECT_EQ(ReadWithSystem(target), "old\r\n");
    EXPECT_EQ(EntriesIn(folder), 1);
}

TEST_F(WidePathTest, ShortFormNamesAnExistingPathOnly) {
    const std::string shortForm = ShortPathName(folder);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_TRUE(DirectoryExists(shortForm));
    EXPECT_EQ(ShortPathName(folder + "missing"), "");
}

TEST(WindowsProgramFolderTest, AlwaysTheExecutablesFolderUnlessGiven) {
    const std::optional<std::string> exe = ExecutablePath();
    ASSERT_TRUE(exe.has_value());
    EXPECT_TRUE(FileExists(*exe)) << *exe;
    EXPECT_EQ(FileNamePart(*exe), "test_platform.exe");

    ASSERT_EQ(_wputenv_s(L"QUILLON_HOME", (L"C:\\" + kWideName).c_str()), 0);
    ProgramFolderPlaces places = SystemProgramFolderPlaces("");
    EXPECT_EQ(places.environment, "C:\\" + kName);
    _wputenv_s(L"QUILLON_HOME", L"");
    places = SystemProgramFolderPlaces("");
    EXPECT_EQ(places.environment, "");
    EXPECT_EQ(places.userFolder, "");
    EXPECT_EQ(places.executableDir, DirectoryPart(*exe));

    // No CHIPDEF.INI beside the test program, and still its folder.
    const std::optional<ProgramFolder> chosen = ChooseProgramFolder(places);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->source, ProgramFolderSource::Executable);
    EXPECT_EQ(chosen->path, ShortPathName(places.executableDir));
}

}  // namespace
}  // namespace quillon
