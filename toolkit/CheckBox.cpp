#include "toolkit/CheckBox.h"

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(Left(), Top(), 97, 17);
    SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= BS_AUTOCHECKBOX | AlignmentStyle();
}

void TCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const {
    return FChecked;
}

void TCheckBox::SetChecked(bool value) {
    if (value == FChecked) {
        return;
    }
    FChecked = value;
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (!IsLoading()) {
        Click();
    }
}

void TCheckBox::SetAlignment(TAlignment value) {
    if (value == FAlignment) {
        return;
    }
    FAlignment = value;
    if (HandleAllocated()) {
        LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
        style = (style & ~static_cast<LONG_PTR>(BS_LEFTTEXT)) | static_cast<LONG_PTR>(AlignmentStyle());
        SetWindowLongPtrA(Handle(), GWL_STYLE, style);
        Invalidate();
    }
}

void TCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // Not the generic click on release: BN_CLICKED already brings it.
    if (OnMouseDown) {
        OnMouseDown(this, button, shift, x, y);
    }
}

bool TCheckBox::CommandNotify(WORD code) {
    if (code != BN_CLICKED) {
        return false;
    }
    // The button has toggled itself already.
    FChecked = SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    Click();
    return true;
}
