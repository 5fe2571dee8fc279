#pragma once
// What a serial port is to the user: COM port n, or a device path given as
// it stands, and the device COM port n stands for.

#include <string>

namespace quillon {

struct PortName {
    int number = 1;    // COM port number (1-based), used when `path` is empty
    std::string path;  // a device path that replaces the COM port's mapping

    // "COM3", or the path.
    std::string Text() const;
};

// The device path of COM port n: the [Ports] COMn key of Customize.ini in
// programDir, else the system's default device for COMn.
std::string ComPortDevicePath(const std::string& programDir, int portNumber);

// The device `port` opens.
std::string DevicePathOf(const PortName& port, const std::string& programDir);

}  // namespace quillon
