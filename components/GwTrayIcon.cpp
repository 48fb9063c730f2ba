#include "components/GwTrayIcon.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/ImageList.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageFilter.h"
#include "toolkit/Seams.h"
#include "toolkit/Timer.h"

// The shell learns the record's version from cbSize: always the first one, whatever the shell.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "first-version notify record is 88 bytes");

namespace {
constexpr UINT kIconId = 2;
constexpr std::size_t kTipLength = 63;
const char kNotifyWindowClass[] = "GwTrayIconNotifyWindow";
// Retries of a refused add: often while a shell is coming up, then now and then.
constexpr unsigned kEarlyRetryMs = 2000;
constexpr unsigned kLateRetryMs = 30000;
constexpr ULONGLONG kEarlyRetriesForMs = 60000;

// The owner procedure stubs. A window procedure is a bare function pointer, but the one a tray icon
// puts in front of its form's must reach that one icon. Rather than write code into executable
// memory at run time (a thunk, which data-execution prevention forbids or makes fragile), the program
// carries a fixed table of kStubCount entry points, Entry<0> to Entry<kStubCount - 1>, each of which
// looks up its own slot in gStubs. Taking a stub takes a free slot and binds it to the icon.
// A slot can outlive its icon: if someone else subclassed the form after us, that procedure keeps
// calling our stub, so the slot stays as a forwarder to the procedure we replaced (Icon null) until
// the window goes. Only one tray icon may exist per application, so 16 slots leave ample room for
// forwarders left behind by earlier icons.

// How many tray icons may hook a form window at once.
constexpr int kStubCount = 16;

struct StubEntry {
    bool Taken = false;
    // Null once the icon has gone while someone else's procedure still calls the stub.
    TGwCustomTrayIcon* Icon = nullptr;
    HWND Window = nullptr;
    WNDPROC Previous = nullptr;
};
StubEntry gStubs[kStubCount];

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

// Timers know no negative periods: those stop the ticks, as 0 does.
unsigned TimerInterval(int ms) {
    return ms > 0 ? static_cast<unsigned>(ms) : 0;
}

// The keys and buttons held down as the shell reports the event.
TShiftState TrayShift() {
    TShiftState shift = ShiftFromKeyboard();
    if (GetKeyState(VK_LBUTTON) < 0) {
        shift |= ssLeft;
    }
    if (GetKeyState(VK_RBUTTON) < 0) {
        shift |= ssRight;
    }
    if (GetKeyState(VK_MBUTTON) < 0) {
        shift |= ssMiddle;
    }
    return shift;
}

// Runs before the base constructor, so a refused icon probes nothing and owns nothing.
TComponent* SingleInstanceChecked(TComponent* owner) {
    if (Application != nullptr) {
        for (TForm* form : Application->Forms()) {
            for (TComponent* component : form->Components()) {
                if (dynamic_cast<TGwTrayIcon*>(component) != nullptr) {
                    throw ETrayIconError("Cannot have more than one GwTrayIcon per application");
                }
            }
        }
    }
    return owner;
}
} // namespace

// ---------------------------------------------------------------- owner procedure stub

template <int N>
LRESULT CALLBACK TGwCustomTrayIcon::TOwnerProcStub::Entry(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(N, wnd, msg, wParam, lParam);
}

TGwCustomTrayIcon::TOwnerProcStub::TOwnerProcStub(TGwCustomTrayIcon* icon) {
    for (int i = 0; i < kStubCount; ++i) {
        StubEntry& entry = gStubs[i];
        // A forwarder is free again once its window has gone.
        if (entry.Taken && entry.Icon == nullptr && (entry.Window == nullptr || !IsWindow(entry.Window))) {
            entry = StubEntry{};
        }
        if (!entry.Taken) {
            entry.Taken = true;
            entry.Icon = icon;
            FSlot = i;
            return;
        }
    }
    throw EOutOfResources("Out of system resources");
}

TGwCustomTrayIcon::TOwnerProcStub::TOwnerProcStub(TOwnerProcStub&& other) noexcept
    : FSlot(std::exchange(other.FSlot, -1)) {}

TGwCustomTrayIcon::TOwnerProcStub&
TGwCustomTrayIcon::TOwnerProcStub::operator=(TOwnerProcStub&& other) noexcept {
    if (this != &other) {
        Release();
        FSlot = std::exchange(other.FSlot, -1);
    }
    return *this;
}

