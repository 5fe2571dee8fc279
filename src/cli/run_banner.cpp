#include "cli/run_banner.hpp"

#include <memory>

#include "app/operation_context.hpp"
#include "cli/cli_options.hpp"
#include "config/operation_ranges.hpp"
#include "config/port_names.hpp"
#include "image/checksum.hpp"
#include "image/hex_file.hpp"
#include "link/boot_rates.hpp"
#include "platform/paths.hpp"
#include "platform/profile_file.hpp"

namespace quillon {

namespace {

// An operator that tells nobody: the rates are looked up for the line, and
// a list that lacks them is told when the run reaches it.
class QuietOperator final : public Operator {
  public:
    ProgressSink* Progress() override { return nullptr; }
    PromptAnswer Ask(const PromptRequest&) override { return PromptAnswer::Cancel; }
    void Tell(const Outcome&) override {}
    Language language() const override { return Language::English; }
    bool Unattended() const override { return true; }
    void NoteStep(std::string_view) override {}
    void NoteCancel() override {}
};

bool RecentHas(const std::string& programDir, const char* key) {
    return !ProfileString(JoinPath(programDir, "DATAFILE.TXT"), "Recent", key, "", 300).empty();
}

std::string Checksum(const OperationContext& ctx) {
    OperationRanges ranges;
    std::string fault;
    if (!BuildOperationRanges(ctx.chip, ctx.SelectedChipName(), ctx.chipDefPath,
                              AreaSelection{ctx.mainFlashSelected, ctx.workFlashSelected}, ranges,
                              fault)) {
        return {};
    }
    auto image = std::make_unique<FlashImage>();
    DecodeFailure failure;
    if (!DecodeHexFile(ctx.hexFilePath, ranges, 0xFF, *image, failure)) return {};
    return ChecksumText(SumOverRanges(ranges, *image));
}

}  // namespace

bool RunUsesHexFile(const CliOptions& options) {
    if (options.steps.empty()) return true;
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::ProgramVerify || step.command == CliCommand::ReadCompare ||
            step.command == CliCommand::FullOperation) {
            return true;
        }
    }
    return false;
}

std::string RunBanner(const OperationContext& ctx, const CliOptions& options,
                      const std::string& portNote) {
    std::vector<std::string> fromRecent, fromCustomize, fromDefault;
    const auto source = [&](bool given, bool saved, std::vector<std::string>& savedList,
                            const char* what) {
        if (given) return;
        (saved ? savedList : fromDefault).push_back(what);
    };
    source(options.chip.has_value(), RecentHas(ctx.programDir, "CPU"), fromRecent, "chip");
    source(options.crystal.has_value(), RecentHas(ctx.programDir, "RATE"), fromRecent, "crystal");

    const Request& r = ctx.request;
    const PortName& port = ctx.link.port();
    const std::string device = DevicePathOf(port, ctx.programDir);
    std::string line = ctx.SelectedChipName() + " @ " + ctx.SelectedCrystalText() + ", " +
                       port.Text() + (port.path.empty() ? " \xE2\x86\x92 " + device : "");
    if (portNote.empty()) {
        const bool named = r.comPortIndex || !r.portPath.empty() || r.batchComPortIndex;
        const std::string customize = JoinPath(ctx.programDir, "Customize.ini");
        const bool saved = !ProfileString(customize, "Com", "Com", "", 16).empty() ||
                           !ProfileString(customize, "Ports", port.Text(), "", 261).empty();
        source(named, saved, fromCustomize, "port");
    }

    QuietOperator quiet;
    const ChipSetup setup = ctx.Setup();
    std::uint32_t boot = 0, program = 0;
    if (BootRate(setup, quiet, boot) && ControlProgramRate(setup, quiet, program)) {
        line += ", " + std::to_string(boot) + " baud to the boot ROM, " + std::to_string(program) +
                " to the control program";
    }
    if (RunUsesHexFile(options)) {
        line += ", " + (ctx.hexFilePath.empty() ? std::string("no hex file") : ctx.hexFilePath);
        const std::string sum = ctx.hexFilePath.empty() ? std::string() : Checksum(ctx);
        if (!sum.empty()) line += " (checksum " + sum + ")";
        const bool hexGiven = options.hexFile.has_value() || !options.positional.empty();
        source(hexGiven, true, fromRecent, "hex file");
    }
    const auto joined = [](const std::vector<std::string>& list) {
        std::string text;
        for (std::size_t i = 0; i < list.size(); ++i) {
            text += (i == 0 ? "" : i + 1 == list.size() ? " and " : ", ") + list[i];
        }
        return text;
    };
    std::string sources;
    const auto add = [&](const std::vector<std::string>& list, const char* where) {
        if (list.empty()) return;
        sources += (sources.empty() ? "" : "; ") + joined(list) + " from " + where;
    };
    add(fromRecent, "DATAFILE.TXT");
    add(fromCustomize, "Customize.ini");
    add(fromDefault, "the defaults");
    if (!sources.empty()) line += " (" + sources + ")";
    if (!portNote.empty()) line += "; " + portNote;
    return line;
}

std::string PlannedSteps(const OperationContext& ctx, const CliOptions& options) {
    std::string text;
    if (options.steps.empty()) {
        text = "would run a Full Operation: download the control program, erase when the flash "
               "is not blank, blank check, program and verify";
        if (ctx.link.HasRunSequence()) text += ", then the run sequence";
        return text + "\n";
    }
    for (const CliStep& step : options.steps) {
        text += "would run " + step.word;
        for (const std::string& value : step.values) text += " " + value;
        text += "\n";
    }
    return text;
}

}  // namespace quillon
