#pragma once
// Ownership: a component owns the components created through it and frees them,
// newest first, when it is freed itself.

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TComponent {
public:
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent() { DestroyComponents(); }

    TComponent* Owner() const { return owner_; }

    // Creates a T(this, args...) owned by this component.
    template <typename T, typename... Args>
    T* Create(Args&&... args)
    {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = component.get();
        components_.push_back(std::move(component));
        return raw;
    }

    // Frees one owned component now. Does nothing for a component it does not own.
    void DestroyComponent(TComponent* component);
    size_t ComponentCount() const { return components_.size(); }
    TComponent* Components(size_t i) const { return components_[i].get(); }

    std::string Name;
    int Tag = 0;

protected:
    void DestroyComponents();

private:
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> components_;
};
