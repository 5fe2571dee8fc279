#pragma once
// The program folder: where CHIPDEF.INI, the control programs, the settings
// and the result file live, and why it is that folder. In order: the folder
// given on the command line, then $QUILLON_HOME, then the program's own
// folder when it holds CHIPDEF.INI (the portable layout; on Windows always),
// else the per-user folder ($XDG_CONFIG_HOME/quillon, by default
// ~/.config/quillon), which is set up from the installed share/quillon the
// first time it lacks CHIPDEF.INI, never overwriting a file already there.

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

enum class ProgramFolderSource { Option, Environment, Executable, UserFolder };

struct ProgramFolder {
    std::string path;  // with a trailing separator
    ProgramFolderSource source = ProgramFolderSource::Executable;
    std::string seededFrom;  // the folder its files were copied from now; empty when none

    // Why this folder, in a few words ("given with --program-dir", ...).
    std::string Why() const;
};

// The places the choice is made from; the system's, or a test's.
struct ProgramFolderPlaces {
    std::string option;         // --program-dir
    std::string environment;    // $QUILLON_HOME
    std::string executableDir;  // the folder of the running program
    std::string userFolder;     // empty where the system has none (Windows)
    std::string sharedData;     // the installed examples (<prefix>/share/quillon)
};

// The choice, the per-user folder set up when it is chosen. nullopt when no
// folder can be had or its path is too long for the system.
std::optional<ProgramFolder> ChooseProgramFolder(const ProgramFolderPlaces& places);

// The places on this system for the folder given on the command line.
ProgramFolderPlaces SystemProgramFolderPlaces(std::string_view option);

}  // namespace quillon
