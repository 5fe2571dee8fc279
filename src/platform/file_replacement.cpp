#include "platform/file_replacement.hpp"

#include <cerrno>
#include <cstring>

#include "platform/paths.hpp"
#include "platform/system_paths.hpp"

namespace quillon {

FileReplacement::~FileReplacement() {
    Abandon();
}

bool FileReplacement::Open(const std::string& target) {
    Abandon();
    target_ = target;
    error_ = FileWriteError::None;
    errno = 0;
    const OutputTarget resolved = ResolveOutputTarget(target);
    direct_ = resolved.kind == OutputKind::Direct;
    switch (resolved.kind) {
        case OutputKind::Refused:
            break;
        case OutputKind::Direct:
            file_ = OpenDirectOutput(resolved.path);
            break;
        case OutputKind::Replace:
            target_ = resolved.path;
            file_ = CreateFileBeside(target_, temp_);
            break;
    }
    if (file_ == nullptr) {
        temp_.clear();
        NoteError();
        return false;
    }
    return true;
}

void FileReplacement::NoteError() {
    error_ = errno == ENOSPC ? FileWriteError::DiskFull : FileWriteError::Other;
}

bool FileReplacement::Write(std::string_view bytes) {
    if (file_ == nullptr) {
        error_ = FileWriteError::Other;
        return false;
    }
    if (direct_) {
        pending_.append(bytes);
        return true;
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
    bool ok = true;
    if (direct_) {
        ok = std::fwrite(pending_.data(), 1, pending_.size(), file_) == pending_.size() &&
             std::fflush(file_) == 0;
        pending_.clear();
    } else {
        ok = std::fflush(file_) == 0 && SyncToDisk(file_);
    }
    if (!ok) NoteError();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (ok && !closed) NoteError();
    ok = ok && closed && (direct_ || ReplaceFileWith(temp_, target_));
    if (!ok) {
        if (error_ == FileWriteError::None) error_ = FileWriteError::Other;
        if (!temp_.empty()) RemoveFile(temp_);
    }
    temp_.clear();
    return ok;
}

void FileReplacement::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    pending_.clear();
    if (!temp_.empty()) {
        RemoveFile(temp_);
        temp_.clear();
    }
}

bool OutputPathUsable(const std::string& path, std::string& why) {
    errno = 0;
    const OutputTarget target = ResolveOutputTarget(path);
    if (target.kind == OutputKind::Direct) return true;
    std::string temp;
    std::FILE* file = target.kind == OutputKind::Replace ? CreateFileBeside(target.path, temp)
                                                         : nullptr;
    if (file == nullptr) {
        why = "cannot write " + path + ": " + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    std::fclose(file);
    RemoveFile(temp);
    return true;
}

bool RemoveOutputFile(const std::string& path) {
    const OutputTarget target = ResolveOutputTarget(path);
    return target.kind == OutputKind::Replace && FileExists(target.path) &&
           RemoveFile(target.path);
}

}  // namespace quillon
