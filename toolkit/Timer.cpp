#include "toolkit/Timer.h"

#include <utility>

#include "toolkit/Application.h"
#include "toolkit/Exception.h"

namespace {
const char TimerWindowClass[] = "BrennowTimerWindow";

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

bool RegisterTimerClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = ModuleInstance();
        wc.lpszClassName = TimerWindowClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}
} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    FTimer.Kill();
    if (FWindow) {
        // No tick may reach a half-destroyed timer while the window goes.
        SetWindowLongPtrA(FWindow.get(), GWLP_USERDATA, 0);
    }
}

// Every write restarts the period, even with an unchanged value: a press of a repeating
// button must always wait its full first delay.
void TTimer::SetEnabled(bool value) {
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
    FInterval = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
    FOnTimer = std::move(value);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    FTimer.Kill();
    if (FInterval == 0 || !FEnabled || !FOnTimer) {
        return;
    }
    if (!FWindow) {
        // A message-only window: it needs no size, no show and no place on the taskbar.
        if (RegisterTimerClass(WindowProc)) {
            FWindow.reset(CreateWindowExA(0, TimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ModuleInstance(), nullptr));
        }
        if (!FWindow) {
            throw EOutOfResources("Not enough timers available");
        }
        SetWindowLongPtrA(FWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    FTimerId = FTimerId + 1 == 0 ? 1 : FTimerId + 1;
    if (!FTimer.Set(FWindow.get(), FTimerId, FInterval)) {
        throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::Tick() {
    try {
        // A copy: the handler may replace itself or destroy this timer.
        TNotifyEvent handler = FOnTimer;
        if (handler) {
            handler(this);
        }
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(this);
        }
    }
}

LRESULT CALLBACK TTimer::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (timer != nullptr && timer->FTimer.Active() && wParam == timer->FTimerId) {
            timer->Tick();
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
