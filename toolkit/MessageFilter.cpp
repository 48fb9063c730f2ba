#include "toolkit/MessageFilter.h"

namespace {
using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
constexpr DWORD kFilterAllow = 1;

ChangeWindowMessageFilterExFn FilterFunction() {
    // user32 is a known system library: no search path is involved in finding it.
    static const auto function = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        FARPROC found = user32 != nullptr ? GetProcAddress(user32, "ChangeWindowMessageFilterEx") : nullptr;
        // Through the generic function type, which every function pointer converts to and from.
        return reinterpret_cast<ChangeWindowMessageFilterExFn>(reinterpret_cast<void (*)()>(found));
    }();
    return function;
}
} // namespace

void AllowMessageFromAnyProcess(HWND wnd, UINT msg) {
    if (ChangeWindowMessageFilterExFn filter = FilterFunction();
        filter != nullptr && wnd != nullptr && msg != 0) {
        filter(wnd, msg, kFilterAllow, nullptr);
    }
}
