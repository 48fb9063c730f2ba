#pragma once
// The calendar's place in the user's sign-in session: one calendar per session and user, found
// through a named mapping that holds the running calendar's window, and a restart by the
// installer after an upgrade.
#include <windows.h>

#include <functional>

#include "toolkit/Handles.h"

class TSessionCalendar {
public:
    // Claims this session's calendar for the process before any window exists.
    TSessionCalendar();
    ~TSessionCalendar();
    TSessionCalendar(const TSessionCalendar&) = delete;
    TSessionCalendar& operator=(const TSessionCalendar&) = delete;

    // False when another calendar of this user already runs in this session.
    bool First() const { return FFirst; }
    // A second start: hands the foreground on to the running calendar and asks it to bring its
    // window back, waiting a few seconds at most, also for one that is still starting or hung.
    void BringBackRunning() const;
    // The first start: from now on another start's request runs restore.
    void Listen(std::function<void()> restore);

private:
    struct Published;
    struct KernelHandleTraits {
        static void Close(HANDLE h) { CloseHandle(h); }
    };
    struct ViewTraits {
        static void Close(Published* view) { UnmapViewOfFile(view); }
    };

    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool FFirst = true;
    UniqueHandle<HANDLE, KernelHandleTraits> FMapping;
    UniqueHandle<Published*, ViewTraits> FView;
    UniqueHwnd FWindow;
    std::function<void()> FRestore;
};

// Asks Windows to start the calendar again when an installer closes it for an upgrade (not
// after a crash or a hang). Does nothing on systems without the Restart Manager.
void RegisterRestartAfterUpgrade();
