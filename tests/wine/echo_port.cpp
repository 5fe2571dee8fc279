#include "wine/echo_port.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon::testing {

EchoPort::EchoPort(const std::string& linkPath) : link_(linkPath) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = std::string("no pseudo-terminal: ") + std::strerror(errno);
        return;
    }
    const std::string slave = ptsname(master_);
    slave_ = open(slave.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    if (slave_ < 0 || tcgetattr(slave_, &t) != 0) {
        error_ = "cannot open " + slave;
        return;
    }
    // Every byte is data on both sides, whatever the opener sets.
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    unlink(link_.c_str());
    if (symlink(slave.c_str(), link_.c_str()) != 0) {
        error_ = "cannot link " + link_ + ": " + std::strerror(errno);
        return;
    }
    thread_ = std::thread([this] { Echo(); });
}

EchoPort::~EchoPort() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    unlink(link_.c_str());
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

void EchoPort::Echo() {
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        unsigned char buffer[4096];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) continue;
        // One write for what came in one read: a burst goes back as a burst.
        for (ssize_t sent = 0; sent < n && !stop_;) {
            const ssize_t w = write(master_, buffer + sent, static_cast<std::size_t>(n - sent));
            if (w > 0) sent += w;
        }
    }
}

}  // namespace quillon::testing
