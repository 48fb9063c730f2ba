#include "toolkit/GroupBox.h"

#include <oleacc.h>

#include "toolkit/Forms.h"

namespace {
// Where the caption starts on the frame's top line.
constexpr int kCaptionLeft = 8;
} // namespace

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 185, 105);
}

void TGroupBox::SetEnabled(bool value) {
    TCustomControl::SetEnabled(value);
    if (value || !HandleAllocated() || !IsChild(Handle(), GetFocus())) {
        return;
    }
    // The system leaves the focus on a child of a disabled window: move it on.
    if (TForm* form = ParentForm(); form != nullptr) {
        form->SelectNext(this, true);
        if (IsChild(Handle(), GetFocus())) {
            ::SetFocus(form->Handle());
        }
    }
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    // The frame is painted around the children's windows, never over them.
    params.Style |= WS_CLIPCHILDREN;
}

void TGroupBox::Paint() {
    TCanvas& canvas = *Canvas();
    const int textHeight = canvas.TextExtent("0").cy;
    // The frame's top line runs through the middle of the caption.
    RECT frame{0, textHeight / 2 - 1, Width(), Height()};
    if (Ctl3D()) {
        // Etched: a highlight rectangle one pixel down and right of a shadow one.
        OffsetRect(&frame, 1, 1);
        frame.right -= 1;
        frame.bottom -= 1;
        canvas.Brush.Color = clBtnHighlight;
        canvas.FrameRect(frame);
        OffsetRect(&frame, -1, -1);
        canvas.Brush.Color = clBtnShadow;
    } else {
        canvas.Brush.Color = clSystemColor | COLOR_WINDOWFRAME;
    }
    canvas.FrameRect(frame);
    if (!Caption().empty()) {
        // The caption sits on the frame's line, drawn over it in the background colour.
        canvas.Brush.Color = Color();
        canvas.Brush.Style = bsSolid;
        canvas.TextOut(kCaptionLeft, 0, Caption());
    }
}

long TGroupBox::AccessibleRole() const {
    return ROLE_SYSTEM_GROUPING;
}
