#pragma once
// A session of the application as the end-to-end suites run it: the recording
// front end of the unit tests, but the system's clock and serial devices, so
// that the link meets quillon-sim over a real pseudo-terminal. Every device
// the link opens is counted, and the one open now can be asked for its line
// settings as the operating system holds them. A pseudo-terminal has no
// modem lines: with `board.wired` the session plays a board whose RTS holds
// it in reset, as the README's reset sequence expects.

#include <memory>
#include <string>
#include <vector>

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

    // A board wired to DTR/RTS: every state the program sets the lines to is
    // kept, and once it has come out of reset (RTS released), holding RTS
    // asserted again resets it: the control program is lost and the board
    // answers nothing more.
    struct WiredBoard {
        bool wired = false;
        std::vector<ModemLines> lines;  // each state the lines took
        bool running = false;           // out of reset since the last release
        bool lost = false;              // reset while running
        void Take(ModemLines next) {
            lines.push_back(next);
            if (next.rts && running) lost = true;
            if (!next.rts) running = !lost;
        }
    };

    TempDir dir;
    WiredBoard board;
    ScriptedPrompt prompt;
    RecordingPanel panel;
    RecordingSound sound;
    int opens = 0;                      // devices the link opened
    SerialDevice* device = nullptr;     // the one open now

  private:
    // The system's device, known to the session while the link holds it.
    class Tracked final : public SerialDevice {
      public:
        Tracked(std::unique_ptr<SerialDevice> inner, SerialDevice*& slot, WiredBoard& board)
            : inner_(std::move(inner)), slot_(slot), board_(board) {
            slot_ = inner_.get();
        }
        ~Tracked() override {
            if (slot_ == inner_.get()) slot_ = nullptr;
        }
        bool GetTimeouts(SerialTimeouts& t) override { return inner_->GetTimeouts(t); }
        bool SetTimeouts(const SerialTimeouts& t) override { return inner_->SetTimeouts(t); }
        bool GetLineSettings(LineSettings& s) override { return inner_->GetLineSettings(s); }
        bool SetLineSettings(const LineSettings& s) override {
            if (board_.wired) {
                board_.Take({s.fDtrControl != DtrControl::Disable,
                             s.fRtsControl != RtsControl::Disable});
            }
            return inner_->SetLineSettings(s);
        }
        bool Read(std::uint8_t* b, std::size_t n, std::size_t& g) override {
            if (!board_.lost) return inner_->Read(b, n, g);
            g = 0;
            return true;
        }
        bool Write(const std::uint8_t* d, std::size_t n, std::size_t& w) override {
            if (!board_.lost) return inner_->Write(d, n, w);
            w = n;
            return true;
        }
        bool Purge(bool t, bool r) override { return inner_->Purge(t, r); }
        bool ClearErrors(std::uint32_t& e) override { return inner_->ClearErrors(e); }
        ModemLineResult SetModemLines(ModemLines l) override {
            if (!board_.wired) return inner_->SetModemLines(l);
            board_.Take(l);
            return ModemLineResult::Set;
        }

      private:
        std::unique_ptr<SerialDevice> inner_;
        SerialDevice*& slot_;
        WiredBoard& board_;
    };

    SerialOpener Opener() {
        return [this](const std::string& path,
                      std::string& error) -> std::unique_ptr<SerialDevice> {
            ++opens;
            auto inner = OpenSystemSerialDevice(path, error);
            if (!inner) return nullptr;
            return std::make_unique<Tracked>(std::move(inner), device, board);
        };
    }

  public:
    OperationContext ctx{SystemClock(), Opener()};
};

}  // namespace quillon::testing
