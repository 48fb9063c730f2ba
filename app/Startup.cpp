#include "app/Startup.h"

#include <windows.h>

#include "window/ResourceIds.h"
#include "toolkit/Application.h"
#include "toolkit/Icon.h"
#include "toolkit/Seams.h"
#include "window/Unit1.h"

int RunCalendar(int showCommand) {
    TApplication application;
    try {
        {
            const ScopedStartupPhase phase("application set-up");
            // Loaded first, the icon comes with the application window rather than after it.
            Application->Icon()->LoadFromResource(Application->Instance(), MAKEINTRESOURCEA(IDI_MAINICON));
            Application->Initialize();
            Application->SetTitle("Brennow Calendar");
            Application->SetShowCommand(showCommand);
        }
        Application->CreateForm(Form1);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
        return 1;
    }
    return 0;
}
