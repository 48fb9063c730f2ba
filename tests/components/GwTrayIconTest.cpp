// The tray icon on real forms under Wine: every shell call recorded through the seam by a stand-in
// shell that refuses what a real one would (and more on demand), real commands and callback
// messages, the popup menu driven by keys, the animation on a real timer, and one run against
// the real shell.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "components/GwTrayIcon.h"
#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/ImageList.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"

namespace {
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Green = RGB(0, 255, 0);
const COLORREF Blue = RGB(0, 0, 255);
const COLORREF Yellow = RGB(255, 255, 0);

UniqueIcon SolidIcon(COLORREF colour, int size) {
    WindowDc screen(nullptr);
    UniqueBitmap colourBits(CreateCompatibleBitmap(screen.get(), size, size));
    std::vector<unsigned char> opaque(static_cast<std::size_t>(size * size / 8), 0);
    UniqueBitmap mask(CreateBitmap(size, size, 1, 1, opaque.data()));
    {
        UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        DcSelection selected(dc.get(), colourBits.get());
        UniqueBrush brush(CreateSolidBrush(colour));
        RECT all{0, 0, size, size};
        FillRect(dc.get(), &all, brush.get());
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), colourBits.get()};
    return UniqueIcon(CreateIconIndirect(&info));
}

void MakeSolid(TIcon& icon, COLORREF colour) {
    icon.SetHandles(SolidIcon(colour, 32).release(), SolidIcon(colour, 16).release());
}

COLORREF IconColour(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return CLR_INVALID;
    }
    UniqueBitmap colourBits(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    DcSelection selected(dc.get(), colourBits.get());
    return GetPixel(dc.get(), 4, 4);
}

struct NotifyCall {
    DWORD Command;
    NOTIFYICONDATAA Record;
    COLORREF Colour;
    bool Accepted;
    std::string Tip() const { return Record.szTip; }
};

// A stand-in shell: refuses an add of an icon it shows and a modify or delete of one it does
// not, as Wine's does, and whatever command a test tells it to.
class ShellRecorder {
public:
    ShellRecorder() : FSeam(Seam::ShellNotifyIcon, &Notify) {
        Calls.clear();
        Shown.clear();
        Refused.clear();
    }
    ~ShellRecorder() { Refused.clear(); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // The shell restarted: every icon is gone.
    void Restart() { Shown.clear(); }

    static inline std::vector<NotifyCall> Calls;
    static inline std::set<HWND> Shown;
    static inline std::set<DWORD> Refused;

private:
    static BOOL Notify(DWORD command, NOTIFYICONDATAA* data) {
        bool shown = Shown.count(data->hWnd) != 0;
        bool accepted = Refused.count(command) == 0 && (command == NIM_ADD ? !shown : shown);
        if (accepted && command == NIM_ADD) {
            Shown.insert(data->hWnd);
        } else if (accepted && command == NIM_DELETE) {
            Shown.erase(data->hWnd);
        }
        Calls.push_back({command, *data, IconColour(data->hIcon), accepted});
        return accepted ? TRUE : FALSE;
    }
    ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> FSeam;
};

// A form that holds a tray icon in its window description and notes which commands reach its
// own procedure.
class TrayForm : public TForm {
public:
    explicit TrayForm(const std::function<void(TGwTrayIcon*)>& describe = {}) : TForm(Application) {
        BeginDescription();
        SetBounds(100, 100, 200, 120);
        Tray = Describe(new TGwTrayIcon(this));
        if (describe) {
            describe(Tray);
        }
        EndDescription();
    }
    bool Saw(UINT msg, WPARAM wParam = 0) const {
        for (const auto& [m, w] : Seen) {
            if (m == msg && (msg != WM_SYSCOMMAND || w == wParam)) {
                return true;
            }
        }
        return false;
    }

    TGwTrayIcon* Tray;
    std::vector<std::pair<UINT, WPARAM>> Seen;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SYSCOMMAND || msg == WM_CLOSE || msg == WM_APP) {
            Seen.push_back({msg, wParam});
        }
        return TForm::WndProc(msg, wParam, lParam);
    }
};

// The message of the E that f raises.
template <typename E> std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message;
    }
    return "(nothing raised)";
}

bool Visible(HWND wnd) {
    return IsWindowVisible(wnd) != FALSE;
}

