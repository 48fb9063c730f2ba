#pragma once
// System DLLs that are not KnownDLLs, loaded from the system directory alone. Windows looks for
// such a DLL in the program's own folder first, and a Downloads folder is anyone's to write in.
#include <windows.h>

#include "toolkit/Handles.h"

struct ModuleTraits {
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;

// Loads `name` (a bare file name such as "version.dll") from the system directory only; null when
// it is not there.
UniqueModule LoadSystemLibrary(const char* name);

// A function of a system library that stays loaded for the rest of the process, looked up at its
// first use; null when the library or the function is missing, which callers report as the call's
// own failure.
FARPROC SystemProcAddress(const char* library, const char* function);

template <typename Fn> Fn SystemProc(const char* library, const char* function) {
    // Through void (*)(): the one function pointer cast that says "any signature" on purpose.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(SystemProcAddress(library, function)));
}

// From now on every DLL the process loads, the system libraries' own included, comes from the
// system directory. Does nothing where the system cannot do it (Windows 7 without its update).
void RestrictDllSearchToSystem();