WNDPROC TGwCustomTrayIcon::TOwnerProcStub::Proc() const {
    static const auto table = []<int... N>(std::integer_sequence<int, N...>) {
        return std::array<WNDPROC, sizeof...(N)>{&Entry<N>...};
    }
    (std::make_integer_sequence<int, kStubCount>{});
    return FSlot >= 0 ? table[static_cast<std::size_t>(FSlot)] : nullptr;
}

void TGwCustomTrayIcon::TOwnerProcStub::Hooked(HWND wnd, WNDPROC previous) {
    if (FSlot >= 0) {
        gStubs[FSlot].Window = wnd;
        gStubs[FSlot].Previous = previous;
    }
}

void TGwCustomTrayIcon::TOwnerProcStub::Unhooked() {
    if (FSlot >= 0) {
        gStubs[FSlot].Window = nullptr;
        gStubs[FSlot].Previous = nullptr;
    }
}

void TGwCustomTrayIcon::TOwnerProcStub::Release() {
    if (FSlot < 0) {
        return;
    }
    StubEntry& entry = gStubs[FSlot];
    const WNDPROC stub = Proc();
    FSlot = -1;
    bool forwarding = false;
    if (entry.Window != nullptr && IsWindow(entry.Window)) {
        auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(entry.Window, GWLP_WNDPROC));
        if (current == stub) {
            SetWindowLongPtrA(entry.Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.Previous));
        } else {
            // Someone subclassed the window after us and will go on calling the stub.
            forwarding = true;
        }
    }
    if (forwarding) {
        entry.Icon = nullptr;
    } else {
        entry = StubEntry{};
    }
}

