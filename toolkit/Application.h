#pragma once
// The application object: its taskbar window, title, icon, forms, message loop and the
// standard exception report.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

class TForm;
class TIcon;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Registers the window classes and creates the application window, with the Icon loaded
    // so far.
    void Initialize();

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value);

    // The captioned top-level window that stands for the program on the taskbar.
    HWND Handle() const { return FHandle.get(); }
    HINSTANCE Instance() const { return FInstance; }
    TIcon* Icon() const { return FIcon.get(); }
    // Puts the current Icon on the application window (after Initialize).
    void IconChanged();

    // How the program was asked to show (WinMain's command); a minimising one makes the main
    // form start minimised, any other starts it as designed.
    void SetShowCommand(int command) { FShowCommand = command; }

    // Constructs a form owned by the application; the first one becomes the main form once
    // it has been shown. Runs the form's create handler and shows it when declared visible.
    template <typename F> void CreateForm(F*& reference) {
        reference = new F(this);
        FormCreated(reference);
    }
    TForm* MainForm() const { return FMainForm; }

    // Runs the message loop until the quit message arrives, then destroys the forms.
    void Run();
    // Handles every message that is waiting, then returns.
    void ProcessMessages();
    // Handles one message (waiting for one if none is queued); false once quit arrived.
    bool HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Un-minimises the application when it is minimised.
    void Restore();

    // Reports the exception in flight (call from a catch block); never throws.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& e);
    static std::string ExceptionReportText(const std::string& message);

    // The screen's list of forms, in creation order.
    const std::vector<TForm*>& Forms() const { return FForms; }
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);
    // The main form shows or hides the application window with itself.
    void MainFormVisibilityChanged(bool visible);

private:
    void FormCreated(TForm* form);
    // Sends a system command to the main form's window; false when there is none.
    bool PassCommandToMainForm(WPARAM command);
    bool ProcessOneMessage();
    bool IsKeyMessage(MSG& msg);

    static LRESULT CALLBACK AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE FInstance = nullptr;
    UniqueHwnd FHandle;
    std::string FTitle;
    TForm* FMainForm = nullptr;
    std::vector<TForm*> FForms;
    bool FTerminated = false;
    int FShowCommand = SW_SHOWNORMAL;
    std::unique_ptr<TIcon> FIcon;
};

// The one application object of the process; created by Initialize's caller.
extern TApplication* Application;
