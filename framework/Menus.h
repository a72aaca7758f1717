#pragma once
// Pop-up menus: items with captions, separators, pictures from an image list and
// a checked state, shown at a screen point. An item bound to an action shows the
// action's caption, picture, shortcut and checked state and runs it when chosen.

#include "framework/Component.h"
#include "framework/Handles.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAction;
class TImageList;
class TMenuOwnerWindow;

class TMenuItem : public TComponent {
public:
    using TComponent::TComponent;

    // "-" makes a separator.
    std::wstring Caption;
    int ImageIndex = -1;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    TAction* Action = nullptr;
    std::function<void()> OnClick;

    bool IsSeparator() const { return Caption == L"-"; }
    // What the menu shows: the action's values where the item is bound to one.
    std::wstring ShownCaption() const;
    int ShownImageIndex() const;
    bool ShownChecked() const;
    bool ShownEnabled() const;

    // The action's Execute for a bound item, OnClick otherwise.
    void Click();
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TImageList* Images = nullptr;
    std::function<void()> OnPopup;

    TMenuItem* Add(const std::string& name, const std::wstring& caption, std::function<void()> onClick = {});
    TMenuItem* Add(const std::string& name, TAction* action);
    TMenuItem* AddSeparator();
    const std::vector<TMenuItem*>& Items() const { return items_; }
    TMenuItem* Find(const std::string& name) const;

    // OnPopup, then the menu at the screen point (left edge there), either mouse
    // button choosing; runs the chosen item after the menu has closed.
    void Popup(int x, int y);
    // The platform menu of the items as they are now (what Popup shows).
    UniqueMenu BuildMenu() const;
    // The menu shown now, or nullptr.
    HMENU ShownMenu() const { return shown_; }

private:
    std::vector<TMenuItem*> items_;
    std::unique_ptr<TMenuOwnerWindow> owner_;
    HMENU shown_ = nullptr;
};
