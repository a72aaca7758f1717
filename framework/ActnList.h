#pragma once
// Actions: one command (caption, picture, shortcut, checked state, handler) that
// tool buttons and menu items show and run. A list of them answers the shortcut
// keys of its window.

#include "framework/Component.h"
#include "framework/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TImageList;

// A key code with the modifier bits below; 0 is no shortcut.
using TShortCut = unsigned;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+B", "Shift+Alt+F2"; empty for no shortcut.
std::wstring ShortCutToText(TShortCut shortCut);

class TAction : public TComponent {
public:
    using TComponent::TComponent;

    std::wstring Caption;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;

    bool Checked() const { return checked_; }
    // Clients (tool buttons) are told of every change so they can redraw.
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Runs OnExecute when enabled; true when it ran.
    bool Execute();
    std::function<void()> OnExecute;

    // The callback runs after each change of state; the key removes it.
    void AddClient(const void* key, std::function<void()> changed);
    void RemoveClient(const void* key);

private:
    void Changed();

    bool checked_ = false;
    bool enabled_ = true;
    std::vector<std::pair<const void*, std::function<void()>>> clients_;
};

class TActionList : public TComponent {
public:
    using TComponent::TComponent;

    TImageList* Images = nullptr;

    TAction* Add(const std::string& name, const std::wstring& caption, int imageIndex, TShortCut shortCut,
                 std::function<void()> onExecute);
    const std::vector<TAction*>& Actions() const { return actions_; }
    TAction* Find(const std::string& name) const;

    // Runs the action whose shortcut this key is; true when one ran.
    bool IsShortCut(WORD key, TShiftState shift);

private:
    std::vector<TAction*> actions_;
};
