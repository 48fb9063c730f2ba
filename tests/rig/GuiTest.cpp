#include "tests/rig/GuiTest.h"

#include "toolkit/Application.h"

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
