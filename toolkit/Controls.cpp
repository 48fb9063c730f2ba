#include "toolkit/Controls.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "toolkit/Accessible.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"

namespace {
const char kObjectProp[] = "BrennowControl";
const char kOwnClassName[] = "BrennowControl";

// Lends paint a canvas on dc, in the control's font and colour, for the length of one paint.
template <typename Paint> void PaintWithCanvas(HDC dc, const TControl& control, TCanvas*& slot, Paint paint) {
    TCanvas canvas(dc);
    canvas.Font.Assign(control.Font());
    canvas.Brush.Color = control.Color();
    slot = &canvas;
    struct Reset {
        TCanvas*& c;
        ~Reset() { c = nullptr; }
    } reset{slot};
    paint();
}
} // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    SetLabelFor(nullptr);
    if (FLabelledBy != nullptr) {
        FLabelledBy->FLabelFor = nullptr;
    }
    if (FParent != nullptr) {
        FParent->RemoveControl(this);
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->Parent() != nullptr) {
        c = c->Parent();
    }
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* value) {
    if (value == FParent) {
        return;
    }
    if (FParent != nullptr) {
        FParent->RemoveControl(this);
    }
    if (value != nullptr) {
        value->InsertControl(this);
    }
}

void TControl::StoreBounds(int left, int top, int width, int height) {
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) {
        return;
    }
    Invalidate();
    StoreBounds(left, top, width, height);
    Invalidate();
    BoundsChanged();
    if (OnResize) {
        OnResize(this);
    }
    if (FParent != nullptr && FAlign != alNone) {
        FParent->Realign();
    }
}

void TControl::SetAlign(TAlign value) {
    if (value != FAlign) {
        FAlign = value;
        if (FParent != nullptr) {
            FParent->Realign();
        }
    }
}

void TControl::SetVisible(bool value) {
    if (value == FVisible) {
        return;
    }
    if (!value) {
        Invalidate();
    }
    FVisible = value;
    Invalidate();
    VisibleChanged();
    if (FParent != nullptr && FAlign != alNone) {
        FParent->Realign();
    }
}

void TControl::SetEnabled(bool value) {
    if (value != FEnabled) {
        FEnabled = value;
        EnabledChanged();
        Invalidate();
    }
}

void TControl::SetColor(TColor value) {
    FParentColor = false;
    if (value != FColor) {
        FColor = value;
        ColorChanged();
    }
}

void TControl::SetParentColor(bool value) {
    FParentColor = value;
    if (value) {
        ParentColorChanged();
    }
}

void TControl::SetParentFont(bool value) {
    FParentFont = value;
    if (value) {
        ParentFontChanged();
    }
}

void TControl::ParentFontChanged() {
    if (FParentFont && FParent != nullptr) {
        FInFontSync = true;
        FFont.Assign(FParent->Font());
        FInFontSync = false;
    }
}

void TControl::ParentColorChanged() {
    if (FParentColor && FParent != nullptr && FParent->Color() != FColor) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

void TControl::FontChanged() {
    if (!FInFontSync) {
        FParentFont = false;
    }
    Invalidate();
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetCaption(const std::string& value) {
    if (value == FCaption) {
        return;
    }
    FCaption = value;
    TextChanged();
    Invalidate();
    if (!IsWindowed()) {
        AnnounceNameChange(*this);
    }
    if (FLabelFor != nullptr && !FLabelFor->IsWindowed()) {
        AnnounceNameChange(*FLabelFor);
    }
}

std::string TControl::AccessibleName() const {
    if (!FAccessibleName.empty()) {
        return FAccessibleName;
    }
    if (FLabelledBy == nullptr) {
        return FCaption;
    }
    std::string label = FLabelledBy->Caption();
    if (!IsWindowed()) {
        return label + ' ' + FCaption;
    }
    // A field's text is its value: its name is the caption alone.
    while (!label.empty() && (label.back() == ':' || label.back() == ' ')) {
        label.pop_back();
    }
    return label;
}

void TControl::SetLabelFor(TControl* value) {
    if (value == FLabelFor) {
        return;
    }
    if (FLabelFor != nullptr) {
        FLabelFor->FLabelledBy = nullptr;
    }
    if (value != nullptr && value->FLabelledBy != nullptr) {
        value->FLabelledBy->FLabelFor = nullptr;
    }
    FLabelFor = value;
    if (value != nullptr) {
        value->FLabelledBy = this;
    }
}

void TControl::Invalidate() {
    if (FParent != nullptr && FParent->HandleAllocated() && FWidth > 0 && FHeight > 0) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, !FOpaque);
    }
}

