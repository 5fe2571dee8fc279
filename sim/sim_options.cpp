#include "sim/sim_options.hpp"

#include <cstdlib>

namespace quillon::sim {

const char* SimUsage() {
    return "usage: quillon-sim --chip NAME [--program-dir DIR] [--crystal INDEX] [--flash FILE]\n"
           "                   [--link PATH] [--pace] [--key FILE|XX,XX,...] [--erase-first]\n"
           "                   [--erase-ms MS] [--blank-ms MS] [--fault FAULT]... [--trace FILE]\n"
           "                   [--latency-timer MS] [--verbose]\n"
           "       quillon-sim -h|--help | -V|--version\n"
           "--latency-timer MS: the replies reach the host as through a USB serial adapter\n"
           "with that latency timer (1 to 255): held until 62 bytes have gathered or MS ms\n"
           "have passed since the first of them (with --pace, after the line's time)\n"
           "--trace FILE: every byte on the line, one line per burst (TX host to target,\n"
           "RX target to host), with the host's connections and rate changes\n"
           "--program-dir DIR: the folder of CHIPDEF.INI, found as quillon-cli finds it when\n"
           "not given ($QUILLON_HOME, the program's own folder when it holds CHIPDEF.INI,\n"
           "else ~/.config/quillon, set up from the installed examples the first time)\n"
           "Boot ROM faults: silent:STEP, wrong:STEP=XX, zeros:N (0x00 bytes before replies),\n"
           "stray:N (TCS2: N stray bytes before F), polls:N (V polls before the RESET button)\n"
           "STEP: boot identify image-frame image boot2 ready rate key-frame key\n"
           "      erase-frame erase tcs-poll tcs-load tcs-run\n";
}

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (a == "--program-dir") {
            if (!value(options.programDir)) return false;
        } else if (a == "--chip") {
            if (!value(options.chip)) return false;
        } else if (a == "--crystal") {
            if (!value(text)) return false;
            char* end = nullptr;
            const long index = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || index < 0 || index > 255) {
                error = "--crystal takes the crystal's index (0, 1, ...), not \"" + text + "\"";
                return false;
            }
            options.crystal = static_cast<int>(index);
        } else if (a == "--flash") {
            if (!value(options.flashFile)) return false;
        } else if (a == "--link") {
            if (!value(options.linkPath)) return false;
        } else if (a == "--trace") {
            if (!value(options.traceFile)) return false;
        } else if (a == "--key") {
            if (!value(options.key)) return false;
        } else if (a == "--fault") {
            if (!value(text)) return false;
            options.faults.push_back(text);
        } else if (a == "--erase-ms" || a == "--blank-ms") {
            if (!value(text)) return false;
            char* end = nullptr;
            const long ms = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || ms < 0 || ms > 600000) {
                error = a + " takes milliseconds (0 to 600000), not \"" + text + "\"";
                return false;
            }
            (a == "--erase-ms" ? options.eraseMs : options.blankCheckMs) = static_cast<int>(ms);
        } else if (a == "--latency-timer") {
            if (!value(text)) return false;
            char* end = nullptr;
            const long ms = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || ms < 1 || ms > 255) {
                error = "--latency-timer takes milliseconds (1 to 255), not \"" + text + "\"";
                return false;
            }
            options.latencyTimerMs = static_cast<int>(ms);
        } else if (a == "--pace") {
            options.pace = true;
        } else if (a == "--erase-first") {
            options.eraseFirst = true;
        } else if (a == "--verbose") {
            options.verbose = true;
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (options.chip.empty()) {
        error = "--chip NAME is required";
        return false;
    }
    return true;
}

}  // namespace quillon::sim
