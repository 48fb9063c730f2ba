#include "toolkit/Accessible.h"

#include <algorithm>
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/SystemLibrary.h"

namespace {
constexpr wchar_t kPress[] = L"Press";

// LresultFromObject marshals into the calling thread's apartment; the program enters one the
// first time a client asks and leaves it when the process ends.
void EnterApartment() {
    struct Apartment {
        bool entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ~Apartment() {
            if (entered) {
                CoUninitialize();
            }
        }
    };
    static const Apartment apartment;
}

BSTR ToBstr(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result != nullptr && length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, length);
    }
    return result;
}

// A string answer: S_FALSE and null when there is nothing to say.
HRESULT StringResult(const std::string& text, BSTR* out) {
    if (text.empty()) {
        return S_FALSE;
    }
    *out = ToBstr(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool IsPushButton(const TControl& control) {
    return control.AccessibleRole() == ROLE_SYSTEM_PUSHBUTTON;
}

// A click would reach it: it, its parents and their windows are enabled.
bool TakesInput(const TControl& control) {
    for (const TControl* c = &control; c != nullptr; c = c->Parent()) {
        if (!c->Enabled()) {
            return false;
        }
    }
    for (HWND w = control.Parent()->Handle(); w != nullptr; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) {
            return false;
        }
        if ((GetWindowLongA(w, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    return true;
}

RECT ScreenRect(const TControl& control) {
    if (control.IsWindowed()) {
        RECT r{};
        GetWindowRect(const_cast<TWinControl&>(static_cast<const TWinControl&>(control)).Handle(), &r);
        return r;
    }
    RECT r = control.BoundsRect();
    MapWindowPoints(control.Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

long ChildId(const std::vector<TControl*>& children, const TControl* control) {
    const auto found = std::find(children.begin(), children.end(), control);
    return found == children.end() ? 0 : static_cast<long>(found - children.begin()) + 1;
}

template <typename Fn> Fn OleaccProc(const char* function) {
    return SystemProc<Fn>("oleacc.dll", function);
}

// What a client reaches a child window as: the object the window serves for itself, or the
// platform's.
HRESULT AccessibleObjectOfWindow(HWND wnd, void** object) {
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = OleaccProc<FromWindowFn>("AccessibleObjectFromWindow");
    *object = nullptr;
    return fromWindow != nullptr
               ? fromWindow(wnd, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch), object)
               : E_FAIL;
}
} // namespace

// ---------------------------------------------------------------- the children

std::vector<TControl*> AccessibleChildren(const TWinControl& control) {
    std::vector<TControl*> children;
    for (TControl* c : control.Controls()) {
        if (!c->IsWindowed() && c->AccessibleRole() != 0 && c->LabelFor() == nullptr) {
            children.push_back(c);
        }
    }
    for (TControl* c : control.Controls()) {
        if (c->IsWindowed() && static_cast<TWinControl*>(c)->HandleAllocated()) {
            children.push_back(c);
        }
    }
    return children;
}

void AnnounceNameChange(const TControl& control) {
    TWinControl* parent = control.Parent();
    if (parent == nullptr || !parent->HandleAllocated()) {
        return;
    }
    const long id = ChildId(AccessibleChildren(*parent), &control);
    if (id != 0) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, parent->Handle(), OBJID_CLIENT, id);
    }
}

LRESULT ServeAccessibleObject(IAccessible* object, WPARAM wParam) {
    EnterApartment();
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    static const auto serve = OleaccProc<LresultFromObjectFn>("LresultFromObject");
    if (serve == nullptr) {
        return 0;
    }
    const LRESULT result = serve(__uuidof(IAccessible), wParam, object);
    // A failure is a negative HRESULT, which the platform reads as "no object".
    return result < 0 ? 0 : result;
}

HRESULT CreateStandardAccessibleObject(HWND wnd, LONG objectId, REFIID riid, void** object) {
    using CreateFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    static const auto create = OleaccProc<CreateFn>("CreateStdAccessibleObject");
    *object = nullptr;
    return create != nullptr ? create(wnd, objectId, riid, object) : E_FAIL;
}

UINT AccessibleActionMessage() {
    static const UINT message = RegisterWindowMessageA("Brennow.AccessibleDefaultAction");
    return message;
}

void RunAccessibleAction(TWinControl& host, WPARAM id) {
    const auto children = AccessibleChildren(host);
    if (id == 0 || id > children.size()) {
        return;
    }
    TControl* element = children[id - 1];
    if (!element->IsWindowed() && IsPushButton(*element) && TakesInput(*element)) {
        element->DoDefaultAction();
    }
}

// ---------------------------------------------------------------- TAccessibleObject

TAccessibleObject::TAccessibleObject(TWinControl* control) : FControl(control) {}

void TAccessibleObject::Disconnect() {
    FControl = nullptr;
    // Clients in other processes let go of their proxies now.
    CoDisconnectObject(static_cast<IUnknown*>(this), 0);
}

HWND TAccessibleObject::Window() const {
    return FControl != nullptr && FControl->HandleAllocated() ? FControl->Handle() : nullptr;
}

TControl* TAccessibleObject::Element(const VARIANT& child) const {
    if (Window() == nullptr || child.vt != VT_I4) {
        return nullptr;
    }
    if (child.lVal == CHILDID_SELF) {
        return FControl;
    }
    const auto children = AccessibleChildren(*FControl);
    if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) {
        return nullptr;
    }
    return children[static_cast<size_t>(child.lVal) - 1];
}

HRESULT TAccessibleObject::NoElement() const {
    return Window() == nullptr ? E_FAIL : E_INVALIDARG;
}

HRESULT TAccessibleObject::ChildVariant(long id, VARIANT* result) const {
    VariantInit(result);
    const auto children = AccessibleChildren(*FControl);
    if (id < 1 || id > static_cast<long>(children.size())) {
        return S_FALSE;
    }
    TControl* child = children[static_cast<size_t>(id) - 1];
    if (!child->IsWindowed()) {
        result->vt = VT_I4;
        result->lVal = id;
        return S_OK;
    }
    IDispatch* object = nullptr;
    const HRESULT hr = AccessibleObjectOfWindow(static_cast<TWinControl*>(child)->Handle(),
                                                reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
        return hr;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

HRESULT TAccessibleObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TAccessibleObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&FReferences));
}

ULONG TAccessibleObject::Release() {
    const LONG left = InterlockedDecrement(&FReferences);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT TAccessibleObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT TAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::get_accParent(IDispatch** parent) {
    if (parent == nullptr) {
        return E_POINTER;
    }
    *parent = nullptr;
    const HWND wnd = Window();
    if (wnd == nullptr) {
        return E_FAIL;
    }
    return CreateStandardAccessibleObject(wnd, OBJID_WINDOW, __uuidof(IDispatch),
                                          reinterpret_cast<void**>(parent));
}

HRESULT TAccessibleObject::get_accChildCount(long* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    if (Window() == nullptr) {
        return E_FAIL;
    }
    *count = static_cast<long>(AccessibleChildren(*FControl).size());
    return S_OK;
}

HRESULT TAccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    if (element == FControl || !element->IsWindowed()) {
        // A windowless child is a simple element of this object.
        return S_FALSE;
    }
    VARIANT result;
    const HRESULT hr = ChildVariant(child.lVal, &result);
    if (hr == S_OK) {
        *object = result.pdispVal;
    }
    return hr;
}

HRESULT TAccessibleObject::get_accName(VARIANT child, BSTR* name) {
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    return StringResult(element->AccessibleName(), name);
}

HRESULT TAccessibleObject::get_accValue(VARIANT child, BSTR* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    return StringResult(element->AccessibleValue(), value);
}

HRESULT TAccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
    if (description == nullptr) {
        return E_POINTER;
    }
    *description = nullptr;
    return Element(child) != nullptr ? S_FALSE : E_FAIL;
}

