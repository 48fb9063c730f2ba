#include "toolkit/Icon.h"

#include <utility>

#include "toolkit/Exception.h"

namespace {
UniqueIcon LoadIconSize(HINSTANCE instance, LPCSTR name, int size) {
    return UniqueIcon(
        static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

UniqueIcon CopyOf(HICON icon) {
    if (icon == nullptr) {
        return UniqueIcon();
    }
    UniqueIcon copy(CopyIcon(icon));
    if (!copy) {
        throw EOutOfResources("Out of system resources");
    }
    return copy;
}
} // namespace

void TIcon::LoadFromResource(HINSTANCE instance, LPCSTR name) {
    UniqueIcon large = LoadIconSize(instance, name, 32);
    UniqueIcon small = LoadIconSize(instance, name, 16);
    if (!large || !small) {
        throw Exception("Cannot load icon resource");
    }
    FLarge = std::move(large);
    FSmall = std::move(small);
}

void TIcon::Assign(const TIcon* source) {
    if (source == this) {
        return;
    }
    if (source == nullptr || source->Empty()) {
        Clear();
        return;
    }
    UniqueIcon large = CopyOf(source->FLarge.get());
    UniqueIcon small = CopyOf(source->FSmall.get());
    FLarge = std::move(large);
    FSmall = std::move(small);
}

void TIcon::SetHandles(HICON large, HICON small) {
    if (small == large) {
        small = nullptr;
    }
    // A handle we already hold is kept, not destroyed and then owned again.
    for (UniqueIcon* held : {&FLarge, &FSmall}) {
        if (held->get() != nullptr && (held->get() == large || held->get() == small)) {
            held->release();
        }
    }
    FLarge.reset(large);
    FSmall.reset(small);
}

void TIcon::Clear() {
    FLarge.reset();
    FSmall.reset();
}

SIZE IconImageSize(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    BITMAP bm{};
    GetObjectA(mask.get(), sizeof(bm), &bm);
    // A monochrome icon stacks its AND and XOR masks in one bitmap.
    return {bm.bmWidth, colour ? bm.bmHeight : bm.bmHeight / 2};
}
