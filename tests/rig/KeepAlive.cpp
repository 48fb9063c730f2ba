// Runs beside the GUI tests so Wine's explorer (which owns the tray) stays up between them.
// Ends on WM_CLOSE or after an hour at most.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SetTimer(nullptr, 0, 60 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            break;
        }
        DispatchMessageA(&msg);
    }
    return 0;
}
