#pragma once
// A progress sink that records every call as a line of text, and presses its
// button when told to.

#include <optional>
#include <string>
#include <vector>

#include "platform/progress_sink.hpp"

namespace quillon::testing {

class RecordingProgress final : public ProgressSink {
public:
    void SetMessage(std::string_view text) override {
        message = std::string(text);
        messages.push_back(message);
        Log("SetMessage " + message);
    }
    void SetButtons(int f, bool centre, std::optional<std::string_view> t) override {
        flags = f == -1 ? 13 : f;
        polling = (flags & kProgressButtonEnabled) != 0;
        buttonText = (flags & kProgressButtonOk) ? "Ok" : (flags & kProgressButtonCancel) ? "Cancel" : "";
        if (t) title = std::string(*t);
        Log("SetButtons " + std::to_string(flags) + (centre ? " centre" : "") +
            (t ? " title=" + std::string(*t) : ""));
    }
    void SetTitle(std::string_view t) override {
        title = std::string(t);
        Log("SetTitle " + title);
    }
    void SetButtonText(std::string_view text) override {
        buttonText = std::string(text);
        Log("SetButtonText " + buttonText);
    }
    void SetRange(int low, int high) override {
        rangeLow = low;
        rangeHigh = high;
    }
    void SetStep(int s) override { step = s; }
    int SetPos(int n) override {
        int previous = pos;
        pos = n;
        title = std::to_string(n) + " / " + std::to_string(rangeHigh);
        ++pumps;
        return previous;
    }
    int StepIt() override {
        int previous = pos;
        title = std::to_string(pos + 1) + " / " + std::to_string(rangeHigh);
        pos += step;
        ++steps;
        ++pumps;
        return previous;
    }
    void PumpMessages() override { ++pumps; }
    int CheckCancel() override {
        ++cancelChecks;
        // Ctrl-C cancels whatever the window shows.
        if (!interruptDuring.empty() && message.find(interruptDuring) != std::string::npos) {
            return 1;
        }
        if (!polling) return 0;
        ++pumps;
        if (pressAfterChecks > 0 && --pressAfterChecks == 0) cancelRequested = true;
        if (pressAlways) cancelRequested = true;
        if (pressWhenOk && (flags & kProgressButtonOk)) cancelRequested = true;
        if (acknowledgeResults && (buttonText == "Ok" || buttonText == "OK")) cancelRequested = true;
        int result = cancelRequested ? 1 : 0;
        cancelRequested = false;
        return result;
    }
    void SetIcon(int i) override {
        icon = i;
        Log("SetIcon " + std::to_string(i));
    }

    void Log(const std::string& line) { calls.push_back(line); }

    // State as a window would show it.
    int flags = 13;
    bool polling = false;
    std::string buttonText;
    std::string title;
    std::string message;
    std::vector<std::string> messages;
    int rangeLow = 0, rangeHigh = 100, step = 1, pos = 0;
    int steps = 0;
    int icon = 0;
    int pumps = 0;
    int cancelChecks = 0;
    std::vector<std::string> calls;

    // Button presses: one pending press, a press after n polled checks, or a
    // press on every check (the user acknowledging at once).
    bool cancelRequested = false;
    int pressAfterChecks = 0;
    bool pressAlways = true;
    // Presses at once whenever the flags show an "Ok" button (the user
    // acknowledging a result), while "Cancel" stays untouched.
    bool pressWhenOk = false;
    // Presses only when the button reads "Ok" or "OK" (flags or a caption
    // set later): acknowledges every result or cancel notice, never cancels.
    bool acknowledgeResults = false;
    // Ctrl-C on every check while the message holds this text.
    std::string interruptDuring;
};

}  // namespace quillon::testing
