#pragma once
// An icon image in two sizes: the system's large one for windows and its small one for captions
// and the tray (32x32 and 16x16 at 96 pixels per inch, more on denser displays).
#include <windows.h>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

class TIcon : public TObject {
public:
    TIcon() = default;

    bool Empty() const { return !FLarge && !FSmall; }
    // The large image, or the small one when that is all there is; nullptr when empty.
    HICON Handle() const { return FLarge ? FLarge.get() : FSmall.get(); }
    // The small image, or the large one when that is all there is.
    HICON SmallHandle() const { return FSmall ? FSmall.get() : FLarge.get(); }

    // Loads an icon resource at the sizes the system metrics give (SM_CXICON, SM_CXSMICON);
    // throws Exception when it cannot be loaded, and then keeps what it held.
    void LoadFromResource(HINSTANCE instance, LPCSTR name);
    // Loads the one image of the resource nearest to size pixels, at its own size, so that it is
    // drawn as drawn rather than stretched; same failures.
    void LoadNearestFromResource(HINSTANCE instance, LPCSTR name, int size);
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

// The width of the image of an icon resource nearest to size pixels (the larger of two as near);
// 0 when there is no such resource.
int NearestIconSize(HINSTANCE instance, LPCSTR name, int size);

// The pixel size of one icon image; {0, 0} for none.
SIZE IconImageSize(HICON icon);
