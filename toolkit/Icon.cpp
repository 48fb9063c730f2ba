#include "toolkit/Icon.h"

#include <cstdlib>
#include <cstring>
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
    // The caption, the taskbar and the tray ask for these sizes; the system would stretch
    // anything else to them.
    UniqueIcon large = LoadIconSize(instance, name, GetSystemMetrics(SM_CXICON));
    UniqueIcon small = LoadIconSize(instance, name, GetSystemMetrics(SM_CXSMICON));
    if (!large || !small) {
        throw Exception("Cannot load icon resource");
    }
    FLarge = std::move(large);
    FSmall = std::move(small);
}

void TIcon::LoadNearestFromResource(HINSTANCE instance, LPCSTR name, int size) {
    const int nearest = NearestIconSize(instance, name, size);
    UniqueIcon image = nearest > 0 ? LoadIconSize(instance, name, nearest) : UniqueIcon();
    if (!image) {
        throw Exception("Cannot load icon resource");
    }
    FLarge = std::move(image);
    FSmall.reset();
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

int NearestIconSize(HINSTANCE instance, LPCSTR name, int size) {
    // The group resource: three words, then one 14-byte entry per image whose first byte is the
    // width (0 for 256).
    HRSRC found = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    const DWORD length = found != nullptr ? SizeofResource(instance, found) : 0;
    if (bytes == nullptr || length < 6) {
        return 0;
    }
    WORD count = 0;
    std::memcpy(&count, bytes + 4, sizeof count);
    int best = 0;
    for (DWORD i = 0; i < count && 6 + 14 * (i + 1) <= length; ++i) {
        const int width = bytes[6 + 14 * i] == 0 ? 256 : bytes[6 + 14 * i];
        const int distance = std::abs(width - size);
        const int bestDistance = std::abs(best - size);
        if (best == 0 || distance < bestDistance || (distance == bestDistance && width > best)) {
            best = width;
        }
    }
    return best;
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