HRESULT TAccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    role->vt = VT_I4;
    role->lVal = element->AccessibleRole();
    return S_OK;
}

HRESULT TAccessibleObject::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    VariantInit(state);
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    long flags = 0;
    if (element->IsWindowed()) {
        const HWND wnd = static_cast<TWinControl*>(element)->Handle();
        if (!IsWindowVisible(wnd)) {
            flags |= STATE_SYSTEM_INVISIBLE;
        }
        if (!IsWindowEnabled(wnd)) {
            flags |= STATE_SYSTEM_UNAVAILABLE;
        }
        if (static_cast<TWinControl*>(element)->CanFocus()) {
            flags |= STATE_SYSTEM_FOCUSABLE;
        }
        if (GetFocus() == wnd) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
    } else {
        if (!element->Visible() || !IsWindowVisible(Window())) {
            flags |= STATE_SYSTEM_INVISIBLE;
        }
        if (!TakesInput(*element)) {
            flags |= STATE_SYSTEM_UNAVAILABLE;
        }
        if (element->AccessibleRole() == ROLE_SYSTEM_STATICTEXT) {
            flags |= STATE_SYSTEM_READONLY;
        }
    }
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
}

HRESULT TAccessibleObject::get_accHelp(VARIANT child, BSTR* help) {
    if (help == nullptr) {
        return E_POINTER;
    }
    *help = nullptr;
    return Element(child) != nullptr ? S_FALSE : E_FAIL;
}

