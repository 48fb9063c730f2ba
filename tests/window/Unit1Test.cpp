// The calendar window as the program builds it, on a clock the test sets and a shell that
// records what it is told.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"
#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"
#include "tools/GuiObjectCount.h"
#include "window/Unit1.h"

namespace {
struct ShellCall {
    DWORD Message;
    HWND Window;
    UINT Flags;
    std::string Tip;
};
std::vector<ShellCall> gShellCalls;
bool gRefuseModify = false;
bool gRefuseAdd = false;

BOOL RecordingShell(DWORD message, NOTIFYICONDATAA* data) {
    gShellCalls.push_back({message, data->hWnd, data->uFlags, data->szTip});
    return (gRefuseModify && message == NIM_MODIFY) || (gRefuseAdd && message == NIM_ADD) ? FALSE : TRUE;
}

TLocalDate gToday{2026, 12, 8};
int gClockReads = 0;

TLocalDate FakeToday() {
    ++gClockReads;
    return gToday;
}

std::string Hint(std::uint16_t day, std::uint16_t month, std::uint16_t year) {
    return FormatHint(ConvertToReckoning(GregorianDayNumber(day, month, year)));
}

using Rows = std::vector<std::string>;

Rows Labels() {
    return {Form1->lblDay->Caption(), Form1->lblMonth->Caption(), Form1->lblLoa->Caption(),
            Form1->lblYeen->Caption()};
}

// The tip the shell shows: the last one it was handed.
std::string ShownTip() {
    for (auto it = gShellCalls.rbegin(); it != gShellCalls.rend(); ++it) {
        if ((it->Flags & NIF_TIP) != 0 && it->Message != NIM_DELETE) {
            return it->Tip;
        }
    }
    return "";
}

int ShellCallsOf(DWORD message) {
    int n = 0;
    for (const ShellCall& call : gShellCalls) {
        n += call.Message == message ? 1 : 0;
    }
    return n;
}

bool Shown() {
    return IsWindowVisible(Form1->Handle()) != FALSE;
}

bool TaskbarEntryShown() {
    return IsWindowVisible(Application->Handle()) != FALSE;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(x, y);
}

// A left click as the mouse gives it to a window, at a point of its client area.
void ClickAt(HWND wnd, int x, int y) {
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Point(x, y));
    Application->ProcessMessages();
}

void Click(TWinControl* control) {
    ClickAt(control->Handle(), control->Width() / 2, control->Height() / 2);
}

// The up arrow of a field: the top half of its button pair.
void PressUp(TSpinEdit* field) {
    ClickAt(field->Button()->Handle(), field->Button()->Width() / 2, 3);
}

// Types over the whole text of a field, a character at a time.
void Type(TSpinEdit* field, const std::string& text) {
    SendMessageA(field->Handle(), EM_SETSEL, 0, -1);
    for (char ch : text) {
        SendMessageA(field->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    }
}

// The tray icon's notifications, as the shell sends them to the icon's window.
void TrayMouse(UINT mouseMessage) {
    ASSERT_FALSE(gShellCalls.empty());
    SendMessageA(gShellCalls.front().Window, TrayCallbackMessage, 2, mouseMessage);
    Application->ProcessMessages();
}

// Waits until the clock has been read n more times, that is for n more refreshes.
bool WaitForRefreshes(int n) {
    const int target = gClockReads + n;
    return PumpUntil([target] { return gClockReads >= target; }, 15000);
}

// Screen pixels of a rectangle of the window's client area, as the user sees them.
std::vector<COLORREF> ScreenPixels(HWND wnd, RECT client) {
    UpdateWindow(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    POINT origin{client.left, client.top};
    ClientToScreen(wnd, &origin);
    WindowDc screen(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom - client.top; ++y) {
        for (int x = 0; x < client.right - client.left; ++x) {
            pixels.push_back(GetPixel(screen.get(), origin.x + x, origin.y + y));
        }
    }
    return pixels;
}

bool ContainsColour(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
}

// A real click through the system's input: it reaches whatever window is under the pointer.
void SystemClick(HWND wnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(wnd, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(p.x, 65536, w) + 1;
        input.mi.dy = MulDiv(p.y, 65536, h) + 1;
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
    PumpFor(300);
}

class CalendarWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gShellCalls.clear();
        gRefuseModify = false;
        gRefuseAdd = false;
        gToday = {2026, 12, 8};
        gClockReads = 0;
        Application->SetTitle("Brennow Calendar");
        Application->CreateForm(Form1);
    }

    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        Application->ProcessMessages();
    }

    // What the user sees after the first second: the window hid itself, and the tray icon
    // brought it back.
    void HideOnceAndRestore() {
        Form1->SpinEdit1Change(Form1->Timer1);
        ASSERT_FALSE(Shown());
        TrayMouse(WM_LBUTTONDBLCLK);
        ASSERT_TRUE(Shown());
        PumpFor(100);
    }

    ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> FShell{Seam::ShellNotifyIcon, RecordingShell};
    ScopedSeam<TLocalDate (*)()> FClock{Seam::LocalDate, FakeToday};
    ErrorReportRecorder FReports;
};

