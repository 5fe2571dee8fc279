#pragma once

#include <string>

#include "gui/custom_prop_page.hpp"

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace quillon::gui {

// Page "COM PORT": COM1 to COM20, each with the device it opens.
class CCustomPropCom final : public CustomPropPage {
    Q_OBJECT
public:
    CCustomPropCom(std::string programDir, int comPortIndex, QWidget* parent);
    void Save() override;

    QRadioButton* PortButton(int index) const;  // 0-based
    QLabel* DeviceLabel(int index) const;
    QLabel* DevicesFound() const { return found_; }
    int SelectedIndex() const;

protected:
    void OnInitPage() override;

private:
    std::string programDir_;
    int selected_;
    QButtonGroup* group_ = nullptr;
    QLabel* found_ = nullptr;
};

}  // namespace quillon::gui
