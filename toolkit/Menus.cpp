#include "toolkit/Menus.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/Application.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles.h"

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

void TMenuItem::Click() {
    // A copy: the handler may destroy this item.
    TNotifyEvent handler = OnClick;
    if (handler) {
        handler(this);
    }
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}

TPopupMenu::~TPopupMenu() {
    *FAlive = false;
}

void TPopupMenu::Add(TMenuItem* item) {
    if (item == nullptr) {
        return;
    }
    FItems.push_back(item);
    item->FreeNotification(this);
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
    FPopupComponent = value;
    if (value != nullptr) {
        value->FreeNotification(this);
    }
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        std::erase(FItems, AComponent);
        if (FPopupComponent == AComponent) {
            FPopupComponent = nullptr;
        }
    }
}

void TPopupMenu::Popup(int x, int y) {
    if (FItems.empty() || Application == nullptr) {
        return;
    }
    HWND owner = Application->Handle();
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        throw EOutOfResources("Out of system resources");
    }
    // Command ids are positions + 1 in this snapshot; the list may change while the menu is open.
    const std::vector<TMenuItem*> shown = FItems;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        AppendMenuA(menu.get(), MF_STRING, i + 1, shown[i]->Caption().c_str());
    }
    const std::shared_ptr<bool> alive = FAlive;
    const auto chosen = static_cast<std::size_t>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    // Without a message after the menu, a menu popped up for a tray icon may not close
    // properly the next time.
    PostMessageA(owner, WM_NULL, 0, 0);
    if (!*alive || chosen == 0 || chosen > shown.size()) {
        return;
    }
    TMenuItem* item = shown[chosen - 1];
    // An item destroyed while the menu was open is gone from the list, and not clicked.
    if (std::find(FItems.begin(), FItems.end(), item) != FItems.end()) {
        item->Click();
    }
}
