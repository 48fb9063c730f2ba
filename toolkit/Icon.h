#pragma once
// An icon image in two sizes: 32x32 for windows and 16x16 for captions and the tray.
#include <windows.h>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

class TIcon : public TObject {
public:
    TIcon() = default;

    bool Empty() const { return !FLarge && !FSmall; }
    // The 32x32 image, or the small one when that is all there is; nullptr when empty.
    HICON Handle() const { return FLarge ? FLarge.get() : FSmall.get(); }
    // The 16x16 image, or the large one when that is all there is.
    HICON SmallHandle() const { return FSmall ? FSmall.get() : FLarge.get(); }

    // Loads both sizes of an icon resource; throws Exception when it cannot be loaded, and
    // then keeps what it held.
    void LoadFromResource(HINSTANCE instance, LPCSTR name);
    // Copies both images of source; an empty or missing source clears.
    void Assign(const TIcon* source);
    // Takes ownership of both handles; either may be nullptr, and one handle given twice is
    // kept once.
    void SetHandles(HICON large, HICON small);
    void Clear();

private:
    UniqueIcon FLarge;
    UniqueIcon FSmall;
};

// The pixel size of one icon image; {0, 0} for none.
SIZE IconImageSize(HICON icon);
