#include "app/Session.h"

#include <sddl.h>

#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/MessageFilter.h"
#include "toolkit/SystemLibrary.h"

// What the first calendar publishes: window handles and process ids fit 32 bits in 32- and
// 64-bit processes alike, so both builds read the same record.
struct TSessionCalendar::Published {
    volatile LONG ProcessId;
    volatile LONG Window;
};

namespace {
const char kWindowClass[] = "BrennowCalendarSession";
constexpr DWORD kWaitMs = 2500;
constexpr DWORD kRestartNoCrash = 1;
constexpr DWORD kRestartNoHang = 2;

UINT RestoreMessage() {
    static const UINT message = RegisterWindowMessageA("BrennowCalendarRestore");
    return message;
}

// The user's SID as text: another user in this session (run as) has a calendar of their own.
std::string UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return "unknown";
    }
    std::string sid = "unknown";
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    char* text = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

LONG Read(const volatile LONG& value) {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&value), 0, 0);
}
} // namespace

TSessionCalendar::TSessionCalendar() {
    // Local\ is this sign-in session's namespace: other sessions have calendars of their own.
    const std::string name = "Local\\BrennowCalendar-" + UserSid();
    SetLastError(ERROR_SUCCESS);
    FMapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Published),
                                      name.c_str()));
    // Without the mapping nothing can be shared: this start runs on its own.
    if (!FMapping) {
        return;
    }
    FFirst = GetLastError() != ERROR_ALREADY_EXISTS;
    FView.reset(
        static_cast<Published*>(MapViewOfFile(FMapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(Published))));
    if (FFirst && FView) {
        InterlockedExchange(&FView.get()->ProcessId, static_cast<LONG>(GetCurrentProcessId()));
    }
}

TSessionCalendar::~TSessionCalendar() {
    if (FFirst && FView) {
        InterlockedExchange(&FView.get()->Window, 0);
    }
    FWindow.reset();
}

void TSessionCalendar::BringBackRunning() const {
    if (!FView) {
        return;
    }
    // The running calendar may still be building its window.
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    LONG window = Read(FView.get()->Window);
    while (window == 0 && GetTickCount64() < deadline) {
        Sleep(50);
        window = Read(FView.get()->Window);
    }
    if (window == 0) {
        return;
    }
    const HWND wnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(window));
    // The user just started us, so we may come to the front: that right goes to the calendar.
    AllowSetForegroundWindow(static_cast<DWORD>(Read(FView.get()->ProcessId)));
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(wnd, RestoreMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kWaitMs, &answer);
}

void TSessionCalendar::Listen(std::function<void()> restore) {
    FRestore = std::move(restore);
    if (!FFirst || !FView || FWindow) {
        return;
    }
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) {
        return;
    }
    FWindow.reset(CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (!FWindow) {
        return;
    }
    SetWindowLongPtrA(FWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A calendar run elevated still hears a start by the user.
    AllowMessageFromAnyProcess(FWindow.get(), RestoreMessage());
    InterlockedExchange(&FView.get()->Window, static_cast<LONG>(reinterpret_cast<INT_PTR>(FWindow.get())));
}

LRESULT CALLBACK TSessionCalendar::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TSessionCalendar*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self == nullptr || msg != RestoreMessage()) {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    try {
        if (self->FRestore) {
            self->FRestore();
        }
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(Application);
        }
    }
    return 1;
}

void RegisterRestartAfterUpgrade() {
    using RegisterFn = HRESULT(WINAPI*)(PCWSTR, DWORD);
    if (const auto registerRestart = SystemProc<RegisterFn>("kernel32.dll", "RegisterApplicationRestart")) {
        registerRestart(nullptr, kRestartNoCrash | kRestartNoHang);
    }
}
