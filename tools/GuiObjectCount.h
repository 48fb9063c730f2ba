#pragma once
// How many GDI and USER objects this process holds. Windows counts them itself; Wine does not
// (GetGuiResources is a stub there), so under Wine the objects are counted by probing every
// index of its handle tables, which take a handle's low word alone.
#include <windows.h>

struct GuiObjectCount {
    DWORD Gdi;
    DWORD User;
    const char* Source;
};

inline GuiObjectCount CountGuiObjects() {
    HANDLE self = GetCurrentProcess();
    SetLastError(0);
    const DWORD gdi = GetGuiResources(self, GR_GDIOBJECTS);
    if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return {gdi, GetGuiResources(self, GR_USEROBJECTS), "GetGuiResources"};
    }
    GuiObjectCount count{0, 0, "handle table probe"};
    for (UINT_PTR index = 1; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++count.Gdi;
        }
    }
    // Windows and menus; user handles start at 0x20 and come in steps of two.
    for (UINT_PTR index = 0x20; index < 0x10000; index += 2) {
        if (IsWindow(reinterpret_cast<HWND>(index)) || IsMenu(reinterpret_cast<HMENU>(index))) {
            ++count.User;
        }
    }
    return count;
}
