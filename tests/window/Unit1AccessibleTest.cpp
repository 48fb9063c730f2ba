// The calendar window as a screen reader reads it: through the platform's client side,
// AccessibleObjectFromWindow, and the events it follows.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "window/Unit1.h"

namespace {
BOOL QuietShell(DWORD, NOTIFYICONDATAA*) {
    return TRUE;
}

TLocalDate gToday{2026, 12, 8};
TLocalDate FakeToday() {
    return gToday;
}

// Drops its reference at the end of the scope.
template <typename T> struct Held {
    T* p = nullptr;
    ~Held() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T* operator->() const { return p; }
};

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string Text(BSTR text) {
    std::string result;
    for (const wchar_t* c = text; c != nullptr && *c != 0; ++c) {
        result += static_cast<char>(*c);
    }
    SysFreeString(text);
    return result;
}

std::string Name(IAccessible* object, long id) {
    BSTR name = nullptr;
    object->get_accName(Child(id), &name);
    return Text(name);
}

long Role(IAccessible* object, long id) {
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(Child(id), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

IAccessible* ObjectOf(HWND wnd) {
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
}

// The screen rectangle of a windowless child, as left, top, width, height.
std::vector<long> ScreenBox(const TControl* control) {
    POINT origin{control->Left(), control->Top()};
    ClientToScreen(Form1->Handle(), &origin);
    return {origin.x, origin.y, control->Width(), control->Height()};
}

std::vector<long> Location(IAccessible* object, long id) {
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(object->accLocation(&x, &y, &w, &h, Child(id)), S_OK);
    return {x, y, w, h};
}

struct NameChange {
    HWND Window;
    LONG Object;
    LONG Child;
};
std::vector<NameChange> gNameChanges;

void CALLBACK RecordNameChange(HWINEVENTHOOK, DWORD, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
    gNameChanges.push_back({wnd, object, child});
}

class CalendarAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        gToday = {2026, 12, 8};
        Application->SetTitle("Brennow Calendar");
        Application->CreateForm(Form1);
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        Application->ProcessMessages();
    }

    ScopedSeam<BOOL (*)(DWORD, NOTIFYICONDATAA*)> FShell{Seam::ShellNotifyIcon, QuietShell};
    ScopedSeam<TLocalDate (*)()> FClock{Seam::LocalDate, FakeToday};
};
} // namespace

TEST_F(CalendarAccessibleTest, AClientReadsTheRowsTheHideButtonAndTheFieldsInPaintingOrderOnTheScreen) {
    Held<IAccessible> window{ObjectOf(Form1->Handle())};
    ASSERT_NE(window.p, nullptr);
    EXPECT_EQ(Name(window.p, CHILDID_SELF), "Brennow Calendar");
    long count = 0;
    ASSERT_EQ(window->get_accChildCount(&count), S_OK);
    // Four rows and the hide button, then the group and the two check boxes; no frames.
    ASSERT_EQ(count, 8);
    const std::vector<std::string> names{"Hriive", "Loa: 10", "Yeen: 15", "Re: 16", "Hide"};
    for (long id = 1; id <= 5; ++id) {
        EXPECT_EQ(Name(window.p, id), names[id - 1]);
        EXPECT_EQ(Role(window.p, id), id == 5 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_STATICTEXT);
    }
    BSTR action = nullptr;
    EXPECT_EQ(window->get_accDefaultAction(Child(5), &action), S_OK);
    EXPECT_EQ(Text(action), "Press");

    // Screen coordinates, both ways.
    EXPECT_EQ(Location(window.p, 4), ScreenBox(Form1->lblDay));
    EXPECT_EQ(Location(window.p, 5), ScreenBox(Form1->Image1));
    const std::vector<long> day = ScreenBox(Form1->lblDay);
    VARIANT hit;
    ASSERT_EQ(window->accHitTest(day[0] + 5, day[1] + 5, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 4);

    VARIANT next;
    ASSERT_EQ(window->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, 1);
    ASSERT_EQ(window->accNavigate(NAVDIR_NEXT, Child(4), &next), S_OK);
    EXPECT_EQ(next.lVal, 5);
    // The group box comes as an object of its own window.
    ASSERT_EQ(window->accNavigate(NAVDIR_NEXT, Child(5), &next), S_OK);
    ASSERT_EQ(next.vt, VT_DISPATCH);
    Held<IAccessible> groupObject;
    ASSERT_EQ(next.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&groupObject.p)),
              S_OK);
    next.pdispVal->Release();
    HWND group = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(groupObject.p, &group), S_OK);
    EXPECT_EQ(group, Form1->GroupBox1->Handle());
    Held<IDispatch> parent;
    ASSERT_EQ(window->get_accParent(&parent.p), S_OK);
    ASSERT_NE(parent.p, nullptr);

    // The fields, named by their captions, and the halves of their arrow pairs.
    Held<IAccessible> field{ObjectOf(Form1->spnDay->Handle())};
    ASSERT_NE(field.p, nullptr);
    EXPECT_EQ(Name(field.p, CHILDID_SELF), "Day");
    EXPECT_EQ(Role(field.p, CHILDID_SELF), ROLE_SYSTEM_TEXT);
    BSTR value = nullptr;
    field->get_accValue(Child(CHILDID_SELF), &value);
    EXPECT_EQ(Text(value), "1");
    Held<IAccessible> year{ObjectOf(Form1->SpnYear->Handle())};
    EXPECT_EQ(Name(year.p, CHILDID_SELF), "Year");
    Held<IAccessible> pair{ObjectOf(Form1->spnDay->Button()->Handle())};
    ASSERT_NE(pair.p, nullptr);
    ASSERT_EQ(pair->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Name(pair.p, 1), "Increase");
    EXPECT_EQ(Name(pair.p, 2), "Decrease");
    EXPECT_EQ(Role(pair.p, 2), ROLE_SYSTEM_PUSHBUTTON);
}

