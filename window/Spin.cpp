#include "window/Spin.h"

#include <oleacc.h>

#include <algorithm>
#include <optional>

#include "toolkit/Seams.h"
#include "window/IntegerText.h"

// ---------------------------------------------------------------- TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TTimerSpeedButton::~TTimerSpeedButton() {
    // No tick may reach the button once its own part is gone.
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
}

void TTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TSpeedButton::MouseDown(button, shift, x, y);
    if ((FButtonFlags & TButtonFlag::AutoRepeat) == 0) {
        return;
    }
    if (FRepeatTimer == nullptr) {
        FRepeatTimer = new TTimer(this);
        FRepeatTimer->SetEnabled(false);
    }
    FRepeatTimer->SetOnTimer([this](TObject* sender) { RepeatTick(sender); });
    FRepeatTimer->SetInterval(FirstRepeatDelay);
    // Every press waits the whole first delay again.
    FRepeatTimer->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TSpeedButton::MouseUp(button, shift, x, y);
    if (FRepeatTimer != nullptr) {
        FRepeatTimer->SetEnabled(false);
    }
}

void TTimerSpeedButton::MouseCaptureLost() {
    TSpeedButton::MouseCaptureLost();
    if (FRepeatTimer != nullptr) {
        FRepeatTimer->SetEnabled(false);
    }
}

void TTimerSpeedButton::RepeatTick(TObject*) {
    FRepeatTimer->SetInterval(RepeatInterval);
    if (IsPressed() && MouseCaptured()) {
        try {
            Click();
        } catch (...) {
            // The timer reports it; the held button must not repeat the failure.
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

void TTimerSpeedButton::Paint() {
    TSpeedButton::Paint();
    if ((FButtonFlags & TButtonFlag::FocusFrame) == 0) {
        return;
    }
    RECT frame{0, 0, Width(), Height()};
    InflateRect(&frame, -3, -3);
    if (IsPressed()) {
        OffsetRect(&frame, 1, 1);
    }
    Canvas()->DrawFocusRect(frame);
}

// ---------------------------------------------------------------- TSpinButton

TSpinButton::TSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetColor(clBtnFace);
    SetOpaque(true);
    FUpButton = CreateButton();
    FDownButton = CreateButton();
    FUpButton->SetAccessibleName("Increase");
    FDownButton->SetAccessibleName("Decrease");
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(Left(), Top(), 20, 25);
    FFocusedButton = FUpButton;
}

long TSpinButton::AccessibleRole() const {
    return ROLE_SYSTEM_SPINBUTTON;
}

TTimerSpeedButton* TSpinButton::CreateButton() {
    auto* button = new TTimerSpeedButton(this);
    button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
    button->OnMouseDown = [this](TObject* sender, TMouseButton mouseButton, TShiftState, int, int) {
        ButtonMouseDown(sender, mouseButton);
    };
    button->SetVisible(true);
    button->SetEnabled(true);
    button->SetButtonFlags(0u | TButtonFlag::AutoRepeat);
    button->SetParent(this);
    return button;
}

const TBitmap& TSpinButton::UpGlyph() const {
    return FUpButton->Glyph();
}

void TSpinButton::SetUpGlyph(const TBitmap* value) {
    if (value != nullptr) {
        FUpButton->SetGlyph(value);
    } else {
        SetBuiltInGlyph(FUpButton, "SpinUp");
    }
}

const TBitmap& TSpinButton::DownGlyph() const {
    return FDownButton->Glyph();
}

void TSpinButton::SetDownGlyph(const TBitmap* value) {
    if (value != nullptr) {
        FDownButton->SetGlyph(value);
    } else {
        SetBuiltInGlyph(FDownButton, "SpinDown");
    }
}

void TSpinButton::SetBuiltInGlyph(TTimerSpeedButton* button, const char* name) {
    // A program built without the arrows gets buttons without images, not an error.
    button->Glyph().SetHandle(LoadBitmapA(GetModuleHandleA(nullptr), name));
    button->SetNumGlyphs(1);
    button->Invalidate();
}

int TSpinButton::UpNumGlyphs() const {
    return FUpButton->NumGlyphs();
}

void TSpinButton::SetUpNumGlyphs(int value) {
    FUpButton->SetNumGlyphs(value);
}

int TSpinButton::DownNumGlyphs() const {
    return FDownButton->NumGlyphs();
}

void TSpinButton::SetDownNumGlyphs(int value) {
    FDownButton->SetNumGlyphs(value);
}

void TSpinButton::SetFocusControl(TWinControl* value) {
    if (value == FFocusControl) {
        return;
    }
    FFocusControl = value;
    if (value != nullptr) {
        FreeNotification(value);
    }
}

void TSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) {
        return;
    }
    if (AComponent == FFocusControl) {
        FFocusControl = nullptr;
    }
    if (AComponent == FUpButton || AComponent == FDownButton) {
        FUpButton = AComponent == FUpButton ? nullptr : FUpButton;
        FDownButton = AComponent == FDownButton ? nullptr : FDownButton;
        FFocusedButton = FUpButton != nullptr ? FUpButton : FDownButton;
    }
}

