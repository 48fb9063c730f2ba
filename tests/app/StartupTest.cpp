// The program's own start-up, run whole: what is done before the window is first shown, in which
// order, and what the shell is told, read through the start-up's phase marks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Startup.h"
#include "toolkit/Application.h"
#include "toolkit/Icon.h"
#include "toolkit/Seams.h"
#include "window/Unit1.h"

namespace {
struct ShellCall {
    DWORD Message;
    HICON Icon;
    std::string Tip;
};

// The start-up as it ran, with what the window and the shell held when the show began and ended.
struct StartupRecord {
    std::vector<std::string> Phases;
    std::vector<ShellCall> ShellCalls;
    std::vector<std::string> LabelsAtShow;
    std::string HintAtShow;
    std::size_t ShellCallsAtShow = 0;
    bool VisibleAtShow = true;
    bool VisibleAfterShow = false;
    bool TaskbarEntryAfterShow = false;
    RECT WindowAfterShow{};
    std::string TitleAfterShow;
    HICON MainIcon = nullptr;
    HICON MainIconSmall = nullptr;
    HICON TaskbarIcon = nullptr;
    std::vector<std::string> Reports;
};
StartupRecord gRecord;

BOOL RecordingShell(DWORD message, NOTIFYICONDATAA* data) {
    gRecord.ShellCalls.push_back({message, data->hIcon, data->szTip});
    return TRUE;
}

TLocalDate EighthOfDecember2026() {
    return {2026, 12, 8};
}

void RecordReport(HWND, const std::string&, const std::string& text) {
    gRecord.Reports.push_back(text);
}

// The icon the system shows for a window: the one it was sent, else its class's.
HICON IconOf(HWND wnd) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0));
    return icon != nullptr ? icon : reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
}

void RecordPhase(const char* phase, bool begins) {
    gRecord.Phases.push_back(std::string(begins ? "+" : "-") + phase);
    if (std::string(phase) != "show") {
        return;
    }
    HWND form = Form1->Handle();
    if (begins) {
        gRecord.LabelsAtShow = {Form1->lblDay->Caption(), Form1->lblMonth->Caption(),
                                Form1->lblLoa->Caption(), Form1->lblYeen->Caption()};
        gRecord.HintAtShow = Form1->Tray->Hint();
        gRecord.ShellCallsAtShow = gRecord.ShellCalls.size();
        gRecord.VisibleAtShow = IsWindowVisible(form) != FALSE;
        return;
    }
    gRecord.VisibleAfterShow = IsWindowVisible(form) != FALSE;
    gRecord.TaskbarEntryAfterShow = IsWindowVisible(Application->Handle()) != FALSE;
    GetWindowRect(form, &gRecord.WindowAfterShow);
    char title[64] = {};
    GetWindowTextA(Application->Handle(), title, sizeof title);
    gRecord.TitleAfterShow = title;
    gRecord.MainIcon = Application->Icon()->Handle();
    gRecord.MainIconSmall = Application->Icon()->SmallHandle();
    gRecord.TaskbarIcon = IconOf(Application->Handle());
    // Start-up is over: the message loop ends before the first tick.
    PostQuitMessage(0);
}

TEST(Startup, TheWindowIsFirstShownCentredWithTodayInItsLabelsAndTipAfterTheTrayIconWasAdded) {
    gRecord = {};
    int exitCode = -1;
    {
        ScopedSeam<void (*)(const char*, bool)> phases(Seam::StartupPhase, RecordPhase);
        ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> shell(Seam::ShellNotifyIcon, RecordingShell);
        ScopedSeam<TLocalDate (*)()> clock(Seam::LocalDate, EighthOfDecember2026);
        ScopedSeam<void (*)(HWND, const std::string&, const std::string&)> reports(Seam::ReportError,
                                                                                   RecordReport);
        exitCode = RunCalendar();
    }
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(gRecord.Reports, std::vector<std::string>{});

    // The description is read whole (the probe and the tray icon's add inside it) before the
    // create handler's refresh, and the window is shown last.
    EXPECT_EQ(gRecord.Phases,
              (std::vector<std::string>{"+application set-up", "-application set-up", "+window description",
                                        "+shell version probe", "-shell version probe", "+tray icon add",
                                        "-tray icon add", "-window description", "+first refresh",
                                        "-first refresh", "+show", "-show"}));

    // When the show begins the window is still hidden, and the labels and the tip hold today.
    EXPECT_FALSE(gRecord.VisibleAtShow);
    EXPECT_EQ(gRecord.LabelsAtShow, (std::vector<std::string>{"16", "Hriive", "10", "15"}));
    EXPECT_EQ(gRecord.HintAtShow, "16 day of Hriive, loa 10, yeen 15");

    // The shell got the icon with the application's icon, then the tray clock, then the tip.
    ASSERT_EQ(gRecord.ShellCallsAtShow, 3u);
    EXPECT_EQ(gRecord.ShellCalls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(gRecord.ShellCalls[0].Icon, gRecord.MainIconSmall);
    EXPECT_EQ(gRecord.ShellCalls[1].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_NE(gRecord.ShellCalls[1].Icon, gRecord.MainIconSmall);
    EXPECT_EQ(gRecord.ShellCalls[2].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(gRecord.ShellCalls[2].Tip, "16 day of Hriive, loa 10, yeen 15");

    // Shown centred, with the taskbar entry titled and carrying the main icon.
    EXPECT_TRUE(gRecord.VisibleAfterShow);
    EXPECT_TRUE(gRecord.TaskbarEntryAfterShow);
    EXPECT_EQ(gRecord.WindowAfterShow.left, (GetSystemMetrics(SM_CXSCREEN) - 322) / 2);
    EXPECT_EQ(gRecord.WindowAfterShow.top, (GetSystemMetrics(SM_CYSCREEN) - 267) / 2);
    EXPECT_EQ(gRecord.TitleAfterShow, "Brennow Calendar");
    EXPECT_NE(gRecord.MainIcon, nullptr);
    EXPECT_EQ(gRecord.TaskbarIcon, gRecord.MainIcon);

    // The quit message ended the loop, and the icon left the tray with the window.
    ASSERT_FALSE(gRecord.ShellCalls.empty());
    EXPECT_EQ(gRecord.ShellCalls.back().Message, static_cast<DWORD>(NIM_DELETE));
}

TEST(Startup, AMinimisingShowCommandGoesStraightToTheTrayWithTheWindowAndItsEntryNeverShown) {
    ScopedSeam<void (*)(const char*, bool)> phases(Seam::StartupPhase, RecordPhase);
    ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> shell(Seam::ShellNotifyIcon, RecordingShell);
    ScopedSeam<void (*)(HWND, const std::string&, const std::string&)> reports(Seam::ReportError,
                                                                               RecordReport);
    for (int command : {SW_MINIMIZE, SW_SHOWMINIMIZED, SW_SHOWMINNOACTIVE}) {
        gRecord = {};
        EXPECT_EQ(RunCalendar(command), 0);
        EXPECT_FALSE(gRecord.VisibleAfterShow) << command;
        EXPECT_FALSE(gRecord.TaskbarEntryAfterShow) << command;
        ASSERT_GE(gRecord.ShellCallsAtShow, 1u);
        EXPECT_EQ(gRecord.ShellCalls[0].Message, static_cast<DWORD>(NIM_ADD));
    }
    EXPECT_EQ(gRecord.Reports, std::vector<std::string>{});
}
} // namespace
