#include "platform/serial_ports.hpp"

#include <cstdio>

#include "platform/natural_order.hpp"

namespace quillon {

bool SerialPortLess(const SerialPortInfo& a, const SerialPortInfo& b) {
    // The adapters a person plugs in are what they look for; on-board UARTs
    // (many of them empty slots on a PC) come after.
    const bool usbA = !a.vendorId.empty();
    const bool usbB = !b.vendorId.empty();
    if (usbA != usbB) return usbA;
    return NaturalLess(a.device, b.device);
}

std::string ShowablePortText(std::string_view raw) {
    if (raw.size() > kMaxPortText) raw = raw.substr(0, kMaxPortText);
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!raw.empty() && blank(raw.front())) raw.remove_prefix(1);
    while (!raw.empty() && blank(raw.back())) raw.remove_suffix(1);
    std::string text(raw);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return text;
}

std::string LatencyTimerNote(const SerialPortInfo& port) {
    if (!port.latencyTimerMs || *port.latencyTimerMs <= kLowLatencyTimerMs) return {};
    // A 512-byte program block at 115200 baud: command, acceptance, block
    // and CRC, status; the acceptance and the status each wait the timer out.
    constexpr double kBlockLineMs = (4 + 1 + 512 + 2 + 1) * 10 * 1000.0 / 115200;
    const unsigned ms = *port.latencyTimerMs;
    char text[160];
    std::snprintf(text, sizeof text,
                  "each reply waits up to %u ms in the adapter: programming at 115200 baud takes "
                  "about %.1f times the line's time; ",
                  ms, (kBlockLineMs + 2.0 * ms) / kBlockLineMs);
    return text + LowerLatencyAdvice(port.device);
}

std::string UsbId(const SerialPortInfo& port) {
    if (port.vendorId.empty() || port.productId.empty()) return {};
    return port.vendorId + ":" + port.productId;
}

}  // namespace quillon
