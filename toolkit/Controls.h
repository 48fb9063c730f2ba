#pragma once
// Controls: windowless ones painted by their parent, and windowed ones that own an HWND
// and receive its messages through one dispatch (in MessageDispatch.cpp, with the routing of
// the mouse to windowless children).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Exception.h"
#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Shift state from mouse-key flags (MK_*) plus the Alt key.
TShiftState ShiftFromMouseKeys(WPARAM keys);
// Shift state from the keyboard now.
TShiftState ShiftFromKeyboard();

class TWinControl;
class TForm;
class TAccessibleObject;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* value);
    virtual bool IsWindowed() const { return false; }
    // The form this control stands on, or nullptr.
    TForm* ParentForm() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    RECT ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& value);
    // Paints all of its rectangle, so nothing beneath needs repainting first.
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool value) { FOpaque = value; }

    // Schedules the control's rectangle for repainting.
    virtual void Invalidate();
    // Repaints now.
    virtual void Repaint();
    virtual void Click();
    // Scales position, size and (unless inherited) the font by m/d.
    virtual void ChangeScale(int m, int d);

    // What a screen reader is told of the control. Role 0 marks a decoration, never exposed.
    virtual long AccessibleRole() const { return 0; }
    // The name set here; else, for a control that a label names, the label's caption (a field
    // without its colon, a windowless control with its own caption after it); else the caption.
    std::string AccessibleName() const;
    void SetAccessibleName(const std::string& value) { FAccessibleName = value; }
    virtual std::string AccessibleValue() const { return {}; }
    // What a push button's default action does: a click.
    virtual void DoDefaultAction() { Click(); }
    // The control this one names for a screen reader, which then does not read it on its own:
    // a caption beside its field or value. Not owned; destroying either ends the link.
    TControl* LabelFor() const { return FLabelFor; }
    void SetLabelFor(TControl* value);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

    // Mouse input, in the control's own coordinates. Windowless controls get it from
    // their parent, which captures the mouse for them while a button is held.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // The mouse was taken away while a button was held on the control (another window took
    // the capture, a message box, Alt+Tab): the press ends here and no click follows.
    virtual void MouseCaptureLost();
    bool MouseCaptured() const;

protected:
    virtual void BoundsChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void EnabledChanged() {}
    virtual void VisibleChanged() {}
    virtual void TextChanged() {}
    // Parent font/colour were changed: inherit them if we follow the parent.
    void ParentFontChanged();
    void ParentColorChanged();
    void StoreBounds(int left, int top, int width, int height);

private:
    friend class TWinControl;
    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    TFont FFont;
    bool FParentFont = true;
    std::string FCaption;
    bool FOpaque = false;
    bool FClicked = false;
    bool FInFontSync = false;
    std::string FAccessibleName;
    TControl* FLabelFor = nullptr;
    TControl* FLabelledBy = nullptr;
};

// A control without a window: its parent paints it, in creation order, over what lies beneath.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);

    // Valid only while Paint runs.
    TCanvas* Canvas() const { return FCanvas; }
    // Paints into dc whose origin is the control's top-left corner and whose clip is its rectangle.
    void PaintTo(HDC dc);

protected:
    virtual void Paint() {}

private:
    TCanvas* FCanvas = nullptr;
};

struct TCreateParams {
    std::string WinClassName; // a system class to wrap ("EDIT", "BUTTON"); empty for our own
    DWORD Style = 0;
    DWORD ExStyle = 0;
    std::string Caption;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }
    // The control's window, created (with its parents' and children's) when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    static TWinControl* FromHandle(HWND wnd);

    // Children in insertion order; also the painting order of windowless ones.
    const std::vector<TControl*>& Controls() const { return FControls; }
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // The topmost visible windowless child at a point of the client area.
    TControl* ControlAtPos(POINT point, bool allowDisabled) const;
    // Paints the windowless children that intersect the clip area.
    void PaintControls(HDC dc);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value) { FTabStop = value; }
    int TabOrder() const;
    void SetTabOrder(int value);
    std::vector<TWinControl*> TabList() const;
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool value) { FCtl3D = value; }

    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();

    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetCaption(const std::string& value) override;
    void Invalidate() override;
    void Repaint() override;
    void ChangeScale(int m, int d) override;
    long AccessibleRole() const override;
    // Lays out the aligned children in the client area.
    void Realign();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Focus moved to this control from another of the same form (or from none).
    virtual void DoEnter();
    // Focus moved from this control to another of the same form.
    virtual void DoExit();

protected:
    virtual void CreateParams(TCreateParams& params);
    // Creates the window; derived classes extend it to act right after creation.
    virtual void CreateWnd();
    void DestroyHandle();
    virtual HWND ParentHandleForCreate();

    // Every message of the window comes here; unhandled ones go to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // A notification (WM_COMMAND code) sent by this control's window to its parent.
    virtual bool CommandNotify(WORD code);
    // Colours of a system control: the brush for WM_CTLCOLOR*.
    virtual HBRUSH CtlColor(HDC dc);
    virtual void PaintWindow(HDC dc);
    virtual void Resize();
    virtual void WmSetFocus();
    virtual void WmKillFocus();
    virtual void WmSize();

    void BoundsChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    HBRUSH ColorBrush();

private:
    friend class TControl;
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Binds the window to this object: FromHandle finds it from now on.
    void AttachHandle(HWND wnd);
    // Registers our own window class for that class style once; returns the class's name.
    static std::string RegisterOwnClass(UINT classStyle);
    LRESULT MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void UpdateBoundsFromWindow();
    // WM_GETOBJECT: an object of ours for a window with windowless children or a name of its
    // own, the platform's otherwise.
    LRESULT AccessibleObjectRequest(WPARAM wParam, LPARAM lParam);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    TControl* FMouseControl = nullptr;
    UniqueBrush FColorBrush;
    TColor FColorBrushColor = 0;
    // One reference, ours; cut from this control when the window goes.
    TAccessibleObject* FAccessible = nullptr;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FCreating = false;
};

// A windowed control of our own class that paints itself on a canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    TCanvas* Canvas() const { return FCanvas; }

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint() {}

private:
    TCanvas* FCanvas = nullptr;
};
