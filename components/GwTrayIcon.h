#pragma once
// One icon in the notification area on behalf of a form: tip text, a "Close"/"Restore" menu,
// restore on double click, hiding of the form to the tray, and an optional animation through
// the images of an image list.
#include "components/GwShell.h"
#include "toolkit/Controls.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles.h"
#include "toolkit/Icon.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class TForm;
class TImageList;
class TPopupMenu;
class TMenuItem;
class TTimer;

class ETrayIconError : public Exception {
public:
    using Exception::Exception;
};

using TTrayClickEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift)>;
using TTrayDblClickEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, bool& RestoreApp)>;

// The message the shell sends to NotifyWindow for the icon's mouse events.
constexpr UINT TrayCallbackMessage = WM_USER + 0x2FF;

class TGwCustomTrayIcon : public TGwShellComponent {
public:
    // Refuses a second TGwTrayIcon on the application's forms before anything else, then probes
    // the shell (whose errors pass out unchanged) and builds the menu, NotifyWindow and the
    // stub; the form window is not touched until the icon is first added.
    explicit TGwCustomTrayIcon(TComponent* AOwner);
    ~TGwCustomTrayIcon() override;

    // Adds the icon when Active, then hands the shell the description's image.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    bool Active() const { return FActive; }
    void SetActive(bool value);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool value);
    bool CloseToTray() const { return FCloseToTray; }
    void SetCloseToTray(bool value) { FCloseToTray = value; }
    bool HideOnRestore() const { return FHideOnRestore; }
    void SetHideOnRestore(bool value) { FHideOnRestore = value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value);
    // A window description loads its image straight into Icon(), without a write's effect.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(const TIcon* value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int Interval() const { return FInterval; }
    void SetInterval(int value);
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool value) { FMinimizeToTray = value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    TTrayClickEvent OnClick;
    TTrayDblClickEvent OnDblClick;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // Brings the form back; also what the menu's "Restore" does.
    void RestoreOwner();

    bool IconShown() const { return FIconShown; }
    HWND NotifyWindow() const { return FNotifyWindow.get(); }
    WNDPROC OwnerProcStub() const;
    WNDPROC PreviousOwnerProc() const { return FPreviousOwnerProc; }
    int FrameIndex() const { return FFrameIndex; }
    TIcon* DisplayIcon() const { return FDisplayIcon.get(); }
    TPopupMenu* OwnMenu() const { return FOwnMenu; }
    TTimer* AnimationTimer() const { return FAnimationTimer; }

private:
    // A window procedure of its own per tray icon, taken from a fixed table of distinct
    // functions, so that the form window can call into this object without generated code.
    class TOwnerProcStub {
    public:
        TOwnerProcStub() = default;
        // Takes a free entry of the table; EOutOfResources when none is left.
        explicit TOwnerProcStub(TGwCustomTrayIcon* icon);
        ~TOwnerProcStub() { Release(); }
        TOwnerProcStub(TOwnerProcStub&& other) noexcept;
        TOwnerProcStub& operator=(TOwnerProcStub&& other) noexcept;

        WNDPROC Proc() const;
        explicit operator bool() const { return FSlot >= 0; }
        // The stub now stands in front of previous on wnd.
        void Hooked(HWND wnd, WNDPROC previous);
        // The hooked window is being destroyed; nothing is left to put back.
        void Unhooked();
        // Puts the previous procedure back when the window still runs the stub; otherwise,
        // while the window lives, the entry stays behind as a plain forwarder.
        void Release();

    private:
        template <int N> static LRESULT CALLBACK Entry(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
        static LRESULT Dispatch(int slot, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

        int FSlot = -1;
    };

    // Cuts the window off from this object before destroying it, so teardown messages find none.
    struct NotifyWindowTraits {
        static void Close(HWND wnd);
    };

    static LRESULT CALLBACK NotifyWindowProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    TForm* OwnerForm() const;
    bool NotifyShell(DWORD command);
    // AddIcon without the raise: whether the icon is shown afterwards.
    bool TryAddIcon();
    void AddIcon();
    void RemoveIcon();
    void ModifyIcon();
    void HookOwner();
    void NotifyWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OwnerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void StartupHide(TForm* form);
    void HideToTray(TForm* form);
    void Click(TMouseButton button);
    void DblClick(TMouseButton button);
    void ShowPopupMenu();
    void ShellRestarted();
    // A shell that is starting or restarting refuses adds for a while: ask again on a timer
    // until it takes the icon.
    void StartRetries();
    void StopRetries();
    void RetryAdd();
    void AnimateTick();
    void ShowListImage(int index);

    bool FActive = false;
    bool FAnimate = false;
    bool FCloseToTray = false;
    bool FHideOnRestore = false;
    std::string FHint;
    std::unique_ptr<TIcon> FIcon;
    TImageList* FImages = nullptr;
    int FImageIndex = 0;
    int FInterval = 0;
    bool FMinimizeToTray = false;
    TPopupMenu* FPopupMenu = nullptr;
    bool FShowHint = false;
    bool FIconShown = false;
    UniqueHandle<HWND, NotifyWindowTraits> FNotifyWindow;
    TOwnerProcStub FOwnerProcStub;
    WNDPROC FPreviousOwnerProc = nullptr;
    // The form window the stub was put on; the hook is undone on it, not on a later one.
    HWND FHookedWindow = nullptr;
    unsigned char FStartupHideCount = 0;
    TTimer* FAnimationTimer = nullptr;
    int FFrameIndex = 0;
    std::unique_ptr<TIcon> FDisplayIcon;
    TPopupMenu* FOwnMenu = nullptr;
    TMenuItem* FCloseItem = nullptr;
    TMenuItem* FRestoreItem = nullptr;
    bool FResumeAnimation = false;
    TTimer* FRetryTimer = nullptr;
    ULONGLONG FRetriesSince = 0;
    // Cleared by the destructor: an event handler may destroy this object under our feet.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The tray icon a window description holds; at most one per application.
class TGwTrayIcon : public TGwCustomTrayIcon {
public:
    using TGwCustomTrayIcon::TGwCustomTrayIcon;
};
