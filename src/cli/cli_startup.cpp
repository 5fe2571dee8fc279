#include "cli/cli_startup.hpp"

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "app/operation_context.hpp"
#include "cli/cli_options.hpp"
#include "config/chip_file.hpp"
#include "config/user_settings.hpp"

namespace quillon {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The entry named `text`: exact first, then without regard to case.
int FindEntry(const std::vector<std::string>& list, const std::string& text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (SameIgnoringCase(list[i], text)) return static_cast<int>(i);
    }
    return -1;
}

std::string Joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& item : list) out += (out.empty() ? "" : ", ") + item;
    return out.empty() ? "none" : out;
}

bool ReportStartupFailure(StartupFailure failure, const OperationContext& ctx, std::ostream& err) {
    if (failure == StartupFailure::None) return true;
    err << "quillon-cli: " << StartupFailureText(failure);
    if (failure == StartupFailure::RegistFailed) {
        err << " (no usable chip definition in " << ctx.chipDefPath << ")";
    }
    err << '\n';
    return false;
}

}  // namespace

bool StartUp(OperationContext& ctx, const CliOptions& options, std::ostream& err) {
    if (!ReportStartupFailure(LocateChipDefinitionFile(ctx, options.programDir), ctx, err))
        return false;
    ReadRecentSettings(ctx);
    if (!ReportStartupFailure(ListChipSections(ctx), ctx, err)) return false;

    if (options.chip) {
        const int index = FindEntry(ctx.targetList, *options.chip);
        if (index < 0) {
            err << "quillon-cli: no chip " << *options.chip << " in " << ctx.chipDefPath
                << " (chips: " << Joined(ctx.targetList) << ")\n";
            return false;
        }
        if (index != ctx.chipIndex) {
            ctx.chipIndex = index;
            LoadChipDefinition(ctx);
        }
    }
    if (options.crystal) {
        const int index = FindEntry(ctx.crystalList, *options.crystal);
        if (index < 0) {
            err << "quillon-cli: " << ctx.SelectedChipName() << " has no crystal "
                << *options.crystal << " (crystals: " << Joined(ctx.crystalList) << ")\n";
            return false;
        }
        ctx.clockIndex = index;
    }
    ReadCustomSettings(ctx);
    return true;
}

}  // namespace quillon
