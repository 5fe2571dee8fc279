#pragma once
// A session of the application as the end-to-end suites run it: the recording
// front end of the unit tests, but the system's clock and serial devices, so
// that the link meets quillon-sim over a real pseudo-terminal. Every device
// the link opens is counted, and the one open now can be asked for its line
// settings as the operating system holds them.

#include <memory>
#include <string>

#include "app/operation_context.hpp"
#include "app/settings_files.hpp"
#include "platform/serial_device.hpp"
#include "support/recording_panel.hpp"
#include "support/recording_progress.hpp"
#include "support/recording_sound.hpp"
#include "support/scripted_prompt.hpp"
#include "support/temp_dir.hpp"

namespace quillon::testing {

class LiveSession {
  public:
    LiveSession() {
        ctx.programDir = dir.path();
        ctx.chipDefPath = dir.File("CHIPDEF.INI");
        ctx.frontEnd.prompt = &prompt;
        ctx.frontEnd.panel = &panel;
        ctx.frontEnd.sound = &sound;
        ctx.link.SetPort(PortName{}, ctx.programDir);
    }
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    // Opens a recording progress window and returns it (owned by ctx).
    RecordingProgress& OpenProgress() {
        auto p = std::make_unique<RecordingProgress>();
        RecordingProgress& ref = *p;
        ctx.progress = std::move(p);
        return ref;
    }
    // The link opens `path` from now on, as --port PATH asks.
    void UsePort(const std::string& path) {
        ctx.request.portPath = path;
        LoadCustomSettings(ctx);
    }
    // The rate the open device runs at, read back from the system; 0 when
    // no device is open.
    std::uint32_t LineRate() const {
        LineSettings s;
        if (!device || !device->GetLineSettings(s)) return 0;
        return s.baudRate;
    }

    TempDir dir;
    ScriptedPrompt prompt;
    RecordingPanel panel;
    RecordingSound sound;
    int opens = 0;                      // devices the link opened
    SerialDevice* device = nullptr;     // the one open now

  private:
    // The system's device, known to the session while the link holds it.
    class Tracked final : public SerialDevice {
      public:
        Tracked(std::unique_ptr<SerialDevice> inner, SerialDevice*& slot)
            : inner_(std::move(inner)), slot_(slot) {
            slot_ = inner_.get();
        }
        ~Tracked() override {
            if (slot_ == inner_.get()) slot_ = nullptr;
        }
        bool GetTimeouts(SerialTimeouts& t) override { return inner_->GetTimeouts(t); }
        bool SetTimeouts(const SerialTimeouts& t) override { return inner_->SetTimeouts(t); }
        bool GetLineSettings(LineSettings& s) override { return inner_->GetLineSettings(s); }
        bool SetLineSettings(const LineSettings& s) override { return inner_->SetLineSettings(s); }
        bool Read(std::uint8_t* b, std::size_t n, std::size_t& g) override {
            return inner_->Read(b, n, g);
        }
        bool Write(const std::uint8_t* d, std::size_t n, std::size_t& w) override {
            return inner_->Write(d, n, w);
        }
        bool Purge(bool t, bool r) override { return inner_->Purge(t, r); }
        bool ClearErrors(std::uint32_t& e) override { return inner_->ClearErrors(e); }
        ModemLineResult SetModemLines(ModemLines l) override { return inner_->SetModemLines(l); }

      private:
        std::unique_ptr<SerialDevice> inner_;
        SerialDevice*& slot_;
    };

    SerialOpener Opener() {
        return [this](const std::string& path,
                      std::string& error) -> std::unique_ptr<SerialDevice> {
            ++opens;
            auto inner = OpenSystemSerialDevice(path, error);
            if (!inner) return nullptr;
            return std::make_unique<Tracked>(std::move(inner), device);
        };
    }

  public:
    OperationContext ctx{SystemClock(), Opener()};
};

}  // namespace quillon::testing
