#pragma once
// A component that calls its handler every Interval milliseconds through window messages.
#include <windows.h>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent value);

private:
    // Throws EOutOfResources when the platform has no timer to give.
    void UpdateTimer();
    void Tick();
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    // Declared before the timer so the timer is killed before its window goes.
    UniqueHwnd FWindow;
    UniqueTimer FTimer;
    // A fresh id per arming: a tick queued before a re-arm carries the old id and is ignored.
    UINT_PTR FTimerId = 0;
};
