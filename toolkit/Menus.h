#pragma once
// Menu items with click handlers, and the popup menu that shows them at a screen point.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }

    // Fires OnClick with this item as the sender.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    std::string FCaption;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Appends item; the menu does not own it, and forgets it when it is destroyed.
    void Add(TMenuItem* item);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Item(int index) const { return FItems.at(static_cast<std::size_t>(index)); }

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    // The component that last popped the menu up, for handlers that want to know.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* value);

    // Shows the menu at a screen point, owned by the application window, and returns once it
    // has closed, after the chosen item's click. Exceptions from that click pass through.
    void Popup(int x, int y);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TMenuItem*> FItems;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    // Cleared when the menu is destroyed, so a popup can tell whether the menu outlived its
    // own message loop.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
