#pragma once
// The serial devices this system has, so that the COM page can show which
// device a COM number stands for and what there is to map it to.

#include <QStringList>

namespace quillon::gui {

// Device paths of the serial ports present (USB adapters, on-board UARTs
// that have hardware behind them), with their /dev/serial/by-id names in
// brackets where the system gives one. Empty where the system cannot say.
QStringList SystemSerialDevices();

}  // namespace quillon::gui
