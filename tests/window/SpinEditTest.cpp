// The spin field as a user meets it: typing, keys, clipboard, arrows and focus in a real form.
#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "window/Spin.h"

namespace {
// The converter's three fields as the calendar window describes them, behind another edit.
class TConverterForm : public TForm {
public:
    explicit TConverterForm(TComponent* AOwner) : TForm(AOwner) {
        BeginDescription();
        SetBounds(100, 100, 322, 267);
        Other = Describe(new TCustomEdit(this));
        Other->SetParent(this);
        Other->SetBounds(10, 60, 100, 22);
        Day = Field(35, 41, 31);
        Month = Field(114, 41, 12);
        Year = Field(184, 61, 2100);
        EndDescription();
    }
    TSpinEdit* Field(int left, int width, int max) {
        auto* field = Describe(new TSpinEdit(this));
        field->SetParent(this);
        field->SetBounds(left, 13, width, 22);
        field->SetMaxValue(max);
        field->SetMinValue(1);
        field->SetValue(1);
        field->OnChange = [this](TObject* sender) {
            Changes.push_back(static_cast<TSpinEdit*>(sender)->Value());
        };
        return field;
    }
    TCustomEdit* Other;
    TSpinEdit* Day;
    TSpinEdit* Month;
    TSpinEdit* Year;
    std::vector<int> Changes; // Value read in each OnChange
};

void Type(TWinControl* control, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        PostMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
    PumpFor(20);
}

void Key(TWinControl* control, WORD key) {
    PostMessageA(control->Handle(), WM_KEYDOWN, key, 1);
    PumpFor(20);
}

void Mouse(HWND wnd, UINT msg, WPARAM keys, int x, int y) {
    PostMessageA(wnd, msg, keys, MAKELPARAM(x, y));
    PumpFor(20);
}

// A short click on the up (or down) arrow of a field, at the middle of the button.
void ClickArrow(TSpinEdit* field, bool up) {
    HWND pair = field->Button()->Handle();
    int y = up ? 3 : 12;
    Mouse(pair, WM_LBUTTONDOWN, MK_LBUTTON, 7, y);
    Mouse(pair, WM_LBUTTONUP, 0, 7, y);
}

void SetClipboardText(HWND owner, const char* text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(memory), text, std::strlen(text) + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

// The text areas the fields ask their edits for.
std::vector<RECT> gAreas;
LRESULT CALLBACK RecordTextArea(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (call->message == EM_SETRECTNP) {
        gAreas.push_back(*reinterpret_cast<RECT*>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD Selection(TWinControl* edit) {
    return static_cast<DWORD>(SendMessageA(edit->Handle(), EM_GETSEL, 0, 0));
}

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TConverterForm(Application);
        Form->Show();
        Form->Other->SetFocus();
        PumpFor(50);
    }
    void TearDown() override { delete Form; }
    TConverterForm* Form = nullptr;
};

TEST(SpinEditAlone, WithoutWindowStepsWrapAndReportEachChangeOnce) {
    TSpinEdit field(nullptr);
    int changes = 0;
    field.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &field);
        ++changes;
    };
    EXPECT_EQ(field.Text(), "0");
    field.StepUp(nullptr);
    EXPECT_EQ(field.Text(), "1");
    field.StepDown(nullptr);
    field.StepDown(nullptr);
    EXPECT_EQ(field.Text(), "-1");
    field.SetValue(-1);
    EXPECT_EQ(changes, 3);
    field.SetValue(INT_MAX);
    field.StepUp(nullptr);
    EXPECT_EQ(field.Text(), "-2147483648");
    field.SetIncrement(INT_MIN);
    field.StepDown(nullptr);
    EXPECT_EQ(field.Value(), 0);
    EXPECT_FALSE(field.HandleAllocated());
}

TEST_F(SpinEditTest, LoadsQuietlyAndLaysOutTheWorkedGeometry) {
    EXPECT_TRUE(Form->Changes.empty());
    EXPECT_EQ(Form->Day->Text(), "1");
    // The text area as the field asks for it: the edit reports it back inset by its border.
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordTextArea, nullptr, GetCurrentThreadId());
    for (int width : {61, 41}) {
        Form->Day->SetWidth(width);
        TSpinButton* pair = Form->Day->Button();
        RECT placed{};
        GetWindowRect(pair->Handle(), &placed);
        MapWindowPoints(nullptr, Form->Day->Handle(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, width - 20);
        EXPECT_EQ(placed.top, 0);
        EXPECT_EQ(placed.right - placed.left, 15);
        EXPECT_EQ(placed.bottom - placed.top, 17);
        ASSERT_FALSE(gAreas.empty());
        EXPECT_EQ(gAreas.back().left, 0);
        EXPECT_EQ(gAreas.back().right, width - 21);
        EXPECT_EQ(gAreas.back().bottom, 19);
    }
    UnhookWindowsHookEx(hook);
    // A new font resets the edit's text area; the field keeps it left of the pair.
    Form->Day->Font().SetStyle(fsBold);
    RECT area{};
    SendMessageA(Form->Day->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    EXPECT_GT(area.bottom, area.top);
    EXPECT_GT(area.right, area.left);
    EXPECT_LE(area.right, 20);
    const TSpinButton* pair = Form->Day->Button();
    EXPECT_EQ(pair->UpButton()->BoundsRect().bottom, 8);
    EXPECT_EQ(pair->DownButton()->Top(), 7);
    EXPECT_EQ(pair->DownButton()->Height(), 10);
    EXPECT_EQ(Form->Year->Button()->Left(), 41);

    // "MS Sans Serif" 11 px is 13 high, the system font 16: 13 + 3 + 4 + 2.
    EXPECT_EQ(Form->Day->MinimumHeight(), 22);
    Form->Day->SetHeight(10);
    RECT outer{};
    GetWindowRect(Form->Day->Handle(), &outer);
    EXPECT_EQ(outer.bottom - outer.top, 22);
    EXPECT_EQ(Form->Day->Height(), 22);
}

TEST_F(SpinEditTest, FlatFieldPlacesThePairAgainstItsRightEdge) {
    auto* flat = new TSpinEdit(Form);
    flat->SetCtl3D(false);
    flat->SetBounds(10, 100, 41, 22);
    flat->SetParent(Form);
    EXPECT_EQ(flat->Button()->BoundsRect().left, 26);
    EXPECT_EQ(flat->Button()->Top(), 1);
    EXPECT_EQ(flat->Button()->Height(), 19);
}

TEST_F(SpinEditTest, EveryTextChangeIsReportedOnce) {
    int changes = 0;
    Form->Other->OnChange = [&](TObject*) { ++changes; };
    Form->Other->SetText("x");
    Form->Other->SetText("x");
    Type(Form->Other, "y");
    EXPECT_EQ(changes, 2);
    Form->Day->SetText("5");
    Type(Form->Day, "7"); // at the caret, which a write leaves at the start
    EXPECT_EQ(Form->Changes, (std::vector<int>{5, 75}));
}

TEST_F(SpinEditTest, TypingIsReportedAsTypedAndClampedOnlyOnLeaving) {
    // Tab enters with the whole text selected, so typing replaces it.
    Key(Form->Other, VK_TAB);
    ASSERT_EQ(GetFocus(), Form->Day->Handle());
    Type(Form->Day, "45");
    EXPECT_EQ(Form->Changes, (std::vector<int>{4, 45}));
    Key(Form->Day, VK_TAB);
    EXPECT_EQ(Form->Day->Text(), "31");
    EXPECT_EQ(Form->Changes, (std::vector<int>{4, 45, 31}));

    Type(Form->Month, "0");
    EXPECT_EQ(Form->Month->Value(), 0);
    Key(Form->Month, VK_TAB);
    EXPECT_EQ(Form->Month->Text(), "1");

    // Kept as typed when within the limits.
    Type(Form->Year, "+5");
    Key(Form->Year, VK_TAB);
    EXPECT_EQ(Form->Year->Text(), "+5");

    // Emptied: reads the lower limit, stays empty on leaving, steps from the limit.
    Form->Day->SetFocus();
    Type(Form->Day, "\b\b");
    EXPECT_EQ(Form->Day->Value(), 1);
    Form->Other->SetFocus();
    EXPECT_EQ(Form->Day->Text(), "");
    Form->Changes.clear();
    Key(Form->Day, VK_UP);
    EXPECT_EQ(Form->Day->Text(), "2");
    EXPECT_EQ(Form->Changes, (std::vector<int>{2}));
}

TEST_F(SpinEditTest, RejectedCharactersBeepAndLeaveTheText) {
    Form->Day->SetFocus();
    PumpFor(20);
    BeepRecorder beeps;
    Form->Changes.clear();
    int keyPresses = 0;
    Form->Day->OnKeyPress = [&](TObject*, char&) { ++keyPresses; };
    // Enter, Ctrl+Enter (a line feed) and Tab never reach the multi-line edit underneath.
    Type(Form->Day, "\ra \n\t9");
    EXPECT_EQ(beeps.Count(), 5);
    EXPECT_EQ(keyPresses, 1);
    EXPECT_EQ(Form->Day->Text(), "9");
    EXPECT_EQ(SendMessageA(Form->Day->Handle(), EM_GETLINECOUNT, 0, 0), 1);
    char separator[8]{};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) < 2) {
        separator[0] = '.';
    }
    Type(Form->Day, std::string{separator[0], '\x1b'}.c_str());
    EXPECT_EQ(Form->Day->Text(), std::string("9") + separator[0]);
    EXPECT_EQ(Form->Day->Value(), 1);
    EXPECT_EQ(beeps.Count(), 5);