void TControl::Repaint() {
    Invalidate();
    if (FParent != nullptr && FParent->HandleAllocated()) {
        UpdateWindow(FParent->Handle());
    }
}

void TControl::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

void TControl::ChangeScale(int m, int d) {
    int left = MulDiv(FLeft, m, d);
    int top = MulDiv(FTop, m, d);
    int right = MulDiv(FLeft + FWidth, m, d);
    int bottom = MulDiv(FTop + FHeight, m, d);
    SetBounds(left, top, right - left, bottom - top);
    if (!FParentFont) {
        FFont.SetHeight(MulDiv(FFont.Height(), m, d));
    }
}

// ---------------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::PaintTo(HDC dc) {
    PaintWithCanvas(dc, *this, FCanvas, [this] { Paint(); });
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    // Child controls go with their parent, last first.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        RemoveControl(child);
        delete child;
    }
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (wnd == nullptr) {
        return nullptr;
    }
    return static_cast<TWinControl*>(GetPropA(wnd, kObjectProp));
}

void TWinControl::AttachHandle(HWND wnd) {
    SetPropA(wnd, kObjectProp, this);
    FHandle = wnd;
}

HWND TWinControl::Handle() {
    if (FHandle == nullptr && !FCreating) {
        CreateWnd();
    }
    return FHandle;
}

std::string TWinControl::RegisterOwnClass(UINT classStyle) {
    // The class style belongs to the class: one class for each style asked for.
    std::string name = kOwnClassName;
    if (classStyle != CS_DBLCLKS) {
        name += '.';
        name += std::to_string(classStyle);
    }
    static std::set<UINT> registered;
    if (registered.count(classStyle) == 0) {
        WNDCLASSA wc{};
        wc.style = classStyle;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = name.c_str();
        if (RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
            registered.insert(classStyle);
        }
    }
    return name;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) {
        params.Style |= WS_VISIBLE;
    }
    if (!Enabled()) {
        params.Style |= WS_DISABLED;
    }
    if (FTabStop) {
        params.Style |= WS_TABSTOP;
    }
    params.Caption = Caption();
}

HWND TWinControl::ParentHandleForCreate() {
    if (Parent() != nullptr) {
        return Parent()->Handle();
    }
    return nullptr;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    HWND parentWnd = ParentHandleForCreate();
    FCreating = true;
    HWND wnd = nullptr;
    if (params.WinClassName.empty()) {
        const std::string className = RegisterOwnClass(params.ClassStyle);
        wnd = CreateWindowExA(params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style, Left(),
                              Top(), Width(), Height(), parentWnd, nullptr, GetModuleHandleA(nullptr), this);
    } else {
        wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                              params.Style, Left(), Top(), Width(), Height(), parentWnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        if (wnd != nullptr) {
            AttachHandle(wnd);
            FDefWndProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc)));
        }
    }
    FCreating = false;
    if (wnd == nullptr) {
        throw EOutOfResources("Error creating window");
    }
    FHandle = wnd;
    // Later siblings lie above earlier ones, so controls laid over others get their input.
    if ((params.Style & WS_CHILD) != 0) {
        SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    UpdateBoundsFromWindow();
    for (TControl* child : std::vector<TControl*>(FControls)) {
        if (child->IsWindowed()) {
            static_cast<TWinControl*>(child)->HandleNeeded();
        }
    }
}

