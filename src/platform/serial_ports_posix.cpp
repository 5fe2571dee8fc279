// Serial devices on Linux, read from sysfs: <sys>/class/tty names every tty,
// those with a device behind them are ports, and the USB device above a port
// carries the ids and strings a person knows the adapter by. Plain file reads
// (no libudev), so a fake tree can stand in for /sys and /dev. Elsewhere
// (no /sys) the list is simply empty. An FTDI adapter's port device shows
// its latency timer.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/serial_ports.hpp"

namespace quillon {

namespace {

namespace fs = std::filesystem;

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// One attribute, empty when it is missing or unreadable. Only regular files
// are opened: in an odd tree a FIFO would block and a device node would be
// opened for real (raising a port's modem lines).
std::string ReadAttribute(const fs::path& path) {
    if (!IsRegularFile(path)) return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {};
    char buffer[kMaxPortText];
    std::size_t got = 0;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        while (got < sizeof buffer) {
            const ssize_t r = ::read(fd, buffer + got, sizeof buffer - got);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += static_cast<std::size_t>(r);
        }
    }
    ::close(fd);
    return ShowablePortText(std::string_view(buffer, got));
}

// `path` lies strictly below `root` (both canonical).
bool IsBelow(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, pathAt] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end() && pathAt != path.end();
}

// The USB device a port hangs off: the nearest folder from the port's device
// up that has idVendor and idProduct. The walk stays inside the sysfs root it
// was given.
std::optional<fs::path> UsbDeviceAbove(const fs::path& device, const fs::path& sysRoot) {
    for (fs::path dir = device; IsBelow(dir, sysRoot); dir = dir.parent_path()) {
        if (IsRegularFile(dir / "idVendor") && IsRegularFile(dir / "idProduct")) return dir;
    }
    return std::nullopt;
}

// The name of the driver behind a port ("ftdi_sio", "cdc_acm", "serial8250"):
// the last part of its device's driver link, which need not resolve. Since
// Linux 6.5 a UART's device is a layer of the serial core (bus serial-base,
// drivers "port" and "ctrl") that says nothing; the walk goes past it to the
// device the chip's own driver has.
std::string DriverName(const fs::path& device, const fs::path& sysRoot) {
    for (fs::path dir = device; IsBelow(dir, sysRoot); dir = dir.parent_path()) {
        std::error_code ec;
        fs::path target = fs::read_symlink(dir / "driver", ec).lexically_normal();
        if (ec) return {};
        if (!target.has_filename()) target = target.parent_path();  // "drivers/x/"
        // .../bus/<bus>/drivers/<name>
        if (target.parent_path().parent_path().filename() == "serial-base") continue;
        return ShowablePortText(target.filename().string());
    }
    return {};
}

// Device path -> its /dev/serial/by-id link. Links are resolved lexically
// against their folder: their targets are only compared, never followed.
// When two links name one device the first in name order wins.
std::map<std::string, std::string> ByIdLinks(const fs::path& devRoot) {
    const fs::path folder = devRoot / "serial" / "by-id";
    std::vector<fs::path> links;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_symlink(typeError)) continue;
        if (HasControlCharacter(it->path().filename().string())) continue;
        links.push_back(it->path());
    }
    std::sort(links.begin(), links.end());
    std::map<std::string, std::string> byDevice;
    for (const fs::path& link : links) {
        std::error_code readError;
        const fs::path target = fs::read_symlink(link, readError);
        if (readError || target.empty()) continue;
        byDevice.emplace((folder / target).lexically_normal().string(), link.string());
    }
    return byDevice;
}

// A latency timer as the driver shows it: 0 to 255 ms.
std::optional<unsigned> Milliseconds(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    unsigned ms = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        ms = ms * 10 + static_cast<unsigned>(c - '0');
    }
    if (ms > 255) return std::nullopt;
    return ms;
}

// An on-board UART slot with no chip behind it reports port type 0.
bool IsEmptyUartSlot(std::string_view name, const fs::path& ttyDir) {
    return name.starts_with("ttyS") && ReadAttribute(ttyDir / "type") == "0";
}

std::optional<SerialPortInfo> PortFor(const std::string& name, const fs::path& ttyDir,
                                      const fs::path& sysRoot, const fs::path& devRoot) {
    if (name.empty() || HasControlCharacter(name)) return std::nullopt;
    // Only a tty with a device behind it is a port (tty1, console, ptmx...
    // are not); a dangling or looping link counts as none.
    std::error_code ec;
    const fs::path device = fs::canonical(ttyDir / "device", ec);
    if (ec) return std::nullopt;
    if (IsEmptyUartSlot(name, ttyDir)) return std::nullopt;
    const fs::path node = (devRoot / name).lexically_normal();
    if (!fs::exists(node, ec)) return std::nullopt;

    SerialPortInfo port;
    port.device = node.string();
    if (const auto usb = UsbDeviceAbove(device, sysRoot)) {
        port.vendorId = ReadAttribute(*usb / "idVendor");
        port.productId = ReadAttribute(*usb / "idProduct");
        port.serialNumber = ReadAttribute(*usb / "serial");
        port.manufacturer = ReadAttribute(*usb / "manufacturer");
        port.description = ReadAttribute(*usb / "product");
    }
    if (port.description.empty()) port.description = DriverName(device, sysRoot);
    port.latencyTimerMs = Milliseconds(ReadAttribute(device / "latency_timer"));
    return port;
}

}  // namespace

std::string LowerLatencyAdvice(const std::string& device) {
    // The driver's own name for the port, also behind a by-id link.
    std::error_code ec;
    fs::path real = fs::canonical(device, ec);
    if (ec) real = device;
    const std::string name = real.filename().string();
    return "Quillon asks the driver for low latency (1 ms) while it holds the port; where the "
           "driver refuses: setserial " + device + " low_latency, or as root: echo 1 > "
           "/sys/bus/usb-serial/devices/" + name + "/latency_timer";
}

std::vector<SerialPortInfo> ListSerialPorts(const SerialPortRoots& roots) {
    std::vector<SerialPortInfo> ports;
    std::error_code ec;
    const fs::path sysRoot = fs::canonical(roots.sys, ec);
    if (ec || roots.dev.empty()) return ports;
    const fs::path devRoot = fs::path(roots.dev).lexically_normal();
    const auto byId = ByIdLinks(devRoot);
    for (fs::directory_iterator it(sysRoot / "class" / "tty", ec), end; !ec && it != end;
         it.increment(ec)) {
        auto port = PortFor(it->path().filename().string(), it->path(), sysRoot, devRoot);
        if (!port) continue;
        if (const auto link = byId.find(port->device); link != byId.end()) {
            port->byIdPath = link->second;
        }
        ports.push_back(std::move(*port));
    }
    std::sort(ports.begin(), ports.end(), SerialPortLess);
    return ports;
}

bool SerialDeviceMissing(const std::string& path, const std::vector<SerialPortInfo>& listed) {
    for (const SerialPortInfo& port : listed) {
        if (path == port.device || (!port.byIdPath.empty() && path == port.byIdPath)) return false;
    }
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return true;  // no such path, or a link to nothing
    for (const SerialPortInfo& port : listed) {
        std::error_code other;
        if (fs::canonical(port.device, other) == real && !other) return false;
    }
    struct stat st{};
    if (::stat(real.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return true;
    const int fd = ::open(real.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    // An empty UART slot answers EIO; a device gone away ENXIO or ENODEV.
    return errno == ENOENT || errno == ENXIO || errno == ENODEV || errno == EIO;
}

}  // namespace quillon
