// The program takes no command line: everything it does starts here.
#include <windows.h>

#include "app/Startup.h"
#include "toolkit/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First of all: the DLLs loaded from here on, the system's own included, come from the system
    // directory, never from the folder the program was unpacked in.
    RestrictDllSearchToSystem();
    return RunCalendar();
}
