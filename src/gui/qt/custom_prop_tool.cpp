#include "gui/qt/custom_prop_tool.hpp"

#include <QCheckBox>

#include "config/user_settings.hpp"
#include "gui/qt/dialog_layout.hpp"

namespace quillon::gui {

CCustomPropTool::CCustomPropTool(std::string programDir, int toolTipsEnabled, QWidget* parent)
    : CustomPropPage(parent), programDir_(std::move(programDir)), toolTips_(toolTipsEnabled) {
    setObjectName("CCustomPropTool");
    const DialogUnits du = DialogUnitsFor(font());
    check_ = CreateDialogControls("tool_page", this, du).Get<QCheckBox>("check1015");
    check_->setChecked(toolTips_ != 0);
    connect(check_, &QCheckBox::clicked, this, [this](bool on) {
        toolTips_ = on ? 1 : 0;
        emit Modified();
    });
    setMinimumSize(du.Size(180, 155));
}

void CCustomPropTool::Save() { WriteToolPageSettings(programDir_, toolTips_); }

}  // namespace quillon::gui
