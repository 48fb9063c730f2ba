// The toolkit's core (components, the application, forms, dispatch) and its simple controls,
// driven through real windows and messages.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Forms.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"

namespace {
const TColor FormColour = RgbColor(79, 176, 147);

// The snapshot with the extent of a colour.
class Snapshot : public WindowSnapshot {
public:
    using WindowSnapshot::WindowSnapshot;

    // Columns in [left, right) and rows in [top, bottom) that hold colour, as a bounding box;
    // empty when there is none.
    RECT Extent(RECT area, COLORREF colour) const {
        RECT found{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (At(x, y) == colour) {
                    found.left = std::min<LONG>(found.left, x);
                    found.top = std::min<LONG>(found.top, y);
                    found.right = std::max<LONG>(found.right, x + 1);
                    found.bottom = std::max<LONG>(found.bottom, y + 1);
                }
            }
        }
        return found;
    }

    bool Same(const Snapshot& other, RECT area) const {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (At(x, y) != other.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }
};

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

std::unique_ptr<TForm> ShowForm(int width, int height) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetColor(FormColour);
    form->SetBounds(20, 20, width, height);
    form->Show();
    SetForegroundWindow(form->Handle());
    PumpFor(20);
    return form;
}

template <typename T> T* Add(TWinControl& parent, int left, int top, int width, int height) {
    auto* control = new T(parent.ParentForm() != nullptr ? static_cast<TComponent*>(parent.ParentForm())
                                                         : static_cast<TComponent*>(&parent));
    control->SetBounds(left, top, width, height);
    control->SetParent(&parent);
    return control;
}

void PostClick(HWND wnd, int x, int y) {
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpFor(50);
}

// A click by the user: the pointer moves there and the button goes down and up, so the
// system decides which window gets it.
void UserClick(HWND wnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(wnd, &p);
    SetCursorPos(p.x, p.y);
    PumpFor(30);
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    PumpFor(100);
}

void PostKey(UINT vk) {
    PostMessageA(GetFocus(), WM_KEYDOWN, vk, 1);
    PostMessageA(GetFocus(), WM_KEYUP, vk, 0xC0000001);
    PumpFor(50);
}

// Marks a key as held for this thread, as the message loop reads it through GetKeyState.
class HeldKey {
public:
    explicit HeldKey(int vk) {
        GetKeyboardState(FSaved);
        BYTE state[256];
        std::memcpy(state, FSaved, sizeof(state));
        state[vk] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKey() { SetKeyboardState(FSaved); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    BYTE FSaved[256];
};

// The system's edit control, wrapped the plain way.
class PlainEdit : public TWinControl {
public:
    explicit PlainEdit(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
    std::string Text() {
        char buffer[256] = {};
        GetWindowTextA(Handle(), buffer, sizeof(buffer));
        return buffer;
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WinClassName = "EDIT";
        params.Style |= ES_AUTOHSCROLL;
        params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

// A windowed control of our own class, to click on.
class Pad : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

template <typename Base> class Counting : public Base {
public:
    using Base::Base;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Base::Paint();
    }
};

// ---------------------------------------------------------------- components

class Probe : public TComponent {
public:
    Probe(TComponent* owner, const std::string& name, std::vector<std::string>& log)
        : TComponent(owner), FLog(log) {
        Name = name;
    }
    ~Probe() override { FLog.push_back("destroy " + Name); }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove && Name.starts_with("watcher")) {
            FLog.push_back(Name + " told " + component->Name + " went");
        }
    }

private:
    std::vector<std::string>& FLog;
};
} // namespace

TEST(Component, OwnedComponentsGoLastCreatedFirstAndWatchersAreTold) {
    std::vector<std::string> log;
    auto* owner = new Probe(nullptr, "owner", log);
    new Probe(owner, "a", log);
    auto* b = new Probe(owner, "b", log);
    new Probe(owner, "c", log);
    auto* d = new Probe(owner, "d", log);
    Probe watcher(nullptr, "watcher", log);
    watcher.FreeNotification(b);
    watcher.FreeNotification(d);

    // One destroyed on its own leaves its owner's list and tells the watcher.
    delete d;
    EXPECT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->FindComponent("d"), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"destroy d", "watcher told d went"}));

    log.clear();
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"destroy owner", "destroy c", "destroy b", "watcher told b went",
                                             "destroy a"}));
}