TEST_F(CalendarAccessibleTest, DefaultActionsStepTheDayFieldAndHideTheWindowAsClicksDo) {
    Held<IAccessible> pair{ObjectOf(Form1->spnDay->Button()->Handle())};
    ASSERT_NE(pair.p, nullptr);
    // With the converter off the group takes no clicks, and no default action either.
    EXPECT_EQ(pair->accDoDefaultAction(Child(1)), E_FAIL);
    Form1->chkConvert->SetChecked(true);
    ASSERT_TRUE(Form1->GroupBox1->Enabled());
    Form1->SpnYear->SetValue(2026);
    Form1->spnMonth->SetValue(12);
    Form1->spnDay->SetValue(8);
    ASSERT_EQ(Form1->lblDay->Caption(), "16");

    EXPECT_EQ(pair->accDoDefaultAction(Child(1)), S_OK);
    ASSERT_TRUE(PumpUntil([] { return Form1->spnDay->Value() == 9; }));
    EXPECT_EQ(Form1->lblDay->Caption(), "17");
    {
        BeepRecorder beeps;
        Form1->spnDay->SetReadOnly(true);
        EXPECT_EQ(pair->accDoDefaultAction(Child(2)), S_OK);
        ASSERT_TRUE(PumpUntil([&beeps] { return beeps.Count() == 1; }));
        EXPECT_EQ(Form1->spnDay->Value(), 9);
    }

    // The converter's first click hid the window once; it is back, as from the tray.
    Form1->Show();
    Held<IAccessible> window{ObjectOf(Form1->Handle())};
    ASSERT_TRUE(IsWindowVisible(Form1->Handle()));
    EXPECT_EQ(window->accDoDefaultAction(Child(5)), S_OK);
    EXPECT_TRUE(PumpUntil([] { return !IsWindowVisible(Form1->Handle()); }));
    // A static text has no action.
    EXPECT_EQ(window->accDoDefaultAction(Child(4)), DISP_E_MEMBERNOTFOUND);
}

TEST_F(CalendarAccessibleTest, ANewDateAnnouncesOneNameChangeAndAnUnchangedTickNone) {
    gNameChanges.clear();
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, RecordNameChange,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Form1->SpinEdit1Change(nullptr);
    PumpFor(300);
    EXPECT_TRUE(gNameChanges.empty());

    gToday = {2026, 12, 9};
    Form1->SpinEdit1Change(nullptr);
    EXPECT_TRUE(PumpUntil([] { return !gNameChanges.empty(); }));
    PumpFor(300);
    UnhookWinEvent(hook);
    ASSERT_EQ(gNameChanges.size(), 1u);
    EXPECT_EQ(gNameChanges[0].Window, Form1->Handle());
    EXPECT_EQ(gNameChanges[0].Object, OBJID_CLIENT);
    Held<IAccessible> window{ObjectOf(Form1->Handle())};
    EXPECT_EQ(Name(window.p, gNameChanges[0].Child), "Re: 17");
}

TEST_F(CalendarAccessibleTest, AnObjectHeldPastItsWindowAnswersEFail) {
    Held<IAccessible> window{ObjectOf(Form1->Handle())};
    Held<IAccessible> pair{ObjectOf(Form1->spnDay->Button()->Handle())};
    ASSERT_NE(window.p, nullptr);
    ASSERT_NE(pair.p, nullptr);
    delete Form1;
    Form1 = nullptr;
    long count = 0;
    EXPECT_EQ(window->get_accChildCount(&count), E_FAIL);
    BSTR name = nullptr;
    EXPECT_EQ(window->get_accName(Child(1), &name), E_FAIL);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(pair->accDoDefaultAction(Child(1)), E_FAIL);
}
