#include "app/Startup.h"

#include <windows.h>

#include "app/Session.h"
#include "window/ResourceIds.h"
#include "toolkit/Application.h"
#include "toolkit/Icon.h"
#include "toolkit/Seams.h"
#include "window/Unit1.h"

int RunCalendar(int showCommand) {
    // Before any window: a second start in this session only brings the running calendar back.
    TSessionCalendar session;
    if (!session.First()) {
        session.BringBackRunning();
        return 0;
    }
    RegisterRestartAfterUpgrade();
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
        // Exactly the tray menu's "Restore"; nothing once the window is being torn down.
        session.Listen([] {
            if (auto* form = dynamic_cast<TForm1*>(Application->MainForm())) {
                form->Tray->RestoreOwner();
            }
        });
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
        return 1;
    }
    return 0;
}
