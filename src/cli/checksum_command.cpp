#include "cli/checksum_command.hpp"

#include <cctype>
#include <memory>
#include <ostream>
#include <string>

#include "app/operation_context.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_run.hpp"
#include "cli/console_progress.hpp"
#include "image/checksum.hpp"
#include "platform/paths.hpp"

namespace quillon {

int RunChecksumCommand(OperationContext& ctx, const CliOptions& options, std::ostream& out,
                       std::ostream& err) {
    // The dialog's field upper-cases what is typed; so does the console.
    std::string fill = options.fillText;
    for (char& c : fill) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (fill.size() != 2 || !ParseFillText(fill)) {
        err << "quillon-cli: the fill byte must be two hexadecimal digits, not \""
            << options.fillText << "\"\n";
        return kExitUsage;
    }
    ctx.hexFilePath = options.hexFile;
    ctx.hexFileName = FileNamePart(options.hexFile);

    // With a progress "window" open the decoders show every message.
    ctx.progress = std::make_unique<ConsoleProgress>(err);
    const std::string sum = ChecksumFieldText(ctx, fill);
    ctx.progress.reset();
    if (sum.empty()) {
        err << "quillon-cli: no checksum: " << options.hexFile << " could not be decoded\n";
        return kExitFailed;
    }
    out << sum << '\n';
    return kExitOk;
}

}  // namespace quillon
