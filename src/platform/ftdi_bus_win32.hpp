#pragma once
// FTDI's Windows driver keeps each adapter's settings in the registry, below
// Enum\FTDIBUS: <device id>\<instance>\Device Parameters holds the COM port
// it was given (PortName) and its latency timer in ms (LatencyTimer), which
// the user changes in the port's advanced properties. Read only: nothing is
// ever written there. Windows files only.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <map>
#include <string>

namespace quillon {

// The FTDIBUS key every adapter ever plugged in has an entry under.
inline constexpr const wchar_t* kFtdiBusKey = L"SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";

// Latency timers by COM port name in upper case ("COM3" -> 16), read from
// `key` below `root`; empty when the key is missing (no FTDI driver). Values
// that are missing, of another type or above 255 are passed over.
std::map<std::string, unsigned> FtdiLatencyTimers(HKEY root, const wchar_t* key = kFtdiBusKey);

}  // namespace quillon
