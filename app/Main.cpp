// Start-up: the application, its title and icon, the calendar window, then the message loop
// until the tray menu's "Close".
#include <windows.h>

#include "toolkit/Application.h"
#include "toolkit/Icon.h"
#include "window/ResourceIds.h"
#include "window/Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    try {
        Application->Initialize();
        Application->SetTitle("Brennow Calendar");
        Application->Icon()->LoadFromResource(Application->Instance(), MAKEINTRESOURCEA(IDI_MAINICON));
        Application->IconChanged();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
        return 1;
    }
    return 0;
}
