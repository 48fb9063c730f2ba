#include "tests/rig/GuiTest.h"

#include "toolkit/Application.h"
#include "toolkit/Handles.h"

namespace {
int gBeeps = 0;
BOOL CountingBeep(UINT) {
    ++gBeeps;
    return TRUE;
}

std::vector<ErrorReportRecorder::Report> gReports;
void RecordingReport(HWND, const std::string& title, const std::string& text) {
    gReports.push_back({title, text});
}
} // namespace

void PumpFor(int ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    Application->ProcessMessages();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) {
            return done();
        }
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

COLORREF PixelAt(HWND wnd, int x, int y) {
    UpdateWindow(wnd);
    HDC dc = GetDC(wnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

BeepRecorder::BeepRecorder() : FSeam(Seam::Beep, CountingBeep) {
    gBeeps = 0;
}
BeepRecorder::~BeepRecorder() = default;
int BeepRecorder::Count() const {
    return gBeeps;
}

ErrorReportRecorder::ErrorReportRecorder() : FSeam(Seam::ReportError, RecordingReport) {
    gReports.clear();
}
ErrorReportRecorder::~ErrorReportRecorder() {
    gReports.clear();
}
const std::vector<ErrorReportRecorder::Report>& ErrorReportRecorder::Reports() const {
    return gReports;
}

WindowSnapshot::WindowSnapshot(HWND wnd) {
    UpdateWindow(wnd);
    RECT client{};
    GetClientRect(wnd, &client);
    FWidth = client.right;
    FHeight = client.bottom;
    UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = FWidth;
    info.bmiHeader.biHeight = -FHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        FWidth = FHeight = 0;
        return;
    }
    {
        DcSelection select(memory.get(), bitmap.get());
        WindowDc screen(wnd);
        BitBlt(memory.get(), 0, 0, FWidth, FHeight, screen.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const auto* words = static_cast<const DWORD*>(bits);
    FPixels.assign(words, words + static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight));
}

COLORREF WindowSnapshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) {
        return CLR_INVALID;
    }
    DWORD bgr =
        FPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(x)];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}