LRESULT Callback(TGwCustomTrayIcon* tray, LPARAM mouse) {
    return SendMessageA(tray->NotifyWindow(), TrayCallbackMessage, 2, mouse);
}

LRESULT Command(TForm* form, WPARAM command) {
    return SendMessageA(form->Handle(), WM_SYSCOMMAND, command, 0);
}

// Someone else's subclass, put on the form after the tray icon's.
WNDPROC gBelow = nullptr;
LRESULT CALLBACK Above(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(gBelow, wnd, msg, wParam, lParam);
}

class TrayIcon : public ::testing::Test {
protected:
    ~TrayIcon() override {
        form.reset();
        Application->Icon()->Clear();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    TrayForm* Make(const std::function<void(TGwTrayIcon*)>& describe = {}) {
        form = std::make_unique<TrayForm>(describe);
        return form.get();
    }

    ShellRecorder shell;
    ErrorReportRecorder errors;
    std::unique_ptr<TrayForm> form;
};
} // namespace

// ---------------------------------------------------------------- construction

TEST_F(TrayIcon, ConstructionMakesTheMenuAndAHiddenTopLevelWindowButLeavesTheFormAlone) {
    TForm plain(Application);
    auto* tray = new TGwTrayIcon(&plain);
    EXPECT_GT(tray->ShellVersion(), 0.0);
    ASSERT_EQ(tray->PopupMenu(), tray->OwnMenu());
    ASSERT_EQ(tray->OwnMenu()->Count(), 2);
    EXPECT_EQ(tray->OwnMenu()->Item(0)->Caption(), "Close");
    EXPECT_EQ(tray->OwnMenu()->Item(1)->Caption(), "Restore");
    HWND notify = tray->NotifyWindow();
    ASSERT_TRUE(IsWindow(notify));
    EXPECT_FALSE(Visible(notify));
    // Top-level, so the shell's broadcasts reach it (message-only windows have another parent).
    EXPECT_EQ(GetAncestor(notify, GA_PARENT), GetDesktopWindow());
    EXPECT_NE(tray->OwnerProcStub(), nullptr);
    EXPECT_FALSE(plain.HandleAllocated());
    EXPECT_TRUE(shell.Calls.empty());
}

TEST_F(TrayIcon, OnlyOneTrayIconOnTheApplicationsFormsAndTheRuleRunsBeforeTheProbe) {
    // Neither a plain custom icon nor one owned by something other than a form counts.
    TComponent loose(nullptr);
    new TGwTrayIcon(&loose);
    TForm first(Application);
    new TGwCustomTrayIcon(&first);
    TForm second(Application);
    new TGwTrayIcon(&second);

    static int probes;
    probes = 0;
    ScopedSeam<UINT (*)(LPSTR, UINT)> probe(Seam::SystemDirectory, [](LPSTR buffer, UINT size) {
        ++probes;
        return GetSystemDirectoryA(buffer, size);
    });
    TForm third(Application);
    EXPECT_EQ(ErrorOf<ETrayIconError>([&] { new TGwTrayIcon(&third); }),
              "Cannot have more than one GwTrayIcon per application");
    EXPECT_THROW(new TGwCustomTrayIcon(&third), ETrayIconError);
    EXPECT_EQ(probes, 0);
    EXPECT_EQ(third.ComponentCount(), 0);
}

TEST_F(TrayIcon, AFailedProbePassesOutAndLeavesNothingBehind) {
    ScopedSeam<UINT (*)(LPSTR, UINT)> probe(Seam::SystemDirectory, [](LPSTR buffer, UINT size) {
        lstrcpynA(buffer, "C:\\no such directory", static_cast<int>(size));
        return static_cast<UINT>(lstrlenA(buffer));
    });
    TForm owner(Application);
    EXPECT_EQ(ErrorOf<EVersionInfoError>([&] { new TGwTrayIcon(&owner); }), "Error opening file");
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(FindWindowA("GwTrayIconNotifyWindow", nullptr), nullptr);
    EXPECT_TRUE(shell.Calls.empty());
}

// ---------------------------------------------------------------- the notify record

