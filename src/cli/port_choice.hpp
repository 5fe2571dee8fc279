#pragma once
// The port of a run when the user named none. With no --port or comN word,
// nothing saved in Customize.ini ([Com] Com=, [Ports] COMn=), and no real
// serial port behind the default device, the one USB serial adapter present
// is the port; with several, the run stops and lists them, rather than
// opening a device that is no port at all.

#include <string>
#include <vector>

#include "app/request.hpp"
#include "platform/serial_ports.hpp"

namespace quillon {

enum class PortChoice {
    AsConfigured,  // the port named or saved (or a real default port) stands
    OnlyAdapter,   // `device` is the one USB adapter
    Several,       // `text` lists the adapters to choose from
};

struct PortChoiceResult {
    PortChoice choice = PortChoice::AsConfigured;
    std::string device;
    std::string text;  // "the only USB serial adapter, ..." or the list
};

// `comPortIndex` is the COM index in use (0: COM1), `ports` as
// ListSerialPorts gives them.
PortChoiceResult ChoosePortWhenNoneGiven(const std::string& programDir, const Request& request,
                                         int comPortIndex,
                                         const std::vector<SerialPortInfo>& ports);

}  // namespace quillon
