#include "toolkit/Bitmap.h"

#include <utility>

#include "toolkit/Exception.h"

BITMAP TBitmap::Info() const {
    BITMAP info{};
    if (FHandle) {
        GetObjectA(FHandle.get(), sizeof(info), &info);
    }
    return info;
}

int TBitmap::Width() const {
    return Info().bmWidth;
}

int TBitmap::Height() const {
    return Info().bmHeight;
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const char* name) {
    UniqueBitmap loaded(LoadBitmapA(instance, name));
    if (!loaded) {
        throw Exception("Cannot load bitmap resource");
    }
    FHandle = std::move(loaded);
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this) {
        return;
    }
    if (source == nullptr || source->Empty()) {
        Clear();
        return;
    }
    // Without LR_COPYRETURNORG: that flag may hand back the original handle, which both
    // bitmaps would then own.
    UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(source->Handle(), IMAGE_BITMAP, 0, 0, 0)));
    if (!copy) {
        throw EOutOfResources("Out of system resources");
    }
    FHandle = std::move(copy);
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (bitmap == FHandle.get()) {
        return;
    }
    FHandle.reset(bitmap);
}

COLORREF TBitmap::PixelAt(int x, int y) const {
    if (!FHandle) {
        return CLR_INVALID;
    }
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) {
        return CLR_INVALID;
    }
    DcSelection selected(dc.get(), FHandle.get());
    return GetPixel(dc.get(), x, y);
}

void TBitmap::DrawTransparent(HDC dc, int x, int y, const RECT& source, COLORREF transparent) const {
    if (!FHandle) {
        return;
    }
    // The part outside the image is left alone; the blit refuses a source that sticks out.
    const RECT whole{0, 0, Width(), Height()};
    RECT part{};
    if (!IntersectRect(&part, &source, &whole)) {
        return;
    }
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) {
        return;
    }
    DcSelection selected(memory.get(), FHandle.get());
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    TransparentBlt(dc, x + part.left - source.left, y + part.top - source.top, width, height, memory.get(),
                   part.left, part.top, width, height, transparent);
}
