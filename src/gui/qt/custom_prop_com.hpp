#pragma once
// Page "COM PORT" in Qt: COM1 to COM20, each with the device it opens, the
// device of the selected number chosen from the serial devices found or as a
// typed path, and the board's reset sequence. What the page does is
// gui/com_page.hpp; this binds the widgets to it.

#include <functional>
#include <string>
#include <vector>

#include "gui/com_page.hpp"
#include "gui/qt/custom_prop_page.hpp"
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
    static constexpr int kPorts = ComPage::kPorts;

    CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent,
                   SerialPortLister listPorts = {});
    void OnInitPage() override;
    // Refuses a changed reset sequence that cannot be read, telling why.
    bool CanSave() override;
    void Save() override;

    QRadioButton* PortButton(int index) const;  // 0-based
    QLabel* DeviceLabel(int index) const;
    // The device of the selected COM number.
    QComboBox* DeviceBox() const { return deviceBox_; }
    int SelectedIndex() const;
    QLineEdit* ResetEdit() const { return resetEdit_; }

private:
    void ShowDevice(int index);
    void LoadDeviceBox(int index);
    void OnDeviceEdited(const QString& text);

    ComPage model_;
    SerialPortLister listPorts_;
    QButtonGroup* group_ = nullptr;
    QComboBox* deviceBox_ = nullptr;
    bool loading_ = false;  // the box is being filled, not edited
    QLineEdit* resetEdit_ = nullptr;
};

}  // namespace quillon::gui
