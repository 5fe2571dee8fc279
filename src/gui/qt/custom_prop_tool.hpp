#pragma once

#include <string>

#include "gui/qt/custom_prop_page.hpp"

class QCheckBox;

namespace quillon::gui {

// Page "Tooltips": whether the main dialog shows its tips.
class CCustomPropTool final : public CustomPropPage {
    Q_OBJECT
public:
    CCustomPropTool(std::string programDir, int toolTipsEnabled, QWidget* parent);
    void Save() override;
    QCheckBox* ToolTipsBox() const { return check_; }

private:
    std::string programDir_;
    int toolTips_;
    QCheckBox* check_ = nullptr;
};

}  // namespace quillon::gui