TEST_F(TrayIcon, LoadingShowsTheApplicationIconThenItsOwnAndHooksTheForm) {
    MakeSolid(*Application->Icon(), Red);
    Make([](TGwTrayIcon* tray) {
        MakeSolid(*tray->Icon(), Blue);
        tray->SetHint("Tip");
    });
    ASSERT_EQ(shell.Calls.size(), 2u);
    const NotifyCall& add = shell.Calls[0];
    EXPECT_EQ(add.Command, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.Record.hIcon, Application->Icon()->SmallHandle());
    EXPECT_EQ(add.Record.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(add.Record.hWnd, form->Tray->NotifyWindow());
    EXPECT_EQ(add.Record.uID, 2u);
    EXPECT_EQ(add.Record.uFlags, 7u);
    EXPECT_EQ(add.Record.uCallbackMessage, 0x6FFu);
    EXPECT_EQ(add.Tip(), "Tip");
    EXPECT_EQ(shell.Calls[1].Command, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.Calls[1].Colour, Blue);
    EXPECT_TRUE(form->Tray->IconShown());

    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC));
    EXPECT_EQ(proc, form->Tray->OwnerProcStub());
    EXPECT_NE(form->Tray->PreviousOwnerProc(), nullptr);
    EXPECT_NE(form->Tray->PreviousOwnerProc(), proc);

    // With neither image of its own nor an application icon, the stock one.
    Application->Icon()->Clear();
    TIcon none;
    form->Tray->SetIcon(&none);
    EXPECT_EQ(shell.Calls.back().Record.hIcon, LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
}

TEST_F(TrayIcon, TheTipIsCutAt63BytesAndSentOnlyWhenItChangesAndIsShown) {
    Make();
    const std::string seventy(70, 'x');
    form->Tray->SetHint(seventy);
    ASSERT_EQ(shell.Calls.size(), 2u);
    const NotifyCall& cut = shell.Calls.back();
    EXPECT_EQ(cut.Tip(), seventy.substr(0, 63));
    for (std::size_t i = 63; i < sizeof cut.Record.szTip; ++i) {
        ASSERT_EQ(cut.Record.szTip[i], 0) << i;
    }
    form->Tray->SetHint(seventy);
    EXPECT_EQ(shell.Calls.size(), 2u);
    const std::string whole(63, 'y');
    form->Tray->SetHint(whole);
    EXPECT_EQ(shell.Calls.back().Tip(), whole);

    form->Tray->SetShowHint(false);
    EXPECT_EQ(shell.Calls.back().Record.uFlags, 3u);
    std::size_t before = shell.Calls.size();
    form->Tray->SetHint("hidden tip");
    form->Tray->SetActive(false);
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    form->Tray->SetHint("later tip");
    form->Tray->SetShowHint(true);
    EXPECT_EQ(shell.Calls.size(), before + 1);
    form->Tray->SetActive(true);
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.Calls.back().Tip(), "later tip");
    EXPECT_EQ(shell.Calls.back().Record.uFlags, 7u);
}

TEST_F(TrayIcon, RefusalsRaiseTheirErrorsAndARefusedDeleteIsIgnored) {
    Make([](TGwTrayIcon* tray) { tray->SetActive(false); });
    shell.Refused = {NIM_ADD};
    EXPECT_EQ(ErrorOf<ETrayIconError>([&] { form->Tray->SetActive(true); }), "Error adding tray icon");
    EXPECT_FALSE(form->Tray->Active());
    EXPECT_FALSE(form->Tray->IconShown());

    shell.Refused = {NIM_MODIFY};
    form->Tray->SetActive(true);
    EXPECT_EQ(ErrorOf<ETrayIconError>([&] { form->Tray->SetHint("kept"); }), "Tray Icon Error");
    EXPECT_EQ(form->Tray->Hint(), "kept");

    shell.Refused = {NIM_DELETE};
    EXPECT_NO_THROW(form->Tray->SetActive(false));
    EXPECT_FALSE(form->Tray->IconShown());
}

// ---------------------------------------------------------------- the form's commands

