// Components: objects with an owner that destroys them, and a loading phase while a window builds its layout.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace base {

class TComponent;

// Tells whether a component still exists, without touching it: a handler may free the very object
// whose message it was called from, and the code after the handler must not read that object again.
class TWatch {
public:
    TWatch() = default;
    bool Alive() const { return !token_.expired(); }
    explicit operator bool() const { return Alive(); }

private:
    friend class TComponent;
    explicit TWatch(std::weak_ptr<const char> token) : token_(std::move(token)) {}
    std::weak_ptr<const char> token_;
};

// A component is owned by the component that created it (or by nobody): the owner destroys what it
// still owns when it is destroyed, and a component destroyed earlier leaves its owner's list itself.
//
// Destroy a component with Free (or through its owner, or an Owned<> pointer): Free runs
// BeforeDestruction while the whole object, its derived parts included, still exists, and only then
// deletes it. A plain delete still cleans up, but descendants' BeforeDestruction steps run late.
class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    void Free();
    TWatch Watch() const { return TWatch(token_); }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    const std::vector<TComponent*>& Components() const { return components_; }

    // While a window sets up its layout, it and everything it owns are "being loaded"; ending the
    // phase gives each of them its after-loading step, in creation order.
    void BeginLoading();
    void EndLoading();
    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }

    // Told to every component of the owner when a component of it goes away, so that references can be
    // dropped; and to every component that asked for it with FreeNotification, whoever owns them.
    virtual void Notification(TComponent* component, bool removing) {}
    // Asks to be told (through Notification) when the other component goes; either may go first.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

protected:
    virtual void Loaded() {}
    // The first step of Free, while the object is still whole; an override calls the base's last.
    virtual void BeforeDestruction();
    // Destroys the owned components now (newest first), while the owner is still whole.
    void DestroyComponents();
    void MarkDestroying() { destroying_ = true; }

private:
    void Unlink(TComponent* other);

    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    bool loading_ = false;
    bool destroying_ = false;
    bool beforeDestructionDone_ = false;
    std::shared_ptr<const char> token_ = std::make_shared<const char>('\0');
};

// An owning pointer that destroys its component with Free.
struct TComponentDeleter {
    void operator()(TComponent* component) const {
        if (component != nullptr) component->Free();
    }
};
template <typename Component>
using Owned = std::unique_ptr<Component, TComponentDeleter>;

}  // namespace base
