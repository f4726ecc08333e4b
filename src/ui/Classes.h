// Components: objects with an owner that destroys them, and a loading phase while a window builds its layout.
#pragma once

#include <string>
#include <vector>

namespace ui {

// A component is owned by the component that created it (or by nobody): the owner destroys what it
// still owns when it is destroyed, and a component destroyed earlier leaves its owner's list itself.
class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

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

    // Told to every component of the owner when a component of it goes away, so that references can be dropped.
    virtual void Notification(TComponent* component, bool removing) {}

protected:
    virtual void Loaded() {}
    // Destroys the owned components now (newest first), while the owner is still whole.
    void DestroyComponents();
    void MarkDestroying() { destroying_ = true; }

private:
    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
    bool loading_ = false;
    bool destroying_ = false;
};

}  // namespace ui
