#pragma once
// What the settings sheet's COM page does, whatever draws it: which of COM1
// to COM20 the program uses, each shown with what it stands for, and the
// board's reset sequence. Where COM numbers are mapped to devices (Linux),
// the page chooses the device of a number from the serial devices found or
// as a typed path, and marks a device, mapped or default, that is missing; where the
// COM number is the device (Windows), each number shows the adapter present
// on it. Only what changed is written.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_ports.hpp"

namespace quillon::gui {

class ComPage {
public:
    static constexpr int kPorts = 20;
    // Only the first buttons tell the sheet that the page changed; a port
    // above COM8 is still saved by OK.
    static constexpr int kPortsThatMarkChanged = 8;

    enum class Devices { Mapped, ComNumbers };
    struct DeviceLine {
        std::string text;
        bool missing = false;  // no device behind the path, mapped or default
        // An adapter whose latency timer slows the line: what it costs and
        // where to lower it (for a tip); the text then ends "(16 ms)".
        std::string note;
    };
    struct Entry {
        std::string text;    // as the list shows it
        std::string device;  // as [Ports] keeps it
    };

    ComPage(std::string programDir, int selected, Devices devices)
        : programDir_(std::move(programDir)), selected_(selected), devices_(devices) {}

    // Reads [Ports] and the reset sequence; `ports` are the serial devices
    // present.
    void Init(std::vector<SerialPortInfo> ports);

    int Selected() const { return selected_; }
    // Beside COM number index + 1 (0-based index).
    DeviceLine Device(int index) const;

    // The device list of a mapped COM number: the default first (its text
    // naming the default device of `index`), then the devices present.
    std::vector<Entry> Entries(int index) const;
    // The device an entry's text stands for: a listed entry's device, else
    // the text as a typed path, without the blanks around it.
    std::string DeviceOfText(const std::string& text, int index) const;
    const std::string& Chosen(int index) const { return chosen_[Clamp(index)]; }
    // True when it changed what the page would save.
    bool Choose(int index, std::string device);

    // The reset sequence as read or last written, a malformed one as it
    // stands, so that it can be mended.
    const std::string& ResetText() const { return savedReset_; }
    // A changed sequence that cannot be read is refused, `message` says why.
    bool CanSave(const std::string& resetText, std::string& message) const;
    // Writes the selection, the devices that changed and a changed reset
    // sequence. Returns what could not be saved (empty when all was).
    std::string Save(int selected, const std::string& resetText);
    // Whether the last Save wrote the sequence (ResetText() is then its form).
    bool ResetWritten() const { return resetWritten_; }

    // Whether the text differs from the saved sequence (blanks aside).
    bool ResetChanged(const std::string& resetText) const;

private:
    static int Clamp(int index) { return index < 0 ? 0 : index >= kPorts ? kPorts - 1 : index; }

    std::string programDir_;
    int selected_;
    Devices devices_;
    std::vector<SerialPortInfo> ports_;
    // Per COM number: the device [Ports] names ("" for the default), and
    // the one chosen on the page.
    std::array<std::string, kPorts> saved_;
    std::array<std::string, kPorts> chosen_;
    std::string savedReset_;
    bool resetWritten_ = false;
};

// What a person knows a port by: a USB adapter by its by-id name, which stays
// the same whichever socket or order it is plugged in.
std::string StoredPortName(const SerialPortInfo& port);
// The list's text of a port: the name, its description, its USB ids.
std::string PortEntryText(const SerialPortInfo& port);

}  // namespace quillon::gui
