#pragma once
// What GUI tests share: a running application object, message pumping with generous
// deadlines, pixel read-back and recorders for the platform seams.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Seams.h"

// Dispatches messages (through the application's own loop) for about ms milliseconds.
void PumpFor(int ms);
// Dispatches messages until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// The colour painted at a client point of a window, after pending paints have run.
COLORREF PixelAt(HWND wnd, int x, int y);

// Counts MessageBeep calls while alive.
class BeepRecorder {
public:
    BeepRecorder();
    ~BeepRecorder();
    BeepRecorder(const BeepRecorder&) = delete;
    BeepRecorder& operator=(const BeepRecorder&) = delete;
    int Count() const;

private:
    ScopedSeam<BOOL (*)(UINT)> FSeam;
};

// Records the standard exception reports while alive, instead of showing message boxes.
class ErrorReportRecorder {
public:
    ErrorReportRecorder();
    ~ErrorReportRecorder();
    ErrorReportRecorder(const ErrorReportRecorder&) = delete;
    ErrorReportRecorder& operator=(const ErrorReportRecorder&) = delete;
    struct Report {
        std::string Title;
        std::string Text;
    };
    const std::vector<Report>& Reports() const;

private:
    ScopedSeam<void (*)(HWND, const std::string&, const std::string&)> FSeam;
};

// A window's client area as drawn on the screen, copied once after pending paints have run.
class WindowSnapshot {
public:
    explicit WindowSnapshot(HWND wnd);
    // CLR_INVALID outside the client area.
    COLORREF At(int x, int y) const;
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<DWORD> FPixels;
};
