#include "app/board_recording.hpp"

#include <cctype>

#include "app/decode_step.hpp"
#include "app/operation_context.hpp"
#include "app/unattended_run.hpp"
#include "config/records_settings.hpp"
#include "image/checksum.hpp"
#include "platform/host_name.hpp"
#include "records/open_store.hpp"
#include "records/store_address.hpp"
#include "records/utc_text.hpp"

namespace quillon {

namespace {

// A failure before anything is sent, told as the decoder tells its own.
bool Refuse(OperationContext& ctx, const std::string& text) {
    ctx.journal.NoteFailure(text);
    if (ctx.batchMode) {
        RecordBatchResult(ctx, text);
    } else {
        ctx.frontEnd.prompt->Ask(PromptRequest{text, "flash", PromptButtons::Ok,
                                               PromptIcon::Exclamation,
                                               ctx.progress ? PromptOwner::Progress : PromptOwner::None});
    }
    return false;
}

// The open run as it stands.
BoardRun RunSoFar(const OperationContext& ctx) {
    const BoardRecording& rec = ctx.records;
    const std::vector<StepRecord>& steps = ctx.journal.Steps();
    const TimeStamp now = ctx.clock.Now();
    const TimeStamp start = rec.firstStep < steps.size() ? steps[rec.firstStep].start : now;
    BoardRun run;
    run.key = rec.key;
    run.startUtc = UtcText(start);
    run.durationMs = MsBetween(start, now);
    run.station = rec.station ? rec.station->Station() : "";
    run.port = ctx.link.port().Text();
    run.device = DevicePathOf(ctx.link.port(), ctx.programDir);
    run.chip = ctx.SelectedChipName();
    run.crystal = ctx.SelectedCrystalText();
    run.hexFile = rec.hexFile;
    run.checksum = rec.checksum;
    run.serial = rec.serial;
    run.serialTaken = rec.serialTaken;
    run.message = "unfinished";
    for (std::size_t i = rec.firstStep; i < steps.size(); ++i) {
        const StepRecord& s = steps[i];
        StepRow row{s.name, UtcText(s.start), s.durationMs, s.ok, std::nullopt, s.severity,
                    s.resultText};
        if (s.reported) row.code = s.code;
        run.steps.push_back(std::move(row));
    }
    return run;
}

bool StampNumber(OperationContext& ctx, std::uint64_t number) {
    std::string error;
    if (!StampSerial(number, *ctx.records.station->Serial(), ctx.ranges, ctx.image, error)) {
        return Refuse(ctx, error);
    }
    ctx.records.serial = number;
    return true;
}

}  // namespace

void LoadStationRecords(OperationContext& ctx) {
    const RecordsSettings file = ReadRecordsSettings(ctx.programDir);
    const Request& r = ctx.request;
    const std::string storeText = r.recordsStore.value_or(file.store);
    const std::string serialText = r.serial.value_or(file.serial);
    std::string station = r.station.value_or(file.station);
    if (station.empty()) station = HostName();
    if (station.empty()) station = "station";

    BoardRecording& rec = ctx.records;
    rec = BoardRecording{};
    rec.firstStep = ctx.journal.Steps().size();
    rec.serialValue = r.serialValue;
    rec.serialWanted = !serialText.empty() || r.serialValue;
    std::optional<SerialPlacement> serial;
    if (!serialText.empty()) {
        SerialPlacement placement;
        std::string error;
        if (!ParseSerialPlacement(serialText, placement, error)) {
            rec.setupError = error;
            return;
        }
        serial = placement;
    } else if (r.serialValue) {
        rec.setupError = "a serial number value needs its place and form: --serial ADDR:FORMAT "
                         "or [Records] Serial= in Customize.ini";
        return;
    }
    if (storeText.empty()) {
        if (serial) {
            rec.setupError = "serial numbers are taken from the station's record: name it with "
                             "--records or [Records] Store= in Customize.ini";
        }
        return;
    }
    StoreAddress address;
    std::string error;
    if (!ParseStoreAddress(storeText, ctx.programDir, address, error)) {
        rec.setupError = error;
        return;
    }
    if (!RecordStoresAvailable()) {
        (void)OpenRecordStore(address, rec.setupError);
        return;
    }
    rec.station = std::make_shared<StationRecords>(
        [address](std::string& why) { return OpenRecordStore(address, why); }, station,
        ctx.programDir, serial);
}

bool PrepareBoardImage(OperationContext& ctx, bool takeNumber) {
    BoardRecording& rec = ctx.records;
    rec.hexFile = ctx.hexFilePath;
    // The image as decoded, before its number: the same for every board.
    rec.checksum = ctx.decodedChecksum ? ChecksumText(*ctx.decodedChecksum) : "";
    if (!rec.serialWanted) return true;
    JournalStep step(ctx, "serial number");
    if (!rec.setupError.empty()) return step.Ended(Refuse(ctx, rec.setupError));
    const SerialPlacement& placement = *rec.station->Serial();
    std::string error;
    if (!SerialFitsRanges(placement, ctx.ranges, error)) return step.Ended(Refuse(ctx, error));
    if (rec.serialValue) return step.Ended(StampNumber(ctx, *rec.serialValue));
    // One board, one number: a second program in the same run keeps it.
    if (rec.serial) return step.Ended(StampNumber(ctx, *rec.serial));
    if (!takeNumber) {
        return step.Ended(Refuse(ctx, "this image carries a serial number: Read & Compare needs "
                                      "the board's own (--serial-value N)"));
    }
    if (rec.key.empty()) rec.key = NewRunKey();
    std::uint64_t number = 0;
    if (!rec.station->TakeSerial(RunSoFar(ctx), number, error)) {
        return step.Ended(Refuse(ctx, "no serial number could be taken, so nothing is programmed: " + error));
    }
    rec.serialTaken = true;
    return step.Ended(StampNumber(ctx, number));
}

FinishedRun FinishBoardRun(OperationContext& ctx, bool ok, const std::string& message) {
    BoardRecording& rec = ctx.records;
    FinishedRun finished;
    finished.serial = rec.serial;
    if (rec.station) {
        BoardRun run = RunSoFar(ctx);
        if (run.key.empty()) run.key = NewRunKey();
        run.state = ok ? RunState::Ok : RunState::Ng;
        run.message = ok ? "OK" : OneLine(message);
        finished.fate = rec.station->Keep(run, finished.note);
    }
    // The next run starts afresh.
    rec.firstStep = ctx.journal.Steps().size();
    rec.key.clear();
    rec.serial.reset();
    rec.serialTaken = false;
    rec.hexFile.clear();
    rec.checksum.clear();
    return finished;
}

void FinishCommandRun(OperationContext& ctx) {
    BoardRecording& rec = ctx.records;
    if (!rec.perCommand || rec.firstStep >= ctx.journal.Steps().size()) return;
    if (!rec.station && !rec.setupError.empty() && !rec.spoolTold) {
        // A record that cannot be kept is said once, not at every command.
        rec.spoolTold = true;
        ctx.frontEnd.prompt->Ask(PromptRequest{"The station's record is not kept: " + rec.setupError + ".",
                                               "flash", PromptButtons::Ok, PromptIcon::Exclamation,
                                               PromptOwner::None});
    }
    bool ok = true;
    for (std::size_t i = rec.firstStep; i < ctx.journal.Steps().size(); ++i) {
        ok = ok && ctx.journal.Steps()[i].ok;
    }
    const LastReport& last = ctx.lastReport;
    const FinishedRun finished =
        FinishBoardRun(ctx, ok, last.recorded ? last.text : "the command ended without a result");
    const bool tell = finished.fate == RecordFate::Lost ||
                      (finished.fate == RecordFate::Spooled && !rec.spoolTold);
    if (!tell) return;
    rec.spoolTold = rec.spoolTold || finished.fate == RecordFate::Spooled;
    std::string text = finished.note;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    ctx.frontEnd.prompt->Ask(PromptRequest{text + ".", "flash", PromptButtons::Ok,
                                           PromptIcon::Exclamation, PromptOwner::None});
}

}  // namespace quillon
