#pragma once
// The spin field: a one-line numeric edit with a pair of stacked arrow buttons inside its
// right edge that step the number, repeating while an arrow is held down.
#include <cstdint>

#include "toolkit/Edit.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/Timer.h"

enum class TButtonFlag : unsigned {
    FocusFrame = 1u << 0, // draw a focus frame on the button
    AutoRepeat = 1u << 1, // repeat the click while the button is held down
};
// A set of TButtonFlag, one bit each.
using TButtonFlags = unsigned;
constexpr TButtonFlags operator|(TButtonFlags flags, TButtonFlag flag) {
    return flags | static_cast<TButtonFlags>(flag);
}
constexpr TButtonFlags operator&(TButtonFlags flags, TButtonFlag flag) {
    return flags & static_cast<TButtonFlags>(flag);
}

// A flat button that repeats its click while held: first after FirstRepeatDelay, then every
// RepeatInterval, and only while the pointer stays over it.
class TTimerSpeedButton : public TSpeedButton {
public:
    static constexpr unsigned FirstRepeatDelay = 400;
    static constexpr unsigned RepeatInterval = 100;

    explicit TTimerSpeedButton(TComponent* AOwner);
    ~TTimerSpeedButton() override;

    TButtonFlags ButtonFlags() const { return FButtonFlags; }
    void SetButtonFlags(TButtonFlags value) { FButtonFlags = value; }
    // Absent until the first press that repeats.
    TTimer* RepeatTimer() const { return FRepeatTimer; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseCaptureLost() override;

protected:
    void Paint() override;
    void RepeatTick(TObject* Sender);

private:
    TTimer* FRepeatTimer = nullptr;
    TButtonFlags FButtonFlags = 0;
};

// The pair of arrow buttons. Pressing either hands the keyboard focus to FocusControl; standing
// alone as a tab stop it shows a focus frame and answers Space, Up and Down itself.
// It holds no child controls besides its two buttons.
class TSpinButton : public TWinControl {
public:
    explicit TSpinButton(TComponent* AOwner);

    TTimerSpeedButton* UpButton() const { return FUpButton; }
    TTimerSpeedButton* DownButton() const { return FDownButton; }
    // The button that shows the focus frame while the pair has the focus.
    TTimerSpeedButton* FocusedButton() const { return FFocusedButton; }

    const TBitmap& UpGlyph() const;
    // Copies value into the up button; nullptr loads the built-in "SpinUp" arrow.
    void SetUpGlyph(const TBitmap* value);
    const TBitmap& DownGlyph() const;
    // Copies value into the down button; nullptr loads the built-in "SpinDown" arrow.
    void SetDownGlyph(const TBitmap* value);
    int UpNumGlyphs() const;
    void SetUpNumGlyphs(int value);
    int DownNumGlyphs() const;
    void SetDownNumGlyphs(int value);

    // Not owned; cleared when it is destroyed.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* value);

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    void SetBounds(int left, int top, int width, int height) override;
    // At least 15 wide; the up button takes the top half, the down button the rest and one
    // row more, so that they overlap by a row.
    void FitButtons(int& width, int& height);
    void MoveFocusTo(TTimerSpeedButton* button);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    long AccessibleRole() const override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void WmSize() override;
    void WmSetFocus() override;
    void WmKillFocus() override;
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    TTimerSpeedButton* CreateButton();
    void ButtonMouseDown(TObject* Sender, TMouseButton button);
    void ButtonClick(TObject* Sender);
    void SetBuiltInGlyph(TTimerSpeedButton* button, const char* name);
    // Fits the current size and applies it if the fit changed it.
    void FitCurrentSize();
    // Sets or clears the button's FocusFrame flag.
    void SetFocusFrame(TTimerSpeedButton* button, bool on);

    TTimerSpeedButton* FUpButton = nullptr;
    TTimerSpeedButton* FDownButton = nullptr;
    TTimerSpeedButton* FFocusedButton = nullptr;
    TWinControl* FFocusControl = nullptr;
};

// The numeric field. Value is not stored: it is read from the text and written as text.
// Typed text is kept within the limits only when the focus leaves the field; steps clamp at
// once. MinValue equal to MaxValue means no limits.
// The pair is an internal part of the field: a window description never lists it as a
// child of its own, and the field creates it.
class TSpinEdit : public TCustomEdit {
public:
    explicit TSpinEdit(TComponent* AOwner);
    ~TSpinEdit() override;

    // The text's number; MinValue when the text is not one. Never clamped.
    std::int32_t Value() const;
    // Writes the clamped number as decimal text; OnChange fires when the text changes.
    void SetValue(std::int32_t value);
    std::int32_t ClampValue(std::int32_t value) const;

    // Plain stored values: they act at the next step, typed character or exit.
    std::int32_t MinValue() const { return FMinValue; }
    void SetMinValue(std::int32_t value) { FMinValue = value; }
    std::int32_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(std::int32_t value) { FMaxValue = value; }
    std::int32_t Increment() const { return FIncrement; }
    void SetIncrement(std::int32_t value) { FIncrement = value; }
    // False: the text cannot be typed into, pasted into or cut from; steps still work.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool value) { FEditorEnabled = value; }

    TSpinButton* Button() const { return FButton; }

    virtual bool AcceptsChar(char ch) const;
    virtual void StepUp(TObject* Sender);
    virtual void StepDown(TObject* Sender);

    // The edit's text area: left of the pair.
    void UpdateTextArea();
    // The smallest height the field keeps, from the screen's fonts.
    int MinimumHeight();

    void DoEnter() override;
    void DoExit() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void WmPaste() override;
    void WmCut() override;
    void WmSize() override;
    void FontChanged() override;

private:
    void Step(std::uint32_t delta);
    void LayOutButton();

    std::int32_t FMinValue = 0;
    std::int32_t FMaxValue = 0;
    std::int32_t FIncrement = 1;
    TSpinButton* FButton = nullptr;
    bool FEditorEnabled = true;
};
