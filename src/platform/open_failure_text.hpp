#pragma once
// Why a serial device could not be opened, in the user's language: the
// detail line below the catalog's "cannot open the port" message, so that a
// Japanese message is Japanese all through.

#include <string>

#include "platform/language.hpp"

namespace quillon {

enum class OpenFailure {
    NoSuchDevice,
    PermissionDenied,  // POSIX: `more` is the group that owns the device
    AccessDenied,      // Windows: usually another program holds the port
    Busy,
    NotSerial,
    Other,  // `more` is the system's own text for it
};

std::string OpenFailureText(Language language, const std::string& path, OpenFailure why,
                            const std::string& more = {});

}  // namespace quillon
