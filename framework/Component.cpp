#include "framework/Component.h"

#include <algorithm>

void TComponent::DestroyComponent(TComponent* component)
{
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [component](const auto& c) { return c.get() == component; });
    if (it == components_.end())
        return;
    // Take it out first, so that anything its destructor does sees a consistent list.
    std::unique_ptr<TComponent> doomed = std::move(*it);
    components_.erase(it);
    doomed.reset();
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        std::unique_ptr<TComponent> doomed = std::move(components_.back());
        components_.pop_back();
        doomed.reset();
    }
}
