#pragma once

#include <string>

#include "config/user_settings.hpp"
#include "gui/qt/custom_prop_page.hpp"
#include "gui/sound_page.hpp"
#include "platform/language.hpp"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillon {
class SoundPlayer;
}

namespace quillon::gui {

// Page "Sound" in Qt: the error and completion sounds, each a wave file or a
// beep. What the page does is gui/sound_page.hpp; this binds the widgets.
class CCustomPropSound final : public CustomPropPage {
    Q_OBJECT
public:
    enum Event { kError = 0, kEnd = 1 };

    CCustomPropSound(std::string programDir, const SoundSettings& settings, Language language,
                     SoundPlayer& sound, QWidget* parent);
    void Save() override;

    const SoundSettings& Settings() const { return model_.Settings(); }
    QCheckBox* EnableBox() const { return enable_; }
    QComboBox* EventList() const { return eventList_; }
    QRadioButton* WaveButton() const { return wave_; }
    QRadioButton* BeepButton() const { return beep_; }
    QComboBox* WaveBox() const { return waveBox_; }
    QPushButton* OpenButton() const { return open_; }
    QPushButton* PlayButton() const { return play_; }
    QPushButton* StopButton() const { return stop_; }
    QLabel* EventLabel() const { return eventLabel_; }
    QLabel* WaveLabel() const { return waveLabel_; }
    QGroupBox* TypeFrame() const { return typeFrame_; }

    // Handlers, public for the tests.
    void OnEnableClicked();
    void OnEventChanged();
    void OnTypeClicked();
    void OnOpen();
    void OnWaveFocusIn();
    void OnWavePicked();
    void OnWaveFocusOut();
    void OnPlay();
    void OnStop();

    void OnInitPage() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SoundPage::Shown FromControls() const;
    void Show(const SoundPage::Shown& shown);
    void UpdateEnabling();
    void CheckTypedWave();

    std::string programDir_;
    Language language_;
    SoundPlayer& player_;
    SoundPage model_;
    bool exchanging_ = false;
    bool checkingWave_ = false;

    QCheckBox* enable_ = nullptr;
    QLabel* eventLabel_ = nullptr;
    QComboBox* eventList_ = nullptr;
    QGroupBox* typeFrame_ = nullptr;
    QRadioButton* wave_ = nullptr;
    QRadioButton* beep_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QLabel* waveLabel_ = nullptr;
    QComboBox* waveBox_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* stop_ = nullptr;
};

}  // namespace quillon::gui
