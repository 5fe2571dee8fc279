#include "gui/desktop_run.hpp"

#include <ostream>

#include "app/session_trace.hpp"
#include "app/version_label.hpp"

namespace quillon::gui {

bool ParseDesktopCommandLine(const std::vector<std::string>& arguments, Request& request,
                             std::string& error) {
    std::vector<std::string> batchWords;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            error = "Unknown option " + arg + ".";
            return false;
        }
        if (!arg.starts_with("--")) {
            batchWords.push_back(arg);
            continue;
        }
        std::string name = arg, value;
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos && eq > 0) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (name == "--program-dir" || name == "--port") {
            if (i + 1 >= arguments.size()) {
                error = "The option " + name + " needs a value.";
                return false;
            }
            value = arguments[++i];
        }
        if (name == "--program-dir") {
            request.programDir = value;
        } else if (name == "--port") {
            std::string why;
            if (!ParsePortWord(value, request, why)) {
                error = "The option --port: " + why + ".";
                return false;
            }
        }
    }
    SetBatchWords(request, batchWords);
    return true;
}

std::string DesktopInfoText(const std::vector<std::string>& arguments) {
    for (const std::string& arg : arguments) {
        if (arg == "--") break;
        if (arg == "--version" || arg == "-V") return VersionLine("quillon") + "\n";
        if (arg == "--help" || arg == "-h") {
            return "Usage: quillon [--program-dir DIR] [--port PATH|comN]\n"
                   "       quillon [options] HEXFILE [comN] [reset|no_reset]\n"
                   "\n"
                   "Without a hex file, the main window. With one, a Full Operation in batch\n"
                   "mode: its outcome in MESSFILE.TXT, on standard output and in the exit\n"
                   "status (0 OK, 1 failure, 2 usage). QUILLON_TRACE=FILE writes the wire\n"
                   "trace. quillon-cli(1) has every command without a window.\n"
                   "\n"
                   "    --program-dir DIR   the folder of CHIPDEF.INI and the settings\n"
                   "    --port PATH|comN    the serial port of this run\n"
                   "    -h, --help          show this text\n"
                   "    -V, --version       show the version\n";
        }
    }
    return {};
}

int FinishDesktopRun(OperationContext& ctx, MainDialog::Start start, const BatchOutcome& batch,
                     std::ostream& out, std::ostream& err) {
    // Whatever ended the dialog, the port is closed before the program ends.
    ClosePort(ctx);
    int status = start == MainDialog::Start::Failed ? 1 : 0;
    if (start == MainDialog::Start::BatchDone) {
        // Whoever started a batch run learns its outcome even when
        // MESSFILE.TXT could not hold it, as with quillon-cli.
        status = PrintBatchOutcome(batch, ctx.programDir, "quillon", out, err);
    }
    // A cut-off trace must not pass for the record of a good run.
    if (std::string why; !FinishTrace(ctx, why)) {
        err << "quillon: " << why << '\n';
        if (status == 0) status = 1;
    }
    return status;
}

}  // namespace quillon::gui
