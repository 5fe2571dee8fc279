#include "platform/terminal_rate.hpp"

#ifdef __linux__
#include <asm/termbits.h>
#include <sys/ioctl.h>
#else
#include <termios.h>
#endif

namespace quillon {

#ifdef __linux__

bool SetTerminalRate(int fd, std::uint32_t baud) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    // BOTHER takes the rate as a number, so rates between the classic
    // constants work wherever the driver can make them.
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    if (ioctl(fd, TCSETS2, &t) != 0) return false;
    // A driver that rounds to what it can make reports that rate back; one
    // far off the request is a refusal.
    struct termios2 check {};
    if (ioctl(fd, TCGETS2, &check) != 0) return false;
    const double ratio = static_cast<double>(check.c_ospeed) / static_cast<double>(baud);
    return ratio > 0.97 && ratio < 1.03;
}

bool GetTerminalRate(int fd, std::uint32_t& baud) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    baud = t.c_ospeed;
    return true;
}

#else

// Elsewhere speed_t is the rate itself on the BSDs and macOS.
bool SetTerminalRate(int fd, std::uint32_t baud) {
    struct termios t {};
    if (tcgetattr(fd, &t) != 0) return false;
    if (cfsetispeed(&t, static_cast<speed_t>(baud)) != 0) return false;
    if (cfsetospeed(&t, static_cast<speed_t>(baud)) != 0) return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool GetTerminalRate(int fd, std::uint32_t& baud) {
    struct termios t {};
    if (tcgetattr(fd, &t) != 0) return false;
    baud = static_cast<std::uint32_t>(cfgetospeed(&t));
    return true;
}

#endif

}  // namespace quillon
