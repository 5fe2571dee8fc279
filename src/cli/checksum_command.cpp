#include "cli/checksum_command.hpp"

#include <memory>
#include <ostream>
#include <string>

#include "app/operation_context.hpp"
#include "cli/cli_run.hpp"
#include "cli/named_hex_file.hpp"
#include "app/checksum_field.hpp"
#include "image/checksum.hpp"
#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"

namespace quillon {

int RunChecksumCommand(OperationContext& ctx, const std::string& fillText,
                       const std::string& hexFile, std::ostream& out, std::ostream& err) {
    // The dialog's field upper-cases what is typed; so does the console.
    const std::string fill = AsciiUpperCase(fillText);
    if (fill.size() != 2 || !ParseFillText(fill)) {
        err << "quillon-cli: the fill byte must be two hexadecimal digits, not \""
            << fillText << "\"\n";
        return kExitUsage;
    }
    std::string sum;
    {
        NamedHexFile named(ctx, hexFile, err);
        sum = ChecksumFieldText(ctx, fill);
    }
    if (sum.empty()) {
        err << "quillon-cli: no checksum: " << hexFile << " could not be decoded\n";
        return kExitFailed;
    }
    out << sum << '\n';
    return kExitOk;
}

}  // namespace quillon
