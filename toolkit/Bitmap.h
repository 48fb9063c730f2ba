#pragma once
// An owned bitmap image, with the reads and the transparent drawing that glyphs need.
#include <windows.h>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

class TBitmap : public TObject {
public:
    TBitmap() = default;

    bool Empty() const { return !FHandle; }
    HBITMAP Handle() const { return FHandle.get(); }
    int Width() const;
    int Height() const;

    // Loads a named bitmap resource; throws Exception when it cannot be loaded, and then
    // keeps what it held.
    void LoadFromResourceName(HINSTANCE instance, const char* name);
    // Makes this an independent copy of source; nullptr or an empty source clears.
    void Assign(const TBitmap* source);
    // Takes ownership of bitmap.
    void SetHandle(HBITMAP bitmap);
    void Clear() { FHandle.reset(); }

    // The colour at (x, y), or CLR_INVALID outside the image or when empty.
    COLORREF PixelAt(int x, int y) const;
    // Draws the source part of the image with its top-left at (x, y), leaving the pixels of
    // colour transparent untouched.
    void DrawTransparent(HDC dc, int x, int y, const RECT& source, COLORREF transparent) const;

private:
    BITMAP Info() const;

    UniqueBitmap FHandle;
};
