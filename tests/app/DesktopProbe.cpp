// What the session script cannot do through X: send the messages of the shell and of the session's
// end to the calendar, and read its converter fields.
// Usage: desktop_probe COMMAND
//   taskbar-created   broadcasts the shell's "TaskbarCreated", as a restarted shell does
//   end-session       asks the calendar's windows to close for an update (ENDSESSION_CLOSEAPP)
//                     and then ends the session for them; exit 0 when every window consented
//   fields            prints the calendar's converter fields from left to right, one a line
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
struct Search {
    DWORD Process = 0;
    std::vector<HWND> Windows;
};

BOOL CALLBACK AddIfOfProcess(HWND wnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    if (process == search->Process) {
        search->Windows.push_back(wnd);
    }
    return TRUE;
}

// The edit controls' texts by their left edges on the screen.
BOOL CALLBACK CollectIfEdit(HWND wnd, LPARAM data) {
    char name[32] = {};
    GetClassNameA(wnd, name, sizeof name);
    if (_stricmp(name, "Edit") == 0) {
        char text[64] = {};
        SendMessageA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        RECT at{};
        GetWindowRect(wnd, &at);
        reinterpret_cast<std::vector<std::pair<LONG, std::string>>*>(data)->push_back({at.left, text});
    }
    return TRUE;
}

// The calendar's top-level windows: those of the process that owns a window titled as it is.
std::vector<HWND> CalendarWindows() {
    Search search;
    HWND titled = FindWindowA(nullptr, "Brennow Calendar");
    if (titled == nullptr) {
        return {};
    }
    GetWindowThreadProcessId(titled, &search.Process);
    EnumWindows(AddIfOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.Windows;
}

int EndSession() {
    const std::vector<HWND> windows = CalendarWindows();
    if (windows.empty()) {
        std::puts("no calendar window");
        return 2;
    }
    int refused = 0;
    for (HWND wnd : windows) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000,
                                 &answer) ||
            answer == 0) {
            ++refused;
        }
    }
    for (HWND wnd : windows) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(wnd, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, &answer);
    }
    std::printf("%zu windows, %d refused\n", windows.size(), refused);
    return refused == 0 ? 0 : 1;
}

int Fields() {
    const std::vector<HWND> windows = CalendarWindows();
    std::vector<std::pair<LONG, std::string>> fields;
    for (HWND top : windows) {
        EnumChildWindows(top, CollectIfEdit, reinterpret_cast<LPARAM>(&fields));
    }
    std::sort(fields.begin(), fields.end());
    for (const auto& field : fields) {
        std::puts(field.second.c_str());
    }
    return windows.empty() ? 2 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    int status = 2;
    if (command == "taskbar-created") {
        status = PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
    } else if (command == "end-session") {
        status = EndSession();
    } else if (command == "fields") {
        status = Fields();
    } else {
        std::fputs("usage: desktop_probe taskbar-created|end-session|fields\n", stderr);
    }
    std::fflush(stdout);
    return status;
}
