// Serial devices on Windows: the COM port API itself, whose time-out model
// the rest of the link is written for.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/open_failure_text.hpp"
#include "platform/serial_device.hpp"
#include "platform/wide_text.hpp"

namespace quillon {

namespace {

std::string OpenFailureText(const std::string& path, DWORD error) {
    const Language language = DetectLanguage();
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OpenFailureText(language, path, OpenFailure::NoSuchDevice);
        case ERROR_ACCESS_DENIED:
            return OpenFailureText(language, path, OpenFailure::AccessDenied);
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return OpenFailureText(language, path, OpenFailure::Busy);
        default:
            return OpenFailureText(language, path, OpenFailure::Other,
                                   (language == Language::Japanese ? "システムエラー "
                                                                   : "system error ") +
                                       std::to_string(error));
    }
}

class Win32SerialDevice final : public SerialDevice {
  public:
    explicit Win32SerialDevice(HANDLE h) : handle_(h) {}
    ~Win32SerialDevice() override { CloseHandle(handle_); }
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool GetTimeouts(SerialTimeouts& out) override {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(handle_, &t)) return false;
        out.readIntervalTimeout = t.ReadIntervalTimeout;
        out.readTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier;
        out.readTotalTimeoutConstant = t.ReadTotalTimeoutConstant;
        out.writeTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier;
        out.writeTotalTimeoutConstant = t.WriteTotalTimeoutConstant;
        return true;
    }
    bool SetTimeouts(const SerialTimeouts& in) override {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = in.readIntervalTimeout;
        t.ReadTotalTimeoutMultiplier = in.readTotalTimeoutMultiplier;
        t.ReadTotalTimeoutConstant = in.readTotalTimeoutConstant;
        t.WriteTotalTimeoutMultiplier = in.writeTotalTimeoutMultiplier;
        t.WriteTotalTimeoutConstant = in.writeTotalTimeoutConstant;
        return SetCommTimeouts(handle_, &t) != 0;
    }
    bool GetLineSettings(LineSettings& out) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return false;
        out.baudRate = dcb.BaudRate;
        out.byteSize = dcb.ByteSize;
        out.parity = static_cast<Parity>(dcb.Parity);
        out.stopBits = static_cast<StopBits>(dcb.StopBits);
        out.fBinary = dcb.fBinary != 0;
        out.fParity = dcb.fParity != 0;
        out.fOutxCtsFlow = dcb.fOutxCtsFlow != 0;
        out.fOutxDsrFlow = dcb.fOutxDsrFlow != 0;
        out.fDtrControl = static_cast<DtrControl>(dcb.fDtrControl);
        out.fRtsControl = static_cast<RtsControl>(dcb.fRtsControl);
        out.fOutX = dcb.fOutX != 0;
        out.fInX = dcb.fInX != 0;
        return true;
    }
    // Every field not in LineSettings keeps what the driver reported.
    bool SetLineSettings(const LineSettings& s) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return false;
        dcb.BaudRate = s.baudRate;
        dcb.ByteSize = s.byteSize;
        dcb.Parity = static_cast<BYTE>(s.parity);
        dcb.StopBits = static_cast<BYTE>(s.stopBits);
        dcb.fBinary = s.fBinary;
        dcb.fParity = s.fParity;
        dcb.fOutxCtsFlow = s.fOutxCtsFlow;
        dcb.fOutxDsrFlow = s.fOutxDsrFlow;
        dcb.fDtrControl = static_cast<DWORD>(s.fDtrControl);
        dcb.fRtsControl = static_cast<DWORD>(s.fRtsControl);
        dcb.fOutX = s.fOutX;
        dcb.fInX = s.fInX;
        if (!SetCommState(handle_, &dcb)) return false;
        // A driver may take a rate it cannot make and run at another (Wine
        // on a pseudo-terminal falls back to 38400); as on POSIX, a rate far
        // off the request is a refusal rather than a silent wrong rate.
        DCB now{};
        now.DCBlength = sizeof now;
        if (!GetCommState(handle_, &now) || s.baudRate == 0) return false;
        const double ratio = static_cast<double>(now.BaudRate) / static_cast<double>(s.baudRate);
        return ratio > 0.97 && ratio < 1.03;
    }
    bool Read(std::uint8_t* buffer, std::size_t n, std::size_t& got) override {
        DWORD count = 0;
        const BOOL ok = ReadFile(handle_, buffer, static_cast<DWORD>(n), &count, nullptr);
        got = count;
        return ok != 0;
    }
    bool Write(const std::uint8_t* data, std::size_t n, std::size_t& written) override {
        DWORD count = 0;
        const BOOL ok = WriteFile(handle_, data, static_cast<DWORD>(n), &count, nullptr);
        written = count;
        return ok != 0;
    }
    bool Purge(bool transmit, bool receive) override {
        DWORD flags = 0;
        if (transmit) flags |= PURGE_TXCLEAR;
        if (receive) flags |= PURGE_RXCLEAR;
        return flags == 0 || PurgeComm(handle_, flags) != 0;
    }
    bool ClearErrors(std::uint32_t& errors) override {
        DWORD flags = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &flags, &status)) return false;
        errors = flags;
        return true;
    }
    ModemLineResult SetModemLines(ModemLines lines) override {
        // A driver without the lines says so on the first call, before
        // anything changed (Wine on a pseudo-terminal: ERROR_NOT_SUPPORTED).
        if (!EscapeCommFunction(handle_, lines.dtr ? SETDTR : CLRDTR)) {
            const DWORD error = GetLastError();
            return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION
                       ? ModemLineResult::NoModemLines
                       : ModemLineResult::Failed;
        }
        if (!EscapeCommFunction(handle_, lines.rts ? SETRTS : CLRRTS)) {
            return ModemLineResult::Failed;
        }
        return ModemLineResult::Set;
    }

  private:
    HANDLE handle_;
};

}  // namespace

std::string DefaultSerialDevicePath(int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

std::unique_ptr<SerialDevice> OpenSystemSerialDevice(const std::string& path, std::string& error) {
    HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = OpenFailureText(path, GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32SerialDevice>(h);
}

}  // namespace quillon
