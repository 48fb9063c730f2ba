// Menu items, the popup menu's list of them, and the real popup driven by keys.
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/rig/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Exception.h"
#include "toolkit/Menus.h"
#include "toolkit/Timer.h"

namespace {
// A component owning a menu and its items the way the tray icon does.
struct MenuOwner {
    MenuOwner() : Owner(nullptr), Menu(new TPopupMenu(&Owner)) {
        for (const char* caption : {"Close", "Restore", "Other"}) {
            auto* item = new TMenuItem(&Owner);
            item->SetCaption(caption);
            item->OnClick = [this](TObject* sender) { Clicks.push_back(sender); };
            Menu->Add(item);
        }
    }
    TComponent Owner;
    TPopupMenu* Menu;
    std::vector<TObject*> Clicks;
};

// Posts keys to the application window from inside the menu's own loop: a timer tick there
// proves the menu is open and that ticks run meanwhile.
class KeysWhileOpen {
public:
    KeysWhileOpen(std::vector<WPARAM> keys, std::function<void()> alsoDo = {}) : FTimer(nullptr) {
        // Keys left over from an earlier menu would close this one at once.
        Application->ProcessMessages();
        FTimer.SetInterval(200);
        FTimer.SetOnTimer([this, keys, alsoDo](TObject*) {
            FTimer.SetEnabled(false);
            ++Ticks;
            if (alsoDo) {
                alsoDo();
            }
            for (WPARAM key : keys) {
                PostMessageA(Application->Handle(), WM_KEYDOWN, key, 0);
                PostMessageA(Application->Handle(), WM_KEYUP, key, 0xC0000000);
            }
        });
    }
    int Ticks = 0;

private:
    TTimer FTimer;
};

bool TakeNullMessage(HWND wnd) {
    MSG msg{};
    return PeekMessageA(&msg, wnd, WM_NULL, WM_NULL, PM_REMOVE) != 0;
}
} // namespace

TEST(MenuItem, ClickFiresOnClickWithTheItemAsSender) {
    TMenuItem item(nullptr);
    item.Click();
    std::vector<TObject*> senders;
    item.OnClick = [&](TObject* sender) { senders.push_back(sender); };
    item.Click();
    item.Click();
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[0], &item);
}

TEST(PopupMenu, ListsItemsInOrderAndForgetsDestroyedOnes) {
    MenuOwner m;
    EXPECT_TRUE(m.Menu->AutoPopup());
    EXPECT_EQ(m.Menu->PopupComponent(), nullptr);
    ASSERT_EQ(m.Menu->Count(), 3);
    EXPECT_EQ(m.Menu->Item(0)->Caption(), "Close");
    EXPECT_EQ(m.Menu->Item(2)->Caption(), "Other");
    EXPECT_THROW(m.Menu->Item(3), std::out_of_range);
    EXPECT_THROW(m.Menu->Item(-1), std::out_of_range);

    delete m.Menu->Item(1);
    ASSERT_EQ(m.Menu->Count(), 2);
    EXPECT_EQ(m.Menu->Item(0)->Caption(), "Close");
    EXPECT_EQ(m.Menu->Item(1)->Caption(), "Other");

    // Items owned elsewhere are watched too.
    auto* stranger = new TMenuItem(nullptr);
    m.Menu->Add(stranger);
    EXPECT_EQ(m.Menu->Count(), 3);
    delete stranger;
    EXPECT_EQ(m.Menu->Count(), 2);

    auto* popper = new TComponent(nullptr);
    m.Menu->SetPopupComponent(popper);
    EXPECT_EQ(m.Menu->PopupComponent(), popper);
    delete popper;
    EXPECT_EQ(m.Menu->PopupComponent(), nullptr);

    // Destroying the menu first leaves items that no longer report to it.
    TMenuItem outlives(nullptr);
    m.Menu->Add(&outlives);
    delete m.Menu;
    EXPECT_EQ(m.Owner.ComponentCount(), 2);
}

TEST(PopupMenu, PopupClicksTheChosenItemAfterTheMenuCloses) {
    MenuOwner m;
    KeysWhileOpen keys({VK_DOWN, VK_DOWN, VK_RETURN});
    m.Menu->Popup(100, 100);
    EXPECT_EQ(keys.Ticks, 1);
    ASSERT_EQ(m.Clicks.size(), 1u);
    EXPECT_EQ(m.Clicks[0], m.Menu->Item(1));
    // Posted after the menu, for menus of tray icons.
    EXPECT_TRUE(TakeNullMessage(Application->Handle()));
}

TEST(PopupMenu, EscapeClosesThePopupWithoutAClick) {
    MenuOwner m;
    KeysWhileOpen keys({VK_DOWN, VK_ESCAPE});
    m.Menu->Popup(100, 100);
    EXPECT_EQ(keys.Ticks, 1);
    EXPECT_TRUE(m.Clicks.empty());
}

TEST(PopupMenu, AnItemDestroyedWhileTheMenuIsOpenIsNotClicked) {
    MenuOwner m;
    TMenuItem* first = m.Menu->Item(0);
    KeysWhileOpen keys({VK_DOWN, VK_RETURN}, [first] { delete first; });
    m.Menu->Popup(100, 100);
    EXPECT_EQ(keys.Ticks, 1);
    EXPECT_TRUE(m.Clicks.empty());
    EXPECT_EQ(m.Menu->Count(), 2);
}

TEST(PopupMenu, AnErrorFromTheClickReachesTheCaller) {
    MenuOwner m;
    m.Menu->Item(0)->OnClick = [](TObject*) { throw Exception("Click failed"); };
    KeysWhileOpen keys({VK_DOWN, VK_RETURN});
    EXPECT_THROW(m.Menu->Popup(100, 100), Exception);
    EXPECT_EQ(keys.Ticks, 1);
}