TEST_F(TrayIcon, CloseAndMinimiseCommandsHideToTheTrayOrGoOnToTheForm) {
    static int minimised;
    minimised = 0;
    Make([](TGwTrayIcon* tray) {
        tray->SetCloseToTray(true);
        tray->OnMinimize = [](TObject*) { ++minimised; };
    });
    form->Show();
    HWND app = Application->Handle();
    ShowWindow(app, SW_SHOWNOACTIVATE);

    EXPECT_EQ(Command(form.get(), SC_CLOSE), 0);
    EXPECT_FALSE(Visible(form->Handle()));
    EXPECT_FALSE(Visible(app));
    EXPECT_FALSE(form->Saw(WM_SYSCOMMAND, SC_CLOSE));
    EXPECT_FALSE(form->Saw(WM_CLOSE));
    EXPECT_TRUE(form->Tray->IconShown());

    form->Show();
    Command(form.get(), SC_MINIMIZE);
    EXPECT_EQ(minimised, 1);
    EXPECT_FALSE(Visible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));

    // The low four bits are the system's own: 0xF021 is the minimise command too.
    form->Show();
    Command(form.get(), SC_MINIMIZE | 1);
    EXPECT_EQ(minimised, 2);
    EXPECT_FALSE(form->Saw(WM_SYSCOMMAND, SC_MINIMIZE | 1));
    EXPECT_FALSE(Visible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));

    form->Show();
    form->Tray->SetMinimizeToTray(false);
    Command(form.get(), SC_MINIMIZE);
    EXPECT_EQ(minimised, 3);
    EXPECT_TRUE(IsIconic(form->Handle()));
    ShowWindow(form->Handle(), SW_RESTORE);

    form->Tray->SetCloseToTray(false);
    Command(form.get(), SC_CLOSE);
    EXPECT_TRUE(form->Saw(WM_CLOSE));
}

TEST_F(TrayIcon, AnIconNeverAddedLeavesTheFormAloneAndARefusedAddKeepsItVisible) {
    Make([](TGwTrayIcon* tray) {
        tray->SetActive(false);
        tray->SetCloseToTray(true);
    });
    form->Show();
    WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC));
    EXPECT_NE(own, form->Tray->OwnerProcStub());
    Command(form.get(), SC_CLOSE);
    EXPECT_TRUE(form->Saw(WM_CLOSE));

    // Hooked by the add; then, with the icon gone, the shell refuses it on the way to the tray.
    form->Tray->SetActive(true);
    form->Tray->SetActive(false);
    form->Show();
    shell.Refused = {NIM_ADD};
    Command(form.get(), SC_CLOSE);
    EXPECT_TRUE(Visible(form->Handle()));
    ASSERT_EQ(errors.Reports().size(), 1u);
    EXPECT_EQ(errors.Reports()[0].Text, "Error adding tray icon.");
}

TEST_F(TrayIcon, AFormStartingMinimisedIsHiddenAtItsFirstPositionChangesOnly) {
    Make();
    ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
    form->SetWindowState(wsMinimized);
    form->Show();
    EXPECT_FALSE(Visible(form->Handle()));
    EXPECT_FALSE(Visible(Application->Handle()));

    form->Tray->RestoreOwner();
    EXPECT_EQ(form->WindowState(), wsNormal);
    EXPECT_TRUE(Visible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));
    SetWindowPos(form->Handle(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Visible(form->Handle()));
}

// ---------------------------------------------------------------- the notification window

