// Measures the calendar window's refresh as the timer drives it: what a tick costs when the
// date has not changed, what it sends to the shell and repaints, and what an hour of ticks
// leaves behind. Prints one line per figure; run it in a display (see docs/performance.md).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Seams.h"
#include "tools/GuiObjectCount.h"
#include "window/Unit1.h"

namespace {
int gShellCalls = 0;
BOOL (*gRealShell)(DWORD, NOTIFYICONDATAA*) = nullptr;

BOOL CountingShell(DWORD message, NOTIFYICONDATAA* data) {
    ++gShellCalls;
    return gRealShell(message, data);
}

int gPaints = 0;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT) {
        ++gPaints;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double NanosecondsPerRefresh(int refreshes) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < refreshes; ++i) {
        Form1->SpinEdit1Change(Form1->Timer1);
    }
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / refreshes;
}

// A clock whose date moves on at every reading.
TLocalDate gDay{2026, 12, 1};
TLocalDate NextDay() {
    gDay.Day = static_cast<std::uint16_t>(gDay.Day % 28 + 1);
    return gDay;
}

SIZE_T WorkingSetKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize / 1024;
}
} // namespace

int main() {
    TApplication application;
    try {
        Application->Initialize();
        Application->SetTitle("Brennow Calendar");
        gRealShell = Seam::ShellNotifyIcon;
        Seam::ShellNotifyIcon = CountingShell;
        Application->CreateForm(Form1);
        // The first tick hides the window; the tray icon brings it back, as a user would.
        Form1->SpinEdit1Change(Form1->Timer1);
        Form1->Tray->RestoreOwner();
        Form1->Timer1->SetEnabled(false);
        Application->ProcessMessages();

        // Warm-up, then the best of five runs.
        NanosecondsPerRefresh(10000);
        std::vector<double> runs;
        for (int run = 0; run < 5; ++run) {
            runs.push_back(NanosecondsPerRefresh(100000));
        }
        std::printf("unchanged refresh: %.0f ns (best of 5 x 100000; worst %.0f ns)\n",
                    *std::min_element(runs.begin(), runs.end()), *std::max_element(runs.begin(), runs.end()));

        // An hour of ticks, each followed by the message processing that would paint.
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountPaints, nullptr, GetCurrentThreadId());
        Application->ProcessMessages();
        const GuiObjectCount before = CountGuiObjects();
        const SIZE_T workingSetBefore = WorkingSetKiB();
        gShellCalls = 0;
        gPaints = 0;
        constexpr int kHour = 3600;
        for (int tick = 0; tick < kHour; ++tick) {
            Form1->SpinEdit1Change(Form1->Timer1);
            Application->ProcessMessages();
        }
        const int shellCalls = gShellCalls;
        const int paints = gPaints;
        const GuiObjectCount after = CountGuiObjects();

        // For comparison, and to show that the counters see what a tick does: a new date
        // at every tick.
        constexpr int kNewDates = 100;
        TLocalDate (*clock)() = Seam::LocalDate;
        Seam::LocalDate = NextDay;
        gShellCalls = 0;
        gPaints = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int tick = 0; tick < kNewDates; ++tick) {
            Form1->SpinEdit1Change(Form1->Timer1);
        }
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
        for (int tick = 0; tick < kNewDates; ++tick) {
            Form1->SpinEdit1Change(Form1->Timer1);
            Application->ProcessMessages();
        }
        Seam::LocalDate = clock;
        UnhookWindowsHookEx(hook);
        std::printf("refresh finding a new date: %.0f us without painting; per tick %.2f shell calls, "
                    "%.2f repaints\n",
                    elapsed.count() / kNewDates, static_cast<double>(gShellCalls) / (2 * kNewDates),
                    static_cast<double>(gPaints) / kNewDates);
        std::printf(
            "per unchanged tick: %.4f shell calls, %.4f repaints (%d ticks: %d shell calls, %d WM_PAINT)\n",
            static_cast<double>(shellCalls) / kHour, static_cast<double>(paints) / kHour, kHour, shellCalls,
            paints);
        std::printf("after an hour of ticks: working set %zu KiB (before %zu KiB); GDI %lu (before %lu), "
                    "USER %lu (before %lu), counted by %s\n",
                    static_cast<size_t>(WorkingSetKiB()), static_cast<size_t>(workingSetBefore), after.Gdi,
                    before.Gdi, after.User, before.User, after.Source);
    } catch (...) {
        Application->HandleException(nullptr);
        return 1;
    }
    return 0;
}
