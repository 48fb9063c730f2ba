#include "toolkit/Edit.h"

#include <oleacc.h>

#include <vector>

namespace {
// One line of the font, a little room above and below it, and the border.
int AutomaticHeight(const TFont& font, bool ctl3D) {
    TEXTMETRICA tm{};
    {
        WindowDc screen(nullptr);
        DcSelection selected(screen.get(), font.Handle());
        GetTextMetricsA(screen.get(), &tm);
    }
    int border = ctl3D ? GetSystemMetrics(SM_CYEDGE) : GetSystemMetrics(SM_CYBORDER);
    return tm.tmHeight + 4 + 2 * border;
}
} // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 121, AutomaticHeight(Font(), Ctl3D()));
}

std::string TCustomEdit::Text() const {
    if (!HandleAllocated()) {
        return FText;
    }
    HWND wnd = const_cast<TCustomEdit*>(this)->Handle();
    int length = GetWindowTextLengthA(wnd);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    int got = GetWindowTextA(wnd, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void TCustomEdit::SetText(const std::string& value) {
    if (value == Text()) {
        return;
    }
    if (HandleAllocated()) {
        // The edit reports a program write inconsistently (a multi-line one not at all), so
        // its own notification is ignored and the change is reported here, once.
        FSettingText = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{FSettingText};
        SetWindowTextA(Handle(), value.c_str());
    } else {
        FText = value;
    }
    Change();
}

void TCustomEdit::SetReadOnly(bool value) {
    FReadOnly = value;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
    }
}

void TCustomEdit::SetMaxLength(int value) {
    FMaxLength = value < 0 ? 0 : value;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    }
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
    }
}

bool TCustomEdit::HasStyle(DWORD style) {
    return HandleAllocated() && (static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & style) != 0;
}

void TCustomEdit::DoEnter() {
    // A multi-line edit manages its own selection.
    if (FAutoSelect && !FLButtonDown && !HasStyle(ES_MULTILINE)) {
        SelectAll();
    }
    TWinControl::DoEnter();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "EDIT";
    params.Style |= ES_LEFT | ES_AUTOHSCROLL;
    if (FReadOnly) {
        params.Style |= ES_READONLY;
    }
    if (Ctl3D()) {
        params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
        params.Style |= WS_BORDER;
    }
    params.Caption = FText;
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

bool TCustomEdit::CommandNotify(WORD code) {
    if (code == EN_CHANGE) {
        if (!FSettingText) {
            Change();
        }
        return true;
    }
    return false;
}

void TCustomEdit::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

void TCustomEdit::WmPaste() {
    DefaultHandler(WM_PASTE, 0, 0);
}

void TCustomEdit::WmCut() {
    DefaultHandler(WM_CUT, 0, 0);
}

LRESULT TCustomEdit::LButtonDown(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The edit takes the focus inside its own handling of the press.
    FLButtonDown = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FLButtonDown};
    return TWinControl::WndProc(msg, wParam, lParam);
}

LRESULT TCustomEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PASTE:
        WmPaste();
        return 0;
    case WM_CUT:
        WmCut();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return LButtonDown(msg, wParam, lParam);
    default:
        return TWinControl::WndProc(msg, wParam, lParam);
    }
}

long TCustomEdit::AccessibleRole() const {
    return ROLE_SYSTEM_TEXT;
}