TEST_F(CalendarWindowTest, StartShowsTodayInTheLabelsAndTheTipCentredBeforeTheFirstTick) {
    EXPECT_EQ(Labels(), (Rows{"16", "Hriive", "10", "15"}));
    EXPECT_EQ(ShownTip(), "16 day of Hriive, loa 10, yeen 15");
    EXPECT_EQ(ShellCallsOf(NIM_ADD), 1);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TaskbarEntryShown());

    // Borderless and centred: the window is its client area.
    RECT window{};
    GetWindowRect(Form1->Handle(), &window);
    EXPECT_EQ(window.right - window.left, 322);
    EXPECT_EQ(window.bottom - window.top, 267);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - 322) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - 267) / 2);
    EXPECT_EQ(GetWindowLongA(Form1->Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

    // The outer groove, the first row's groove, the background and the day in lime.
    HWND wnd = Form1->Handle();
    EXPECT_EQ(PixelAt(wnd, 0, 0), RGB(114, 81, 65));
    EXPECT_EQ(PixelAt(wnd, 1, 1), RGB(163, 120, 92));
    EXPECT_EQ(PixelAt(wnd, 320, 265), RGB(114, 81, 65));
    EXPECT_EQ(PixelAt(wnd, 321, 266), RGB(163, 120, 92));
    EXPECT_EQ(PixelAt(wnd, 45, 20), RGB(128, 64, 64));
    EXPECT_EQ(PixelAt(wnd, 46, 21), RGB(87, 41, 40));
    EXPECT_EQ(PixelAt(wnd, 20, 100), RGB(79, 176, 147));
    EXPECT_TRUE(ContainsColour(ScreenPixels(wnd, {170, 25, 271, 61}), RGB(0, 255, 0)));
    EXPECT_TRUE(ContainsColour(ScreenPixels(wnd, {50, 25, 166, 61}), RGB(0, 128, 0)));
}

TEST_F(CalendarWindowTest, FirstTickHidesOnceAndAfterARestoreTicksNoLongerHide) {
    ASSERT_TRUE(PumpUntil([] { return !Shown(); }, 15000));
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_EQ(ShellCallsOf(NIM_DELETE), 0);
    EXPECT_EQ(ShownTip(), "16 day of Hriive, loa 10, yeen 15");

    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TaskbarEntryShown());
    ASSERT_TRUE(WaitForRefreshes(2));
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TaskbarEntryShown());

    // The hide button hides it again, and the program goes on.
    ClickAt(Form1->Handle(), 300, 20);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(CalendarWindowTest, AShellThatRefusesTheIconAtStartLeavesTheWindowShownUntilARetryTakesIt) {
    delete Form1;
    Application->ProcessMessages();
    gShellCalls.clear();
    gRefuseAdd = true;
    Application->CreateForm(Form1);
    ASSERT_TRUE(WaitForRefreshes(2));
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TaskbarEntryShown());
    EXPECT_FALSE(Form1->Tray->IconShown());
    EXPECT_TRUE(FReports.Reports().empty());

    gRefuseAdd = false;
    ASSERT_TRUE(PumpUntil([] { return Form1->Tray->IconShown(); }, 10000));
    ASSERT_TRUE(PumpUntil([] { return !Shown(); }));
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_EQ(ShownTip(), "16 day of Hriive, loa 10, yeen 15");
    EXPECT_TRUE(FReports.Reports().empty());
}

