#pragma once
// A pseudo-terminal that sends back every byte it receives, reached through a
// symbolic link (a Wine prefix's dosdevices/comN): the far end of a cable
// with its transmit and receive lines joined, for the Win32 serial device.

#include <atomic>
#include <string>
#include <thread>

namespace quillon::testing {

class EchoPort {
  public:
    explicit EchoPort(const std::string& linkPath);
    ~EchoPort();
    EchoPort(const EchoPort&) = delete;
    EchoPort& operator=(const EchoPort&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

  private:
    void Echo();

    int master_ = -1;
    int slave_ = -1;  // held open so that the line stays up between opens
    std::string link_;
    std::string error_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace quillon::testing