void TWinControl::DestroyHandle() {
    if (FHandle == nullptr) {
        return;
    }
    HWND wnd = FHandle;
    // A client may hold our accessible object longer than the window lives.
    if (TAccessibleObject* object = std::exchange(FAccessible, nullptr)) {
        object->Disconnect();
        object->Release();
    }
    // Cut the window off from this object first: teardown messages must not reach it.
    RemovePropA(wnd, kObjectProp);
    if (FDefWndProc != nullptr) {
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
    }
    FHandle = nullptr;
    FMouseControl = nullptr;
    DestroyWindow(wnd);
}

void TWinControl::InsertControl(TControl* control) {
    control->FParent = this;
    FControls.push_back(control);
    if (control->IsWindowed()) {
        FTabList.push_back(static_cast<TWinControl*>(control));
    }
    control->ParentFontChanged();
    control->ParentColorChanged();
    if (control->IsWindowed() && HandleAllocated()) {
        auto* win = static_cast<TWinControl*>(control);
        if (win->HandleAllocated()) {
            ::SetParent(win->FHandle, FHandle);
        } else {
            win->HandleNeeded();
        }
    }
    if (control->Align() != alNone) {
        Realign();
    }
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    control->Invalidate();
    if (FMouseControl == control) {
        FMouseControl = nullptr;
    }
    std::erase(FControls, control);
    std::erase(FTabList, control);
    control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->Visible() || (!allowDisabled && !c->Enabled())) {
            continue;
        }
        RECT r = c->BoundsRect();
        if (PtInRect(&r, point)) {
            return c;
        }
    }
    return nullptr;
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* c : FControls) {
        if (c->IsWindowed() || !c->Visible()) {
            continue;
        }
        RECT r = c->BoundsRect();
        if (!RectVisible(dc, &r)) {
            continue;
        }
        SavedDc saved(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        static_cast<TGraphicControl*>(c)->PaintTo(dc);
    }
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) {
        return -1;
    }
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (Parent() == nullptr) {
        return;
    }
    auto& list = Parent()->FTabList;
    std::erase(list, this);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

std::vector<TWinControl*> TWinControl::TabList() const {
    return FTabList;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c != nullptr; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) {
            return false;
        }
    }
    return true;
}

