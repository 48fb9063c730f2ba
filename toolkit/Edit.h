#pragma once
// The single-line edit: the system's EDIT control with a sunken border, its text, change
// notification, read-only state, length limit and selection on entry.
#include "toolkit/Controls.h"

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    // The window's text, or the stored one while there is no window.
    std::string Text() const;
    // Replaces the text; a different text fires OnChange exactly once.
    void SetText(const std::string& value);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    // Select the whole text when the focus enters from another control.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    // Most characters the user may enter; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    void SelectAll();

    // Fired once per change of the text, by the user or the program.
    TNotifyEvent OnChange;

    void DoEnter() override;
    long AccessibleRole() const override;
    std::string AccessibleValue() const override { return Text(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool CommandNotify(WORD code) override;

    virtual void Change();
    // The clipboard requests; the default lets the edit carry them out.
    virtual void WmPaste();
    virtual void WmCut();
    // True while the left button goes down on this edit's own window (it takes the focus then).
    bool LButtonDownOnSelf() const { return FLButtonDown; }
    bool HasStyle(DWORD style);

private:
    LRESULT LButtonDown(UINT msg, WPARAM wParam, LPARAM lParam);

    std::string FText;
    bool FReadOnly = false;
    bool FAutoSelect = true;
    int FMaxLength = 0;
    bool FSettingText = false;
    bool FLButtonDown = false;
};
