#include "link/operator.hpp"

namespace quillon {

void WaitForProgressButton(Operator& op, Clock& clock) {
    ProgressSink* p = op.Progress();
    if (!p) return;
    while (p->CheckCancel() == 0) clock.SleepMs(10);
}

}  // namespace quillon
