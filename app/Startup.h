#pragma once
// The program from start to end, shared by WinMain and the start-up benchmark.

// Sets up the application with its title and icon, creates the calendar window, then runs the
// message loop until the tray menu's "Close". Returns the program's exit code.
int RunCalendar();
