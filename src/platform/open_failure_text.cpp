#include "platform/open_failure_text.hpp"

namespace quillon {

std::string OpenFailureText(Language language, const std::string& path, OpenFailure why,
                            const std::string& more) {
    if (language == Language::Japanese) {
        const std::string head = path + " を開けません: ";
        switch (why) {
            case OpenFailure::NoSuchDevice:
                return head + "デバイスがありません。";
            case OpenFailure::PermissionDenied:
                return head + "アクセス権がありません。デバイスを所有するグループ (" + more +
                       ") に入る必要があります。例: sudo usermod -aG " + more +
                       " $USER の後、ログインし直してください。";
            case OpenFailure::AccessDenied:
                return head + "アクセスが拒否されました (別のプログラムが使用中の可能性があります)。";
            case OpenFailure::Busy:
                return head + "デバイスは使用中です (別のプログラムが使用しています)。";
            case OpenFailure::NotSerial:
                return head + "シリアルデバイスではありません。";
            case OpenFailure::Other:
                return head + more + "。";
        }
    }
    const std::string head = "Cannot open " + path + ": ";
    switch (why) {
        case OpenFailure::NoSuchDevice:
            return head + "no such device.";
        case OpenFailure::PermissionDenied:
            return head + "permission denied. The user must be a member of the group that owns "
                          "the device (" + more + "), for example: sudo usermod -aG " + more +
                   " $USER, then log in again.";
        case OpenFailure::AccessDenied:
            return head + "access denied (another program may be using it).";
        case OpenFailure::Busy:
            return head + "the device is busy (another program uses it).";
        case OpenFailure::NotSerial:
            return head + "it is not a serial device.";
        case OpenFailure::Other:
            break;
    }
    return head + more + ".";
}

}  // namespace quillon
