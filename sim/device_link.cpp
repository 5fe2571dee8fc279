#include "sim/device_link.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace quillon::sim {

namespace {

// ".NAME.lock" in the link's folder: hidden, and no name a program that
// reads the folder (Wine's dosdevices) takes for a device.
std::string LockPathFor(const std::string& link) {
    const std::size_t slash = link.find_last_of('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return link.substr(0, name) + "." + link.substr(name) + ".lock";
}

std::optional<std::string> LinkTarget(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    return target;
}

enum class Claim { Taken, Owned, Failed };

// Locks the lock file for the life of the process (the system drops the lock
// however the process ends). Owned, with the owner's pid when the system
// tells it (0 when not), when another process holds it.
Claim ClaimLock(const std::string& lockPath, int& fd, pid_t& owner, std::string& error) {
    // A few rounds: the owner may end, removing the file, between our open
    // and our lock; the lock then holds a file that is gone, and we try anew.
    for (int round = 0; round < 8; ++round) {
        // Never through a symbolic link: in a shared folder (/tmp) another
        // user could point one at a file of ours.
        fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = "cannot lock " + lockPath + ": " + std::strerror(errno);
            return Claim::Failed;
        }
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fcntl(fd, F_SETLK, &lock) != 0) {
            const int why = errno;
            struct flock probe {};
            probe.l_type = F_WRLCK;
            probe.l_whence = SEEK_SET;
            const bool held = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
            close(fd);
            fd = -1;
            if (why != EACCES && why != EAGAIN) {
                error = "cannot lock " + lockPath + ": " + std::strerror(why);
                return Claim::Failed;
            }
            if (held) {
                owner = probe.l_pid;
                return Claim::Owned;
            }
            continue;  // released in between
        }
        struct stat held {};
        struct stat named {};
        if (fstat(fd, &held) == 0 && stat(lockPath.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            return Claim::Taken;
        }
        close(fd);
        fd = -1;
    }
    error = "cannot lock " + lockPath + ": it keeps changing";
    return Claim::Failed;
}

}  // namespace

DeviceLink::~DeviceLink() {
    // Only a link that still points at this simulator's device goes.
    if (!path_.empty() && LinkTarget(path_) == device_) unlink(path_.c_str());
    Release();
}

void DeviceLink::Release() {
    if (lockFd_ < 0) return;
    // Removed while still held, so that no one takes a lock on a file that
    // is about to go.
    unlink(lockPath_.c_str());
    close(lockFd_);
    lockFd_ = -1;
}

bool DeviceLink::Place(const std::string& path, const std::string& device, std::string& error) {
    lockPath_ = LockPathFor(path);
    pid_t owner = 0;
    switch (ClaimLock(lockPath_, lockFd_, owner, error)) {
        case Claim::Taken:
            break;
        case Claim::Failed:
            return false;
        case Claim::Owned: {
            error = path + " is in use by the quillon-sim running";
            if (owner > 0) error += " as pid " + std::to_string(owner);
            if (const auto target = LinkTarget(path)) error += " on " + *target;
            error += "; stop that one or choose another --link";
            return false;
        }
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + " exists and is not a symbolic link; it is left as it is";
            Release();
            return false;
        }
        // Nobody holds the lock: the link is left over from a simulator that
        // was killed.
        unlink(path.c_str());
    }
    if (symlink(device.c_str(), path.c_str()) != 0) {
        error = "cannot place the link " + path + ": " + std::strerror(errno);
        Release();
        return false;
    }
    path_ = path;
    device_ = device;
    return true;
}

}  // namespace quillon::sim
