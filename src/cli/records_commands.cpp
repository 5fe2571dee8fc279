#include "cli/records_commands.hpp"

#include <ostream>

#include "app/batch_run.hpp"
#include "app/operation_context.hpp"
#include "cli/cli_options.hpp"
#include "cli/cli_run.hpp"
#include "config/chip_file.hpp"
#include "config/records_settings.hpp"
#include "platform/paths.hpp"
#include "records/open_store.hpp"
#include "records/records_report.hpp"
#include "records/spool.hpp"

namespace quillon {

int RunRecordsCommands(const ProgramFiles& files, const CliOptions& options, std::ostream& out,
                       std::ostream& err) {
    const std::string text =
        options.request.recordsStore.value_or(ReadRecordsSettings(files.programDir).store);
    if (text.empty()) {
        err << "quillon-cli: no record store: name it with --records or [Records] Store= in "
            << JoinPath(files.programDir, "Customize.ini") << '\n';
        return kExitUsage;
    }
    StoreAddress address;
    std::string error;
    std::unique_ptr<RecordStore> store;
    if (ParseStoreAddress(text, files.programDir, address, error)) {
        // Reading never makes a store: a mistyped path is not an empty record.
        if (address.kind == StoreAddress::Kind::Sqlite && !FileExists(address.location)) {
            error = "there is no record at " + address.location;
        } else {
            store = OpenRecordStore(address, error);
        }
    }
    std::vector<BoardRun> runs;
    if (!store || !store->Read(options.since.value_or(""), runs, error)) {
        err << "quillon-cli: " << error << '\n';
        return kExitFailed;
    }
    for (const CliStep& step : options.steps) {
        if (step.command == CliCommand::RecordsReport) {
            out << ReportText(SummariseRuns(runs)) << std::flush;
        } else if (!WriteFileAtomically(step.values.at(0), RunsCsv(runs))) {
            err << "quillon-cli: the runs could not be written to " << step.values.at(0) << '\n';
            return kExitFailed;
        }
    }
    if (const int waiting = SpooledRuns(files.programDir)) {
        err << "quillon-cli: " << waiting << " run(s) wait in "
            << JoinPath(files.programDir, kSpoolFileName)
            << " and are not counted: the next run that reaches the store moves them in\n";
    }
    return kExitOk;
}

bool CheckStationRecords(const OperationContext& ctx, std::string& failure, std::ostream& err) {
    const BoardRecording& rec = ctx.records;
    if (rec.setupError.empty()) return true;
    if (rec.serialWanted || ctx.request.recordsStore) {
        failure = rec.setupError;
        return false;
    }
    err << "quillon-cli: the station's record is not kept: " << rec.setupError << '\n';
    return true;
}

int StatusWithRecord(int status, const FinishedRun& run, std::ostream& err, const std::string& who) {
    if (!run.note.empty()) err << "quillon-cli: " << who << (who.empty() ? "" : ": ") << run.note << '\n';
    if (run.fate == RecordFate::Lost && status == kExitOk) return kExitFailed;
    if (run.fate == RecordFate::Spooled && status == kExitOk) return kExitRecordSpooled;
    return status;
}

std::string SerialTag(const std::optional<std::uint64_t>& serial) {
    return serial ? " serial " + std::to_string(*serial) : "";
}

}  // namespace quillon
