// The message side of the controls: the one window procedure of every windowed control, its
// dispatch to one handler per message with everything else going to DefaultHandler, the blocking
// of input to disabled windows, and the routing of the mouse to windowless children, which their
// parent captures the mouse for while a button is held.
#include "toolkit/Controls.h"

#include <windowsx.h>

#include <utility>

#include "toolkit/Accessible.h"
#include "toolkit/Application.h"

namespace {
// Presses and typed keys for a window that is disabled or lies inside a disabled one. The
// system stops a user's clicks there, but not messages posted to such a window, nor keys for
// a child that kept the focus while its parent was disabled.
bool IsBlockedInput(HWND wnd, UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
        break;
    default:
        return false;
    }
    for (HWND w = wnd; w != nullptr; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) {
            return true;
        }
        if ((GetWindowLongA(w, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    return false;
}
} // namespace

TShiftState ShiftFromMouseKeys(WPARAM keys) {
    TShiftState shift = 0;
    if ((keys & MK_SHIFT) != 0) {
        shift |= ssShift;
    }
    if ((keys & MK_CONTROL) != 0) {
        shift |= ssCtrl;
    }
    if ((keys & MK_LBUTTON) != 0) {
        shift |= ssLeft;
    }
    if ((keys & MK_RBUTTON) != 0) {
        shift |= ssRight;
    }
    if ((keys & MK_MBUTTON) != 0) {
        shift |= ssMiddle;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= ssAlt;
    }
    return shift;
}

TShiftState ShiftFromKeyboard() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= ssShift;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= ssCtrl;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= ssAlt;
    }
    return shift;
}

// ---------------------------------------------------------------- mouse input of a control

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        FClicked = true;
    }
    if (OnMouseDown) {
        OnMouseDown(this, button, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    bool click = button == mbLeft && FClicked;
    if (button == mbLeft) {
        FClicked = false;
    }
    if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
    if (click && x >= 0 && y >= 0 && x < FWidth && y < FHeight) {
        Click();
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) {
        OnMouseMove(this, shift, x, y);
    }
}

void TControl::MouseCaptureLost() {
    FClicked = false;
}

bool TControl::MouseCaptured() const {
    if (IsWindowed()) {
        auto* self = static_cast<const TWinControl*>(this);
        return self->HandleAllocated() && GetCapture() == const_cast<TWinControl*>(self)->Handle();
    }
    return FParent != nullptr && FParent->FMouseControl == this && FParent->HandleAllocated() &&
           GetCapture() == FParent->Handle();
}

// ---------------------------------------------------------------- routing and dispatch

LRESULT TWinControl::MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TShiftState shift = ShiftFromMouseKeys(wParam);
    TMouseButton button = mbLeft;
    bool down = false;
    bool up = false;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        down = true;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        down = true;
        button = mbRight;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        down = true;
        button = mbMiddle;
        break;
    case WM_LBUTTONUP:
        up = true;
        break;
    case WM_RBUTTONUP:
        up = true;
        button = mbRight;
        break;
    case WM_MBUTTONUP:
        up = true;
        button = mbMiddle;
        break;
    default:
        break;
    }
    if (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) {
        shift |= ssDouble;
    }
    TControl* target = FMouseControl;
    if (target == nullptr && down) {
        target = ControlAtPos(pt, false);
    }
    if (target != nullptr) {
        int x = pt.x - target->Left();
        int y = pt.y - target->Top();
        if (down) {
            FMouseControl = target;
            SetCapture(FHandle);
            target->MouseDown(button, shift, x, y);
        } else if (up) {
            // The last button up ends the capture even when the control's handler throws.
            struct EndCapture {
                TWinControl* self;
                bool last;
                ~EndCapture() {
                    if (last) {
                        self->FMouseControl = nullptr;
                        if (GetCapture() == self->FHandle) {
                            ReleaseCapture();
                        }
                    }
                }
            } end{this, (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0};
            target->MouseUp(button, shift, x, y);
        } else {
            target->MouseMove(shift, x, y);
        }
        return 0;
    }
    if (down) {
        MouseDown(button, shift, pt.x, pt.y);
    } else if (up) {
        MouseUp(button, shift, pt.x, pt.y);
    } else {
        MouseMove(shift, pt.x, pt.y);
    }
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (FHandle == nullptr) {
        return 0;
    }
    if (FDefWndProc != nullptr) {
        return CallWindowProcA(FDefWndProc, FHandle, msg, wParam, lParam);
    }
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool ownClass = FDefWndProc == nullptr;
    if (msg == AccessibleActionMessage()) {
        RunAccessibleAction(*this, wParam);
        return 0;
    }
    switch (msg) {
    case WM_GETOBJECT:
        return AccessibleObjectRequest(wParam, lParam);
    case WM_PAINT:
        if (ownClass) {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(FHandle, &ps);
            PaintWindow(dc);
            PaintControls(dc);
            EndPaint(FHandle, &ps);
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (ownClass) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT r = ClientRect();
            FillRect(dc, &r, ColorBrush());
            PaintWindow(dc);
            PaintControls(dc);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (ownClass) {
            RECT r{};
            GetClientRect(FHandle, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, ColorBrush());
            return 1;
        }
        break;
    case WM_SIZE: {
        LRESULT result = DefaultHandler(msg, wParam, lParam);
        WmSize();
        return result;
    }
    case WM_MOVE: {
        LRESULT result = DefaultHandler(msg, wParam, lParam);
        UpdateBoundsFromWindow();
        return result;
    }
    case WM_SETFOCUS: {
        WmSetFocus();
        return DefaultHandler(msg, wParam, lParam);
    }
    case WM_KILLFOCUS: {
        WmKillFocus();
        return DefaultHandler(msg, wParam, lParam);
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        KeyDown(key, ShiftFromKeyboard());
        if (key == 0) {
            return 0;
        }
        return DefaultHandler(msg, key, lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        KeyUp(key, ShiftFromKeyboard());
        if (key == 0) {
            return 0;
        }
        return DefaultHandler(msg, key, lParam);
    }
    case WM_CHAR: {
        char ch = static_cast<char>(wParam);
        KeyPress(ch);
        if (ch == 0) {
            return 0;
        }
        return DefaultHandler(msg, static_cast<unsigned char>(ch), lParam);
    }
    case WM_COMMAND:
        if (lParam != 0) {
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
                child != nullptr && child != this && child->CommandNotify(HIWORD(wParam))) {
                return 0;
            }
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
            child != nullptr && child != this) {
            return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wParam)));
        }
        break;
    case WM_CANCELMODE:
        if (GetCapture() == FHandle) {
            ReleaseCapture();
        }
        break;
    case WM_CAPTURECHANGED:
        // Lost while a windowless child held the mouse: its press ends here.
        if (reinterpret_cast<HWND>(lParam) != FHandle) {
            if (TControl* pressed = std::exchange(FMouseControl, nullptr)) {
                pressed->MouseCaptureLost();
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        return MouseMessage(msg, wParam, lParam);
    default:
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<TWinControl*>(cs->lpCreateParams);
        if (self != nullptr) {
            self->AttachHandle(wnd);
        }
    } else {
        self = FromHandle(wnd);
    }
    if (self == nullptr) {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    if (IsBlockedInput(wnd, msg)) {
        return 0;
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(self);
        }
        return 0;
    }
}