TEST_F(CalendarWindowTest, ConverterShowsTheFieldsDateAndOffReturnsToTheClockAtOnce) {
    Click(Form1->chkConvert);
    ASSERT_TRUE(Form1->chkConvert->Checked());
    EXPECT_EQ(Labels(), (Rows{"1", "Yestare", "1", "1"}));
    EXPECT_EQ(ShownTip(), "1 day of Yestare, loa 1, yeen 1");
    // Clicking "Converter" before the first tick is the first refresh with a sender.
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(IsWindowEnabled(Form1->GroupBox1->Handle()));

    // The clock is no longer read.
    gToday = {2026, 12, 9};
    const int reads = gClockReads;
    PumpFor(2500);
    EXPECT_EQ(gClockReads, reads);
    EXPECT_EQ(Labels(), (Rows{"1", "Yestare", "1", "1"}));

    Click(Form1->chkConvert);
    ASSERT_FALSE(Form1->chkConvert->Checked());
    EXPECT_EQ(Labels(), (Rows{"17", "Hriive", "10", "15"}));
    EXPECT_EQ(ShownTip(), "17 day of Hriive, loa 10, yeen 15");
    EXPECT_FALSE(IsWindowEnabled(Form1->GroupBox1->Handle()));
    EXPECT_EQ(Form1->spnDay->Text(), "1");

    gToday = {2026, 12, 10};
    EXPECT_TRUE(PumpUntil([] { return Form1->lblDay->Caption() == "18"; }, 15000));
}

TEST_F(CalendarWindowTest, Plus144StepsTheYearByAYenAndTakesEffectWhenTheConverterIsOn) {
    Click(Form1->chk144);
    ASSERT_TRUE(Form1->chk144->Checked());
    Click(Form1->chkConvert);

    PressUp(Form1->SpnYear);
    EXPECT_EQ(Form1->SpnYear->Text(), "145");
    EXPECT_EQ(Labels(), (Rows{"40", "Hriive", "144", "1"}));
    EXPECT_EQ(ShownTip(), "40 day of Hriive, loa 144, yeen 1");

    Click(Form1->chk144);
    PressUp(Form1->SpnYear);
    EXPECT_EQ(Form1->SpnYear->Text(), "146");
    EXPECT_EQ(ShownTip(), "40 day of Hriive, loa 1, yeen 2");
}

TEST_F(CalendarWindowTest, TypedDatesReckonWithoutErrorsAndBeyondTheLimitsAsTheNearerLimit) {
    Click(Form1->chkConvert);

    // 31 February 2026 is the day after 30 February: 3 March.
    Type(Form1->SpnYear, "2026");
    Type(Form1->spnDay, "31");
    Type(Form1->spnMonth, "2");
    EXPECT_EQ(ShownTip(), Hint(3, 3, 2026));
    EXPECT_TRUE(FReports.Reports().empty());

    // Not yet clamped in the text, but 70000 is not its low 16 bits (4464).
    Type(Form1->SpnYear, "70000");
    EXPECT_EQ(Form1->SpnYear->Text(), "70000");
    EXPECT_EQ(ShownTip(), Hint(31, 2, 2100));
    Type(Form1->spnMonth, "0");
    EXPECT_EQ(ShownTip(), Hint(31, 1, 2100));
    Type(Form1->spnDay, "-5");
    EXPECT_EQ(ShownTip(), Hint(1, 1, 2100));
    // Not a number: the field's lower limit.
    Type(Form1->SpnYear, "+");
    EXPECT_EQ(ShownTip(), Hint(1, 1, 1));
    EXPECT_TRUE(FReports.Reports().empty());
}

TEST_F(CalendarWindowTest, ANewDateOnTheClockIsShownAtTheNextTick) {
    gToday = {2026, 12, 9};
    ASSERT_TRUE(PumpUntil([] { return Form1->lblDay->Caption() == "17"; }, 15000));
    EXPECT_EQ(ShownTip(), "17 day of Hriive, loa 10, yeen 15");

    // Into the next loa.
    gToday = {2027, 3, 30};
    ASSERT_TRUE(PumpUntil([] { return ShownTip() == "1 day of Yestare, loa 11, yeen 15"; }, 15000));
    EXPECT_EQ(Labels(), (Rows{"1", "Yestare", "11", "15"}));
}