TEST_F(TrayIcon, ClicksAndDoubleClicksReachTheirHandlersAndOnlyTheCallbackMessageCounts) {
    struct Event {
        TMouseButton Button;
        TShiftState Shift;
        bool Double;
    };
    static std::vector<Event> events;
    static bool letRestore;
    events.clear();
    letRestore = false;
    Make([](TGwTrayIcon* tray) {
        tray->SetCloseToTray(true);
        tray->OnClick = [](TObject*, TMouseButton b, TShiftState s) { events.push_back({b, s, false}); };
        tray->OnDblClick = [](TObject*, TMouseButton b, TShiftState s, bool& restore) {
            events.push_back({b, s, true});
            restore = letRestore;
        };
    });
    TGwTrayIcon* tray = form->Tray;
    for (LPARAM nothing : {0x200, 0x202, 0x205, 0x208, 0x20A}) {
        Callback(tray, nothing);
    }
    EXPECT_TRUE(events.empty());

    BYTE keys[256]{};
    GetKeyboardState(keys);
    BYTE shifted[256];
    std::memcpy(shifted, keys, sizeof keys);
    shifted[VK_SHIFT] = 0x80;
    SetKeyboardState(shifted);
    Callback(tray, WM_LBUTTONDOWN);
    SetKeyboardState(keys);
    Callback(tray, WM_MBUTTONDOWN);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Button, mbLeft);
    EXPECT_TRUE(events[0].Shift & ssShift);
    EXPECT_EQ(events[1].Button, mbMiddle);
    EXPECT_FALSE(events[1].Shift & ssShift);

    form->Show();
    Command(form.get(), SC_CLOSE);
    Callback(tray, WM_LBUTTONDBLCLK);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_TRUE(events[2].Double);
    EXPECT_FALSE(Visible(form->Handle()));

    // A thread id or such in lParam of another message is no mouse code.
    letRestore = true;
    SendMessageA(tray->NotifyWindow(), WM_ACTIVATEAPP, TRUE, WM_LBUTTONDBLCLK);
    SendMessageA(tray->NotifyWindow(), WM_USER + 1, 2, WM_MBUTTONDBLCLK);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_FALSE(Visible(form->Handle()));

    EXPECT_EQ(Callback(tray, WM_RBUTTONDBLCLK), 0);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[3].Button, mbRight);
    EXPECT_TRUE(Visible(form->Handle()));
    EXPECT_TRUE(tray->IconShown());

    EXPECT_EQ(SendMessageA(tray->NotifyWindow(), WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(TrayIcon, ARightPressPopsTheMenuUpAtTheCursorAfterThePendingMessages) {
    Make([](TGwTrayIcon* tray) { tray->SetCloseToTray(true); });
    form->Show();
    Command(form.get(), SC_CLOSE);
    SetCursorPos(300, 200);
    RECT menuAt{};
    bool pendingRanFirst = false;
    TTimer whileOpen(nullptr);
    whileOpen.SetInterval(200);
    whileOpen.SetOnTimer([&](TObject*) {
        whileOpen.SetEnabled(false);
        GetWindowRect(FindWindowA("#32768", nullptr), &menuAt);
        pendingRanFirst = form->Saw(WM_APP);
        // "Restore" is the second item.
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageA(Application->Handle(), WM_KEYDOWN, key, 0);
            PostMessageA(Application->Handle(), WM_KEYUP, key, 0xC0000000);
        }
    });
    PostMessageA(form->Handle(), WM_APP, 0, 0);
    Callback(form->Tray, WM_RBUTTONDOWN);
    EXPECT_TRUE(pendingRanFirst);
    EXPECT_EQ(menuAt.left, 300);
    EXPECT_EQ(menuAt.top, 200);
    EXPECT_TRUE(Visible(form->Handle()));
    EXPECT_EQ(form->Tray->OwnMenu()->PopupComponent(), form.get());
    EXPECT_FALSE(form->Tray->OwnMenu()->AutoPopup());

    // Without a menu a right press does nothing: no menu loop to leave.
    form->Tray->SetPopupMenu(nullptr);
    whileOpen.SetEnabled(true);
    DWORD start = GetTickCount();
    Callback(form->Tray, WM_RBUTTONDOWN);
    EXPECT_LT(GetTickCount() - start, 150u);
}

TEST_F(TrayIcon, CloseEndsTheProgramAndRestoreBringsTheFormBack) {
    Make([](TGwTrayIcon* tray) { tray->SetCloseToTray(true); });
    form->Show();
    Command(form.get(), SC_CLOSE);
    form->Tray->OwnMenu()->Item(1)->Click();
    EXPECT_TRUE(Visible(form->Handle()));
    EXPECT_TRUE(Visible(Application->Handle()));
    EXPECT_TRUE(form->Tray->IconShown());

    form->Tray->OwnMenu()->Item(0)->Click();
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_TRUE(Visible(form->Handle()));

    // Removed at each restore, back at the next hide.
    form->Tray->SetHideOnRestore(true);
    Command(form.get(), SC_CLOSE);
    form->Tray->OwnMenu()->Item(1)->Click();
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(form->Tray->IconShown());
    EXPECT_TRUE(form->Tray->Active());
    Command(form.get(), SC_CLOSE);
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(form->Tray->IconShown());
}

TEST_F(TrayIcon, TheShellsTaskbarCreatedBroadcastAddsAShownIconAgain) {
    Make([](TGwTrayIcon* tray) {
        MakeSolid(*tray->Icon(), Blue);
        tray->SetHint("16 day of Hriive");
    });
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    shell.Restart();
    std::size_t before = shell.Calls.size();
    SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return shell.Calls.size() > before; }));
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(shell.Calls.back().Accepted);
    EXPECT_EQ(shell.Calls.back().Tip(), "16 day of Hriive");
    EXPECT_EQ(shell.Calls.back().Colour, Blue);

    // A broadcast while the icon is still there brings it up to date instead.
    SendMessageA(form->Tray->NotifyWindow(), taskbarCreated, 0, 0);
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(form->Tray->IconShown());

    // A shell that takes neither: the icon was the hidden form's way back, so the form comes
    // back, and each later broadcast tries the add again.
    Command(form.get(), SC_MINIMIZE);
    ASSERT_FALSE(Visible(form->Handle()));
    shell.Refused = {NIM_ADD, NIM_MODIFY};
    SendMessageA(form->Tray->NotifyWindow(), taskbarCreated, 0, 0);
    EXPECT_FALSE(form->Tray->IconShown());
    EXPECT_TRUE(Visible(form->Handle()));
    EXPECT_TRUE(Visible(Application->Handle()));
    before = shell.Calls.size();
    form->Tray->SetHint("17 day of Hriive");
    EXPECT_EQ(shell.Calls.size(), before);
    shell.Refused.clear();
    shell.Restart();
    SendMessageA(form->Tray->NotifyWindow(), taskbarCreated, 0, 0);
    EXPECT_TRUE(form->Tray->IconShown());
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.Calls.back().Tip(), "17 day of Hriive");
    EXPECT_TRUE(errors.Reports().empty());
}

