#pragma once
// Lets a message through to a window from processes of a lower integrity level, as the shell's
// "TaskbarCreated" comes to an elevated program.
#include <windows.h>

// Does nothing on systems without per-window message filters (before Windows 7).
void AllowMessageFromAnyProcess(HWND wnd, UINT msg);
