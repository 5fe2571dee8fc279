#pragma once
// What the settings sheet's Sound page does, whatever draws it: the error and
// completion sounds, each a wave file or a beep, shown one event at a time.
// The view hands over what its controls show at each step and shows what
// comes back; the settings are written by Save.

#include <string>
#include <string_view>

#include "config/user_settings.hpp"

namespace quillon::gui {

// What "no wave file" is shown and saved as.
inline constexpr const char* kNoWave = "<none>";

// A typed wave-file name is usable when it has at least five characters and
// ends in ".wav" (any case) with a name before the extension.
bool IsUsableWaveName(std::string_view text);

class SoundPage {
public:
    enum Event { kError = 0, kEnd = 1 };
    // What the page's controls show.
    struct Shown {
        bool soundOn = false;
        int type = 0;  // 0 wave, 1 beep, anything else neither
        std::string wave;
        int event = kError;
    };
    struct Enabling {
        bool events = false;  // the event list, the sound type and its label
        bool wave = false;    // the wave file, Open, Play and Stop
    };
    // A wave name typed into the box and left: refused (the box gets
    // `restore` back) or taken; `modified` when the settings changed.
    struct WaveCheck {
        bool refused = false;
        std::string restore;
        bool modified = false;
    };

    explicit SoundPage(const SoundSettings& settings) : s_(settings) {}

    // The first showing: the error event with its settings.
    Shown Init();
    Enabling Enabled() const;

    // Each returns what the controls show next; the page changed (the sheet
    // offers Apply) unless said otherwise.
    void EnableClicked(const Shown& shown);
    Shown EventChanged(const Shown& shown);  // changes nothing
    void TypeClicked(const Shown& shown);
    Shown Opened(const Shown& shown, const std::string& file);
    void WaveFocusIn(int event) { focusEvent_ = event; }
    void WavePicked(const Shown& shown);
    WaveCheck WaveLeft(const Shown& shown);

    // Writes the page's section of Customize.ini; the page then shows what
    // it wrote (the short form, or "<none>").
    Shown Save(const std::string& programDir);
    const SoundSettings& Settings() const { return s_; }
    const Shown& Current() const { return shown_; }

private:
    int& TypeOf(int event);
    int& EnabledOf(int event);
    std::string& PathOf(int event);

    SoundSettings s_;
    Shown shown_;
    int focusEvent_ = kError;
};

}  // namespace quillon::gui
