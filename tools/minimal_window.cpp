// The yardstick for the calendar's start-up: the least a Win32 program does to show a window
// of the calendar's size, then wait until it is closed.
#include <windows.h>

namespace {
LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "MinimalWindow";
    RegisterClassA(&wc);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - 322) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - 267) / 2;
    HWND wnd = CreateWindowExA(0, "MinimalWindow", "Minimal Window", WS_POPUP, x, y, 322, 267, nullptr,
                               nullptr, instance, nullptr);
    if (wnd == nullptr) {
        return 1;
    }
    ShowWindow(wnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
