// The arrow pair and its repeating buttons, pressed with real mouse messages in a real form.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Exception.h"
#include "toolkit/Forms.h"
#include "window/Spin.h"

namespace {
const COLORREF Olive = RGB(128, 128, 0);
const COLORREF Black = RGB(0, 0, 0);

void Mouse(HWND wnd, UINT msg, WPARAM keys, int x, int y) {
    PostMessageA(wnd, msg, keys, MAKELPARAM(x, y));
    PumpFor(20);
}

class SpinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 200, 120);
        Partner = new TCustomEdit(Form);
        Partner->SetParent(Form);
        Partner->SetBounds(10, 60, 80, 21);
        Other = new TCustomEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(100, 60, 80, 21);
        Pair = new TSpinButton(Form);
        Pair->SetParent(Form);
        Pair->SetBounds(10, 10, 15, 17);
        Pair->OnUpClick = [this](TObject* sender) {
            EXPECT_EQ(sender, Pair);
            UpClicks.push_back(GetTickCount() - Start);
        };
        Pair->OnDownClick = [this](TObject*) { ++DownClicks; };
        Form->Show();
        Other->SetFocus();
        PumpFor(50);
        Start = GetTickCount();
    }
    void TearDown() override { delete Form; }
    // The middle of the up and of the down button of a 15 x 17 pair.
    void Up(UINT msg, WPARAM keys = MK_LBUTTON) { Mouse(Pair->Handle(), msg, keys, 7, 3); }
    void Down(UINT msg, WPARAM keys = MK_LBUTTON) { Mouse(Pair->Handle(), msg, keys, 7, 12); }

    TForm* Form = nullptr;
    TCustomEdit* Partner = nullptr;
    TCustomEdit* Other = nullptr;
    TSpinButton* Pair = nullptr;
    std::vector<DWORD> UpClicks; // milliseconds after Start
    int DownClicks = 0;
    DWORD Start = 0;
};

TEST(SpinArrows, AreNineBySixSixteenColourOliveWithABlackArrow) {
    for (const char* name : {"SpinUp", "SpinDown"}) {
        HRSRC found = FindResourceA(nullptr, name, RT_BITMAP);
        ASSERT_NE(found, nullptr) << name;
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        EXPECT_EQ(header->biWidth, 9);
        EXPECT_EQ(header->biHeight, 6);
        EXPECT_EQ(header->biBitCount, 4);
        TBitmap arrow;
        arrow.LoadFromResourceName(GetModuleHandleA(nullptr), name);
        bool up = name[4] == 'U';
        for (int y = 0; y < 6; ++y) {
            // Rows 1 to 4 of the up arrow are 1, 3, 5 and 7 wide around column 4.
            int half = up ? y - 1 : 4 - y;
            for (int x = 0; x < 9; ++x) {
                bool arrowPixel = y >= 1 && y <= 4 && x >= 4 - half && x <= 4 + half;
                EXPECT_EQ(arrow.PixelAt(x, y), arrowPixel ? Black : Olive) << name << " " << x << "," << y;
            }
        }
    }
}

TEST_F(SpinButtonTest, FitsItsButtonsOverlappingByOneRowAndNeverBelow15Wide) {
    Pair->SetBounds(10, 10, 10, 17);
    EXPECT_EQ(Pair->Width(), 15);
    EXPECT_EQ(Pair->UpButton()->BoundsRect().bottom, 8);
    EXPECT_EQ(Pair->DownButton()->Top(), 7);
    EXPECT_EQ(Pair->DownButton()->Height(), 10);
    // Resized from outside, the window is fitted on its resize.
    SetWindowPos(Pair->Handle(), nullptr, 0, 0, 8, 25, SWP_NOMOVE | SWP_NOZORDER);
    RECT r{};
    GetWindowRect(Pair->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 15);
    EXPECT_EQ(Pair->UpButton()->Height(), 12);
    EXPECT_EQ(Pair->DownButton()->Top(), 11);
    EXPECT_EQ(Pair->DownButton()->Height(), 14);
    // While loading it waits, and fits once loading is done.
    TSpinButton loading(nullptr);
    loading.BeginLoading();
    loading.SetBounds(0, 0, 9, 17);
    EXPECT_EQ(loading.Width(), 9);
    loading.Loaded();
    EXPECT_EQ(loading.Width(), 15);
    EXPECT_EQ(loading.DownButton()->Height(), 10);
}

