// The least a Win32 program does to show a window and end: the yardstick of
// quillon.exe's start-up under Wine (bench/desktop_wine.sh builds it).

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int main() {
    HWND window = CreateWindowExW(0, L"Static", L"empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(window);
    return 0;
}
