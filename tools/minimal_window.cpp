// The yardstick for the calendar's start-up: the least a Win32 program does to show a window
// of the calendar's size, then wait until it is closed. Built a second time with
// MINIMAL_WITH_TRAY_ICON: the same, with one tray icon added before the show, as the calendar
// must.
#include <windows.h>
#ifdef MINIMAL_WITH_TRAY_ICON
#include <shellapi.h>
#endif

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
#ifdef MINIMAL_WITH_TRAY_ICON
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = wnd;
    icon.uID = 2;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_USER + 0x2FF;
    icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    lstrcpynA(icon.szTip, "16 day of Hriive, loa 10, yeen 15", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
#endif
    ShowWindow(wnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
#ifdef MINIMAL_WITH_TRAY_ICON
    Shell_NotifyIconA(NIM_DELETE, &icon);
#endif
    return 0;
}