TEST_F(SpinButtonTest, ClicksOnceOnReleaseOverTheButtonAndOnlyForTheLeftButton) {
    Up(WM_LBUTTONDOWN);
    EXPECT_TRUE(UpClicks.empty());
    Up(WM_LBUTTONUP, 0);
    EXPECT_EQ(UpClicks.size(), 1u);
    Up(WM_LBUTTONDOWN);
    Mouse(Pair->Handle(), WM_LBUTTONUP, 0, 7, 40);
    Up(WM_RBUTTONDOWN, MK_RBUTTON);
    PumpFor(600);
    Up(WM_RBUTTONUP, 0);
    EXPECT_EQ(UpClicks.size(), 1u);
    EXPECT_FALSE(Pair->UpButton()->RepeatTimer()->Enabled());
    Down(WM_LBUTTONDOWN);
    Down(WM_LBUTTONUP, 0);
    EXPECT_EQ(DownClicks, 1);
}

TEST_F(SpinButtonTest, HeldButtonRepeatsAfter400MsThenEvery100WhileThePointerIsOverIt) {
    EXPECT_EQ(Pair->UpButton()->RepeatTimer(), nullptr);
    Up(WM_LBUTTONDOWN);
    PumpFor(1000);
    ASSERT_GE(UpClicks.size(), 4u);
    EXPECT_LE(UpClicks.size(), 9u);
    EXPECT_GE(UpClicks.front(), 350u);

    // Off the button the clicks pause; back over it they resume.
    Mouse(Pair->Handle(), WM_MOUSEMOVE, MK_LBUTTON, 7, 40);
    std::size_t paused = UpClicks.size();
    PumpFor(400);
    EXPECT_EQ(UpClicks.size(), paused);
    Up(WM_MOUSEMOVE);
    EXPECT_TRUE(PumpUntil([&] { return UpClicks.size() > paused; }, 2000));
    std::size_t held = UpClicks.size();
    Up(WM_LBUTTONUP, 0);
    EXPECT_EQ(UpClicks.size(), held + 1);
    PumpFor(300);
    EXPECT_EQ(UpClicks.size(), held + 1);
}

TEST_F(SpinButtonTest, LosingTheMouseWhileHeldEndsThePressWithoutAnotherClick) {
    HWND wnd = Pair->Handle();
    const COLORREF upTip = PixelAt(wnd, 7, 2);
    // Cancelled by the system (a message box coming up), or taken by another window (Alt+Tab).
    const std::function<void()> losses[] = {
        [wnd] { SendMessageA(wnd, WM_CANCELMODE, 0, 0); },
        [this] { SetCapture(Other->Handle()); },
    };
    for (const auto& lose : losses) {
        UpClicks.clear();
        Up(WM_LBUTTONDOWN);
        ASSERT_TRUE(PumpUntil([&] { return UpClicks.size() >= 2; }, 3000));
        ASSERT_NE(PixelAt(wnd, 7, 2), upTip);
        lose();
        const std::size_t held = UpClicks.size();
        PumpFor(500);
        EXPECT_EQ(UpClicks.size(), held);
        EXPECT_FALSE(Pair->UpButton()->IsPressed());
        EXPECT_FALSE(Pair->UpButton()->RepeatTimer()->Enabled());
        EXPECT_EQ(PixelAt(wnd, 7, 2), upTip);
        ReleaseCapture();
        // The release that follows clicks no more.
        Up(WM_LBUTTONUP, 0);
        EXPECT_EQ(UpClicks.size(), held);
    }
}

TEST_F(SpinButtonTest, FailingRepeatedClickIsReportedOnceAndTheButtonStaysUsable) {
    ErrorReportRecorder reports;
    int calls = 0;
    Pair->OnUpClick = [&](TObject*) {
        if (++calls == 1) {
            throw Exception("Step failed");
        }
    };
    Up(WM_LBUTTONDOWN);
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }, 2000));
    PumpFor(400);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(Pair->UpButton()->RepeatTimer()->Enabled());
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].Text, "Step failed.");
    Up(WM_LBUTTONUP, 0);
    Up(WM_LBUTTONDOWN);
    Up(WM_LBUTTONUP, 0);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(reports.Reports().size(), 1u);
}

