#pragma once
// Borderless top-level forms: client size, centring, window state, focus and tab order, and
// the reading of a form's window description.
#include "toolkit/Controls.h"

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poScreenCenter };

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    void SetClientWidth(int value);
    void SetClientHeight(int value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);

    void SetVisible(bool value) override;
    // Brings the window in line with Visible (after the description was read).
    void UpdateShowing();
    void BringToFront();
    // Main form: ends the program; other forms: hides.
    void Close();

    TWinControl* ActiveControl() const { return FActiveControl; }
    // Focus moved to control: the previous one exits, this one enters.
    void FocusChanged(TWinControl* control);
    // Moves the focus to the next (or previous) tab stop after current.
    void SelectNext(TWinControl* current, bool forward);

    // Pixel height of the default font's text, which decides the form's scaling.
    int TextHeight();
    // Scales the client area, the children and their own fonts by m/d.
    void ScaleBy(int m, int d);

    // Runs the create handler; exceptions go to the standard report.
    void DoCreate();
    TNotifyEvent OnCreate;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Window description: call BeginDescription first thing in a form's constructor, mark
    // each component created for it with Describe, and call EndDescription last.
    void BeginDescription();
    template <typename T> T* Describe(T* component) {
        component->BeginLoading();
        FDescribed.push_back(component);
        return component;
    }
    void EndDescription();

    void CreateParams(TCreateParams& params) override;
    HWND ParentHandleForCreate() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<TWinControl*> FocusOrder() const;

    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TWinControl* FActiveControl = nullptr;
    std::vector<TComponent*> FDescribed;
    bool FShownOnce = false;
};
