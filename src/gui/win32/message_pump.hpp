#pragma once
// The program's one message loop and the pump a running command turns while
// it waits on the line: every message passes the main window's letter keys,
// then the dialog manager of the program's dialogs (Tab, Enter, Escape,
// mnemonics), then its window.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quillon::gui::win32 {

// A modeless dialog whose keys the dialog manager handles while it exists.
void AddDialog(HWND dialog);
void RemoveDialog(HWND dialog);

// Sees every key message first; true when it took the message.
using KeyFilter = bool (*)(const MSG& msg, void* context);
void SetKeyFilter(KeyFilter filter, void* context);

// Handles one message as the loop does.
void Dispatch(MSG& msg);
// Handles every message waiting, and returns (a command's pump).
void PumpPending();
// Runs until `window` is gone (or WM_QUIT comes).
void RunMessageLoop(HWND window);

}  // namespace quillon::gui::win32
