#pragma once
// Page "COM PORT": which of COM1 to COM20 the program uses, each shown with
// the device it opens. On Linux the page also chooses that device for the
// selected number, from the serial devices found or as a typed path, and
// marks a mapped device that is not present now. Below, the board's reset
// sequence: the DTR/RTS steps run instead of asking to reset the board.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "gui/custom_prop_page.hpp"
#include "platform/serial_ports.hpp"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
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
    // Refuses a changed reset sequence that cannot be read, telling why.
    bool CanSave() override;
    void Save() override;

    QRadioButton* PortButton(int index) const;  // 0-based
    QLabel* DeviceLabel(int index) const;
    // The device of the selected COM number; null where COM numbers are the
    // devices (Windows).
    QComboBox* DeviceBox() const { return deviceBox_; }
    int SelectedIndex() const;
    QLineEdit* ResetEdit() const { return resetEdit_; }

protected:
    void OnInitPage() override;

private:
    void ShowDevice(int index);
    void LoadDeviceBox(int index);
    void OnDeviceEdited(const QString& text);
    bool ResetChanged() const;

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
    QLineEdit* resetEdit_ = nullptr;
    std::string savedReset_;  // [Reset] Sequence= as read or last written
};

}  // namespace quillon::gui
