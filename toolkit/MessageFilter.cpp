#include "toolkit/MessageFilter.h"

#include "toolkit/SystemLibrary.h"

namespace {
using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
constexpr DWORD kFilterAllow = 1;
} // namespace

void AllowMessageFromAnyProcess(HWND wnd, UINT msg) {
    static const auto filter =
        SystemProc<ChangeWindowMessageFilterExFn>("user32.dll", "ChangeWindowMessageFilterEx");
    if (filter != nullptr && wnd != nullptr && msg != 0) {
        filter(wnd, msg, kFilterAllow, nullptr);
    }
}
