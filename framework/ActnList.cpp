#include "framework/ActnList.h"

#include <algorithm>
#include <iterator>

TShortCut ShortCut(WORD key, TShiftState shift)
{
    TShortCut result = key;
    if (shift & ssShift) result |= scShift;
    if (shift & ssCtrl) result |= scCtrl;
    if (shift & ssAlt) result |= scAlt;
    return result;
}

std::wstring ShortCutToText(TShortCut shortCut)
{
    const WORD key = static_cast<WORD>(shortCut & 0xFF);
    if (key == 0)
        return {};
    std::wstring text;
    if (shortCut & scShift) text += L"Shift+";
    if (shortCut & scCtrl) text += L"Ctrl+";
    if (shortCut & scAlt) text += L"Alt+";
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return text + static_cast<wchar_t>(key);
    if (key >= VK_F1 && key <= VK_F24)
        return text + L"F" + std::to_wstring(key - VK_F1 + 1);
    wchar_t name[64] = {};
    const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (GetKeyNameTextW(scan, name, static_cast<int>(std::size(name))) > 0)
        return text + name;
    return text + L"#" + std::to_wstring(key);
}

void TAction::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    Changed();
}

void TAction::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Changed();
}

bool TAction::Execute()
{
    if (!enabled_ || !OnExecute)
        return false;
    OnExecute();
    return true;
}

void TAction::AddClient(const void* key, std::function<void()> changed)
{
    RemoveClient(key);
    clients_.emplace_back(key, std::move(changed));
}

void TAction::RemoveClient(const void* key)
{
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [key](const auto& c) { return c.first == key; }),
                   clients_.end());
}

void TAction::Changed()
{
    const auto clients = clients_;  // a client may remove itself while redrawing
    for (const auto& [key, changed] : clients)
        changed();
}

TAction* TActionList::Add(const std::string& name, const std::wstring& caption, int imageIndex, TShortCut shortCut,
                          std::function<void()> onExecute)
{
    auto* action = Create<TAction>();
    action->Name = name;
    action->Caption = caption;
    action->ImageIndex = imageIndex;
    action->ShortCut = shortCut;
    action->OnExecute = std::move(onExecute);
    actions_.push_back(action);
    return action;
}

TAction* TActionList::Find(const std::string& name) const
{
    for (TAction* action : actions_)
        if (action->Name == name)
            return action;
    return nullptr;
}

bool TActionList::IsShortCut(WORD key, TShiftState shift)
{
    const TShortCut pressed = ShortCut(key, shift & (ssShift | ssCtrl | ssAlt));
    for (TAction* action : actions_)
        if (action->ShortCut != 0 && action->ShortCut == pressed)
            return action->Execute();
    return false;
}
