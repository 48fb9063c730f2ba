#pragma once
// The program from start to end, shared by WinMain and the start-up benchmark.
#include <windows.h>

// Sets up the application with its title and icon, creates the calendar window, then runs the
// message loop until the tray menu's "Close". Returns the program's exit code. showCommand is
// how the program was asked to show (WinMain's): a minimising one starts it in the tray. A second
// start in the same session brings the running calendar back and returns 0 at once.
int RunCalendar(int showCommand = SW_SHOWNORMAL);