    // Without the editor, digits and Backspace beep while the arrows still step.
    Form->Day->SetText("5");
    Form->Day->SetEditorEnabled(false);
    Type(Form->Day, "7\b");
    EXPECT_EQ(beeps.Count(), 7);
    Key(Form->Day, VK_UP);
    EXPECT_EQ(Form->Day->Text(), "6");
}

TEST_F(SpinEditTest, PasteAndCutAreGatedWithoutABeep) {
    HWND day = Form->Day->Handle();
    Form->Day->SetFocus();
    PumpFor(20);
    SetClipboardText(Form->Handle(), "$1F");
    Form->Changes.clear();
    PostMessageA(day, WM_CHAR, 0x16, 1); // Ctrl+V over the selected "1"
    PumpFor(20);
    EXPECT_EQ(Form->Day->Text(), "$1F");
    EXPECT_EQ(Form->Changes, (std::vector<int>{31}));
    Form->Other->SetFocus();
    EXPECT_EQ(Form->Day->Text(), "$1F");

    BeepRecorder beeps;
    SetClipboardText(Form->Handle(), "12");
    for (int gate = 0; gate < 2; ++gate) {
        Form->Day->SetEditorEnabled(gate != 0);
        Form->Day->SetReadOnly(gate != 0);
        Form->Day->SelectAll();
        SendMessageA(day, WM_PASTE, 0, 0);
        SendMessageA(day, WM_CUT, 0, 0);
        EXPECT_EQ(Form->Day->Text(), "$1F");
    }
    EXPECT_EQ(beeps.Count(), 0);

    Form->Day->SetReadOnly(false);
    Form->Day->SelectAll();
    SendMessageA(day, WM_CUT, 0, 0);
    EXPECT_EQ(Form->Day->Text(), "");
    SendMessageA(day, WM_PASTE, 0, 0);
    EXPECT_EQ(Form->Day->Text(), "$1F");
}

