#pragma once
// What a screen reader reads of a window whose children are painted by the window itself: an
// IAccessible object, served on WM_GETOBJECT, that exposes those children as child ids and the
// child windows as the objects of their own windows.
#include <windows.h>

#include <oleacc.h>

#include <vector>

class TControl;
class TWinControl;

// The children a client sees, child id n being element n - 1: the windowless ones that carry
// meaning, in painting order, then the child windows, which are painted above them.
std::vector<TControl*> AccessibleChildren(const TWinControl& control);

// Tells clients following the window that control's accessible name changed. Nothing while its
// parent has no window, or when the control is not one of its parent's accessible children.
void AnnounceNameChange(const TControl& control);

// The window's answer to WM_GETOBJECT for OBJID_CLIENT.
LRESULT ServeAccessibleObject(IAccessible* object, WPARAM wParam);

// A default action is posted to the window as this message, with the child id, and run by
// RunAccessibleAction when the message loop reaches it.
UINT AccessibleActionMessage();
void RunAccessibleAction(TWinControl& host, WPARAM childId);

// The object of one windowed control. It knows its control through a weak link: once the
// control's window is gone, Disconnect has cut it, and every call answers E_FAIL (a client in
// another process gets RPC_E_DISCONNECTED from the platform).
class TAccessibleObject final : public IAccessible {
public:
    // One reference, the caller's.
    explicit TAccessibleObject(TWinControl* control);
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: no type information; clients call through the vtable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~TAccessibleObject() = default;
    // The window while it lives, or null.
    HWND Window() const;
    // The control a child id names: the window's own control for CHILDID_SELF; null for an id
    // out of range or a cut link.
    TControl* Element(const VARIANT& child) const;
    // The answer when Element found nothing: a cut link fails, a bad id is the caller's fault.
    HRESULT NoElement() const;
    // Child n as a client receives it: an id for a windowless child, the object of its window
    // for a windowed one.
    HRESULT ChildVariant(long id, VARIANT* result) const;

    LONG FReferences = 1;
    TWinControl* FControl;
};

// CreateStdAccessibleObject, from oleacc.dll in the system directory.
HRESULT CreateStandardAccessibleObject(HWND wnd, LONG objectId, REFIID riid, void** object);
