#include "gui/sound_page.hpp"

namespace quillon::gui {

bool IsUsableWaveName(std::string_view text) {
    if (text.size() < 5) return false;
    std::string extension(text.substr(text.size() - 4));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (extension != ".wav") return false;
    const char before = text[text.size() - 5];
    return before != '\\' && before != '/';
}

int& SoundPage::TypeOf(int event) { return event == kEnd ? s_.endSoundType : s_.errorSoundType; }
int& SoundPage::EnabledOf(int event) {
    return event == kEnd ? s_.endSoundEnabled : s_.errorSoundEnabled;
}
std::string& SoundPage::PathOf(int event) {
    return event == kEnd ? s_.endWavePath : s_.errorWavePath;
}

SoundPage::Shown SoundPage::Init() {
    shown_.soundOn = s_.soundEnabled != 0;
    shown_.event = kError;
    shown_.type = TypeOf(kError);
    shown_.wave = PathOf(kError);
    return shown_;
}

SoundPage::Enabling SoundPage::Enabled() const {
    return {shown_.soundOn, shown_.soundOn && shown_.type == 0};
}

void SoundPage::EnableClicked(const Shown& shown) { shown_ = shown; }

SoundPage::Shown SoundPage::EventChanged(const Shown& shown) {
    shown_ = shown;
    shown_.wave = PathOf(shown_.event);
    shown_.type = TypeOf(shown_.event);
    return shown_;
}

void SoundPage::TypeClicked(const Shown& shown) {
    shown_ = shown;
    TypeOf(shown_.event) = shown_.type;
    EnabledOf(shown_.event) = (shown_.type == 1 || shown_.wave != kNoWave) ? 1 : 0;
}

SoundPage::Shown SoundPage::Opened(const Shown& shown, const std::string& file) {
    shown_ = shown;
    shown_.wave = file;
    PathOf(shown_.event) = file;
    EnabledOf(shown_.event) = 1;
    return shown_;
}

void SoundPage::WavePicked(const Shown& shown) {
    shown_ = shown;
    PathOf(shown_.event) = shown_.wave;
    EnabledOf(shown_.event) = shown_.wave != kNoWave ? 1 : 0;
}

SoundPage::WaveCheck SoundPage::WaveLeft(const Shown& shown) {
    const std::string before = shown_.wave;
    shown_ = shown;
    WaveCheck check;
    if (shown_.wave != kNoWave && !IsUsableWaveName(shown_.wave)) {
        shown_.wave = before;
        check.refused = true;
        check.restore = before;
        return check;
    }
    if (shown_.wave == before && PathOf(focusEvent_) == before) return check;
    // The name belongs to the event shown when the box took the focus.
    PathOf(focusEvent_) = shown_.wave;
    EnabledOf(focusEvent_) = shown_.wave != kNoWave ? 1 : 0;
    check.modified = true;
    return check;
}

SoundPage::Shown SoundPage::Save(const std::string& programDir) {
    s_.soundEnabled = shown_.soundOn ? 1 : 0;
    WriteSoundPageSettings(programDir, s_);
    shown_.wave = PathOf(shown_.event);
    return shown_;
}

}  // namespace quillon::gui
