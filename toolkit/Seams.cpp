#include "toolkit/Seams.h"

namespace {
BOOL RealShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
    return Shell_NotifyIconA(message, data);
}

TLocalDate RealLocalDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

BOOL RealBeep(UINT type) {
    return MessageBeep(type);
}

void RealReportError(HWND owner, const std::string& title, const std::string& text) {
    MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

UINT_PTR RealStartTimer(HWND wnd, UINT_PTR id, UINT ms) {
    return SetTimer(wnd, id, ms, nullptr);
}

void NoStartupPhase(const char*, bool) {}
} // namespace

namespace Seam {
BOOL (*ShellNotifyIcon)(DWORD, NOTIFYICONDATAA*) = RealShellNotifyIcon;
TLocalDate (*LocalDate)() = RealLocalDate;
BOOL (*Beep)(UINT) = RealBeep;
void (*ReportError)(HWND, const std::string&, const std::string&) = RealReportError;
UINT_PTR (*StartTimer)(HWND, UINT_PTR, UINT) = RealStartTimer;
void (*StartupPhase)(const char*, bool) = NoStartupPhase;
} // namespace Seam