// ---------------------------------------------------------------- destruction

TEST_F(TrayIcon, DestroyingTheIconRemovesItAndGivesALivingFormItsProcedureBack) {
    Make([](TGwTrayIcon* tray) { tray->SetCloseToTray(true); });
    form->Show();
    const WNDPROC previous = form->Tray->PreviousOwnerProc();
    delete form->Tray;
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(ShellRecorder::Shown.empty());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC)), previous);
    Command(form.get(), SC_CLOSE);
    EXPECT_TRUE(form->Saw(WM_CLOSE));

    // Subclassed after us: the procedure stays, and the stub still passes messages on.
    form = std::make_unique<TrayForm>([](TGwTrayIcon* tray) { tray->SetCloseToTray(true); });
    form->Show();
    gBelow = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC));
    SetWindowLongPtrA(form->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Above));
    delete form->Tray;
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC)), &Above);
    Command(form.get(), SC_CLOSE);
    EXPECT_TRUE(form->Saw(WM_CLOSE));
    form.reset();

    // At program end the form's window goes first, then the icon.
    Make();
    form.reset();
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(ShellRecorder::Shown.empty());
}

TEST_F(TrayIcon, InDesignModeNothingReachesTheShellOrAnyWindow) {
    struct DesignedForm : TForm {
        DesignedForm() : TForm(Application) {
            SetDesigning(true);
            BeginDescription();
            Tray = Describe(new TGwTrayIcon(this));
            EndDescription();
        }
        TGwTrayIcon* Tray;
    } designed;
    TGwTrayIcon* tray = designed.Tray;
    EXPECT_EQ(tray->NotifyWindow(), nullptr);
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    EXPECT_EQ(tray->OwnerProcStub(), nullptr);
    tray->SetHint("design");
    tray->SetActive(true);
    tray->SetImageIndex(3);
    tray->SetAnimate(true);
    EXPECT_EQ(tray->Hint(), "design");
    EXPECT_TRUE(tray->Animate());
    EXPECT_EQ(tray->AnimationTimer(), nullptr);
    delete tray;
    EXPECT_TRUE(shell.Calls.empty());
    EXPECT_FALSE(designed.HandleAllocated());
}

// ---------------------------------------------------------------- animation

class TrayAnimation : public TrayIcon {
protected:
    TrayForm* MakeAnimated(const std::function<void(TGwTrayIcon*)>& describe = {}) {
        return Make([this, describe](TGwTrayIcon* tray) {
            list = new TImageList(tray->Owner());
            for (COLORREF colour : {Red, Green, Blue}) {
                TIcon icon;
                MakeSolid(icon, colour);
                list->AddIcon(icon);
            }
            tray->SetImages(list);
            if (describe) {
                describe(tray);
            }
        });
    }
    std::vector<COLORREF> FramesSince(std::size_t from) const {
        std::vector<COLORREF> frames;
        for (std::size_t i = from; i < shell.Calls.size(); ++i) {
            if (shell.Calls[i].Command == NIM_MODIFY) {
                frames.push_back(shell.Calls[i].Colour);
            }
        }
        return frames;
    }
    bool PumpFrames(std::size_t from, std::size_t count) {
        return PumpUntil([&] { return FramesSince(from).size() >= count; });
    }
    TImageList* list = nullptr;
};

