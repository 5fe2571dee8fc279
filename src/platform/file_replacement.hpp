#pragma once
// A file written in pieces that takes the place of its target only when
// complete: the bytes go to a temporary file in the target's folder, which
// Commit renames over the target. Until then (and after Abandon, or when the
// object goes away uncommitted) the target is untouched.

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

    // Creates the temporary file next to `target`. False when it cannot.
    bool Open(const std::string& target);
    // Appends bytes; false (and error() set) when the disk refused them.
    bool Write(std::string_view bytes);
    // Flushes, closes and renames over the target; false (error() set) when
    // any of it failed, in which case the temporary file is gone.
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
    FileWriteError error_ = FileWriteError::None;
};

}  // namespace quillon
