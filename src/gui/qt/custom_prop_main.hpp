#pragma once
// The settings sheet: COM port (and the board's reset sequence), result
// sounds, tooltips. Each page writes its own section of Customize.ini on OK or
// Apply, none when a page refuses what it shows; the main dialog then reloads
// the file, so the sheet never touches the operation context.

#include <memory>
#include <string>

#include <QDialog>

#include "config/user_settings.hpp"
#include "gui/settings_sheet.hpp"
#include "gui/qt/custom_prop_com.hpp"
#include "platform/language.hpp"

class QDialogButtonBox;
class QTabWidget;

namespace quillon {
class SoundPlayer;
}

namespace quillon::gui {

class CCustomPropSound;
class CCustomPropTool;

class CCustomPropMain final : public QDialog {
    Q_OBJECT
public:
    CCustomPropMain(std::string programDir, const CustomSettings& settings, Language language,
                    SoundPlayer& sound, QWidget* parent, SerialPortLister listPorts = {});
    ~CCustomPropMain() override;

    QTabWidget* Tabs() const { return tabs_; }
    QDialogButtonBox* Buttons() const { return buttons_; }
    CCustomPropCom* ComPage() const { return com_; }
    CCustomPropSound* SoundPage() const { return sound_; }
    CCustomPropTool* ToolPage() const { return tool_; }
    void OnApply();

private:
    [[nodiscard]] bool SavePagesShown();
    void OnOk();

    QTabWidget* tabs_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    CCustomPropCom* com_ = nullptr;
    CCustomPropSound* sound_ = nullptr;
    CCustomPropTool* tool_ = nullptr;
    std::unique_ptr<SettingsSheet> sheet_;
};

}  // namespace quillon::gui
