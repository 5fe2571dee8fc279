#include "gui/com_page.hpp"

#include "config/port_map.hpp"
#include "config/port_names.hpp"
#include "config/reset_sequence.hpp"
#include "config/user_settings.hpp"
#include "platform/serial_device.hpp"

namespace quillon::gui {

namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void AddLatencyNote(const SerialPortInfo& port, ComPage::DeviceLine& line) {
    line.note = LatencyTimerNote(port);
    if (!line.note.empty()) line.text += " (" + std::to_string(*port.latencyTimerMs) + " ms)";
}

// The COM port number a Windows device name stands for ("\\.\COM12" -> 12).
int ComNumberOf(const std::string& device) {
    const std::size_t at = device.rfind("COM");
    if (at == std::string::npos || at + 3 >= device.size()) return 0;
    int number = 0;
    for (std::size_t i = at + 3; i < device.size(); ++i) {
        if (device[i] < '0' || device[i] > '9' || number > 999) return 0;
        number = number * 10 + (device[i] - '0');
    }
    return number;
}

}  // namespace

std::string StoredPortName(const SerialPortInfo& port) {
    return port.byIdPath.empty() ? port.device : port.byIdPath;
}

std::string PortEntryText(const SerialPortInfo& port) {
    std::string text = StoredPortName(port);
    if (!port.description.empty()) text += " \u2014 " + port.description;
    std::string ids = UsbId(port);
    if (!port.serialNumber.empty()) ids += (ids.empty() ? "" : ", ") + port.serialNumber;
    if (!ids.empty()) text += " (" + ids + ")";
    return text;
}

void ComPage::Init(std::vector<SerialPortInfo> ports) {
    ports_ = std::move(ports);
    const std::vector<ComPortMapping> mappings = ComPortMappings(programDir_, kPorts);
    for (int i = 0; i < kPorts; ++i) {
        saved_[i] = mappings[i].mapped ? mappings[i].device : std::string();
        chosen_[i] = saved_[i];
    }
    savedReset_ = ReadResetSequenceSetting(programDir_);
}

ComPage::DeviceLine ComPage::Device(int index) const {
    index = Clamp(index);
    DeviceLine line;
    if (devices_ == Devices::ComNumbers) {
        // The adapter the system has on this number, by the name it shows.
        for (const SerialPortInfo& port : ports_) {
            if (ComNumberOf(port.device) != index + 1) continue;
            line.text = port.description.empty() ? port.device : port.description;
            AddLatencyNote(port, line);
            return line;
        }
        return line;
    }
    const bool mapped = !chosen_[index].empty();
    line.text = mapped ? chosen_[index] : DefaultSerialDevicePath(index + 1);
    line.missing = SerialDeviceMissing(line.text, ports_);
    for (const SerialPortInfo& port : ports_) {
        if (port.device == line.text || port.byIdPath == line.text) AddLatencyNote(port, line);
    }
    return line;
}

std::vector<ComPage::Entry> ComPage::Entries(int index) const {
    std::vector<Entry> entries;
    entries.push_back({"(default: " + DefaultSerialDevicePath(Clamp(index) + 1) + ")", ""});
    for (const SerialPortInfo& port : ports_) {
        entries.push_back({PortEntryText(port), StoredPortName(port)});
    }
    return entries;
}

std::string ComPage::DeviceOfText(const std::string& text, int index) const {
    for (const Entry& entry : Entries(index)) {
        if (entry.text == text) return entry.device;
    }
    return Trimmed(text);
}

bool ComPage::Choose(int index, std::string device) {
    index = Clamp(index);
    if (device == chosen_[index]) return false;
    chosen_[index] = std::move(device);
    return true;
}

// Compared without the blanks around it; an untouched sequence is neither
// checked nor written, so a hand-written one stays as it is.
bool ComPage::ResetChanged(const std::string& resetText) const {
    return Trimmed(resetText) != Trimmed(savedReset_);
}

bool ComPage::CanSave(const std::string& resetText, std::string& message) const {
    if (!ResetChanged(resetText)) return true;
    ResetSequence sequence;
    std::string error;
    if (ParseResetSequence(Trimmed(resetText), sequence, error)) return true;
    message = "The reset sequence cannot be saved: " + error +
              ".\nCorrect it, or empty it to be asked to reset the board.";
    return false;
}

std::string ComPage::Save(int selected, const std::string& resetText) {
    selected_ = selected;
    resetWritten_ = false;
    WriteComPageSettings(programDir_, selected_);
    // Only the numbers whose device changed are written, so that the rest of
    // [Ports] stays as the user or another program left it.
    std::string failed;
    for (int i = 0; i < kPorts; ++i) {
        if (chosen_[i] == saved_[i]) continue;
        const int number = i + 1;
        const std::string wanted = chosen_[i].empty() ? DefaultSerialDevicePath(number) : chosen_[i];
        // Read back, since a value the file cannot hold whole (too long for
        // the mapping's read) would open another device than the one chosen.
        if (MapComPort(programDir_, number, chosen_[i]) &&
            ComPortDevicePath(programDir_, number) == wanted) {
            saved_[i] = chosen_[i];
            continue;
        }
        (void)MapComPort(programDir_, number, saved_[i]);
        failed += (failed.empty() ? "COM" : ", COM") + std::to_string(number);
    }
    std::string problems;
    if (!failed.empty()) {
        problems = "The device of " + failed +
                   " could not be saved in Customize.ini; the mapping there is unchanged.";
    }
    if (ResetChanged(resetText)) {
        // Written in its own form, which the page then shows: what is shown
        // is what the next download runs.
        ResetSequence sequence;
        std::string error;
        if (ParseResetSequence(Trimmed(resetText), sequence, error) &&
            WriteResetSequenceSetting(programDir_, sequence)) {
            savedReset_ = FormatResetSequence(sequence);
            resetWritten_ = true;
        } else {
            if (!problems.empty()) problems += "\n";
            problems += "The reset sequence could not be saved in Customize.ini; "
                        "the sequence there is unchanged.";
        }
    }
    return problems;
}

}  // namespace quillon::gui
