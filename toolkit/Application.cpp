#include "toolkit/Application.h"

#include "toolkit/Exception.h"
#include "toolkit/Forms.h"
#include "toolkit/Icon.h"
#include "toolkit/Seams.h"

TApplication* Application = nullptr;

namespace {
const char kAppClassName[] = "BrennowApplication";
}

TApplication::TApplication() : TComponent(nullptr), FIcon(std::make_unique<TIcon>()) {
    FInstance = GetModuleHandleA(nullptr);
    if (Application == nullptr) {
        Application = this;
    }
}

TApplication::~TApplication() {
    Destroying();
    // The forms go while the application object is still reachable.
    DestroyComponents();
    FHandle.reset();
    // The class holds our icon, which goes with us: a later application registers it anew.
    UnregisterClassA(kAppClassName, FInstance);
    if (Application == this) {
        Application = nullptr;
    }
}

void TApplication::Initialize() {
    if (FHandle) {
        return;
    }
    // An icon loaded before this goes on the window with its class, so the window is created
    // with it instead of being created with the default icon and then sent ours: each icon a
    // window gets costs a conversion for the display.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = FInstance;
    wc.hIcon = FIcon->Handle();
    wc.hIconSm = FIcon->SmallHandle();
    wc.lpszClassName = kAppClassName;
    RegisterClassExA(&wc);
    // A captioned window of no size: it only stands for the program on the taskbar.
    int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    FHandle.reset(CreateWindowExA(0, kAppClassName, FTitle.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                                  0, 0, nullptr, nullptr, FInstance, nullptr));
    if (!FHandle) {
        throw EOutOfResources("Error creating window");
    }
    // The class was still registered (by an application that lives on) with another icon.
    if (reinterpret_cast<HICON>(GetClassLongPtrA(FHandle.get(), GCLP_HICON)) != FIcon->Handle()) {
        IconChanged();
    }
}

void TApplication::SetTitle(const std::string& value) {
    FTitle = value;
    if (FHandle) {
        SetWindowTextA(FHandle.get(), value.c_str());
    }
}

void TApplication::IconChanged() {
    if (FHandle && !FIcon->Empty()) {
        SendMessageA(FHandle.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
        SendMessageA(FHandle.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon->SmallHandle()));
    }
}

void TApplication::FormCreated(TForm* form) {
    form->DoCreate();
    const bool first = FMainForm == nullptr;
    if (first && (FShowCommand == SW_MINIMIZE || FShowCommand == SW_SHOWMINIMIZED ||
                  FShowCommand == SW_SHOWMINNOACTIVE)) {
        form->SetWindowState(wsMinimized);
    }
    const ScopedStartupPhase phase("show");
    form->UpdateShowing();
    if (first) {
        FMainForm = form;
        // A form hidden as it was shown (to the tray, say) has no taskbar entry either.
        MainFormVisibilityChanged(form->Visible() && form->HandleAllocated() &&
                                  IsWindowVisible(form->Handle()));
    }
}

void TApplication::AddForm(TForm* form) {
    FForms.push_back(form);
}

void TApplication::RemoveForm(TForm* form) {
    std::erase(FForms, form);
    if (FMainForm == form) {
        FMainForm = nullptr;
    }
}

void TApplication::MainFormVisibilityChanged(bool visible) {
    if (FHandle) {
        ShowWindow(FHandle.get(), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
        // The first show of a process may take the start-up information's command instead.
        if (visible && IsZoomed(FHandle.get())) {
            ShowWindow(FHandle.get(), SW_SHOWNOACTIVATE);
        }
    }
}

void TApplication::Run() {
    while (!FTerminated) {
        HandleMessage();
    }
}

bool TApplication::ProcessOneMessage() {
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (!IsKeyMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool TApplication::HandleMessage() {
    if (!ProcessOneMessage()) {
        WaitMessage();
    }
    return !FTerminated;
}

void TApplication::ProcessMessages() {
    while (ProcessOneMessage()) {
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::PassCommandToMainForm(WPARAM command) {
    if (FMainForm == nullptr || !FMainForm->HandleAllocated()) {
        return false;
    }
    SendMessageA(FMainForm->Handle(), WM_SYSCOMMAND, command, 0);
    return true;
}

void TApplication::Restore() {
    if (FHandle && IsIconic(FHandle.get())) {
        ShowWindow(FHandle.get(), SW_RESTORE);
    }
}

bool TApplication::IsKeyMessage(MSG& msg) {
    // Tab and Shift+Tab move between the tab stops of a form.
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0) {
        return false;
    }
    TWinControl* control = nullptr;
    for (HWND wnd = msg.hwnd; wnd != nullptr && control == nullptr; wnd = GetParent(wnd)) {
        control = TWinControl::FromHandle(wnd);
    }
    if (control == nullptr) {
        return false;
    }
    TForm* form = dynamic_cast<TForm*>(control);
    if (form == nullptr) {
        form = control->ParentForm();
    }
    if (form == nullptr) {
        return false;
    }
    form->SelectNext(form == control ? nullptr : control, GetKeyState(VK_SHIFT) >= 0);
    return true;
}

void TApplication::HandleException(TObject*) {
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown error"));
    }
}

void TApplication::ShowException(const std::exception& e) {
    try {
        Seam::ReportError(FHandle.get(), FTitle, ExceptionReportText(e.what()));
    } catch (...) {
        // The report itself must never take the program down.
    }
}

std::string TApplication::ExceptionReportText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

LRESULT CALLBACK TApplication::AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        switch (msg) {
        case WM_CLOSE:
            // The taskbar entry's close and minimise are the main form's own commands, so that
            // whoever takes those over on the form (a tray icon) takes them over here too.
            if (Application != nullptr) {
                Application->PassCommandToMainForm(SC_CLOSE);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE && Application != nullptr &&
                Application->PassCommandToMainForm(SC_MINIMIZE)) {
                return 0;
            }
            break;
        case WM_ENDSESSION:
            // The forms go in the ordinary way once the loop has ended, if the session leaves us
            // the time; whatever must not outlive the session goes at its own WM_ENDSESSION.
            if (wParam != FALSE && Application != nullptr) {
                Application->Terminate();
            }
            return 0;
        case WM_SETFOCUS:
            if (Application != nullptr && Application->MainForm() != nullptr &&
                Application->MainForm()->HandleAllocated() &&
                IsWindowVisible(Application->MainForm()->Handle())) {
                SetFocus(Application->MainForm()->Handle());
                return 0;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        if (Application != nullptr) {
            Application->HandleException(Application);
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