bool TWinControl::Focused() const {
    return FHandle != nullptr && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (CanFocus()) {
        ::SetFocus(Handle());
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (FHandle != nullptr) {
        // A resize handler may set the bounds again (a minimum height); that reaches the window too.
        StoreBounds(left, top, width, height);
        SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBoundsFromWindow();
    } else if (left != Left() || top != Top() || width != Width() || height != Height()) {
        StoreBounds(left, top, width, height);
        BoundsChanged();
    }
    if (Parent() != nullptr && Align() != alNone) {
        Parent()->Realign();
    }
}

int TWinControl::ClientWidth() const {
    if (FHandle != nullptr) {
        RECT r{};
        GetClientRect(FHandle, &r);
        return r.right;
    }
    return Width();
}

int TWinControl::ClientHeight() const {
    if (FHandle != nullptr) {
        RECT r{};
        GetClientRect(FHandle, &r);
        return r.bottom;
    }
    return Height();
}

void TWinControl::SetVisible(bool value) {
    if (value == Visible()) {
        return;
    }
    TControl::SetVisible(value);
    if (FHandle != nullptr) {
        ShowWindow(FHandle, value ? SW_SHOWNA : SW_HIDE);
    }
}

void TWinControl::SetEnabled(bool value) {
    if (value == Enabled()) {
        return;
    }
    TControl::SetEnabled(value);
    if (FHandle != nullptr) {
        EnableWindow(FHandle, value);
    }
}

void TWinControl::SetCaption(const std::string& value) {
    if (value == Caption()) {
        return;
    }
    TControl::SetCaption(value);
    if (FHandle != nullptr) {
        SetWindowTextA(FHandle, value.c_str());
    }
}

void TWinControl::Invalidate() {
    if (FHandle != nullptr) {
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TWinControl::Repaint() {
    if (FHandle != nullptr) {
        InvalidateRect(FHandle, nullptr, TRUE);
        UpdateWindow(FHandle);
    }
}

void TWinControl::ChangeScale(int m, int d) {
    TControl::ChangeScale(m, d);
    for (TControl* child : std::vector<TControl*>(FControls)) {
        child->ChangeScale(m, d);
    }
}

long TWinControl::AccessibleRole() const {
    return ROLE_SYSTEM_CLIENT;
}

LRESULT TWinControl::AccessibleObjectRequest(WPARAM wParam, LPARAM lParam) {
    // The object id arrives in the low 32 bits, sign-extended or not.
    const bool client = static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT;
    const bool ours =
        std::any_of(FControls.begin(), FControls.end(), [](const TControl* c) { return !c->IsWindowed(); }) ||
        AccessibleName() != Caption();
    if (!client || !ours) {
        return DefaultHandler(WM_GETOBJECT, wParam, lParam);
    }
    if (FAccessible == nullptr) {
        FAccessible = new TAccessibleObject(this);
    }
    return ServeAccessibleObject(FAccessible, wParam);
}

void TWinControl::Realign() {
    RECT area = ClientRect();
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (c->Align() == alNone || !c->Visible()) {
            continue;
        }
        switch (c->Align()) {
        case alTop:
            c->SetBounds(area.left, area.top, area.right - area.left, c->Height());
            area.top += c->Height();
            break;
        case alBottom:
            c->SetBounds(area.left, area.bottom - c->Height(), area.right - area.left, c->Height());
            area.bottom -= c->Height();
            break;
        case alLeft:
            c->SetBounds(area.left, area.top, c->Width(), area.bottom - area.top);
            area.left += c->Width();
            break;
        case alRight:
            c->SetBounds(area.right - c->Width(), area.top, c->Width(), area.bottom - area.top);
            area.right -= c->Width();
            break;
        case alClient:
            c->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
            break;
        case alNone:
            break;
        }
    }
}

void TWinControl::DoEnter() {
    if (OnEnter) {
        OnEnter(this);
    }
}

void TWinControl::DoExit() {
    if (OnExit) {
        OnExit(this);
    }
}

void TWinControl::UpdateBoundsFromWindow() {
    if (FHandle == nullptr) {
        return;
    }
    RECT r{};
    GetWindowRect(FHandle, &r);
    if ((GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    }
    if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height()) {
        StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        BoundsChanged();
    }
}

void TWinControl::BoundsChanged() {}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    if (FHandle != nullptr) {
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    }
    for (TControl* child : FControls) {
        child->ParentFontChanged();
    }
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* child : FControls) {
        child->ParentColorChanged();
    }
}

HBRUSH TWinControl::ColorBrush() {
    if (!FColorBrush || FColorBrushColor != Color()) {
        FColorBrush.reset(CreateSolidBrush(ColorToRGB(Color())));
        FColorBrushColor = Color();
    }
    return FColorBrush.get();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(this, key, shift);
    }
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) {
        OnKeyUp(this, key, shift);
    }
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
}

bool TWinControl::CommandNotify(WORD) {
    return false;
}

HBRUSH TWinControl::CtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    return ColorBrush();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::Resize() {
    if (OnResize) {
        OnResize(this);
    }
}

void TWinControl::WmSetFocus() {
    if (TForm* form = ParentForm(); form != nullptr && form != this) {
        form->FocusChanged(this);
    }
}

void TWinControl::WmKillFocus() {}

void TWinControl::WmSize() {
    UpdateBoundsFromWindow();
    Realign();
    Resize();
}

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::PaintWindow(HDC dc) {
    PaintWithCanvas(dc, *this, FCanvas, [this] { Paint(); });
}
