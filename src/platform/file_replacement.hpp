#pragma once
// An output file written in pieces that takes the place of its target only
// when complete. A regular file (or a name not taken yet) gets the bytes in a
// temporary file in its folder, which Commit renames over it; a symbolic link
// is followed and the file it names replaced. A device or FIFO (a line
// controller reading a pipe, /dev/stdout) is opened as it is and gets the
// bytes in one write at Commit. Until then (and after Abandon, or when the
// object goes away uncommitted) nothing at the target changes, and nothing
// that is not a regular file is ever unlinked.

#include <cstdio>
#include <string>
#include <string_view>

namespace quillon {

enum class FileWriteError { None, DiskFull, Other };

class FileReplacement {
  public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file next to `target`, or opens the device or
    // FIFO it names. False when it cannot (a folder, a missing folder, no
    // permission).
    bool Open(const std::string& target);
    // Appends bytes; false (and error() set) when the disk refused them.
    bool Write(std::string_view bytes);
    // Flushes, closes and renames over the target (or writes what was kept
    // to the device); false (error() set) when any of it failed, in which
    // case the temporary file is gone.
    bool Commit();
    // Closes and removes the temporary file.
    void Abandon();

    FileWriteError error() const { return error_; }
    const std::string& temporaryPath() const { return temp_; }

  private:
    void NoteError();
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temp_;
    // Direct output: the bytes wait here for the one write at Commit.
    bool direct_ = false;
    std::string pending_;
    FileWriteError error_ = FileWriteError::None;
};

// Whether an output could be written at `path`, found out without touching
// it: a folder that takes a new file there, or a device, FIFO or "-". False
// with why (the path and the system's reason).
bool OutputPathUsable(const std::string& path, std::string& why);

// Removes the file an output path names when it is a regular file (through
// symbolic links, which stay); a device or FIFO is left alone. False when
// there was no such file or it could not be removed.
bool RemoveOutputFile(const std::string& path);

}  // namespace quillon
