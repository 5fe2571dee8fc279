#include "gui/custom_prop_tool.hpp"

#include <QCheckBox>

#include "config/user_settings.hpp"
#include "gui/dialog_units.hpp"

namespace quillon::gui {

CCustomPropTool::CCustomPropTool(std::string programDir, int toolTipsEnabled, QWidget* parent)
    : CustomPropPage(parent), programDir_(std::move(programDir)), toolTips_(toolTipsEnabled) {
    setObjectName("CCustomPropTool");
    const DialogUnits du = DialogUnitsFor(font());
    check_ = new QCheckBox("&Tooltips", this);
    check_->setObjectName("check1015");
    PlaceAt(check_, du, 14, 14, 100, 12);
    check_->setChecked(toolTips_ != 0);
    connect(check_, &QCheckBox::clicked, this, [this](bool on) {
        toolTips_ = on ? 1 : 0;
        emit Modified();
    });
    setMinimumSize(du.Size(180, 155));
}

void CCustomPropTool::Save() { WriteToolPageSettings(programDir_, toolTips_); }

}  // namespace quillon::gui
