#pragma once
// The platform calls that tests observe or refuse, and the marks of start-up's phases. Each is a
// plain function pointer that holds the real call; a test swaps one in with ScopedSeam and the
// code never knows.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <utility>

struct TLocalDate {
    std::uint16_t Year;
    std::uint16_t Month;
    std::uint16_t Day;
};

namespace Seam {
// Shell_NotifyIconA.
extern BOOL (*ShellNotifyIcon)(DWORD message, NOTIFYICONDATAA* data);
// Today's date on the local clock.
extern TLocalDate (*LocalDate)();
// MessageBeep.
extern BOOL (*Beep)(UINT type);
// The standard exception report: a message box with the error icon.
extern void (*ReportError)(HWND owner, const std::string& title, const std::string& text);
// SetTimer for a window's timer; 0 when the system has none left.
extern UINT_PTR (*StartTimer)(HWND wnd, UINT_PTR id, UINT ms);
// The beginning and the end of one phase of start-up. Does nothing in the program; the start-up
// benchmark puts a recorder here to see where the time goes.
extern void (*StartupPhase)(const char* phase, bool begins);
} // namespace Seam

// Replaces one seam for the lifetime of a scope.
template <typename Fn> class ScopedSeam {
public:
    ScopedSeam(Fn& seam, Fn replacement) : FSeam(seam), FSaved(std::exchange(seam, replacement)) {}
    ~ScopedSeam() { FSeam = FSaved; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Fn& FSeam;
    Fn FSaved;
};

// Marks one phase of start-up for the lifetime of a scope.
class ScopedStartupPhase {
public:
    explicit ScopedStartupPhase(const char* phase) : FPhase(phase) { Seam::StartupPhase(phase, true); }
    ~ScopedStartupPhase() { Seam::StartupPhase(FPhase, false); }
    ScopedStartupPhase(const ScopedStartupPhase&) = delete;
    ScopedStartupPhase& operator=(const ScopedStartupPhase&) = delete;

private:
    const char* FPhase;
};
