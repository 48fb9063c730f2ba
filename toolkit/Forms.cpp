#include "toolkit/Forms.h"

#include <algorithm>

#include "toolkit/Application.h"

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
    // A form waits to be shown.
    TControl::SetVisible(false);
    SetParentColor(false);
    SetParentFont(false);
    if (Application != nullptr) {
        Application->AddForm(this);
    }
}

TForm::~TForm() {
    Destroying();
    if (Application != nullptr) {
        Application->RemoveForm(this);
    }
}

void TForm::BeginDescription() {
    BeginLoading();
}

void TForm::EndDescription() {
    // The sizes are for 96 pixels per inch: the font follows the display, and if its text
    // then is not 13 pixels high everything follows the font.
    int ppi = 96;
    {
        WindowDc screen(nullptr);
        ppi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    if (ppi != 96 && ppi > 0) {
        Font().SetHeight(MulDiv(Font().Height(), ppi, 96));
    }
    int textHeight = TextHeight();
    if (textHeight != 13 && textHeight > 0) {
        ScaleBy(textHeight, 13);
    }
    std::vector<TComponent*> described = std::move(FDescribed);
    FDescribed.clear();
    if (IsLoading()) {
        Loaded();
    }
    for (TComponent* c : described) {
        if (c->IsLoading()) {
            c->Loaded();
        }
    }
}

int TForm::TextHeight() {
    WindowDc screen(nullptr);
    DcSelection font(screen.get(), Font().Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(screen.get(), &tm);
    return tm.tmHeight;
}

void TForm::ScaleBy(int m, int d) {
    int width = MulDiv(ClientWidth(), m, d);
    int height = MulDiv(ClientHeight(), m, d);
    for (TControl* child : std::vector<TControl*>(Controls())) {
        child->ChangeScale(m, d);
    }
    SetClientWidth(width);
    SetClientHeight(height);
}

void TForm::SetClientWidth(int value) {
    SetBounds(Left(), Top(), value + Width() - ClientWidth(), Height());
}

void TForm::SetClientHeight(int value) {
    SetBounds(Left(), Top(), Width(), value + Height() - ClientHeight());
}

TWindowState TForm::WindowState() const {
    return FWindowState;
}

void TForm::SetWindowState(TWindowState value) {
    if (value == FWindowState) {
        return;
    }
    FWindowState = value;
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        ShowWindow(Handle(), value == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
    }
}

void TForm::SetVisible(bool value) {
    // The window may have been shown or hidden behind our back (ShowWindow by a tray icon).
    bool windowAgrees = !HandleAllocated() || (IsWindowVisible(Handle()) != FALSE) == value;
    if (value == Visible() && (windowAgrees || IsLoading())) {
        return;
    }
    TControl::SetVisible(value);
    if (!IsLoading()) {
        UpdateShowing();
    }
}

void TForm::UpdateShowing() {
    bool value = Visible();
    if (value) {
        HWND wnd = Handle();
        if (!FShownOnce && FPosition == poScreenCenter) {
            int x = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
            int y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
            SetBounds(x, y, Width(), Height());
        }
        FShownOnce = true;
        ShowWindow(wnd, FWindowState == wsMinimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
        // The first show of a process may take the start-up information's command instead of
        // ours, and a borderless form cannot be maximised.
        if (FWindowState != wsMaximized && IsZoomed(wnd)) {
            ShowWindow(wnd, SW_SHOWNORMAL);
        }
    } else if (HandleAllocated()) {
        ShowWindow(Handle(), SW_HIDE);
    }
    if (Application != nullptr && Application->MainForm() == this) {
        Application->MainFormVisibilityChanged(value);
    }
}

void TForm::BringToFront() {
    if (HandleAllocated()) {
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

void TForm::Close() {
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

void TForm::FocusChanged(TWinControl* control) {
    if (control == FActiveControl) {
        return;
    }
    TWinControl* previous = FActiveControl;
    FActiveControl = control;
    if (control != nullptr) {
        FreeNotification(control);
    }
    if (previous != nullptr) {
        previous->DoExit();
    }
    if (control != nullptr) {
        control->DoEnter();
    }
}

std::vector<TWinControl*> TForm::FocusOrder() const {
    std::vector<TWinControl*> order;
    auto walk = [&order](const TWinControl* parent, auto&& self) -> void {
        for (TWinControl* c : parent->TabList()) {
            if (c->TabStop() && c->CanFocus()) {
                order.push_back(c);
            }
            self(c, self);
        }
    };
    walk(this, walk);
    return order;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> order = FocusOrder();
    if (order.empty()) {
        return;
    }
    // Start from the listed control that holds current (current may be a part of one).
    auto it = order.end();
    for (TControl* c = current; c != nullptr && it == order.end(); c = c->Parent()) {
        it = std::find(order.begin(), order.end(), c);
    }
    std::size_t n = order.size();
    std::size_t next = 0;
    if (it == order.end()) {
        next = forward ? 0 : n - 1;
    } else {
        std::size_t at = static_cast<std::size_t>(it - order.begin());
        next = forward ? (at + 1) % n : (at + n - 1) % n;
    }
    order[next]->SetFocus();
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActiveControl) {
        FActiveControl = nullptr;
    }
}

void TForm::DoCreate() {
    try {
        if (OnCreate) {
            OnCreate(this);
        }
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(this);
        }
    }
}

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    // Borderless: no caption, system menu or sizing frame.
    params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
}

HWND TForm::ParentHandleForCreate() {
    // Owned by the application window, so the form has no taskbar entry of its own.
    return Application != nullptr ? Application->Handle() : nullptr;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            FWindowState = wsMinimized;
        } else if (wParam == SIZE_RESTORED) {
            FWindowState = wsNormal;
        } else if (wParam == SIZE_MAXIMIZED) {
            FWindowState = wsMaximized;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && FActiveControl != nullptr && FActiveControl->CanFocus()) {
            LRESULT result = TCustomControl::WndProc(msg, wParam, lParam);
            FActiveControl->SetFocus();
            return result;
        }
        break;
    default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}
