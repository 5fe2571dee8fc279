#include "cli/error_context.hpp"

#include "app/operation_context.hpp"
#include "config/catalog.hpp"
#include "config/port_names.hpp"
#include "image/hex_line_fault.hpp"

namespace quillon {

namespace {

bool IsLinkError(int code) {
    switch (code) {
        case kMsgDownloadError:
        case kMsgTimeout:
        case kMsgCannotOpenPort:
        case kMsgCannotGetPortInfo:
        case kMsgCannotChangePortSetting:
        case kMsgCommunicationError:
        case kMsgReadError:
        case kMsgPortWriteError:
        case kMsgPortReadError:
            return true;
        default:
            return false;
    }
}

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

std::string ErrorContext(const OperationContext& ctx) {
    const bool ja = ctx.language == Language::Japanese;
    std::string lines;
    const LastReport& last = ctx.lastReport;
    if (last.recorded && IsLinkError(last.code)) {
        const PortName& port = ctx.link.port();
        const std::string device = DevicePathOf(port, ctx.programDir);
        std::string where = port.Text() + (port.path.empty() ? " (" + device + ")" : "");
        const std::string rate = std::to_string(ctx.link.currentBaud());
        const std::string step = WithoutDoubledAmpersands(Trimmed(ctx.progressText));
        lines += ja ? "ポート " + where + "、" + rate + " baud" + (step.empty() ? "" : "、" + step + " の途中") + "\n"
                    : "on " + where + " at " + rate + " baud" +
                          (step.empty() ? "" : ", during \"" + step + "\"") + "\n";
        const bool bootRom = step.find("Downloading") != std::string::npos ||
                             step.find("Security Checking") != std::string::npos;
        if (last.code == kMsgTimeout && bootRom) {
            lines += ja ? "ボードはブートモードになっていますか? ポートは正しいですか? "
                          "チップと水晶の選択は合っていますか?\n"
                        : "the boot ROM did not answer: is the board in its boot mode, on this "
                          "port, with the chip and crystal chosen here?\n";
        }
    }
    if (ctx.decodeFailedLine > 0 && !ctx.hexFilePath.empty()) {
        const std::string text = HexFileLine(ctx.hexFilePath, ctx.decodeFailedLine);
        const std::string fault = HexLineFault(text, ctx.language);
        const std::string n = std::to_string(ctx.decodeFailedLine);
        if (!fault.empty()) {
            lines += ja ? ctx.hexFilePath + " の " + n + " 行目: " + fault + "\n"
                        : ctx.hexFilePath + " line " + n + ": " + fault + "\n";
        } else {
            lines += ja ? ctx.hexFilePath + " の " + n +
                              " 行目: レコードのアドレスがチェックした領域の外にあります\n"
                        : ctx.hexFilePath + " line " + n +
                              ": the record is well formed; its address lies outside the areas "
                              "ticked, or its type is not one the decoder takes\n";
        }
    }
    return lines;
}

}  // namespace quillon
