// System DLLs from the system directory alone, and the null a missing one or function gives.
#include <windows.h>

#include <array>
#include <string>

#include <gtest/gtest.h>

#include "toolkit/SystemLibrary.h"

namespace {
std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}
} // namespace

TEST(SystemLibrary, ComesFromTheSystemDirectoryAndMissingPartsAreNull) {
    const UniqueModule version = LoadSystemLibrary("version.dll");
    ASSERT_TRUE(version);
    std::array<char, MAX_PATH> path{};
    std::array<char, MAX_PATH> system{};
    ASSERT_GT(GetModuleFileNameA(version.get(), path.data(), MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryA(system.data(), MAX_PATH), 0u);
    EXPECT_EQ(Lower(path.data()), Lower(std::string(system.data()) + "\\version.dll"));

    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    const auto size = SystemProc<SizeFn>("version.dll", "GetFileVersionInfoSizeA");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(SystemProc<SizeFn>("version.dll", "GetFileVersionInfoSizeA"), size);
    DWORD handle = 0;
    EXPECT_GT(size((std::string(system.data()) + "\\shell32.dll").c_str(), &handle), 0u);

    EXPECT_EQ(SystemProc<SizeFn>("version.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(SystemProc<SizeFn>("nosuchlibrary.dll", "GetFileVersionInfoSizeA"), nullptr);
    EXPECT_FALSE(LoadSystemLibrary("nosuchlibrary.dll"));
}