LRESULT TGwCustomTrayIcon::TOwnerProcStub::Dispatch(int slot, HWND wnd, UINT msg, WPARAM wParam,
                                                    LPARAM lParam) {
    StubEntry& entry = gStubs[slot];
    if (entry.Icon != nullptr) {
        TGwCustomTrayIcon* icon = entry.Icon;
        try {
            return icon->OwnerWindowProc(wnd, msg, wParam, lParam);
        } catch (...) {
            if (Application != nullptr) {
                Application->HandleException(icon);
            }
            return 0;
        }
    }
    WNDPROC previous = entry.Previous;
    if (msg == WM_NCDESTROY && entry.Taken && entry.Window == wnd) {
        entry = StubEntry{};
    }
    if (previous == nullptr) {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    return CallWindowProcA(previous, wnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------- construction and destruction

void TGwCustomTrayIcon::NotifyWindowTraits::Close(HWND wnd) {
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    DestroyWindow(wnd);
}

TGwCustomTrayIcon::TGwCustomTrayIcon(TComponent* AOwner) : TGwShellComponent(SingleInstanceChecked(AOwner)) {
    // Placed on a form that is being edited: design mode from the start.
    if (AOwner != nullptr && AOwner->IsDesigning()) {
        SetDesigning(true);
    }
    FActive = true;
    FMinimizeToTray = true;
    FIcon = std::make_unique<TIcon>();
    FInterval = 250;
    FShowHint = true;
    FDisplayIcon = std::make_unique<TIcon>();
    if (!IsDesigning()) {
        FOwnMenu = new TPopupMenu(this);
        FCloseItem = new TMenuItem(this);
        FCloseItem->SetCaption("Close");
        FCloseItem->OnClick = [](TObject*) { PostQuitMessage(0); };
        FOwnMenu->Add(FCloseItem);
        FRestoreItem = new TMenuItem(this);
        FRestoreItem->SetCaption("Restore");
        FRestoreItem->OnClick = [this](TObject*) { RestoreOwner(); };
        FOwnMenu->Add(FRestoreItem);
        FPopupMenu = FOwnMenu;
    }
    FStartupHideCount = 0;
    if (!IsDesigning()) {
        static const bool registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = NotifyWindowProcedure;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kNotifyWindowClass;
            return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        }();
        // Top-level, not message-only: only top-level windows hear the shell's "TaskbarCreated".
        if (registered) {
            FNotifyWindow.reset(CreateWindowExA(0, kNotifyWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                nullptr, GetModuleHandleA(nullptr), nullptr));
        }
        if (!FNotifyWindow) {
            throw EOutOfResources("Error creating window");
        }
        SetWindowLongPtrA(FNotifyWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // Run elevated, the calendar would otherwise never hear a restarted shell.
        AllowMessageFromAnyProcess(FNotifyWindow.get(), TaskbarCreatedMessage());
        FOwnerProcStub = TOwnerProcStub(this);
    }
}

TGwCustomTrayIcon::~TGwCustomTrayIcon() {
    *FAlive = false;
    Destroying();
    if (!IsDesigning()) {
        try {
            RemoveIcon();
        } catch (...) {
            // A destructor reports nothing; a refused delete is ignored anyway.
        }
    }
    FIcon.reset();
    FDisplayIcon.reset();
    delete std::exchange(FOwnMenu, nullptr);
    delete std::exchange(FCloseItem, nullptr);
    delete std::exchange(FRestoreItem, nullptr);
    delete std::exchange(FAnimationTimer, nullptr);
    delete std::exchange(FRetryTimer, nullptr);
    FNotifyWindow.reset();
    // While the form window lives, its previous procedure is put back first.
    FOwnerProcStub.Release();
}

void TGwCustomTrayIcon::Loaded() {
    TGwShellComponent::Loaded();
    if (IsDesigning()) {
        return;
    }
    const ScopedStartupPhase phase("tray icon add");
    // At sign-in the shell may not take icons yet: that is no reason to fail, only to ask again.
    if (FActive && !TryAddIcon()) {
        StartRetries();
    }
    if (!FIcon->Empty()) {
        SetIcon(FIcon.get());
    } else if (FImages != nullptr && (FIconShown || !FActive)) {
        SetImages(FImages);
    }
}

void TGwCustomTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TGwShellComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) {
        return;
    }
    // References to components that go before us are cleared, never left dangling.
    if (AComponent == FImages) {
        FImages = nullptr;
    }
    if (AComponent == FPopupMenu) {
        FPopupMenu = nullptr;
    }
    if (AComponent == FOwnMenu) {
        FOwnMenu = nullptr;
    }
    if (AComponent == FCloseItem) {
        FCloseItem = nullptr;
    }
    if (AComponent == FRestoreItem) {
        FRestoreItem = nullptr;
    }
    if (AComponent == FAnimationTimer) {
        FAnimationTimer = nullptr;
    }
    if (AComponent == FRetryTimer) {
        FRetryTimer = nullptr;
    }
}

WNDPROC TGwCustomTrayIcon::OwnerProcStub() const {
    return FOwnerProcStub.Proc();
}

TForm* TGwCustomTrayIcon::OwnerForm() const {
    return dynamic_cast<TForm*>(Owner());
}

// ---------------------------------------------------------------- the shell

bool TGwCustomTrayIcon::NotifyShell(DWORD command) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = FNotifyWindow.get();
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | (FShowHint ? NIF_TIP : 0u);
    data.uCallbackMessage = TrayCallbackMessage;
    // The tray shows small images; a single-size icon gives what it has.
    HICON icon = FDisplayIcon != nullptr ? FDisplayIcon->SmallHandle() : nullptr;
    if (icon == nullptr && Application != nullptr && Application->Icon() != nullptr) {
        icon = Application->Icon()->SmallHandle();
    }
    if (icon == nullptr) {
        icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    }
    data.hIcon = icon;
    std::memcpy(data.szTip, FHint.data(), std::min(FHint.size(), kTipLength));
    return Seam::ShellNotifyIcon(command, &data) != FALSE;
}

bool TGwCustomTrayIcon::TryAddIcon() {
    if (FIconShown) {
        return true;
    }
    if (FPreviousOwnerProc == nullptr) {
        HookOwner();
    }
    FIconShown = NotifyShell(NIM_ADD);
    return FIconShown;
}

void TGwCustomTrayIcon::AddIcon() {
    if (!TryAddIcon()) {
        throw ETrayIconError("Error adding tray icon");
    }
}

void TGwCustomTrayIcon::RemoveIcon() {
    if (FIconShown) {
        NotifyShell(NIM_DELETE);
        FIconShown = false;
    }
}

void TGwCustomTrayIcon::ModifyIcon() {
    if (!NotifyShell(NIM_MODIFY)) {
        throw ETrayIconError("Tray Icon Error");
    }
}

void TGwCustomTrayIcon::ShellRestarted() {
    if (IsDesigning() || !FActive) {
        return;
    }
    if (!FIconShown) {
        RetryAdd();
        return;
    }
    if (NotifyShell(NIM_ADD)) {
        return;
    }
    // Refused as a duplicate: the icon outlived whatever sent the broadcast, so bring it up to date.
    if (NotifyShell(NIM_MODIFY)) {
        return;
    }
    // Gone: the icon was the way back to a hidden form, so the form comes back until it returns.
    FIconShown = false;
    StartRetries();
    TForm* form = OwnerForm();
    if (form != nullptr && !(form->HandleAllocated() && IsWindowVisible(form->Handle()))) {
        RestoreOwner();
    }
}