TEST_F(TrayAnimation, FramesRunInListOrderAndGoOnAfterAStopWhereTheyLeftOff) {
    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(100); });
    // Loading with a list and no icon of its own shows image ImageIndex.
    ASSERT_EQ(shell.Calls.size(), 2u);
    EXPECT_EQ(shell.Calls[1].Colour, Red);

    std::size_t from = shell.Calls.size();
    DWORD start = GetTickCount();
    form->Tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(from, 4));
    EXPECT_GE(GetTickCount() - start, 300u);
    // Under load more frames may come before the pump looks again: the first four give the order.
    const std::vector<COLORREF> frames = FramesSince(from);
    EXPECT_EQ(std::vector<COLORREF>(frames.begin(), frames.begin() + 4),
              (std::vector<COLORREF>{Red, Green, Blue, Red}));

    // Stopped after image 1: the still image is image ImageIndex, and the next start shows image 2.
    ASSERT_TRUE(PumpUntil([&] { return form->Tray->FrameIndex() == 2; }));
    from = shell.Calls.size();
    form->Tray->SetAnimate(false);
    EXPECT_EQ(FramesSince(from), std::vector<COLORREF>{Red});
    PumpFor(300);
    EXPECT_EQ(FramesSince(from).size(), 1u);
    form->Tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(from, 2));
    EXPECT_EQ(FramesSince(from)[1], Blue);
    EXPECT_TRUE(errors.Reports().empty());
}

TEST_F(TrayAnimation, InactiveSuspendsAndActiveResumesWhileIntervalZeroOnlyStopsTheTicks) {
    // While inactive a start is only recorded: no timer runs.
    TForm other(Application);
    auto* idle = new TGwCustomTrayIcon(&other);
    idle->SetActive(false);
    idle->SetAnimate(true);
    EXPECT_EQ(idle->AnimationTimer(), nullptr);

    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(100); });
    form->Tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(2, 1));

    form->Tray->SetActive(false);
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(form->Tray->Animate());
    std::size_t from = shell.Calls.size();
    PumpFor(300);
    EXPECT_EQ(shell.Calls.size(), from);
    form->Tray->SetActive(true);
    EXPECT_TRUE(form->Tray->Animate());
    ASSERT_TRUE(PumpFrames(from, 2));

    form->Tray->SetInterval(0);
    PumpFor(50);
    from = shell.Calls.size();
    PumpFor(300);
    EXPECT_EQ(shell.Calls.size(), from);
    EXPECT_TRUE(form->Tray->Animate());

    form->Tray->SetAnimate(false);
    form->Tray->SetAnimate(true);
    EXPECT_EQ(form->Tray->Interval(), 200);
    from = shell.Calls.size();
    ASSERT_TRUE(PumpFrames(from, 2));
}

TEST_F(TrayAnimation, AStopShowsTheIconOrTheListImageOrKeepsTheLastFrame) {
    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(50); });
    TGwTrayIcon* tray = form->Tray;
    tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(2, 2));
    tray->SetAnimate(false);
    EXPECT_EQ(shell.Calls.back().Colour, Red);

    // Images written while an Icon image exists changes nothing on the screen.
    TIcon yellow;
    MakeSolid(yellow, Yellow);
    tray->SetIcon(&yellow);
    std::size_t before = shell.Calls.size();
    tray->SetImages(list);
    EXPECT_EQ(shell.Calls.size(), before);
    tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(before, 1));
    tray->SetAnimate(false);
    EXPECT_EQ(shell.Calls.back().Colour, Yellow);

    TIcon none;
    tray->SetIcon(&none);
    tray->SetAnimate(true);
    ASSERT_TRUE(PumpUntil([&] { return shell.Calls.back().Colour == Green; }));
    tray->SetImages(nullptr);
    tray->SetAnimate(false);
    EXPECT_EQ(shell.Calls.back().Colour, Green);

    EXPECT_EQ(ErrorOf<ETrayIconError>([&] { tray->SetImageIndex(5); }), "ImageList is not assigned");
    EXPECT_EQ(tray->ImageIndex(), 5);

    // Written while the icon is not shown, the list image meets a refused modification.
    tray->SetActive(false);
    EXPECT_THROW(tray->SetImages(list), ETrayIconError);
}

