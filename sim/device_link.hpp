#pragma once
// quillon-sim --link PATH: a symbolic link to the simulator's pseudo-terminal
// for as long as the simulator runs. A simulator owns its link through a lock
// on a hidden file beside it (".NAME.lock"), held until it ends: a second
// simulator given the same PATH refuses it and names the owner, and one that
// was killed leaves nothing that stops the next from taking the name.

#include <string>

namespace quillon::sim {

class DeviceLink {
  public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    // Removes the link if it still points at this simulator's device (the
    // user may have pointed it elsewhere), then the lock.
    ~DeviceLink();

    // Places the link to `device`; false with the reason when a running
    // simulator owns PATH, when a file of that name is not a symbolic link
    // (the user's, never replaced) or when it cannot be made.
    bool Place(const std::string& path, const std::string& device, std::string& error);

  private:
    void Release();

    std::string path_;
    std::string device_;
    std::string lockPath_;
    int lockFd_ = -1;
};

}  // namespace quillon::sim
