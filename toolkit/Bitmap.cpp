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
    UniqueMemoryDc maskDc(CreateCompatibleDC(dc));
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!memory || !maskDc || !mask) {
        return;
    }
    DcSelection selected(memory.get(), FHandle.get());
    DcSelection maskSelected(maskDc.get(), mask.get());
    // A colour-to-monochrome copy sets exactly the bits whose colour is the background colour:
    // there the mask keeps what lies beneath, elsewhere it copies. GDI32 alone does this, where
    // TransparentBlt would need msimg32, which is no KnownDLL.
    SetBkColor(memory.get(), transparent);
    BitBlt(maskDc.get(), 0, 0, width, height, memory.get(), part.left, part.top, SRCCOPY);
    constexpr DWORD KeepDestination = 0x00AA0029;
    MaskBlt(dc, x + part.left - source.left, y + part.top - source.top, width, height, memory.get(),
            part.left, part.top, mask.get(), 0, 0, MAKEROP4(KeepDestination, SRCCOPY));
}