TEST(Component, AWatcherDestroyedFirstIsNotToldLater) {
    std::vector<std::string> log;
    auto* watched = new Probe(nullptr, "watched", log);
    auto* first = new Probe(nullptr, "watcher 1", log);
    Probe second(nullptr, "watcher 2", log);
    first->FreeNotification(watched);
    second.FreeNotification(watched);
    delete first;
    log.clear();
    delete watched;
    EXPECT_EQ(log, (std::vector<std::string>{"destroy watched", "watcher 2 told watched went"}));
}

namespace {
class LoadProbe : public TComponent {
public:
    LoadProbe(TComponent* owner, const std::string& name, std::vector<std::string>& log)
        : TComponent(owner), FLog(log) {
        Name = name;
    }
    void SetTag(int value) {
        Tag = value;
        FLog.push_back(Name + " tag " + std::to_string(value) + (IsLoading() ? " while loading" : ""));
    }
    void Loaded() override {
        TComponent::Loaded();
        // The whole description has been read: every sibling exists with its properties.
        const auto* last = dynamic_cast<LoadProbe*>(Owner()->FindComponent("last"));
        FLog.push_back("loaded " + Name +
                       (last != nullptr ? ", last has tag " + std::to_string(last->Tag) : ""));
    }

private:
    std::vector<std::string>& FLog;
};

std::vector<std::string> gDescribedLog;

class DescribedForm : public TForm {
public:
    explicit DescribedForm(TComponent* owner) : TForm(owner) {
        BeginDescription();
        Describe(new LoadProbe(this, "first", gDescribedLog))->SetTag(1);
        Describe(new LoadProbe(this, "last", gDescribedLog))->SetTag(2);
        OnCreate = [](TObject* sender) {
            gDescribedLog.push_back(std::string("create handler") +
                                    (sender != nullptr && !static_cast<TForm*>(sender)->IsLoading()
                                         ? " on the loaded form"
                                         : ""));
        };
        EndDescription();
        gDescribedLog.push_back("description read");
    }
};

TForm* TheMainForm() {
    if (Application->MainForm() == nullptr) {
        TForm* form = nullptr;
        Application->CreateForm(form);
    }
    return Application->MainForm();
}
} // namespace

TEST(Form, ComponentsAreLoadedAfterTheWholeDescriptionAndBeforeTheCreateHandler) {
    gDescribedLog.clear();
    DescribedForm* form = nullptr;
    Application->CreateForm(form);
    std::unique_ptr<DescribedForm> owned(form);
    EXPECT_EQ(gDescribedLog, (std::vector<std::string>{
                                 "first tag 1 while loading",
                                 "last tag 2 while loading",
                                 "loaded first, last has tag 2",
                                 "loaded last, last has tag 2",
                                 "description read",
                                 "create handler on the loaded form",
                             }));
    for (TComponent* c : form->Components()) {
        EXPECT_FALSE(c->IsLoading()) << c->Name;
    }
}

// ---------------------------------------------------------------- the application

TEST(Application, TheTaskbarEntryIsShownExactlyWhileTheMainFormIs) {
    TForm* main = TheMainForm();
    HWND taskbar = Application->Handle();
    char title[64] = {};
    GetWindowTextA(taskbar, title, sizeof(title));
    EXPECT_STREQ(title, "Toolkit Tests");

    main->Show();
    EXPECT_TRUE(IsWindowVisible(taskbar));
    main->Hide();
    EXPECT_FALSE(IsWindowVisible(taskbar));

    // Any other form comes and goes without it.
    auto other = std::make_unique<TForm>(nullptr);
    other->Show();
    EXPECT_TRUE(IsWindowVisible(other->Handle()));
    EXPECT_FALSE(IsWindowVisible(taskbar));
    main->Show();
    other->Hide();
    EXPECT_TRUE(IsWindowVisible(taskbar));
    other.reset();
    EXPECT_TRUE(IsWindowVisible(taskbar));
    main->Hide();
    EXPECT_FALSE(IsWindowVisible(taskbar));
    EXPECT_FALSE(IsWindowVisible(main->Handle()));
}

