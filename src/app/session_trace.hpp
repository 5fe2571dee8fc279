#pragma once
// The wire trace a front end asks for through Request::traceFile: created
// before anything goes on the line, kept by the session, written by its link.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct OperationContext;

// Creates the trace file ctx.request.traceFile names and hands the trace to
// the link; true at once when no trace was asked for. False with the reason,
// nothing traced and nothing touched, when the file cannot be created, when
// it is a file the run reads or writes (the program folder's files, the hex
// file chosen, `runFiles`), or when it holds something other than a wire
// trace: a mistyped --trace must never destroy an input.
[[nodiscard]] bool StartRequestedTrace(OperationContext& ctx, std::string& error);
[[nodiscard]] bool StartRequestedTrace(OperationContext& ctx,
                                       const std::vector<std::string>& runFiles,
                                       std::string& error);

// Hands every event of the link (the port opened, rates, steps) and every
// detail (blocks skipped, waits, retries) to `echo` as it happens, with or
// without a trace file. Call after StartRequestedTrace.
void EchoLinkEvents(OperationContext& ctx, std::function<void(std::string_view)> echo);

// Takes the trace from the link and closes it. False with the reason when
// part of it could not be written.
[[nodiscard]] bool FinishTrace(OperationContext& ctx, std::string& error);

// The trace file of one port among several: the port's name (the last part
// of its path, characters unsafe in a file name replaced by '_') joined to
// the file name before its extension: "trace.txt" with "COM3" is
// "trace-COM3.txt", with "/dev/ttyUSB0" "trace-ttyUSB0.txt".
std::string PortTraceFile(std::string_view file, std::string_view port);

}  // namespace quillon