void TGwCustomTrayIcon::StartRetries() {
    if (IsDesigning() || IsDestroying()) {
        return;
    }
    try {
        if (FRetryTimer == nullptr) {
            FRetryTimer = new TTimer(this);
            FRetryTimer->SetEnabled(false);
            FRetryTimer->SetOnTimer([this](TObject*) { RetryAdd(); });
        }
        if (!FRetryTimer->Enabled()) {
            FRetriesSince = GetTickCount64();
            FRetryTimer->SetInterval(kEarlyRetryMs);
            FRetryTimer->SetEnabled(true);
        }
    } catch (const EOutOfResources&) {
        // No timer to be had: the shell's "TaskbarCreated" still brings the icon back.
    }
}

void TGwCustomTrayIcon::StopRetries() {
    if (FRetryTimer != nullptr) {
        FRetryTimer->SetEnabled(false);
    }
}

void TGwCustomTrayIcon::RetryAdd() {
    if (IsDesigning() || !FActive || FIconShown) {
        StopRetries();
        return;
    }
    // An icon never shown has not been handed its image yet.
    if (FDisplayIcon->Empty()) {
        if (!FIcon->Empty()) {
            FDisplayIcon->Assign(FIcon.get());
        } else if (FImages != nullptr) {
            FImages->GetIcon(FImageIndex, *FDisplayIcon);
        }
    }
    if (TryAddIcon()) {
        StopRetries();
        return;
    }
    StartRetries();
    if (FRetryTimer != nullptr && FRetryTimer->Interval() == kEarlyRetryMs &&
        GetTickCount64() - FRetriesSince >= kEarlyRetriesForMs) {
        FRetryTimer->SetInterval(kLateRetryMs);
    }
}

// ---------------------------------------------------------------- property writes

void TGwCustomTrayIcon::SetActive(bool value) {
    if (IsDesigning()) {
        FActive = value;
        FIconShown = false;
        return;
    }
    if (value) {
        AddIcon();
        FActive = true;
        if (FResumeAnimation) {
            SetAnimate(true);
        }
    } else {
        if (FAnimate) {
            SetAnimate(false);
            FResumeAnimation = true;
        }
        StopRetries();
        RemoveIcon();
        FActive = false;
    }
}

void TGwCustomTrayIcon::SetHint(const std::string& value) {
    if (value == FHint) {
        return;
    }
    FHint = value;
    if (!IsDesigning() && FShowHint && FIconShown) {
        ModifyIcon();
    }
}

void TGwCustomTrayIcon::SetShowHint(bool value) {
    FShowHint = value;
    if (!IsDesigning() && FIconShown) {
        ModifyIcon();
    }
}

void TGwCustomTrayIcon::SetIcon(const TIcon* value) {
    FIcon->Assign(value);
    if (!IsDesigning() && FIconShown) {
        FDisplayIcon->Assign(FIcon.get());
        ModifyIcon();
    }
}

void TGwCustomTrayIcon::SetPopupMenu(TPopupMenu* value) {
    FPopupMenu = value;
    if (value != nullptr) {
        value->FreeNotification(this);
    }
}

// ---------------------------------------------------------------- animation

void TGwCustomTrayIcon::SetAnimate(bool value) {
    if (value == FAnimate) {
        return;
    }
    if (IsDesigning() || !FActive) {
        FAnimate = value;
        return;
    }
    if (value) {
        if (FAnimationTimer == nullptr) {
            FAnimationTimer = new TTimer(this);
        }
        FAnimationTimer->SetOnTimer([this](TObject*) { AnimateTick(); });
        if (FInterval == 0) {
            FInterval = 200;
        }
        FAnimationTimer->SetInterval(TimerInterval(FInterval));
        FAnimationTimer->SetEnabled(true);
        // Only now: a timer the system refused leaves the animation off, and a later write of
        // true tries again.
        FAnimate = true;
        FResumeAnimation = true;
    } else {
        FAnimate = false;
        FResumeAnimation = false;
        if (FAnimationTimer != nullptr) {
            FAnimationTimer->SetEnabled(false);
        }
        if (!FIcon->Empty()) {
            FDisplayIcon->Assign(FIcon.get());
        } else if (FImages != nullptr) {
            FImages->GetIcon(FImageIndex, *FDisplayIcon);
        }
        ModifyIcon();
    }
}

