#pragma once
// The POSIX serial device's seam for its driver's serial flags: through it
// the device asks for low latency when it is opened and puts the flags back
// when it is closed. OpenSystemSerialDevice asks only of USB serial devices,
// through the driver itself; a test hands in a driver of its own.

#include <functional>
#include <memory>
#include <string>

#include "platform/language.hpp"
#include "platform/low_latency.hpp"
#include "platform/serial_device.hpp"

namespace quillon {

// The serial flags of an open descriptor.
using SerialFlagsFor = std::function<std::unique_ptr<SerialFlags>(int fd)>;

// Opens `path` as OpenSystemSerialDevice does; with `flagsFor` set, asks for
// low latency through the flags it makes for the descriptor. `error` says
// why it could not, in `language` (the system opener: the user's).
std::unique_ptr<SerialDevice> OpenPosixSerialDevice(const std::string& path, std::string& error,
                                                    const SerialFlagsFor& flagsFor,
                                                    Language language = Language::English);

// The driver's own flags (Linux: TIOCGSERIAL and TIOCSSERIAL); null where
// the system has none.
std::unique_ptr<SerialFlags> DriverSerialFlags(int fd);

}  // namespace quillon
