// The program takes no command line: everything it does starts here.
#include <windows.h>

#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    return RunCalendar(showCommand);
}
