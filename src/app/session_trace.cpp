#include "app/session_trace.hpp"

#include <cctype>

#include "app/operation_context.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

// The files of the program folder that a run reads or writes.
constexpr const char* kProgramFolderFiles[] = {"CHIPDEF.INI",  "Customize.ini", "DATAFILE.TXT",
                                               "MESSFILE.TXT", "TIMETEST.TXT",  "CRCTEST.TXT"};

bool MayTraceTo(const OperationContext& ctx, const std::vector<std::string>& runFiles,
                std::string& error) {
    const std::string& file = ctx.request.traceFile;
    std::vector<std::string> taken = runFiles;
    taken.push_back(ctx.hexFilePath);
    taken.push_back(ctx.chipDefPath);
    for (const char* name : kProgramFolderFiles) taken.push_back(JoinPath(ctx.programDir, name));
    for (const std::string& other : taken) {
        if (!other.empty() && !ctx.programDir.empty() && SameFile(file, other)) {
            error = "the trace file " + file + " is " + other +
                    ", which the run reads or writes; it is left as it is";
            return false;
        }
    }
    if (!WireTrace::MayOverwrite(file)) {
        error = "the trace file " + file +
                " holds something other than a wire trace; it is left as it is";
        return false;
    }
    return true;
}

}  // namespace

bool StartRequestedTrace(OperationContext& ctx, std::string& error) {
    return StartRequestedTrace(ctx, {}, error);
}

bool StartRequestedTrace(OperationContext& ctx, const std::vector<std::string>& runFiles,
                         std::string& error) {
    if (ctx.request.traceFile.empty()) return true;
    if (!MayTraceTo(ctx, runFiles, error)) return false;
    auto trace = std::make_unique<WireTrace>();
    if (!trace->Open(ctx.request.traceFile, error)) return false;
    ctx.trace = std::move(trace);
    ctx.link.SetTrace(ctx.trace.get());
    return true;
}

void EchoLinkEvents(OperationContext& ctx, std::function<void(std::string_view)> echo) {
    if (!ctx.trace) ctx.trace = std::make_unique<WireTrace>();
    ctx.trace->onEvent = std::move(echo);
    ctx.link.SetTrace(ctx.trace.get());
}

bool FinishTrace(OperationContext& ctx, std::string& error) {
    ctx.link.SetTrace(nullptr);
    if (!ctx.trace) return true;
    const bool whole = ctx.trace->Close(error);
    ctx.trace.reset();
    return whole;
}

std::string PortTraceFile(std::string_view file, std::string_view port) {
    const std::size_t portStart = port.find_last_of("/\\");
    std::string name(portStart == std::string_view::npos ? port : port.substr(portStart + 1));
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '-' && c != '_' && c != '.') c = '_';
    }
    if (name.empty()) name = "port";

    const std::size_t nameStart = file.find_last_of("/\\");
    const std::size_t base = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    std::size_t dot = file.rfind('.');
    // A dot that starts the file name (".trace") or sits in a folder name
    // is no extension.
    if (dot == std::string_view::npos || dot <= base) dot = file.size();
    return std::string(file.substr(0, dot)) + "-" + name + std::string(file.substr(dot));
}

}  // namespace quillon
