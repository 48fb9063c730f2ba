// Resource ids shared by the resource scripts and the C++ code: plain defines, as rc understands only those.
#pragma once

// The main icon has the lowest id so that Explorer shows it for the .exe.
#define IDI_MAINICON 1
#define IDI_HIDEBUTTON 2
#define IDI_TRAYCLOCK 3

// The spin arrow bitmaps are named resources, loaded as LoadBitmapA(instance, "SpinUp").
#define SPIN_UP_BITMAP "SpinUp"
#define SPIN_DOWN_BITMAP "SpinDown"