void TGwCustomTrayIcon::SetImages(TImageList* value) {
    FImages = value;
    if (value != nullptr) {
        value->FreeNotification(this);
    }
    // An image of our own Icon wins over the list.
    if (IsDesigning() || IsLoading() || !FIcon->Empty() || value == nullptr) {
        return;
    }
    ShowListImage(FImageIndex);
}

void TGwCustomTrayIcon::SetImageIndex(int value) {
    FImageIndex = value;
    if (IsDesigning() || !FIconShown) {
        return;
    }
    if (FImages == nullptr) {
        throw ETrayIconError("ImageList is not assigned");
    }
    ShowListImage(value);
}

void TGwCustomTrayIcon::SetInterval(int value) {
    FInterval = value;
    if (FAnimationTimer != nullptr) {
        FAnimationTimer->SetInterval(TimerInterval(value));
    }
}

void TGwCustomTrayIcon::ShowListImage(int index) {
    FImages->GetIcon(index, *FDisplayIcon);
    ModifyIcon();
}

void TGwCustomTrayIcon::AnimateTick() {
    if (FImages == nullptr || !FIconShown) {
        return;
    }
    ShowListImage(FFrameIndex);
    // Not reached when the shell refused the frame: the same frame is tried again.
    ++FFrameIndex;
    if (FFrameIndex > FImages->Count() - 1) {
        FFrameIndex = 0;
    }
}

// ---------------------------------------------------------------- the form window

void TGwCustomTrayIcon::HookOwner() {
    if (IsDesigning() || IsDestroying() || FPreviousOwnerProc != nullptr || !FOwnerProcStub) {
        return;
    }
    TForm* form = OwnerForm();
    if (form == nullptr) {
        return;
    }
    HWND wnd = form->Handle();
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOwnerProcStub.Proc())));
    if (previous == nullptr) {
        return;
    }
    FPreviousOwnerProc = previous;
    FHookedWindow = wnd;
    FOwnerProcStub.Hooked(wnd, previous);
}

LRESULT TGwCustomTrayIcon::OwnerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = FPreviousOwnerProc;
    auto passOn = [=] {
        return previous != nullptr ? CallWindowProcA(previous, wnd, msg, wParam, lParam)
                                   : DefWindowProcA(wnd, msg, wParam, lParam);
    };
    if (msg == WM_NCDESTROY) {
        LRESULT result = passOn();
        // The window goes first: a later window of the form is hooked at the next add.
        if (wnd == FHookedWindow) {
            FPreviousOwnerProc = nullptr;
            FHookedWindow = nullptr;
            FOwnerProcStub.Unhooked();
        }
        return result;
    }
    // The form is tearing down around us: its window only needs its own procedure now.
    if (IsDestroying()) {
        return passOn();
    }
    TForm* form = OwnerForm();
    if (msg == WM_WINDOWPOSCHANGING && FStartupHideCount < 2 && form != nullptr &&
        form->WindowState() == wsMinimized) {
        // Kept from showing at all rather than hidden once shown: a minimised window is still put
        // on the screen, if only for a moment. That stands for the hide which would have followed.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if ((pos->flags & SWP_SHOWWINDOW) != 0) {
            pos->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            ++FStartupHideCount;
        }
    }
    if (msg == WM_WINDOWPOSCHANGED && FStartupHideCount < 2) {
        StartupHide(form);
    }
    if (msg == WM_SYSCOMMAND) {
        // The low four bits are the system's own.
        const WPARAM command = wParam & 0xFFF0;
        if (command == SC_MINIMIZE && OnMinimize) {
            const std::shared_ptr<bool> alive = FAlive;
            TNotifyEvent handler = OnMinimize;
            handler(this);
            if (!*alive) {
                return passOn();
            }
        }
        if ((command == SC_MINIMIZE && FMinimizeToTray) || (command == SC_CLOSE && FCloseToTray)) {
            HideToTray(form);
            return 0;
        }
    }
    return passOn();
}

