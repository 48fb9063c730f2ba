#include "toolkit/SystemLibrary.h"

#include <array>
#include <map>
#include <string>

namespace {
// kernel32 is a KnownDLL and always loaded: asking it is safe.
FARPROC KernelProc(const char* function) {
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), function);
}

// LOAD_LIBRARY_SEARCH_SYSTEM32 is understood exactly where AddDllDirectory exists.
bool HasSearchFlags() {
    static const bool has = KernelProc("AddDllDirectory") != nullptr;
    return has;
}
} // namespace

UniqueModule LoadSystemLibrary(const char* name) {
    if (HasSearchFlags()) {
        return UniqueModule(LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    std::array<char, MAX_PATH> directory{};
    const UINT length = GetSystemDirectoryA(directory.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return UniqueModule();
    }
    const std::string path = std::string(directory.data(), length) + '\\' + name;
    return UniqueModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

FARPROC SystemProcAddress(const char* library, const char* function) {
    // One thread uses this; the libraries go when the process does.
    static std::map<std::string, UniqueModule> kept;
    auto found = kept.find(library);
    if (found == kept.end()) {
        found = kept.emplace(library, LoadSystemLibrary(library)).first;
    }
    const HMODULE module = found->second.get();
    return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(KernelProc("SetDefaultDllDirectories")));
    if (set != nullptr) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}