TEST_F(CalendarWindowTest, AltF4AndMinimiseHideToTheTrayAndTheTipFollowsTheClock) {
    HideOnceAndRestore();

    PostMessageA(Form1->Handle(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
    ASSERT_TRUE(PumpUntil([] { return !Shown(); }));
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_EQ(ShellCallsOf(NIM_DELETE), 0);
    EXPECT_FALSE(Application->Terminated());

    gToday = {2026, 12, 9};
    EXPECT_TRUE(PumpUntil([] { return ShownTip() == "17 day of Hriive, loa 10, yeen 15"; }, 15000));

    TrayMouse(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(Shown());
    SendMessageA(Form1->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(IsIconic(Form1->Handle()));
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_EQ(ShellCallsOf(NIM_DELETE), 0);
}

BOOL CALLBACK SendEndSession(HWND wnd, LPARAM) {
    SendMessageA(wnd, WM_ENDSESSION, TRUE, 0);
    return TRUE;
}

TEST_F(CalendarWindowTest, TheTaskbarEntrysCloseAndMinimiseHideToTheTrayAndOnlyTheSessionsEndEndsIt) {
    HideOnceAndRestore();
    HWND entry = Application->Handle();
    // "Close window" on the entry, and the close message itself.
    for (auto [msg, wParam] : {std::pair<UINT, WPARAM>{WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}}) {
        SendMessageA(entry, msg, wParam, 0);
        Application->ProcessMessages();
        EXPECT_FALSE(Application->Terminated()) << msg;
        EXPECT_FALSE(Shown()) << msg;
        EXPECT_FALSE(Form1->Visible()) << msg;
        EXPECT_FALSE(TaskbarEntryShown()) << msg;
        TrayMouse(WM_LBUTTONDBLCLK);
        ASSERT_TRUE(Shown());
    }
    // A click on the active entry minimises it.
    SendMessageA(entry, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(TaskbarEntryShown());
    EXPECT_FALSE(IsIconic(entry));
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(TaskbarEntryShown());
    EXPECT_EQ(ShellCallsOf(NIM_DELETE), 0);

    // The end of the session: the icon goes at once and the message loop ends.
    EXPECT_NE(SendMessageA(entry, WM_QUERYENDSESSION, 0, 0), 0);
    EnumThreadWindows(GetCurrentThreadId(), SendEndSession, 0);
    EXPECT_EQ(ShellCallsOf(NIM_DELETE), 1);
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(CalendarWindowTest, CloseInTheTrayMenuEndsTheMessageLoopWithoutHiding) {
    HideOnceAndRestore();
    ASSERT_NE(Form1->Tray->PopupMenu(), nullptr);
    EXPECT_EQ(Form1->Tray->PopupMenu()->Item(0)->Caption(), "Close");

    // The menu runs its own loop inside the right click; a tick in there picks the first item.
    Application->ProcessMessages();
    TTimer keys(nullptr);
    keys.SetInterval(200);
    int ticks = 0;
    keys.SetOnTimer([&keys, &ticks](TObject*) {
        // Keys sent before the menu is up would be lost and leave it open for ever.
        HWND menu = FindWindowA("#32768", nullptr);
        if ((menu == nullptr || !IsWindowVisible(menu)) && ++ticks < 50) {
            return;
        }
        keys.SetEnabled(false);
        for (WPARAM key : {VK_DOWN, VK_RETURN}) {
            PostMessageA(Application->Handle(), WM_KEYDOWN, key, 0);
            PostMessageA(Application->Handle(), WM_KEYUP, key, 0xC0000000);
        }
    });
    // Sent straight to the icon's window: pumping here would take the quit message away.
    SendMessageA(gShellCalls.front().Window, TrayCallbackMessage, 2, WM_RBUTTONDOWN);
    MSG msg{};
    const bool quit = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    EXPECT_TRUE(quit);
    EXPECT_TRUE(Shown());
}

TEST_F(CalendarWindowTest, ARefusedTipIsReportedOncePerChangeWhileTheLabelsFollow) {
    gRefuseModify = true;
    gToday = {2026, 12, 9};
    ASSERT_TRUE(PumpUntil([this] { return !FReports.Reports().empty(); }, 15000));
    EXPECT_EQ(FReports.Reports()[0].Title, "Brennow Calendar");
    EXPECT_EQ(FReports.Reports()[0].Text, "Tray Icon Error.");
    EXPECT_EQ(Labels(), (Rows{"17", "Hriive", "10", "15"}));

    ASSERT_TRUE(WaitForRefreshes(2));
    EXPECT_EQ(FReports.Reports().size(), 1u);

    gToday = {2026, 12, 10};
    ASSERT_TRUE(PumpUntil([this] { return FReports.Reports().size() == 2; }, 15000));
    EXPECT_EQ(Form1->lblDay->Caption(), "18");

    gRefuseModify = false;
    gToday = {2026, 12, 11};
    EXPECT_TRUE(PumpUntil([] { return ShownTip() == "19 day of Hriive, loa 10, yeen 15"; }, 15000));
    EXPECT_EQ(FReports.Reports().size(), 2u);
}

TEST_F(CalendarWindowTest, AHundredThousandRefreshesLeaveNoGdiOrUserObjectsBehind) {
    HideOnceAndRestore();
    // Every window, font and brush the refresh may need exists after one change of date.
    gToday = {2026, 12, 9};
    Form1->SpinEdit1Change(Form1->Timer1);
    PumpFor(200);
    const GuiObjectCount before = CountGuiObjects();

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100000; ++i) {
        // A new date every thousandth refresh, painted before the next.
        if (i % 1000 == 0) {
            gToday.Day = static_cast<std::uint16_t>(gToday.Day % 28 + 1);
            Form1->SpinEdit1Change(Form1->Timer1);
            Application->ProcessMessages();
        } else {
            Form1->SpinEdit1Change(Form1->Timer1);
        }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    PumpFor(200);
    const GuiObjectCount after = CountGuiObjects();
    std::printf(
        "100000 refreshes: %lld ms; GDI %lu -> %lu, USER %lu -> %lu (%s)\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()),
        before.Gdi, after.Gdi, before.User, after.User, before.Source);
    EXPECT_GT(before.Gdi, 0u);
    EXPECT_GT(before.User, 0u);
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
    EXPECT_TRUE(FReports.Reports().empty());
}

TEST_F(CalendarWindowTest, TheDisabledGroupBlocksInputWithoutGreying) {
    HideOnceAndRestore();
    HWND wnd = Form1->Handle();
    SetForegroundWindow(wnd);
    // The group below the "Converter" box and left of "+144": frame, captions and fields.
    const RECT group{5, 234, 256, 261};
    const std::vector<COLORREF> off = ScreenPixels(wnd, group);

    // The keyboard skips the fields.
    Form1->chk144->SetFocus();
    PostMessageA(Form1->chk144->Handle(), WM_KEYDOWN, VK_TAB, 0);
    PumpFor(50);
    EXPECT_TRUE(Form1->chkConvert->Focused());
    PostMessageA(Form1->chkConvert->Handle(), WM_KEYDOWN, VK_TAB, 0);
    PumpFor(50);
    EXPECT_TRUE(Form1->chk144->Focused());

    // So does the mouse, while "Converter" above the group still takes clicks.
    TSpinEdit* day = Form1->spnDay;
    const POINT up{day->Left() + day->Button()->Left() + 7, day->Top() + 3};
    SystemClick(Form1->GroupBox1->Handle(), up.x, up.y);
    EXPECT_EQ(day->Text(), "1");
    EXPECT_FALSE(day->Focused());
    SystemClick(wnd, 20, 226);
    ASSERT_TRUE(PumpUntil([] { return Form1->chkConvert->Checked(); }));

    // Nothing in the group changed its look when it came alive.
    const std::vector<COLORREF> on = ScreenPixels(wnd, group);
    EXPECT_EQ(on, off);
    EXPECT_TRUE(ContainsColour(on, RGB(0, 0, 0)));

    SystemClick(Form1->GroupBox1->Handle(), up.x, up.y);
    EXPECT_TRUE(PumpUntil([day] { return day->Text() == "2"; }));
    EXPECT_TRUE(day->Focused());
    PostMessageA(day->Handle(), WM_KEYDOWN, VK_TAB, 0);
    PumpFor(50);
    EXPECT_TRUE(Form1->spnMonth->Focused());
}
} // namespace
