#include "cli/cli_steps.hpp"

#include <ostream>

#include "app/controller.hpp"
#include "config/catalog.hpp"
#include "app/operation_context.hpp"
#include "cli/checksum_command.hpp"
#include "cli/cli_file_chooser.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_panel.hpp"
#include "cli/cli_run.hpp"
#include "cli/decode_command.hpp"
#include "cli/info_commands.hpp"
#include "cli/list_command.hpp"

namespace quillon {

namespace {

struct ButtonCommand {
    CliCommand command;
    int controlId;
    int successCode;  // the report of a successful run
    void (*handler)(OperationContext&);
};

constexpr ButtonCommand kButtons[] = {
    {CliCommand::Download, kIdDownload, kMsgDownloaded, &OnDownload},
    {CliCommand::Erase, kIdErase, kMsgErased, &OnErase},
    {CliCommand::BlankCheck, kIdBlankCheck, kMsgBlank, &OnBlankCheck},
    {CliCommand::ProgramVerify, kIdProgramVerify, kMsgProgrammed, &OnProgramVerify},
    {CliCommand::ReadCompare, kIdReadCompare, kMsgIdentical, &OnReadCompare},
    {CliCommand::Copy, kIdCopy, kMsgCopied, &OnCopy},
    {CliCommand::CopyIntelHex, kIdCopy, kMsgCopied, &OnCopy},
    {CliCommand::FullOperation, kIdFullOperation, kMsgFullOperationOk, &OnFullOperation},
};

int RunButton(CliSession& s, const CliStep& step, const ButtonCommand& button) {
    if (!s.panel.IsEnabled(button.controlId)) {
        s.err << "quillon-cli: " << step.word
              << " needs the control program: put --download (or --full-operation) before it\n";
        return kExitUsage;
    }
    if (step.command == CliCommand::Copy || step.command == CliCommand::CopyIntelHex) {
        s.ctx.copyAsIntelHex = step.command == CliCommand::CopyIntelHex ? 1 : 0;
        s.chooser.path = step.values.at(0);
    }
    // Only a report of the command's own success counts: a cancel, a
    // declined question or an error leaves another code or none.
    s.ctx.lastReport = LastReport{};
    button.handler(s.ctx);
    const LastReport& report = s.ctx.lastReport;
    if (report.code == button.successCode && report.severity == 0) return kExitOk;
    if (report.code == 0) s.err << "quillon-cli: " << step.word << " ended without a result\n";
    return kExitFailed;
}

}  // namespace

int RunCliStep(CliSession& s, const CliStep& step) {
    for (const ButtonCommand& button : kButtons) {
        if (button.command == step.command) return RunButton(s, step, button);
    }
    switch (step.command) {
        case CliCommand::List:
            return RunListCommand(s.ctx, s.out);
        case CliCommand::Where:
            return RunWhereCommand(ProgramFiles{s.ctx.programDir, s.ctx.chipDefPath,
                                                s.ctx.programDirWhy},
                                   s.out);
        case CliCommand::ListPorts:
            return RunPortListCommand(ListSerialPorts(), s.ctx.programDir, s.out);
        case CliCommand::Checksum:
            return RunChecksumCommand(s.ctx, step.values.at(0), step.values.at(1), s.out, s.err);
        case CliCommand::Decode:
            return RunDecodeCommand(s.ctx, step.values.at(0), step.values.at(1), s.err);
        default:
            break;
    }
    return kExitOk;
}

}  // namespace quillon
