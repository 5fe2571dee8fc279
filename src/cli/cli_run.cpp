#include "cli/cli_run.hpp"

#include <istream>
#include <ostream>

#include "app/operation_context.hpp"
#include "cli/checksum_command.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_startup.hpp"
#include "cli/console_prompt.hpp"
#include "cli/decode_command.hpp"

namespace quillon {

std::string CliUsage() {
    return "Usage:\n"
           "  quillon-cli [options] --checksum XX HEXFILE\n"
           "      Print the 16-bit checksum (four hexadecimal digits) of HEXFILE decoded\n"
           "      with fill byte XX over the selected chip's flash ranges.\n"
           "  quillon-cli [options] --decode HEXFILE OUTFILE\n"
           "      Decode HEXFILE with fill byte FF and write the selected chip's flash\n"
           "      ranges, one after the other, as raw bytes to OUTFILE.\n"
           "  quillon-cli --help\n"
           "\n"
           "Options:\n"
           "  --program-dir DIR   folder of CHIPDEF.INI, DATAFILE.TXT and Customize.ini\n"
           "                      (default: $QUILLON_HOME, else the program's folder)\n"
           "  --chip NAME         target chip (default: the last one chosen, DATAFILE.TXT)\n"
           "  --crystal TEXT      crystal frequency as CHIPDEF.INI lists it\n"
           "  --port PATH|comN    serial port for commands that use the target\n"
           "\n"
           "HEXFILE is a Motorola S-record or an Intel HEX file. --chip and --crystal do\n"
           "not change DATAFILE.TXT. Messages go to standard error. Exit status: 0 on\n"
           "success, 1 when the command failed, 2 for a wrong command line or set-up.\n";
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in) {
    const CliParse parse = ParseCliOptions(args);
    if (!parse.errors.empty()) {
        for (const std::string& e : parse.errors) err << "quillon-cli: " << e << '\n';
        err << "Try quillon-cli --help.\n";
        return kExitUsage;
    }
    const CliOptions& options = parse.options;
    switch (options.command) {
        case CliCommand::Help:
            out << CliUsage();
            return kExitOk;
        case CliCommand::None:
            if (options.positional.empty()) {
                err << CliUsage();
            } else {
                err << "quillon-cli: batch mode (HEXFILE [comN] [reset|no_reset]) is not available "
                       "yet\n";
            }
            return kExitUsage;
        case CliCommand::Checksum:
        case CliCommand::Decode:
            break;
    }

    OperationContext ctx;
    ConsolePrompt prompt(err, in);
    ctx.prompt = &prompt;
    ctx.language = DetectLanguage();
    if (!StartUp(ctx, options, err)) return kExitUsage;
    if (options.command == CliCommand::Checksum) return RunChecksumCommand(ctx, options, out, err);
    return RunDecodeCommand(ctx, options, err);
}

}  // namespace quillon