TEST_F(SpinEditTest, StepsClampToStoredLimits) {
    TSpinEdit* year = Form->Year;
    year->SetIncrement(144);
    for (int expected = 145; expected <= 2017; expected += 144) {
        year->StepUp(nullptr);
        ASSERT_EQ(year->Value(), expected);
    }
    year->StepUp(nullptr);
    EXPECT_EQ(year->Text(), "2100");
    year->StepDown(nullptr);
    EXPECT_EQ(year->Text(), "1956");
    year->SetValue(84);
    year->StepDown(nullptr);
    EXPECT_EQ(year->Text(), "1");

    // Limits act at the next step, not when they are set.
    TSpinEdit* day = Form->Day;
    day->SetValue(31);
    Form->Changes.clear();
    day->SetMaxValue(20);
    EXPECT_EQ(day->Text(), "31");
    day->SetMaxValue(31);
    day->StepUp(nullptr);
    EXPECT_TRUE(Form->Changes.empty());
    day->StepDown(nullptr);
    EXPECT_EQ(Form->Changes, (std::vector<int>{30}));
    // Crossed limits: below MinValue gives MinValue, anything else MaxValue.
    day->SetMinValue(10);
    day->SetMaxValue(5);
    const std::pair<int, const char*> writes[] = {{3, "10"}, {7, "10"}, {10, "5"}, {12, "5"}};
    for (auto [written, text] : writes) {
        day->SetValue(written);
        EXPECT_EQ(day->Text(), text);
    }
}