void TSpinButton::FitButtons(int& width, int& height) {
    if (FUpButton == nullptr || FDownButton == nullptr || IsLoading()) {
        return;
    }
    width = std::max(width, 15);
    FUpButton->SetBounds(0, 0, width, height / 2);
    int upHeight = FUpButton->Height();
    FDownButton->SetBounds(0, upHeight - 1, width, height - upHeight + 1);
}

void TSpinButton::SetBounds(int left, int top, int width, int height) {
    FitButtons(width, height);
    TWinControl::SetBounds(left, top, width, height);
}

void TSpinButton::FitCurrentSize() {
    int width = Width();
    int height = Height();
    FitButtons(width, height);
    if (width != Width() || height != Height()) {
        TWinControl::SetBounds(Left(), Top(), width, height);
    }
}

void TSpinButton::WmSize() {
    TWinControl::WmSize();
    FitCurrentSize();
}

void TSpinButton::Loaded() {
    TWinControl::Loaded();
    FitCurrentSize();
}

void TSpinButton::ButtonMouseDown(TObject* Sender, TMouseButton button) {
    if (button != mbLeft) {
        return;
    }
    MoveFocusTo(static_cast<TTimerSpeedButton*>(Sender));
    if (FFocusControl != nullptr && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
        !FFocusControl->Focused()) {
        FFocusControl->SetFocus();
    } else if (TabStop() && !Focused() && CanFocus()) {
        SetFocus();
    }
}

void TSpinButton::ButtonClick(TObject* Sender) {
    if (Sender == FUpButton) {
        if (OnUpClick) {
            OnUpClick(this);
        }
    } else if (Sender == FDownButton) {
        if (OnDownClick) {
            OnDownClick(this);
        }
    }
}

void TSpinButton::SetFocusFrame(TTimerSpeedButton* button, bool on) {
    if (button == nullptr) {
        return;
    }
    TButtonFlags flags = button->ButtonFlags();
    button->SetButtonFlags(on ? flags | TButtonFlag::FocusFrame
                              : flags & ~static_cast<TButtonFlags>(TButtonFlag::FocusFrame));
}

void TSpinButton::MoveFocusTo(TTimerSpeedButton* button) {
    if (!TabStop() || !CanFocus() || button == FFocusedButton) {
        return;
    }
    SetFocusFrame(FFocusedButton, false);
    FFocusedButton = button;
    if (Focused()) {
        SetFocusFrame(FFocusedButton, true);
        Repaint();
    }
}

void TSpinButton::WmSetFocus() {
    SetFocusFrame(FFocusedButton, true);
    if (FFocusedButton != nullptr) {
        FFocusedButton->Invalidate();
    }
    TWinControl::WmSetFocus();
}

void TSpinButton::WmKillFocus() {
    SetFocusFrame(FFocusedButton, false);
    if (FFocusedButton != nullptr) {
        FFocusedButton->Invalidate();
    }
    TWinControl::WmKillFocus();
}

void TSpinButton::KeyDown(WORD& key, TShiftState) {
    // The pair's own keys; nothing goes on to the key-down event.
    switch (key) {
    case VK_SPACE:
        if (FFocusedButton != nullptr) {
            FFocusedButton->Click();
        }
        break;
    case VK_UP:
        if (FUpButton != nullptr) {
            MoveFocusTo(FUpButton);
            FUpButton->Click();
        }
        break;
    case VK_DOWN:
        if (FDownButton != nullptr) {
            MoveFocusTo(FDownButton);
            FDownButton->Click();
        }
        break;
    default:
        break;
    }
}

LRESULT TSpinButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) {
        return DLGC_WANTARROWS;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------- TSpinEdit

namespace {
// The user's decimal separator; "." where the locale gives none.
char DecimalSeparator() {
    char buffer[8]{};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1 &&
        buffer[0] != '\0') {
        return buffer[0];
    }
    return '.';
}
} // namespace

TSpinEdit::TSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FButton = new TSpinButton(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    // Through the virtual slots, so that a derived field's steps are the buttons' too.
    FButton->OnUpClick = [this](TObject* sender) { StepUp(sender); };
    FButton->OnDownClick = [this](TObject* sender) { StepDown(sender); };
    SetText("0");
}

TSpinEdit::~TSpinEdit() {
    // Resizes during the teardown must leave the pair alone.
    FButton = nullptr;
}

void TSpinEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButton) {
        FButton = nullptr;
    }
}

