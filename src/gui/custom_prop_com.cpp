#include "gui/custom_prop_com.hpp"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "config/port_names.hpp"
#include "config/user_settings.hpp"
#include "gui/dialog_layout.hpp"
#include "gui/serial_device_list.hpp"

namespace quillon::gui {

namespace {

constexpr int kPorts = 20;
constexpr int kFirstId = 1201;
// Only these buttons tell the sheet that the page changed; a port above
// COM8 is still saved by OK.
constexpr int kPortsThatMarkChanged = 8;

}  // namespace

CCustomPropCom::CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent)
    : CustomPropPage(parent), programDir_(std::move(programDir)), selected_(comPortIndex) {
    setObjectName("CCustomPropCom");
    const DialogUnits du = DialogUnitsFor(font());
    const DialogControls made = CreateDialogControls("com_page", this, du);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    for (int i = 0; i < kPorts; ++i) {
        auto* radio = made.Get<QRadioButton>(QString("radio%1").arg(kFirstId + i));
        group_->addButton(radio, i);
        auto* device = made.Get<QLabel>(QString("device%1").arg(kFirstId + i));
        // Shown softer than the choices: information, not a choice.
        QPalette soft = device->palette();
        soft.setColor(QPalette::WindowText, QColor(0x55, 0x5f, 0x6b));
        device->setPalette(soft);
        if (i < kPortsThatMarkChanged) {
            connect(radio, &QRadioButton::clicked, this, [this] { emit Modified(); });
        }
    }
#ifdef Q_OS_LINUX
    found_ = CreateDialogControls("com_devices", this, du).Get<QLabel>("devicesFound");
    setMinimumSize(du.Size(250, 214));
#else
    setMinimumSize(du.Size(250, 174));
#endif
}

void CCustomPropCom::OnInitPage() {
    for (int i = 0; i < kPorts; ++i) {
        DeviceLabel(i)->setText(QString::fromStdString(ComPortDevicePath(programDir_, i + 1)));
    }
    if (found_) {
        const QStringList devices = SystemSerialDevices();
        found_->setText(devices.isEmpty() ? QString("none found") : devices.join(",  "));
    }
    if (selected_ >= 0 && selected_ < kPorts) group_->button(selected_)->setChecked(true);
}

QRadioButton* CCustomPropCom::PortButton(int index) const {
    return static_cast<QRadioButton*>(group_->button(index));
}

QLabel* CCustomPropCom::DeviceLabel(int index) const {
    return findChild<QLabel*>(QString("device%1").arg(kFirstId + index));
}

int CCustomPropCom::SelectedIndex() const { return group_->checkedId(); }

void CCustomPropCom::Save() {
    selected_ = group_->checkedId();
    WriteComPageSettings(programDir_, selected_);
}

}  // namespace quillon::gui