TEST_F(SpinEditTest, ReadOnlyFieldBeepsOnEveryStep) {
    BeepRecorder beeps;
    Form->Day->SetReadOnly(true);
    int keyDowns = 0;
    Form->Day->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keyDowns += key == VK_UP; };
    Key(Form->Day, VK_UP);
    ClickArrow(Form->Day, true);
    ClickArrow(Form->Day, false);
    EXPECT_EQ(beeps.Count(), 3);
    EXPECT_EQ(keyDowns, 1);
    EXPECT_EQ(Form->Day->Text(), "1");
    EXPECT_TRUE(Form->Changes.empty());
}

TEST_F(SpinEditTest, PressingAnArrowFocusesTheFieldWithItsTextSelected) {
    HWND pair = Form->Day->Button()->Handle();
    Form->Day->SetText("12");
    Mouse(pair, WM_LBUTTONDOWN, MK_LBUTTON, 7, 3);
    EXPECT_EQ(GetFocus(), Form->Day->Handle());
    EXPECT_EQ(Selection(Form->Day), static_cast<DWORD>(MAKELONG(0, 2)));
    EXPECT_EQ(Form->Day->Text(), "12");
    Mouse(pair, WM_LBUTTONUP, 0, 7, 3);
    EXPECT_EQ(Form->Day->Text(), "13");

    // A click into the text places the caret instead.
    Form->Month->SetText("10");
    Mouse(Form->Month->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 2, 5);
    Mouse(Form->Month->Handle(), WM_LBUTTONUP, 0, 2, 5);
    EXPECT_EQ(GetFocus(), Form->Month->Handle());
    EXPECT_EQ(HIWORD(Selection(Form->Month)), LOWORD(Selection(Form->Month)));

    Form->Year->SetAutoSelect(false);
    Key(Form->Month, VK_TAB);
    EXPECT_EQ(GetFocus(), Form->Year->Handle());
    EXPECT_EQ(HIWORD(Selection(Form->Year)), LOWORD(Selection(Form->Year)));
}

TEST_F(SpinEditTest, HoldingAnArrowStepsRepeatedlyAndOnceMoreOnRelease) {
    HWND pair = Form->Day->Button()->Handle();
    Mouse(pair, WM_LBUTTONDOWN, MK_LBUTTON, 7, 3);
    PumpFor(1000);
    std::size_t held = Form->Changes.size();
    EXPECT_GE(held, 4u);
    EXPECT_LE(held, 9u);
    Mouse(pair, WM_LBUTTONUP, 0, 7, 3);
    ASSERT_EQ(Form->Changes.size(), held + 1);
    EXPECT_EQ(Form->Day->Value(), static_cast<int>(held) + 2);
}

class TTenfoldEdit : public TSpinEdit {
public:
    using TSpinEdit::TSpinEdit;
    void StepUp(TObject*) override {
        ++Steps;
        SetValue(Value() * 10);
    }
    // Outlives the field, so a step reaching a destroyed field is counted, not lost.
    static inline int Steps = 0;
};

TEST_F(SpinEditTest, ArrowsReachADerivedFieldsStepAndDieWithTheField) {
    auto* field = new TTenfoldEdit(Form);
    field->SetParent(Form);
    field->SetBounds(10, 100, 41, 22);
    field->SetValue(3);
    ClickArrow(field, true);
    EXPECT_EQ(field->Text(), "30");
    // Destroyed while its arrow is held: no tick may reach it afterwards.
    Mouse(field->Button()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 7, 3);
    const int steps = TTenfoldEdit::Steps;
    EXPECT_EQ(steps, 1);
    delete field;
    PumpFor(600);
    EXPECT_EQ(TTenfoldEdit::Steps, steps);
    Key(Form->Day, VK_UP);
    EXPECT_EQ(Form->Day->Text(), "2");
}
} // namespace