TEST(Application, TheReportAddsAFullStopOnlyAfterACharacterThatSortsAfterIt) {
    ErrorReportRecorder reports;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Tray Icon Error", "Tray Icon Error."},
        {"abc.", "abc."},
        {"x!", "x!"},
        {"Error 5", "Error 5."},
        {"a/b/", "a/b/."},
        {"--", "--"},
        {"100%", "100%"},
        {"caf\xE9", "caf\xE9."},
        {"", ""},
    };
    for (const auto& [message, expected] : cases) {
        try {
            throw Exception(message);
        } catch (...) {
            Application->HandleException(nullptr);
        }
    }
    try {
        throw std::runtime_error("Not an Exception");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    ASSERT_EQ(reports.Reports().size(), cases.size() + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(reports.Reports()[i].Text, cases[i].second) << cases[i].first;
        EXPECT_EQ(reports.Reports()[i].Title, "Toolkit Tests");
    }
    EXPECT_EQ(reports.Reports().back().Text, "Not an Exception.");
}

TEST(Application, AnExceptionFromAHandlerIsReportedAndMessagesGoOn) {
    ErrorReportRecorder reports;
    auto form = ShowForm(200, 100);
    auto* pad = Add<Pad>(*form, 10, 10, 50, 50);
    auto* image = Add<TImage>(*form, 100, 10, 50, 50);
    int padClicks = 0;
    pad->OnClick = [&](TObject*) {
        if (++padClicks == 1) {
            throw Exception("Pad failed");
        }
    };
    image->OnClick = [](TObject*) { throw std::runtime_error("Image failed"); };
    pad->OnKeyPress = [](TObject*, char& key) {
        if (key == 'x') {
            throw Exception("No x here");
        }
    };

    PostClick(pad->Handle(), 5, 5);
    PostClick(form->Handle(), 105, 15);
    pad->SetFocus();
    PostMessageA(pad->Handle(), WM_CHAR, 'x', 1);
    PumpFor(50);
    PostClick(pad->Handle(), 5, 5);

    ASSERT_EQ(reports.Reports().size(), 3u);
    EXPECT_EQ(reports.Reports()[0].Text, "Pad failed.");
    EXPECT_EQ(reports.Reports()[1].Text, "Image failed.");
    EXPECT_EQ(reports.Reports()[2].Text, "No x here.");
    EXPECT_EQ(padClicks, 2);
    // The windowless image's click left no mouse capture behind.
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Controls, EachClassStyleGetsAWindowClassOfItsOwn) {
    // Without CS_DBLCLKS a second quick press is a press again, not a double click.
    class SingleClickPad : public Pad {
    public:
        using Pad::Pad;

    protected:
        void CreateParams(TCreateParams& params) override {
            Pad::CreateParams(params);
            params.ClassStyle = CS_HREDRAW | CS_VREDRAW;
        }
    };
    auto form = ShowForm(200, 100);
    auto* plain = Add<Pad>(*form, 10, 10, 50, 50);
    auto* single = Add<SingleClickPad>(*form, 70, 10, 50, 50);
    auto* plainAgain = Add<Pad>(*form, 130, 10, 50, 50);
    auto styleOf = [](TWinControl* c) { return GetClassLongPtrA(c->Handle(), GCL_STYLE); };
    EXPECT_EQ(styleOf(plain), static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(styleOf(single), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(styleOf(plainAgain), static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(styleOf(form.get()), static_cast<ULONG_PTR>(CS_DBLCLKS));
}

// The canvas as an enhanced metafile records it: no font may be deleted while it is selected.
TEST(Canvas, AFontIsDeletedOnlyAfterItWasReplacedInTheDeviceContext) {
    HDC recording = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recording, nullptr);
    {
        TCanvas canvas(recording);
        canvas.TextOut(0, 0, "a");
        canvas.Font.SetHeight(-20);
        canvas.TextOut(0, 20, "b");
        canvas.Font.SetStyle(fsBold);
        canvas.TextRect({0, 40, 50, 60}, "c", 0);
    }
    HENHMETAFILE metafile = CloseEnhMetaFile(recording);
    ASSERT_NE(metafile, nullptr);
    std::vector<BYTE> bits(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteEnhMetaFile(metafile);

    std::vector<DWORD> fonts; // handle-table entries that hold fonts
    DWORD selected = 0;
    int created = 0;
    int deleted = 0;
    const auto isStockFont = [](DWORD index) {
        const DWORD stock = index & ~ENHMETA_STOCK_OBJECT;
        return (index & ENHMETA_STOCK_OBJECT) != 0 && stock >= OEM_FIXED_FONT && stock <= DEFAULT_GUI_FONT &&
               stock != DEFAULT_PALETTE;
    };
    for (std::size_t at = 0; at + sizeof(EMR) <= bits.size();) {
        EMR record{};
        std::memcpy(&record, bits.data() + at, sizeof record);
        DWORD index = 0;
        if (record.iType == EMR_EXTCREATEFONTINDIRECTW || record.iType == EMR_SELECTOBJECT ||
            record.iType == EMR_DELETEOBJECT) {
            std::memcpy(&index, bits.data() + at + sizeof(EMR), sizeof index);
        }
        const bool font = std::find(fonts.begin(), fonts.end(), index) != fonts.end();
        if (record.iType == EMR_EXTCREATEFONTINDIRECTW) {
            fonts.push_back(index);
            ++created;
        } else if (record.iType == EMR_SELECTOBJECT && (font || isStockFont(index))) {
            selected = index;
        } else if (record.iType == EMR_DELETEOBJECT && font) {
            EXPECT_NE(index, selected) << "font " << index << " deleted while selected";
            std::erase(fonts, index);
            ++deleted;
        }
        if (record.nSize == 0) {
            break;
        }
        at += record.nSize;
    }
    EXPECT_EQ(created, 3);
    EXPECT_EQ(deleted, 3);
}

// ---------------------------------------------------------------- focus

TEST(Form, TabAndShiftTabMoveTheFocusAlongTheTabStops) {
    auto form = ShowForm(300, 200);
    auto* a = Add<TCheckBox>(*form, 10, 10, 80, 17);
    auto* skipped = Add<TCheckBox>(*form, 10, 30, 80, 17);
    auto* b = Add<TCheckBox>(*form, 10, 50, 80, 17);
    auto* disabled = Add<TCheckBox>(*form, 10, 70, 80, 17);
    auto* c = Add<PlainEdit>(*form, 10, 90, 80, 22);
    auto* hidden = Add<TCheckBox>(*form, 10, 120, 80, 17);
    skipped->SetTabStop(false);
    disabled->SetEnabled(false);
    hidden->Hide();
    std::vector<std::string> moves;
    for (auto [control, name] :
         std::vector<std::pair<TWinControl*, std::string>>{{a, "a"}, {b, "b"}, {c, "c"}}) {
        control->OnEnter = [&moves, name](TObject*) { moves.push_back("enter " + name); };
        control->OnExit = [&moves, name](TObject*) { moves.push_back("exit " + name); };
    }

    a->SetFocus();
    ASSERT_TRUE(a->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(b->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(c->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    {
        HeldKey shift(VK_SHIFT);
        PostKey(VK_TAB);
        EXPECT_TRUE(c->Focused());
    }
    EXPECT_EQ(moves, (std::vector<std::string>{"enter a", "exit a", "enter b", "exit b", "enter c", "exit c",
                                               "enter a", "exit a", "enter c"}));

    // A new tab order is followed at once.
    c->SetTabOrder(0);
    PostKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(b->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(c->Focused());
}

// ---------------------------------------------------------------- group box

TEST(GroupBox, DisabledItBlocksItsChildrensInputWithoutGreyingThem) {
    auto form = ShowForm(300, 160);
    auto* group = Add<TGroupBox>(*form, 10, 10, 220, 90);
    group->SetCaption("Group");
    auto* label = Add<TLabel>(*group, 10, 20, 0, 0);
    label->SetCaption("Day:");
    auto* edit = Add<PlainEdit>(*group, 50, 16, 60, 22);
    auto* check = Add<TCheckBox>(*group, 10, 50, 100, 17);
    check->SetCaption("Inside");
    auto* first = Add<TCheckBox>(*form, 10, 110, 80, 17);
    auto* second = Add<TCheckBox>(*form, 100, 110, 80, 17);
    int labelClicks = 0;
    int checkClicks = 0;
    label->OnClick = [&](TObject*) { ++labelClicks; };
    check->OnClick = [&](TObject*) { ++checkClicks; };
    const RECT groupArea = group->BoundsRect();
    const Snapshot enabledLook(form->Handle());

    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    group->SetEnabled(false);
    // The focus does not stay inside, where keys would still reach the edit.
    EXPECT_FALSE(IsChild(group->Handle(), GetFocus()));
    EXPECT_TRUE(first->Focused());

    EXPECT_TRUE(Snapshot(form->Handle()).Same(enabledLook, groupArea));
    EXPECT_TRUE(edit->Enabled());
    EXPECT_TRUE(check->Enabled());
    EXPECT_TRUE(label->Enabled());
    EXPECT_TRUE(IsWindowEnabled(check->Handle()));

    PostClick(check->Handle(), 5, 8);
    UserClick(check->Handle(), 5, 8);
    PostClick(edit->Handle(), 5, 5);
    UserClick(edit->Handle(), 5, 5);
    UserClick(group->Handle(), 15, 25);
    PostClick(group->Handle(), 15, 25);
    PostMessageA(edit->Handle(), WM_CHAR, 'x', 1);
    PumpFor(50);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(checkClicks, 0);
    EXPECT_EQ(labelClicks, 0);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_FALSE(edit->CanFocus());
    edit->SetFocus();
    first->SetFocus();
    PostKey(VK_TAB);
    EXPECT_TRUE(second->Focused());
    PostKey(VK_TAB);
    EXPECT_TRUE(first->Focused());
    EXPECT_TRUE(Snapshot(form->Handle()).Same(enabledLook, groupArea));

    // Enabled again, the same input arrives.
    group->SetEnabled(true);
    UserClick(check->Handle(), 5, 8);
    EXPECT_TRUE(check->Checked());
    PostClick(check->Handle(), 5, 8);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(checkClicks, 2);
    UserClick(group->Handle(), 15, 25);
    EXPECT_EQ(labelClicks, 1);
    UserClick(edit->Handle(), 5, 5);
    EXPECT_TRUE(edit->Focused());
    PostMessageA(edit->Handle(), WM_CHAR, 'x', 1);
    PumpFor(50);
    EXPECT_EQ(edit->Text(), "x");
    first->SetFocus();
    PostKey(VK_TAB);
    PostKey(VK_TAB);
    EXPECT_TRUE(IsChild(group->Handle(), GetFocus()));
}

TEST(GroupBox, PaintsAnEtchedFrameWithItsCaptionOnTheTopLine) {
    auto form = ShowForm(200, 100);
    auto* group = Add<TGroupBox>(*form, 10, 10, 150, 60);
    group->SetCaption("Group");
    const Snapshot shot(form->Handle());
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    // An etched groove: shadow then highlight, going outwards on the right and bottom.
    EXPECT_EQ(shot.At(10, 40), shadow);
    EXPECT_EQ(shot.At(11, 40), highlight);
    EXPECT_EQ(shot.At(10 + 148, 40), shadow);
    EXPECT_EQ(shot.At(10 + 149, 40), highlight);
    EXPECT_EQ(shot.At(80, 10 + 58), shadow);
    EXPECT_EQ(shot.At(80, 10 + 59), highlight);
    const RECT caption = shot.Extent({10, 10, 160, 40}, text);
    ASSERT_FALSE(IsEmpty(caption));
    EXPECT_GE(caption.left, 10 + 8);
    EXPECT_LT(caption.left, 10 + 12);
    EXPECT_LT(caption.top, 10 + 4);
    // The frame's top line runs through the caption's height and is broken where the text is.
    const RECT topLine = shot.Extent({10, 10, 160, caption.bottom}, shadow);
    ASSERT_FALSE(IsEmpty(topLine));
    EXPECT_GT(topLine.top, 10);
    EXPECT_LT(topLine.top, caption.bottom);
    EXPECT_TRUE(IsEmpty(shot.Extent({caption.left, topLine.top, caption.right, topLine.top + 1}, shadow)));
    EXPECT_EQ(shot.At(10 + 100, topLine.top), shadow);
    EXPECT_EQ(shot.At(80, 40), ColorToRGB(FormColour));
}

// ---------------------------------------------------------------- check box

TEST(CheckBox, ClicksAndSpaceToggleItAndEveryChangeFiresOnClick) {
    auto form = ShowForm(200, 100);
    auto* box = Add<TCheckBox>(*form, 10, 10, 120, 17);
    box->SetCaption("Converter");
    int clicks = 0;
    box->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, box);
        ++clicks;
    };
    EXPECT_TRUE(box->TabStop());
    EXPECT_FALSE(box->Checked());

    PostClick(box->Handle(), 5, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks, 1);
    PostClick(box->Handle(), 5, 8);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);

    box->SetFocus();
    PostKey(VK_SPACE);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);

    // Set by the program: the box follows, and a change clicks as the user's does.
    box->SetChecked(false);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicks, 4);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 4);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 5);

    // A state set before the window exists shows once it does.
    auto* early = new TCheckBox(form.get());
    early->SetChecked(true);
    early->SetBounds(10, 40, 100, 17);
    early->SetParent(form.get());
    EXPECT_EQ(SendMessageA(early->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(CheckBox, TextGoesLeftOfTheBoxOnRequestOverTheParentsColour) {
    auto form = ShowForm(200, 100);
    auto* right = Add<TCheckBox>(*form, 10, 10, 100, 17);
    right->SetCaption("+144");
    auto* left = Add<TCheckBox>(*form, 10, 40, 100, 17);
    left->SetCaption("+144");
    left->SetAlignment(taLeftJustify);
    auto* late = Add<TCheckBox>(*form, 10, 70, 100, 17);
    late->SetCaption("+144");
    late->HandleNeeded();
    late->SetAlignment(taLeftJustify);

    const Snapshot shot(form->Handle());
    // The box's inside is the window colour; everything around the text is the form's.
    const COLORREF boxInside = GetSysColor(COLOR_WINDOW);
    const RECT rightBox = shot.Extent({10, 10, 110, 27}, boxInside);
    const RECT leftBox = shot.Extent({10, 40, 110, 57}, boxInside);
    const RECT lateBox = shot.Extent({10, 70, 110, 87}, boxInside);
    ASSERT_FALSE(IsEmpty(rightBox));
    ASSERT_FALSE(IsEmpty(leftBox));
    EXPECT_LT(rightBox.right, 10 + 20);
    EXPECT_GT(leftBox.left, 10 + 80);
    EXPECT_EQ(lateBox.left, leftBox.left);
    EXPECT_EQ(shot.At(10 + 90, 18), ColorToRGB(FormColour));
    EXPECT_EQ(shot.At(10 + 60, 48), ColorToRGB(FormColour));
}

// ---------------------------------------------------------------- label

TEST(Label, AutoSizeFitsTheTextAndAFixedLabelKeepsItsSize) {
    auto form = ShowForm(300, 100);
    auto* label = Add<TLabel>(*form, 10, 17, 0, 0);
    auto extent = [&](const std::string& text) {
        WindowDc screen(nullptr);
        DcSelection font(screen.get(), label->Font().Handle());
        SIZE size{};
        GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &size);
        return size;
    };
    EXPECT_TRUE(label->AutoSize());
    label->SetCaption("Month:");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top(), 17);
    EXPECT_EQ(label->Width(), extent("Month:").cx);
    EXPECT_EQ(label->Height(), 13);
    label->SetCaption("Day:");
    EXPECT_EQ(label->Width(), extent("Day:").cx);
    label->Font().SetHeight(-27);
    EXPECT_EQ(label->Width(), extent("Day:").cx);
    EXPECT_GT(label->Height(), 13);

    auto* fixed = Add<TLabel>(*form, 10, 50, 0, 0);
    fixed->SetAutoSize(false);
    fixed->SetBounds(10, 50, 101, 36);
    fixed->SetCaption("A long period name");
    EXPECT_EQ(fixed->Width(), 101);
    EXPECT_EQ(fixed->Height(), 36);
}

TEST(Label, OneLineFromTheTopAlignedAndClippedToItsRectangle) {
    const COLORREF labelColour = RGB(0, 0, 128);
    const COLORREF textColour = RGB(255, 255, 0);
    auto form = ShowForm(400, 260);
    auto make = [&](int top, int width, TAlignment alignment, const std::string& caption) {
        auto* label = Add<TLabel>(*form, 100, top, 0, 0);
        label->SetAutoSize(false);
        label->SetBounds(100, top, width, 36);
        label->SetColor(labelColour);
        label->Font().SetColor(textColour);
        label->SetAlignment(alignment);
        label->SetCaption(caption);
        return label;
    };
    make(10, 200, taLeftJustify, "Loa");
    make(50, 200, taRightJustify, "Loa");
    make(90, 200, taCenter, "Loa");
    make(130, 40, taLeftJustify, "WWWWWWWWWWWWWWWW");
    make(170, 40, taRightJustify, "WWWWWWWWWWWWWWWW");
    make(210, 40, taLeftJustify, "ab cd ef gh ij kl");
    const Snapshot shot(form->Handle());
    auto text = [&](int top) { return shot.Extent({90, top - 5, 310, top + 41}, textColour); };

    const RECT left = text(10);
    const RECT right = text(50);
    const RECT centre = text(90);
    ASSERT_FALSE(IsEmpty(left));
    EXPECT_LE(left.left, 100 + 2);
    EXPECT_LE(left.top, 10 + 4);
    // One line from the top edge: no vertical centring in the 36-pixel label.
    EXPECT_LE(left.bottom, 10 + 13);
    EXPECT_GE(right.right, 300 - 2);
    EXPECT_LE(right.right, 300);
    EXPECT_LE(std::abs((centre.left + centre.right) / 2 - 200), 2);
    EXPECT_EQ(centre.right - centre.left, left.right - left.left);
    // The label's own colour fills the rest of its rectangle.
    EXPECT_EQ(shot.At(100 + 150, 10 + 30), labelColour);

    // Too long: cut at the edges, nothing outside, and no second line.
    for (int top : {130, 170, 210}) {
        const RECT clipped = text(top);
        EXPECT_GE(clipped.left, 100) << top;
        EXPECT_LE(clipped.right, 140) << top;
        EXPECT_LE(clipped.bottom, top + 13) << top;
        EXPECT_EQ(shot.At(99, top + 5), ColorToRGB(FormColour)) << top;
        EXPECT_EQ(shot.At(140, top + 5), ColorToRGB(FormColour)) << top;
    }
    EXPECT_GE(text(130).right, 140 - 3);
    EXPECT_LE(text(170).left, 100 + 3);
}

TEST(Label, ATransparentLabelLetsWhatLiesBeneathShowThrough) {
    auto form = ShowForm(200, 100);
    auto* below = Add<TLabel>(*form, 10, 10, 0, 0);
    below->SetAutoSize(false);
    below->SetBounds(10, 10, 100, 40);
    below->SetColor(RgbColor(0, 0, 128));
    auto* over = Add<TLabel>(*form, 30, 20, 0, 0);
    over->SetAutoSize(false);
    over->SetBounds(30, 20, 100, 40);
    over->SetColor(RgbColor(128, 0, 0));
    EXPECT_TRUE(over->Opaque());
    EXPECT_EQ(PixelAt(form->Handle(), 40, 30), RGB(128, 0, 0));

    over->SetTransparent(true);
    EXPECT_FALSE(over->Opaque());
    EXPECT_EQ(PixelAt(form->Handle(), 40, 30), RGB(0, 0, 128));
    EXPECT_EQ(PixelAt(form->Handle(), 120, 30), ColorToRGB(FormColour));
}

TEST(Label, WritingTheSameCaptionDoesNotRepaint) {
    auto form = ShowForm(200, 100);
    auto* label = Add<Counting<TLabel>>(*form, 10, 10, 0, 0);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 100, 36);
    label->SetCaption("16");
    UpdateWindow(form->Handle());
    PumpFor(50);
    label->Paints = 0;

    label->SetCaption("16");
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
    PumpFor(50);
    EXPECT_EQ(label->Paints, 0);

    label->SetCaption("17");
    PumpFor(50);
    EXPECT_EQ(label->Paints, 1);
}

