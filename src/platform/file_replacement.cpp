#include "platform/file_replacement.hpp"

#include <cerrno>

#include "platform/paths.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {

FileReplacement::~FileReplacement() {
    Abandon();
}

bool FileReplacement::Open(const std::string& target) {
    Abandon();
    target_ = target;
    error_ = FileWriteError::None;
#ifdef _WIN32
    temp_ = target + ".tmp";
    file_ = std::fopen(temp_.c_str(), "wb");
#else
    temp_ = DirectoryPart(target) + "." + FileNamePart(target) + ".tmpXXXXXX";
    const int fd = ::mkstemp(temp_.data());
    if (fd >= 0) {
        // mkstemp makes the file private; an output file gets the usual mode.
        ::fchmod(fd, 0644);
        file_ = ::fdopen(fd, "wb");
        if (file_ == nullptr) {
            ::close(fd);
            std::remove(temp_.c_str());
        }
    }
#endif
    if (file_ == nullptr) {
        temp_.clear();
        NoteError();
        return false;
    }
    return true;
}

void FileReplacement::NoteError() {
#ifdef ENOSPC
    error_ = errno == ENOSPC ? FileWriteError::DiskFull : FileWriteError::Other;
#else
    error_ = FileWriteError::Other;
#endif
}

bool FileReplacement::Write(std::string_view bytes) {
    if (file_ == nullptr) {
        error_ = FileWriteError::Other;
        return false;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        NoteError();
        return false;
    }
    return true;
}

bool FileReplacement::Commit() {
    if (file_ == nullptr) {
        error_ = FileWriteError::Other;
        return false;
    }
    errno = 0;
    bool ok = std::fflush(file_) == 0;
#ifndef _WIN32
    ok = ok && ::fsync(::fileno(file_)) == 0;
#endif
    if (!ok) NoteError();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (ok && !closed) NoteError();
    ok = ok && closed;
#ifdef _WIN32
    ok = ok && MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
#else
    ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
#endif
    if (!ok) {
        if (error_ == FileWriteError::None) error_ = FileWriteError::Other;
        std::remove(temp_.c_str());
    }
    temp_.clear();
    return ok;
}

void FileReplacement::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        std::remove(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace quillon
