// A screen reader's first look at a window from another process: finds the calendar window,
// takes its accessible object through AccessibleObjectFromWindow and prints, one line each, every
// object and child it reaches, descending into child windows. Then it ends the program as the end
// of the session would.
// Usage: read_aloud.exe  (exit code 0 when the window was found and read)
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {
HWND gCalendar = nullptr;

BOOL CALLBACK FindCalendar(HWND wnd, LPARAM) {
    char title[64]{};
    GetWindowTextA(wnd, title, sizeof title);
    RECT client{};
    GetClientRect(wnd, &client);
    // The application's own window has the same title but no client area.
    if (std::string(title) == "Brennow Calendar" && client.right > 0) {
        gCalendar = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK EndSession(HWND wnd, LPARAM process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == static_cast<DWORD>(process)) {
        SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        SendMessageTimeoutA(wnd, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    return TRUE;
}

std::string Narrow(BSTR text) {
    std::string result;
    if (text != nullptr) {
        const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            result.resize(static_cast<size_t>(length) - 1);
            WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
        }
        SysFreeString(text);
    }
    return result;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// One line: role, "name", value, location on the screen, default action and whether it is
// unavailable.
void PrintLine(IAccessible* object, long id, int depth) {
    const VARIANT child = Child(id);
    VARIANT role;
    VariantInit(&role);
    char roleText[64] = "?";
    if (object->get_accRole(child, &role) == S_OK && role.vt == VT_I4) {
        GetRoleTextA(static_cast<DWORD>(role.lVal), roleText, sizeof roleText);
    }
    BSTR name = nullptr;
    object->get_accName(child, &name);
    std::string line =
        std::string(static_cast<size_t>(depth) * 2, ' ') + roleText + " \"" + Narrow(name) + '"';
    BSTR value = nullptr;
    if (object->get_accValue(child, &value) == S_OK) {
        line += " value \"" + Narrow(value) + '"';
    }
    long x = 0, y = 0, w = 0, h = 0;
    if (object->accLocation(&x, &y, &w, &h, child) == S_OK) {
        line += " at " + std::to_string(x) + ',' + std::to_string(y) + ' ' + std::to_string(w) + 'x' +
                std::to_string(h);
    }
    BSTR action = nullptr;
    if (object->get_accDefaultAction(child, &action) == S_OK) {
        line += " action \"" + Narrow(action) + '"';
    }
    VARIANT state;
    VariantInit(&state);
    if (object->get_accState(child, &state) == S_OK && state.vt == VT_I4 &&
        (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0) {
        line += " unavailable";
    }
    std::printf("%s\n", line.c_str());
}

void Read(HWND wnd, int depth);

// The children of an object: simple elements by id, child windows through their own windows.
void ReadChildren(IAccessible* object, int depth) {
    long count = 0;
    if (object->get_accChildCount(&count) != S_OK) {
        return;
    }
    for (long id = 1; id <= count; ++id) {
        IDispatch* dispatch = nullptr;
        const HRESULT hr = object->get_accChild(Child(id), &dispatch);
        if (hr == S_FALSE || dispatch == nullptr) {
            PrintLine(object, id, depth);
            continue;
        }
        IAccessible* childObject = nullptr;
        HWND childWnd = nullptr;
        if (SUCCEEDED(
                dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&childObject)))) {
            WindowFromAccessibleObject(childObject, &childWnd);
            childObject->Release();
        }
        dispatch->Release();
        if (childWnd != nullptr) {
            Read(childWnd, depth);
        } else {
            std::printf("%*schild %ld: no window\n", depth * 2, "", id);
        }
    }
}

void Read(HWND wnd, int depth) {
    IAccessible* object = nullptr;
    const HRESULT hr = AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT),
                                                  __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(hr) || object == nullptr) {
        std::printf("%*sno object (0x%08lx)\n", depth * 2, "", static_cast<unsigned long>(hr));
        return;
    }
    PrintLine(object, CHILDID_SELF, depth);
    ReadChildren(object, depth + 1);
    object->Release();
}
} // namespace

int main() {
    for (int i = 0; i < 600 && gCalendar == nullptr; ++i) {
        EnumWindows(FindCalendar, 0);
        if (gCalendar == nullptr) {
            Sleep(100);
        }
    }
    if (gCalendar == nullptr) {
        std::printf("no calendar window\n");
        return 1;
    }
    // Found as soon as it exists: give its start-up time to write the date.
    Sleep(1000);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Read(gCalendar, 0);
    std::fflush(stdout);
    CoUninitialize();
    DWORD process = 0;
    GetWindowThreadProcessId(gCalendar, &process);
    EnumWindows(EndSession, static_cast<LPARAM>(process));
    return 0;
}
