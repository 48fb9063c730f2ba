// Runs beside the GUI tests so Wine's explorer (which owns the tray) stays up between them.
// Prints "ready" once it holds the desktop, so the session starts no test before that: a test
// that brought explorer up itself would hand it its own output, and explorer would keep that open.
// Ends on WM_CLOSE or after an hour at most.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    if (GetDesktopWindow() != nullptr) {
        std::puts("ready");
        std::fflush(stdout);
    }
    SetTimer(nullptr, 0, 60 * 60 * 1000, nullptr);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            break;
        }
        DispatchMessageA(&msg);
    }
    return 0;
}