TEST_F(SpinButtonTest, PressHandsTheFocusToFocusControlBeforeTheButtonGoesDown) {
    Pair->SetFocusControl(Partner);
    bool pressedOnEntry = true;
    Partner->OnEnter = [&](TObject*) { pressedOnEntry = Pair->DownButton()->IsPressed(); };
    Down(WM_LBUTTONDOWN);
    EXPECT_EQ(GetFocus(), Partner->Handle());
    EXPECT_FALSE(pressedOnEntry);
    EXPECT_TRUE(Pair->DownButton()->IsPressed());
    Down(WM_LBUTTONUP, 0);
    // Not a tab stop: the pair keeps its focused button and never takes the focus itself.
    EXPECT_EQ(Pair->FocusedButton(), Pair->UpButton());
    delete Partner;
    EXPECT_EQ(Pair->FocusControl(), nullptr);
    Other->SetFocus();
    Down(WM_LBUTTONDOWN);
    Down(WM_LBUTTONUP, 0);
    EXPECT_EQ(GetFocus(), Other->Handle());
    EXPECT_EQ(DownClicks, 2);
}

TEST_F(SpinButtonTest, StandAloneTabStopShowsAFocusFrameAndAnswersItsKeys) {
    Pair->SetBounds(10, 10, 20, 25);
    Pair->SetTabStop(true);
    HWND wnd = Pair->Handle();
    EXPECT_EQ(SendMessageA(wnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    auto row3 = [&] {
        std::vector<COLORREF> row;
        for (int x = 0; x < 20; ++x) {
            row.push_back(PixelAt(wnd, x, 3));
        }
        return row;
    };
    std::vector<COLORREF> plain = row3();
    Pair->SetFocus();
    PumpFor(20);
    EXPECT_NE(Pair->UpButton()->ButtonFlags() & TButtonFlag::FocusFrame, 0u);
    EXPECT_NE(row3(), plain);
    Mouse(wnd, WM_KEYDOWN, VK_DOWN, 0, 1);
    EXPECT_EQ(Pair->FocusedButton(), Pair->DownButton());
    EXPECT_EQ(row3(), plain);
    Mouse(wnd, WM_KEYDOWN, VK_SPACE, 0, 1);
    EXPECT_EQ(DownClicks, 2);
    EXPECT_TRUE(UpClicks.empty());
    // Pressing the other button moves the frame without losing the focus.
    Mouse(wnd, WM_LBUTTONDOWN, MK_LBUTTON, 7, 3);
    Mouse(wnd, WM_LBUTTONUP, 0, 7, 3);
    EXPECT_EQ(Pair->FocusedButton(), Pair->UpButton());
    EXPECT_EQ(GetFocus(), wnd);
    EXPECT_EQ(Pair->DownButton()->ButtonFlags() & TButtonFlag::FocusFrame, 0u);
}

TEST_F(SpinButtonTest, PaintsTheArrowWithoutItsBackgroundAndShiftsItWhilePressed) {
    HWND wnd = Pair->Handle();
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 15; ++x) {
            ASSERT_NE(PixelAt(wnd, x, y), Olive) << x << "," << y;
        }
    }
    // The up arrow's tip: column 4, row 1 of the 9 x 6 image centred in the 15 x 8 button.
    EXPECT_EQ(PixelAt(wnd, 7, 2), Black);
    Up(WM_LBUTTONDOWN);
    EXPECT_EQ(PixelAt(wnd, 8, 3), Black);
    EXPECT_NE(PixelAt(wnd, 7, 2), Black);
    Up(WM_LBUTTONUP, 0);
    Pair->UpButton()->SetEnabled(false);
    EXPECT_EQ(PixelAt(wnd, 7, 2), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(SpinButtonTest, BuiltInGlyphResetsOnlyItsOwnButtonsImageCount) {
    Pair->SetUpNumGlyphs(3);
    Pair->SetDownNumGlyphs(2);
    TBitmap plain;
    plain.LoadFromResourceName(GetModuleHandleA(nullptr), "SpinUp");
    Pair->SetDownGlyph(&plain);
    plain.Clear();
    EXPECT_EQ(Pair->DownGlyph().PixelAt(1, 1), Olive);
    EXPECT_EQ(Pair->DownNumGlyphs(), 2);
    Pair->SetDownGlyph(nullptr);
    EXPECT_EQ(Pair->DownNumGlyphs(), 1);
    EXPECT_EQ(Pair->UpNumGlyphs(), 3);
    // The down arrow is widest at its top row.
    EXPECT_EQ(Pair->DownGlyph().PixelAt(1, 1), Black);
    EXPECT_EQ(Pair->DownGlyph().PixelAt(4, 4), Black);
}
} // namespace
