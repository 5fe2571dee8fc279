#pragma once
// The operator the link and the flash operations meet during a session: the
// session's progress window, the front end's questions, the session's
// reports, its language and batch mode.

#include "link/operator.hpp"

namespace quillon {

struct OperationContext;

class SessionOperator final : public Operator {
  public:
    explicit SessionOperator(OperationContext& ctx) : ctx_(ctx) {}
    ProgressSink* Progress() override;
    PromptAnswer Ask(const PromptRequest& request) override;
    void Tell(const Outcome& outcome) override;
    Language language() const override;
    bool Unattended() const override;
    void NoteStep(std::string_view text) override;
    void NoteCancel() override;

  private:
    OperationContext& ctx_;
};

}  // namespace quillon
