#pragma once
// Page "COM PORT": which of COM1 to COM20 the program uses, each shown with
// the device it opens. On Linux the page also chooses that device for the
// selected number, from the serial devices found or as a typed path, and
// marks a mapped device that is not present now.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "gui/custom_prop_page.hpp"
#include "platform/serial_ports.hpp"

class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;

namespace quillon::gui {

// Where the page learns the serial devices present; empty means the
// system's own list (ListSerialPorts).
using SerialPortLister = std::function<std::vector<SerialPortInfo>()>;

class CCustomPropCom final : public CustomPropPage {
    Q_OBJECT
public:
    static constexpr int kPorts = 20;

    CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent,
                   SerialPortLister listPorts = {});
    void Save() override;

    QRadioButton* PortButton(int index) const;  // 0-based
    QLabel* DeviceLabel(int index) const;
    // The device of the selected COM number; null where COM numbers are the
    // devices (Windows).
    QComboBox* DeviceBox() const { return deviceBox_; }
    int SelectedIndex() const;

protected:
    void OnInitPage() override;

private:
    void ShowDevice(int index);
    void LoadDeviceBox(int index);
    void OnDeviceEdited(const QString& text);

    std::string programDir_;
    int selected_;
    SerialPortLister listPorts_;
    QButtonGroup* group_ = nullptr;
    QComboBox* deviceBox_ = nullptr;
    std::vector<SerialPortInfo> ports_;
    // Per COM number: the device [Ports] names ("" for the default), and
    // the one chosen on the page, written by Save when they differ.
    std::array<std::string, kPorts> saved_;
    std::array<std::string, kPorts> chosen_;
    bool loading_ = false;  // the box is being filled, not edited
};

}  // namespace quillon::gui
