#pragma once
// Owner-destroyed components with names, tags, state and loading notifications.
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

// Handlers receive the object that caused the event, or nullptr when called directly.
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csDesigning = 1u << 1,
    csDestroying = 1u << 2,
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    // Destroys the owned components, last created first.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::vector<TComponent*>& Components() const { return FComponents; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }

    unsigned ComponentState() const { return FState; }
    bool IsLoading() const { return (FState & csLoading) != 0; }
    bool IsDesigning() const { return (FState & csDesigning) != 0; }
    bool IsDestroying() const { return (FState & csDestroying) != 0; }

    // Window descriptions mark components as loading while they set their properties.
    void BeginLoading() { FState |= csLoading; }
    // Called once the description holding the component has been read; ends loading.
    virtual void Loaded();
    // Marks this component and everything it owns as being destroyed. Destructors that must
    // know it before their own teardown call it first; it is idempotent.
    void Destroying();
    // Design mode, for components placed on a window that is being edited.
    void SetDesigning(bool value);

    // Told when a component this one watches (owned, or registered through FreeNotification)
    // is inserted or removed, so references to it can be cleared.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    TComponent* FindComponent(const std::string& name) const;

    std::string Name;
    int Tag = 0;

private:
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    unsigned FState = 0;
};
