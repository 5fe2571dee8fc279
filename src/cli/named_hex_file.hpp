#pragma once
// A command that names its own hex file (--checksum, --decode) decodes that
// file with a console progress window open, so that the decoders show every
// message; the selected hex file of later commands stays as it was.

#include <iosfwd>
#include <memory>
#include <string>

#include "app/operation_context.hpp"
#include "cli/console_progress.hpp"
#include "platform/paths.hpp"

namespace quillon {

class NamedHexFile {
  public:
    NamedHexFile(OperationContext& ctx, const std::string& hexFile, std::ostream& err)
        : ctx_(ctx), selectedPath_(ctx.hexFilePath), selectedName_(ctx.hexFileName) {
        ctx.hexFilePath = hexFile;
        ctx.hexFileName = FileNamePart(hexFile);
        ctx.progress = std::make_unique<ConsoleProgress>(err);
    }
    ~NamedHexFile() {
        ctx_.progress.reset();
        ctx_.hexFilePath = selectedPath_;
        ctx_.hexFileName = selectedName_;
    }
    NamedHexFile(const NamedHexFile&) = delete;
    NamedHexFile& operator=(const NamedHexFile&) = delete;

  private:
    OperationContext& ctx_;
    std::string selectedPath_;
    std::string selectedName_;
};

}  // namespace quillon