std::int32_t TSpinEdit::Value() const {
    std::optional<std::int32_t> value = ReadIntegerText(Text());
    return value.has_value() ? *value : FMinValue;
}

void TSpinEdit::SetValue(std::int32_t value) {
    SetText(IntegerToText(ClampValue(value)));
}

std::int32_t TSpinEdit::ClampValue(std::int32_t value) const {
    // With MinValue above MaxValue the order of the tests decides.
    if (FMinValue == FMaxValue) {
        return value;
    }
    if (value < FMinValue) {
        return FMinValue;
    }
    if (value > FMaxValue) {
        return FMaxValue;
    }
    return value;
}

bool TSpinEdit::AcceptsChar(char ch) const {
    auto code = static_cast<unsigned char>(ch);
    bool editing = (code >= '0' && code <= '9') || code == '+' || code == '-' || code == '\b' ||
                   ch == DecimalSeparator();
    if (editing) {
        return FEditorEnabled;
    }
    // Enter, Ctrl+Enter (a line feed) and Tab would put a line break or a tab into the
    // multi-line edit underneath.
    if (code == '\r' || code == '\n' || code == '\t') {
        return false;
    }
    // The clipboard shortcuts and Escape go on to the edit.
    return code >= 1 && code <= 31;
}

void TSpinEdit::Step(std::uint32_t delta) {
    if (ReadOnly()) {
        Seam::Beep(0);
        return;
    }
    // Two's complement: past the 32-bit range the number wraps, then the write clamps it.
    SetValue(static_cast<std::int32_t>(static_cast<std::uint32_t>(Value()) + delta));
}

void TSpinEdit::StepUp(TObject*) {
    Step(static_cast<std::uint32_t>(FIncrement));
}

void TSpinEdit::StepDown(TObject*) {
    Step(0u - static_cast<std::uint32_t>(FIncrement));
}

void TSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_UP) {
        StepUp(this);
    } else if (key == VK_DOWN) {
        StepDown(this);
    }
    TCustomEdit::KeyDown(key, shift);
}

void TSpinEdit::KeyPress(char& key) {
    if (!AcceptsChar(key)) {
        key = 0;
        Seam::Beep(0);
        return;
    }
    TCustomEdit::KeyPress(key);
}

void TSpinEdit::WmPaste() {
    if (FEditorEnabled && !ReadOnly()) {
        TCustomEdit::WmPaste();
    }
}

void TSpinEdit::WmCut() {
    if (FEditorEnabled && !ReadOnly()) {
        TCustomEdit::WmCut();
    }
}

void TSpinEdit::DoEnter() {
    // Not when the user clicks into the text: the click places the caret.
    if (AutoSelect() && !LButtonDownOnSelf()) {
        SelectAll();
    }
    TCustomEdit::DoEnter();
}

void TSpinEdit::DoExit() {
    TCustomEdit::DoExit();
    std::int32_t value = Value();
    if (ClampValue(value) != value) {
        SetValue(value);
    }
}

int TSpinEdit::MinimumHeight() {
    WindowDc screen(nullptr);
    TEXTMETRICA system{};
    GetTextMetricsA(screen.get(), &system);
    TEXTMETRICA own{};
    {
        DcSelection selected(screen.get(), Font().Handle());
        GetTextMetricsA(screen.get(), &own);
    }
    return own.tmHeight + std::min(system.tmHeight, own.tmHeight) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
}

void TSpinEdit::LayOutButton() {
    if (FButton == nullptr) {
        return;
    }
    int width = Width();
    int height = Height();
    int buttonWidth = FButton->Width();
    if (Ctl3D()) {
        FButton->SetBounds(width - buttonWidth - 5, 0, buttonWidth, height - 5);
    } else {
        FButton->SetBounds(width - buttonWidth, 1, buttonWidth, height - 3);
    }
}

void TSpinEdit::UpdateTextArea() {
    if (!HandleAllocated()) {
        return;
    }
    int buttonWidth = FButton != nullptr ? FButton->Width() : 0;
    RECT area{0, 0, ClientWidth() - buttonWidth - 2, ClientHeight() + 1};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&area));
}

void TSpinEdit::WmSize() {
    TCustomEdit::WmSize();
    int minimum = MinimumHeight();
    if (Height() < minimum) {
        // Straight to the window: a SetBounds of ours may be under way, and it would not pass
        // a nested one on. The resize that follows lays out the pair.
        SetWindowPos(Handle(), nullptr, 0, 0, Width(), minimum, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    LayOutButton();
    UpdateTextArea();
}

void TSpinEdit::FontChanged() {
    TCustomEdit::FontChanged();
    // A new font resets the edit's text area.
    UpdateTextArea();
}

void TSpinEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    // Multi-line for a text area of its own; clipping keeps the text off the pair.
    params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    UpdateTextArea();
    // The first sizing came before the window was ours: lay out now.
    WmSize();
}