HRESULT TAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file != nullptr) {
        *file = nullptr;
    }
    if (topic != nullptr) {
        *topic = 0;
    }
    return Window() != nullptr ? DISP_E_MEMBERNOTFOUND : E_FAIL;
}

HRESULT TAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (shortcut == nullptr) {
        return E_POINTER;
    }
    *shortcut = nullptr;
    return Element(child) != nullptr ? S_FALSE : E_FAIL;
}

HRESULT TAccessibleObject::get_accFocus(VARIANT* focus) {
    if (focus == nullptr) {
        return E_POINTER;
    }
    VariantInit(focus);
    const HWND wnd = Window();
    if (wnd == nullptr) {
        return E_FAIL;
    }
    const HWND focused = GetFocus();
    if (focused == wnd) {
        focus->vt = VT_I4;
        focus->lVal = CHILDID_SELF;
        return S_OK;
    }
    const auto children = AccessibleChildren(*FControl);
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i]->IsWindowed()) {
            const HWND child = static_cast<TWinControl*>(children[i])->Handle();
            if (child == focused || IsChild(child, focused)) {
                return ChildVariant(static_cast<long>(i) + 1, focus);
            }
        }
    }
    return S_FALSE;
}

HRESULT TAccessibleObject::get_accSelection(VARIANT* selection) {
    if (selection == nullptr) {
        return E_POINTER;
    }
    VariantInit(selection);
    return Window() != nullptr ? S_FALSE : E_FAIL;
}

HRESULT TAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (action == nullptr) {
        return E_POINTER;
    }
    *action = nullptr;
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    if (!IsPushButton(*element)) {
        return S_FALSE;
    }
    *action = SysAllocString(kPress);
    return *action != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT TAccessibleObject::accSelect(long, VARIANT) {
    return Window() != nullptr ? DISP_E_MEMBERNOTFOUND : E_FAIL;
}

HRESULT TAccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    RECT r{};
    if (element == FControl) {
        GetClientRect(Window(), &r);
        MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        r = ScreenRect(*element);
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT TAccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) {
        return E_POINTER;
    }
    VariantInit(end);
    if (Window() == nullptr) {
        return E_FAIL;
    }
    if (start.vt != VT_I4) {
        return E_INVALIDARG;
    }
    const long count = static_cast<long>(AccessibleChildren(*FControl).size());
    const long from = start.lVal;
    if (from < 0 || from > count) {
        return E_INVALIDARG;
    }
    long to = 0;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        to = from == CHILDID_SELF ? 1 : 0;
        break;
    case NAVDIR_LASTCHILD:
        to = from == CHILDID_SELF ? count : 0;
        break;
    case NAVDIR_NEXT:
        to = from == CHILDID_SELF ? 0 : from + 1;
        break;
    case NAVDIR_PREVIOUS:
        to = from == CHILDID_SELF ? 0 : from - 1;
        break;
    default:
        // Spatial directions among children that may overlap say nothing useful.
        return DISP_E_MEMBERNOTFOUND;
    }
    return ChildVariant(to, end);
}

HRESULT TAccessibleObject::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    const HWND wnd = Window();
    if (wnd == nullptr) {
        return E_FAIL;
    }
    POINT pt{x, y};
    ScreenToClient(wnd, &pt);
    RECT client{};
    GetClientRect(wnd, &client);
    if (!PtInRect(&client, pt)) {
        return S_FALSE;
    }
    const auto children = AccessibleChildren(*FControl);
    // Child windows lie above everything painted by this one; later ones above earlier ones.
    for (long id = static_cast<long>(children.size()); id >= 1; --id) {
        const TControl* c = children[static_cast<size_t>(id) - 1];
        if (!c->Visible()) {
            continue;
        }
        RECT r = c->BoundsRect();
        if (PtInRect(&r, pt)) {
            return ChildVariant(id, child);
        }
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT TAccessibleObject::accDoDefaultAction(VARIANT child) {
    TControl* element = Element(child);
    if (element == nullptr) {
        return NoElement();
    }
    if (element == FControl || element->IsWindowed() || !IsPushButton(*element)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!TakesInput(*element)) {
        return E_FAIL;
    }
    // Acted on from the message loop, as a click is: a client waiting on this call is never
    // held by what the click does (a message box, say).
    return PostMessageA(Window(), AccessibleActionMessage(), static_cast<WPARAM>(child.lVal), 0) ? S_OK
                                                                                                 : E_FAIL;
}

HRESULT TAccessibleObject::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
