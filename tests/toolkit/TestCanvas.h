#pragma once
// A 24-bit drawing surface in memory whose pixels the tests read back.
#include <windows.h>

#include "toolkit/Handles.h"

class TestCanvas {
public:
    TestCanvas(int width, int height, COLORREF background) : FDc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        FBitmap.reset(CreateDIBSection(FDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        FOld = SelectObject(FDc.get(), FBitmap.get());
        UniqueBrush brush(CreateSolidBrush(background));
        const RECT all{0, 0, width, height};
        FillRect(FDc.get(), &all, brush.get());
    }
    ~TestCanvas() { SelectObject(FDc.get(), FOld); }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    HDC Dc() const { return FDc.get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(FDc.get(), x, y); }

private:
    UniqueMemoryDc FDc;
    UniqueBitmap FBitmap;
    HGDIOBJ FOld = nullptr;
};
