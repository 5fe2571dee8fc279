#pragma once
// Where the commands get their progress window: the front end's window, owned
// by its main window, which it disables while the window exists.

#include <memory>

#include "platform/progress_sink.hpp"

namespace quillon {

class ProgressFactory {
public:
    virtual ~ProgressFactory() = default;
    // flags -1 means 13. Returns null when the window cannot be made.
    virtual std::unique_ptr<ProgressSink> CreateProgress(int flags) = 0;
};

}  // namespace quillon
