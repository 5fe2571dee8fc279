#pragma once
// A function of a system DLL, loaded the first time it is wanted rather than
// when the program starts: the libraries only some commands use (the file
// dialogs, sounds, dropped files, the ports' names) cost a good part of the
// desktop program's start-up. Only the system folder is searched, so a DLL
// of the same name beside the program is never loaded instead.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quillon {

// Null when the library or the function is not there.
template <typename Function>
Function* SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace quillon

// SYSTEM_FUNCTION(L"winmm.dll", PlaySoundW): the function, typed as the
// system header declares it, or null.
#define QUILLON_SYSTEM_FUNCTION(library, function) \
    ::quillon::SystemFunction<decltype(function)>(library, #function)