void TGwCustomTrayIcon::StartupHide(TForm* form) {
    if (form != nullptr && form->WindowState() == wsMinimized) {
        if (Application != nullptr) {
            ShowWindow(Application->Handle(), SW_HIDE);
        }
        if (form->HandleAllocated()) {
            ShowWindow(form->Handle(), SW_HIDE);
        }
        // Hiding sends a position change of its own, which counts too.
        if (FStartupHideCount < 2) {
            ++FStartupHideCount;
        }
    } else {
        FStartupHideCount = 2;
    }
}

void TGwCustomTrayIcon::HideToTray(TForm* form) {
    try {
        if (!TryAddIcon()) {
            if (FActive) {
                StartRetries();
            }
            throw ETrayIconError("Error adding tray icon");
        }
        if (Application != nullptr) {
            ShowWindow(Application->Handle(), SW_HIDE);
        }
        if (form != nullptr) {
            form->Hide();
        }
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(this);
        }
    }
}

void TGwCustomTrayIcon::RestoreOwner() {
    if (OnRestore) {
        const std::shared_ptr<bool> alive = FAlive;
        TNotifyEvent handler = OnRestore;
        handler(this);
        if (!*alive) {
            return;
        }
    }
    if (TForm* form = OwnerForm()) {
        if (form->WindowState() == wsMinimized && FStartupHideCount == 2) {
            form->SetWindowState(wsNormal);
        }
        form->Show();
        form->BringToFront();
        SetForegroundWindow(form->Handle());
    }
    if (Application != nullptr) {
        HWND app = Application->Handle();
        ShowWindow(app, SW_SHOWNORMAL);
        Application->Restore();
        BringWindowToTop(app);
    }
    if (FHideOnRestore) {
        RemoveIcon();
    }
}

// ---------------------------------------------------------------- the notification window

LRESULT CALLBACK TGwCustomTrayIcon::NotifyWindowProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* icon = reinterpret_cast<TGwCustomTrayIcon*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (icon == nullptr) {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    try {
        icon->NotifyWindowProc(msg, wParam, lParam);
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(icon);
        }
    }
    // Consent to the end of the session; nothing else gets default handling.
    return msg == WM_QUERYENDSESSION ? 1 : 0;
}

void TGwCustomTrayIcon::NotifyWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The session may end the process as soon as this returns: no icon may be left behind.
    if (msg == WM_ENDSESSION) {
        if (wParam != FALSE) {
            RemoveIcon();
        }
        return;
    }
    if (msg != 0 && msg == TaskbarCreatedMessage()) {
        ShellRestarted();
        return;
    }
    // Other messages carry other things in lParam (a thread id in WM_ACTIVATEAPP, say).
    if (msg != TrayCallbackMessage) {
        return;
    }
    switch (lParam) {
    case WM_LBUTTONDOWN:
        Click(mbLeft);
        break;
    case WM_LBUTTONDBLCLK:
        DblClick(mbLeft);
        break;
    case WM_RBUTTONDOWN:
        ShowPopupMenu();
        break;
    case WM_RBUTTONDBLCLK:
        DblClick(mbRight);
        break;
    case WM_MBUTTONDOWN:
        Click(mbMiddle);
        break;
    case WM_MBUTTONDBLCLK:
        DblClick(mbMiddle);
        break;
    default:
        break;
    }
}

void TGwCustomTrayIcon::Click(TMouseButton button) {
    if (OnClick) {
        TTrayClickEvent handler = OnClick;
        handler(this, button, TrayShift());
    }
}

void TGwCustomTrayIcon::DblClick(TMouseButton button) {
    bool restoreApp = true;
    if (OnDblClick) {
        const std::shared_ptr<bool> alive = FAlive;
        TTrayDblClickEvent handler = OnDblClick;
        handler(this, button, TrayShift(), restoreApp);
        if (!*alive) {
            return;
        }
    }
    if (restoreApp) {
        RestoreOwner();
    }
}

void TGwCustomTrayIcon::ShowPopupMenu() {
    if (FPopupMenu == nullptr) {
        return;
    }
    if (Application != nullptr) {
        // Without the foreground the menu would not close when the user clicks elsewhere.
        SetForegroundWindow(Application->Handle());
        const std::shared_ptr<bool> alive = FAlive;
        Application->ProcessMessages();
        if (!*alive || FPopupMenu == nullptr) {
            return;
        }
    }
    POINT at{};
    GetCursorPos(&at);
    TPopupMenu* menu = FPopupMenu;
    menu->SetAutoPopup(false);
    menu->SetPopupComponent(Owner());
    menu->Popup(at.x, at.y);
}
