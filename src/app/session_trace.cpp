#include "app/session_trace.hpp"

#include <cctype>

#include "app/operation_context.hpp"

namespace quillon {

bool StartRequestedTrace(OperationContext& ctx, std::string& error) {
    if (ctx.request.traceFile.empty()) return true;
    auto trace = std::make_unique<WireTrace>();
    if (!trace->Open(ctx.request.traceFile, error)) return false;
    ctx.trace = std::move(trace);
    ctx.link.SetTrace(ctx.trace.get());
    return true;
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