TEST_F(TrayAnimation, RefusedTicksAreReportedEachTimeAndTheFrameIsTriedAgain) {
    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(50); });
    form->Tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(2, 2));
    shell.Refused = {NIM_MODIFY};
    int frame = form->Tray->FrameIndex();
    ASSERT_TRUE(PumpUntil([&] { return errors.Reports().size() >= 3; }));
    EXPECT_EQ(errors.Reports()[0].Text, "Tray Icon Error.");
    EXPECT_EQ(form->Tray->FrameIndex(), frame);
    shell.Refused.clear();
    const std::size_t from = shell.Calls.size();
    // The first frame the shell takes; on a loaded machine the next tick may already follow it.
    auto firstAccepted = [&] {
        auto it = std::find_if(shell.Calls.begin() + static_cast<std::ptrdiff_t>(from), shell.Calls.end(),
                               [](const NotifyCall& call) { return call.Accepted; });
        return it == shell.Calls.end() ? nullptr : &*it;
    };
    ASSERT_TRUE(PumpUntil([&] { return firstAccepted() != nullptr; }));
    const COLORREF order[] = {Red, Green, Blue};
    EXPECT_EQ(firstAccepted()->Colour, order[frame]);
}

TEST_F(TrayAnimation, AnEmptyListStillSendsEveryTickAndDestructionStopsTheTimer) {
    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(50); });
    list->Clear();
    form->Tray->SetAnimate(true);
    ASSERT_TRUE(PumpFrames(2, 3));
    EXPECT_EQ(form->Tray->FrameIndex(), 0);
    EXPECT_EQ(shell.Calls.back().Record.hIcon, LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));

    form.reset();
    std::size_t after = shell.Calls.size();
    EXPECT_EQ(shell.Calls.back().Command, static_cast<DWORD>(NIM_DELETE));
    PumpFor(300);
    EXPECT_EQ(shell.Calls.size(), after);
}

TEST_F(TrayAnimation, ARefusedTimerLeavesTheAnimationOffAndALaterStartRunsIt) {
    MakeAnimated([](TGwTrayIcon* tray) { tray->SetInterval(50); });
    TGwTrayIcon* tray = form->Tray;
    {
        ScopedSeam<UINT_PTR (*)(HWND, UINT_PTR, UINT)> none(
            Seam::StartTimer, [](HWND, UINT_PTR, UINT) -> UINT_PTR { return 0; });
        EXPECT_EQ(ErrorOf<EOutOfResources>([&] { tray->SetAnimate(true); }), "Not enough timers available");
        EXPECT_FALSE(tray->Animate());
        // Nor is it resumed by the icon's next coming back.
        tray->SetActive(false);
        tray->SetActive(true);
        EXPECT_FALSE(tray->Animate());
    }
    const std::size_t from = shell.Calls.size();
    tray->SetAnimate(true);
    EXPECT_TRUE(tray->Animate());
    EXPECT_TRUE(PumpFrames(from, 2));
}

// ---------------------------------------------------------------- the real shell

TEST(TrayIconShell, WinesShellAddsModifiesAndDeletesTheIcon) {
    ErrorReportRecorder errors;
    static std::vector<std::pair<DWORD, BOOL>> results;
    results.clear();
    ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> real(Seam::ShellNotifyIcon,
                                                       [](DWORD command, NOTIFYICONDATAA* data) {
                                                           BOOL result = Shell_NotifyIconA(command, data);
                                                           results.push_back({command, result});
                                                           return result;
                                                       });
    auto form = std::make_unique<TrayForm>([](TGwTrayIcon* tray) { MakeSolid(*tray->Icon(), Green); });
    form->Tray->SetHint("Brennow Calendar");
    HWND notify = form->Tray->NotifyWindow();
    form.reset();
    using Result = std::pair<DWORD, BOOL>;
    EXPECT_EQ(results, (std::vector<Result>{
                           {NIM_ADD, TRUE}, {NIM_MODIFY, TRUE}, {NIM_MODIFY, TRUE}, {NIM_DELETE, TRUE}}));
    // Really gone: the shell knows no such icon any more.
    NOTIFYICONDATAA gone{};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = notify;
    gone.uID = 2;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &gone));
}