// ---------------------------------------------------------------- image

namespace {
// A 32x32 icon: the left half red, the right half transparent.
HICON HalfRedIcon() {
    BYTE andMask[32 * 4];
    for (int row = 0; row < 32; ++row) {
        andMask[row * 4 + 0] = 0x00;
        andMask[row * 4 + 1] = 0x00;
        andMask[row * 4 + 2] = 0xFF;
        andMask[row * 4 + 3] = 0xFF;
    }
    UniqueBitmap mask(CreateBitmap(32, 32, 1, 1, andMask));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = 32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 32 * 32; ++i) {
        pixels[i] = (i % 32) < 16 ? 0x00FF0000 : 0;
    }
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmMask = mask.get();
    icon.hbmColor = colour.get();
    return CreateIconIndirect(&icon);
}
} // namespace

TEST(Image, SizedToItsIconDrawnOverTheBackgroundAndClickable) {
    auto form = ShowForm(200, 100);
    auto* image = Add<TImage>(*form, 100, 20, 50, 50);
    image->SetAutoSize(true);
    image->Picture().SetHandles(HalfRedIcon(), nullptr);
    image->PictureChanged();
    EXPECT_EQ(image->Width(), 32);
    EXPECT_EQ(image->Height(), 32);
    EXPECT_EQ(image->Left(), 100);
    int clicks = 0;
    image->OnClick = [&](TObject*) { ++clicks; };

    const Snapshot shot(form->Handle());
    EXPECT_EQ(shot.At(100 + 4, 20 + 16), RGB(255, 0, 0));
    EXPECT_EQ(shot.At(100 + 28, 20 + 16), ColorToRGB(FormColour));
    EXPECT_EQ(shot.At(100 + 34, 20 + 16), ColorToRGB(FormColour));

    PostClick(form->Handle(), 100 + 20, 20 + 20);
    EXPECT_EQ(clicks, 1);
    PostClick(form->Handle(), 100 + 40, 20 + 20);
    EXPECT_EQ(clicks, 1);
    // Pressed on it and released elsewhere: no click.
    PostMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 30));
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(180, 80));
    PumpFor(50);
    EXPECT_EQ(clicks, 1);
}
