#pragma once
// Small owners for Win32 handles: each closes what it holds exactly once.
#include <windows.h>

#include <utility>

#include "toolkit/Seams.h"

template <typename H, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : FHandle(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    H release() { return std::exchange(FHandle, nullptr); }
    void reset(H h = nullptr) {
        H old = std::exchange(FHandle, h);
        if (old != nullptr) {
            Traits::Close(old);
        }
    }

private:
    H FHandle = nullptr;
};

struct WindowTraits {
    static void Close(HWND h) { DestroyWindow(h); }
};
struct GdiTraits {
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits {
    static void Close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
    static void Close(HMENU h) { DestroyMenu(h); }
};
struct MemoryDcTraits {
    static void Close(HDC h) { DeleteDC(h); }
};

using UniqueHwnd = UniqueHandle<HWND, WindowTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

template <typename H> using UniqueGdi = UniqueHandle<H, GdiTraits>;
using UniqueFont = UniqueGdi<HFONT>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueRegion = UniqueGdi<HRGN>;

// A device context from GetDC, released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND wnd) : FWnd(wnd), FDc(GetDC(wnd)) {}
    ~WindowDc() {
        if (FDc != nullptr) {
            ReleaseDC(FWnd, FDc);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return FDc; }

private:
    HWND FWnd;
    HDC FDc;
};

// Selects a GDI object into a DC and puts the previous one back on scope exit.
class DcSelection {
public:
    DcSelection(HDC dc, HGDIOBJ obj) : FDc(dc), FOld(SelectObject(dc, obj)) {}
    ~DcSelection() {
        if (FOld != nullptr && FOld != HGDI_ERROR) {
            SelectObject(FDc, FOld);
        }
    }
    DcSelection(const DcSelection&) = delete;
    DcSelection& operator=(const DcSelection&) = delete;

private:
    HDC FDc;
    HGDIOBJ FOld;
};

// SaveDC/RestoreDC around drawing that changes clipping or origins.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : FDc(dc), FId(SaveDC(dc)) {}
    ~SavedDc() {
        if (FId != 0) {
            RestoreDC(FDc, FId);
        }
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC FDc;
    int FId;
};

// A timer set on a window, killed on scope exit.
class UniqueTimer {
public:
    UniqueTimer() = default;
    ~UniqueTimer() { Kill(); }
    UniqueTimer(const UniqueTimer&) = delete;
    UniqueTimer& operator=(const UniqueTimer&) = delete;

    bool Set(HWND wnd, UINT_PTR id, UINT ms) {
        Kill();
        if (Seam::StartTimer(wnd, id, ms) == 0) {
            return false;
        }
        FWnd = wnd;
        FId = id;
        return true;
    }
    void Kill() {
        if (FWnd != nullptr) {
            KillTimer(FWnd, FId);
            FWnd = nullptr;
        }
    }
    bool Active() const { return FWnd != nullptr; }

private:
    HWND FWnd = nullptr;
    UINT_PTR FId = 0;
};
