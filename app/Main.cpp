// The program takes no command line: everything it does starts here.
#include <windows.h>

#include "app/Startup.h"
#include "toolkit/SystemLibrary.h"

#if defined(__GNUC__)
// Before the static constructors of the libraries linked in: the stack protector draws its guard
// from the system's random numbers, whose providers load further DLLs.
[[gnu::constructor(101)]] static void RestrictDllSearchFirst() {
    RestrictDllSearchToSystem();
}
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    // The DLLs loaded from here on, the system's own included, come from the system directory,
    // never from the folder the program was unpacked in.
    RestrictDllSearchToSystem();
    return RunCalendar(showCommand);
}
