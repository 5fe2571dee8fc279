#pragma once
// A gang's boards on one terminal. Each board has a progress window and a
// prompt of its own, fed from its own thread: on a terminal one live line per
// board (port, step, percentage, KiB and rate) redrawn together; otherwise
// plain lines, each with its port in front. Ctrl-C cancels every board at its
// next poll.

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/progress_factory.hpp"
#include "platform/user_prompt.hpp"

namespace quillon {

class GangConsole {
  public:
    GangConsole(std::ostream& err, bool live, std::vector<std::string> ports);
    ~GangConsole();
    GangConsole(const GangConsole&) = delete;
    GangConsole& operator=(const GangConsole&) = delete;

    // The progress windows and the prompt of board `i` (valid as long as the
    // console).
    ProgressFactory& Progress(std::size_t i);
    UserPrompt& Prompt(std::size_t i);

    // The operator was asked to reset every board, and did: a board's own
    // reset question is answered for it from now on. Until then nobody
    // answers it, and the board stops there. Call before the boards start.
    void AllBoardsReset();

    // Redraws the live lines (a no-op without a terminal); called by the
    // thread that waits for the boards.
    void Refresh();
    // The board has ended: its line shows it for good.
    void Finish(std::size_t i, bool ok);
    // The last redraw; the live lines stay on the terminal.
    void Close();

    struct Board;

  private:
    std::ostream& err_;
    bool live_;
    std::mutex lock_;
    std::vector<std::unique_ptr<Board>> boards_;
    bool drawn_ = false;
};

}  // namespace quillon
