#include "platform/program_folder.hpp"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon {

namespace fs = std::filesystem;

namespace {

constexpr const char* kChipDefFile = "CHIPDEF.INI";

std::string WithTrailingSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += kPathSeparator;
    return dir;
}

// The folder as the program uses it: absolute, with the system's separators,
// in its short form, ended by a separator.
std::optional<std::string> Settled(const std::string& dir) {
    if (dir.empty() || dir.size() >= kMaxPathLength) return std::nullopt;
    std::string path = dir;
    std::error_code ec;
    fs::path absolute = fs::absolute(PathFromUtf8(dir), ec);
    if (!ec) path = Utf8FromPath(absolute.make_preferred());
    const std::string shortPath = ShortPathName(path);
    return WithTrailingSeparator(shortPath.empty() ? path : shortPath);
}

// Copies what `from` holds into `to`, folders included, leaving every file
// that is already there as it is. True when anything was copied; without
// anything to copy, `to` is not even created.
bool SeedFolder(const std::string& from, const std::string& to) {
    if (!FileExists(JoinPath(from, kChipDefFile))) return false;
    std::error_code ec;
    fs::create_directories(PathFromUtf8(to), ec);
    if (ec) return false;
    return CopyFolderContents(from, to, false);
}

}  // namespace

std::string ProgramFolder::Why() const {
    switch (source) {
        case ProgramFolderSource::Option:
            return "given with --program-dir";
        case ProgramFolderSource::Environment:
            return "given by QUILLON_HOME";
        case ProgramFolderSource::Executable:
            return "the program's own folder";
        case ProgramFolderSource::UserFolder:
            return seededFrom.empty() ? "the per-user folder"
                                      : "the per-user folder, set up now from " + seededFrom;
    }
    return {};
}

std::optional<ProgramFolder> ChooseProgramFolder(const ProgramFolderPlaces& places) {
    ProgramFolder folder;
    std::optional<std::string> path;
    if (!places.option.empty()) {
        folder.source = ProgramFolderSource::Option;
        path = Settled(places.option);
    } else if (!places.environment.empty()) {
        folder.source = ProgramFolderSource::Environment;
        path = Settled(places.environment);
    } else if (places.userFolder.empty() ||
               FileExists(JoinPath(places.executableDir, kChipDefFile))) {
        folder.source = ProgramFolderSource::Executable;
        path = Settled(places.executableDir);
    } else {
        folder.source = ProgramFolderSource::UserFolder;
        const std::string user = WithTrailingSeparator(places.userFolder);
        if (!FileExists(JoinPath(user, kChipDefFile)) && !places.sharedData.empty() &&
            SeedFolder(places.sharedData, user)) {
            folder.seededFrom = places.sharedData;
        }
        path = Settled(user);
    }
    if (!path) return std::nullopt;
    folder.path = *path;
    return folder;
}

ProgramFolderPlaces SystemProgramFolderPlaces(std::string_view option) {
    ProgramFolderPlaces places;
    places.option = std::string(option);
    if (const auto home = EnvironmentVariable("QUILLON_HOME")) places.environment = *home;
    if (const std::optional<std::string> exe = ExecutablePath()) {
        places.executableDir = DirectoryPart(*exe);
        // Installed as <prefix>/bin/quillon with the examples in
        // <prefix>/share/quillon; an unpacked package keeps that layout.
        places.sharedData = Utf8FromPath(
            (PathFromUtf8(places.executableDir) / ".." / "share" / "quillon").lexically_normal());
    }
    places.userFolder = UserConfigFolder();
    return places;
}

}  // namespace quillon
